// The code image zordis traces and zorstudio lists from: where bytes land, which
// addresses count as known, and what reads of the unknown give.
#include <gtest/gtest.h>

#include <vector>

#include "tools/common/CodeImage.h"

using tools::CCodeImage;

namespace {

std::vector<std::pair<unsigned, unsigned>> Runs(const CCodeImage& image)
{
    std::vector<std::pair<unsigned, unsigned>> runs;
    for (const CCodeImage::Run& run : image.GetRuns())
        runs.emplace_back(run.first, run.end);
    return runs;
}

}

TEST(CodeImage, BytesWrapPastFFFFAsTheProgramCounterDoes)
{
    CCodeImage image;
    EXPECT_TRUE(image.IsEmpty());
    image.Put(0xFFFE, {0x11, 0x22, 0x33, 0x44});
    EXPECT_FALSE(image.IsEmpty());
    EXPECT_EQ(image.At(0xFFFF), 0x22);
    EXPECT_EQ(image.At(0x0001), 0x44);
    EXPECT_EQ(Runs(image), (std::vector<std::pair<unsigned, unsigned>>{{0x0000, 0x0002}, {0xFFFE, 0x10000}}))
        << "runs stay in ascending order and end at the top of the code space";
    EXPECT_EQ(image.Read(0xFFFF, 4), (std::vector<std::uint8_t>{0x22, 0x33, 0x44, 0xFF})) << "a read wraps too";
    image.Put(0xFFFF, {0x55});
    EXPECT_EQ(image.At(0xFFFF), 0x55) << "the last placement wins";
}

TEST(CodeImage, OnlyBytesInsideTheRangeAreKept)
{
    CCodeImage image;
    image.Put(0x00FE, {1, 2, 3, 4}, 0x0100, 0x0100);
    EXPECT_EQ(Runs(image), (std::vector<std::pair<unsigned, unsigned>>{{0x0100, 0x0101}}));
    EXPECT_EQ(image.At(0x0100), 3);

    // A range that ends at FFFF keeps what lies past it out, rather than wrapping it.
    CCodeImage top;
    top.Put(0xFFFF, {0x02, 0x12, 0x34}, 0x0000, 0xFFFF);
    EXPECT_TRUE(top.IsKnown(0xFFFF));
    EXPECT_FALSE(top.IsKnown(0x0000));
    EXPECT_FALSE(top.IsKnown(0x0001));
}

TEST(CodeImage, UnknownAddressesReadAsErasedMemory)
{
    CCodeImage image;
    image.Put(0xFFFF, {0x02});
    EXPECT_FALSE(image.IsKnown(-1));
    EXPECT_FALSE(image.IsKnown(0x10000)) << "past the code space";
    EXPECT_FALSE(image.IsKnown(0x1234));
    EXPECT_EQ(image.At(0x1234), 0xFF);
    // An instruction decoded at FFFF reads its operands from inside the buffer.
    const std::uint8_t* code = image.Data() + 0xFFFF;
    EXPECT_EQ(code[0], 0x02);
    EXPECT_EQ(code[CCodeImage::kLongestInstruction - 1], 0xFF);

    image.Put(0x0100, {0x00});
    image.Clear();
    EXPECT_TRUE(image.IsEmpty());
    EXPECT_FALSE(image.IsKnown(0x0100));
    EXPECT_EQ(image.At(0x0100), 0xFF);
    EXPECT_TRUE(image.GetRuns().empty());
}
