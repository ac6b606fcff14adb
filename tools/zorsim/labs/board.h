/* The built-in board's devices as a C lab program sees them (the wiring table of
 * zorsim --help). Built with sdcc, code from 0100. */
#ifndef LAB_BOARD_H
#define LAB_BOARD_H

#include <8051.h>

__xdata __at(0xE000) volatile unsigned char ppi_a;       /* DIP switches, 1 = on */
__xdata __at(0xE001) volatile unsigned char ppi_b;       /* stepper phases A-D on bits 0-3 */
__xdata __at(0xE002) volatile unsigned char ppi_c;       /* PC0 motor drive, PC7 end of conversion */
__xdata __at(0xE003) volatile unsigned char ppi_control;
__xdata __at(0xE200) volatile unsigned char seg7_segments;
__xdata __at(0xE201) volatile unsigned char seg7_digits;
__xdata __at(0xE300) volatile unsigned char keypad;      /* write rows, read columns */
__xdata __at(0xE400) volatile unsigned char lcd_instruction;
__xdata __at(0xE401) volatile unsigned char lcd_data;
__xdata __at(0xE500) volatile unsigned char adc[8];      /* write: start channel n; read: result */
__xdata __at(0xE600) volatile unsigned char dac;

/* Parallel chip mode words: port A in, port C upper half in, B and C lower out;
 * and port A in, the rest out. */
#define PPI_A_IN_C_UPPER_IN 0x98
#define PPI_A_IN 0x90
/* Bit set/reset words for port C pin n. */
#define PPI_SET(n) (((n) << 1) | 1)
#define PPI_RESET(n) ((n) << 1)

#endif
