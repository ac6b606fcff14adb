/* Waiting with timer 0, a millisecond at a time at 12 MHz. */
#ifndef LAB_DELAY_H
#define LAB_DELAY_H

#include <8051.h>

static void wait_ms(unsigned int ms)
{
    TMOD = (TMOD & 0xF0) | 0x01;
    while (ms--) {
        TH0 = (65536 - 1000) >> 8;
        TL0 = (65536 - 1000) & 0xFF;
        TF0 = 0;
        TR0 = 1;
        while (!TF0)
            ;
        TR0 = 0;
    }
}

#endif
