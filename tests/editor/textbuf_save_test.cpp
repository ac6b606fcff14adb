#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <random>

#include "LoadReference.h"
#include "RecordingView.h"
#include "tests/support/TempDir.h"
#include "zorkit/platform/core/Gbk.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kBlock = 32768;

// Limits the size of files this process may write, so that a save fails half-way
// through a real write; restores the limit when done.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_savedHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_savedHandler);
    }

private:
    rlimit m_saved{};
    void (*m_savedHandler)(int);
};

class TextBufSave : public ::testing::Test {
protected:
    std::string Save(const std::string& name, int clearModified = TRUE)
    {
        std::string file = dir.File(name);
        EXPECT_TRUE(buffer.SaveToFile(file.c_str(), clearModified));
        return TempDir::Read(file);
    }

    TempDir dir;
    CTextBuf buffer;
};

TEST_F(TextBufSave, EveryLineEndsWithCrLf)
{
    buffer.InsertLine("a");
    buffer.InsertLine("");
    EXPECT_EQ(Save("out.txt"), "a\r\n\r\n");
}

TEST_F(TextBufSave, ABufferWithoutLinesWritesNothing)
{
    std::string file = dir.Write("out.txt", "previous");
    ASSERT_TRUE(buffer.SaveToFile(file.c_str(), TRUE));
    EXPECT_EQ(TempDir::Read(file), "");
}

TEST_F(TextBufSave, ModifiedFlagIsClearedOnlyWhenAsked)
{
    buffer.InsertLine("a");
    buffer.SetModified(TRUE);
    Save("keep.txt", FALSE);
    EXPECT_TRUE(buffer.IsModified());
    Save("clear.txt", TRUE);
    EXPECT_FALSE(buffer.IsModified());
}

TEST_F(TextBufSave, LoadSaveRoundTripsGeneratedFiles)
{
    std::mt19937 random(7);
    const std::size_t lengths[] = {0, 1, 79, 1022, 1023, 1024, 2046, 3000, kBlock - 2, kBlock - 1, kBlock, 70000};
    for (int round = 0; round < 12; ++round) {
        std::string file;
        std::size_t lineCount = 1 + random() % 60;
        for (std::size_t i = 0; i < lineCount; ++i) {
            std::size_t length = random() % 3 ? random() % 120 : lengths[random() % std::size(lengths)];
            std::string line(length, 'x');
            for (char& byte : line)
                byte = char(' ' + random() % 95);
            file += line + "\r\n";
        }
        std::string in = dir.Write("in.txt", file);
        ASSERT_TRUE(buffer.LoadFromFile(in.c_str()));
        EXPECT_EQ(LinesOf(buffer), ReferenceLines(file));
        EXPECT_EQ(Save("out.txt"), file) << "round " << round;
    }
}

TEST_F(TextBufSave, DoubleByteTextRoundTripsByteForByte)
{
    // Lead bytes 81-FE and trail bytes 40-FE, none of which may be taken for a break.
    std::string file = zorkit::GbkFromUtf8("请按实验箱上的复位键\r\n（Esc键取消）\r\n\r\n通讯端口：COM1") + "\r\n";
    file += std::string("\x81\x40\xFE\xFE\xA1\xA1\xB0\x7E\r\n", 10);
    std::string in = dir.Write("gbk.txt", file);
    ASSERT_TRUE(buffer.LoadFromFile(in.c_str()));
    EXPECT_EQ(LinesOf(buffer), ReferenceLines(file));
    EXPECT_EQ(buffer.GetLineCount(), 5);
    EXPECT_EQ(buffer.GetLineLength(0), 20) << "positions count bytes, two per character";
    EXPECT_EQ(Save("out.txt"), file);
}

TEST_F(TextBufSave, SavingNormalisesBreaks)
{
    std::string in = dir.Write("in.txt", "a\nb\n\nc\rd\r\n\r\ne");
    ASSERT_TRUE(buffer.LoadFromFile(in.c_str()));
    EXPECT_EQ(Save("out.txt"), "ab\r\ncd\r\n\r\ne\r\n");
}

TEST_F(TextBufSave, KeepsPermissionsAndSymbolicLinks)
{
    buffer.InsertLine("new");
    std::string file = dir.Write("target.txt", "old\r\n");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(file, dir.Path() / "link.txt");
    ASSERT_TRUE(buffer.SaveToFile(dir.File("link.txt").c_str(), TRUE));
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "link.txt"));
    EXPECT_EQ(TempDir::Read(file), "new\r\n");
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(dir.EntryCount(), 2) << "no temporary file is left behind";
}

TEST_F(TextBufSave, AReadOnlyFileIsNotReplaced)
{
    buffer.InsertLine("new");
    buffer.SetModified(TRUE);
    std::string file = dir.Write("ro.txt", "old\r\n");
    fs::permissions(file, fs::perms::owner_read);
    EXPECT_FALSE(buffer.SaveToFile(file.c_str(), TRUE));
    EXPECT_EQ(TempDir::Read(file), "old\r\n");
    EXPECT_TRUE(buffer.IsModified());
    EXPECT_EQ(dir.EntryCount(), 1);
}

TEST_F(TextBufSave, AFailedWriteKeepsThePreviousFile)
{
    for (int i = 0; i < 200; ++i)
        buffer.InsertLine("a line that is long enough to pass the limit");
    buffer.SetModified(TRUE);
    std::string file = dir.Write("out.txt", "previous\r\n");
    {
        FileSizeLimit limit(4000);
        EXPECT_FALSE(buffer.SaveToFile(file.c_str(), TRUE));
    }
    EXPECT_EQ(TempDir::Read(file), "previous\r\n");
    EXPECT_TRUE(buffer.IsModified());
    EXPECT_EQ(dir.EntryCount(), 1) << "the half-written temporary is removed";
}

TEST_F(TextBufSave, FailuresAreReported)
{
    buffer.InsertLine("a");
    EXPECT_FALSE(buffer.SaveToFile(nullptr, TRUE));
    EXPECT_FALSE(buffer.SaveToFile("", TRUE));
    EXPECT_FALSE(buffer.SaveToFile(dir.File("no/such/dir.txt").c_str(), TRUE));
    EXPECT_FALSE(buffer.SaveToFile(dir.Path().c_str(), TRUE)) << "a directory";
    if (fs::exists("/dev/full")) {
        EXPECT_FALSE(buffer.SaveToFile("/dev/full", TRUE)) << "a device that is always full";
    }
}

TEST_F(TextBufSave, ANewFileIsCreated)
{
    buffer.InsertLine("x");
    EXPECT_EQ(Save("fresh.txt"), "x\r\n");
    EXPECT_EQ(dir.EntryCount(), 1);
}

}
