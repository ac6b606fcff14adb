/* Calls that pass their first parameter in each width: kept in DPL where it
   arrived, moved through A during the first line, moved to registers before it;
   and globals with initialisers. The comments after the lines name them for the
   tests. */
#include <8051.h>

unsigned char squared; /* @plain */
unsigned char clipped;
int shifted;
long widened;
int limit = 40; /* @limit */
unsigned char table[3] = {1, 2, 3}; /* @table */

unsigned char square(unsigned char n)
{
    return n * n; /* @square */
}

unsigned char clip(unsigned char x)
{
    if (x > 3) { /* @clip */
        unsigned char y = x - 1;
        P1 = y;
        return y;
    }
    return x;
}

int shift(int v)
{
    int r = v + 7; /* @shift */
    P1 = r;
    r += v;
    return r;
}

long widen(long w)
{
    long r = w + 5; /* @widen */
    P1 = r;
    return r + w;
}

void main(void)
{
    squared = square(9); /* @callsquare */
    clipped = clip(12); /* @callclip */
    shifted = shift(-500); /* @callshift */
    widened = widen(100000); /* @callwiden */
    while (1) /* @done */
        ;
}
