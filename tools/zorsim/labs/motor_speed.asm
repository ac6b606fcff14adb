; Motor speed from the encoder: the DC motor's drive pin PC0 is switched by timer 0
; (auto-reload, every 150 machine cycles; 16 steps make a 2.4 ms period), on for as
; many steps as DIP switches 4-7 say (switch 7 alone: half the time). Timer 1 counts the
; encoder's pulses (20 a turn) for 125 periods, 0.3 s at 12 MHz, so the count times
; ten is the speed in rpm; the display shows it.
        .area CODE (ABS)
        .org 0
        ljmp start
        .org 0x000B
        ljmp tick
        .org 0x30
start:  mov dptr,#0xE003
        mov a,#0x98             ; parallel chip: A in (switches), C lower out (PC0), B out
        movx @dptr,a
        mov r0,#0x30            ; 30-37: the patterns of digits 0-7
fill:   mov @r0,#0
        inc r0
        cjne r0,#0x38,fill
        mov 0x37,#0x3F          ; the speed's last digit is always 0
        mov 0x50,#125           ; periods left in this count
        mov 0x53,#0             ; steps on in this period
        mov 0x54,#0x0F          ; step of the period: the first tick starts one
        mov tmod,#0x52          ; timer 1: counter of T1, 16 bits; timer 0: auto-reload
        mov th0,#106            ; 256 - 150
        mov tl0,#106
        mov tl1,#0
        mov th1,#0
        setb et0
        setb ea
        setb tr1
        setb tr0
frame:  mov r0,#0x30
        mov r2,#0x01            ; digit select: digit 0 first
digit:  mov dptr,#0xE201
        clr a
        movx @dptr,a            ; all digits dark while the segments change
        mov dptr,#0xE200
        mov a,@r0
        movx @dptr,a
        inc dptr
        mov a,r2
        movx @dptr,a
        mov r6,#250
hold:   djnz r6,hold
        inc r0
        mov a,r2
        rl a
        mov r2,a
        cjne a,#0x01,digit
        jnb 0x00,frame          ; a new count?
        clr 0x00
        acall convert
        sjmp frame

; Digits 4-6 from the count in 52:51 (up to 999): hundreds, tens and units,
; blank while they are leading zeros.
convert:
        mov r5,#0
        mov a,0x51
        mov r7,0x52
hundred:
        clr c
        subb a,#100
        mov r1,a
        mov a,r7
        subb a,#0
        jc below
        mov r7,a
        mov a,r1
        inc r5
        sjmp hundred
below:  mov a,r1
        add a,#100
        mov b,#10
        div ab
        mov r1,a
        mov r7,#0
        mov a,r5
        acall place
        mov 0x34,a
        mov a,r1
        acall place
        mov 0x35,a
        mov a,b
        acall place
        mov 0x36,a
        ret

; The pattern of the digit in A, blank while it is a leading zero (R7 = 0 until a
; digit has been shown).
place:  jnz shown
        cjne r7,#0,shown
        ret
shown:  mov r7,#1
        mov dptr,#glyphs
        movc a,@a+dptr
        ret

; Timer 0: one step of the drive's period. Step 0 starts a period (reads the
; switches, and every 125 periods hands the encoder count over); the drive goes
; off at the step the switches gave.
tick:   push acc
        push psw
        mov a,0x54
        inc a
        anl a,#0x0F
        mov 0x54,a
        jz period
        cjne a,0x53,tock
        push dpl
        push dph
        mov dptr,#0xE003
        mov a,#0x00             ; bit reset: PC0 low
        movx @dptr,a
        pop dph
        pop dpl
tock:   pop psw
        pop acc
        reti
period: push dpl
        push dph
        djnz 0x50,duty
        mov 0x50,#125
        clr tr1
        mov 0x51,tl1
        mov 0x52,th1
        mov tl1,#0
        mov th1,#0
        setb tr1
        setb 0x00
duty:   mov dptr,#0xE000
        movx a,@dptr
        swap a
        anl a,#0x0F             ; switches 4-7: 0-15 steps on
        mov 0x53,a
        jz off
        mov dptr,#0xE003
        mov a,#0x01             ; bit set: PC0 high
        movx @dptr,a
off:    pop dph
        pop dpl
        sjmp tock

glyphs: .db 0x3F,0x06,0x5B,0x4F,0x66,0x6D,0x7D,0x07,0x7F,0x6F
