; The serial port sending in mode 0 (a bit a machine cycle, SM2 set, REN clear),
; back to back, with the bytes sent. TI is polled by a one-cycle read of SCON (s51
; reads the bit of a JNB after its first cycle). Compared after every instruction.
; Modes 1 and 3 are compared with timer 2 (timer2_baud) and timer 1 (serial_timer1)
; as their clock; mode 2 is not: s51 sends it at twice the 8051's rate.
; check-every: 1
; xram: 0x0000 0x000f
; max-steps: 200
; serial-out: yes
        .area CODE (ABS)
        .org 0
        ljmp start
        .org 0x40
start:  mov sp,#0x60
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
        mov sbuf,a
wait:   mov a,scon
        jnb acc.1,wait
        clr ti
        inc dptr
        inc dptr
        inc dptr
        sjmp next
done:   mov scon,#0
        mov pcon,#0
        sjmp .
        ; SCON, PCON, byte; mode 0 needs a nonzero SCON: REN stays clear, SM2 is set
frames: .db 0x20,0x00,0xa5
        .db 0x20,0x80,0x3c
        .db 0x20,0x00,0x7e
        .db 0x00
