/* 7-segment counter: a count in two hexadecimal digits on digits 6 and 7, one up
 * every 100 scans of the display. */
#include "display.h"

void main(void)
{
    unsigned char patterns[8] = {0};
    unsigned char count = 0;
    unsigned char scans;
    for (;;) {
        patterns[6] = glyphs[count >> 4];
        patterns[7] = glyphs[count & 0x0F];
        for (scans = 0; scans < 100; ++scans)
            scan_display(patterns);
        ++count;
    }
}
