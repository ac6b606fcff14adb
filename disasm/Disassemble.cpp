#include "disasm/Disassemble.h"

#include "disasm/OpcodeTable.h"

namespace {

const char kHexDigits[] = "0123456789ABCDEF";
const char kColumnPad[] = "             "; // thirteen blanks after the code bytes

void AppendHex2(CString& text, unsigned value)
{
    const char digits[3] = {kHexDigits[(value >> 4) & 0xF], kHexDigits[value & 0xF], '\0'};
    text += digits;
}

// Addresses are 16-bit on the 8051: the program counter wraps at 0xFFFF.
void AppendHex4(CString& text, unsigned value)
{
    AppendHex2(text, (value >> 8) & 0xFF);
    AppendHex2(text, value & 0xFF);
}

// Target of a relative branch whose next instruction starts at next.
unsigned RelativeTarget(int next, unsigned char displacement)
{
    return unsigned(next + static_cast<signed char>(displacement)) & 0xFFFF;
}

} // namespace

CDisassemble::CDisassemble() = default;

int CDisassemble::initaddr(unsigned char* code, unsigned short* addrs, int base)
{
    initaddr(code, addrs, base, 0);
    m_nLength = -1;
    return 1;
}

int CDisassemble::initaddr(unsigned char* code, unsigned short* addrs, int base, int length)
{
    m_pCurrent = code;
    m_pAddrs = addrs;
    m_nAddrCount = 0;
    m_nBase = base;
    m_nOffset = 0;
    m_nLength = length < 0 ? 0 : length;
    return 1;
}

CString CDisassemble::disamble(int)
{
    m_strRobot.Empty();
    if (m_nLength >= 0) {
        const int left = m_nLength - m_nOffset;
        if (left <= 0 || left < g_operandLength[g_opcodeTable[*m_pCurrent].operands]) {
            m_strCommand.Empty();
            return CString();
        }
    }

    const int address = Address();
    if (m_pAddrs)
        m_pAddrs[m_nAddrCount] = static_cast<unsigned short>(address);
    ++m_nAddrCount;
    AppendHex4(m_strRobot, unsigned(address));
    m_strRobot += "  ";

    m_cOpcode = *m_pCurrent;
    const OPCODEINFO& info = g_opcodeTable[m_cOpcode];
    m_pszMnemonic = info.prefix;
    switch (info.operands) {
    case OPD_NONE: length1(); break;
    case OPD_BYTE: length20(); break;
    case OPD_REL: length2r(); break;
    case OPD_DIRECT_DATA: length3n(); break;
    case OPD_BYTE_REL: length3(0); break;
    case OPD_ADDR16: ljump(); break;
    case OPD_ADDR11: acall(); break;
    case OPD_DIRECT_DIRECT: length3d(); break;
    }
    m_strRobot += kColumnPad;
    return m_strCommand;
}

CString CDisassemble::robotcd(int) const
{
    return m_strRobot;
}

CString CDisassemble::commandcd(int) const
{
    return m_strCommand;
}

int CDisassemble::Address() const
{
    return (m_nBase + m_nOffset) & 0xFFFF;
}

void CDisassemble::AppendBytes(int length)
{
    for (int i = 0; i < length; ++i)
        AppendHex2(m_strRobot, m_pCurrent[i]);
}

void CDisassemble::Advance(int length)
{
    m_pCurrent += length;
    m_nOffset += length;
}

// INC R3, RET, MOVC A,@A+PC ...
void CDisassemble::length1()
{
    AppendBytes(1);
    m_strCommand = m_pszMnemonic;
    Advance(1);
}

// One 8-bit field, possibly followed by a fixed register or carry operand: ADD A,#41H, MOV 30H,R5
void CDisassemble::length20()
{
    AppendBytes(2);
    m_strCommand = m_pszMnemonic;
    AppendHex2(m_strCommand, m_pCurrent[1]);
    m_strCommand += 'H';
    m_strCommand += g_opcodeTable[m_cOpcode].suffix;
    Advance(2);
}

// SJMP 0100H, DJNZ R6,0040H
void CDisassemble::length2r()
{
    AppendBytes(2);
    m_strCommand = m_pszMnemonic;
    AppendHex4(m_strCommand, RelativeTarget(Address() + 2, m_pCurrent[1]));
    m_strCommand += 'H';
    Advance(2);
}

// ORL 30H,#0FH
void CDisassemble::length3n()
{
    AppendBytes(3);
    m_strCommand = m_pszMnemonic;
    AppendHex2(m_strCommand, m_pCurrent[1]);
    m_strCommand += "H,#";
    AppendHex2(m_strCommand, m_pCurrent[2]);
    m_strCommand += 'H';
    Advance(3);
}

// JBC 20H,0000H, CJNE A,#41H,0018H, DJNZ 30H,0100H
void CDisassemble::length3(int)
{
    AppendBytes(3);
    m_strCommand = m_pszMnemonic;
    AppendHex2(m_strCommand, m_pCurrent[1]);
    m_strCommand += "H,";
    AppendHex4(m_strCommand, RelativeTarget(Address() + 3, m_pCurrent[2]));
    m_strCommand += 'H';
    Advance(3);
}

// LJMP 0030H, LCALL ABCDH, MOV DPTR,#1234H
void CDisassemble::ljump()
{
    AppendBytes(3);
    m_strCommand = m_pszMnemonic;
    AppendHex2(m_strCommand, m_pCurrent[1]);
    AppendHex2(m_strCommand, m_pCurrent[2]);
    m_strCommand += 'H';
    Advance(3);
}

// AJMP/ACALL: opcode bits 7-5 give address bits 10-8; bits 15-11 are those of the next instruction.
void CDisassemble::acall()
{
    AppendBytes(2);
    const unsigned target = ((unsigned(m_cOpcode) << 3) & 0x700) | m_pCurrent[1]
        | (unsigned(Address() + 2) & 0xF800);
    m_strCommand = m_pszMnemonic;
    AppendHex4(m_strCommand, target);
    m_strCommand += 'H';
    Advance(2);
}

// MOV direct,direct is encoded source first and listed destination first: 85 30 40 is MOV 40H,30H.
void CDisassemble::length3d()
{
    AppendBytes(3);
    m_strCommand = m_pszMnemonic;
    AppendHex2(m_strCommand, m_pCurrent[2]);
    m_strCommand += "H,";
    AppendHex2(m_strCommand, m_pCurrent[1]);
    m_strCommand += 'H';
    Advance(3);
}
