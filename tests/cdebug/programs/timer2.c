/* Timer 2 ticks in its interrupt, in register bank 2, while main copies what the
   handler writes inside critical sections and keeps its own work in bank 0. */
#include <8052.h>

volatile unsigned char ticks;
/* The handler writes the tick into all four; a copy torn by it would differ. */
volatile unsigned char quad[4];
unsigned char torn;
unsigned int work;
unsigned char handlerBank;
unsigned char criticalCalls;

void timer2_isr(void) __interrupt(5) __using(2)
{
    unsigned char i;

    TF2 = 0;
    ticks++;
    for (i = 0; i < 4; i++)
        quad[i] = ticks;
    handlerBank = PSW & 0x18;
}

static void note_call(void) __critical
{
    criticalCalls++;
}

void main(void)
{
    unsigned int n;
    unsigned char k;
    unsigned char seen[4];

    RCAP2H = 0xFF;
    RCAP2L = 0x80;
    TH2 = 0xFF;
    TL2 = 0x80;
    ET2 = 1;
    EA = 1;
    TR2 = 1;
    for (n = 0; n < 300; n++) {
        __critical {
            for (k = 0; k < 4; k++)
                seen[k] = quad[k];
        }
        if (seen[0] != seen[1] || seen[1] != seen[2] || seen[2] != seen[3])
            torn++;
        work += n;
        if ((n & 15) == 0)
            note_call(); /* @note */
    }
    /* Counted afresh, so that the end does not hang on how long the loop took. */
    TR2 = 0;
    ticks = 0;
    TR2 = 1;
    while (ticks < 40)
        ;
    TR2 = 0;
    EA = 0; /* @end */
    for (;;)
        ;
}
