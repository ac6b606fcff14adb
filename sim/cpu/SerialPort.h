// The serial port: SCON modes 0 (shift register, a bit per machine cycle), 1 (ten
// bits at timer 1's or timer 2's rate), 2 (eleven bits at 1/64 or, with SMOD, 1/32
// of the oscillator) and 3 (eleven bits at the timer's rate), SM2's address
// filtering, and the double-buffered receiver: a frame that completes while RI is
// still set is lost, one that completes after RI was cleared lands in SBUF.
// Frames move a byte at a time; their length in time is that of their bits.
#pragma once

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

// A frame being sent or received.
struct CFrameInFlight {
    bool active = false;
    // Timed by timer overflows (modes 1 and 3), else by machine cycles.
    bool byOverflows = false;
    // The machine cycle at which it ends, or the overflows it takes.
    std::uint64_t end = 0;
    std::uint64_t overflows = 0;
    CSerialFrame frame;
};

struct CSerialState {
    static constexpr std::uint64_t kIdle = std::numeric_limits<std::uint64_t>::max();
    // The earliest end of a frame timed by machine cycles; kIdle when none.
    std::uint64_t deadline = kIdle;
    CFrameInFlight sending;
    CFrameInFlight receiving;
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
// True while a frame at the timer's rate is in flight.
inline bool SerialCountsOverflows(const CSerialState& serial)
{
    return (serial.sending.active && serial.sending.byOverflows)
        || (serial.receiving.active && serial.receiving.byOverflows);
}

}
