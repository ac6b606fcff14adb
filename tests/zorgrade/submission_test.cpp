#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/TempDir.h"
#include "tools/zorgrade/Submission.h"

using namespace zorgrade;

namespace {

// mov p1,#5Ah; sjmp $ at 0000.
const char kMain[] = "        .area CODE (ABS)\n        .org 0\n        mov p1,#0x5A\n        sjmp .\n";

std::vector<std::string> Names(const std::vector<CSubmission>& submissions)
{
    std::vector<std::string> names;
    for (const CSubmission& submission : submissions)
        names.push_back(submission.name);
    return names;
}

std::vector<std::uint8_t> BytesAt(const CBuiltProgram& built, std::uint32_t address, std::size_t n)
{
    for (const CIntelHex::Run& run : built.runs)
        if (address >= run.address && address + n <= run.address + run.bytes.size())
            return {run.bytes.begin() + (address - run.address), run.bytes.begin() + (address - run.address + n)};
    return {};
}

}

TEST(Submissions, AClassFolderHoldsOneSubmissionPerFileAndFolder)
{
    TempDir dir;
    std::filesystem::create_directories(dir.Path() / "class" / "zoe");
    std::filesystem::create_directories(dir.Path() / "class" / "mia");
    dir.Write("class/bo.asm", kMain);
    dir.Write("class/al.ihx", ":00000001FF\n");
    dir.Write("class/notes.txt", "not a program");
    dir.Write("class/zoe/main.c", "void main(void) {}\n");
    dir.Write("class/mia/a.asm", kMain);
    dir.Write("class/mia/b.asm", kMain);
    std::string error;
    std::vector<CSubmission> found = FindSubmissions({dir.File("class")}, error);
    EXPECT_EQ(Names(found), (std::vector<std::string>{"al", "bo", "mia", "zoe"})) << error;

    // A folder with a C source, or a single program file, is one program, named by the folder.
    found = FindSubmissions({dir.File("class/zoe/"), dir.File("class/bo.asm")}, error);
    EXPECT_EQ(Names(found), (std::vector<std::string>{"zoe", "bo"}));

    EXPECT_TRUE(FindSubmissions({dir.File("class/notes.txt")}, error).empty());
    EXPECT_EQ(error, dir.File("class/notes.txt") + ": a submission is a .asm, .c, .hex, .ihx or .zpj file, or a folder");
}

TEST(Submissions, BuildsAssemblyCAndHexAsTheBoardRunsThem)
{
    TempDir dir;
    CBuiltProgram assembled = BuildSubmission({"a", dir.Write("a.asm", kMain)}, 0);
    ASSERT_TRUE(assembled.ok) << assembled.output;
    EXPECT_EQ(BytesAt(assembled, 0, 5), (std::vector<std::uint8_t>{0x75, 0x90, 0x5A, 0x80, 0xFE}));

    // Two assembly files of one student are linked together: a call from one to the other.
    std::filesystem::create_directories(dir.Path() / "two");
    dir.Write("two/main.asm", "        .area CODE (ABS)\n        .org 0\n        lcall blink\n        sjmp .\n");
    dir.Write("two/blink.asm", "        .area CODE (ABS)\n        .org 0x40\nblink:: cpl p1.0\n        ret\n");
    CBuiltProgram linked = BuildSubmission({"two", dir.Path() / "two"}, 0);
    ASSERT_TRUE(linked.ok) << linked.output;
    EXPECT_EQ(BytesAt(linked, 0, 3), (std::vector<std::uint8_t>{0x12, 0x00, 0x40}));
    EXPECT_EQ(BytesAt(linked, 0x40, 2), (std::vector<std::uint8_t>{0xB2, 0x90}));

    // A C program starts where the scenario starts it: sdcc's reset jump sits there.
    CBuiltProgram compiled = BuildSubmission({"c", dir.Write("c.c", "void main(void) { for (;;) ; }\n")}, 0x0100);
    ASSERT_TRUE(compiled.ok) << compiled.output;
    EXPECT_EQ(BytesAt(compiled, 0x0100, 1), (std::vector<std::uint8_t>{0x02}));

    CBuiltProgram loaded = BuildSubmission({"h", dir.Write("h.hex", ":0300100075905A8E\n:00000001FF\n")}, 0);
    ASSERT_TRUE(loaded.ok) << loaded.output;
    EXPECT_EQ(BytesAt(loaded, 0x10, 3), (std::vector<std::uint8_t>{0x75, 0x90, 0x5A}));
}

TEST(Submissions, WhatDoesNotBuildSaysWhyWithoutTheScratchFolder)
{
    TempDir dir;
    CBuiltProgram bad = BuildSubmission({"bad", dir.Write("bad.asm", "        mov p1,\n")}, 0);
    EXPECT_FALSE(bad.ok);
    EXPECT_NE(bad.output.find("bad.asm:1:"), std::string::npos) << bad.output;
    EXPECT_EQ(bad.output.find("zorgrade-"), std::string::npos) << bad.output;

    CBuiltProgram c = BuildSubmission({"c", dir.Write("c.c", "void main(void) { x = 1; }\n")}, 0);
    EXPECT_FALSE(c.ok);
    EXPECT_NE(c.output.find("c.c:1:"), std::string::npos) << c.output;

    std::filesystem::create_directories(dir.Path() / "empty");
    CBuiltProgram empty = BuildSubmission({"empty", dir.Path() / "empty"}, 0);
    EXPECT_FALSE(empty.ok);
    EXPECT_EQ(empty.output, (dir.Path() / "empty").string() + ": no .asm, .c, .hex, .ihx or .zpj file in it");

    CBuiltProgram broken = BuildSubmission({"h", dir.Write("h.hex", ":0300100075905A8F\n:00000001FF\n")}, 0);
    EXPECT_FALSE(broken.ok);
    EXPECT_NE(broken.output.find("h.hex:1:"), std::string::npos) << broken.output;
}
