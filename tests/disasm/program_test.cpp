// Programs assembled by an 8051 assembler, each instruction annotated with the text the
// instruction set gives it, decoded block by block from the assembler's Intel HEX output.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "zorkit/disasm/Disassemble.h"
#include "tools/common/IntelHex.h"

namespace {

// The quoted texts after ";=" in an assembler source, in order.
std::vector<std::string> ExpectedTexts(const std::string& path)
{
    std::ifstream file(path);
    std::vector<std::string> texts;
    for (std::string line; std::getline(file, line);) {
        const std::size_t mark = line.find(";= \"");
        if (mark == std::string::npos)
            continue;
        const std::size_t open = mark + 3;
        const std::size_t close = line.rfind('"');
        if (close > open)
            texts.push_back(line.substr(open + 1, close - open - 1));
    }
    return texts;
}

struct Listing {
    std::vector<std::string> texts;
    std::set<int> opcodes;
    int leftOver = 0;
};

Listing DecodeProgram(const std::string& hexPath)
{
    CIntelHex hex;
    EXPECT_TRUE(hex.LoadFile(hexPath)) << hex.GetError();
    Listing listing;
    for (const CIntelHex::Run& run : hex.GetRuns()) {
        std::vector<unsigned char> bytes(run.bytes.begin(), run.bytes.end());
        CDisassemble dis;
        dis.initaddr(bytes.data(), nullptr, int(run.address), int(bytes.size()));
        for (;;) {
            const int offset = dis.GetOffset();
            const CString text = dis.disamble(0);
            if (text.IsEmpty())
                break;
            listing.texts.push_back(text.str());
            listing.opcodes.insert(bytes[std::size_t(offset)]);
        }
        listing.leftOver += int(bytes.size()) - dis.GetOffset();
    }
    return listing;
}

class AssembledProgramTest : public testing::TestWithParam<const char*> {};

TEST_P(AssembledProgramTest, ListsWhatTheSourceSays)
{
    const std::string base = std::string(DISASM_DATA_DIR) + "/" + GetParam();
    const std::vector<std::string> expected = ExpectedTexts(base + ".asm");
    ASSERT_FALSE(expected.empty());
    const Listing listing = DecodeProgram(base + ".ihx");
    EXPECT_EQ(listing.leftOver, 0);
    ASSERT_EQ(listing.texts.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(listing.texts[i], expected[i]) << "instruction " << i + 1 << " of " << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Programs, AssembledProgramTest, testing::Values("allops", "branches"));

TEST(AssembledProgramTest, AllOpsCoversEveryOpcode)
{
    const Listing listing = DecodeProgram(std::string(DISASM_DATA_DIR) + "/allops.ihx");
    EXPECT_EQ(listing.texts.size(), 256u);
    EXPECT_EQ(listing.opcodes.size(), 256u);
}

} // namespace
