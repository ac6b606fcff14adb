/* Adds up the squares of 1 to 5 in a tally: a loop, a call with an argument and a
   struct. When the pass for i begins, the tally's count is i - 1 and its sum
   1 + 4 + ... + (i - 1) * (i - 1). */
struct tally {
    unsigned char count;
    unsigned int sum;
};

struct tally tally;

unsigned int square(unsigned char n)
{
    return n * n;
}

void main(void)
{
    unsigned char i;
    for (i = 1; i <= 5; i++) {
        tally.sum += square(i);
        tally.count = i;
    }
    while (1)
        ;
}
