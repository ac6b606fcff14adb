; Running lights, taking the LEDs to light on a high pin.
        .area CODE (ABS)
        .org 0
        mov a,#0x01
next:   mov p1,a
        mov r7,#200
wait:   mov r6,#250
inner:  djnz r6,inner
        djnz r7,wait
        rl a
        sjmp next
