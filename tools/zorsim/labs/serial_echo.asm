; Serial echo: says "echo ready" once, lights LED 0 when the greeting is out, then
; sends back every byte it receives.
; Mode 1 at 4800 baud: timer 1 reloads F3 (13 machine cycles at 12 MHz) with SMOD.
        .area CODE (ABS)
        .org 0
        mov tmod,#0x20          ; timer 1: 8-bit auto-reload
        mov th1,#0xF3
        mov tl1,#0xF3
        orl pcon,#0x80          ; SMOD: sixteen overflows a bit
        setb tr1
        mov scon,#0x50          ; mode 1, receiver on
        setb ti                 ; the transmitter is free
        mov dptr,#ready
greet:  clr a
        movc a,@a+dptr
        jz listen
        acall send
        inc dptr
        sjmp greet
listen: jnb ti,listen
        clr p1.0
; The byte is taken from SBUF at once, so the next one may arrive while it goes out.
echo:   jnb ri,echo
        clr ri
        mov a,sbuf
        acall send
        sjmp echo
; Waits for the byte before to have left, then sends A.
send:   jnb ti,send
        clr ti
        mov sbuf,a
        ret
ready:  .ascii "echo ready\r\n"
        .db 0
