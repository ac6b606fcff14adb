; The benchmark's mixed 8051 program: 3000 rounds of copying a table from code
; memory, sorting it in internal RAM, summing it into external memory and some
; MUL/DIV, then the undefined opcode A5, where both simulators stop.
; Assemble: sdas8051 -plosgff mixed.asm && sdld -i mixed mixed.rel && mv mixed.ihx mixed.hex
        .area CODE (ABS)
        .org 0
        ljmp start
        .org 0x30
table:  .db 0x5A,0x13,0xF0,0x07,0x99,0x21,0x42,0x00,0xC3,0x7E,0x18,0x65,0xAB,0x30,0x01,0xEE
start:  mov sp,#0x60
        mov r5,#12              ; 12 x 250 rounds
outer:  mov r4,#250
round:  mov dptr,#table         ; copy the table to 30H-3FH
        mov r0,#0x30
        mov r3,#0
copy:   mov a,r3
        movc a,@a+dptr
        mov @r0,a
        inc r0
        inc r3
        cjne r3,#16,copy
pass:   mov r0,#0x30            ; bubble sort
        mov r7,#15
        clr f0
cmp:    mov a,@r0
        mov r2,a
        inc r0
        mov a,@r0
        clr c
        subb a,r2
        jnc inorder
        mov a,@r0
        xch a,r2
        mov @r0,a
        dec r0
        mov a,r2
        mov @r0,a
        inc r0
        setb f0
inorder: djnz r7,cmp
        jb f0,pass
        mov r0,#0x30            ; sum into external memory, with MUL and DIV
        mov dptr,#0x8000
        clr a
sum:    addc a,@r0
        mov b,#3
        mul ab
        mov b,#7
        div ab
        movx @dptr,a
        inc dptr
        inc r0
        cjne r0,#0x40,sum
        djnz r4,round
        djnz r5,outer
        .db 0xA5
