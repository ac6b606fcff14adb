; Switches to LEDs.
        .area CODE (ABS)
        .org 0
        mov dptr,#0xE003
        mov a,#0x90
        movx @dptr,a
        mov dptr,#0xE000
loop:   movx a,@dptr
        mov p1,a
        sjmp loop
