// Faults armed for the board's next answers, so tests can drive every failure
// path of a host. Each InjectFault arms one occurrence; occurrences add up.
#pragma once

#include <array>
#include <cstddef>

#include "zorkit/platform/core/WinTypes.h"

namespace zorkit::sim {

enum class Fault {
    DropAck,      // the next acknowledgement is lost on the line (the command is carried out)
    Nak,          // the next frame is refused with 0x55, or the next echo verdict is 0x55
    WrongAck,     // the next acknowledgement goes out as the wrong byte (the command is carried out)
    CorruptBlock, // the next data block carries a wrong checksum
    BreakBanner,  // the next sign-on banner has a wrong letter in its middle
    BreakEcho,    // the next board-to-host echo has one byte out of order
    ShortBlock,   // the next data block loses its checksum byte on the line
    Garbage,      // line noise goes out in front of the next acknowledgement
};

constexpr std::size_t kFaultKinds = 8;
static_assert(static_cast<std::size_t>(Fault::Garbage) + 1 == kFaultKinds, "count every Fault in kFaultKinds");

class CFaultPlan {
public:
    void Inject(Fault fault) { ++m_armed[Index(fault)]; }
    // Consumes one armed occurrence; false when none was armed.
    bool Take(Fault fault);
    std::size_t Armed(Fault fault) const { return m_armed[Index(fault)]; }
    void Clear() { m_armed.fill(0); }
    void SetWrongByte(BYTE b) { m_wrongByte = b; }
    BYTE WrongByte() const { return m_wrongByte; }

private:
    static std::size_t Index(Fault fault) { return static_cast<std::size_t>(fault); }

    std::array<std::size_t, kFaultKinds> m_armed{};
    BYTE m_wrongByte = 0x5A;
};

}
