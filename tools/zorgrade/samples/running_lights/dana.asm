; Running lights with the delay in a subroutine that keeps A safe on the stack.
        .area CODE (ABS)
        .org 0
        mov a,#0xFE
next:   mov p1,a
        acall delay
        rl a
        sjmp next

delay:  mov r7,#200
wait:   push acc
        mov r6,#250
inner:  djnz r6,inner
        djnz r7,wait
        pop acc
        ret
