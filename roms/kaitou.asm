; 怪盗ミッドナイト (KAITOU): a small sample program of Tarumin's own; the cursor keys move the thief about the screen.
        include "cartridge.inc"

        include "msxbios.inc"

COLOUR  equ     13
GLYPH   equ     'M'
TRAIL   equ     '.'

start:  jp      showcase

        include "showcase.inc"
        include "common.inc"

title:  db      "KAITOU MIDNIGHT  (TARUMIN SAMPLE)",0
help:   db      "CURSOR KEYS: MOVE  SPACE+KEYS: TRAIL",0

        ds      8000h-$,0FFh
