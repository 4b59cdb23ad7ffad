; 迷宮のカギ (MEIKYU): a small sample program of Tarumin's own; the cursor keys move the explorer about the screen.
        include "disk.inc"

        include "msxbios.inc"

COLOUR  equ     1
GLYPH   equ     '@'
TRAIL   equ     '.'

start:  jp      showcase

        include "showcase.inc"
        include "common.inc"

title:  db      "MEIKYUU NO KAGI  (TARUMIN SAMPLE)",0
help:   db      "CURSOR KEYS: MOVE  SPACE+KEYS: TRAIL",0

        ds      0C200h-$,0
