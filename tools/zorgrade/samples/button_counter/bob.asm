; Button counter on INT0: each press of button 0 (a falling edge) counts; the
; count shows in binary on LEDs 0-6, and LED 7 lights once INT0 is armed, so a
; student (or a test) knows when presses start to count.
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
        anl a,#0x7f             ; LED 7: ready
        mov p1,a
        sjmp show
