#include "sim/devices/VcdWriter.h"

namespace zorkit::sim {
namespace {

// Bytes of CBoardSignals in order: the CPU's four ports, the parallel chip's three, the D/A.
constexpr std::size_t kDacByte = 7;

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

CVcdWriter::CVcdWriter(std::ostream& out, const CBoardProfile& profile, std::uint64_t cycle, const CBoardSignals& signals)
    : m_out(out), m_last(signals), m_time(cycle)
{
    m_out << "$version zorsim $end\n$timescale 1 us $end\n";
    auto scope = [this](const char* name, std::size_t firstByte, std::size_t bytes, const std::string& prefix,
                     auto portName) {
        m_out << "$scope module " << name << " $end\n";
        for (std::size_t byte = firstByte; byte < firstByte + bytes; ++byte)
            for (int bit = 0; bit < 8; ++bit) {
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
    return signals.dac;
}

void CVcdWriter::WriteValue(const CWire& wire, const CBoardSignals& signals)
{
    m_out << (Byte(signals, wire.byte) >> wire.bit & 1) << wire.code << '\n';
}

void CVcdWriter::Sample(std::uint64_t cycle, const CBoardSignals& signals)
{
    if (signals == m_last)
        return;
    if (cycle > m_time) {
        m_time = cycle;
        m_out << '#' << cycle << '\n';
    }
    for (const CWire& wire : m_wires) {
        if ((Byte(m_last, wire.byte) ^ Byte(signals, wire.byte)) >> wire.bit & 1)
            WriteValue(wire, signals);
    }
    m_last = signals;
}

}
