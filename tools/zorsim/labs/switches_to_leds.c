/* Switches to LEDs: each DIP switch that is on lights its LED. */
#include "board.h"

void main(void)
{
    ppi_control = PPI_A_IN;
    for (;;)
        P1 = ~ppi_a; /* an LED lights when its pin is low */
}
