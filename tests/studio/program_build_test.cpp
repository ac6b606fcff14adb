#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "tests/support/TempDir.h"
#include "tools/zorstudio/CodeListing.h"
#include "tools/zorstudio/ProgramBuild.h"

namespace zorkit::studio::test {
namespace {

using zorstudio::CBuildResult;
using zorstudio::CProgramBuild;

std::string Sample()
{
    std::ifstream in(ZORSTUDIO_SAMPLE);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(ProgramBuild, TheSampleBuildsToHexWithItsLinesAddresses)
{
    TempDir scratch;
    CProgramBuild build(scratch.Path());
    CBuildResult result = build.Build(Sample(), "sort.asm");
    ASSERT_TRUE(result.ok) << result.output;
    EXPECT_TRUE(result.messages.empty());
    ASSERT_EQ(result.hex.GetRuns().size(), 1u);
    const auto& run = result.hex.GetRuns().front();
    EXPECT_EQ(run.address, 0x0100u);
    // start: mov sp,#60H (75 81 60); mov dptr,#values (90 01 33)
    ASSERT_GE(run.bytes.size(), 6u);
    EXPECT_EQ(std::vector<BYTE>(run.bytes.begin(), run.bytes.begin() + 6),
              (std::vector<BYTE>{0x75, 0x81, 0x60, 0x90, 0x01, 0x33}));
    // The table closes the program: its first byte sits where dptr points.
    EXPECT_EQ(run.bytes[0x33], 0x47);

    // Line 13 holds "start:", line 50 "done:	sjmp done" (80 FE).
    EXPECT_EQ(result.AddressOfLine(13), WORD(0x0100));
    const auto done = result.AddressOfLine(50);
    ASSERT_TRUE(done);
    EXPECT_EQ(run.bytes[*done - 0x0100], 0x80);
    EXPECT_EQ(run.bytes[*done - 0x0100 + 1], 0xFE);
    EXPECT_EQ(result.LineOfAddress(*done), 50);
    EXPECT_EQ(result.LineOfAddress(0x0101), 13) << "an address inside a line's instruction";
    EXPECT_FALSE(result.AddressOfLine(1)) << "a comment has no code";
    EXPECT_FALSE(result.LineOfAddress(0x4000));
}

TEST(ProgramBuild, AssemblerErrorsBecomeLinesAndMessages)
{
    TempDir scratch;
    CProgramBuild build(scratch.Path());
    const std::string broken = "\t.area CODE (ABS)\n"
                               "\t.org 0x0100\n"
                               "start:\tmov r0,#0x30\n"
                               "\tmovx q,@r0\n"
                               "\tljmp nowhere\n"
                               "\tsjmp start\n";
    CBuildResult result = build.Build(broken, "broken.asm");
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.hexPath.empty());
    std::vector<int> lines;
    for (const auto& m : result.messages) {
        EXPECT_EQ(m.file, "broken.asm");
        EXPECT_FALSE(m.text.empty());
        lines.push_back(m.line);
    }
    EXPECT_NE(std::find(lines.begin(), lines.end(), 4), lines.end()) << result.output;
    EXPECT_NE(std::find(lines.begin(), lines.end(), 5), lines.end()) << "the undefined symbol: " << result.output;
    EXPECT_EQ(std::find(lines.begin(), lines.end(), 3), lines.end()) << "line 3 is good";

    // The same build directory serves the next, good build: no stale output passes for it.
    CBuildResult fixed = build.Build("\t.area CODE (ABS)\n\t.org 0x0200\nhere:\tsjmp here\n", "broken.asm");
    ASSERT_TRUE(fixed.ok) << fixed.output;
    EXPECT_EQ(fixed.hex.GetRuns().front().address, 0x0200u);
}

TEST(ProgramBuild, IncludedFilesComeFromTheSourcesDirectory)
{
    TempDir scratch;
    std::filesystem::create_directory(scratch.Path() / "src");
    std::ofstream(scratch.Path() / "src" / "table.inc") << "TABLE = 0x30\n";
    CProgramBuild build(scratch.Path());
    const std::string source = "\t.include \"table.inc\"\n\t.area CODE (ABS)\n\t.org 0x0100\n\tmov r0,#TABLE\n";
    CBuildResult found = build.Build(source, "main.asm", scratch.Path() / "src");
    ASSERT_TRUE(found.ok) << found.output;
    EXPECT_EQ(found.hex.GetRuns().front().bytes, (std::vector<BYTE>{0x78, 0x30}));
    CBuildResult missing = build.Build(source, "main.asm");
    EXPECT_FALSE(missing.ok);
    EXPECT_FALSE(missing.messages.empty()) << missing.output;
}

TEST(ProgramBuild, TheScratchDirectoryGoesWithTheBuild)
{
    TempDir scratch;
    std::filesystem::path directory;
    {
        CProgramBuild build(scratch.Path());
        directory = build.Directory();
        EXPECT_TRUE(std::filesystem::is_directory(directory));
        EXPECT_TRUE(build.Build(Sample(), "sort.asm").ok);
    }
    EXPECT_FALSE(std::filesystem::exists(directory));
}

TEST(ProgramBuild, ParsesMessagesOfBothTools)
{
    const auto messages = zorstudio::ParseAssemblerMessages(
        "prog.asm:12: Error: <u> undefined symbol encountered during assembly\r\n"
        "removing prog.rel\n"
        "\n"
        "?ASlink-Warning-Undefined Global 'nowhere' referenced by module ''\n"
        "inc/defs.inc:3: Warning: <z> something\n");
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].file, "prog.asm");
    EXPECT_EQ(messages[0].line, 12);
    EXPECT_EQ(messages[0].text, "Error: <u> undefined symbol encountered during assembly");
    EXPECT_EQ(messages[1].line, 0);
    EXPECT_EQ(messages[1].text, "ASlink-Warning-Undefined Global 'nowhere' referenced by module ''");
    EXPECT_EQ(messages[2].file, "inc/defs.inc");
    EXPECT_EQ(messages[2].line, 3);
}

TEST(ProgramBuild, ListingLinesWithCodeGiveAddresses)
{
    const auto lines = zorstudio::ParseListingAddresses(
        "                                      1 \t.area CSEG (ABS,CODE)\n"
        "      000100                          2 \t.org 0x0100\n"
        "      000100 78 30            [12]    3 start:\tmov r0,#0x30\n"
        "      000102 E6               [12]    4 \tmov a,@r0\n"
        "      000103 01 02 03 04 05 06        5 \t.db 1,2,3,4,5,6,7,8\n"
        "      000109 07 08\n");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].line, 3);
    EXPECT_EQ(lines[0].address, 0x0100);
    EXPECT_EQ(lines[1].line, 4);
    EXPECT_EQ(lines[1].address, 0x0102);
    EXPECT_EQ(lines[2].line, 5) << "data without a cycle count";
    EXPECT_EQ(lines[2].address, 0x0103);
}

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
    EXPECT_NE(listing[0].text.find("MOV"), std::string::npos) << listing[0].text;
    EXPECT_EQ(listing[1].address, 0x0102);
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
