/* A lab exercise in C: a loop calling a function, a recursion, a record, a long
   and a float, a pointer into external RAM and a timer interrupt. The comments
   after the lines name them for the tests. */
#include <8051.h>

struct sample {
    int count;
    char tag;
    long total;
};

struct sample record;
__xdata unsigned char buffer[8];
__xdata unsigned char *cursor;
float scale = 1.5;
long big;
volatile unsigned char ticks;
__bit ready;

void timer0(void) __interrupt(1)
{
    ticks++; /* @tick */
}

int add(int a, int b)
{
    int s;
    s = a + b; /* @add */
    return s; /* @return */
}

int fact(int n)
{
    if (n <= 1) /* @fact */
        return 1;
    return n * fact(n - 1); /* @recurse */
}

void main(void)
{
    char word[4];
    unsigned char i;
    int t = 0;
    word[0] = 'h';
    word[1] = 'i';
    for (i = 0; i < 3; i++) { /* @for */
        t += add(i, 2); /* @call */
    }
    record.count = fact(4); /* @record */
    record.tag = 'r';
    record.total = 100000;
    big = -70000;
    scale = scale * 2;
    cursor = buffer; /* @cursor */
    *cursor = 5;
    cursor[1] = 6;
    ready = 1; /* @ready */
    TMOD = 0x02; /* @timer */
    TH0 = 0;
    ET0 = 1;
    EA = 1;
    TR0 = 1;
    while (ticks < 3) /* @wait */
        ;
    TR0 = 0;
    word[2] = 0; /* @done */
    while (1)
        ;
}
