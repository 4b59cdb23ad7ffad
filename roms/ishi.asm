; 石積み名人 (ISHI): a small sample program of Tarumin's own; the cursor keys move a stone about the screen.
        include "cartridge.inc"

        include "msxbios.inc"

COLOUR  equ     8
GLYPH   equ     'O'
TRAIL   equ     '#'

start:  jp      showcase

        include "showcase.inc"
        include "common.inc"

title:  db      "ISHIZUMI MEIJIN  (TARUMIN SAMPLE)",0
help:   db      "CURSOR KEYS: MOVE  SPACE+KEYS: TRAIL",0

        ds      8000h-$,0FFh
