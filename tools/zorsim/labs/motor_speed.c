/* Motor speed from the encoder: the DC motor's drive pin PC0 is switched by timer 0
 * (auto-reload, every 150 machine cycles; 16 steps make a 2.4 ms period), on for as
 * many steps as DIP switches 4-7 say (switch 7 alone: half the time). Timer 1 counts
 * the encoder's pulses (20 a turn) for 125 periods, 0.3 s at 12 MHz, so the count
 * times ten is the speed in rpm; the display shows it. */
#include "display.h"

static unsigned char step = 15, steps_on, periods = 125;
static volatile unsigned int count;
static volatile __bit counted;

void drive_step(void) __interrupt(1)
{
    step = (step + 1) & 0x0F;
    if (step) {
        if (step == steps_on)
            ppi_control = PPI_RESET(0);
        return;
    }
    if (--periods == 0) {
        periods = 125;
        TR1 = 0;
        count = (TH1 << 8) | TL1;
        TH1 = TL1 = 0;
        TR1 = 1;
        counted = 1;
    }
    steps_on = ppi_a >> 4;
    if (steps_on)
        ppi_control = PPI_SET(0);
}

void main(void)
{
    unsigned char patterns[8] = {0, 0, 0, 0, 0, 0, 0, 0x3F}; /* the last digit is always 0 */
    ppi_control = PPI_A_IN_C_UPPER_IN;
    TMOD = 0x52; /* timer 1: counter of T1, 16 bits; timer 0: auto-reload */
    TH0 = TL0 = 256 - 150;
    ET0 = 1;
    EA = 1;
    TR1 = 1;
    TR0 = 1;
    for (;;) {
        scan_display(patterns);
        if (counted) {
            unsigned int n;
            unsigned char digit;
            __bit shown = 0;
            EA = 0;
            n = count;
            counted = 0;
            EA = 1;
            /* hundreds, tens and units of the count, blank while leading zeros */
            for (digit = 4; digit < 7; ++digit) {
                unsigned char value = digit == 4 ? n / 100 % 10 : digit == 5 ? n / 10 % 10 : n % 10;
                shown = shown || value;
                patterns[digit] = shown ? glyphs[value] : 0;
            }
        }
    }
}
