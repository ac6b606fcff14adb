; Running lights.
        .area CODE (ABS)
        .org 0
        mov a,#0xFE
next:   mov p1,a
        mov r7,#200
wait:   mov r6,#250
inner:  djnz r6,inner
        djnz r7,wiat
        rl a
        sjmp next
