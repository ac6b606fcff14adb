// The serial port: SCON modes 0 (shift register, a bit per machine cycle), 1 (ten
// bits at timer 1's or timer 2's rate), 2 (eleven bits at 1/64 or, with SMOD, 1/32
// of the oscillator) and 3 (eleven bits at the timer's rate), SM2's address
// filtering, and the double-buffered receiver: a frame that completes while RI is
// still set is lost, one that completes after RI was cleared lands in SBUF.
// Frames move a byte at a time; their length in time is that of their bits.
// In modes 1 to 3 the bits follow a free-running divide-by-16 counter of the baud
// clock: a frame written to SBUF starts at its next rollover, and TI rises as the
// stop bit begins. The receiver restarts its counter at the start bit.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <limits>

#include "zorkit/platform/core/WinTypes.h"

namespace zorkit::sim::cpu {

struct CCoreState;

struct CSerialFrame {
    BYTE data = 0;
    bool ninth = true;
};

// The input of a divide-by-16 baud counter, counted since reset: a bit takes
// sixteen ticks, and the counter rolls over at every multiple of sixteen.
struct CBaudClock {
    std::uint64_t ticks = 0;
    // Timer 1's overflows are halved before they tick unless SMOD is set.
    bool halfTick = false;
};

// A frame being sent or received.
struct CFrameInFlight {
    bool active = false;
    // Timed by timer 1's or timer 2's baud clock (modes 1 and 3), else by machine cycles.
    bool byOverflows = false;
    bool onTimer2 = false;
    // The baud clock's tick, or the machine cycle, at which it ends.
    std::uint64_t end = 0;
    // The tick at which its start bit begins, and the bits the line has shown of it.
    std::uint64_t start = 0;
    unsigned bitsShown = 0;
    CSerialFrame frame;
};

struct CSerialState {
    static constexpr std::uint64_t kIdle = std::numeric_limits<std::uint64_t>::max();
    // The earliest end of a frame timed by machine cycles; kIdle when none.
    std::uint64_t deadline = kIdle;
    CFrameInFlight sending;
    CFrameInFlight receiving;
    CBaudClock timer1;
    CBaudClock timer2;
    // The wiring hears of each bit on RXD and TXD (modes 1 and 3), and the levels it last heard.
    bool lineWatched = false;
    std::array<bool, 2> lineLevel{true, true};
    // Frames on RXD after the one being received, back to back.
    std::deque<CSerialFrame> incoming;
};

// A write to SBUF starts a transmission.
void StartTransmit(CCoreState& s, BYTE data);
// A write to SCON may start a mode-0 reception (REN set with RI clear) or a waiting frame.
void SconWritten(CCoreState& s);
// A frame arrives on RXD after those already there.
void ReceiveFrame(CCoreState& s, CSerialFrame frame);
// The serial port's deadline has come.
void SerialDue(CCoreState& s);
// Timer 1 (or timer 2 as baud generator) overflowed `n` times.
void SerialBaudTicks(CCoreState& s, unsigned n, bool fromTimer2);

}
