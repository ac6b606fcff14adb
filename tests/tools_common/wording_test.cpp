// The shared code's messages: English templates filled in one pass, and worded by the
// lookup a program installs, with the English back when it is taken away.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

#include "tests/support/TempDir.h"
#include "tools/common/IntelHex.h"
#include "tools/common/OptionTable.h"
#include "tools/common/OutputPath.h"
#include "tools/common/SystemReason.h"
#include "tools/common/Wording.h"

using tools::FillArguments;

namespace {

TEST(WordingTest, ArgumentsGoWhereTheirMarksStandInOnePass)
{
    EXPECT_EQ(FillArguments("{2} before {1}, {2} again", {"a", "b"}), "b before a, b again");
    EXPECT_EQ(FillArguments("cannot write {1}: {2}", {"/tmp/{2}", "denied"}), "cannot write /tmp/{2}: denied")
        << "an argument's own braces are not a mark";
    EXPECT_EQ(FillArguments("{1} of {3}", {"one"}), "one of {3}") << "a mark without its argument stays";
    EXPECT_EQ(FillArguments("{} {x} {1 } {{1}} {0}", {"v"}), "{} {x} {1 } {v} {0}");
    EXPECT_EQ(FillArguments("ends in {", {"v"}), "ends in {");
    EXPECT_EQ(FillArguments("{10}", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "ten"}), "ten");
}

// Marks every template it is given, so that a message shows which lookups made it.
std::string Bracketed(const char* english) { return std::string("<") + english + ">"; }

class WordingHookTest : public ::testing::Test {
protected:
    void TearDown() override { tools::SetWording(nullptr); }
};

TEST_F(WordingHookTest, TheSharedCodeIsWordedByTheInstalledLookupAndEnglishWithout)
{
    TempDir scratch;
    const std::string directory = scratch.Path().string();
    tools::COptionTable table("sample", "Usage: sample", "");
    auto unknownOption = [&table] { return table.Parse({"--frob"}).error; };
    auto badHex = [] {
        CIntelHex hex;
        hex.Parse(":0100000000FE\n", "p.hex");
        return hex.GetError();
    };

    EXPECT_EQ(tools::CheckOutputPath(directory), "cannot write " + directory + ": it is a directory");
    EXPECT_EQ(unknownOption(), "unknown option '--frob'");
    EXPECT_EQ(badHex(), "p.hex:1: bad checksum FEH, expected FFH");

    tools::SetWording(&Bracketed);
    // The lookup gets the template, before its arguments are in it.
    EXPECT_EQ(tools::CheckOutputPath(directory), "<cannot write " + directory + ": <it is a directory>>");
    EXPECT_EQ(unknownOption(), "<unknown option '--frob'>");
    EXPECT_EQ(badHex(), "p.hex:1: <bad checksum FEH, expected FFH>");

    tools::SetWording(nullptr);
    EXPECT_EQ(tools::CheckOutputPath(directory), "cannot write " + directory + ": it is a directory");
}

// The reasons of the errors a student meets: the C library's own English, byte for
// byte, with no lookup installed; each worded by the lookup when one is.
TEST_F(WordingHookTest, ASystemReasonIsTheCLibrarysEnglishUnlessWorded)
{
    const int worded[] = {ENOENT, EACCES, EPERM, EISDIR, ENOTDIR, ENOTEMPTY, EEXIST, ENAMETOOLONG, ELOOP,
                          ENOSPC, EDQUOT, EFBIG, EROFS, EBUSY, ETXTBSY, ENODEV, ENXIO, ENOTTY, EIO,
                          EAGAIN, EMFILE, ENFILE, ENOMEM, EINVAL, EPIPE};
    for (int error : worded)
        EXPECT_EQ(tools::SystemReason(error), std::strerror(error)) << error;
    tools::SetWording(&Bracketed);
    for (int error : worded)
        EXPECT_EQ(tools::SystemReason(error), "<" + std::string(std::strerror(error)) + ">") << error;
    EXPECT_EQ(tools::SystemReason(EHOSTUNREACH), std::strerror(EHOSTUNREACH)) << "another error is the library's text";

    // An error code of the system goes the same way; another category keeps its message.
    EXPECT_EQ(tools::SystemReason(std::make_error_code(std::errc::read_only_file_system)), "<Read-only file system>");
    EXPECT_EQ(tools::SystemReason(std::error_code(EBUSY, std::system_category())), "<Device or resource busy>");
    const std::error_code stream = std::make_error_code(std::io_errc::stream);
    EXPECT_EQ(tools::SystemReason(stream), stream.message());
}

TEST_F(WordingHookTest, TheOutputChecksWordTheSystemsReason)
{
    TempDir scratch;
    const std::string missing = (scratch.Path() / "absent" / "run.png").string();
    const std::string file = (scratch.Path() / "plain").string();
    std::ofstream(file) << "x";
    EXPECT_EQ(tools::CheckOutputPath(missing), "cannot write " + missing + ": No such file or directory");
    EXPECT_EQ(tools::CheckOutputDirectory(file + "/shots"), "cannot create the directory " + file + "/shots: Not a directory");

    tools::SetWording(&Bracketed);
    EXPECT_EQ(tools::CheckOutputPath(missing), "<cannot write " + missing + ": <No such file or directory>>");
    EXPECT_EQ(tools::CheckOutputDirectory(file + "/shots"),
              "<cannot create the directory " + file + "/shots: <Not a directory>>");
    CIntelHex hex;
    EXPECT_FALSE(hex.LoadFile(missing));
    EXPECT_EQ(hex.GetError(), missing + ": <cannot open: <No such file or directory>>");
}

}
