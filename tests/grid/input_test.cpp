#include <gtest/gtest.h>

#include "zorkit/platform/gdi/DC.h"
#include "GridFixture.h"

namespace {

using zorkit::test::GridTest;

struct KeyboardTest : GridTest {
    // 40 x 12: the view scrolls both ways.
    void SetUp() override
    {
        GridTest::SetUp();
        Grow(40, 12);
    }
};

TEST_F(KeyboardTest, ArrowsMoveTheFocusButNotIntoTheHeadingsOrPastTheEnd)
{
    Focus(1, 1);
    Press(VK_LEFT);
    Press(VK_UP);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(1, 1)) << "the headings are never the focus";
    Press(VK_RIGHT);
    Press(VK_DOWN);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(2, 2));
    EXPECT_EQ(owner.NotifyCodes(), (std::vector<int>{GridNotifyFocusLeaving, GridNotifyFocusEntered,
                                                     GridNotifyFocusLeaving, GridNotifyFocusEntered}));

    Press(VK_END);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(2, 11));
    EXPECT_TRUE(grid.IsCellVisible(2, 11));
    owner.events.clear();
    grid.scrolls.clear();
    Press(VK_RIGHT);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(2, 11)) << "Right on the last column does nothing";
    EXPECT_TRUE(owner.events.empty());
    EXPECT_TRUE(grid.scrolls.empty());

    Press(VK_HOME);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(2, 1));
    EXPECT_EQ(grid.GetScrollPos32(SB_HORZ), 0);
}

TEST_F(KeyboardTest, MovingOutOfViewScrollsTheFocusBackIntoIt)
{
    Focus(1, 5);
    for (int i = 0; i < 3; ++i)
        Press(VK_RIGHT);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(1, 8));
    EXPECT_TRUE(grid.IsCellVisible(1, 8));
    EXPECT_GT(grid.GetScrollPos32(SB_HORZ), 0);
    for (int i = 0; i < 12; ++i)
        Press(VK_DOWN);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(13, 8));
    EXPECT_TRUE(grid.IsCellVisible(13, 8));
    EXPECT_EQ(grid.GetVisibleNonFixedCellRange().GetMaxRow() >= 13, true);
}

// What the window's pixels show of the focus: the cells wholly in view that carry the
// black focus frame, and the headings drawn with a raised edge.
struct FocusPicture {
    std::vector<CCellID> framed;
    std::vector<CCellID> raised;
};

FocusPicture LookAtTheFocus(zorkit::test::GridProbe& grid)
{
    auto surface = zorkit::CaptureWindow(grid.m_hWnd, true);
    CRect client;
    grid.GetClientRect(&client);
    auto whole = [&](int row, int col, CRect& rect) {
        return grid.GetCellRect(row, col, &rect) && rect.right < client.right && rect.bottom < client.bottom;
    };
    FocusPicture picture;
    const CCellRange shown = grid.GetVisibleNonFixedCellRange();
    CRect rect;
    for (int row = shown.GetMinRow(); row <= shown.GetMaxRow(); ++row)
        for (int col = shown.GetMinCol(); col <= shown.GetMaxCol(); ++col)
            if (whole(row, col, rect) && surface->GetPixel(rect.left, rect.top) == RGB(0, 0, 0) &&
                surface->GetPixel(rect.right - 1, rect.bottom - 1) == RGB(0, 0, 0))
                picture.framed.push_back(CCellID(row, col));
    const COLORREF edge = GetSysColor(COLOR_3DSHADOW);
    for (int col = shown.GetMinCol(); col <= shown.GetMaxCol(); ++col)
        if (whole(0, col, rect) && surface->GetPixel(rect.right - 1, rect.top + 2) == edge)
            picture.raised.push_back(CCellID(0, col));
    for (int row = shown.GetMinRow(); row <= shown.GetMaxRow(); ++row)
        if (whole(row, 0, rect) && surface->GetPixel(rect.right - 1, rect.top + 2) == edge)
            picture.raised.push_back(CCellID(row, 0));
    return picture;
}

TEST_F(KeyboardTest, EveryFocusMoveRepaintsTheOldAndTheNewFocusCell)
{
    Focus(1, 1);
    Settle();
    struct Step {
        UINT modifier;
        UINT key;
        int times;
    };
    const Step steps[] = {{0, VK_RIGHT, 1}, {0, VK_DOWN, 1},  {0, VK_LEFT, 1},  {0, VK_UP, 1},
                          {0, VK_RIGHT, 7}, {0, VK_DOWN, 10}, {0, VK_TAB, 5},   {VK_SHIFT, VK_TAB, 1},
                          {0, VK_END, 1},   {0, VK_LEFT, 1},  {0, VK_HOME, 1},  {0, VK_TAB, 1},
                          {0, VK_NEXT, 1},  {0, VK_PRIOR, 1}, {0, VK_UP, 3},    {0, VK_LEFT, 1}};
    CCellID before = grid.GetFocusCell();
    for (const Step& step : steps) {
        for (int i = 0; i < step.times; ++i) {
            if (step.modifier)
                PressWith(step.modifier, step.key);
            else
                Press(step.key);
            const CCellID focus = grid.GetFocusCell();
            const std::string where = "key " + std::to_string(step.key) + " press " + std::to_string(i + 1) +
                                      ", focus " + std::to_string(focus.row) + "," + std::to_string(focus.col);
            const FocusPicture picture = LookAtTheFocus(grid);
            EXPECT_EQ(picture.framed, std::vector<CCellID>{focus}) << where;
            EXPECT_EQ(picture.raised, (std::vector<CCellID>{CCellID(0, focus.col), CCellID(focus.row, 0)})) << where;
        }
        EXPECT_NE(grid.GetFocusCell(), before) << "key " << step.key << " moved the focus";
        before = grid.GetFocusCell();
    }
}

TEST_F(KeyboardTest, TabWrapsToTheNextRowAndScrollsBackToTheLeftEdge)
{
    Focus(3, 11);
    grid.EnsureVisible(3, 11);
    ASSERT_GT(grid.GetScrollPos32(SB_HORZ), 0);
    Press(VK_TAB);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(4, 1));
    EXPECT_EQ(grid.GetScrollPos32(SB_HORZ), 0) << "back to the left edge";
    EXPECT_TRUE(grid.IsCellVisible(4, 1));

    PressWith(VK_SHIFT, VK_TAB);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(3, 11)) << "Shift+Tab wraps back to the row above's last column";
    EXPECT_TRUE(grid.IsCellVisible(3, 11));

    Press(VK_TAB);
    Press(VK_TAB);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(4, 2));
    Focus(39, 11);
    Press(VK_TAB);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(39, 11)) << "nowhere to go from the last cell";
    Focus(1, 1);
    PressWith(VK_SHIFT, VK_TAB);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(1, 1));
}

TEST_F(KeyboardTest, PageDownMovesByWhatScrolledAndToTheLastRowAtTheEnd)
{
    Focus(2, 1);
    Press(VK_NEXT);
    const int top = grid.GetTopleftNonFixedCell().row;
    EXPECT_GT(top, 1);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(2 + top - 1, 1)) << "the focus moves as far as the view did";
    for (int i = 0; i < 10; ++i)
        Press(VK_NEXT);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(39, 1)) << "when the view cannot scroll, the last row";
    Press(VK_PRIOR);
    EXPECT_LT(grid.GetFocusCell().row, 39);
    for (int i = 0; i < 10; ++i)
        Press(VK_PRIOR);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(1, 1));
}

TEST_F(GridTest, DeleteClearsAnEditableCellAndTellsOnlyWhenSomethingChanged)
{
    grid.SetItemState(2, 2, 0);
    grid.SetItemState(3, 3, 0);
    grid.SetItemText(3, 3, "");
    Focus(2, 2);
    Press(VK_DELETE);
    EXPECT_EQ(grid.GetItemText(2, 2), "");
    ASSERT_EQ(owner.events.size(), 1u);
    EXPECT_EQ(int(owner.events[0].hdr.code), GridNotifyEndEdit);
    EXPECT_EQ(owner.events[0].text, "") << "Delete sends empty text";

    Focus(3, 3);
    Press(VK_DELETE);
    EXPECT_TRUE(owner.events.empty()) << "an empty cell changes nothing";

    Focus(4, 4);
    Press(VK_DELETE);
    EXPECT_EQ(grid.GetItemText(4, 4), "4,4") << "read-only cells keep their text";
    EXPECT_TRUE(owner.events.empty());
}

TEST_F(GridTest, TheGridAsksForArrowsCharactersAndTabUnlessCtrlIsHeld)
{
    EXPECT_EQ(grid.SendMessage(WM_GETDLGCODE), 0x83);
    grid.SetHandleTabKey(FALSE);
    EXPECT_EQ(grid.SendMessage(WM_GETDLGCODE), 0x81);
    grid.SetHandleTabKey(TRUE);
    Key(VK_CONTROL);
    zorkit::PumpPendingMessages();
    EXPECT_EQ(grid.SendMessage(WM_GETDLGCODE), 0x81);
    Key(VK_CONTROL, false);
}

TEST_F(GridTest, AClickFocusesTheCellAndPostsACommandToTheOwner)
{
    grid.SetFocus();
    owner.events.clear();
    Click(85, 65);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(3, 2));
    ASSERT_FALSE(owner.events.empty());
    const auto& command = owner.events.back();
    EXPECT_EQ(command.message, WM_COMMAND);
    EXPECT_EQ(command.wParam, MAKEWPARAM(kGridId, 0));
    EXPECT_EQ(command.lParam, reinterpret_cast<LPARAM>(grid.m_hWnd));

    Click(5, 105);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(5, 1)) << "a row heading focuses the row's first non-fixed cell";
    Click(165, 5);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(1, 4)) << "a column heading the column's first non-fixed cell";

    owner.events.clear();
    Click(280, 65);
    EXPECT_TRUE(owner.events.empty()) << "outside the cells: no focus change and no command";
}

TEST_F(GridTest, DraggingAColumnDividerResizesTheColumnWithinTheConfinement)
{
    grid.SetFocus();
    // The divider between columns 2 and 3 lies at x 120.
    MoveTo(118, 10);
    EXPECT_EQ(grid.GetMouseMode(), MouseOverColumnDivider);
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_SIZEWE));
    Down(118, 10);
    EXPECT_EQ(grid.GetMouseMode(), MouseSizingColumn);
    CRect confine;
    GetClipCursor(&confine);
    EXPECT_EQ(confine, CRect(Screen(80, 0), Screen(300, 200))) << "from column 2's left edge to the client's right";

    const auto before = zorkit::CaptureWindow(grid.m_hWnd, true)->GetPixel(151, 100);
    MoveTo(150, 10);
    EXPECT_NE(zorkit::CaptureWindow(grid.m_hWnd, true)->GetPixel(151, 100), before) << "the inverted band follows";
    Up(150, 10);
    EXPECT_EQ(grid.GetColumnWidth(2), 70);
    EXPECT_EQ(grid.GetMouseMode(), MouseOverColumnDivider) << "the pointer rests on the divider it moved";
    GetClipCursor(&confine);
    EXPECT_NE(confine, CRect(Screen(80, 0), Screen(300, 200))) << "the confinement ends with the drag";

    // Grabbing the divider from the right (inside column 3) still sizes column 2.
    MoveTo(151, 10);
    Down(151, 10);
    Up(60, 10);
    EXPECT_EQ(grid.GetColumnWidth(2), 0) << "the pointer stopped at the column's left edge";
}

TEST_F(GridTest, AButtonUpLeftOfTheColumnsLeftEdgeLeavesTheWidth)
{
    grid.SetFocus();
    MoveTo(118, 10);
    Down(118, 10);
    ClipCursor(nullptr);
    grid.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(60, 10));
    EXPECT_EQ(grid.GetColumnWidth(2), 40) << "a negative width is refused";
    EXPECT_EQ(grid.GetMouseMode(), MouseIdle);
}

TEST_F(GridTest, DraggingARowDividerResizesTheRow)
{
    grid.SetFocus();
    MoveTo(10, 78);
    EXPECT_EQ(grid.GetMouseMode(), MouseOverRowDivider);
    Down(10, 78);
    MoveTo(10, 95);
    Up(10, 95);
    EXPECT_EQ(grid.GetRowHeight(3), 35);
    grid.SetRowResize(FALSE);
    MoveTo(10, 98);
    EXPECT_EQ(grid.GetMouseMode(), MouseIdle);
}

TEST_F(GridTest, DoubleClickingADividerSizesTheColumnToItsText)
{
    grid.SetItemText(4, 2, "a long text for column two");
    grid.SetFocus();
    MoveTo(118, 10);
    DoubleClick(118, 10);
    CDC* dc = grid.GetDC();
    LOGFONT lf = *grid.GetItemFont(4, 2);
    CFont font;
    font.CreateFontIndirect(&lf);
    CFont* old = dc->SelectObject(&font);
    const int text = dc->GetTextExtent("a long text for column two", 26).cx;
    dc->SelectObject(old);
    grid.ReleaseDC(dc);
    EXPECT_EQ(grid.GetColumnWidth(2), text + grid.Margin());
    EXPECT_EQ(grid.GetColumnWidth(3), 40);
}

TEST_F(GridTest, InSelectingModeDraggingMovesTheFocusOverNonFixedCells)
{
    grid.SetFocus();
    Down(45, 25);
    EXPECT_EQ(grid.SetMouseMode(MouseSelecting), MouseIdle);
    MoveTo(125, 65);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(3, 3));
    MoveTo(5, 85);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(3, 3)) << "the headings do not take the focus";
    Up(5, 85);
    EXPECT_EQ(grid.GetMouseMode(), MouseIdle);
    MoveTo(165, 105);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(3, 3)) << "without the button nothing follows";
}

TEST_F(GridTest, TheWheelScrollsTheGridAlone)
{
    Grow(40, 6);
    grid.SetFocus();
    Wheel(-WHEEL_DELTA);
    EXPECT_EQ(grid.GetScrollPos32(SB_VERT), 60);
    EXPECT_EQ(owner.wheelMessages, 0) << "the parent does not scroll too";
}

TEST_F(GridTest, TheDividerGrabZoneIsAsWideOnBothSides)
{
    grid.SetFocus();
    // Columns 2 and 3 meet between x 119 and 120; rows 3 and 4 between y 79 and 80.
    for (int x : {116, 119, 120, 123}) {
        MoveTo(x, 10);
        EXPECT_EQ(grid.GetMouseMode(), MouseOverColumnDivider) << x;
    }
    for (int x : {115, 124}) {
        MoveTo(x, 10);
        EXPECT_EQ(grid.GetMouseMode(), MouseIdle) << x;
    }
    for (int y : {76, 83}) {
        MoveTo(10, y);
        EXPECT_EQ(grid.GetMouseMode(), MouseOverRowDivider) << y;
    }
    for (int y : {75, 84}) {
        MoveTo(10, y);
        EXPECT_EQ(grid.GetMouseMode(), MouseIdle) << y;
    }
}

TEST_F(GridTest, AClickOnARowTheOwnerDeletesAsTheFocusLeavesFocusesNothing)
{
    Focus(2, 2);
    bool shrunk = false;
    owner.onNotify = [&](const GridNotifyRecord& record) {
        if (int(record.hdr.code) == GridNotifyFocusLeaving && !shrunk) {
            shrunk = true;
            grid.SetRowCount(4);
        }
    };
    Click(125, 165);  // cell (8, 3)
    owner.onNotify = nullptr;
    ASSERT_TRUE(shrunk);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(-1, -1)) << "the clicked row is gone";
    ASSERT_TRUE(grid.SetRowCount(10));
    EXPECT_EQ(grid.GetFocusCell(), CCellID(-1, -1)) << "growth brings no focus back";
}

TEST_F(GridTest, AReleaseWithoutAPressInTheGridPostsNoCommand)
{
    grid.MoveWindow(0, 0, 250, 200);
    Settle();
    Click(100, 50);
    zorkit::PumpPendingMessages();
    ASSERT_EQ(owner.events.back().message, UINT(WM_COMMAND));
    owner.events.clear();
    Down(270, 50);  // on the owner, right of the grid
    Up(100, 70);
    zorkit::PumpPendingMessages();
    for (const auto& e : owner.events)
        EXPECT_NE(e.message, UINT(WM_COMMAND)) << "no cell was clicked";
    EXPECT_EQ(grid.GetFocusCell(), CCellID(2, 2)) << "the release moved nothing";
}

TEST_F(GridTest, WithoutTabHandlingTabDoesNotMoveTheFocus)
{
    Focus(2, 2);
    grid.SetHandleTabKey(FALSE);
    Press(VK_TAB);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(2, 2));
    grid.SetHandleTabKey(TRUE);
    Press(VK_TAB);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(2, 3));
}

TEST_F(GridTest, AWheelNotchPostsThreeLineUpMessages)
{
    Grow(40, 6);
    grid.SetFocus();
    grid.SendMessage(WM_VSCROLL, SB_BOTTOM);
    const int bottom = grid.GetScrollPos32(SB_VERT);
    grid.scrolls.clear();
    grid.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_TRUE(grid.scrolls.empty()) << "posted, not sent";
    zorkit::PumpPendingMessages();
    EXPECT_EQ(grid.scrolls, (std::vector<std::pair<UINT, UINT>>(3, {WM_VSCROLL, SB_LINEUP})));
    EXPECT_EQ(grid.GetScrollPos32(SB_VERT), bottom - 60);

    grid.SendMessage(WM_VSCROLL, SB_BOTTOM);
    grid.scrolls.clear();
    Wheel(WHEEL_DELTA);
    EXPECT_EQ(grid.scrolls, (std::vector<std::pair<UINT, UINT>>(3, {WM_VSCROLL, SB_LINEUP})));
    EXPECT_EQ(grid.GetScrollPos32(SB_VERT), bottom - 60);

    grid.scrolls.clear();
    Wheel(-2 * WHEEL_DELTA);
    EXPECT_EQ(grid.scrolls, (std::vector<std::pair<UINT, UINT>>(6, {WM_VSCROLL, SB_LINEDOWN})));

    zorkit::SystemSettings::Instance().SetWheelScrollLines(UINT(-1));
    grid.SendMessage(WM_SETTINGCHANGE);
    EXPECT_EQ(grid.RowsPerWheelNotch(), -1);
    grid.scrolls.clear();
    Wheel(WHEEL_DELTA);
    EXPECT_EQ(grid.scrolls, (std::vector<std::pair<UINT, UINT>>(1, {WM_VSCROLL, SB_PAGEUP}))) << "a page per notch";
}

TEST_F(KeyboardTest, AnOwnerThatDeletesRowsOnFocusChangesLeavesNoStaleCell)
{
    Focus(38, 2);
    owner.onNotify = [this](const GridNotifyRecord& record) {
        if (int(record.hdr.code) == GridNotifyFocusEntered && grid.GetRowCount() > 20)
            grid.SetRowCount(20);
    };
    Press(VK_DOWN);
    EXPECT_EQ(grid.GetRowCount(), 20);
    for (int row = 0; row < 20; ++row)
        for (int col = 0; col < 12; ++col)
            EXPECT_FALSE(grid.GetItemState(row, col) & CellFocused) << row << "," << col;
    Press(VK_DOWN);
    Press(VK_TAB);
    EXPECT_FALSE(grid.IsValid(grid.GetFocusCell())) << "keys on a stale focus do nothing";
}

}
