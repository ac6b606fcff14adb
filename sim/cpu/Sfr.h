// Addresses of the 8051's special function registers and the bits the core acts on.
#pragma once

#include "zorkit/platform/core/WinTypes.h"

namespace zorkit::sim::cpu {

enum SfrAddress : BYTE {
    P0 = 0x80,
    SP = 0x81,
    DPL = 0x82,
    DPH = 0x83,
    PCON = 0x87,
    TCON = 0x88,
    TMOD = 0x89,
    TL0 = 0x8A,
    TL1 = 0x8B,
    TH0 = 0x8C,
    TH1 = 0x8D,
    P1 = 0x90,
    SCON = 0x98,
    SBUF = 0x99,
    P2 = 0xA0,
    IE = 0xA8,
    P3 = 0xB0,
    IP = 0xB8,
    // The 8052's timer 2
    T2CON = 0xC8,
    T2MOD = 0xC9,
    RCAP2L = 0xCA,
    RCAP2H = 0xCB,
    TL2 = 0xCC,
    TH2 = 0xCD,
    PSW = 0xD0,
    ACC = 0xE0,
    B = 0xF0,
};

// PSW
constexpr BYTE kCarry = 0x80;
constexpr BYTE kAuxCarry = 0x40;
constexpr BYTE kBankBits = 0x18;
constexpr BYTE kOverflow = 0x04;
constexpr BYTE kParity = 0x01;

// TCON
constexpr BYTE kTF1 = 0x80;
constexpr BYTE kTR1 = 0x40;
constexpr BYTE kTF0 = 0x20;
constexpr BYTE kTR0 = 0x10;
constexpr BYTE kIE1 = 0x08;
constexpr BYTE kIT1 = 0x04;
constexpr BYTE kIE0 = 0x02;
constexpr BYTE kIT0 = 0x01;

// IE
constexpr BYTE kEA = 0x80;
constexpr BYTE kET2 = 0x20;

// T2CON
constexpr BYTE kTF2 = 0x80;
constexpr BYTE kEXF2 = 0x40;
constexpr BYTE kRCLK = 0x20;
constexpr BYTE kTCLK = 0x10;
constexpr BYTE kEXEN2 = 0x08;
constexpr BYTE kTR2 = 0x04;
constexpr BYTE kCT2 = 0x02;
constexpr BYTE kCPRL2 = 0x01;

// T2MOD
constexpr BYTE kDCEN = 0x01;

// PCON
constexpr BYTE kSMOD = 0x80;
constexpr BYTE kPowerDown = 0x02;
constexpr BYTE kIdle = 0x01;

// SCON
constexpr BYTE kSM0 = 0x80;
constexpr BYTE kSM1 = 0x40;
constexpr BYTE kSM2 = 0x20;
constexpr BYTE kREN = 0x10;
constexpr BYTE kTB8 = 0x08;
constexpr BYTE kRB8 = 0x04;
constexpr BYTE kTI = 0x02;
constexpr BYTE kRI = 0x01;

// P1 pins with a second function on the 8052.
constexpr BYTE kPinT2 = 0x01;
constexpr BYTE kPinT2EX = 0x02;

// P3 pins with a second function.
constexpr BYTE kPinInt0 = 0x04;
constexpr BYTE kPinInt1 = 0x08;
constexpr BYTE kPinT0 = 0x10;
constexpr BYTE kPinT1 = 0x20;

}
