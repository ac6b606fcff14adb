#include <gtest/gtest.h>

#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/ui/Caret.h"
#include "zorkit/platform/ui/Edit.h"
#include "zorkit/platform/ui/Input.h"
#include "zorkit/platform/ui/internal/KeyState.h"
#include "TestWindows.h"

namespace {

using zorkit::InputEvent;
using zorkit::InputKind;
using zorkit::MouseButton;

class Parent : public zorkit::test::RecordingWnd {
public:
    int changes = 0;
    void OnEditChange() { ++changes; }
    static const CMessageMap* GetThisMessageMap()
    {
        static const CMessageMap map(&RecordingWnd::GetThisMessageMap, {
            zorkit::MapControl(EN_CHANGE, 8887, &Parent::OnEditChange),
        });
        return &map;
    }
    const CMessageMap* GetMessageMap() const override { return GetThisMessageMap(); }
};

struct EditTest : ::testing::Test {
    void SetUp() override
    {
        zorkit::ReleaseAllKeys();
        ASSERT_TRUE(parent.CreateTop(CRect(0, 0, 300, 100)));
        ASSERT_TRUE(edit.Create(WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, CRect(10, 10, 110, 32), &parent, 8887));
        edit.SetFocus();
        zorkit::PumpPendingMessages();
    }
    void TearDown() override { zorkit::ReleaseAllKeys(); }

    static void Key(UINT key, bool down = true)
    {
        zorkit::InjectInput(InputEvent{down ? InputKind::KeyDown : InputKind::KeyUp, CPoint(), MouseButton::Left, 0, key, 0});
    }
    static void Press(UINT key)
    {
        Key(key);
        Key(key, false);
        zorkit::PumpPendingMessages();
    }
    static void Type(const char* utf8)
    {
        zorkit::InjectText(utf8);
        zorkit::PumpPendingMessages();
    }
    std::string Text() const
    {
        CString text;
        edit.GetWindowText(text);
        return text.str();
    }
    std::pair<int, int> Sel() const
    {
        int s, e;
        edit.GetSel(s, e);
        return {s, e};
    }

    Parent parent;
    CEdit edit;
};

TEST_F(EditTest, TypingInsertsAtTheCaretAndTellsTheParent)
{
    Type("abc");
    EXPECT_EQ(Text(), "abc");
    EXPECT_EQ(Sel(), std::make_pair(3, 3));
    EXPECT_EQ(parent.changes, 3);
    Press(VK_HOME);
    Type("X");
    EXPECT_EQ(Text(), "Xabc");
    EXPECT_TRUE(edit.GetModify());
}

TEST_F(EditTest, DoubleByteCharactersAreTypedAndDeletedWhole)
{
    Type("a中b");
    std::string gbk = zorkit::GbkFromUtf8("a中b");
    EXPECT_EQ(Text(), gbk);
    Press(VK_LEFT);
    Press(VK_LEFT);
    EXPECT_EQ(Sel(), std::make_pair(1, 1)) << "one Left steps over the two bytes of 中";
    Press(VK_DELETE);
    EXPECT_EQ(Text(), "ab");
    Type("中");
    Press(VK_BACK);
    EXPECT_EQ(Text(), "ab");
}

TEST_F(EditTest, ShiftExtendsTheSelectionAndTypingReplacesIt)
{
    Type("hello world");
    Press(VK_HOME);
    Key(VK_SHIFT);
    for (int i = 0; i < 5; ++i)
        Press(VK_RIGHT);
    Key(VK_SHIFT, false);
    zorkit::PumpPendingMessages();
    EXPECT_EQ(Sel(), std::make_pair(0, 5));
    Type("HELLO");
    EXPECT_EQ(Text(), "HELLO world");
    edit.SetSel(0, -1);
    EXPECT_EQ(Sel(), std::make_pair(0, 11)) << "an end of -1 selects to the end";
}

TEST_F(EditTest, CutAndPasteGoThroughTheClipboard)
{
    Type("one two");
    edit.SetSel(0, 4);
    edit.Cut();
    EXPECT_EQ(Text(), "two");
    Press(VK_END);
    edit.Paste();
    EXPECT_EQ(Text(), "twoone ");
    Key(VK_CONTROL);
    Press('V');
    Key(VK_CONTROL, false);
    zorkit::PumpPendingMessages();
    EXPECT_EQ(Text(), "twoone one ") << "Ctrl+V pastes";
}

TEST_F(EditTest, ReadOnlyIgnoresEditsButMoves)
{
    Type("fixed");
    edit.SetReadOnly(TRUE);
    Type("x");
    Press(VK_BACK);
    Press(VK_HOME);
    EXPECT_EQ(Text(), "fixed");
    EXPECT_EQ(Sel(), std::make_pair(0, 0));
}

TEST_F(EditTest, CaretStaysInViewWhenTheTextOutgrowsTheControl)
{
    Type("0123456789012345678901234567890123456789");
    auto caret = zorkit::GetCaretInfo();
    CRect client;
    edit.GetClientRect(&client);
    EXPECT_EQ(caret.owner, edit.m_hWnd);
    EXPECT_TRUE(caret.visible);
    EXPECT_GE(caret.rect.left, 0);
    EXPECT_LT(caret.rect.left, client.right) << "scrolled so that the caret shows";
    Press(VK_HOME);
    EXPECT_EQ(zorkit::GetCaretInfo().rect.left, 1);
}

TEST_F(EditTest, ClickPlacesTheCaretAndDoubleClickSelectsAWord)
{
    Type("ab cd");
    CRect window;
    edit.GetWindowRect(&window);
    CPoint end(window.right - 4, window.top + 8);
    zorkit::InjectInput(InputEvent{InputKind::ButtonDown, end, MouseButton::Left, 0, 0, 100});
    zorkit::InjectInput(InputEvent{InputKind::ButtonUp, end, MouseButton::Left, 0, 0, 100});
    zorkit::PumpPendingMessages();
    EXPECT_EQ(Sel(), std::make_pair(5, 5)) << "a click right of the text lands at its end";
    zorkit::InjectInput(InputEvent{InputKind::ButtonDown, CPoint(window.left + 3, end.y), MouseButton::Left, 0, 0, 1000});
    zorkit::InjectInput(InputEvent{InputKind::ButtonUp, CPoint(window.left + 3, end.y), MouseButton::Left, 0, 0, 1000});
    zorkit::InjectInput(InputEvent{InputKind::ButtonDown, CPoint(window.left + 3, end.y), MouseButton::Left, 0, 0, 1100});
    zorkit::InjectInput(InputEvent{InputKind::ButtonUp, CPoint(window.left + 3, end.y), MouseButton::Left, 0, 0, 1100});
    zorkit::PumpPendingMessages();
    EXPECT_EQ(Sel(), std::make_pair(0, 2)) << "the word under a double click";
}

TEST_F(EditTest, LimitCutsTypingShort)
{
    edit.LimitText(3);
    Type("abcdef");
    EXPECT_EQ(Text(), "abc");
}

}
