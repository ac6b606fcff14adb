; A/D to D/A: converts knob 0 again and again, waiting for the end of conversion
; on PC7, and writes each result to the D/A converter.
        .area CODE (ABS)
        .org 0
        mov dptr,#0xE003
        mov a,#0x98             ; parallel chip: A in, C upper in (EOC), B and C lower out
        movx @dptr,a
loop:   mov dptr,#0xE500
        movx @dptr,a            ; start channel 0
        mov dptr,#0xE002
eoc:    movx a,@dptr
        jnb acc.7,eoc
        mov dptr,#0xE500
        movx a,@dptr
        mov dptr,#0xE600
        movx @dptr,a
        sjmp loop
