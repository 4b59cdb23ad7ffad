; 海辺のパズル (UMIBE): a small sample program of Tarumin's own; the cursor keys move a shell about the screen.
        include "tape.inc"

        include "msxbios.inc"

COLOUR  equ     7
GLYPH   equ     '@'
TRAIL   equ     'o'

start:  jp      showcase

        include "showcase.inc"
        include "common.inc"

title:  db      "UMIBE NO PUZZLE  (TARUMIN SAMPLE)",0
help:   db      "CURSOR KEYS: MOVE  SPACE+KEYS: TRAIL",0
tape_end:
