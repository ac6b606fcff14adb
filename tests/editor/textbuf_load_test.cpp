#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "LoadReference.h"
#include "RecordingView.h"
#include "tests/support/TempDir.h"
#include "zorkit/platform/core/MessageBox.h"

namespace {

constexpr std::size_t kBlock = 32768;

class TextBufLoad : public ::testing::Test {
protected:
    Lines Load(const std::string& bytes)
    {
        std::string file = dir.Write("in.txt", bytes);
        EXPECT_TRUE(buffer.LoadFromFile(file.c_str()));
        return LinesOf(buffer);
    }

    TempDir dir;
    // Declared before the buffer, which lists it: the buffer goes first.
    RecordingView view;
    CTextBuf buffer;
};

TEST_F(TextBufLoad, LinesEndOnlyAtTwoByteBreaks)
{
    EXPECT_EQ(Load("a\r\nb"), (Lines{"a", "b"}));
    EXPECT_EQ(Load("a\nb"), (Lines{"ab"}));
    EXPECT_EQ(Load("a\rb"), (Lines{"ab"}));
    EXPECT_EQ(Load("a\n\nb"), (Lines{"a", "b"}));
    EXPECT_EQ(Load("a\r\n"), (Lines{"a"}));
    EXPECT_EQ(Load("\r\n"), (Lines{""}));
    EXPECT_EQ(Load(""), (Lines{}));
    EXPECT_EQ(Load("a\r\n\r\nb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(Load("a\r\r\nb\n\n\nc\r"), (Lines{"a", "b", "c"}));
    EXPECT_EQ(Load("\r\n\r\n\r\n"), (Lines{"", "", ""}));
}

TEST_F(TextBufLoad, ABreakAcrossTwoBlocksStillEndsTheLine)
{
    std::string bytes(kBlock - 1, 'x');
    EXPECT_EQ(Load(bytes + "\r\nb"), (Lines{bytes, "b"})) << "CR is the block's last byte";
    EXPECT_EQ(Load(bytes + "\n\nb"), (Lines{bytes, "b"}));
    EXPECT_EQ(Load(bytes + "\rb"), (Lines{bytes + "b"})) << "a lone CR at the block end is dropped";
    EXPECT_EQ(Load(bytes + "\r"), (Lines{bytes})) << "nothing follows the block";
    EXPECT_EQ(Load(std::string(kBlock - 2, 'y') + "\r\n\r\n"), (Lines{std::string(kBlock - 2, 'y'), ""}));
}

TEST_F(TextBufLoad, LongLinesAreAssembledFromPieces)
{
    std::string line(3000, 'q');
    EXPECT_EQ(Load(line), (Lines{line}));
    std::string exact(1023, 'w');
    EXPECT_EQ(Load(exact + "\r\n"), (Lines{exact})) << "a line that fills a whole piece gets no empty follower";
    EXPECT_EQ(Load(exact + "\r\n" + "\r\n" + "z"), (Lines{exact, "", "z"}));
    std::string block(kBlock, 'v');
    EXPECT_EQ(Load(block + "\r\n"), (Lines{block})) << "nor does one that ends with its block";
    std::string huge(5 * kBlock + 17, 'h');
    EXPECT_EQ(Load(huge + "\r\nend"), (Lines{huge, "end"}));
}

TEST_F(TextBufLoad, GeneratedFilesLoadAsTheReferenceSplitsThem)
{
    std::mt19937 random(20240501);
    const char alphabet[] = {'a', 'b', '\r', '\n', ' ', '\xB0', '\xA1', '\t'};
    for (int round = 0; round < 40; ++round) {
        std::size_t size = random() % (3 * kBlock);
        std::string bytes(size, 'x');
        for (char& byte : bytes)
            byte = alphabet[random() % (round % 2 ? 8 : 4)];
        // Breaks where pieces and blocks end are the interesting ones.
        for (std::size_t at : {std::size_t(1022), std::size_t(1023), kBlock - 1, kBlock, 2 * kBlock - 1})
            if (at + 1 < size) {
                bytes[at] = '\r';
                bytes[at + 1] = '\n';
            }
        EXPECT_EQ(Load(bytes), ReferenceLines(bytes)) << "round " << round;
    }
}

TEST_F(TextBufLoad, ResetsTheViewsAndTheModifiedFlag)
{
    buffer.AddView(&view);
    buffer.SetModified(TRUE);
    Load("a\r\n");
    EXPECT_FALSE(buffer.IsModified());
    ASSERT_EQ(view.m_updates.size(), 1u);
    EXPECT_EQ(view.m_updates[0].hints, TBU_RESET);
    EXPECT_EQ(view.m_updates[0].line, -1);
    EXPECT_FALSE(view.m_updates[0].hadContext);
}

TEST_F(TextBufLoad, ReplacesTheWholeText)
{
    buffer.InsertLine("old");
    buffer.SetLineFlags(0, LINEMARK_DOT, TRUE);
    EXPECT_EQ(Load("new\r\n"), (Lines{"new"}));
    EXPECT_EQ(buffer.GetLineFlags(0), 0u);
}

TEST_F(TextBufLoad, ReadOnlyFlagFollowsTheFile)
{
    std::string file = dir.Write("ro.txt", "a\r\n");
    std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    ASSERT_TRUE(buffer.LoadFromFile(file.c_str()));
    EXPECT_TRUE(buffer.GetReadOnly());
    CPoint end;
    EXPECT_FALSE(buffer.InsertText(nullptr, "x", CPoint(0, 0), end));

    std::string writable = dir.Write("rw.txt", "a\r\n");
    ASSERT_TRUE(buffer.LoadFromFile(writable.c_str()));
    EXPECT_FALSE(buffer.GetReadOnly());
}

TEST_F(TextBufLoad, FailuresLeaveTheBufferAsItWas)
{
    buffer.InsertLine("kept");
    buffer.SetModified(TRUE);
    buffer.AddView(&view);
    zorkit::ClearRecordedMessageBoxes();
    EXPECT_FALSE(buffer.LoadFromFile(dir.File("missing.txt").c_str()));
    EXPECT_FALSE(buffer.LoadFromFile(nullptr));
    EXPECT_FALSE(buffer.LoadFromFile(dir.Path().c_str())) << "a directory cannot be read as text";
    EXPECT_EQ(LinesOf(buffer), (Lines{"kept"}));
    EXPECT_TRUE(buffer.IsModified());
    EXPECT_TRUE(view.m_updates.empty());
    EXPECT_TRUE(zorkit::RecordedMessageBoxes().empty()) << "only a lack of memory is shown to the user";
}

}
