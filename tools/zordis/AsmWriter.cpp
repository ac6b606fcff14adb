#include "tools/zordis/AsmWriter.h"

#include <array>
#include <cctype>

#include "zorkit/disasm/OpcodeInfo.h"
#include "tools/zordis/Instruction.h"
#include "tools/zordis/SymbolNames.h"

namespace zordis {

namespace {

constexpr unsigned char kMovDptr = 0x90;
constexpr unsigned kDataPerLine = 16;

// Opcodes whose 8-bit field is a bit address: JBC, JB, JNB, ORL C, ANL C, MOV bit,C,
// ORL C,/, MOV C, ANL C,/, CPL, CLR, SETB.
bool HasBitField(unsigned char opcode)
{
    switch (opcode) {
    case 0x10: case 0x20: case 0x30: case 0x72: case 0x82: case 0x92:
    case 0xA0: case 0xA2: case 0xB0: case 0xB2: case 0xC2: case 0xD2:
        return true;
    default:
        return false;
    }
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The listing prefix in the assembler's spelling: lower case, a tab after the
// mnemonic, no blanks inside the operands ("SUBB A ,R1" is "subb\ta,r1").
std::string AssemblerPrefix(const OPCODEINFO& info)
{
    const std::string prefix = info.prefix;
    const std::size_t blank = prefix.find(' ');
    std::string text = prefix.substr(0, blank);
    std::string operands;
    if (blank != std::string::npos)
        for (char c : prefix.substr(blank))
            if (c != ' ')
                operands += c;
    if (!operands.empty() || info.operands != OPD_NONE)
        text += '\t';
    return Lower(text + operands);
}

struct OpcodeText {
    std::string prefix;
    std::string suffix;
};

const std::array<OpcodeText, 256>& OpcodeTexts()
{
    static const std::array<OpcodeText, 256> texts = [] {
        std::array<OpcodeText, 256> made;
        for (unsigned opcode = 0; opcode < 256; ++opcode) {
            const OPCODEINFO& info = GetOpcodeInfo(static_cast<unsigned char>(opcode));
            made[opcode] = {AssemblerPrefix(info), Lower(info.suffix)};
        }
        return made;
    }();
    return texts;
}

// The 8-bit field after prefix: #data, a bit (also after "/") or a direct address.
void AppendField(unsigned char opcode, const std::string& prefix, unsigned char value, std::string& out)
{
    if (prefix.back() == '#')
        AppendHex2(out, value);
    else if (HasBitField(opcode))
        AppendBitName(out, value);
    else
        AppendDirectName(out, value);
}

void AppendAddressComment(unsigned address, std::string& out)
{
    out += "\t; ";
    AppendAddress(out, address);
}

} // namespace

CAsmWriter::CAsmWriter(const tools::CCodeImage& image, const CCodeTracer& tracer)
    : m_image(image)
    , m_tracer(tracer)
{
}

void CAsmWriter::Write(const std::string& title, std::string& out) const
{
    // A line break in a file name would end the comment early.
    std::string comment = title;
    for (char& c : comment)
        if (static_cast<unsigned char>(c) < ' ')
            c = '?';
    out += "; " + comment + "\n\t.area\tCODE (ABS)\n";
    for (const tools::CCodeImage::Run& run : m_image.GetRuns())
        WriteRun(run, out);
}

void CAsmWriter::WriteRun(const tools::CCodeImage::Run& run, std::string& out) const
{
    out += "\n\t.org\t";
    AppendHex4(out, run.first);
    out += '\n';
    for (unsigned address = run.first; address < run.end;) {
        if (IsLineLabel(address)) {
            AppendLabel(out, address);
            out += ":\n";
        }
        if (m_tracer.GetMark(address) == CCodeTracer::kInstruction) {
            WriteInstruction(address, out);
            address += unsigned(GetOpcodeLength(m_image.At(address)));
        } else {
            address = WriteData(address, run.end, out);
        }
    }
}

void CAsmWriter::WriteInstruction(unsigned address, std::string& out) const
{
    const unsigned char* code = m_image.Data() + address;
    const unsigned char opcode = code[0];
    const OPCODEINFO& info = GetOpcodeInfo(opcode);
    const OpcodeText& text = OpcodeTexts()[opcode];
    const Instruction instruction = DecodeInstruction(code, address);

    // Targets inside the instruction are named by their distance from its start: a
    // line label cannot go there.
    for (int i = 1; i < instruction.length; ++i) {
        if (m_tracer.IsTarget(address + unsigned(i))) {
            AppendLabel(out, address + unsigned(i));
            out += "\t=\t.+";
            out += char('0' + i);
            out += '\n';
        }
    }

    // The linker checks AJMP and ACALL against the page of their own address, the
    // 8051 against that of the next instruction: in the last two bytes of a 2 KB page
    // they only go through as bytes.
    if (info.operands == OPD_ADDR11 && ((address ^ ((address + 2) & 0xFFFF)) & 0xF800)) {
        out += "\t.db\t";
        AppendHex2(out, code[0]);
        out += ',';
        AppendHex2(out, code[1]);
        out += "\t; ";
        AppendAddress(out, address);
        out += ' ';
        out += text.prefix;
        AppendCodeAddress(instruction.target, out);
        out += '\n';
        return;
    }

    out += '\t';
    out += text.prefix;
    switch (info.operands) {
    case OPD_NONE:
        break;
    case OPD_BYTE:
        AppendField(opcode, text.prefix, code[1], out);
        out += text.suffix;
        break;
    case OPD_DIRECT_DATA:
        AppendDirectName(out, code[1]);
        out += ",#";
        AppendHex2(out, code[2]);
        break;
    case OPD_DIRECT_DIRECT:
        AppendDirectName(out, code[2]);
        out += ',';
        AppendDirectName(out, code[1]);
        break;
    case OPD_BYTE_REL:
        AppendField(opcode, text.prefix, code[1], out);
        out += ',';
        [[fallthrough]];
    case OPD_REL:
        if (instruction.reach != long(instruction.target) || !m_tracer.IsTarget(instruction.target)) {
            // Wrapped around the code space or outside the image: the distance says
            // it, without a relocation left to the linker.
            const long distance = instruction.reach - long(address);
            out += distance < 0 ? ".-" : ".+";
            AppendHex2(out, unsigned(distance < 0 ? -distance : distance));
        } else {
            AppendCodeAddress(instruction.target, out);
        }
        break;
    case OPD_ADDR16:
        if (opcode == kMovDptr)
            AppendHex4(out, (unsigned(code[1]) << 8) | code[2]);
        else
            AppendCodeAddress(instruction.target, out);
        break;
    case OPD_ADDR11:
        AppendCodeAddress(instruction.target, out);
        break;
    }
    AppendAddressComment(address, out);
    out += '\n';
}

unsigned CAsmWriter::WriteData(unsigned address, unsigned end, std::string& out) const
{
    const unsigned first = address;
    out += "\t.db\t";
    do {
        if (address != first)
            out += ',';
        AppendHex2(out, m_image.At(address));
        ++address;
    } while (address < end && address - first < kDataPerLine
        && m_tracer.GetMark(address) != CCodeTracer::kInstruction && !IsLineLabel(address));
    AppendAddressComment(first, out);
    out += '\n';
    return address;
}

void CAsmWriter::AppendCodeAddress(unsigned target, std::string& out) const
{
    if (m_tracer.IsTarget(target))
        AppendLabel(out, target);
    else
        AppendHex4(out, target);
}

bool CAsmWriter::IsLineLabel(unsigned address) const
{
    return m_tracer.IsTarget(address) && m_tracer.GetMark(address) != CCodeTracer::kInside;
}

}
