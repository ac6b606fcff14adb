; Keypad scan for the panel's tests: shows the key held down as a hexadecimal digit
; on digit 0 of the 7-segment display, dark while no key is down. Assemble with
; sdas8051 -o keypad_scan.rel keypad_scan.asm && sdld -i keypad_scan.ihx keypad_scan.rel
        .area CODE (ABS)
        .org 0
scan:   mov r0,#0               ; the row
        mov r1,#0xFE            ; its drive pattern, 0 = driven
row:    mov dptr,#0xE300
        mov a,r1
        movx @dptr,a
        movx a,@dptr            ; the columns, 0 = key down in the driven row
        anl a,#0x0F
        cjne a,#0x0F,found
        mov a,r1
        rl a
        mov r1,a
        inc r0
        cjne r0,#4,row
        clr a                   ; no key: the digit is dark
        sjmp show
found:  mov r2,#0               ; the column: the first 0 bit
col:    rrc a
        jnc key
        inc r2
        sjmp col
key:    mov a,r0
        rl a
        rl a
        add a,r2                ; key = row * 4 + column
        mov dptr,#glyphs
        movc a,@a+dptr
show:   mov dptr,#0xE200
        movx @dptr,a
        inc dptr
        mov a,#0x01             ; digit 0
        movx @dptr,a
        sjmp scan

glyphs: .db 0x3F,0x06,0x5B,0x4F,0x66,0x6D,0x7D,0x07,0x7F,0x6F,0x77,0x7C,0x39,0x5E,0x79,0x71
