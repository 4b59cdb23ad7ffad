; 夜の図書館 (YORU): a small sample program of Tarumin's own; the cursor keys move a reader's lamp about the screen.
        include "disk.inc"

        include "msxbios.inc"

COLOUR  equ     4
GLYPH   equ     '?'
TRAIL   equ     '.'

start:  jp      showcase

        include "showcase.inc"
        include "common.inc"

title:  db      "YORU NO TOSHOKAN  (TARUMIN SAMPLE)",0
help:   db      "CURSOR KEYS: MOVE  SPACE+KEYS: TRAIL",0

        ds      0C200h-$,0
