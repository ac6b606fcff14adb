/* Stepper turning: 48 full steps (A, B, C, D) clockwise, one turn at 7.5 degrees a
 * step, about 10 ms each, then stops. */
#include "board.h"
#include "delay.h"

void main(void)
{
    unsigned char step;
    ppi_control = PPI_A_IN;
    for (step = 0; step < 48; ++step) {
        ppi_b = 1 << (step & 3);
        wait_ms(10);
    }
    for (;;)
        ;
}
