; 鉄人レース (TETSUJIN): a small sample program of Tarumin's own; the cursor keys move a racing car about the screen.
        include "cartridge.inc"

        include "msxbios.inc"

COLOUR  equ     1
GLYPH   equ     'H'
TRAIL   equ     '='

start:  jp      showcase

        include "showcase.inc"
        include "common.inc"

title:  db      "TETSUJIN RACE  (TARUMIN SAMPLE)",0
help:   db      "CURSOR KEYS: MOVE  SPACE+KEYS: TRAIL",0

        ds      8000h-$,0FFh
