; 7-segment counter: shows R2 as two hexadecimal digits on digits 6 and 7,
; scanning them every millisecond, and counts R2 up every 100 scans.
        .area CODE (ABS)
        .org 0
        mov r2,#0
        mov r3,#100
scan:   mov a,r2
        swap a
        anl a,#0x0F
        mov r4,#0x40            ; digit 6: the high nibble
        acall digit
        mov a,r2
        anl a,#0x0F
        mov r4,#0x80            ; digit 7: the low nibble
        acall digit
        djnz r3,scan
        mov r3,#100
        inc r2
        sjmp scan

; Lights digit R4 with the glyph of the nibble in A for about half a millisecond.
digit:  mov dptr,#glyphs
        movc a,@a+dptr
        mov dptr,#0xE201
        push acc
        clr a
        movx @dptr,a            ; all digits dark while the segments change
        mov dptr,#0xE200
        pop acc
        movx @dptr,a
        inc dptr
        mov a,r4
        movx @dptr,a
        mov r6,#250
hold:   djnz r6,hold
        ret

glyphs: .db 0x3F,0x06,0x5B,0x4F,0x66,0x6D,0x7D,0x07,0x7F,0x6F,0x77,0x7C,0x39,0x5E,0x79,0x71
