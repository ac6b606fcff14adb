#include <gtest/gtest.h>

#include "zorkit/platform/core/Gbk.h"
#include "GridFixture.h"

namespace {

using zorkit::test::GridTest;

struct EditingTest : GridTest {
    void SetUp() override
    {
        GridTest::SetUp();
        for (int row = 1; row < 10; ++row)
            for (int col = 1; col < 6; ++col)
                grid.SetItemState(row, col, 0);
        grid.SetItemText(2, 2, "0x3F");
    }
};

TEST_F(EditingTest, ALetterOpensTheEditorHoldingJustThatLetter)
{
    Focus(2, 2);
    bool editorExistedAtBeginEdit = true;
    owner.onNotify = [&](const GridNotifyRecord& record) {
        if (int(record.hdr.code) == GridNotifyBeginEdit)
            editorExistedAtBeginEdit = Editor() != nullptr;
    };
    Type("a");
    ASSERT_NE(Editor(), nullptr);
    EXPECT_FALSE(editorExistedAtBeginEdit) << "the owner hears of the edit before the editor is made";
    EXPECT_EQ(Editor()->GetDlgCtrlID(), int(InPlaceEditId));
    EXPECT_EQ(EditorText(), "a");
    EXPECT_EQ(EditorSel(), std::make_pair(1, 1));
    EXPECT_EQ(CWnd::GetFocus(), Editor());
    ASSERT_EQ(owner.events.size(), 1u);
    EXPECT_EQ(int(owner.events[0].hdr.code), GridNotifyBeginEdit);
    EXPECT_EQ(std::make_pair(owner.events[0].row, owner.events[0].col), std::make_pair(2, 2));
    CRect rect;
    Editor()->GetWindowRect(&rect);
    grid.ScreenToClient(&rect);
    EXPECT_EQ(rect, CRect(80, 40, 119, 59)) << "laid over the cell";
    EXPECT_EQ(grid.GetItemText(2, 2), "0x3F") << "nothing is stored while editing";
}

TEST_F(EditingTest, TypingADoubleByteCharacterOpensTheEditorHoldingAllOfIt)
{
    Focus(2, 2);
    Type("中");
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(EditorText(), zorkit::GbkFromUtf8("中")) << "the trail byte followed its lead into the editor";
    Press(VK_RETURN);
    EXPECT_EQ(grid.GetItemText(2, 2).str(), zorkit::GbkFromUtf8("中"));
}

TEST_F(EditingTest, BackspaceOpensTheEditorWithoutTheLastCharacter)
{
    Focus(2, 2);
    Press(VK_BACK);
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(EditorText(), "0x3");
    EXPECT_EQ(EditorSel(), std::make_pair(3, 3));
}

TEST_F(EditingTest, ReturnOpensTheEditorWithTheCaretAtTheEnd)
{
    Focus(2, 2);
    Press(VK_RETURN);
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(EditorText(), "0x3F");
    EXPECT_EQ(EditorSel(), std::make_pair(4, 4));
}

TEST_F(EditingTest, ReadOnlyCellsAndAGridThatIsNotEditableOpenNothing)
{
    Focus(2, 2);
    grid.SetItemState(2, 2, CellReadOnly | CellFocused);
    Type("a");
    EXPECT_EQ(Editor(), nullptr);
    grid.SetItemState(2, 2, CellFocused);
    grid.SetEditable(FALSE);
    Type("a");
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_TRUE(owner.events.empty()) << "no begin-edit either";
}

// The editor ends with Return: the cell holds the new text and the owner's record
// names the grid, the cell and the text the cell held before, byte for byte.
TEST_F(EditingTest, ReturnStoresTheTextAndTellsTheOwnerThePreviousText)
{
    grid.SetItemText(3, 4, zorkit::GbkFromUtf8("旧值").c_str());
    Focus(3, 4);
    Press(VK_RETURN);
    ASSERT_NE(Editor(), nullptr);
    Press(VK_BACK);
    Press(VK_BACK);
    Type("新A");
    Press(VK_RETURN);
    zorkit::PumpPendingMessages();

    const std::string stored = zorkit::GbkFromUtf8("新A");
    EXPECT_EQ(grid.GetItemText(3, 4).str(), stored);
    EXPECT_EQ(Editor(), nullptr) << "the editor closed itself";
    EXPECT_EQ(CWnd::GetFocus(), &grid);

    ASSERT_EQ(owner.NotifyCodes(), (std::vector<int>{GridNotifyBeginEdit, GridNotifyEndEdit}));
    const auto& end = owner.events[1];
    EXPECT_EQ(end.hdr.hwndFrom, grid.m_hWnd);
    EXPECT_EQ(end.hdr.idFrom, std::uintptr_t(kGridId));
    EXPECT_EQ(end.hdr.code, UINT(-106));
    EXPECT_EQ(end.wParam, WPARAM(kGridId));
    EXPECT_EQ(end.row, 3);
    EXPECT_EQ(end.col, 4);
    const std::string previous = zorkit::GbkFromUtf8("旧值");
    ASSERT_EQ(end.text.size(), 4u) << "two GBK characters";
    EXPECT_EQ(std::vector<unsigned char>(end.text.begin(), end.text.end()),
              std::vector<unsigned char>(previous.begin(), previous.end()));
    EXPECT_TRUE(grid.GetModified());
}

TEST_F(EditingTest, EscapeLeavesTheCellAndSendsNothing)
{
    Focus(2, 2);
    Type("z");
    ASSERT_EQ(EditorText(), "z");
    owner.events.clear();
    Press(VK_ESCAPE);
    zorkit::PumpPendingMessages();
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_EQ(grid.GetItemText(2, 2), "0x3F");
    EXPECT_TRUE(owner.events.empty());
    EXPECT_FALSE(grid.GetModified());
}

TEST_F(EditingTest, TabEndsTheEditWithoutMovingOn)
{
    Focus(2, 2);
    Type("7");
    Press(VK_TAB);
    zorkit::PumpPendingMessages();
    EXPECT_EQ(grid.GetItemText(2, 2), "7");
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(2, 2));
}

TEST_F(EditingTest, CtrlDownStoresMovesAndReopensWithAllTextSelected)
{
    grid.SetItemText(3, 2, "next");
    Focus(2, 2);
    Type("1");
    Type("2");
    PressWith(VK_CONTROL, VK_DOWN);
    zorkit::PumpPendingMessages();
    EXPECT_EQ(grid.GetItemText(2, 2), "12");
    EXPECT_EQ(grid.GetFocusCell(), CCellID(3, 2));
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(EditorText(), "next");
    EXPECT_EQ(EditorSel(), std::make_pair(0, 4));
    EXPECT_EQ(owner.NotifyCodes(), (std::vector<int>{GridNotifyBeginEdit, GridNotifyEndEdit, GridNotifyFocusLeaving,
                                                     GridNotifyFocusEntered, GridNotifyBeginEdit}));

    Press(VK_DOWN);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(3, 2)) << "without Ctrl an arrow stays in the editor";
    ASSERT_NE(Editor(), nullptr);
}

TEST_F(EditingTest, TheSecondClickOnTheFocusCellOpensTheEditorOnRelease)
{
    grid.SetFocus();
    Click(85, 45);
    ASSERT_EQ(grid.GetFocusCell(), CCellID(2, 2));
    EXPECT_EQ(Editor(), nullptr) << "the first click only focuses";
    Down(85, 45);
    EXPECT_EQ(Editor(), nullptr) << "not on press";
    EXPECT_EQ(grid.GetMouseMode(), MousePrepareEdit);
    Up(85, 45);
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(EditorText(), "0x3F");
    EXPECT_EQ(EditorSel(), std::make_pair(4, 4));

    Click(165, 105);
    zorkit::PumpPendingMessages();
    EXPECT_EQ(Editor(), nullptr) << "a click elsewhere ends the edit";
    EXPECT_EQ(grid.GetFocusCell(), CCellID(5, 4));
}

TEST_F(EditingTest, ADoubleClickOnARowHeadingEditsTheHeadingWhenItIsEditable)
{
    grid.SetItemState(4, 0, 0);
    grid.SetFocus();
    DoubleClick(5, 85);
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(EditorText(), "R4");
    Press(VK_ESCAPE);
    zorkit::PumpPendingMessages();
    DoubleClick(85, 105);
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(EditorText(), "5,2") << "a double click on a cell edits the focus cell";
}

TEST_F(EditingTest, TypingPastTheCellWidensTheEditorUpToTheGridsEdge)
{
    Focus(2, 5);
    Type("a");  // the rest goes to the editor once it has the keyboard focus
    Type(" fairly long value");
    EXPECT_EQ(EditorText(), "a fairly long value");
    ASSERT_NE(Editor(), nullptr);
    CRect rect;
    Editor()->GetWindowRect(&rect);
    grid.ScreenToClient(&rect);
    EXPECT_EQ(rect.left, 200);
    EXPECT_GT(rect.right, 239);
    CRect client;
    grid.GetClientRect(&client);
    EXPECT_LE(rect.right, client.right);
}

TEST_F(EditingTest, AResizeEndsTheEditButLeavesAnotherWindowsKeyboardAlone)
{
    Focus(2, 2);
    Type("ab");
    ASSERT_NE(Editor(), nullptr);
    grid.MoveWindow(0, 0, 250, 180);
    zorkit::PumpPendingMessages();
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_EQ(CWnd::GetFocus(), &grid);
    EXPECT_EQ(grid.GetItemText(2, 2), "ab");

    CEdit text;
    ASSERT_TRUE(text.Create(WS_CHILD | WS_VISIBLE, CRect(260, 0, 300, 20), &owner, 7));
    text.SetFocus();
    grid.MoveWindow(0, 0, 240, 300);
    EXPECT_EQ(CWnd::GetFocus(), &text) << "a grid that grows in the background takes no caret";
    Type("q");
    CString typed;
    text.GetWindowText(typed);
    EXPECT_EQ(typed, "q");
}

TEST_F(EditingTest, APointerThatLeftOverADividerLeavesTypingToTheEditor)
{
    grid.MoveWindow(0, 0, 250, 200);
    Focus(2, 2);
    MoveTo(118, 10);
    ASSERT_EQ(grid.GetMouseMode(), MouseOverColumnDivider);
    MoveTo(270, 50);  // onto the owner, right of the grid
    EXPECT_EQ(grid.GetMouseMode(), MouseIdle);
    Type("a");
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(EditorText(), "a");
}

TEST_F(EditingTest, ANewGridFontReachesAnOpenEditorBeforeTheOldOneGoes)
{
    Focus(2, 2);
    Type("ab");
    ASSERT_NE(Editor(), nullptr);
    LOGFONT lf = grid.FontRecord();
    lf.lfHeight = 20;
    CFont larger;
    ASSERT_TRUE(larger.CreateFontIndirect(&lf));
    grid.SendMessage(WM_SETFONT, WPARAM(HFONT(larger)), 0);
    ASSERT_NE(Editor(), nullptr);
    const HFONT drawnWith = HFONT(Editor()->SendMessage(WM_GETFONT));
    EXPECT_EQ(drawnWith, HFONT(grid.SendMessage(WM_GETFONT))) << "the editor draws with the grid's new font";
    LOGFONT seen{};
    EXPECT_NE(GetObject(HGDIOBJ(drawnWith), sizeof(seen), &seen), 0) << "and that font is alive";
    EXPECT_EQ(seen.lfHeight, 20);
    Type("c");
    Editor()->UpdateWindow();
    EXPECT_EQ(EditorText(), "abc");
}

// A host that closes the editor as soon as it hears of its text (EN_CHANGE): the editor
// is freed once, and the grid keeps working.
TEST_F(EditingTest, AnEditorClosedWhileItOpensIsFreedOnce)
{
    grid.onMessage = [](UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_COMMAND && LOWORD(wParam) == InPlaceEditId && HIWORD(wParam) == EN_CHANGE)
            ::DestroyWindow(reinterpret_cast<HWND>(lParam));
    };
    Focus(2, 2);
    Type("a");
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_EQ(grid.GetItemText(2, 2), "0x3F");
    grid.onMessage = nullptr;
    grid.SetFocus();
    Type("b");
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(EditorText(), "b");
}

TEST_F(EditingTest, AnEditorWhoseCellIsDeletedStoresNothingAndLeavesTheKeyboardToTheGrid)
{
    Focus(5, 2);
    Type("x");
    ASSERT_NE(Editor(), nullptr);
    ASSERT_TRUE(grid.DeleteRow(5));
    zorkit::PumpPendingMessages();
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_EQ(CWnd::GetFocus(), &grid);
    const std::string below = grid.GetItemText(5, 2).str();
    EXPECT_NE(below, "x") << "the row that moved up is untouched";
    for (const auto& e : owner.events)
        EXPECT_NE(int(e.hdr.code), GridNotifyEndEdit);
    Press(VK_DOWN);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(6, 2)) << "the arrows work at once";
}

// Only an editor whose cell goes or moves is given up; the others edit on.
TEST_F(EditingTest, ChangesThatLeaveTheEditedCellInPlaceKeepItsEditorOpen)
{
    Focus(2, 2);
    Type("ab");
    ASSERT_NE(Editor(), nullptr);
    ASSERT_TRUE(grid.DeleteRow(8));
    ASSERT_TRUE(grid.SetRowCount(7));
    ASSERT_TRUE(grid.SetColumnCount(5));
    ASSERT_TRUE(grid.DeleteColumn(4));
    ASSERT_NE(grid.InsertColumn("new", DT_LEFT, 3), -1);
    zorkit::PumpPendingMessages();
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(EditorText(), "ab");
    EXPECT_EQ(CWnd::GetFocus(), Editor());
    Type("c");
    Press(VK_RETURN);
    EXPECT_EQ(grid.GetItemText(2, 2), "abc");

    Focus(2, 2);
    Type("z");
    ASSERT_NE(grid.InsertColumn("before", DT_LEFT, 1), -1) << "the edited cell moves right";
    zorkit::PumpPendingMessages();
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_EQ(CWnd::GetFocus(), &grid);
    EXPECT_EQ(grid.GetItemText(2, 3), "abc");
}

// The owner deletes the row, then the column, of the cell about to be edited. The cell
// that moved into its place was not asked to be edited: it gets no editor and no text.
TEST_F(EditingTest, AnOwnerThatDeletesTheCellOnBeginEditGetsNoEditorOnTheCellThatMovedIn)
{
    for (bool column : {false, true}) {
        SCOPED_TRACE(column ? "column deleted" : "row deleted");
        Focus(3, 2);
        const std::string movedIn = (column ? grid.GetItemText(3, 3) : grid.GetItemText(4, 2)).str();
        bool deleted = false;
        owner.onNotify = [&](const GridNotifyRecord& record) {
            if (int(record.hdr.code) != GridNotifyBeginEdit || deleted)
                return;
            deleted = true;
            EXPECT_TRUE(column ? grid.DeleteColumn(record.iColumn) : grid.DeleteRow(record.iRow));
        };
        Type("x");
        ASSERT_TRUE(deleted);
        EXPECT_EQ(Editor(), nullptr);
        grid.SetFocus();  // would end an editor, storing its text
        zorkit::PumpPendingMessages();
        EXPECT_EQ(grid.GetItemText(3, 2).str(), movedIn);
        for (int row = 0; row < grid.GetRowCount(); ++row)
            for (int col = 0; col < grid.GetColumnCount(); ++col)
                EXPECT_NE(grid.GetItemText(row, col).str(), "x") << row << "," << col;
        for (const auto& e : owner.events)
            EXPECT_NE(int(e.hdr.code), GridNotifyEndEdit);
        owner.onNotify = nullptr;
    }
    Focus(2, 2);
    Press(VK_RETURN);
    ASSERT_NE(Editor(), nullptr) << "editing works as before afterwards";
    EXPECT_EQ(EditorText(), grid.GetItemText(2, 2).str());
}

// The owner moves the focus while it hears of the edit. The cell asked for is still
// there, so the edit goes on over it and stores into it, not into the new focus cell;
// but when the move scrolled that cell out of view, no editor opens out of sight.
TEST_F(EditingTest, AnOwnerThatMovesTheFocusOnBeginEditLeavesTheEditOnTheCellAskedFor)
{
    Focus(3, 2);
    owner.onNotify = [&](const GridNotifyRecord& record) {
        if (int(record.hdr.code) == GridNotifyBeginEdit && grid.GetFocusCell() == CCellID(3, 2))
            grid.SetFocusCell(6, 4);
    };
    Type("x");
    ASSERT_NE(Editor(), nullptr);
    CRect rect;
    Editor()->GetWindowRect(&rect);
    grid.ScreenToClient(&rect);
    EXPECT_EQ(rect, CRect(80, 60, 119, 79)) << "over cell (3, 2)";
    Press(VK_RETURN);
    zorkit::PumpPendingMessages();
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_EQ(grid.GetItemText(3, 2).str(), "x");
    EXPECT_EQ(grid.GetItemText(6, 4).str(), "6,4");
    EXPECT_EQ(grid.GetFocusCell(), CCellID(6, 4));
    ASSERT_FALSE(owner.events.empty());
    EXPECT_EQ(int(owner.events.back().hdr.code), GridNotifyEndEdit);
    EXPECT_EQ(std::make_pair(owner.events.back().row, owner.events.back().col), std::make_pair(3, 2));

    Grow(40, 12);
    for (int row = 1; row < 40; ++row)
        for (int col = 1; col < 12; ++col)
            grid.SetItemState(row, col, 0);
    Focus(30, 10);
    grid.EnsureVisible(30, 10);
    ASSERT_TRUE(grid.IsCellVisible(30, 10));
    owner.onNotify = [&](const GridNotifyRecord& record) {
        if (int(record.hdr.code) == GridNotifyBeginEdit && grid.GetFocusCell() == CCellID(30, 10)) {
            grid.SetFocusCell(1, 1);
            grid.EnsureVisible(1, 1);
        }
    };
    Type("y");
    EXPECT_FALSE(grid.IsCellVisible(30, 10));
    EXPECT_EQ(Editor(), nullptr) << "the cell asked for lies below the view now";
    grid.SetFocus();
    zorkit::PumpPendingMessages();
    EXPECT_EQ(grid.GetItemText(30, 10).str(), "30,10");
    EXPECT_EQ(grid.GetItemText(1, 1).str(), "1,1");
}

TEST_F(EditingTest, AnOwnerThatMakesTheCellReadOnlyOnBeginEditGetsNoEditor)
{
    Focus(2, 2);
    owner.onNotify = [&](const GridNotifyRecord& record) {
        if (int(record.hdr.code) == GridNotifyBeginEdit)
            grid.SetItemState(record.iRow, record.iColumn, grid.GetItemState(record.iRow, record.iColumn) | CellReadOnly);
    };
    Type("x");
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_EQ(grid.GetItemText(2, 2).str(), "0x3F");
    EXPECT_EQ(owner.NotifyCodes(), std::vector<int>{GridNotifyBeginEdit});
}

TEST_F(EditingTest, DestroyingTheGridWithAnEditorOpenIsSafe)
{
    auto grid2 = std::make_unique<zorkit::test::GridProbe>(4, 4, 1, 1);
    ASSERT_TRUE(grid2->Create(CRect(0, 0, 200, 100), &owner, 101));
    grid2->SetItemState(1, 1, 0);
    grid2->SetFocus();
    grid2->SetFocusCell(1, 1);
    grid2->SendMessage(WM_CHAR, 'q');
    ASSERT_NE(::GetDlgItem(grid2->m_hWnd, int(InPlaceEditId)), nullptr);
    grid2.reset();
    zorkit::PumpPendingMessages();
    EXPECT_EQ(::GetDlgItem(owner.m_hWnd, 101), nullptr);
}

}
