#include "zorkit/disasm/Disassemble.h"

#include <cstring>

#include "zorkit/disasm/internal/OpcodeTable.h"

namespace {

const char kHexDigits[] = "0123456789ABCDEF";
const char kColumnPad[] = "             "; // thirteen blanks after the code bytes

char* Put(char* at, const char* text)
{
    while (*text)
        *at++ = *text++;
    return at;
}

char* PutHex2(char* at, unsigned value)
{
    *at++ = kHexDigits[(value >> 4) & 0xF];
    *at++ = kHexDigits[value & 0xF];
    return at;
}

// Addresses are 16-bit on the 8051: the program counter wraps at 0xFFFF.
char* PutHex4(char* at, unsigned value)
{
    return PutHex2(PutHex2(at, (value >> 8) & 0xFF), value & 0xFF);
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
    if (m_nLength >= 0) {
        const int left = m_nLength - m_nOffset;
        if (left <= 0 || left < g_operandLength[g_opcodeTable[*m_pCurrent].operands]) {
            m_nRobotLength = 0;
            m_nCommandLength = 0;
            return CString();
        }
    }

    const int address = Address();
    if (m_pAddrs)
        m_pAddrs[m_nAddrCount] = static_cast<unsigned short>(address);
    ++m_nAddrCount;

    m_cOpcode = *m_pCurrent;
    const OPCODEINFO& info = g_opcodeTable[m_cOpcode];
    m_pszMnemonic = info.prefix;

    // Byte column: address, two blanks, the instruction's bytes, thirteen blanks.
    char* at = Put(PutHex4(m_szRobot, unsigned(address)), "  ");
    const int length = g_operandLength[info.operands];
    for (int i = 0; i < length; ++i)
        at = PutHex2(at, m_pCurrent[i]);
    std::memcpy(at, kColumnPad, sizeof kColumnPad);
    m_nRobotLength = int(at - m_szRobot) + int(sizeof kColumnPad) - 1;

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
    return CString(m_szCommand, m_nCommandLength);
}

CString CDisassemble::robotcd(int) const
{
    return CString(m_szRobot, m_nRobotLength);
}

CString CDisassemble::commandcd(int) const
{
    return CString(m_szCommand, m_nCommandLength);
}

int CDisassemble::Address() const
{
    return (m_nBase + m_nOffset) & 0xFFFF;
}

// Starts the instruction text with the mnemonic prefix; returns where the operands go.
char* CDisassemble::BeginCommand()
{
    return Put(m_szCommand, m_pszMnemonic);
}

// Ends the instruction text at end and moves past the instruction.
void CDisassemble::EndCommand(char* end, int length)
{
    *end = '\0';
    m_nCommandLength = int(end - m_szCommand);
    m_pCurrent += length;
    m_nOffset += length;
}

// INC R3, RET, MOVC A,@A+PC ...
void CDisassemble::length1()
{
    EndCommand(BeginCommand(), 1);
}

// One 8-bit field, possibly followed by a fixed register or carry operand: ADD A,#41H, MOV 30H,R5
void CDisassemble::length20()
{
    char* at = PutHex2(BeginCommand(), m_pCurrent[1]);
    EndCommand(Put(Put(at, "H"), g_opcodeTable[m_cOpcode].suffix), 2);
}

// SJMP 0100H, DJNZ R6,0040H
void CDisassemble::length2r()
{
    char* at = PutHex4(BeginCommand(), RelativeTarget(Address() + 2, m_pCurrent[1]));
    EndCommand(Put(at, "H"), 2);
}

// ORL 30H,#0FH
void CDisassemble::length3n()
{
    char* at = PutHex2(BeginCommand(), m_pCurrent[1]);
    at = PutHex2(Put(at, "H,#"), m_pCurrent[2]);
    EndCommand(Put(at, "H"), 3);
}

// JBC 20H,0000H, CJNE A,#41H,0018H, DJNZ 30H,0100H
void CDisassemble::length3(int)
{
    char* at = PutHex2(BeginCommand(), m_pCurrent[1]);
    at = PutHex4(Put(at, "H,"), RelativeTarget(Address() + 3, m_pCurrent[2]));
    EndCommand(Put(at, "H"), 3);
}

// LJMP 0030H, LCALL ABCDH, MOV DPTR,#1234H
void CDisassemble::ljump()
{
    char* at = PutHex2(PutHex2(BeginCommand(), m_pCurrent[1]), m_pCurrent[2]);
    EndCommand(Put(at, "H"), 3);
}

// AJMP/ACALL: opcode bits 7-5 give address bits 10-8; bits 15-11 are those of the next instruction.
void CDisassemble::acall()
{
    const unsigned target = ((unsigned(m_cOpcode) << 3) & 0x700) | m_pCurrent[1]
        | (unsigned(Address() + 2) & 0xF800);
    EndCommand(Put(PutHex4(BeginCommand(), target), "H"), 2);
}

// MOV direct,direct is encoded source first and listed destination first: 85 30 40 is MOV 40H,30H.
void CDisassemble::length3d()
{
    char* at = PutHex2(BeginCommand(), m_pCurrent[2]);
    at = PutHex2(Put(at, "H,"), m_pCurrent[1]);
    EndCommand(Put(at, "H"), 3);
}
