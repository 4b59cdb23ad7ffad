#!/usr/bin/env python3
"""Writes a full catalogue (1,001 lines, CP932, CR LF) to the path given: the data the start-up
measurements and the start-up order are made with."""
import sys

with open(sys.argv[1], 'wb') as f:
    for i in range(1001):
        line = (f"ゲーム{i} ～星の海を越えて～,ROM,198{i % 10}年{i % 12 + 1}月,メーカー{i},{i}円,"
                f"宇宙を駆ける横スクロールシューティング。パワーカプセルを集めて自機を強化しよう。,"
                f"snap{i % 20},-cart snap{i % 20}.rom")
        f.write(line.encode('cp932') + b"\r\n")
