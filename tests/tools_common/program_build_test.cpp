#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "tests/support/TempDir.h"
#include "tools/common/CProgramBuild.h"

namespace {

std::vector<int> MessageLines(const CProgramBuildResult& result)
{
    std::vector<int> lines;
    for (const CBuildMessage& m : result.messages)
        lines.push_back(m.line);
    return lines;
}

bool Has(const std::vector<int>& lines, int line) { return std::find(lines.begin(), lines.end(), line) != lines.end(); }

TEST(ProgramBuild, AnAssemblySourceBuildsToHexWithItsLinesAddresses)
{
    TempDir scratch;
    const std::filesystem::path sample = PROGRAM_SAMPLE;
    CProgramBuildResult result = BuildProgram(CProgramProject::OfSource(sample), scratch.Path());
    ASSERT_TRUE(result.ok) << result.output;
    EXPECT_TRUE(result.messages.empty());
    EXPECT_TRUE(result.cdbPath.empty()) << "an assembly program has no C debug records";
    EXPECT_EQ(result.hexPath, scratch.Path() / "sort.ihx");
    ASSERT_EQ(result.hex.GetRuns().size(), 1u);
    const auto& run = result.hex.GetRuns().front();
    EXPECT_EQ(run.address, 0x0100u) << "no start-up code goes before an assembly program";
    EXPECT_EQ(result.CodeBytes(), run.bytes.size());
    // start: mov sp,#60H (75 81 60); mov dptr,#values (90 01 33)
    ASSERT_GE(run.bytes.size(), 6u);
    EXPECT_EQ(std::vector<std::uint8_t>(run.bytes.begin(), run.bytes.begin() + 6),
              (std::vector<std::uint8_t>{0x75, 0x81, 0x60, 0x90, 0x01, 0x33}));

    // Line 13 holds "start:", line 50 "done:	sjmp done" (80 FE).
    EXPECT_EQ(result.AddressOfLine(sample, 13), 0x0100);
    const auto done = result.AddressOfLine(sample, 50);
    ASSERT_TRUE(done);
    EXPECT_EQ(run.bytes[*done - 0x0100], 0x80);
    EXPECT_EQ(run.bytes[*done - 0x0100 + 1], 0xFE);
    ASSERT_TRUE(result.LineAt(*done));
    EXPECT_EQ(result.LineAt(*done)->line, 50);
    ASSERT_TRUE(result.LineAt(0x0101)) << "an address inside a line's instruction";
    EXPECT_EQ(result.LineAt(0x0101)->line, 13);
    EXPECT_FALSE(result.AddressOfLine(sample, 1)) << "a comment has no code";
    EXPECT_FALSE(result.AddressOfLine(scratch.Path() / "sort.asm", 13)) << "another file's line 13";
    EXPECT_FALSE(result.LineAt(0x4000));
}

TEST(ProgramBuild, AssemblerErrorsNameTheirLinesAndAFixedSourceBuildsInTheSameFolder)
{
    TempDir scratch;
    const std::string source = scratch.Write("broken.asm", "\t.area CODE (ABS)\n"
                                                           "\t.org 0x0100\n"
                                                           "start:\tmov r0,#0x30\n"
                                                           "\tmovx q,@r0\n"
                                                           "\tljmp nowhere\n"
                                                           "\tsjmp start\n");
    const CProgramProject project = CProgramProject::OfSource(source);
    CProgramBuildResult result = BuildProgram(project, scratch.Path() / "out");
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.hexPath.empty());
    for (const CBuildMessage& m : result.messages) {
        EXPECT_EQ(m.file, source);
        EXPECT_FALSE(m.text.empty());
    }
    const std::vector<int> lines = MessageLines(result);
    EXPECT_TRUE(Has(lines, 4)) << result.output;
    EXPECT_TRUE(Has(lines, 5)) << "the undefined symbol: " << result.output;
    EXPECT_FALSE(Has(lines, 3)) << "line 3 is good";

    // No stale output of the failed build passes for the next one.
    scratch.Write("broken.asm", "\t.area CODE (ABS)\n\t.org 0x0200\nhere:\tsjmp here\n");
    CProgramBuildResult fixed = BuildProgram(project, scratch.Path() / "out");
    ASSERT_TRUE(fixed.ok) << fixed.output;
    EXPECT_EQ(fixed.hex.GetRuns().front().address, 0x0200u);
    EXPECT_EQ(fixed.AddressOfLine(source, 3), 0x0200);
}

TEST(ProgramBuild, IncludedFilesComeFromTheSourcesFolderAndTheProjectsIncludeFolders)
{
    TempDir scratch;
    for (const char* folder : {"src", "inc"})
        std::filesystem::create_directory(scratch.Path() / folder);
    std::ofstream(scratch.Path() / "src" / "table.inc") << "TABLE = 0x30\n";
    std::ofstream(scratch.Path() / "inc" / "ports.inc") << "PORT = 0x90\n";
    std::ofstream(scratch.Path() / "src" / "main.asm")
        << "\t.include \"table.inc\"\n\t.area CODE (ABS)\n\t.org 0x0100\n\tmov r0,#TABLE\n";
    std::ofstream(scratch.Path() / "src" / "port.asm")
        << "\t.include \"ports.inc\"\n\t.area CODE (ABS)\n\t.org 0x0100\n\tmov r0,#PORT\n";
    CProgramBuildResult found = BuildProgram(CProgramProject::OfSource(scratch.Path() / "src" / "main.asm"), scratch.Path());
    ASSERT_TRUE(found.ok) << found.output;
    EXPECT_EQ(found.hex.GetRuns().front().bytes, (std::vector<std::uint8_t>{0x78, 0x30}));

    CProgramProject port = CProgramProject::OfSource(scratch.Path() / "src" / "port.asm");
    CProgramBuildResult missing = BuildProgram(port, scratch.Path() / "a");
    EXPECT_FALSE(missing.ok);
    EXPECT_FALSE(missing.messages.empty()) << missing.output;
    port.includeDirectories.push_back(scratch.Path() / "inc");
    CProgramBuildResult included = BuildProgram(port, scratch.Path() / "b");
    ASSERT_TRUE(included.ok) << included.output;
    EXPECT_EQ(included.hex.GetRuns().front().bytes, (std::vector<std::uint8_t>{0x78, 0x90}));
}

TEST(ProgramBuild, OpensProjectsAndSourcesByTheirKind)
{
    TempDir dir;
    dir.Write("lab.zpj", "source main.c\ncode-loc 2000\n");
    CProgramProject project;
    ASSERT_TRUE(project.Open(dir.File("lab.zpj"))) << project.error;
    EXPECT_EQ(project.codeLocation, 0x2000u);
    EXPECT_FALSE(project.IsAssemblyOnly());
    ASSERT_EQ(project.includeDirectories.size(), 1u);
    EXPECT_EQ(project.includeDirectories.front(), dir.Path());

    ASSERT_TRUE(project.Open(dir.File("sort.asm")));
    EXPECT_EQ(project.codeLocation, 0x0100u) << "a source alone takes the default settings";
    EXPECT_EQ(project.name, "sort");
    EXPECT_TRUE(project.IsAssemblyOnly());

    EXPECT_FALSE(project.Open(dir.File("notes.txt")));
    EXPECT_NE(project.error.find("notes.txt"), std::string::npos) << project.error;
}

TEST(ProgramBuild, ParsesMessagesOfTheCompilerAssemblerAndLinker)
{
    const auto messages = ParseBuildMessages("prog.asm:12: Error: <u> undefined symbol encountered during assembly\r\n"
                                             "removing prog.rel\n"
                                             "\n"
                                             "?ASlink-Warning-Undefined Global 'nowhere' referenced by module ''\n"
                                             "src/main.c:3: error 20: Undefined identifier 'y'\n");
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].file, "prog.asm");
    EXPECT_EQ(messages[0].line, 12);
    EXPECT_EQ(messages[0].text, "Error: <u> undefined symbol encountered during assembly");
    EXPECT_EQ(messages[1].line, 0);
    EXPECT_EQ(messages[1].text, "ASlink-Warning-Undefined Global 'nowhere' referenced by module ''");
    EXPECT_EQ(messages[2].file, "src/main.c");
    EXPECT_EQ(messages[2].line, 3);
}

TEST(ProgramBuild, ListingLinesWithCodeGiveAddresses)
{
    const auto lines = ParseListingAddresses("                                      1 \t.area CSEG (ABS,CODE)\n"
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

}
