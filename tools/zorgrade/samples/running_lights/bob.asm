; Running lights, with the delay loop counted for a faster crystal.
        .area CODE (ABS)
        .org 0
        mov a,#0xFE
next:   mov p1,a
        mov r7,#100
wait:   mov r6,#250
inner:  djnz r6,inner
        djnz r7,wait
        rl a
        sjmp next
