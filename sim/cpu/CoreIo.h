// What the board around the 8051 sees of the chip and how it acts on it: the devices
// wired to the port pins and the external bus, and the other end of the serial port.
// The core calls these on its own thread, between or inside instructions, with its
// machine-cycle count (C8051Core::Cycles) as the only clock.
//
//   class CMyBoard : public CBoardWiring { ... };
//   core.AttachWiring(&board);          // latch changes, bus cycles and ticks go to it
//   core.MapBus(0xFF00, 0xFF0F);        // MOVX there reaches the board, not the RAM
//   core.DrivePins(1, 0xFE);            // a switch pulls P1.0 low
//   core.RequestTick(core.Cycles() + 500);
#pragma once

#include <cstdint>

#include "zorkit/platform/core/WinTypes.h"

namespace zorkit::sim {

// The devices on the pins and the bus. Every call may act on the core again (drive
// pins, request a tick), but none may run it.
class CBoardWiring {
public:
    virtual ~CBoardWiring() = default;
    // A port latch (0..3) changed, by the program, the register image or a reset.
    virtual void LatchChanged(int port, BYTE latch) = 0;
    // MOVX at an address given to MapBus.
    virtual BYTE ReadBus(WORD address) = 0;
    virtual void WriteBus(WORD address, BYTE value) = 0;
    // The machine cycle asked for with RequestTick has passed; `now` is Cycles(),
    // up to one instruction (and an interrupt call) past the cycle asked for.
    virtual void Tick(std::uint64_t now) = 0;
    // A bit on the serial port's line (0 RXD, 1 TXD) began, in modes 1 and 3, once
    // asked for with C8051Core::WatchSerialLines; Cycles() is the instruction's in
    // which the baud counter rolled over.
    virtual void SerialLineChanged(int, bool) {}
};

// The other end of the serial port's lines, a byte at a time.
class CSerialPeer {
public:
    virtual ~CSerialPeer() = default;
    // A frame has left TXD: its eight data bits and, in modes 2 and 3, TB8 (true in
    // modes 0 and 1, where the stop bit is in its place).
    virtual void Transmitted(BYTE data, bool ninth) = 0;
};

}
