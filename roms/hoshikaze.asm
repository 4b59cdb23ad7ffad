; 星風ランナー (HOSHIKAZE): steer a star through the night sky with the cursor keys.
; A 16 KB cartridge for page 1 (4000h); uses BIOS calls only.
        include "cartridge.inc"

        include "msxbios.inc"

XPOS    equ     0E000h
YPOS    equ     0E001h

start:
        ei
        ld      a,4                 ; dark blue
        call    setup_screen
        ld      hl,title
        ld      de,0B02h            ; column 11, row 2
        call    print_at
        ld      hl,help
        ld      de,0517h            ; column 5, row 23
        call    print_at
        ld      a,20
        ld      (XPOS),a
        ld      a,12
        ld      (YPOS),a
main_loop:
        ld      a,'*'
        call    draw
        ld      b,4
delay:  push    bc
        call    wait_frame
        pop     bc
        djnz    delay
        xor     a
        call    GTSTCK
        or      a
        jr      z,main_loop
        push    af
        ld      a,' '
        call    draw
        pop     af
        call    move
        jr      main_loop

; Print the character in A at the star's place.
draw:
        push    af
        ld      a,(XPOS)
        ld      h,a
        ld      a,(YPOS)
        ld      l,a
        call    POSIT
        pop     af
        jp      CHPUT

; Move the star one step in direction A (1 up, clockwise to 8 up-left), inside the sky.
move:
        ld      hl,XPOS
        cp      2
        jr      c,m_y
        cp      5
        jr      nc,m_left
        ld      b,a
        ld      a,(hl)
        cp      39
        jr      nc,m_y0
        inc     (hl)
        jr      m_y0
m_left:
        cp      6
        jr      c,m_y
        ld      b,a
        ld      a,(hl)
        cp      2
        jr      c,m_y0
        dec     (hl)
m_y0:   ld      a,b
m_y:
        ld      hl,YPOS
        cp      1
        jr      z,m_up
        cp      2
        jr      z,m_up
        cp      8
        jr      z,m_up
        cp      4
        ret     c
        cp      7
        ret     nc
        ld      a,(hl)              ; 4, 5, 6: down
        cp      21
        ret     nc
        inc     (hl)
        ret
m_up:
        ld      a,(hl)
        cp      5
        ret     c
        dec     (hl)
        ret

        include "common.inc"

title:  db      "HOSHIKAZE RUNNER",0
help:   db      "CURSOR KEYS: FLY THROUGH THE STARS",0

        ds      8000h-$,0FFh
