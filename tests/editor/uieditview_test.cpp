// The editing view: typing, Enter with indentation, Tab, Backspace, Delete, cut and
// paste, read-only buffers, and the pane beside that shows the same text.
#include <gtest/gtest.h>

#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/core/RuntimeClass.h"
#include "tests/editor/EditPanes.h"

namespace {

using zorkit::InputKind;
using zorkit::test::EditPanes;
using zorkit::test::Sel;
using Lines = std::vector<std::string>;

using EditingView = EditPanes;

TEST_F(EditingView, TypingInsertsAtTheCursorAndReplacesTheSelection)
{
    buffer.InitNew();
    Show({});
    Type("a");
    EXPECT_EQ(Text(), Lines{"a"});
    EXPECT_EQ(Cursor(), CPoint(1, 0));
    Type("bc");
    Key(VK_LEFT, {VK_SHIFT});
    Key(VK_LEFT, {VK_SHIFT});
    Type("X");
    EXPECT_EQ(Text(), Lines{"aX"});
    EXPECT_EQ(Cursor(), CPoint(2, 0));
    EXPECT_TRUE(buffer.IsModified());

    Type("中");
    EXPECT_EQ(Text(), Lines{"aX" + zorkit::GbkFromUtf8("中")}) << "a double-byte character comes as two bytes";
    EXPECT_EQ(Cursor(), CPoint(4, 0));
    Key(VK_INSERT);
    EXPECT_TRUE(Editor().GetOverwriteMode());
    Key(VK_HOME);
    Type("q");
    EXPECT_EQ(Text(), Lines{"qaX" + zorkit::GbkFromUtf8("中")}) << "overwrite mode still inserts";
}

// A character typed inside a line repaints that line alone, in the editing pane and
// in the pane beside it. The typed characters are handled without pumping the
// paints, so that the views' update regions can be read.
TEST_F(EditingView, TypingIntoALineRepaintsOnlyThatLine)
{
    Show({"alpha", "beta", "gamma", "delta", "a line wider than the others"});
    Click(Editor(), PointOf(Editor(), CPoint(2, 2)));
    ASSERT_EQ(Cursor(), CPoint(2, 2));
    const int lh = Editor().GetLineHeight();
    auto typeWithoutPainting = [&](const std::string& utf8) {
        Editor().UpdateWindow();
        Reader().UpdateWindow();
        CRect dirty;
        ASSERT_FALSE(Editor().GetUpdateRect(&dirty)) << "nothing is waiting to be painted";
        ASSERT_FALSE(Reader().GetUpdateRect(&dirty));
        zorkit::InjectText(utf8);
        MSG msg;
        while (PeekMessage(&msg, nullptr, WM_CHAR, WM_CHAR, PM_REMOVE))
            DispatchMessage(&msg);
    };
    auto expectOnlyLine = [&](CTextView& view, int line) {
        CRect client, dirty;
        view.GetClientRect(&client);
        view.GetUpdateRect(&dirty);
        EXPECT_EQ(dirty, CRect(0, line * lh, client.right, (line + 1) * lh));
    };
    typeWithoutPainting("x");
    EXPECT_EQ(Text()[2], "gaxmma");
    expectOnlyLine(Editor(), 2);
    expectOnlyLine(Reader(), 2);

    typeWithoutPainting("中");
    EXPECT_EQ(Text()[2], "gax" + zorkit::GbkFromUtf8("中") + "mma") << "both bytes of a double-byte character";
    expectOnlyLine(Editor(), 2);
    expectOnlyLine(Reader(), 2);
}

TEST_F(EditingView, EnterCopiesTheIndentationOfTheLineAbove)
{
    Show({"  abcd"});
    TextViewProbe::SetCursor(Editor(), CPoint(4, 0));
    Key(VK_RETURN);
    EXPECT_EQ(Text(), (Lines{"  ab", "  cd"}));
    EXPECT_EQ(Cursor(), CPoint(2, 1));

    Editor().SetAutoIndent(FALSE);
    Key(VK_END);
    Key(VK_RETURN);
    EXPECT_EQ(Text(), (Lines{"  ab", "  cd", ""}));
    EXPECT_EQ(Cursor(), CPoint(0, 2));

    Editor().SetAutoIndent(TRUE);
    Key(VK_TAB);
    Type("x");
    Key(VK_RETURN);
    EXPECT_EQ(Text(), (Lines{"  ab", "  cd", "\tx", "\t"})) << "tabs stay tabs";
}

TEST_F(EditingView, BackspaceAndDeleteJoinLinesAndStopAtTheEnds)
{
    Show({"abc", "de"});
    Key(VK_BACK);
    Key(VK_DELETE, {VK_SHIFT});
    EXPECT_EQ(Text(), (Lines{"bc", "de"})) << "Backspace at (0, 0) does nothing, Delete removes a";
    Key(VK_DOWN);
    Key(VK_HOME);
    Key(VK_BACK);
    EXPECT_EQ(Text(), Lines{"bcde"});
    EXPECT_EQ(Cursor(), CPoint(2, 0)) << "at the old end of line 0";
    Key(VK_END);
    Key(VK_DELETE);
    EXPECT_EQ(Text(), Lines{"bcde"}) << "Delete at the end of the last line does nothing";
    Key(VK_LEFT, {VK_SHIFT});
    Key(VK_LEFT, {VK_SHIFT});
    Key(VK_BACK);
    EXPECT_EQ(Text(), Lines{"bc"});
    EXPECT_EQ(Cursor(), CPoint(2, 0));
}

TEST_F(EditingView, ThePaneBesideShowsEveryEdit)
{
    Show({"first", "second", "third"});
    Reader().ScrollToLine(0, TRUE);
    TextViewProbe::SetCursor(Reader(), CPoint(4, 2));
    Key(VK_END);
    Type("!");
    Key(VK_RETURN);
    Type("new");
    EXPECT_EQ(Text(), (Lines{"first!", "new", "second", "third"}));
    EXPECT_EQ(TextViewProbe::Cursor(Reader()), CPoint(4, 3)) << "the reader's cursor moves with its text";

    zorkit::PumpPendingMessages();
    auto edited = zorkit::CaptureWindow(Editor().m_hWnd, true);
    auto shown = zorkit::CaptureWindow(Reader().m_hWnd, true);
    const int width = std::min(edited->Width(), shown->Width());
    const int lh = Editor().GetLineHeight();
    for (int y = 0; y < 4 * lh; ++y)
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(edited->GetPixel(x, y), shown->GetPixel(x, y)) << "both panes show the same lines at " << x
                                                                      << "," << y;
}

TEST_F(EditingView, AReadOnlyBufferIgnoresTypingButTheArrowsMove)
{
    Show({"abc", "def"});
    Editor().SetReadOnly(TRUE);
    EXPECT_FALSE(Editor().QueryEditable());
    Type("x");
    Key(VK_RETURN);
    Key(VK_DELETE);
    Key(VK_BACK);
    Key(VK_TAB);
    EXPECT_EQ(Text(), (Lines{"abc", "def"}));
    EXPECT_EQ(Cursor(), CPoint(0, 0));
    Key(VK_RIGHT);
    Key(VK_DOWN);
    EXPECT_EQ(Cursor(), CPoint(1, 1));

    zorkit::test::SetClipboardText("pasted");
    Editor().SetSelection(CPoint(0, 0), CPoint(2, 0));
    Command(Editor(), ID_EDIT_CUT);
    Command(Editor(), ID_EDIT_PASTE);
    EXPECT_EQ(Text(), (Lines{"abc", "def"}));
    EXPECT_EQ(zorkit::test::ClipboardText(), "pasted");
    EXPECT_TRUE(Update(Editor(), ID_EDIT_CUT).m_bEnabled) << "the handlers follow the selection";
    EXPECT_TRUE(Update(Editor(), ID_EDIT_PASTE).m_bEnabled) << "and the clipboard, not the read-only flag";
    EXPECT_FALSE(buffer.IsModified());
}

TEST_F(EditingView, CharactersTypedWhileAButtonIsHeldAreIgnored)
{
    Show({"abc"});
    const CPoint inside = PointOf(Editor(), CPoint(1, 0));
    Mouse(InputKind::ButtonDown, Editor(), inside);
    Type("x");
    Mouse(InputKind::ButtonUp, Editor(), inside);
    EXPECT_EQ(Text(), Lines{"abc"});
    Type("y");
    EXPECT_EQ(Text(), Lines{"aybc"});
}

TEST_F(EditingView, CutAndPasteGoThroughTheClipboard)
{
    Show({"one two", "three"});
    EXPECT_FALSE(Update(Editor(), ID_EDIT_CUT).m_bEnabled);
    Editor().SetSelection(CPoint(3, 0), CPoint(2, 1));
    Command(Editor(), ID_EDIT_CUT);
    EXPECT_EQ(zorkit::test::ClipboardText(), " two\r\nth");
    EXPECT_EQ(Text(), Lines{"oneree"});
    EXPECT_EQ(Cursor(), CPoint(3, 0));

    zorkit::test::SetClipboardText("A\r\nB\nC\r\nD");
    EXPECT_TRUE(Update(Editor(), ID_EDIT_PASTE).m_bEnabled);
    Command(Editor(), ID_EDIT_PASTE);
    EXPECT_EQ(Text(), (Lines{"oneA", "B\nC", "Dree"})) << "CR LF breaks lines, a lone LF stays";
    EXPECT_EQ(Cursor(), CPoint(1, 2));

    Editor().SetSelection(CPoint(0, 2), CPoint(4, 2));
    zorkit::test::SetClipboardText("x");
    Command(Editor(), ID_EDIT_PASTE);
    EXPECT_EQ(Text(), (Lines{"oneA", "B\nC", "x"})) << "pasting replaces the selection";
}

TEST_F(EditingView, CutKeepsTheTextWhenTheClipboardRefusesIt)
{
    Show({"keep me"});
    zorkit::test::SetClipboardText("old");
    Editor().SetSelection(CPoint(0, 0), CPoint(4, 0));
    ASSERT_TRUE(OpenClipboard(nullptr)) << "another program holds the clipboard open";
    Command(Editor(), ID_EDIT_CUT);
    CloseClipboard();
    EXPECT_EQ(Text(), Lines{"keep me"}) << "the text is not lost";
    EXPECT_EQ(Selection(Editor()), Sel(CPoint(0, 0), CPoint(4, 0)));
    EXPECT_EQ(zorkit::test::ClipboardText(), "old");
}

TEST_F(EditingView, CutDeletesOnlyWhatReachedTheClipboard)
{
    buffer.InsertLine(std::string("ab\0cd", 5).data(), 5, -1);
    Show({"ef"});
    Editor().SetSelection(CPoint(1, 0), CPoint(1, 1));
    Command(Editor(), ID_EDIT_CUT);
    EXPECT_EQ(zorkit::test::ClipboardText(), "b") << "the clipboard's text ends at the NUL byte";
    EXPECT_EQ(Text(), (Lines{std::string("a\0cd", 4), "ef"})) << "the rest of the selection stays";
    EXPECT_EQ(Cursor(), CPoint(1, 0));
}

TEST_F(EditingView, PastingAnEmptyClipboardTextChangesNothing)
{
    Show({"abc"});
    Editor().SetSelection(CPoint(1, 0), CPoint(2, 0));
    zorkit::test::SetClipboardText("");
    CString text = "unchanged";
    EXPECT_FALSE(Editor().GetFromClip(text));
    Command(Editor(), ID_EDIT_PASTE);
    EXPECT_FALSE(buffer.IsModified());
    EXPECT_FALSE(buffer.CanUndo());
    EXPECT_EQ(Text(), Lines{"abc"}) << "the selection is not replaced by nothing";
}

TEST_F(EditingView, UndoAndRedoRestoreTextCursorAndBothPanes)
{
    Show({"  one", "two"});
    buffer.SetModified(FALSE);  // as a load leaves it
    auto samePixels = [&] {
        zorkit::PumpPendingMessages();
        auto edited = zorkit::CaptureWindow(Editor().m_hWnd, true);
        auto shown = zorkit::CaptureWindow(Reader().m_hWnd, true);
        const int width = std::min(edited->Width(), shown->Width());
        for (int y = 0; y < 4 * Editor().GetLineHeight(); ++y)
            for (int x = 0; x < width; ++x)
                if (edited->GetPixel(x, y) != shown->GetPixel(x, y))
                    return false;
        return true;
    };
    EXPECT_FALSE(Update(Editor(), ID_EDIT_UNDO).m_bEnabled);
    Key(VK_END);
    Type("abc");
    Key(VK_RETURN);
    Type("xy");
    Key(VK_HOME, {VK_CONTROL});
    Key(VK_HOME);
    Type("z");
    EXPECT_EQ(Text(), (Lines{"z  oneabc", "  xy", "two"}));
    TextViewProbe::SetCursor(Reader(), CPoint(1, 2));

    EXPECT_TRUE(Update(Editor(), ID_EDIT_UNDO).m_bEnabled);
    EXPECT_FALSE(Update(Editor(), ID_EDIT_REDO).m_bEnabled);
    Command(Editor(), ID_EDIT_UNDO);
    EXPECT_EQ(Text(), (Lines{"  oneabc", "  xy", "two"})) << "a move ends a run of typing";
    EXPECT_EQ(Cursor(), CPoint(0, 0));
    Command(Editor(), ID_EDIT_UNDO);
    EXPECT_EQ(Text(), (Lines{"  oneabc", "  ", "two"})) << "xy was one step";
    Command(Editor(), ID_EDIT_UNDO);
    EXPECT_EQ(Text(), (Lines{"  oneabc", "two"})) << "Enter and its indentation were one step";
    EXPECT_EQ(Cursor(), CPoint(8, 0));
    EXPECT_EQ(TextViewProbe::Cursor(Reader()), CPoint(1, 1)) << "the pane beside follows the undo";
    EXPECT_TRUE(samePixels());
    Command(Editor(), ID_EDIT_UNDO);
    EXPECT_EQ(Text(), (Lines{"  one", "two"}));
    EXPECT_FALSE(buffer.IsModified()) << "back to the text as loaded";
    EXPECT_FALSE(Update(Editor(), ID_EDIT_UNDO).m_bEnabled);

    EXPECT_TRUE(Update(Editor(), ID_EDIT_REDO).m_bEnabled);
    Command(Editor(), ID_EDIT_REDO);
    Command(Editor(), ID_EDIT_REDO);
    EXPECT_EQ(Text(), (Lines{"  oneabc", "  ", "two"}));
    EXPECT_EQ(Cursor(), CPoint(2, 1)) << "where the redone edit left it";
    EXPECT_EQ(TextViewProbe::Cursor(Reader()), CPoint(1, 2));
    EXPECT_TRUE(samePixels());

    Editor().SetReadOnly(TRUE);
    EXPECT_FALSE(Update(Editor(), ID_EDIT_REDO).m_bEnabled);
    Command(Editor(), ID_EDIT_UNDO);
    EXPECT_EQ(Text(), (Lines{"  oneabc", "  ", "two"})) << "a read-only buffer is not undone";
}

TEST_F(EditingView, TypingOverASelectionIsUndoneInOneStep)
{
    Show({"hello world"});
    Editor().SetSelection(CPoint(0, 0), CPoint(5, 0));
    Type("J");
    EXPECT_EQ(Text(), Lines{"J world"});
    Command(Editor(), ID_EDIT_UNDO);
    EXPECT_EQ(Text(), Lines{"hello world"});
    zorkit::test::SetClipboardText("A\r\nB");
    Editor().SetSelection(CPoint(6, 0), CPoint(11, 0));
    Command(Editor(), ID_EDIT_PASTE);
    EXPECT_EQ(Text(), (Lines{"hello A", "B"}));
    Command(Editor(), ID_EDIT_UNDO);
    EXPECT_EQ(Text(), Lines{"hello world"}) << "the paste and the selection it replaced";
}

TEST(EditingViewClass, IsCreatedByNameAndResetsItsModes)
{
    const CRuntimeClass* cls = CRuntimeClass::FromName("CUIEditView");
    ASSERT_NE(cls, nullptr);
    std::unique_ptr<CObject> made(cls->CreateObject());
    auto* editor = dynamic_cast<CUIEditView*>(made.get());
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->GetAutoIndent());
    EXPECT_FALSE(editor->GetOverwriteMode());
    editor->SetAutoIndent(FALSE);
    editor->SetOverwriteMode(TRUE);
    CTextBuf buffer;
    buffer.InitNew();
    editor->AttachToBuffer(&buffer);
    EXPECT_TRUE(editor->GetAutoIndent());
    EXPECT_FALSE(editor->GetOverwriteMode());
    editor->OnEditInsert("a\r\n  b");
    EXPECT_EQ(buffer.GetLineCount(), 2);
    EXPECT_EQ(editor->GetCursorPos(), CPoint(3, 1));
    editor->DetachFromBuffer();
}

}
