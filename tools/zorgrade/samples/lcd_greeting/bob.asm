; LCD greeting, waiting for the busy flag before each instruction.
        .area CODE (ABS)
        .org 0
        mov dptr,#0xE400
        mov a,#0x38             ; 8-bit bus, two lines
        acall command
        mov a,#0x0C             ; display on, no cursor
        acall command
        mov a,#0x06             ; entry mode: increment
        acall command
        mov a,#0x01             ; clear
        acall command
        mov r0,#0
        acall text
        mov a,#0xC0             ; line 2
        acall command
        mov r0,#line2-line1
        acall text
halt:   sjmp halt

; Waits while the LCD is busy, then gives it the instruction in A.
command:
        mov dptr,#0xE400
        push acc
busy:   movx a,@dptr
        jnb acc.7,busy
        pop acc
        movx @dptr,a
        ret

; Writes the text at line1+R0 up to its zero byte.
text:   mov a,r0
        mov dptr,#line1
        movc a,@a+dptr
        jz done
        mov r1,a
        mov dptr,#0xE400
wait:   movx a,@dptr
        jb acc.7,wait
        inc dptr
        mov a,r1
        movx @dptr,a
        inc r0
        sjmp text
done:   ret

line1:  .ascii "Hello, lab!"
        .db 0
line2:  .ascii "8051 says hi"
        .db 0
