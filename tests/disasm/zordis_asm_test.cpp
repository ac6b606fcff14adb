// zordis --asm run as a process, its source assembled and linked back by sdas8051 and
// sdld, and the image compared byte for byte with what went in.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "tests/support/RunProcess.h"
#include "tests/support/TempDir.h"
#include "tools/common/IntelHex.h"

namespace {

using Bytes = std::vector<unsigned char>;

// The 8051 code space; -1 where the image holds no byte.
using Image = std::vector<int>;

struct Block {
    unsigned address;
    Bytes bytes;
};

Image MakeImage(const std::vector<Block>& blocks)
{
    Image image(0x10000, -1);
    for (const Block& block : blocks)
        for (std::size_t i = 0; i < block.bytes.size(); ++i)
            image[block.address + i] = block.bytes[i];
    return image;
}

// Intel HEX text of blocks, sixteen bytes a record.
std::string MakeHex(const std::vector<Block>& blocks)
{
    std::string text;
    for (const Block& block : blocks) {
        for (std::size_t at = 0; at < block.bytes.size(); at += 16) {
            const std::size_t count = std::min<std::size_t>(16, block.bytes.size() - at);
            const unsigned address = block.address + unsigned(at);
            unsigned sum = unsigned(count) + (address >> 8) + (address & 0xFF);
            char field[16];
            std::snprintf(field, sizeof field, ":%02zX%04X00", count, address);
            text += field;
            for (std::size_t i = 0; i < count; ++i) {
                std::snprintf(field, sizeof field, "%02X", block.bytes[at + i]);
                text += field;
                sum += block.bytes[at + i];
            }
            std::snprintf(field, sizeof field, "%02X\n", (0x100 - (sum & 0xFF)) & 0xFF);
            text += field;
        }
    }
    return text + ":00000001FF\n";
}

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

class ZordisAsmTraceTest : public testing::Test {
protected:
    Result Run(std::vector<std::string> args)
    {
        args.insert(args.begin(), ZORDIS_PATH);
        Result result;
        result.status = RunProcess(args, m_dir.File("stdout"), m_dir.File("stderr"));
        result.out = TempDir::Read(m_dir.File("stdout"));
        result.err = TempDir::Read(m_dir.File("stderr"));
        return result;
    }

    TempDir m_dir;
};

TEST_F(ZordisAsmTraceTest, TracesFromVectorsAndEntriesAndSaysWhereTheTraceEnds)
{
    const std::vector<Block> blocks = {
        {0x0000, {0x02, 0x01, 0x00}}, // LJMP 0100
        {0x0100, {
            0xD2, 0x8C,       // SETB TR0
            0x12, 0x01, 0x10, // LCALL 0110
            0x80, 0xFE,       // SJMP 0105
            0x12, 0x34, 0, 0, 0, 0, 0, 0, 0,
            0xC0, 0x82,       // 0110 PUSH DPL
            0xC0, 0x83,       // PUSH DPH
            0x22,             // RET to the address pushed
            0x73,             // 0115 JMP @A+DPTR
            0xA5,             // 0116
            0xC0, 0xE0,       // 0117 PUSH ACC
            0xD0, 0xE0,       // POP ACC
            0x22}},           // a plain RET
    };
    const std::string file = m_dir.Write("trace.hex", MakeHex(blocks));
    const Result r = Run({"--asm", "--entry", "0115", "--entry=116H", "--entry", "0x0117", "--entry", "5000", file});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
        "; " + file + ", traced by zordis --asm\n"
        "\t.area\tCODE (ABS)\n"
        "\n\t.org\t0x0000\n"
        "L0000:\n"
        "\tljmp\tL0100\t; 0000\n"
        "\n\t.org\t0x0100\n"
        "L0100:\n"
        "\tsetb\tTR0\t; 0100\n"
        "\tlcall\tL0110\t; 0102\n"
        "L0105:\n"
        "\tsjmp\tL0105\t; 0105\n"
        "\t.db\t0x12,0x34,0x00,0x00,0x00,0x00,0x00,0x00,0x00\t; 0107\n"
        "L0110:\n"
        "\tpush\tDPL\t; 0110\n"
        "\tpush\tDPH\t; 0112\n"
        "\tret\t; 0114\n"
        "L0115:\n"
        "\tjmp\t@a+dptr\t; 0115\n"
        "L0116:\n"
        "\t.db\t0xA5\t; 0116\n"
        "L0117:\n"
        "\tpush\tACC\t; 0117\n"
        "\tpop\tACC\t; 0119\n"
        "\tret\t; 011B\n");
    EXPECT_EQ(r.err,
        "zordis: warning: --entry 5000H holds no byte of the data; not traced\n"
        "zordis: warning: 0114H: RET after a PUSH jumps to a computed address; the trace ends there\n"
        "zordis: warning: 0115H: JMP @A+DPTR jumps through a table; the trace ends there\n"
        "zordis: warning: 0116H: A5 is no instruction; the trace ends there and the byte stays data\n");
}

// The top of the code space cuts an LJMP short: its operands are not there to decode.
TEST_F(ZordisAsmTraceTest, AnInstructionCutOffAtTheTopOfTheCodeSpaceStaysData)
{
    const std::string file = m_dir.Write("top.hex", MakeHex({{0xFFFF, {0x02}}}));
    const Result r = Run({"--asm", "--entry", "FFFF", file});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("\t.db\t0x02\t; FFFF\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "zordis: warning: FFFFH: the instruction runs past the data; the trace ends there\n");
}

TEST_F(ZordisAsmTraceTest, EntryNeedsAsmAndAnAddress)
{
    const std::string file = m_dir.Write("x.bin", std::string(4, '\0'));
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--entry", "10", file}, {"--asm", "--entry", "10000", file}, {"--asm", "--entry"}}) {
        const Result r = Run(args);
        EXPECT_EQ(r.status, 2) << testing::PrintToString(args);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.rfind("zordis: ", 0), 0u) << r.err;
    }
    const Result help = Run({"--help"});
    EXPECT_NE(help.out.find("  --entry ADDR"), std::string::npos) << help.out;
}

class ZordisAsmTest : public ZordisAsmTraceTest {
protected:
    // Disassembles file with --asm and args, assembles and links the source, and
    // expects the linked image to be expected, byte for byte. Returns the source.
    std::string RoundTrip(const std::string& file, const Image& expected, std::vector<std::string> args = {})
    {
        args.insert(args.begin(), "--asm");
        args.push_back(file);
        const Result listing = Run(args);
        EXPECT_EQ(listing.status, 0) << listing.err;
        const std::string source = m_dir.Write("round.asm", listing.out);
        const std::string object = m_dir.File("round.rel");
        const std::string linked = m_dir.File("round.ihx");

        const int assembled = RunProcess({SDAS8051_PATH, "-o", object, source}, m_dir.File("as.out"), m_dir.File("as.err"));
        EXPECT_EQ(assembled, 0) << TempDir::Read(m_dir.File("as.out")) << TempDir::Read(m_dir.File("as.err"));
        const int status = RunProcess({SDLD_PATH, "-i", linked, object}, m_dir.File("ld.out"), m_dir.File("ld.err"));
        const std::string linkerSays = TempDir::Read(m_dir.File("ld.out")) + TempDir::Read(m_dir.File("ld.err"));
        EXPECT_EQ(status, 0) << linkerSays;
        EXPECT_EQ(linkerSays.find("Warning"), std::string::npos) << linkerSays;

        CIntelHex hex;
        if (!hex.LoadFile(linked)) {
            ADD_FAILURE() << hex.GetError();
            return listing.out;
        }
        std::vector<Block> blocks;
        for (const CIntelHex::Run& run : hex.GetRuns())
            blocks.push_back({run.address, Bytes(run.bytes.begin(), run.bytes.end())});
        const Image image = MakeImage(blocks);
        for (unsigned address = 0; address < 0x10000; ++address) {
            if (image[address] != expected[address]) {
                ADD_FAILURE() << "at " << std::hex << address << " the linked image holds " << image[address]
                              << " instead of " << expected[address] << " (-1: no byte)";
                break;
            }
        }
        return listing.out;
    }

    void SetUp() override
    {
        if (std::string(SDAS8051_PATH).empty() || std::string(SDLD_PATH).empty())
            GTEST_SKIP() << "sdas8051 or sdld not found when configuring: ./zor installs sdcc";
    }
};

TEST_F(ZordisAsmTest, TheTestProgramsAssembleBackToTheirBytes)
{
    for (const char* program : {"allops", "branches"}) {
        const std::string file = std::string(DISASM_DATA_DIR) + "/" + program + ".ihx";
        CIntelHex hex;
        ASSERT_TRUE(hex.LoadFile(file)) << hex.GetError();
        std::vector<Block> blocks;
        for (const CIntelHex::Run& run : hex.GetRuns())
            blocks.push_back({run.address, Bytes(run.bytes.begin(), run.bytes.end())});
        SCOPED_TRACE(program);
        RoundTrip(file, MakeImage(blocks));
    }
}

// Random code has every opcode at every alignment: branches wrapping around the code
// space, AJMP at page ends, jumps into instructions, instructions cut off at FFFF.
TEST_F(ZordisAsmTest, RandomBytesAssembleBackToTheSameImage)
{
    std::mt19937 random(0x8051);
    Bytes bytes(0x10000);
    for (unsigned char& byte : bytes)
        byte = static_cast<unsigned char>(random());
    const std::string file = m_dir.Write("random.bin", std::string(bytes.begin(), bytes.end()));
    const Image image = MakeImage({{0, bytes}});

    const std::string source = RoundTrip(file, image);
    EXPECT_NE(source.find("\n\t.org\t0x0000\n"), std::string::npos);

    // Tracing from every seventh byte too reaches far more of the opcode map.
    std::vector<std::string> entries;
    for (unsigned address = 0; address < 0x10000; address += 7) {
        char text[8];
        std::snprintf(text, sizeof text, "%04X", address);
        entries.insert(entries.end(), {"--entry", text});
    }
    RoundTrip(file, image, entries);

    Image clipped(0x10000, -1);
    std::copy(image.begin() + 0x1234, image.begin() + 0xF010, clipped.begin() + 0x1234);
    entries.insert(entries.end(), {"--start", "1234", "--end", "F00F"});
    RoundTrip(file, clipped, entries);
}

TEST_F(ZordisAsmTest, AHexWithGapsAssemblesBackRunByRun)
{
    const std::vector<Block> blocks = {
        {0x0000, {0x02, 0x01, 0x00}}, // LJMP 0100
        {0x0100, {
            0x12, 0x07, 0xF8, // LCALL 07F8, another run
            0x70, 0x02,       // JNZ 0107
            0x74, 0x00,       // MOV A,#00, whose second byte is a target
            0x60, 0xFD,       // JZ 0106, inside the MOV
            0x02, 0x30, 0x00, // LJMP 3000, in a gap
            0x12, 0x34}},     // never reached
        {0x07F8, {
            0x40, 0x04,       // JC 07FE
            0x80, 0x34,       // SJMP 0830, in a gap
            0x00, 0x00,
            0x01, 0x05,       // AJMP 0805 from the last two bytes of a page
            0x22,             // RET
            0x00, 0x00, 0x00, 0x00,
            0x31, 0x00,       // ACALL 0900, in a gap
            0x60, 0x05,       // JZ 080E
            0x80, 0xFE,       // SJMP 0809
            0xA5, 0x11, 0x22,
            0x12, 0xAB}},     // LCALL cut off by the end of the run
        {0xFFF0, {
            0xD2, 0x8C,       // SETB TR0
            0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
            0x80, 0x02}},     // SJMP 0002, around the end of the code space
    };
    const std::string file = m_dir.Write("gaps.hex", MakeHex(blocks));
    const std::string source = RoundTrip(file, MakeImage(blocks), {"--entry", "FFF0"});

    for (const char* line : {"\t.org\t0x0000\n", "\t.org\t0x0100\n", "\t.org\t0x07F8\n", "\t.org\t0xFFF0\n",
             "L0106\t=\t.+1\n\tmov\ta,#0x00\t; 0105\n", "\tjz\tL0106\t; 0107\n", "\tljmp\t0x3000\t; 0109\n",
             "\t.db\t0x12,0x34\t; 010C\n", "\tsjmp\t.+0x36\t; 07FA\n", "\t.db\t0x01,0x05\t; 07FE ajmp\tL0805\n",
             "L0805:\n\tacall\t0x0900\t; 0805\n", "\t.db\t0x12,0xAB\t; 080E\n", "\tsetb\tTR0\t; FFF0\n",
             "\tsjmp\t.+0x04\t; FFFE\n", "L0002\t=\t.+2\n\tljmp\tL0100\t; 0000\n"})
        EXPECT_NE(source.find(line), std::string::npos) << line << "\nnot in\n" << source;
}

// Every direct and bit address once: a name the assembler gives another value would
// change the bytes.
TEST_F(ZordisAsmTest, RegisterAndBitNamesAssembleToTheirAddresses)
{
    Bytes code;
    for (unsigned direct = 0; direct < 0x100; ++direct)
        code.insert(code.end(), {0x75, static_cast<unsigned char>(direct), 0x5A}); // MOV direct,#5A
    for (unsigned bit = 0; bit < 0x100; ++bit)
        code.insert(code.end(), {0xB2, static_cast<unsigned char>(bit)}); // CPL bit
    code.insert(code.end(), {0x85, 0xE0, 0xF0, 0x80, 0xFE}); // MOV B,ACC; SJMP $
    const std::string file = m_dir.Write("names.bin", std::string(code.begin(), code.end()));

    const std::string source = RoundTrip(file, MakeImage({{0, code}}));
    for (const char* line : {"\tmov\t0x30,#0x5A", "\tmov\tACC,#0x5A", "\tmov\tTL0,#0x5A", "\tmov\t0xC8,#0x5A",
             "\tcpl\t0x7F", "\tcpl\tTR0", "\tcpl\tP1.3", "\tcpl\tCY", "\tcpl\tACC.7", "\tcpl\tIE.5", "\tcpl\t0xBF",
             "\tmov\tB,ACC"})
        EXPECT_NE(source.find(line), std::string::npos) << line;
}

} // namespace
