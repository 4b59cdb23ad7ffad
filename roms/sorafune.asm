; 空船ファイター (SORAFUNE): a small sample program of Tarumin's own; the cursor keys move an airship about the screen.
        include "cartridge.inc"

        include "msxbios.inc"

COLOUR  equ     5
GLYPH   equ     'A'
TRAIL   equ     '|'

start:  jp      showcase

        include "showcase.inc"
        include "common.inc"

title:  db      "SORAFUNE FIGHTER  (TARUMIN SAMPLE)",0
help:   db      "CURSOR KEYS: MOVE  SPACE+KEYS: TRAIL",0

        ds      8000h-$,0FFh
