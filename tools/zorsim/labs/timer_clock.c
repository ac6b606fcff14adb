/* Timer-interrupt clock: timer 0 in auto-reload mode interrupts every 250 machine
 * cycles; 4000 of them make a second (at 12 MHz). The time, from 00-00-00, shows as
 * HH-MM-SS on the 7-segment display, which the main loop scans. */
#include "display.h"

static volatile unsigned char hours, minutes, seconds;
static unsigned int ticks;

void tick(void) __interrupt(1)
{
    if (++ticks < 4000)
        return;
    ticks = 0;
    if (seconds < 59) {
        ++seconds;
        return;
    }
    seconds = 0;
    if (minutes < 59) {
        ++minutes;
        return;
    }
    minutes = 0;
    hours = hours < 23 ? hours + 1 : 0;
}

void main(void)
{
    unsigned char patterns[8];
    TMOD = 0x02; /* timer 0: 8-bit auto-reload */
    TH0 = TL0 = 256 - 250;
    ET0 = 1;
    EA = 1;
    TR0 = 1;
    patterns[2] = patterns[5] = SEG7_DASH;
    for (;;) {
        patterns[0] = glyphs[hours / 10];
        patterns[1] = glyphs[hours % 10];
        patterns[3] = glyphs[minutes / 10];
        patterns[4] = glyphs[minutes % 10];
        patterns[6] = glyphs[seconds / 10];
        patterns[7] = glyphs[seconds % 10];
        scan_display(patterns);
    }
}
