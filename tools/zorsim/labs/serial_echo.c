/* Serial echo: says "echo ready" once, lights LED 0 when the greeting is out, then
   sends back every byte it receives.
   Mode 1 at 4800 baud: timer 1 reloads F3 (13 machine cycles at 12 MHz) with SMOD. */
#include <8052.h>

/* Waits for the byte before to have left, then sends c. */
static void send(char c)
{
    while (!TI)
        ;
    TI = 0;
    SBUF = c;
}

void main(void)
{
    const char *text = "echo ready\r\n";
    TMOD = 0x20;
    TH1 = 0xF3;
    TL1 = 0xF3;
    PCON |= 0x80;
    TR1 = 1;
    SCON = 0x50;
    TI = 1;
    while (*text)
        send(*text++);
    while (!TI)
        ;
    P1_0 = 0;
    for (;;) {
        /* The byte is taken from SBUF at once, so the next one may arrive while it goes out. */
        char c;
        while (!RI)
            ;
        RI = 0;
        c = SBUF;
        send(c);
    }
}
