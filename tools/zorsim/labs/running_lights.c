/* Running lights: one LED lit at a time walks from LED 0 to LED 7, again and again. */
#include "board.h"
#include "delay.h"

void main(void)
{
    unsigned char led = 0;
    for (;;) {
        P1 = ~(1 << led); /* an LED lights when its pin is low */
        wait_ms(100);
        led = (led + 1) & 7;
    }
}
