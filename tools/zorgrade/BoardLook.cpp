#include "tools/zorgrade/BoardLook.h"

#include <cstdio>

namespace zorgrade {

namespace {

using zorkit::sim::MemorySpace;

std::string TrimRight(std::string text)
{
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

// Control bytes of serial text written as \n, \r, \xNN, so a detail stays one line.
std::string Printable(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c < 0x20 || c >= 0x7F)
            out += "\\x" + HexNumber(c, 2).substr(2);
        else
            out += char(c);
    }
    return out;
}

bool IsWide(const std::string& reg) { return reg == "DPTR" || reg == "PC"; }

std::vector<BYTE> Memory(const CMemorySeen& memory, const CBoardLook& board)
{
    return board.memory.Read(memory.external ? MemorySpace::External : MemorySpace::Internal, memory.address,
        memory.bytes.size());
}

std::uint16_t Register(const std::string& name, const zorkit::sim::C8051Core& core)
{
    static const std::pair<const char*, BYTE> sfrs[] = {
        {"A", 0xE0}, {"B", 0xF0}, {"PSW", 0xD0}, {"SP", 0x81}, {"DPL", 0x82}, {"DPH", 0x83}};
    for (const auto& [sfr, address] : sfrs)
        if (name == sfr)
            return core.ReadSfr(address);
    if (name == "DPTR")
        return std::uint16_t(core.ReadSfr(0x83) << 8 | core.ReadSfr(0x82));
    if (name == "PC")
        return core.PC();
    return core.Register(name[1] - '0');
}

}

std::string HexNumber(unsigned value, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

bool PinLevel(const zorkit::sim::C8051Core& core, const zorkit::sim::CPin& pin)
{
    return core.Pins(pin.port) >> pin.bit & 1;
}

bool Matches(const CExpectation& expectation, const CBoardLook& board)
{
    struct {
        const CBoardLook& board;
        bool operator()(const CLedsSeen& leds) const
        {
            std::string lit = board.devices.State("leds");
            if (lit.size() != leds.pattern.size())
                return false;
            for (std::size_t n = 0; n < lit.size(); ++n)
                if (leds.pattern[n] != '?' && leds.pattern[n] != lit[n])
                    return false;
            return true;
        }
        bool operator()(const CDigitsSeen& digits) const
        {
            return board.devices.SevenSegment()->Text(board.devices.Cycle()) == digits.text;
        }
        bool operator()(const CLcdSeen& lcd) const
        {
            for (std::size_t row = 0; row < lcd.lines.size(); ++row)
                if (TrimRight(board.devices.Lcd()->Line(int(row))) != TrimRight(lcd.lines[row]))
                    return false;
            return true;
        }
        bool operator()(const CPinSeen& pin) const { return PinLevel(board.core, pin.pin) == pin.level; }
        bool operator()(const CPortSeen& port) const { return board.core.Pins(port.port) == port.value; }
        bool operator()(const CSerialSeen& serial) const { return board.serial.find(serial.text) != std::string::npos; }
        bool operator()(const CMemorySeen& memory) const { return Memory(memory, board) == memory.bytes; }
        bool operator()(const CRegisterSeen& reg) const { return Register(reg.name, board.core) == reg.value; }
    } matches{board};
    return std::visit(matches, expectation);
}

std::string Seen(const CExpectation& expectation, const CBoardLook& board)
{
    struct {
        const CBoardLook& board;
        std::string operator()(const CLedsSeen&) const { return "LEDs " + board.devices.State("leds"); }
        std::string operator()(const CDigitsSeen&) const { return "7-segment digits " + board.devices.State("seg7"); }
        std::string operator()(const CLcdSeen&) const { return "LCD " + board.devices.State("lcd"); }
        std::string operator()(const CPinSeen& pin) const
        {
            return zorkit::sim::PinName(pin.pin) + " at " + (PinLevel(board.core, pin.pin) ? "1" : "0");
        }
        std::string operator()(const CPortSeen& port) const
        {
            return "P" + std::to_string(port.port) + " at " + HexNumber(board.core.Pins(port.port), 2);
        }
        std::string operator()(const CSerialSeen&) const { return "serial output \"" + Printable(board.serial) + "\""; }
        std::string operator()(const CMemorySeen& memory) const
        {
            std::string text = std::string(memory.external ? "external" : "internal") + " RAM at "
                + HexNumber(memory.address, memory.external ? 4 : 2) + ":";
            for (BYTE b : Memory(memory, board))
                text += " " + HexNumber(b, 2).substr(2);
            return text;
        }
        std::string operator()(const CRegisterSeen& reg) const
        {
            return reg.name + " = " + HexNumber(Register(reg.name, board.core), IsWide(reg.name) ? 4 : 2);
        }
    } seen{board};
    return std::visit(seen, expectation);
}

std::string Expected(const CExpectation& expectation)
{
    struct {
        std::string operator()(const CLedsSeen& leds) const { return "LEDs " + leds.pattern; }
        std::string operator()(const CDigitsSeen& digits) const { return "digits \"" + digits.text + "\""; }
        std::string operator()(const CLcdSeen& lcd) const
        {
            std::string text = "LCD";
            for (const std::string& line : lcd.lines)
                text += " \"" + line + "\"";
            return text;
        }
        std::string operator()(const CPinSeen& pin) const
        {
            return zorkit::sim::PinName(pin.pin) + " at " + (pin.level ? "1" : "0");
        }
        std::string operator()(const CPortSeen& port) const
        {
            return "P" + std::to_string(port.port) + " at " + HexNumber(port.value, 2);
        }
        std::string operator()(const CSerialSeen& serial) const { return "\"" + Printable(serial.text) + "\" sent"; }
        std::string operator()(const CMemorySeen& memory) const
        {
            std::string text;
            for (BYTE b : memory.bytes)
                text += (text.empty() ? "" : " ") + HexNumber(b, 2).substr(2);
            return text;
        }
        std::string operator()(const CRegisterSeen& reg) const
        {
            return reg.name + " = " + HexNumber(reg.value, IsWide(reg.name) ? 4 : 2);
        }
    } expected;
    return std::visit(expected, expectation);
}

}
