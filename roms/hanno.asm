; 反応テスト (HANNO): press the space bar as soon as the screen says GO.
; A 16 KB cartridge for page 1 (4000h); uses BIOS calls only.
        include "cartridge.inc"

        include "msxbios.inc"

start:
        ei
        ld      a,6                 ; dark red
        call    setup_screen
        ld      hl,title
        ld      de,0C02h
        call    print_at
round:
        ld      hl,ready
        ld      de,0A0Ah
        call    print_at
        ; wait until the space bar is up, then a while that depends on the clock
release:
        xor     a
        call    GTTRIG
        or      a
        jr      nz,release
        ld      a,(JIFFY)
        and     63
        add     a,40
        ld      b,a
waiting:
        call    frame_and_trigger
        jr      nz,too_soon
        djnz    waiting
        ld      hl,go
        ld      de,0A0Ah
        call    print_at
        ld      c,0                 ; frames until the space bar
timing:
        call    frame_and_trigger
        jr      nz,pressed
        inc     c
        ld      a,c
        cp      99
        jr      c,timing
pressed:
        ld      hl,result
        ld      de,0A0Ch
        call    print_at
        ld      a,c
        call    print_2digits
        ld      hl,frames
        call    print
        jr      round
too_soon:
        ld      hl,early
        ld      de,0A0Ch
        call    print_at
        jr      round

; Wait for the next frame, then NZ if the space bar is down. Keeps BC.
frame_and_trigger:
        push    bc
        call    wait_frame
        xor     a
        call    GTTRIG
        pop     bc
        or      a
        ret

        include "common.inc"

title:  db      "HANNO TEST",0
ready:  db      "WAIT FOR IT...    ",0
go:     db      "GO! PRESS SPACE!  ",0
result: db      "TIME: ",0
frames: db      " FRAMES      ",0
early:  db      "TOO SOON!         ",0

        ds      8000h-$,0FFh
