; 花火職人 (HANABI): a small sample program of Tarumin's own; the cursor keys move a firework about the screen.
        include "tape.inc"

        include "msxbios.inc"

COLOUR  equ     1
GLYPH   equ     '*'
TRAIL   equ     '+'

start:  jp      showcase

        include "showcase.inc"
        include "common.inc"

title:  db      "HANABI SHOKUNIN  (TARUMIN SAMPLE)",0
help:   db      "CURSOR KEYS: MOVE  SPACE+KEYS: TRAIL",0
tape_end:
