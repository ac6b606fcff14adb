// Hosts override SetModified to show the state (a title bar star, a save button): every
// change of the flag must reach the override, in step with what the views are told.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "RecordingView.h"
#include "tests/support/TempDir.h"

namespace {

// Records each SetModified call and each view update in one sequence.
class WatchedBuf : public CTextBuf {
public:
    void SetModified(int modified) override
    {
        m_events.push_back(modified ? "modified" : "unmodified");
        CTextBuf::SetModified(modified);
    }

    std::vector<std::string> TakeEvents()
    {
        std::vector<std::string> events;
        events.swap(m_events);
        return events;
    }

    std::vector<std::string> m_events;
};

class TextBufModified : public ::testing::Test {
protected:
    void SetUp() override
    {
        view.m_onUpdate = [this] {
            char event[24];
            std::snprintf(event, sizeof event, "update %04lX", view.m_updates.back().hints);
            buffer.m_events.push_back(event);
        };
        buffer.AddView(&view);
    }

    using Events = std::vector<std::string>;

    TempDir dir;
    RecordingView view;
    WatchedBuf buffer;
};

TEST_F(TextBufModified, EditsNotifyTheViewsThenMarkTheBuffer)
{
    EXPECT_TRUE(buffer.InitNew());
    EXPECT_EQ(buffer.TakeEvents(), (Events{"unmodified", "update 1000"}));

    CPoint end;
    ASSERT_TRUE(buffer.InsertText(nullptr, "ab\r\ncd", CPoint(0, 0), end));
    EXPECT_EQ(buffer.TakeEvents(), (Events{"update 0003", "modified"}));
    ASSERT_TRUE(buffer.DeleteText(nullptr, CPoint(0, 0), CPoint(1, 0)));
    EXPECT_EQ(buffer.TakeEvents(), (Events{"update 0101", "modified"}));

    buffer.SetLineFlags(0, LINEMARK_RING, TRUE);
    buffer.InsertLine("built");
    buffer.AppendLine("more");
    EXPECT_EQ(buffer.TakeEvents(), (Events{"update 0300"})) << "flags and building text leave the flag alone";

    buffer.SetReadOnly(TRUE);
    EXPECT_FALSE(buffer.InsertText(nullptr, "x", CPoint(0, 0), end));
    EXPECT_FALSE(buffer.DeleteText(nullptr, CPoint(0, 0), CPoint(1, 0)));
    EXPECT_TRUE(buffer.TakeEvents().empty()) << "a refused edit changes nothing";
}

TEST_F(TextBufModified, SavingAndLoadingClearTheFlagThroughTheOverride)
{
    buffer.InsertLine("text");
    std::string file = dir.File("doc.txt");
    ASSERT_TRUE(buffer.SaveToFile(file.c_str(), FALSE));
    EXPECT_TRUE(buffer.TakeEvents().empty());
    ASSERT_TRUE(buffer.SaveToFile(file.c_str(), TRUE));
    EXPECT_EQ(buffer.TakeEvents(), (Events{"unmodified"}));

    std::string locked = dir.Write("locked.txt", "old\r\n");
    std::filesystem::permissions(locked, std::filesystem::perms::owner_read);
    EXPECT_FALSE(buffer.SaveToFile(locked.c_str(), TRUE));
    EXPECT_FALSE(buffer.LoadFromFile(dir.File("missing.txt").c_str()));
    EXPECT_TRUE(buffer.TakeEvents().empty()) << "failures leave the flag alone";

    ASSERT_TRUE(buffer.LoadFromFile(file.c_str()));
    EXPECT_EQ(buffer.TakeEvents(), (Events{"unmodified", "update 1000"})) << "views see the loaded text as saved";
}

}
