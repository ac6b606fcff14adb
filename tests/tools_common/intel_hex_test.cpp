#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"
#include "tools/common/IntelHex.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(CIntelHexTest, MergesAdjacentRecordsIntoRunsInAddressOrder)
{
    CIntelHex hex;
    ASSERT_TRUE(hex.Parse(
        ":0200100055AAEF  \n" // trailing blanks are tolerated
        ":03000000020010EB\r\n"
        "\n"
        ":020003001122C8\n"
        ":00000001FF\n",
        "a.hex")) << hex.GetError();
    ASSERT_EQ(hex.GetRuns().size(), 2u);
    EXPECT_EQ(hex.GetRuns()[0].address, 0x0000u);
    EXPECT_EQ(hex.GetRuns()[0].bytes, (Bytes{0x02, 0x00, 0x10, 0x11, 0x22}));
    EXPECT_EQ(hex.GetRuns()[1].address, 0x0010u);
    EXPECT_EQ(hex.GetRuns()[1].bytes, (Bytes{0x55, 0xAA}));
}

TEST(CIntelHexTest, AppliesSegmentAndLinearAddressRecords)
{
    CIntelHex hex;
    ASSERT_TRUE(hex.Parse(
        ":020000021000EC\n"     // segment 1000H: base 10000H
        ":01000400AB50\n"
        ":020000040002F8\n"     // linear 0002H: base 20000H
        ":01FFFF00cd34\n"       // lower-case digits
        ":0400000500000000F7\n" // start address, ignored
        ":00000001FF\n",
        "b.hex")) << hex.GetError();
    ASSERT_EQ(hex.GetRuns().size(), 2u);
    EXPECT_EQ(hex.GetRuns()[0].address, 0x10004u);
    EXPECT_EQ(hex.GetRuns()[0].bytes, Bytes{0xAB});
    EXPECT_EQ(hex.GetRuns()[1].address, 0x2FFFFu);
    EXPECT_EQ(hex.GetRuns()[1].bytes, Bytes{0xCD});
}

TEST(CIntelHexTest, StopsAtTheEndOfFileRecord)
{
    CIntelHex hex;
    ASSERT_TRUE(hex.Parse(":0100000011EE\n:00000001FF\nnot a record\n", "c.hex")) << hex.GetError();
    ASSERT_EQ(hex.GetRuns().size(), 1u);
    EXPECT_EQ(hex.GetRuns()[0].bytes, Bytes{0x11});
}

TEST(CIntelHexTest, ReportsMalformedRecordsWithTheirLine)
{
    struct Case {
        const char* text;
        int line;
        const char* message;
    };
    const Case cases[] = {
        {":0100000011EF\n", 1, "x.hex:1: bad checksum EFH, expected EEH"},
        {"\n0100000011EE\n", 2, "x.hex:2: record does not start with ':'"},
        {":0100000011E\n", 1, "x.hex:1: odd number of hexadecimal digits"},
        {":01000000G1EE\n", 1, "x.hex:1: 'G' in column 10 is not a hexadecimal digit"},
        {":00000001\n", 1, "x.hex:1: record too short"},
        {":020000001100\n", 1, "x.hex:1: length byte says 2 data bytes, record holds 1"},
        {":0000000AF6\n", 1, "x.hex:1: unknown record type 0AH"},
        {":0100000100FE\n", 1, "x.hex:1: end-of-file record with data"},
        {":0100000410EB\n", 1, "x.hex:1: address record needs 2 data bytes, has 1"},
        {":0100000011EE\n", 0, "x.hex: no end-of-file record"},
        {":020000040000FA\n:02FFFF000102FD\n:00000001FF\n", 0, nullptr}, // crosses 64 KB: fine
        {":02000004FFFFFC\n:02FFFF000102FD\n:00000001FF\n", 2, "x.hex:2: data runs past the 4 GB address space"},
        {":040000001122334452\n:00000001FF\n:0200020055AAFD\n", 0, nullptr}, // after the end: ignored
        {":040000001122334452\n:0200020055AAFD\n:00000001FF\n", 2, "x.hex:2: data at 0002H overlaps the data of line 1"},
        {":0200020055AAFD\n:040000001122334452\n:00000001FF\n", 2, "x.hex:2: data at 0002H overlaps the data of line 1"},
    };
    for (const Case& c : cases) {
        CIntelHex hex;
        const bool ok = hex.Parse(c.text, "x.hex");
        if (!c.message) {
            EXPECT_TRUE(ok) << c.text << hex.GetError();
            continue;
        }
        EXPECT_FALSE(ok) << c.text;
        EXPECT_EQ(hex.GetError(), c.message) << c.text;
        EXPECT_EQ(hex.GetErrorLine(), c.line) << c.text;
        EXPECT_TRUE(hex.GetRuns().empty()) << c.text;
    }
}

TEST(CIntelHexTest, LoadsFiles)
{
    TempDir scratch;
    const std::string path = scratch.File("program.ihx");
    std::ofstream(path) << ":03000000020030CB\n:00000001FF\n";
    CIntelHex hex;
    ASSERT_TRUE(hex.LoadFile(path)) << hex.GetError();
    ASSERT_EQ(hex.GetRuns().size(), 1u);
    EXPECT_EQ(hex.GetRuns()[0].bytes, (Bytes{0x02, 0x00, 0x30}));
    std::remove(path.c_str());

    EXPECT_FALSE(hex.LoadFile(path));
    EXPECT_EQ(hex.GetError(), path + ": cannot open: No such file or directory");
    EXPECT_TRUE(hex.GetRuns().empty());
}

} // namespace
