; Timer 2 of the 8052: 16-bit auto-reload at several reload values (FFFF reloads
; every machine cycle), the reload and capture that a falling edge on T2EX (P1.1,
; driven from outside) makes with EXEN2, and TF2/EXF2 polled and cleared, compared
; after every instruction. Running timers and their flags are read, and the timer
; started, by one-cycle instructions only: s51 acts on a two-cycle instruction's
; operands after its first cycle, the core at its end.
; chip: 8052
; check-every: 1
; xram: 0x0000 0x000f
; max-steps: 700
; drive: 345 1 0xfd
; drive: 349 1 0xff
; drive: 358 1 0xfd
; drive: 362 1 0xff
; drive: 395 1 0xfd
; drive: 399 1 0xff
        .area CODE (ABS)
        t2con = 0xc8
        rcap2l = 0xca
        rcap2h = 0xcb
        tl2 = 0xcc
        th2 = 0xcd
        tf2 = 0xcf
        exf2 = 0xce
        tr2 = 0xca
        .org 0
        ljmp start
        .org 0x40
start:  mov sp,#0x60
        mov r0,#0x80
        ; auto-reload: each value counts overflows in R2 until three have passed
        mov dptr,#reloads
next:   clr a
        movc a,@a+dptr
        mov rcap2h,a
        mov th2,a
        mov a,#1
        movc a,@a+dptr
        mov rcap2l,a
        mov tl2,a
        orl a,rcap2h
        jz reloaded
        mov r2,#3
        setb tr2
wait:   mov a,t2con
        jnb acc.7,wait
        clr tf2
        inc @r0
        djnz r2,wait
        clr tr2
        mov a,tl2
        inc r0
        mov @r0,a
        inc dptr
        inc dptr
        sjmp next
reloaded:
        ; a running timer is read while it wraps, with one-cycle instructions
        mov rcap2h,#0xff
        mov rcap2l,#0xfb
        mov th2,#0xff
        mov tl2,#0xfe
        setb tr2
        mov a,th2
        mov r3,a
        mov a,tl2
        clr tr2
        clr tf2
        ; the outside pulls T2EX low at instruction 345: with EXEN2 it reloads
        ; and sets EXF2; without EXEN2 (the edge at 358) nothing happens
        mov rcap2h,#0x12
        mov rcap2l,#0x34
        mov th2,#0xab
        mov tl2,#0xcd
        mov t2con,#0x08
        setb tr2
wexf:   mov a,t2con
        jnb acc.6,wexf
        mov a,th2
        mov r4,a
        mov a,tl2
        mov r5,a
        clr exf2
        mov t2con,#0x04
        mov r7,#20
wfree:   djnz r7,wfree
        mov a,tl2
        mov r6,a
        clr tr2
        ; capture: the edge at 395 copies the running count into RCAP2 and
        ; sets EXF2, the count runs on
        mov rcap2h,#0
        mov rcap2l,#0
        mov th2,#0
        mov tl2,#0
        mov t2con,#0x09
        setb tr2
wcap:   mov a,t2con
        jnb acc.6,wcap
        clr tr2
        mov 0x40,rcap2h
        mov 0x41,rcap2l
        mov 0x42,th2
        mov 0x43,tl2
        mov t2con,#0
        mov dptr,#0
        mov a,r2
        movx @dptr,a
        sjmp .
reloads:
        .db 0xff,0xff, 0xff,0xf0, 0xff,0x9c, 0x00,0x00
