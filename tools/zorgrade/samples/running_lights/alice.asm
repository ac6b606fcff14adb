; Running lights: one LED lit at a time walks from LED 0 to LED 7, again and again.
        .area CODE (ABS)
        .org 0
        mov a,#0xFE             ; LED 0 lit (the LEDs light when their pin is low)
next:   mov p1,a
        mov r7,#200             ; about 100 ms a step at 12 MHz
wait:   mov r6,#250
inner:  djnz r6,inner
        djnz r7,wait
        rl a
        sjmp next
