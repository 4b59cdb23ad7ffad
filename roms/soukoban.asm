; ひみつの倉庫番 (SOUKOBAN): a small sample program of Tarumin's own; the cursor keys move the warehouse keeper about the screen.
        include "cartridge.inc"

        include "msxbios.inc"

COLOUR  equ     9
GLYPH   equ     'P'
TRAIL   equ     '+'

start:  jp      showcase

        include "showcase.inc"
        include "common.inc"

title:  db      "HIMITSU NO SOUKOBAN  (TARUMIN SAMPLE)",0
help:   db      "CURSOR KEYS: MOVE  SPACE+KEYS: TRAIL",0

        ds      8000h-$,0FFh
