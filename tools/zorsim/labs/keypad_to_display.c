/* Keypad to display: scans the 4x4 keypad row by row between scans of the display;
 * each key pressed (held steady for four scans, about 20 ms, so a bouncing contact
 * counts once) enters from the right and moves the others left. The display starts
 * as eight dashes. */
#include "display.h"

#define NO_KEY 0xFF

/* The key held down (row * 4 + column), NO_KEY when none. */
static unsigned char key_down(void)
{
    unsigned char row, column, columns;
    for (row = 0; row < 4; ++row) {
        keypad = ~(1 << row) & 0x0F;
        columns = ~keypad & 0x0F; /* 1: a key down in that column */
        for (column = 0; column < 4; ++column)
            if (columns & (1 << column))
                return row * 4 + column;
    }
    return NO_KEY;
}

void main(void)
{
    unsigned char patterns[8];
    unsigned char seen = NO_KEY, scans = 3, key, n;
    for (n = 0; n < 8; ++n)
        patterns[n] = SEG7_DASH;
    for (;;) {
        scan_display(patterns);
        key = key_down();
        if (key != seen) {
            seen = key;
            scans = 0;
        } else if (scans < 3 && ++scans == 3 && key != NO_KEY) {
            for (n = 0; n < 7; ++n)
                patterns[n] = patterns[n + 1];
            patterns[7] = glyphs[key];
        }
    }
}
