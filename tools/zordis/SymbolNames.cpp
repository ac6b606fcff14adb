#include "tools/zordis/SymbolNames.h"

namespace zordis {

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

// Special function registers of the 8051, indexed by address - 80H.
const char* const kSfrNames[0x80] = {
    "P0", "SP", "DPL", "DPH", nullptr, nullptr, nullptr, "PCON", // 80
    "TCON", "TMOD", "TL0", "TL1", "TH0", "TH1", nullptr, nullptr, // 88
    "P1", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, // 90
    "SCON", "SBUF", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, // 98
    "P2", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, // A0
    "IE", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, // A8
    "P3", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, // B0
    "IP", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, // B8
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, // C0
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, // C8
    "PSW", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, // D0
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, // D8
    "ACC", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, // E0
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, // E8
    "B", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, // F0
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, // F8
};

// Bits of the registers at 80H, 88H ... F8H, indexed by (bit address - 80H) / 8; a
// register with a name here is bit-addressable, its unnamed bits are written SFR.n.
// The assembler has no name at all for the reserved bits IE.6, IP.6 and IP.7 (""),
// which stay numbers.
struct BitRegister {
    const char* name;
    const char* bits[8];
};
const BitRegister kBitRegisters[16] = {
    {"P0", {}}, // 80
    {"TCON", {"IT0", "IE0", "IT1", "IE1", "TR0", "TF0", "TR1", "TF1"}}, // 88
    {"P1", {}}, // 90
    {"SCON", {"RI", "TI", "RB8", "TB8", "REN", "SM2", "SM1", "SM0"}}, // 98
    {"P2", {}}, // A0
    {"IE", {"EX0", "ET0", "EX1", "ET1", "ES", nullptr, "", "EA"}}, // A8
    {"P3", {}}, // B0
    {"IP", {"PX0", "PT0", "PX1", "PT1", "PS", nullptr, "", ""}}, // B8
    {nullptr, {}}, // C0
    {nullptr, {}}, // C8
    {"PSW", {"P", nullptr, "OV", "RS0", "RS1", "F0", "AC", "CY"}}, // D0
    {nullptr, {}}, // D8
    {"ACC", {}}, // E0
    {nullptr, {}}, // E8
    {"B", {}}, // F0
    {nullptr, {}}, // F8
};

} // namespace

void AppendHex2(std::string& out, unsigned value)
{
    const char text[] = {'0', 'x', kHexDigits[(value >> 4) & 0xF], kHexDigits[value & 0xF]};
    out.append(text, sizeof text);
}

void AppendHex4(std::string& out, unsigned value)
{
    out += "0x";
    AppendAddress(out, value);
}

void AppendDirectName(std::string& out, unsigned char direct)
{
    if (direct >= 0x80 && kSfrNames[direct - 0x80])
        out += kSfrNames[direct - 0x80];
    else
        AppendHex2(out, direct);
}

void AppendBitName(std::string& out, unsigned char bit)
{
    if (bit >= 0x80) {
        const BitRegister& reg = kBitRegisters[(bit - 0x80) >> 3];
        const unsigned index = bit & 7;
        if (reg.bits[index] && *reg.bits[index]) {
            out += reg.bits[index];
            return;
        }
        if (reg.name && !reg.bits[index]) {
            out += reg.name;
            out += '.';
            out += char('0' + index);
            return;
        }
    }
    AppendHex2(out, bit);
}

void AppendLabel(std::string& out, unsigned address)
{
    out += 'L';
    AppendAddress(out, address);
}

void AppendAddress(std::string& out, unsigned address)
{
    const char text[] = {kHexDigits[(address >> 12) & 0xF], kHexDigits[(address >> 8) & 0xF],
        kHexDigits[(address >> 4) & 0xF], kHexDigits[address & 0xF]};
    out.append(text, sizeof text);
}

}
