; Timer 2's interrupt at 002B with TF2 and EXF2 as its sources, nested with INT0
; (edges driven from outside on P3.2) and timer 0 at both priorities: a low timer 2
; routine interrupted by a high INT0 while a raised TF0 waits its turn, a high timer 2
; nested in a low timer 0, both pending at once after a RETI (TF0 first), and EXF2
; from an edge on T2EX (P1.1). s51 calls an interrupt right after a write to IE or
; IP, where the 8051 first executes one more instruction: each such write here is
; followed by one that cannot raise a request. The routine clears TF2 and EXF2 itself. No timer runs while an
; interrupt is called, so its cost shows in the cycles only. Compared after every
; instruction.
; chip: 8052
; check-every: 1
; xram: 0x0000 0x000f
; max-steps: 600
; drive: 20 3 0xfb
; drive: 24 3 0xff
; drive: 140 1 0xfd
; drive: 144 1 0xff
        .area CODE (ABS)
        t2con = 0xc8
        tf2 = 0xcf
        exf2 = 0xce
        .org 0
        ljmp start
        .org 0x03
        ljmp ext0
        .org 0x0b
        ljmp tim0
        .org 0x2b
        ljmp tim2
        .org 0x40
start:  mov sp,#0x60
        setb it0
        mov ie,#0xa3
        mov ip,#0x01
        ; a low timer 2 routine, raised by software
        setb tf2
wa:     mov a,0x32
        jz wa
        ; a high timer 2 routine inside the low timer 0 one
        mov ip,#0x20
        mov 0x34,#1
        setb tf0
wb:     mov a,0x35
        jz wb
        ; both pending at once at one priority: a high timer 0 routine raises
        ; both at the low one, and after its RETI timer 0 is polled first
        mov 0x3a,#1
        mov ip,#0x02
        nop
        setb tf0
wc:     mov a,0x3b
        jz wc
        ; EXF2 from a falling edge on T2EX, the timer stopped
        mov t2con,#0x08
wd:     mov a,0x36
        jz wd
        mov t2con,#0
        mov dptr,#0
        mov a,0x30
        movx @dptr,a
        sjmp .

tim2:   push psw
        push acc
        jbc exf2,fromexf
        clr tf2
        inc 0x30
        mov a,0x34
        jnz nested
        ; TF0 waits at this priority; INT0, high, comes in
        setb tf0
wx:     mov a,0x31
        jz wx
        sjmp t2out
nested: mov 0x35,sp
        sjmp t2out
fromexf:
        inc 0x36
t2out:  pop acc
        pop psw
        reti

tim0:   push acc
        mov a,0x3a
        jz count0
        mov 0x3a,#0
        mov ip,#0
        setb tf2
        setb tf0
        sjmp t0out
count0: inc 0x32
        mov 0x3b,0x30
        mov a,0x37
        jnz t0out
        mov a,0x34
        jz t0out
        mov 0x37,#1
        setb tf2
        nop
        mov 0x38,0x35
t0out:  pop acc
        reti

ext0:   inc 0x31
        mov 0x39,sp
        reti
