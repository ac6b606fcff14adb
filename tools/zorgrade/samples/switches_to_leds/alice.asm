; Switches to LEDs: each DIP switch that is on lights its LED.
        .area CODE (ABS)
        .org 0
        mov dptr,#0xE003
        mov a,#0x90             ; parallel chip, mode 0: port A in, B and C out
        movx @dptr,a
        mov dptr,#0xE000
loop:   movx a,@dptr            ; the switches, 1 = on
        cpl a                   ; an LED lights when its pin is low
        mov p1,a
        sjmp loop
