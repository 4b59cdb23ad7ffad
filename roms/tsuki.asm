; 月夜のうさぎ (TSUKI): a small sample program of Tarumin's own; the cursor keys move the rabbit about the screen.
        include "cartridge.inc"

        include "msxbios.inc"

COLOUR  equ     4
GLYPH   equ     'U'
TRAIL   equ     '*'

start:  jp      showcase

        include "showcase.inc"
        include "common.inc"

title:  db      "TSUKIYO NO USAGI  (TARUMIN SAMPLE)",0
help:   db      "CURSOR KEYS: MOVE  SPACE+KEYS: TRAIL",0

        ds      8000h-$,0FFh
