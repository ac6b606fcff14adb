#include <gtest/gtest.h>

#include "tools/zorstudio/CodeListing.h"

namespace zorkit::studio::test {
namespace {

TEST(CodeImage, ListsDownloadedInstructionsAndStopsAtUnknownBytes)
{
    zorstudio::CCodeImage code;
    EXPECT_TRUE(code.IsEmpty());
    // mov r0,#30H; mov a,@r0; ljmp 0100H with its last byte missing
    code.Put(0x0100, {0x78, 0x30, 0xE6, 0x02, 0x01});
    const auto listing = zorstudio::ListCode(code, 0x0100, 10);
    ASSERT_EQ(listing.size(), 2u) << "the LJMP lacks a byte";
    EXPECT_EQ(listing[0].address, 0x0100);
    EXPECT_EQ(listing[0].length, 2);
    EXPECT_EQ(listing[0].text.substr(0, 4), "0100");
    EXPECT_EQ(listing[0].text.substr(4, 12), "  78 30     ") << "the bytes padded to three";
    EXPECT_NE(listing[0].text.find("MOV"), std::string::npos) << listing[0].text;
    EXPECT_EQ(listing[1].address, 0x0102);
    EXPECT_EQ(listing[0].text.find("MOV"), listing[1].text.find("MOV")) << "the instructions align:\n"
                                                                           << listing[0].text << "\n" << listing[1].text;
    EXPECT_TRUE(zorstudio::ListCode(code, 0x2000, 3).empty());
    EXPECT_EQ(code.Read(0x0104, 2), (std::vector<BYTE>{0x01, 0xFF})) << "unknown bytes read as FF";

    // An instruction at FFFF reads its operand from 0000.
    code.Put(0xFFFF, {0x74, 0x55});
    const auto wrapped = zorstudio::ListCode(code, 0xFFFF, 1);
    ASSERT_EQ(wrapped.size(), 1u);
    EXPECT_EQ(wrapped[0].length, 2);
    code.Clear();
    EXPECT_TRUE(code.IsEmpty());
    EXPECT_FALSE(code.IsKnown(0x0100));
}

}
}
