#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "zorkit/disasm/Disassemble.h"

namespace {

const std::string kPad(13, ' ');

struct Case {
    std::vector<unsigned char> bytes;
    int address;
    const char* text;
};

// Decodes the single instruction in bytes at address; fails if it is not exactly one instruction.
std::string DecodeOne(std::vector<unsigned char> bytes, int address)
{
    CDisassemble dis;
    dis.initaddr(bytes.data(), nullptr, address, int(bytes.size()));
    std::string text = dis.disamble(0).str();
    EXPECT_EQ(dis.GetOffset(), int(bytes.size())) << "instruction length of " << text;
    return text;
}

TEST(CDisassembleTest, ListsTheInstructionSetTexts)
{
    const Case cases[] = {
        // Relative targets, forward, backward and below 0.
        {{0x80, 0xFE}, 0x0100, "SJMP 0100H"},
        {{0x80, 0x7F}, 0x0000, "SJMP 0081H"},
        {{0x80, 0x80}, 0x0000, "SJMP FF82H"},
        {{0x10, 0x20, 0xFD}, 0x0000, "JBC 20H,0000H"},
        {{0xB4, 0x41, 0x05}, 0x0010, "CJNE A,#41H,0018H"},
        {{0xD5, 0x30, 0x80}, 0x0000, "DJNZ 30H,FF83H"},
        {{0xDE, 0xFE}, 0x2000, "DJNZ R6,2000H"},
        // Forward branches past FFFF wrap like the program counter.
        {{0x80, 0x10}, 0xFFF0, "SJMP 0002H"},
        {{0xB4, 0x00, 0x7F}, 0xFFF0, "CJNE A,#00H,0072H"},
        {{0x70, 0x00}, 0xFFFE, "JNZ 0000H"},
        // 11-bit targets take bits 15-11 from the next instruction's address.
        {{0xA1, 0x23}, 0x1234, "AJMP 1523H"},
        {{0x01, 0x00}, 0x07FE, "AJMP 0800H"},
        {{0x01, 0x00}, 0x07FD, "AJMP 0000H"},
        {{0xF1, 0xFF}, 0x07FD, "ACALL 07FFH"},
        {{0x11, 0x00}, 0x0FFE, "ACALL 1000H"},
        {{0x01, 0x34}, 0xFFFE, "AJMP 0034H"},
        {{0xE1, 0xFF}, 0xF800, "AJMP FFFFH"},
        // Operand orders and widths.
        {{0x85, 0x30, 0x40}, 0, "MOV 40H,30H"},
        {{0x75, 0xE0, 0xFF}, 0, "MOV E0H,#FFH"},
        {{0x90, 0x12, 0x34}, 0, "MOV DPTR,#1234H"},
        {{0x12, 0xAB, 0xCD}, 0, "LCALL ABCDH"},
        {{0x02, 0x00, 0x30}, 0, "LJMP 0030H"},
        {{0x74, 0xFF}, 0, "MOV A,#FFH"},
        {{0xC0, 0xE0}, 0, "PUSH E0H"},
        {{0xA0, 0x07}, 0, "ORL C,/07H"},
        {{0x53, 0x90, 0x0F}, 0, "ANL 90H,#0FH"},
        // A register or the carry after the 8-bit field.
        {{0x42, 0x30}, 0, "ORL 30H,A"},
        {{0xF5, 0xF0}, 0, "MOV F0H,A"},
        {{0x86, 0x30}, 0, "MOV 30H,@R0"},
        {{0x87, 0x30}, 0, "MOV 30H,@R1"},
        {{0x8F, 0x30}, 0, "MOV 30H,R7"},
        {{0x92, 0xD7}, 0, "MOV D7H,C"},
        // Irregular spellings are kept.
        {{0x00}, 0, "NOP "},
        {{0x14}, 0, "DEC  A"},
        {{0x22}, 0, "RET "},
        {{0x23}, 0, "RL A "},
        {{0x32}, 0, "RETI "},
        {{0x33}, 0, "RLC A "},
        {{0x8D, 0x30}, 0, "MOV  30H,R5"},
        {{0x99}, 0, "SUBB A ,R1"},
        {{0xA5}, 0, "A NONSENCE INSTRUCTION"},
        // Other operand-less forms have no trailing blank.
        {{0x03}, 0, "RR A"},
        {{0x13}, 0, "RRC A"},
        {{0xC4}, 0, "SWAP A"},
        {{0xD4}, 0, "DA A"},
        {{0xC3}, 0, "CLR C"},
        {{0xA4}, 0, "MUL AB"},
        {{0x73}, 0, "JMP @A+DPTR"},
        {{0x83}, 0, "MOVC A,@A+PC"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecodeOne(c.bytes, c.address), c.text) << "at " << std::hex << c.address;
}

TEST(CDisassembleTest, ByteColumnHoldsAddressAndCodeBytes)
{
    unsigned char code[] = {0x02, 0x00, 0x30, 0x12, 0xAB, 0xCD, 0xA5};
    unsigned short addrs[3] = {};
    CDisassemble dis;
    EXPECT_EQ(dis.initaddr(code, addrs, 0xAAAA), 1);

    EXPECT_EQ(dis.disamble(0), "LJMP 0030H");
    EXPECT_EQ(dis.robotcd(0), ("AAAA  020030" + kPad).c_str());
    EXPECT_EQ(dis.disamble(0), "LCALL ABCDH");
    EXPECT_EQ(dis.robotcd(0), ("AAAD  12ABCD" + kPad).c_str());
    EXPECT_EQ(dis.disamble(0), "A NONSENCE INSTRUCTION");
    EXPECT_EQ(dis.robotcd(0), ("AAB0  A5" + kPad).c_str());
    EXPECT_EQ(dis.GetOffset(), 7);
}

TEST(CDisassembleTest, AddressesPastFFFFShowTheirLow16Bits)
{
    unsigned char code[] = {0x00, 0x00};
    unsigned short addrs[2] = {};
    CDisassemble dis;
    dis.initaddr(code, addrs, 0xFFFF);
    dis.disamble(0);
    dis.disamble(0);
    EXPECT_EQ(dis.robotcd(0), ("0000  00" + kPad).c_str());
    EXPECT_EQ(addrs[0], 0xFFFF);
    EXPECT_EQ(addrs[1], 0x0000);
}

TEST(CDisassembleTest, RecordsOneAddressPerInstructionAndNoMore)
{
    unsigned char code[] = {0x00, 0x74, 0x01, 0x02, 0x12, 0x34, 0x80, 0xFE, 0x22};
    unsigned short addrs[6];
    std::fill(std::begin(addrs), std::end(addrs), 0xEEEE); // sentinels
    CDisassemble dis;
    dis.initaddr(code, addrs, 0x4000);
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(dis.disamble(0).IsEmpty());

    const unsigned short expected[] = {0x4000, 0x4001, 0x4003, 0x4006, 0x4008, 0xEEEE};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(addrs[i], expected[i]) << "entry " << i;
    EXPECT_EQ(dis.GetOffset(), int(sizeof code));

    // A new block starts the count and the offset again.
    dis.initaddr(code + 8, addrs, 0x0100);
    EXPECT_EQ(dis.disamble(0), "RET ");
    EXPECT_EQ(addrs[0], 0x0100);
    EXPECT_EQ(addrs[1], 0x4001);
    EXPECT_EQ(dis.GetOffset(), 1);
}

TEST(CDisassembleTest, TextsStayUntilTheNextDecode)
{
    unsigned char code[] = {0x24, 0x41, 0x00};
    CDisassemble dis;
    EXPECT_EQ(dis.robotcd(0), "");
    EXPECT_EQ(dis.commandcd(0), "");
    dis.initaddr(code, nullptr, 0);
    CString text = dis.disamble(0);
    EXPECT_EQ(text, "ADD A,#41H");
    EXPECT_EQ(dis.commandcd(0), text);
    EXPECT_EQ(dis.commandcd(0), text);
    EXPECT_EQ(dis.robotcd(0), ("0000  2441" + kPad).c_str());
    dis.disamble(0);
    EXPECT_EQ(dis.commandcd(0), "NOP ");
    EXPECT_EQ(dis.robotcd(0), ("0002  00" + kPad).c_str());
}

TEST(CDisassembleTest, CopiesContinueFromTheSamePlaceWithTextsOfTheirOwn)
{
    unsigned char code[] = {0x74, 0x01, 0x75, 0x30, 0x02, 0x80, 0xFE};
    unsigned short addrs[3] = {};
    CDisassemble original;
    original.initaddr(code, addrs, 0x0200);
    original.disamble(0);

    CDisassemble copy(original);
    EXPECT_EQ(copy.commandcd(0), "MOV A,#01H");
    EXPECT_EQ(copy.disamble(0), "MOV 30H,#02H");
    EXPECT_EQ(original.commandcd(0), "MOV A,#01H") << "the copy's decode must not change the original's text";
    EXPECT_EQ(original.disamble(0), "MOV 30H,#02H");

    CDisassemble assigned;
    assigned = original;
    EXPECT_EQ(assigned.disamble(0), "SJMP 0205H");
    EXPECT_EQ(assigned.robotcd(0), ("0205  80FE" + kPad).c_str());
    EXPECT_EQ(assigned.GetOffset(), 7);
    EXPECT_EQ(original.GetOffset(), 5);
    EXPECT_EQ(addrs[2], 0x0205) << "copies share the host's address array and its count";
}

// Code placed flush against an unreadable page: reading one byte too far faults.
class GuardedCode {
public:
    GuardedCode()
        : m_page(std::size_t(sysconf(_SC_PAGESIZE)))
    {
        m_base = static_cast<unsigned char*>(
            mmap(nullptr, 2 * m_page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        if (m_base != MAP_FAILED)
            mprotect(m_base + m_page, m_page, PROT_NONE);
    }
    ~GuardedCode()
    {
        if (m_base != MAP_FAILED)
            munmap(m_base, 2 * m_page);
    }
    GuardedCode(const GuardedCode&) = delete;
    GuardedCode& operator=(const GuardedCode&) = delete;

    bool IsValid() const { return m_base != MAP_FAILED; }
    // Copies bytes so that the last one is the last readable byte.
    unsigned char* Place(const std::vector<unsigned char>& bytes)
    {
        unsigned char* at = m_base + m_page - bytes.size();
        std::memcpy(at, bytes.data(), bytes.size());
        return at;
    }

private:
    std::size_t m_page;
    unsigned char* m_base;
};

TEST(CDisassembleTest, BoundedBlockNeverReadsATruncatedInstruction)
{
    GuardedCode guard;
    ASSERT_TRUE(guard.IsValid());
    const std::vector<std::vector<unsigned char>> truncated = {
        {0x02}, {0x02, 0x00}, {0x74}, {0x80}, {0x85, 0x30}, {0x75, 0x30}, {0xB4, 0x41}, {0x01}, {0x90, 0x12},
    };
    for (const auto& bytes : truncated) {
        std::vector<unsigned char> block = {0x00};
        block.insert(block.end(), bytes.begin(), bytes.end());
        unsigned char* code = guard.Place(block);
        unsigned short addrs[3] = {0xEEEE, 0xEEEE, 0xEEEE};
        CDisassemble dis;
        dis.initaddr(code, addrs, 0x0100, int(block.size()));

        EXPECT_EQ(dis.disamble(0), "NOP ");
        EXPECT_EQ(dis.disamble(0), "") << "opcode " << std::hex << int(bytes[0]);
        EXPECT_EQ(dis.robotcd(0), "");
        EXPECT_EQ(dis.commandcd(0), "");
        EXPECT_EQ(dis.GetOffset(), 1) << "the left-over bytes start after the NOP";
        EXPECT_EQ(addrs[1], 0xEEEE) << "no address for an instruction that was not decoded";
        EXPECT_EQ(dis.disamble(0), "") << "it stays at the truncated instruction";
    }
}

TEST(CDisassembleTest, BoundedBlockDecodesAnInstructionThatEndsExactlyAtTheEnd)
{
    GuardedCode guard;
    ASSERT_TRUE(guard.IsValid());
    unsigned char* code = guard.Place({0x12, 0xAB, 0xCD});
    CDisassemble dis;
    dis.initaddr(code, nullptr, 0xFFFD, 3);
    EXPECT_EQ(dis.disamble(0), "LCALL ABCDH");
    EXPECT_EQ(dis.disamble(0), "") << "nothing is left";
    EXPECT_EQ(dis.GetOffset(), 3);
}

TEST(CDisassembleTest, DecodesNothingWithoutABlock)
{
    CDisassemble dis;
    EXPECT_EQ(dis.disamble(0), "");
    EXPECT_EQ(dis.GetOffset(), 0);
    dis.initaddr(nullptr, nullptr, 0, 0);
    EXPECT_EQ(dis.disamble(0), "");
}

// Over random code every byte decodes, the byte column shows exactly the bytes consumed,
// and the instructions tile the block up to a left-over of less than one instruction.
TEST(CDisassembleTest, RandomCodeTilesTheBlock)
{
    std::mt19937 random(8051);
    std::vector<unsigned char> code(20000);
    for (unsigned char& b : code)
        b = static_cast<unsigned char>(random());
    std::vector<unsigned short> addrs(code.size());
    CDisassemble dis;
    const int base = 0xC000;
    dis.initaddr(code.data(), addrs.data(), base, int(code.size()));

    static const char digits[] = "0123456789ABCDEF";
    int count = 0;
    for (int offset = 0;; ++count) {
        const CString text = dis.disamble(0);
        if (text.IsEmpty())
            break;
        const int length = dis.GetOffset() - offset;
        ASSERT_GE(length, 1);
        ASSERT_LE(length, 3);
        ASSERT_EQ(addrs[std::size_t(count)], (base + offset) & 0xFFFF);
        std::string column;
        for (int value : {(base + offset) >> 8 & 0xFF, (base + offset) & 0xFF})
            column += {digits[value >> 4], digits[value & 15]};
        column += "  ";
        for (int i = 0; i < length; ++i)
            column += {digits[code[std::size_t(offset + i)] >> 4], digits[code[std::size_t(offset + i)] & 15]};
        ASSERT_EQ(dis.robotcd(0).str(), column + kPad);
        offset = dis.GetOffset();
    }
    EXPECT_GT(count, 8000);
    EXPECT_LE(int(code.size()) - dis.GetOffset(), 2);
}

} // namespace
