#include <8051.h>

// The parallel chip: its control register and port A, where the switches are.
__xdata __at(0xE003) volatile unsigned char ppi_control;
__xdata __at(0xE000) volatile unsigned char switches;

void main(void)
{
    ppi_control = 0x90;
    for (;;)
        P1 = ~switches;
}
