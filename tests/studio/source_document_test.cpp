// The source document on its own, without any window: a file's lines in and out, and
// a file that cannot be read leaving the text as it was.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "tests/support/TempDir.h"
#include "tools/zorstudio/SourceDocument.h"

namespace zorkit::studio::test {
namespace {

std::string FileText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(SourceDocument, ReadsLfAndCrLfLinesAndWritesLfWholeUnderTheNewName)
{
    TempDir scratch;
    const auto original = scratch.Path() / "blink.asm";
    std::ofstream(original, std::ios::binary) << "start:\tmov a, #1\r\n\tsjmp start\n";
    zorstudio::CSourceDocument doc;
    EXPECT_EQ(doc.Name(), "program.asm") << "a source never saved";
    ASSERT_FALSE(doc.Open(original));
    EXPECT_EQ(doc.Buffer().GetLineCount(), 2);
    EXPECT_EQ(doc.Text(), "start:\tmov a, #1\n\tsjmp start\n");
    EXPECT_EQ(doc.Name(), "blink.asm");
    EXPECT_FALSE(doc.IsModified());

    doc.Buffer().InsertLine("\tnop", 4, 1);
    doc.Buffer().SetModified(TRUE);
    const auto copy = scratch.Path() / "copy.asm";
    ASSERT_FALSE(doc.SaveAs(copy));
    EXPECT_EQ(FileText(copy), "start:\tmov a, #1\n\tnop\n\tsjmp start\n");
    EXPECT_EQ(doc.Path(), copy);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(FileText(original), "start:\tmov a, #1\r\n\tsjmp start\n") << "the first file is untouched";
}

TEST(SourceDocument, AFileThatCannotBeReadOrWrittenLeavesTheDocumentAsItWas)
{
    TempDir scratch;
    const auto file = scratch.Path() / "a.asm";
    std::ofstream(file) << "\tnop\n";
    zorstudio::CSourceDocument doc;
    ASSERT_FALSE(doc.Open(file));
    const auto missing = doc.Open(scratch.Path() / "none.asm");
    ASSERT_TRUE(missing);
    EXPECT_NE(missing->find("No such file"), std::string::npos) << *missing;
    const auto folder = doc.Open(scratch.Path());
    ASSERT_TRUE(folder);
    EXPECT_NE(folder->find("it is a directory"), std::string::npos);
    EXPECT_TRUE(doc.SaveAs(scratch.Path() / "no" / "such" / "dir.asm")) << "no folder to write into";
    EXPECT_EQ(doc.Text(), "\tnop\n");
    EXPECT_EQ(doc.Path(), file);
}

}
}
