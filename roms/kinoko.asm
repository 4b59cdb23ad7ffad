; きのこ大作戦 (KINOKO): a small sample program of Tarumin's own; the cursor keys move a mushroom picker about the screen.
        include "cartridge.inc"

        include "msxbios.inc"

COLOUR  equ     12
GLYPH   equ     'T'
TRAIL   equ     '.'

start:  jp      showcase

        include "showcase.inc"
        include "common.inc"

title:  db      "KINOKO DAISAKUSEN  (TARUMIN SAMPLE)",0
help:   db      "CURSOR KEYS: MOVE  SPACE+KEYS: TRAIL",0

        ds      8000h-$,0FFh
