// A counter/timer chip (8253-compatible) with three 16-bit down counters clocked
// once a machine cycle, their gates tied high. Modes 0 (interrupt on terminal
// count), 2 (rate generator), 3 (square wave) and 4 (software strobe) run; modes 1
// and 5 wait for a gate trigger that never comes, so their output stays high.
// Counts are binary (the BCD bit is ignored). The counters are computed from the
// time they were loaded, not ticked.
#pragma once

#include <array>
#include <cstdint>
#include <limits>

#include "zorkit/platform/core/WinTypes.h"

namespace zorkit::sim {

class CCounterTimer {
public:
    // Register 0-2: counters 0-2, 3: control word.
    void Write(int reg, BYTE value, std::uint64_t cycle);
    BYTE Read(int reg, std::uint64_t cycle);

    bool Output(int counter, std::uint64_t cycle) const;
    // The first cycle after `cycle` at which the counter's output changes, if nothing is
    // written before; kNever when it stays as it is.
    std::uint64_t NextChange(int counter, std::uint64_t cycle) const;
    static constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max();
    // The tone on a counter's output in Hz (modes 2 and 3, loaded), else 0.
    double ToneHz(int counter, std::uint64_t machineCyclesPerSecond = 1000000) const;
    int Mode(int counter) const { return m_counters[std::size_t(counter)].mode; }

private:
    struct CCounter {
        int mode = 0;
        int access = 3;        // 1 low byte, 2 high byte, 3 low then high
        bool loaded = false;
        bool highNext = false; // the next byte written or read is the high one
        bool latched = false;
        bool readHighNext = false;
        WORD latch = 0;
        WORD pendingLow = 0;
        std::uint32_t reload = 0x10000;
        std::uint64_t loadedAt = 0;
    };

    WORD Value(const CCounter& counter, std::uint64_t cycle) const;

    std::array<CCounter, 3> m_counters{};
};

}
