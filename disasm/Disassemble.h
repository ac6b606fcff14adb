// Decodes a block of 8051 machine code into listing text, one instruction per call.
//
//   CDisassemble dis;
//   dis.initaddr(code, addrs, 0x0100, length);
//   for (CString text = dis.disamble(0); !text.IsEmpty(); text = dis.disamble(0))
//       printf("%s%s\n", (LPCTSTR)dis.robotcd(0), (LPCTSTR)text);
//
// The code bytes and the address array stay the host's and must outlive the decoding.
// Copies continue decoding from the same place, each with texts of its own.
// Addresses and branch targets wrap at FFFF like the 8051's program counter.
#pragma once

#include "zorkit/platform/core/CString.h"

class CDisassemble {
public:
    CDisassemble();

    // Starts an unbounded block: every disamble reads the whole instruction at the
    // current byte, so the host must stop before the block runs out. addrs receives
    // one address per decoded instruction and may be null. Always returns 1.
    int initaddr(unsigned char* code, unsigned short* addrs, int base);
    // Starts a block of length bytes. An instruction that does not fit in what is
    // left is not read: disamble then returns an empty text (robotcd and commandcd
    // too), records no address and stays where it is, so GetOffset() tells where the
    // left-over bytes begin. An address array of length entries is always big enough.
    int initaddr(unsigned char* code, unsigned short* addrs, int base, int length);

    // Decodes the next instruction and returns its instruction text; the int is unused.
    CString disamble(int);
    // Address and code bytes of the last decoded instruction, padded with blanks.
    CString robotcd(int) const;
    // Instruction text of the last decoded instruction.
    CString commandcd(int) const;

    // Bytes decoded since initaddr.
    int GetOffset() const { return m_nOffset; }

private:
    // Room for the longest texts: "A NONSENCE INSTRUCTION", and four address digits,
    // two blanks, six byte digits and thirteen blanks.
    static constexpr int kTextSize = 32;

    // Operand handlers, one per operand class: each builds the instruction text from
    // the mnemonic prefix and its operands and advances past the instruction.
    void length1();
    void length20();
    void length2r();
    void length3n();
    void length3(int);
    void ljump();
    void acall();
    void length3d();

    char* BeginCommand();
    void EndCommand(char* end, int length);
    int Address() const;

    unsigned char* m_pCurrent = nullptr;
    int m_nBase = 0;
    int m_nOffset = 0;
    // Block length for bounded decoding, -1 when the host bounds it. Zero until
    // initaddr, so that a decoder without a block decodes nothing.
    int m_nLength = 0;
    unsigned short* m_pAddrs = nullptr;
    unsigned short m_nAddrCount = 0;
    unsigned char m_cOpcode = 0;
    const char* m_pszMnemonic = "";
    // The texts live in fixed buffers: decoding runs at tens of millions of
    // instructions a second, and a string assignment costs more than the decoding.
    char m_szCommand[kTextSize] = {};
    int m_nCommandLength = 0;
    char m_szRobot[kTextSize] = {};
    int m_nRobotLength = 0;
};
