; The demo's program: sorts the 16 bytes at 30H-3FH of internal RAM in ascending
; order (bubble sort), counting the passes in R6, then stops at DONE (0140H), where
; the debugger sets its breakpoint.
; Assemble: sdas8051 -plosgff sort.asm && sdld -i sort sort.rel && mv sort.ihx sort.hex
        .area CODE (ABS)
        .org 0x0100
start:  mov sp,#0x60
        mov r6,#0
pass:   inc r6
        mov r0,#0x30        ; R0 walks the table
        mov r7,#15          ; comparisons per pass
        clr f0              ; nothing swapped yet
cmp:    mov a,@r0
        mov r2,a            ; R2 = this byte
        inc r0
        mov a,@r0           ; A = the next one
        clr c
        subb a,r2
        jnc inorder
        mov a,@r0           ; out of order: swap the two
        xch a,r2
        mov @r0,a
        dec r0
        mov a,r2
        mov @r0,a
        inc r0
        setb f0
inorder: djnz r7,cmp
        jb f0,pass
        mov a,r6
        ljmp done
        .org 0x0140
done:   sjmp done
