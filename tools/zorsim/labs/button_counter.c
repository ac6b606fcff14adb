/* Button counter on INT0: each press of button 0 (a falling edge) counts; the count
 * shows in binary on LEDs 0-6, and LED 7 lights once INT0 is armed, so a student
 * knows when presses start to count. */
#include "board.h"

static volatile unsigned char presses;

void count_press(void) __interrupt(0)
{
    ++presses;
}

void main(void)
{
    IT0 = 1; /* INT0 on the falling edge */
    EX0 = 1;
    EA = 1;
    for (;;)
        P1 = ~presses & 0x7F; /* LED 7 (pin low): ready */
}
