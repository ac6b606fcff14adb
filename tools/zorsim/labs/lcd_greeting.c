/* LCD greeting: "Hello, lab!" on line 1 and "8051 says hi" on line 2, polling the busy flag. */
#include "board.h"

static void wait_ready(void)
{
    while (lcd_instruction & 0x80)
        ;
}

static void command(unsigned char instruction)
{
    wait_ready();
    lcd_instruction = instruction;
}

static void text(const char *s)
{
    while (*s) {
        wait_ready();
        lcd_data = *s++;
    }
}

void main(void)
{
    command(0x38); /* 8-bit bus, two lines */
    command(0x0C); /* display on, no cursor */
    command(0x06); /* entry mode: increment */
    command(0x01); /* clear */
    text("Hello, lab!");
    command(0xC0); /* line 2 */
    text("8051 says hi");
    for (;;)
        ;
}
