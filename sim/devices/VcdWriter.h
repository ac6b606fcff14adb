// The board's signals as a value change dump (IEEE 1364 VCD), as GTKWave and sigrok
// read it: each CPU port pin and each pin of the parallel chip a one-bit wire
// ("P1.0", "PA3"), and so is each bit of the D/A converter's output ("DAC7"), since
// sigrok reads no vectors. One time unit is a machine cycle (1 us at the board's 12 MHz).
//
//   std::ofstream file("run.vcd");
//   CVcdWriter vcd(file, profile, devices.Cycle(), devices.Signals());
//   devices.SetSignalObserver([&](std::uint64_t cycle, const CBoardSignals& s) { vcd.Sample(cycle, s); });
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "sim/devices/BoardProfile.h"
#include "sim/devices/DeviceBoard.h"

namespace zorkit::sim {

class CVcdWriter {
public:
    // Writes the header and the values at `cycle`.
    CVcdWriter(std::ostream& out, const CBoardProfile& profile, std::uint64_t cycle, const CBoardSignals& signals);
    // The signals at `cycle` (never before the last one given); only changes are written.
    void Sample(std::uint64_t cycle, const CBoardSignals& signals);

private:
    struct CWire {
        std::string code;
        // Which byte of CBoardSignals, and its bit.
        std::size_t byte;
        int bit;
    };

    static BYTE Byte(const CBoardSignals& signals, std::size_t byte);
    void WriteValue(const CWire& wire, const CBoardSignals& signals);

    std::ostream& m_out;
    std::vector<CWire> m_wires;
    CBoardSignals m_last;
    std::uint64_t m_time = 0;
};

}
