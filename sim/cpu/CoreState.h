// Everything an 8051 instruction reads and writes, with the addressing helpers the
// instruction handlers share. The memories belong to the board; the state only points
// at them: code and external data are 64 KB each, internal data 256 bytes (indirect
// addressing reaches all of it, direct addresses from 0x80 up are the SFRs).
#pragma once

#include <algorithm>
#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <limits>

#include "zorkit/platform/core/WinTypes.h"
#include "sim/cpu/CoreIo.h"
#include "sim/cpu/SerialPort.h"
#include "sim/cpu/Sfr.h"

namespace zorkit::sim::cpu {

inline BYTE Parity(BYTE v)
{
    v ^= BYTE(v >> 4);
    v ^= BYTE(v >> 2);
    v ^= BYTE(v >> 1);
    return BYTE(v & 1);
}

// The SFRs whose writes act on more than their byte.
constexpr std::array<bool, 0x80> SideEffectTable()
{
    std::array<bool, 0x80> table{};
    for (BYTE address : {P0, P1, P2, P3, IE, IP, TCON, SCON, SBUF, T2CON})
        table[address - 0x80] = true;
    return table;
}
inline constexpr std::array<bool, 0x80> kSfrSideEffects = SideEffectTable();

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
    // What the outside holds on each port's pins: 1 where nothing pulls the pin low.
    // A pin reads as its latch AND this (quasi-bidirectional, with pull-ups; P0 too,
    // as the board's pull-up network makes it).
    std::array<BYTE, 4> pinInput{0xFF, 0xFF, 0xFF, 0xFF};
    CBoardWiring* wiring = nullptr;
    // The ports whose latch changes the wiring hears of as they happen; it reads
    // the others from the latches when it needs them.
    BYTE wiringPorts = 0x0F;
    // External addresses that reach the wiring instead of the external RAM.
    std::bitset<0x10000> busMap;
    CSerialPeer* serialPeer = nullptr;
    CSerialState serial;
    // The machine cycle at which the wiring asked to be ticked.
    std::uint64_t wiringTick = kNever;
    // The earliest of wiringTick and the serial port's deadline: one compare per
    // instruction finds that nothing is due.
    std::uint64_t nextEvent = kNever;
    // An 8052 has timer 2 and 256 bytes of internal RAM, an 8051 neither.
    bool is8052 = true;

    static constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max();

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

    static bool IsPort(BYTE address) { return (address & 0xCF) == 0x80; }
    static int PortIndex(BYTE address) { return (address >> 4) & 3; }
    BYTE Pins(int port) const { return BYTE(sfr[port << 4] & pinInput[port]); }
    // A read sees the pins of a port; read-modify-write instructions see the latch.
    BYTE ReadSfr(BYTE address) const
    {
        if (IsPort(address))
            return BYTE(Sfr(address) & pinInput[PortIndex(address)]);
        return address == PSW ? Psw() : Sfr(address);
    }
    BYTE ReadSfrLatch(BYTE address) const { return address == PSW ? Psw() : Sfr(address); }
    void WriteSfr(BYTE address, BYTE value)
    {
        BYTE old = Sfr(address);
        Sfr(address) = value;
        if (address == PSW)
            bank = value & kBankBits;
        else if (HasSideEffects(address))
            SfrWritten(address, old);
    }
    BYTE ReadDirect(BYTE address) const { return address < 0x80 ? idata[address] : ReadSfr(address); }
    BYTE ReadDirectLatch(BYTE address) const { return address < 0x80 ? idata[address] : ReadSfrLatch(address); }
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
    bool ReadBitLatch(BYTE bit) const { return ReadDirectLatch(BitByte(bit)) >> (bit & 7) & 1; }
    // Read-modify-write: the other bits come from the latch.
    void WriteBit(BYTE bit, bool on)
    {
        BYTE address = BitByte(bit);
        BYTE mask = BYTE(1 << (bit & 7));
        BYTE value = ReadDirectLatch(address);
        WriteDirect(address, on ? BYTE(value | mask) : BYTE(value & ~mask));
    }

    // Indirect addressing and the stack: an 8051 has no RAM at 80-FF (reads FF,
    // writes are lost).
    BYTE ReadIndirect(BYTE address) const { return address < 0x80 || is8052 ? idata[address] : BYTE(0xFF); }
    void WriteIndirect(BYTE address, BYTE v)
    {
        if (address < 0x80 || is8052)
            idata[address] = v;
    }
    void Push(BYTE v) { WriteIndirect(++Sfr(SP), v); }
    BYTE Pop() { return ReadIndirect(Sfr(SP)--); }

    BYTE ReadExternal(WORD address) { return busMap.test(address) ? wiring->ReadBus(address) : xdata[address]; }
    void WriteExternal(WORD address, BYTE v)
    {
        if (busMap.test(address))
            wiring->WriteBus(address, v);
        else
            xdata[address] = v;
    }
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

    static bool HasSideEffects(BYTE address) { return kSfrSideEffects[address - 0x80]; }
    // Port, interrupt, timer and serial side effects of SFR writes (out of line: they are rare).
    void SfrWritten(BYTE address, BYTE old);
    // The outside changed what it holds on a port's pins.
    void DrivePins(int port, BYTE level);
    // The pins' second functions after the pins of a port changed from `oldPins`.
    void PinsChanged(int port, BYTE oldPins);
    // Tells the watchers of the latch of `port`; a latch nobody watches costs a test.
    void LatchChanged(int port)
    {
        if (portObserver || (wiring && (wiringPorts >> port & 1)))
            TellLatchWatchers(port);
    }
    void TellLatchWatchers(int port);
    void UpdateNextEvent() { nextEvent = std::min(wiringTick, serial.deadline); }
};

}
