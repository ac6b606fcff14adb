; Timer-interrupt clock: timer 0 in auto-reload mode interrupts every 250 machine
; cycles; 4000 of them make a second (at 12 MHz). The time, from 00-00-00, shows as
; HH-MM-SS on the 7-segment display, which the main loop scans.
        .area CODE (ABS)
        .org 0
        ljmp start
        .org 0x000B
        ljmp tick
        .org 0x30
start:  mov 0x40,#250           ; interrupts left in this sixteenth of a second
        mov 0x41,#16            ; sixteenths left in this second
        mov 0x42,#0             ; seconds, BCD
        mov 0x43,#0             ; minutes, BCD
        mov 0x44,#0             ; hours, BCD
        mov tmod,#0x02          ; timer 0: 8-bit auto-reload
        mov th0,#6              ; 256 - 250
        mov tl0,#6
        setb et0
        setb ea
        setb tr0
frame:  mov r4,#0x01
        mov a,0x44
        acall high
        mov r4,#0x02
        mov a,0x44
        acall low
        mov r4,#0x04
        mov a,#0x40             ; a dash
        acall light
        mov r4,#0x08
        mov a,0x43
        acall high
        mov r4,#0x10
        mov a,0x43
        acall low
        mov r4,#0x20
        mov a,#0x40
        acall light
        mov r4,#0x40
        mov a,0x42
        acall high
        mov r4,#0x80
        mov a,0x42
        acall low
        sjmp frame

; Lights digit R4 with the high (high) or low (low) BCD digit of A, or with the
; pattern in A (light), for about half a millisecond.
high:   swap a
low:    anl a,#0x0F
        mov dptr,#glyphs
        movc a,@a+dptr
light:  mov dptr,#0xE201
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

; Timer 0: counts the second down and, when it is over, moves the time on; each
; byte is written once with its final value, so the display never shows a 60.
tick:   djnz 0x40,tock
        mov 0x40,#250
        djnz 0x41,tock
        mov 0x41,#16
        push acc
        push psw
        mov a,0x42
        add a,#1
        da a
        cjne a,#0x60,seconds
        clr a
        mov 0x42,a
        mov a,0x43
        add a,#1
        da a
        cjne a,#0x60,minutes
        clr a
        mov 0x43,a
        mov a,0x44
        add a,#1
        da a
        cjne a,#0x24,hours
        clr a
hours:  mov 0x44,a
        sjmp done
minutes:
        mov 0x43,a
        sjmp done
seconds:
        mov 0x42,a
done:   pop psw
        pop acc
tock:   reti

glyphs: .db 0x3F,0x06,0x5B,0x4F,0x66,0x6D,0x7D,0x07,0x7F,0x6F
