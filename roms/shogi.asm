; 電脳将棋① (SHOGI): a small sample program of Tarumin's own; the cursor keys move a king about the screen.
        include "disk.inc"

        include "msxbios.inc"

COLOUR  equ     6
GLYPH   equ     'K'
TRAIL   equ     '.'

start:  jp      showcase

        include "showcase.inc"
        include "common.inc"

title:  db      "DENNOU SHOGI  (TARUMIN SAMPLE)",0
help:   db      "CURSOR KEYS: MOVE  SPACE+KEYS: TRAIL",0

        ds      0C200h-$,0
