// Everything an 8051 instruction reads and writes, with the addressing helpers the
// instruction handlers share. The memories belong to the board; the state only points
// at them: code and external data are 64 KB each, internal data 256 bytes (indirect
// addressing reaches all of it, direct addresses from 0x80 up are the SFRs).
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "zorkit/platform/core/WinTypes.h"
#include "sim/cpu/Sfr.h"

namespace zorkit::sim::cpu {

inline BYTE Parity(BYTE v)
{
    v ^= BYTE(v >> 4);
    v ^= BYTE(v >> 2);
    v ^= BYTE(v >> 1);
    return BYTE(v & 1);
}

struct CCoreState {
    BYTE* code = nullptr;
    BYTE* xdata = nullptr;
    BYTE* idata = nullptr;
    // Indexed by address − 0x80. P in PSW is not kept here: it always shows A's parity.
    std::array<BYTE, 0x80> sfr{};
    WORD pc = 0;
    std::uint64_t cycles = 0;
    // Address of R0 in the bank that PSW selects.
    BYTE bank = 0;
    // Set by RETI and by writes to IE or IP: one more instruction runs before an interrupt.
    bool interruptHold = false;
    // Interrupt levels in service: bit 0 low, bit 1 high.
    BYTE inService = 0;
    // Told about every port latch write that changes the latch (port 0..3, new value).
    std::function<void(int, BYTE)> portObserver;

    BYTE& Sfr(BYTE address) { return sfr[address - 0x80]; }
    BYTE Sfr(BYTE address) const { return sfr[address - 0x80]; }
    BYTE& A() { return Sfr(ACC); }
    BYTE& R(int n) { return idata[bank + n]; }
    WORD Dptr() const { return WORD(Sfr(DPH) << 8 | Sfr(DPL)); }
    void SetDptr(WORD v)
    {
        Sfr(DPL) = BYTE(v);
        Sfr(DPH) = BYTE(v >> 8);
    }

    BYTE Fetch() { return code[pc++]; }
    // The relative offset of a jump; the target counts from the end of the instruction.
    void Jump(BYTE rel) { pc = WORD(pc + static_cast<signed char>(rel)); }

    BYTE Psw() const { return BYTE((Sfr(PSW) & ~kParity) | Parity(Sfr(ACC))); }
    bool Carry() const { return Sfr(PSW) & kCarry; }
    void SetCarry(bool on) { Sfr(PSW) = BYTE(on ? Sfr(PSW) | kCarry : Sfr(PSW) & ~kCarry); }
    void SetFlags(bool carry, bool auxCarry, bool overflow)
    {
        BYTE psw = Sfr(PSW) & BYTE(~(kCarry | kAuxCarry | kOverflow));
        Sfr(PSW) = BYTE(psw | (carry ? kCarry : 0) | (auxCarry ? kAuxCarry : 0) | (overflow ? kOverflow : 0));
    }

    BYTE ReadSfr(BYTE address) const { return address == PSW ? Psw() : Sfr(address); }
    void WriteSfr(BYTE address, BYTE value)
    {
        BYTE old = Sfr(address);
        Sfr(address) = value;
        if (address == PSW)
            bank = value & kBankBits;
        else if ((address & 0xCF) == 0x80 || address == IE || address == IP || address == TCON)
            SfrWritten(address, old);
    }
    BYTE ReadDirect(BYTE address) const { return address < 0x80 ? idata[address] : ReadSfr(address); }
    void WriteDirect(BYTE address, BYTE value)
    {
        if (address < 0x80)
            idata[address] = value;
        else
            WriteSfr(address, value);
    }

    // Bit addresses 00-7F lie in bytes 20-2F; 80-FF in the SFRs whose address ends in 0 or 8.
    static BYTE BitByte(BYTE bit) { return bit < 0x80 ? BYTE(0x20 + (bit >> 3)) : BYTE(bit & 0xF8); }
    bool ReadBit(BYTE bit) const { return ReadDirect(BitByte(bit)) >> (bit & 7) & 1; }
    void WriteBit(BYTE bit, bool on)
    {
        BYTE address = BitByte(bit);
        BYTE mask = BYTE(1 << (bit & 7));
        BYTE value = ReadDirect(address);
        WriteDirect(address, on ? BYTE(value | mask) : BYTE(value & ~mask));
    }

    void Push(BYTE v) { idata[++Sfr(SP)] = v; }
    BYTE Pop() { return idata[Sfr(SP)--]; }
    void PushPc()
    {
        Push(BYTE(pc));
        Push(BYTE(pc >> 8));
    }
    void PopPc()
    {
        WORD high = Pop();
        pc = WORD(high << 8 | Pop());
    }

    // Port, interrupt and timer side effects of SFR writes (out of line: they are rare).
    void SfrWritten(BYTE address, BYTE old);
};

}
