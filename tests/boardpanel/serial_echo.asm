; Serial echo for the terminal's tests: each byte received on the UART (mode 1, the
; baud rate from timer 1) is sent back. Assemble with
; sdas8051 -o serial_echo.rel serial_echo.asm && sdld -i serial_echo.ihx serial_echo.rel
        .area CODE (ABS)
        .org 0
        mov tmod,#0x20          ; timer 1: 8-bit auto-reload
        mov th1,#0xFD
        mov tl1,#0xFD
        setb tr1
        mov scon,#0x50          ; mode 1, receiver on
loop:   jnb ri,loop
        clr ri
        mov a,sbuf
        clr ti
        mov sbuf,a
sent:   jnb ti,sent
        sjmp loop
