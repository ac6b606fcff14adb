; The serial port sending in modes 1 and 3 at timer 1's rates: timer 1 in mode 2 at
; several reloads, SMOD clear and set. Frames start at the next rollover of the
; free-running divide-by-16 baud counter, so when TI rises depends on when SBUF was
; written as well as on the rate; the writes come at different points of it. The
; program waits a fixed time that covers the frame, in a loop that leaves SCON
; unread, so that what follows does not depend on when TI rose. Compared after
; every instruction, with the bytes sent.
; check-every: 1
; xram: 0x0000 0x000f
; max-steps: 4000
; serial-out: yes
        .area CODE (ABS)
        .org 0
        ljmp start
        .org 0x40
start:  mov sp,#0x60
        mov tmod,#0x20
        mov th1,#0xff
        mov tl1,#0xff
        setb tr1
        mov dptr,#frames
next:   clr a
        movc a,@a+dptr
        jz done
        mov scon,a
        mov a,#1
        movc a,@a+dptr
        mov pcon,a
        mov a,#2
        movc a,@a+dptr
        mov th1,a
        mov a,#3
        movc a,@a+dptr
        mov r2,a
delay:  djnz r2,delay
        mov a,#5
        movc a,@a+dptr
        mov r3,a
        mov a,#4
        movc a,@a+dptr
        mov sbuf,a
wait:   nop
        djnz r3,wait
        clr ti
        inc dptr
        inc dptr
        inc dptr
        inc dptr
        inc dptr
        inc dptr
        sjmp next
done:   mov scon,#0
        mov pcon,#0
        clr tr1
        sjmp .
        ; SCON, PCON, TH1, delay, byte, wait (three cycles each)
frames: .db 0x40,0x80,0xff,1,0x55,62
        .db 0x40,0x80,0xff,2,0xa3,58
        .db 0x40,0x00,0xff,3,0x0f,111
        .db 0x40,0x00,0xfe,1,0xc4,218
        .db 0x40,0x80,0xfd,2,0x81,164
        .db 0xc8,0x00,0xff,1,0x3e,122
        .db 0xc0,0x80,0xfe,3,0x7d,122
        .db 0xd8,0x80,0xff,2,0x12,63
        .db 0x00

