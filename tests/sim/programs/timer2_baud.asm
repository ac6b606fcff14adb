; Timer 2 as the serial port's baud-rate generator: mode 1 with both clocks from
; timer 2 (RCAP2 FFFE), then mode 3 with TB8 at RCAP2 FFFC. Its overflows set no TF2.
; Each frame starts at the next rollover of the baud clock's divide-by-16 counter;
; the program waits a fixed time that covers the frame, in a loop that leaves SCON
; unread, so that what follows does not depend on when TI rose. Compared after
; every instruction, with the bytes sent, but for TL2 and TH2: s51 does not count
; them as a baud-rate generator.
; chip: 8052
; untraced: 0xcc 0xcd
; check-every: 1
; xram: 0x0000 0x000f
; max-steps: 600
; serial-out: yes
        .area CODE (ABS)
        t2con = 0xc8
        rcap2l = 0xca
        rcap2h = 0xcb
        tl2 = 0xcc
        th2 = 0xcd
        .org 0
        ljmp start
        .org 0x40
start:  mov sp,#0x60
        mov rcap2h,#0xff
        mov rcap2l,#0xfe
        mov th2,#0xff
        mov tl2,#0xfe
        mov scon,#0x40
        mov t2con,#0x34
        mov r0,#0x41
        mov r7,#2
send:   mov sbuf,r0
        mov r3,#22
w1:     nop
        djnz r3,w1
        clr ti
        inc r0
        djnz r7,send
        mov t2con,#0x30
        mov rcap2l,#0xfc
        mov tl2,#0xfc
        mov t2con,#0x34
        mov scon,#0xc8
        mov sbuf,#0x5a
        mov r3,#43
w2:     nop
        djnz r3,w2
        clr ti
        mov t2con,#0
        sjmp .
