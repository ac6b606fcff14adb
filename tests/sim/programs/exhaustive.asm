; Every pair of bytes through ADDC, SUBB, DA, MUL and DIV, the results and flags
; stored in external memory; compared every 100000 instructions.
; check-every: 100000
; xram: 0x0000 0xffff
; max-steps: 3000000
        .area CODE (ABS)
        .org 0
        ljmp start
        .org 0x30
start:  mov dptr,#0
        mov r2,#0
outer:  mov r3,#0
inner:  mov a,r3
        rrc a
        mov a,r2
        addc a,r3
        movx @dptr,a
        inc dptr
        mov a,psw
        movx @dptr,a
        inc dptr
        mov a,r2
        subb a,r3
        mov b,psw
        da a
        xrl a,b
        xrl a,psw
        movx @dptr,a
        inc dptr
        mov a,r2
        mov b,r3
        mul ab
        xrl a,b
        xrl a,psw
        mov r4,a
        mov a,r3
        jz nodiv
        mov a,r2
        mov b,r3
        div ab
        xrl a,psw
        xrl a,b
nodiv:  add a,r4
        movx @dptr,a
        inc dptr
        djnz r3,inner
        djnz r2,outer
halt:   sjmp halt
