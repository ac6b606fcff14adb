// A pin of the board a device can be wired to: an 8051 port pin (P1.3), a pin of
// the parallel interface chip (PA0, PB7, PC4) or an output of the counter/timer
// chip (OUT0-OUT2).
#pragma once

#include <cstdint>
#include <tuple>
#include <optional>
#include <string>
#include <vector>

namespace zorkit::sim {

struct CPin {
    enum class Chip : std::uint8_t { Cpu, Ppi, Ctc };
    Chip chip = Chip::Cpu;
    // P0-P3 for the CPU, A-C (0-2) for the parallel chip, the counter for OUT.
    std::uint8_t port = 0;
    std::uint8_t bit = 0;

    bool operator==(const CPin& other) const { return chip == other.chip && port == other.port && bit == other.bit; }
    bool operator<(const CPin& other) const
    {
        return std::tie(chip, port, bit) < std::tie(other.chip, other.port, other.bit);
    }
};

// "P1.3", "PA0", "OUT1"; nothing for any other text.
std::optional<CPin> ParsePin(const std::string& name);
// A whole port ("P1", "PB") as its eight pins, bit 0 first; empty for anything else.
std::vector<CPin> ParsePort(const std::string& name);
std::string PinName(const CPin& pin);

}
