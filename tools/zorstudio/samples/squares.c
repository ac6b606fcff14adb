/* Adds up the squares of 1 to 5 in a tally, one call a number: a loop, a call
   with an argument and a local, and a struct. After the n-th call the tally's
   count is n and its sum 1 + 4 + ... + n * n. */
struct tally {
    unsigned char count;
    unsigned int sum;
};

struct tally tally;

void add_square(unsigned char n)
{
    unsigned int square = n * n;
    tally.sum += square;
    tally.count++;
}

void main(void)
{
    unsigned char i;
    for (i = 1; i <= 5; i++)
        add_square(i);
    while (1)
        ;
}
