; Every addressing mode of the moves, the stack, bank switching, bit operations and
; branches, compared after every instruction.
; check-every: 1
; xram: 0x0000 0x01ff
; max-steps: 2000
        .area CODE (ABS)
        .org 0
        ljmp start
        .org 0x30
table:  .db 0x11,0x22,0x33,0x44
start:  mov sp,#0x50
        ; immediate, direct, indirect and register forms
        mov a,#0x5a
        mov r0,#0x40
        mov @r0,a
        mov r1,#0x41
        mov @r1,#0xc3
        mov 0x42,@r1
        mov 0x43,0x42
        mov r7,0x43
        mov 0x44,r7
        mov a,@r0
        mov r2,a
        mov r3,#0x77
        mov a,r3
        mov 0x45,a
        mov @r0,0x45
        mov 0x46,#0x99
        ; register banks by PSW writes
        mov psw,#0x08
        mov r0,#0x11
        mov r7,#0x17
        mov psw,#0x10
        mov r0,#0x21
        mov psw,#0x18
        mov r0,#0x31
        mov a,r0
        mov psw,#0x00
        mov a,0x08
        add a,0x10
        ; exchanges
        mov a,#0xab
        xch a,r3
        xch a,0x44
        mov r1,#0x40
        xch a,@r1
        xchd a,@r1
        ; stack, including SP itself
        push acc
        push 0x44
        push sp
        pop 0x47
        pop b
        pop acc
        mov 0x48,sp
        push 0x48
        pop sp
        mov sp,#0x50
        ; code and external memory
        mov dptr,#table
        mov a,#2
        movc a,@a+dptr
        mov a,#1
        movc a,@a+pc
        sjmp pastpc
        .db 0x5e,0xe5
pastpc: mov dptr,#0x0123
        mov a,#0x3c
        movx @dptr,a
        inc dptr
        movx @dptr,a
        mov dptr,#0x01ff
        inc dptr
        mov dpl,#0x24
        movx a,@dptr
        mov p2,#0x01
        mov r0,#0x25
        mov a,#0x7e
        movx @r0,a
        mov r1,#0x23
        movx a,@r1
        mov p2,#0x00
        movx @r1,a
        ; bit space: RAM bits and SFR bits
        mov 0x20,#0x00
        setb 0x00
        setb 0x07
        cpl 0x01
        clr 0x07
        mov c,0x00
        mov 0x0f,c
        cpl c
        anl c,0x01
        orl c,/0x02
        anl c,/0x00
        orl c,0x07
        setb acc.7
        clr acc.0
        cpl b.3
        mov c,b.3
        jbc 0x00,bitset
        sjmp .
bitset: jbc 0x00,.
        jb 0x01,b1
        sjmp .
b1:     jnb 0x02,b2
        sjmp .
b2:     anl 0x20,#0x0f
        orl 0x20,#0x30
        xrl 0x20,#0xff
        mov a,#0x81
        anl 0x20,a
        orl 0x20,a
        xrl 0x20,a
        ; branches
        mov a,#0
        jz z1
        sjmp .
z1:     jnz .
        setb c
        jnc .
        jc c1
        sjmp .
c1:     mov r5,#3
loop:   djnz r5,loop
        mov 0x49,#2
loop2:  djnz 0x49,loop2
        acall sub1
        lcall sub2
        mov dptr,#jumps
        mov a,#2
        jmp @a+dptr
jumps:  sjmp .
        ajmp far1
          .org 0x0700
far1:   mov a,#0x42
        cjne a,#0x42,.
        cjne a,0x46,ne1
ne1:    mov r6,#0x10
        cjne r6,#0x20,ne2
ne2:    mov r0,#0x46
        cjne @r0,#0x99,.
        ljmp halt
sub1:   inc r5
        ret
sub2:   acall sub1
        inc r5
        ret
        .org 0x0900
halt:   sjmp halt
