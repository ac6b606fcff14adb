/* The 7-segment display, scanned by the program: one digit lit at a time, each
 * for about half a millisecond, so all eight are seen steady. */
#ifndef LAB_DISPLAY_H
#define LAB_DISPLAY_H

#include "board.h"

#define SEG7_DASH 0x40

static const unsigned char __code glyphs[16] = {
    0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F, 0x77, 0x7C, 0x39, 0x5E, 0x79, 0x71
};

/* Lights each digit n with patterns[n] once (bit 0 = a ... bit 6 = g, bit 7 = dp). */
static void scan_display(const unsigned char *patterns)
{
    unsigned char digit;
    for (digit = 0; digit < 8; ++digit) {
        volatile unsigned char hold = 40;
        seg7_digits = 0; /* all dark while the segments change */
        seg7_segments = patterns[digit];
        seg7_digits = 1 << digit;
        while (--hold)
            ;
    }
}

#endif
