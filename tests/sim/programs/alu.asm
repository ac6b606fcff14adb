; Arithmetic and logic on flag-sensitive operands, compared after every instruction.
; check-every: 1
; xram: 0x0000 0x00ff
; max-steps: 3000
        .area CODE (ABS)
        .org 0
        ljmp start
        .org 0x40
; Operand pairs: carries out of bit 3 and bit 7, signed overflow both ways, zero, BCD.
pairs:  .db 0x00,0x00, 0x0f,0x01, 0x7f,0x01, 0x80,0xff, 0xff,0x01, 0x80,0x80
        .db 0x7f,0x7f, 0x08,0x08, 0x99,0x01, 0x45,0x55, 0x19,0x28, 0x90,0x90
        .db 0x01,0x02, 0x00,0x01, 0x80,0x01, 0x10,0x01, 0x5a,0xa5, 0xfe,0xff
npairs  = 18
start:  mov sp,#0x60
        mov r2,#0
        mov dptr,#pairs
        mov r1,#0x30
next:   mov a,r2
        movc a,@a+dptr
        mov r4,a
        inc r2
        mov a,r2
        movc a,@a+dptr
        mov r5,a
        inc r2
        ; ADD, ADDC with carry clear and set, SUBB with borrow clear and set
        mov a,r4
        add a,r5
        mov @r1,a
        mov a,r4
        clr c
        addc a,r5
        mov a,r4
        setb c
        addc a,r5
        mov a,r4
        clr c
        subb a,r5
        mov a,r4
        setb c
        subb a,r5
        ; BCD: add then adjust, with AC and CY from the addition
        mov a,r4
        add a,r5
        da a
        mov a,r4
        addc a,#0x66
        da a
        ; MUL, DIV
        mov a,r4
        mov b,r5
        mul ab
        mov a,r4
        mov b,r5
        div ab
        ; INC, DEC through wrap; logic and rotates through carry
        mov a,r4
        inc a
        dec r5
        inc r5
        anl a,r5
        orl a,#0x21
        xrl a,r4
        rl a
        rlc a
        rr a
        rrc a
        swap a
        cpl a
        ; CJNE sets CY for below
        cjne a,#0x80,.+3
        mov a,r5
        cjne a,0x04,.+3
        xch a,r4
        cjne r4,#0x40,.+3
        inc r1
        cjne r2,#(2*npairs),next
        ; DIV by zero sets OV and clears CY
        mov a,#0x12
        mov b,#0
        setb c
        div ab
        mov a,#0
        mov b,#0
        ; DA with both carries at once
        mov a,#0x99
        add a,#0x99
        da a
        mov a,#0x0a
        da a
        mov a,#0xa0
        clr c
        da a
halt:   sjmp halt
