#include "sim/devices/VcdWriter.h"

#include <algorithm>

namespace zorkit::sim {
namespace {

// Bytes of CBoardSignals in order: the CPU's four ports, the parallel chip's three,
// the D/A, the counter/timer chip's outputs, the serial lines.
constexpr std::size_t kDacByte = 7;
constexpr std::size_t kCtcByte = 8;
constexpr std::size_t kSerialByte = 9;

// Identifier codes are printable characters, '!' onwards, one or two of them.
std::string Code(std::size_t index)
{
    constexpr std::size_t kChars = '~' - '!' + 1;
    std::string code(1, char('!' + index % kChars));
    if (index >= kChars)
        code += char('!' + index / kChars - 1);
    return code;
}

}

CVcdWriter::CVcdWriter(std::ostream& out, const CBoardProfile& profile, std::uint64_t cycle,
    const CBoardSignals& signals, const CCounterTimer* ctc)
    : m_out(out), m_ctc(ctc), m_last(signals), m_time(cycle), m_counterTime(cycle)
{
    m_out << "$version zorsim $end\n$timescale 1 us $end\n";
    auto scope = [this](const char* name, std::size_t firstByte, std::size_t bytes, const std::string& prefix,
                     auto portName, int bits = 8) {
        m_out << "$scope module " << name << " $end\n";
        for (std::size_t byte = firstByte; byte < firstByte + bytes; ++byte)
            for (int bit = 0; bit < bits; ++bit) {
                CWire wire{Code(m_wires.size()), byte, bit};
                m_out << "$var wire 1 " << wire.code << ' ' << prefix << portName(byte - firstByte) << bit
                      << " $end\n";
                m_wires.push_back(wire);
            }
        m_out << "$upscope $end\n";
    };
    scope("cpu", 0, 4, "P", [](std::size_t port) { return std::to_string(port) + "."; });
    if (profile.ppi)
        scope("ppi", 4, 3, "P", [](std::size_t port) { return std::string(1, char('A' + port)); });
    if (profile.dac)
        scope("dac", kDacByte, 1, "DAC", [](std::size_t) { return std::string(); });
    m_out << "$scope module uart $end\n";
    for (int bit = 0; bit < 2; ++bit) {
        CWire wire{Code(m_wires.size()), kSerialByte, bit};
        m_out << "$var wire 1 " << wire.code << (bit ? " TXD" : " RXD") << " $end\n";
        m_wires.push_back(wire);
    }
    m_out << "$upscope $end\n";
    if (m_ctc) {
        m_firstCounterWire = m_wires.size();
        scope("ctc", kCtcByte, 1, "OUT", [](std::size_t) { return std::string(); }, 3);
    }
    m_out << "$enddefinitions $end\n#" << cycle << "\n$dumpvars\n";
    for (const CWire& wire : m_wires)
        WriteValue(wire, signals);
    m_out << "$end\n";
}

BYTE CVcdWriter::Byte(const CBoardSignals& signals, std::size_t byte)
{
    if (byte < 4)
        return signals.cpuPins[byte];
    if (byte < kDacByte)
        return signals.ppiPins[byte - 4];
    return byte == kDacByte ? signals.dac : byte == kCtcByte ? signals.ctc : signals.serial;
}

void CVcdWriter::WriteValue(const CWire& wire, const CBoardSignals& signals)
{
    m_out << (Byte(signals, wire.byte) >> wire.bit & 1) << wire.code << '\n';
}

void CVcdWriter::WriteTime(std::uint64_t cycle)
{
    if (cycle > m_time) {
        m_time = cycle;
        m_out << '#' << cycle << '\n';
    }
}

void CVcdWriter::WriteCounterEdges(std::uint64_t cycle)
{
    if (!m_ctc)
        return;
    for (;;) {
        std::uint64_t when = CCounterTimer::kNever;
        for (int counter = 0; counter < 3; ++counter)
            when = std::min(when, m_ctc->NextChange(counter, m_counterTime));
        if (when >= cycle)
            break;
        WriteTime(when);
        m_counterTime = when;
        for (int counter = 0; counter < 3; ++counter) {
            BYTE bit = BYTE(1 << counter);
            BYTE level = m_ctc->Output(counter, when) ? bit : 0;
            if ((m_last.ctc & bit) == level)
                continue;
            m_last.ctc = BYTE((m_last.ctc & ~bit) | level);
            WriteValue(m_wires[m_firstCounterWire + std::size_t(counter)], m_last);
        }
    }
    m_counterTime = std::max(m_counterTime, cycle);
}

void CVcdWriter::Sample(std::uint64_t cycle, const CBoardSignals& signals)
{
    WriteCounterEdges(cycle);
    if (signals == m_last)
        return;
    WriteTime(cycle);
    for (const CWire& wire : m_wires) {
        if ((Byte(m_last, wire.byte) ^ Byte(signals, wire.byte)) >> wire.bit & 1)
            WriteValue(wire, signals);
    }
    m_last = signals;
}

void CVcdWriter::Finish(std::uint64_t cycle)
{
    WriteCounterEdges(cycle + 1);
    WriteTime(cycle);
    m_out.flush();
}

}
