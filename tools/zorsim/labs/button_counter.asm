; Button counter on INT0: each press of button 0 (a falling edge) counts; the
; count shows in binary on the LEDs.
        .area CODE (ABS)
        .org 0
        ljmp start
        .org 0x0003
        inc r7
        reti
        .org 0x30
start:  mov r7,#0
        setb it0                ; INT0 on the falling edge
        setb ex0
        setb ea
show:   mov a,r7
        cpl a
        mov p1,a
        sjmp show
