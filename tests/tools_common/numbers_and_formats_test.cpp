// The number convention, the program-format guess and the control samples the tools share.
#include <gtest/gtest.h>

#include "tools/common/ControlSample.h"
#include "tools/common/Numbers.h"
#include "tools/common/ProgramFile.h"
#include "tests/support/TempDir.h"

using tools::ParseDecimal;
using tools::ParseFinite;
using tools::ParseHex;

TEST(NumbersTest, AddressesAndBytesAreHexInThreeSpellings)
{
    for (const char* text : {"1F00", "0x1F00", "0X1f00", "1F00H", "1f00h", "01F00"})
        EXPECT_EQ(ParseHex(text, 0xFFFF), 0x1F00u) << text;
    for (const char* text : {"", "H", "0x", "1F00HH", "0x1F00H", "-1", "+1", " 1", "1G", "10000", "FFFFFFFFFFFFFFFFFFFF"})
        EXPECT_FALSE(ParseHex(text, 0xFFFF)) << text;
    EXPECT_EQ(ParseHex("FF", 0xFF), 0xFFu);
    EXPECT_FALSE(ParseHex("100", 0xFF));
}

TEST(NumbersTest, CountsAreDecimalAndSettingsFinite)
{
    EXPECT_EQ(ParseDecimal("100", 1000), 100u);
    EXPECT_EQ(ParseDecimal("0100", 1000), 100u);
    for (const char* text : {"", "0x10", "10H", "1.5", "-3", "1001", "99999999999999999999999"})
        EXPECT_FALSE(ParseDecimal(text, 1000)) << text;
    EXPECT_EQ(ParseFinite("-2.5"), -2.5);
    EXPECT_EQ(ParseFinite("1e3"), 1000.0);
    for (const char* text : {"", "nan", "NaN", "inf", "-infinity", "1e309", "2x", "0x"})
        EXPECT_FALSE(ParseFinite(text)) << text;
}

TEST(ProgramFormatTest, IntelHexIsEveryLineARecord)
{
    EXPECT_TRUE(LooksLikeIntelHex(":03010000759055A2\r\n\r\n:00000001FF\r\n"));
    EXPECT_TRUE(LooksLikeIntelHex(":00000001ff"));
    EXPECT_FALSE(LooksLikeIntelHex(""));
    EXPECT_FALSE(LooksLikeIntelHex("\n \n"));
    EXPECT_FALSE(LooksLikeIntelHex(":03010000759055A2\n\x02\x01\x00\n"));
    EXPECT_FALSE(LooksLikeIntelHex(":0301000075 9055A2\n"));
    EXPECT_FALSE(LooksLikeIntelHex("; comment\n:00000001FF\n"));
}

TEST(ProgramFormatTest, LoadPlacesRawBinaryAtItsBaseAndRefusesWhatDoesNotFit)
{
    TempDir dir;
    CProgramFile program;
    ASSERT_TRUE(program.Load(dir.Write("code.bin", std::string("\x02\x01\x00", 3)), ProgramFormat::Detect, 0xFFFD))
        << program.GetError();
    ASSERT_EQ(program.GetRuns().size(), 1u);
    EXPECT_EQ(program.GetRuns()[0].address, 0xFFFDu);
    EXPECT_FALSE(program.IsHex());
    EXPECT_FALSE(program.Load(dir.File("code.bin"), ProgramFormat::Detect, 0xFFFE));
    EXPECT_NE(program.GetError().find("3 bytes at FFFEH run past the 64 KB code space"), std::string::npos)
        << program.GetError();
    EXPECT_TRUE(program.GetRuns().empty()) << "a refused file leaves nothing to download";

    ASSERT_TRUE(program.Load(dir.Write("empty.hex", ":00000001FF\n"), ProgramFormat::Detect, 0));
    EXPECT_TRUE(program.IsHex());
    EXPECT_TRUE(program.GetRuns().empty());
    EXPECT_FALSE(program.Load(dir.Write("high.txt", ":02FFFF00AABB9B\n:00000001FF\n"), ProgramFormat::Detect, 0));
    EXPECT_NE(program.GetError().find("10000H lies beyond the 64 KB code space"), std::string::npos) << program.GetError();
}

TEST(ControlSampleTest, TemperatureSamplesGetTheirAdcByteBackAndEveryHostWritesOneCsvLine)
{
    float degrees = 50.0f;
    tools::CControlSample temperature = tools::DecodeControlSample(WPARAM(&degrees), 0);
    EXPECT_EQ(temperature.shown, 50.0);
    EXPECT_EQ(temperature.raw, 128) << "128 counts for every 50 degrees down from 100";
    degrees = 100.0f;
    EXPECT_EQ(tools::DecodeControlSample(WPARAM(&degrees), 0).raw, 0);
    float rpm = 250.0f;
    WORD count = 417;
    EXPECT_EQ(tools::DecodeControlSample(WPARAM(&rpm), LPARAM(&count)).raw, 417) << "a speed sample carries its count";
    EXPECT_EQ(std::string(tools::kSampleCsvHeading) + tools::SampleCsvLine(3, 1500, {21.25, 201}, 96),
              "index,time_ms,shown,raw,output\n3,1500,21.2500,201,96\n");
}
