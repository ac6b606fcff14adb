// The board's signals as a value change dump (IEEE 1364 VCD), as GTKWave and sigrok
// read it: each CPU port pin and each pin of the parallel chip a one-bit wire
// ("P1.0", "PA3"), and so is each bit of the D/A converter's output ("DAC7"), since
// sigrok reads no vectors. The serial port's lines are "RXD" and "TXD", bit by bit
// in modes 1 and 3 (an edge falls in the instruction in which its bit began). The
// counter/timer chip's outputs ("OUT0".."OUT2") change between the samples; the
// writer puts in their edges, each at its cycle. One time unit is a machine cycle
// (1 us at the board's 12 MHz).
//
//   std::ofstream file("run.vcd");
//   CVcdWriter vcd(file, profile, devices.Cycle(), devices.Signals(), devices.CounterTimer());
//   devices.SetSignalObserver([&](std::uint64_t cycle, const CBoardSignals& s) { vcd.Sample(cycle, s); });
//   ...
//   vcd.Finish(devices.Cycle());
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "sim/devices/BoardProfile.h"
#include "sim/devices/CounterTimer.h"
#include "sim/devices/DeviceBoard.h"

namespace zorkit::sim {

class CVcdWriter {
public:
    // Writes the header and the values at `cycle`; `ctc` is the board's counter/timer
    // chip (nullptr for none), read on the caller's thread at each sample.
    CVcdWriter(std::ostream& out, const CBoardProfile& profile, std::uint64_t cycle, const CBoardSignals& signals,
        const CCounterTimer* ctc);
    // The signals at `cycle` (never before the last one given); only changes are written.
    void Sample(std::uint64_t cycle, const CBoardSignals& signals);
    // Writes the chip's edges up to `cycle` and ends the dump there.
    void Finish(std::uint64_t cycle);

private:
    struct CWire {
        std::string code;
        // Which byte of CBoardSignals, and its bit.
        std::size_t byte;
        int bit;
    };

    static BYTE Byte(const CBoardSignals& signals, std::size_t byte);
    void WriteValue(const CWire& wire, const CBoardSignals& signals);
    void WriteTime(std::uint64_t cycle);
    // The chip's output edges before `cycle`, in time order.
    void WriteCounterEdges(std::uint64_t cycle);

    std::ostream& m_out;
    const CCounterTimer* m_ctc;
    std::vector<CWire> m_wires;
    // Where the chip's output wires are, when there is a chip.
    std::size_t m_firstCounterWire = 0;
    CBoardSignals m_last;
    std::uint64_t m_time = 0;
    // The chip's outputs in m_last are those at this cycle.
    std::uint64_t m_counterTime = 0;
};

}
