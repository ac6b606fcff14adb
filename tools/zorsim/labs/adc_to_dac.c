/* A/D to D/A: converts knob 0 again and again, waiting for the end of conversion on
 * PC7, and writes each result to the D/A converter. */
#include "board.h"

void main(void)
{
    ppi_control = PPI_A_IN_C_UPPER_IN;
    for (;;) {
        adc[0] = 0; /* start channel 0 */
        while (!(ppi_c & 0x80))
            ;
        dac = adc[0];
    }
}
