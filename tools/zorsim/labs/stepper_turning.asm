; Stepper turning: 48 full steps (A, B, C, D) clockwise, one turn at 7.5 degrees a step, then stops.
        .area CODE (ABS)
        .org 0
        mov dptr,#0xE003
        mov a,#0x90             ; parallel chip: port B out
        movx @dptr,a
        mov dptr,#0xE001
        mov r5,#48
        mov a,#0x01
step:   movx @dptr,a
        mov r7,#20              ; about 10 ms a step
wait:   mov r6,#250
inner:  djnz r6,inner
        djnz r7,wait
        rl a
        cjne a,#0x10,turn
        mov a,#0x01
turn:   djnz r5,step
halt:   sjmp halt
