// Text view caret, selection, navigation, mouse selection and clipboard, driven by
// injected input on an editing pane and a read-only pane of one buffer.
#include <gtest/gtest.h>

#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/ui/Caret.h"
#include "tests/editor/EditPanes.h"

namespace {

using zorkit::InputKind;
using zorkit::test::EditPanes;
using zorkit::test::Sel;

using TextViewKeys = EditPanes;

TEST_F(TextViewKeys, ShiftExtendsTheSelectionAndAPlainMoveCollapsesIt)
{
    Show({"abc", "defgh"});
    Key(VK_RIGHT, {VK_SHIFT});
    Key(VK_RIGHT, {VK_SHIFT});
    EXPECT_EQ(Selection(Editor()), Sel(CPoint(0, 0), CPoint(2, 0)));
    EXPECT_EQ(Cursor(), CPoint(2, 0));
    Key(VK_LEFT);
    EXPECT_EQ(Cursor(), CPoint(1, 0));
    EXPECT_FALSE(Editor().IsSelection());

    Key(VK_DOWN, {VK_SHIFT});
    EXPECT_EQ(Selection(Editor()), Sel(CPoint(1, 0), CPoint(1, 1))) << "down keeps the pixel column";
    Key(VK_LEFT, {VK_SHIFT});
    Key(VK_LEFT, {VK_SHIFT});
    Key(VK_LEFT, {VK_SHIFT});
    EXPECT_EQ(Cursor(), CPoint(2, 0)) << "left from a line's start goes to the end of the line above";
    EXPECT_EQ(Selection(Editor()), Sel(CPoint(1, 0), CPoint(2, 0))) << "the anchor stays; ends are ordered";
    Key(VK_UP, {VK_SHIFT});
    EXPECT_EQ(Selection(Editor()), Sel(CPoint(1, 0), CPoint(2, 0))) << "up on the first line changes nothing";
    EXPECT_EQ(Cursor(), CPoint(2, 0));
}

TEST_F(TextViewKeys, MovesStopAtTheEndsOfTheText)
{
    Show({"ab", "cdefgh", "xy"});
    Key(VK_LEFT);
    EXPECT_EQ(Cursor(), CPoint(0, 0));
    Key(VK_END);
    Key(VK_RIGHT);
    EXPECT_EQ(Cursor(), CPoint(0, 1)) << "right at a line's end goes to the next line";
    Key(VK_LEFT);
    EXPECT_EQ(Cursor(), CPoint(2, 0)) << "left at a line's start goes to the previous end";
    Key(VK_END, {VK_CONTROL});
    EXPECT_EQ(Cursor(), CPoint(2, 2)) << "Ctrl+End keeps the column, clamped to the last line";
    Key(VK_RIGHT);
    EXPECT_EQ(Cursor(), CPoint(2, 2)) << "right at the end of the last line stays";
    Key(VK_DOWN);
    EXPECT_EQ(Cursor(), CPoint(2, 2));
    Key(VK_HOME);
    EXPECT_EQ(Cursor(), CPoint(0, 2));

    Key(VK_UP);
    Key(VK_END);
    EXPECT_EQ(Cursor(), CPoint(6, 1));
    Key(VK_END, {VK_CONTROL});
    EXPECT_EQ(Cursor(), CPoint(2, 2)) << "x = 6 clamps to the last line's length";
    Key(VK_HOME, {VK_CONTROL, VK_SHIFT});
    EXPECT_EQ(Selection(Editor()), Sel(CPoint(2, 0), CPoint(2, 2))) << "Ctrl+Home keeps the column too";
}

// Columns are bytes: a double-byte character takes two steps of the arrow keys. The
// caret stands at the glyph's left edge before it and at its right edge after it.
TEST_F(TextViewKeys, ArrowsStepOverADoubleByteCharacterByteByByte)
{
    const std::string zhong = zorkit::GbkFromUtf8("中");
    ASSERT_EQ(zhong.size(), 2u);
    Show({"ab" + zhong + "c"});
    const int glyph = Editor().CalcTxtExtent(zhong.c_str(), 2).cx;
    EXPECT_GT(glyph, Editor().GetCharWidthA()) << "wider than a Latin letter";
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    ASSERT_EQ(Cursor(), CPoint(2, 0));
    const int before = zorkit::GetCaretInfo().rect.left;
    Key(VK_RIGHT);
    EXPECT_EQ(Cursor(), CPoint(3, 0)) << "one byte a step";
    Key(VK_RIGHT);
    EXPECT_EQ(Cursor(), CPoint(4, 0));
    EXPECT_EQ(zorkit::GetCaretInfo().rect.left, before + glyph) << "past the glyph";
    Key(VK_RIGHT);
    EXPECT_EQ(Cursor(), CPoint(5, 0));
    Key(VK_LEFT);
    Key(VK_LEFT);
    EXPECT_EQ(Cursor(), CPoint(3, 0));
    Key(VK_LEFT);
    EXPECT_EQ(Cursor(), CPoint(2, 0));
    EXPECT_EQ(zorkit::GetCaretInfo().rect.left, before) << "back at the glyph's left edge";

    Key(VK_RIGHT, {VK_SHIFT});
    Key(VK_RIGHT, {VK_SHIFT});
    EXPECT_EQ(Selection(Editor()), Sel(CPoint(2, 0), CPoint(4, 0)));
    Command(Editor(), ID_EDIT_COPY);
    EXPECT_EQ(zorkit::test::ClipboardText(), zhong) << "both bytes are selected";
}

TEST_F(TextViewKeys, ACursorSetPastTheLineEndIsKeptInTheText)
{
    Show({"abc", "de"});
    Editor().SetCursorPos(CPoint(50, 0));
    EXPECT_EQ(Cursor(), CPoint(3, 0));
    EXPECT_EQ(zorkit::GetCaretInfo().rect.left, Editor().TextToClient(CPoint(3, 0)).x);
    Type("x");
    Key(VK_RETURN);
    EXPECT_EQ(Text(), (std::vector<std::string>{"abcx", "", "de"})) << "typing and Enter work at the line end";
    Editor().SetCursorPos(CPoint(4, 9));
    EXPECT_EQ(Cursor(), CPoint(2, 2)) << "past the last line: the end of the text";
}

TEST_F(TextViewKeys, PagesScrollBothPanesOfTheRow)
{
    Show(zorkit::test::NumberedLines(100));
    const int page = Editor().GetClientLines();
    Key(VK_NEXT);
    EXPECT_EQ(TextViewProbe::TopLine(Editor()), page);
    EXPECT_EQ(Cursor(), CPoint(0, page));
    EXPECT_EQ(TextViewProbe::TopLine(Reader()), page) << "the pane beside follows";
    Key(VK_NEXT, {VK_SHIFT});
    EXPECT_EQ(Selection(Editor()), Sel(CPoint(0, page), CPoint(0, 2 * page)));
    Key(VK_PRIOR);
    Key(VK_PRIOR);
    EXPECT_EQ(Cursor(), CPoint(0, 0));
    Key(VK_PRIOR);
    EXPECT_EQ(Cursor(), CPoint(0, 0));
    Key(VK_END, {VK_CONTROL});
    EXPECT_EQ(TextViewProbe::TopLine(Editor()), 100 - page);
    Key(VK_NEXT);
    EXPECT_EQ(Cursor(), CPoint(0, 99)) << "at the last page, Page Down goes to the last line";
}

TEST_F(TextViewKeys, TheCaretFollowsTheFocusAndHidesBehindTheMargin)
{
    Show({std::string(200, 'w')});
    zorkit::CaretInfo caret = zorkit::GetCaretInfo();
    EXPECT_EQ(caret.owner, Editor().m_hWnd);
    EXPECT_TRUE(caret.visible);
    EXPECT_EQ(caret.rect, CRect(20, 0, 22, Editor().GetLineHeight())) << "two pixels wide, one line tall";
    Key(VK_END);
    EXPECT_GT(TextViewProbe::HorzOffset(Editor()), 0);
    EXPECT_TRUE(zorkit::GetCaretInfo().visible);
    Editor().ScrollToPos(Editor().GetMaxLineExtent(), FALSE);
    TextViewProbe::SetCursor(Editor(), CPoint(0, 0));
    Editor().UpdateCaret();
    EXPECT_FALSE(zorkit::GetCaretInfo().visible) << "left of the view, behind the margin";
    Reader().SetFocus();
    zorkit::PumpPendingMessages();
    EXPECT_TRUE(zorkit::GetCaretInfo().visible) << "the read-only pane shows its own caret";
    EXPECT_EQ(zorkit::GetCaretInfo().owner, Reader().m_hWnd);
}

using TextViewMouse = EditPanes;

TEST_F(TextViewMouse, ClicksPlaceTheCursorAndShiftClickSelects)
{
    Show({"first line", "second line", "third"});
    Click(Editor(), PointOf(Editor(), CPoint(3, 1)));
    EXPECT_EQ(Cursor(), CPoint(3, 1));
    EXPECT_FALSE(Editor().IsSelection());
    zorkit::InjectInput({InputKind::KeyDown, CPoint(), zorkit::MouseButton::Left, 0, VK_SHIFT});
    Click(Editor(), PointOf(Editor(), CPoint(2, 2)));
    zorkit::InjectInput({InputKind::KeyUp, CPoint(), zorkit::MouseButton::Left, 0, VK_SHIFT});
    EXPECT_EQ(Selection(Editor()), Sel(CPoint(3, 1), CPoint(2, 2)));

    Mouse(InputKind::ButtonDown, Editor(), PointOf(Editor(), CPoint(6, 0)));
    EXPECT_EQ(CWnd::GetCapture(), &Editor()) << "the drag holds the mouse";
    Mouse(InputKind::MouseMove, Editor(), PointOf(Editor(), CPoint(1, 0)));
    EXPECT_EQ(Selection(Editor()), Sel(CPoint(1, 0), CPoint(6, 0)));
    Mouse(InputKind::MouseMove, Editor(), PointOf(Editor(), CPoint(4, 2)));
    Mouse(InputKind::ButtonUp, Editor(), PointOf(Editor(), CPoint(4, 2)));
    EXPECT_EQ(Selection(Editor()), Sel(CPoint(6, 0), CPoint(4, 2)));
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    EXPECT_EQ(Cursor(), CPoint(4, 2));
}

TEST_F(TextViewMouse, LosingTheFocusEndsADrag)
{
    Show({"first line", "second line"});
    Mouse(InputKind::ButtonDown, Editor(), PointOf(Editor(), CPoint(2, 0)));
    ASSERT_EQ(CWnd::GetCapture(), &Editor());
    Reader().SetFocus();
    zorkit::PumpPendingMessages();
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    Mouse(InputKind::MouseMove, Editor(), PointOf(Editor(), CPoint(5, 1)));
    EXPECT_FALSE(Editor().IsSelection()) << "moving after the drag ended selects nothing";
    Mouse(InputKind::ButtonUp, Editor(), PointOf(Editor(), CPoint(5, 1)));
}

TEST_F(TextViewMouse, TheMarginSelectsWholeLines)
{
    Show({"l0", "l1", "l2", "line 3", "l4", "line five", "l6", "l7"});
    const int lh = Editor().GetLineHeight();
    Mouse(InputKind::ButtonDown, Editor(), CPoint(5, 3 * lh + 4));
    EXPECT_EQ(Selection(Editor()), Sel(CPoint(0, 3), CPoint(6, 3)));
    EXPECT_EQ(Cursor(), CPoint(0, 3));
    Mouse(InputKind::MouseMove, Editor(), CPoint(5, 4 * lh + 4));
    Mouse(InputKind::MouseMove, Editor(), CPoint(5, 5 * lh + 4));
    EXPECT_EQ(Selection(Editor()), Sel(CPoint(0, 3), CPoint(9, 5)));
    Mouse(InputKind::ButtonUp, Editor(), CPoint(5, 5 * lh + 4));
    EXPECT_EQ(Cursor(), CPoint(0, 6)) << "the release puts the cursor on the next line";
    EXPECT_EQ(Selection(Editor()), Sel(CPoint(0, 3), CPoint(9, 5)));

    Mouse(InputKind::ButtonDown, Editor(), CPoint(5, 6 * lh + 4));
    Mouse(InputKind::MouseMove, Editor(), CPoint(5, 4 * lh + 4));
    EXPECT_EQ(Selection(Editor()), Sel(CPoint(0, 4), CPoint(2, 6))) << "upwards from line 6";
    Mouse(InputKind::ButtonUp, Editor(), CPoint(5, 4 * lh + 4));
    EXPECT_EQ(Cursor(), CPoint(0, 4)) << "selected upwards: the cursor stays";
}

TEST_F(TextViewMouse, DoubleClickSelectsAWordAlsoOfDoubleByteText)
{
    const std::string chinese = zorkit::GbkFromUtf8("你好世界");
    Show({"x = foo_bar1+2;", "ab " + chinese + " cd"});
    Click(Editor(), PointOf(Editor(), CPoint(6, 0)));
    Click(Editor(), PointOf(Editor(), CPoint(6, 0)));
    EXPECT_EQ(Selection(Editor()), Sel(CPoint(4, 0), CPoint(12, 0)));
    EXPECT_EQ(Cursor(), CPoint(12, 0));

    const CPoint inChinese = Editor().TextToClient(CPoint(5, 1)) + CSize(2, 4);
    Click(Editor(), inChinese);
    Click(Editor(), inChinese);
    EXPECT_EQ(Selection(Editor()), Sel(CPoint(3, 1), CPoint(11, 1))) << "the run of bytes from 0xA1 up";

    Click(Editor(), PointOf(Editor(), CPoint(2, 0)));
    Click(Editor(), PointOf(Editor(), CPoint(2, 0)));
    EXPECT_FALSE(Editor().IsSelection()) << "between words nothing is selected";
}

// The first click of the double click lands in the margin and selects the line; the
// second lands on the first word, as close as the desktop allows for a double click.
TEST_F(TextViewMouse, ADoubleClickAfterAMarginClickLeavesTheCursorAtTheWord)
{
    Show({"alpha beta", "gamma"});
    const int y = Editor().GetLineHeight() / 2;
    const int margin = Editor().GetMarginWidth();
    zorkit::test::ClickAt(Editor(), CPoint(margin - 1, y), 1000);
    ASSERT_EQ(Selection(Editor()), Sel(CPoint(0, 0), CPoint(10, 0)));
    zorkit::test::ClickAt(Editor(), CPoint(margin + 1, y), 1100);
    EXPECT_EQ(Selection(Editor()), Sel(CPoint(0, 0), CPoint(5, 0))) << "the word";
    EXPECT_EQ(Cursor(), CPoint(5, 0)) << "at the word's end";
    EXPECT_EQ(zorkit::GetCaretInfo().rect.left, Editor().TextToClient(CPoint(5, 0)).x) << "the caret shows it";
    Type("!");
    EXPECT_EQ(Text(), (std::vector<std::string>{"! beta", "gamma"})) << "typing replaces the word";
}

TEST_F(TextViewMouse, TheMarginShowsItsOwnCursor)
{
    Show({"text"});
    Mouse(InputKind::MouseMove, Editor(), CPoint(4, 4));
    ASSERT_NE(GetCursor(), nullptr);
    EXPECT_EQ(GetCursor()->id, 5000u);
    Mouse(InputKind::MouseMove, Editor(), CPoint(60, 4));
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_IBEAM));
}

using TextViewClipboard = EditPanes;

TEST_F(TextViewClipboard, CopyPutsTheSelectionWithCrLf)
{
    Show({"alpha", "beta", "gamma"});
    zorkit::test::SetClipboardText("before");
    EXPECT_FALSE(Update(Editor(), ID_EDIT_COPY).m_bEnabled);
    Command(Editor(), ID_EDIT_COPY);
    EXPECT_EQ(zorkit::test::ClipboardText(), "before") << "nothing selected, nothing copied";

    Editor().SetSelection(CPoint(2, 0), CPoint(3, 2));
    EXPECT_TRUE(Update(Editor(), ID_EDIT_COPY).m_bEnabled);
    Command(Editor(), ID_EDIT_COPY);
    EXPECT_EQ(zorkit::test::ClipboardText(), "pha\r\nbeta\r\ngam");

    Reader().SetSelection(CPoint(0, 1), CPoint(4, 1));
    Command(Reader(), ID_EDIT_COPY);
    EXPECT_EQ(zorkit::test::ClipboardText(), "beta") << "the read-only view copies too";
}

TEST_F(TextViewClipboard, SelectAllAndTheIndicator)
{
    Show({"\tabc", "xy"});
    Command(Editor(), ID_EDIT_SELECT_ALL);
    EXPECT_EQ(Selection(Editor()), Sel(CPoint(0, 0), CPoint(2, 1)));
    EXPECT_EQ(Cursor(), CPoint(2, 1));

    Key(VK_HOME, {VK_CONTROL});
    Key(VK_HOME);
    Key(VK_RIGHT);
    CCmdUI pane = Update(Editor(), ID_INDICATOR_CARET);
    EXPECT_TRUE(pane.m_bEnabled);
    EXPECT_EQ(zorkit::Utf8FromGbk(pane.m_strText.str()), "1 行，5 列") << "the column after a tab of 4";
    Key(VK_DOWN);
    Key(VK_END);
    EXPECT_EQ(zorkit::Utf8FromGbk(Update(Editor(), ID_INDICATOR_CARET).m_strText.str()), "2 行，3 列");
}

TEST_F(TextViewClipboard, SelectAllOnOneEmptyLineSelectsNothing)
{
    Show({""});
    Command(Editor(), ID_EDIT_SELECT_ALL);
    EXPECT_FALSE(Editor().IsSelection());
    EXPECT_FALSE(Update(Editor(), ID_EDIT_COPY).m_bEnabled);
}

}
