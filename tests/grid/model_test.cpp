#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <limits>

#include "zorkit/platform/core/RuntimeClass.h"
#include "GridFixture.h"
#include "RefusingAllocator.h"

namespace {

using zorkit::test::GridProbe;
using zorkit::test::GridTest;

TEST(GridModel, ConstructionDefaultsComeFromTheSystemSettings)
{
    zorkit::SystemSettings::Instance().Reset();
    GridProbe grid(4, 3, 1, 1);
    EXPECT_EQ(grid.GetRowCount(), 4);
    EXPECT_EQ(grid.GetColumnCount(), 3);
    EXPECT_EQ(grid.GetFixedRowCount(), 1);
    EXPECT_EQ(grid.GetFixedColumnCount(), 1);
    EXPECT_EQ(grid.GetTextColor(), GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(grid.GetTextBkColor(), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(grid.GetBkColor(), 0xCCCCCCu);
    EXPECT_EQ(grid.GetFixedBkColor(), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(grid.GetGridColor(), 0xCCCCCCu);
    EXPECT_EQ(grid.GetGridLines(), GridLinesBoth);
    EXPECT_TRUE(grid.IsEditable());
    EXPECT_FALSE(grid.GetModified());
    EXPECT_EQ(grid.RowsPerWheelNotch(), 3);

    const LOGFONT& font = grid.FontRecord();
    const LOGFONT& message = zorkit::SystemSettings::Instance().NonClientMetrics().lfMessageFont;
    EXPECT_EQ(font.lfHeight, 16);
    EXPECT_EQ(font.lfWidth, 8);
    EXPECT_EQ(font.lfWeight, 100) << "thin, not normal";
    EXPECT_STREQ(font.lfFaceName, message.lfFaceName);
    EXPECT_EQ(std::memcmp(grid.GetItemFont(1, 1), &font, sizeof(LOGFONT)), 0) << "cells copy the grid's font record";
    EXPECT_EQ(grid.GetRowHeight(3), 12) << "the default row height before any font is set";
    EXPECT_EQ(grid.GetColumnWidth(2), 10);
}

TEST(GridModel, DynamicCreationBuildsAnEmptyGrid)
{
    const CRuntimeClass* cls = CRuntimeClass::FromName("CGridCtrl");
    ASSERT_NE(cls, nullptr) << "the library entry registers the grid";
    std::unique_ptr<CObject> made(cls->CreateObject());
    auto* grid = dynamic_cast<CGridCtrl*>(made.get());
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->GetRowCount(), 0);
    EXPECT_EQ(grid->GetColumnCount(), 0);
    EXPECT_TRUE(grid->IsKindOf(RUNTIME_CLASS(CWnd)));
}

TEST(GridModel, CellsAreReadOnlyUntilClearedAndInsertRowOpensOneCell)
{
    GridProbe grid(3, 4, 1, 1);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col)
            EXPECT_FALSE(grid.IsCellEditable(row, col)) << row << "," << col;
    grid.SetItemState(2, 2, 0);
    EXPECT_TRUE(grid.IsCellEditable(2, 2));
    grid.SetEditable(FALSE);
    EXPECT_FALSE(grid.IsCellEditable(2, 2)) << "the grid-wide switch wins";
    grid.SetEditable(TRUE);

    const int row = grid.InsertRow("new");
    ASSERT_EQ(row, 3);
    EXPECT_EQ(grid.GetItemText(3, 0), "new");
    for (int col = 0; col < 4; ++col)
        EXPECT_EQ(grid.IsCellEditable(3, col), col == 1) << "only the first non-fixed cell is editable, col " << col;
    EXPECT_EQ(grid.GetFocusCell(), CCellID(3, 1)) << "the new row's first non-fixed cell takes the focus";
    EXPECT_TRUE(grid.GetItemState(3, 1) & CellFocused);
}

TEST(GridModel, SetItemTextTellsWhetherTheTextChanged)
{
    GridProbe grid(2, 2);
    EXPECT_TRUE(grid.SetItemText(1, 1, "abc"));
    EXPECT_TRUE(grid.GetModified());
    EXPECT_TRUE(grid.SetItemText(1, 1, "abc"));
    EXPECT_FALSE(grid.GetModified()) << "the same text clears the flag";
    EXPECT_TRUE(grid.SetItemText(1, 1, "abd"));
    EXPECT_TRUE(grid.GetModified());
    grid.SetModified(FALSE);
    EXPECT_FALSE(grid.SetItemText(5, 1, "x")) << "no cell";
    EXPECT_FALSE(grid.GetModified()) << "a refused text leaves the flag";

    CGridCtrl::GV_ITEM item{};
    item.row = 1;
    item.col = 1;
    item.mask = ItemMaskText;
    item.szText = "zzz";
    EXPECT_TRUE(grid.SetItem(&item));
    EXPECT_FALSE(grid.GetModified()) << "SetItem assigns without comparing";
    EXPECT_EQ(grid.GetItemText(1, 1), "zzz");
}

TEST(GridModel, InsertRowAppendsWithTheLastRowsHeight)
{
    GridProbe grid;
    EXPECT_EQ(grid.InsertRow("first"), 0) << "a grid without columns or rows still takes a row";
    EXPECT_EQ(grid.GetRowHeight(0), 12) << "no previous row: the default row height";
    grid.SetColumnCount(3);
    grid.SetRowCount(3);
    grid.SetItemText(1, 1, "middle");
    grid.SetRowHeight(2, 31);
    EXPECT_EQ(grid.InsertRow("a"), 3);
    EXPECT_EQ(grid.GetRowHeight(3), 31) << "height 0 copies the last row";
    EXPECT_EQ(grid.InsertRow("b", 1), 4) << "the second argument is a height, not a position";
    EXPECT_EQ(grid.GetRowHeight(4), 1);
    EXPECT_EQ(grid.GetItemText(1, 1), "middle") << "nothing was inserted in the middle";
    EXPECT_EQ(grid.InsertRow("c", -5), -1);
    EXPECT_EQ(grid.GetRowCount(), 5);
}

TEST(GridModel, InsertColumnAppendsOrInsertsAndRefusesPositionsPastTheEnd)
{
    GridProbe grid(3, 2, 1, 1);
    grid.SetItemText(1, 1, "b");
    EXPECT_EQ(grid.InsertColumn("X", DT_LEFT, 2), -1) << "a position equal to the count is refused";
    EXPECT_EQ(grid.GetColumnCount(), 2);

    EXPECT_EQ(grid.InsertColumn("Last", DT_RIGHT, -1), 2);
    EXPECT_EQ(grid.GetColumnCount(), 3);
    EXPECT_EQ(grid.GetItemText(0, 2), "Last");
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(grid.GetItemFormat(row, 2), UINT(DT_RIGHT));
    EXPECT_GE(grid.GetColumnWidth(2), 10);

    EXPECT_EQ(grid.InsertColumn("Mid", DT_LEFT, 1), 1);
    EXPECT_EQ(grid.GetItemText(0, 1), "Mid");
    EXPECT_EQ(grid.GetItemText(1, 2), "b") << "the old column moved right";
    EXPECT_EQ(grid.GetItemText(0, 3), "Last");

    GridProbe empty;
    EXPECT_EQ(empty.InsertColumn("only"), 0) << "a grid without rows gets one first";
    EXPECT_EQ(empty.GetRowCount(), 1);
    EXPECT_EQ(empty.GetItemText(0, 0), "only");
}

TEST(GridModel, NewCellsCopyTheFormatOfTheCellAboveExceptInRowAndColumnZero)
{
    GridProbe grid(1, 3);
    grid.SetItemFormat(0, 0, DT_LEFT);
    grid.SetItemFormat(0, 1, DT_RIGHT);
    grid.SetItemFormat(0, 2, DT_LEFT | DT_SINGLELINE);
    grid.SetRowCount(3);
    EXPECT_EQ(grid.GetItemFormat(1, 0), 0x8025u) << "column 0 keeps the default";
    EXPECT_EQ(grid.GetItemFormat(2, 1), UINT(DT_RIGHT));
    EXPECT_EQ(grid.GetItemFormat(2, 2), UINT(DT_LEFT | DT_SINGLELINE));
    grid.SetColumnCount(4);
    EXPECT_EQ(grid.GetItemFormat(0, 3), 0x8025u) << "row 0 keeps the default";
    EXPECT_EQ(grid.GetItemFormat(2, 3), 0x8025u);
}

TEST(GridModel, FixedCountsGrowTheGridAndCountsShrinkThem)
{
    GridProbe grid(3, 3);
    EXPECT_TRUE(grid.SetFixedRowCount(5));
    EXPECT_EQ(grid.GetRowCount(), 5);
    EXPECT_EQ(grid.GetFixedRowCount(), 5);
    EXPECT_TRUE(grid.SetFixedColumnCount(4));
    EXPECT_EQ(grid.GetColumnCount(), 4);
    EXPECT_TRUE(grid.SetRowCount(2));
    EXPECT_EQ(grid.GetFixedRowCount(), 2) << "fixed counts never exceed the counts";
    EXPECT_TRUE(grid.SetColumnCount(1));
    EXPECT_EQ(grid.GetFixedColumnCount(), 1);
    EXPECT_FALSE(grid.SetRowCount(-1));
    EXPECT_EQ(grid.GetRowCount(), 2);
}

TEST(GridModel, PositionsOutsideTheGridAreRefused)
{
    GridProbe grid(2, 2);
    for (auto [row, col] : {std::pair{-1, 0}, {0, -1}, {2, 0}, {0, 2}, {-1, -1}, {1 << 30, 1}}) {
        EXPECT_EQ(grid.GetCell(row, col), nullptr);
        EXPECT_FALSE(grid.SetItemText(row, col, "x"));
        EXPECT_EQ(grid.GetItemText(row, col), "");
        EXPECT_EQ(grid.GetItemImage(row, col), -1);
        EXPECT_EQ(grid.GetItemState(row, col), 0u);
        EXPECT_EQ(grid.GetItemFont(row, col), nullptr);
        EXPECT_FALSE(grid.SetCell(row, col, nullptr));
        EXPECT_TRUE(grid.IsCellEditable(row, col)) << "a missing cell has state 0";
    }
    EXPECT_EQ(grid.GetRowHeight(2), -1);
    EXPECT_EQ(grid.GetColumnWidth(-1), -1);
    EXPECT_FALSE(grid.SetRowHeight(0, -1));
    EXPECT_FALSE(grid.DeleteRow(2));
    EXPECT_FALSE(grid.DeleteColumn(-1));
    EXPECT_FALSE(grid.GetItem(nullptr));

    // A null cell pointer is tolerated everywhere.
    CGridCell* cell = grid.GetCell(1, 1);
    ASSERT_TRUE(grid.SetCell(1, 1, nullptr));
    EXPECT_EQ(grid.GetItemText(1, 1), "");
    EXPECT_FALSE(grid.SetItemData(1, 1, 7));
    EXPECT_TRUE(grid.SetCell(1, 1, cell));
}

TEST(GridModel, RangesAndValidity)
{
    GridProbe grid(5, 4);
    EXPECT_EQ(grid.GetCellRange(), CCellRange(0, 0, 4, 3));
    EXPECT_TRUE(grid.IsValid(CCellRange(3, 2, 1, 0))) << "the grid does not compare minima with maxima";
    EXPECT_FALSE(grid.IsValid(CCellRange(0, 0, 5, 3)));
    EXPECT_FALSE(grid.IsValid(CCellRange(-1, 0, 1, 1)));
    EXPECT_EQ(CCellRange(0, 1, 4, 3).Intersect(CCellRange(2, 0, 6, 2)), CCellRange(2, 1, 4, 2));
}

TEST(GridModel, GetNextItemScansByItsRules)
{
    GridProbe grid(6, 6, 1, 1);
    grid.SetItemState(4, 1, CellMarked);
    grid.SetItemState(4, 5, CellSelected);
    grid.SetItemState(2, 3, CellMarked);
    grid.SetItemState(1, 3, CellSelected);
    grid.SetItemState(2, 1, CellSelected);

    EXPECT_EQ(grid.GetNextItem(CCellID(2, 3), SearchAll | CellMarked | CellSelected), CCellID(4, 5))
        << "every row is scanned from the start column + 1, so (4, 1) is passed over";
    EXPECT_EQ(grid.GetNextItem(CCellID(0, 3), SearchAll | CellSelected), CCellID(4, 5))
        << "start row 0 begins at the fixed row; (1, 3) and (2, 1) lie left of column 4";
    EXPECT_EQ(grid.GetNextItem(CCellID(-1, -1), SearchAll | CellSelected), CCellID(1, 3));
    EXPECT_EQ(grid.GetNextItem(CCellID(5, 3), SearchAbove | CellMarked), CCellID(2, 3));
    EXPECT_EQ(grid.GetNextItem(CCellID(2, 3), SearchAbove | CellMarked), CCellID(-1, -1)) << "the start is skipped";
    EXPECT_EQ(grid.GetNextItem(CCellID(0, 3), SearchBelow | CellSelected), CCellID(1, 3));
    EXPECT_EQ(grid.GetNextItem(CCellID(4, 4), SearchToLeft | CellMarked), CCellID(4, 1));
    EXPECT_EQ(grid.GetNextItem(CCellID(4, 0), SearchToRight | CellSelected), CCellID(4, 5));
    EXPECT_EQ(grid.GetNextItem(CCellID(4, 0), CellSelected), CCellID(-1, -1)) << "no direction";
    EXPECT_EQ(grid.GetNextItem(CCellID(5, 4), SearchAll | SearchAbove | CellMarked), CCellID(-1, -1))
        << "after the whole-grid scan fails, rule 2 scans column 4 upwards";
    EXPECT_EQ(grid.GetNextItem(CCellID(5, 3), SearchAll | SearchAbove | CellMarked), CCellID(2, 3));
    EXPECT_EQ(grid.GetNextItem(CCellID(0, 1), SearchAll | CellMarked), CCellID(2, 3))
        << "(4, 1) is left of the scan; rule 3 would then look below (0, 1)";
}

TEST(GridModel, GetNextItemFromAnExtremeStartStaysInsideTheGrid)
{
    GridProbe grid(6, 6, 1, 1);
    grid.SetItemState(1, 2, CellMarked);
    grid.SetItemState(5, 3, CellMarked);
    grid.SetItemState(3, 4, CellMarked);
    constexpr int kMax = std::numeric_limits<int>::max(), kMin = std::numeric_limits<int>::min();
    EXPECT_EQ(grid.GetNextItem(CCellID(1, kMax), SearchAll | CellMarked), CCellID(-1, -1))
        << "no column lies right of the start";
    EXPECT_EQ(grid.GetNextItem(CCellID(kMin, kMin), SearchAll | CellMarked), CCellID(1, 2));
    EXPECT_EQ(grid.GetNextItem(CCellID(kMax, 3), SearchBelow | CellMarked), CCellID(-1, -1));
    EXPECT_EQ(grid.GetNextItem(CCellID(kMin, 3), SearchAbove | CellMarked), CCellID(-1, -1));
    EXPECT_EQ(grid.GetNextItem(CCellID(1 << 30, 3), SearchAbove | CellMarked), CCellID(5, 3));
    EXPECT_EQ(grid.GetNextItem(CCellID(3, kMax), SearchToRight | CellMarked), CCellID(-1, -1));
    EXPECT_EQ(grid.GetNextItem(CCellID(3, kMin), SearchToLeft | CellMarked), CCellID(-1, -1));
    EXPECT_EQ(grid.GetNextItem(CCellID(3, 1 << 30), SearchToLeft | CellMarked), CCellID(3, 4));
}

// A derived grid that changes its row count behind the grid's back.
class CountTamperingGrid : public GridProbe {
public:
    using GridProbe::GridProbe;
    void CountOneMoreRow() { ++m_nRows; }
};

TEST(GridModelDeathTest, SizeArraysThatDisagreeWithTheCountsStopAtTheNextChange)
{
#ifdef NDEBUG
    GTEST_SKIP() << "contracts are checked in debug builds";
#else
    EXPECT_DEATH(
        {
            CountTamperingGrid grid(3, 3, 1, 1);
            grid.CountOneMoreRow();
            grid.SetColumnWidth(1, 5);
        },
        "row heights.*SetRowCount");
#endif
}

// A grid whose cells run out after a number of allocations.
class StarvedGrid : public GridProbe {
public:
    using GridProbe::GridProbe;
    int cellsLeft = 1 << 30;
    CGridCell* CreateCell(int row, int col) override
    {
        if (cellsLeft <= 0)
            return nullptr;
        --cellsLeft;
        return CGridCtrl::CreateCell(row, col);
    }
};

TEST(GridModel, GrowthThatRunsOutOfCellsLeavesTheGridAsItWas)
{
    StarvedGrid grid(3, 3, 1, 1);
    grid.SetItemText(2, 2, "kept");
    grid.cellsLeft = 5;
    EXPECT_FALSE(grid.SetRowCount(10));
    EXPECT_EQ(grid.GetRowCount(), 3);
    EXPECT_EQ(grid.GetRowHeight(3), -1);
    grid.cellsLeft = 4;
    EXPECT_FALSE(grid.SetColumnCount(5));
    EXPECT_EQ(grid.GetColumnCount(), 3);
    EXPECT_EQ(grid.GetColumnWidth(3), -1);
    grid.cellsLeft = 2;
    EXPECT_EQ(grid.InsertRow("x"), -1);
    EXPECT_EQ(grid.InsertColumn("x"), -1);
    EXPECT_EQ(grid.GetRowCount(), 3);
    EXPECT_EQ(grid.GetColumnCount(), 3);
    EXPECT_EQ(grid.GetItemText(2, 2), "kept");
    EXPECT_FALSE(grid.SetFixedRowCount(6)) << "growing to the fixed count failed";
    EXPECT_EQ(grid.GetFixedRowCount(), 1);

    grid.cellsLeft = 1 << 30;
    EXPECT_TRUE(grid.SetRowCount(10));
    EXPECT_TRUE(grid.SetColumnCount(5));
    EXPECT_NE(grid.GetCell(9, 4), nullptr) << "the grid grows normally afterwards";
}

TEST(GridModel, CreateThatRunsOutOfMemoryForItsSizesFailsAndLeavesTheGridAsItWas)
{
    zorkit::test::OwnerWnd owner;
    ASSERT_TRUE(owner.CreateTop(CRect(0, 0, 300, 200)));
    // 37 rows and 23 columns: size arrays of 148 and 92 bytes.
    GridProbe grid(37, 23, 1, 1);
    grid.SetRowHeight(5, 30);
    grid.SetColumnWidth(7, 55);
    grid.SetItemText(5, 7, "kept");
    for (std::size_t bytes : {37 * sizeof(UINT), 23 * sizeof(UINT)}) {
        BOOL created = TRUE;
        int refused = 0;
        {
            zorkit::test::RefuseBlocksOf refuse(bytes);
            EXPECT_NO_THROW(created = grid.Create(CRect(0, 0, 300, 200), &owner, 100));
            refused = refuse.Refused();
        }
        EXPECT_FALSE(created) << bytes;
        EXPECT_GT(refused, 0) << bytes << ": the growth was asked for and turned down";
        EXPECT_FALSE(::IsWindow(grid.m_hWnd)) << bytes << ": no window is left behind";
        EXPECT_EQ(grid.GetRowCount(), 37);
        EXPECT_EQ(grid.GetColumnCount(), 23);
        EXPECT_EQ(grid.GetRowHeight(5), 30) << "the sizes are as they were";
        EXPECT_EQ(grid.GetColumnWidth(7), 55);
        EXPECT_EQ(grid.GetRowHeight(36), 12);
        EXPECT_EQ(grid.GetColumnWidth(22), 10);
        EXPECT_EQ(grid.GetItemText(5, 7), "kept");
    }

    ASSERT_TRUE(grid.Create(CRect(0, 0, 300, 200), &owner, 100)) << "with memory again, creation works";
    EXPECT_EQ(grid.GetRowHeight(5), grid.DefaultRowHeight()) << "creation starts every row at the font's height";
    EXPECT_EQ(grid.GetRowHeight(36), grid.DefaultRowHeight());
    EXPECT_EQ(grid.GetColumnWidth(7), grid.GetColumnWidth(22));
    EXPECT_NE(grid.GetColumnWidth(7), 55);
    EXPECT_GT(grid.VScrollMax(), 0) << "37 rows do not fit in 200 pixels";
    grid.DestroyWindow();
    owner.DestroyWindow();
}

// Each growth of the model asks for room in its arrays before changing anything; when a
// request is refused, the operation answers failure and the grid is as it was.
TEST(GridModel, GrowthWhoseArraysCannotGrowLeavesTheGridAsItWas)
{
    struct Case {
        const char* what;
        std::size_t bytes;
        std::function<bool(GridProbe&)> grow;
    };
    const Case cases[] = {
        {"row pointers", 50 * sizeof(CGridRow*), [](GridProbe& g) { return g.SetRowCount(50) != FALSE; }},
        {"row heights", 50 * sizeof(UINT), [](GridProbe& g) { return g.SetRowCount(50) != FALSE; }},
        {"fixed rows", 50 * sizeof(UINT), [](GridProbe& g) { return g.SetFixedRowCount(50) != FALSE; }},
        {"column widths", 30 * sizeof(UINT), [](GridProbe& g) { return g.SetColumnCount(30) != FALSE; }},
        {"a row's cells", 30 * sizeof(CGridCell*), [](GridProbe& g) { return g.SetColumnCount(30) != FALSE; }},
        {"inserted row's pointer", 38 * sizeof(CGridRow*), [](GridProbe& g) { return g.InsertRow("new") != -1; }},
        {"inserted row's height", 38 * sizeof(UINT), [](GridProbe& g) { return g.InsertRow("new") != -1; }},
        {"inserted row's cells", 23 * sizeof(CGridCell*), [](GridProbe& g) { return g.InsertRow("new") != -1; }},
        {"inserted column's width", 24 * sizeof(UINT), [](GridProbe& g) { return g.InsertColumn("new") != -1; }},
        {"inserted column's cells", 24 * sizeof(CGridCell*),
         [](GridProbe& g) { return g.InsertColumn("new", 0x25, 3) != -1; }},
    };
    for (const Case& c : cases) {
        ASSERT_NE(c.bytes, sizeof(CGridCell)) << c.what << ": only the array's request is refused";
        GridProbe grid(37, 23, 1, 1);
        grid.SetItemText(36, 22, "kept");
        grid.SetRowHeight(36, 31);
        grid.SetColumnWidth(22, 17);
        bool grew = true;
        int refused = 0;
        {
            zorkit::test::RefuseBlocksOf refuse(c.bytes);
            EXPECT_NO_THROW(grew = c.grow(grid)) << c.what;
            refused = refuse.Refused();
        }
        EXPECT_FALSE(grew) << c.what;
        EXPECT_GT(refused, 0) << c.what;
        EXPECT_EQ(grid.GetRowCount(), 37) << c.what;
        EXPECT_EQ(grid.GetColumnCount(), 23) << c.what;
        EXPECT_EQ(grid.GetFixedRowCount(), 1) << c.what;
        EXPECT_EQ(grid.GetRowHeight(36), 31) << c.what;
        EXPECT_EQ(grid.GetColumnWidth(22), 17) << c.what;
        EXPECT_EQ(grid.GetItemText(36, 22), "kept") << c.what;
        EXPECT_EQ(grid.GetItemText(0, 3), "") << c.what << ": no column moved in";
        EXPECT_EQ(grid.GetCell(37, 0), nullptr) << c.what;

        EXPECT_TRUE(c.grow(grid)) << c.what << ": with memory again the same growth works";
    }
}

// Counts the cells a grid empties, to show every removal passes through EmptyCell.
class CountingGrid : public GridProbe {
public:
    using GridProbe::GridProbe;
    int emptied = 0;
    void EmptyCell(CGridCell* cell, int row, int col) override
    {
        ++emptied;
        CGridCtrl::EmptyCell(cell, row, col);
    }
};

TEST(GridModel, EveryRemovedCellIsEmptiedFirst)
{
    CountingGrid grid(4, 3, 1, 1);
    grid.SetRowCount(3);
    EXPECT_EQ(grid.emptied, 3);
    grid.SetColumnCount(2);
    EXPECT_EQ(grid.emptied, 6);
    grid.DeleteRow(1);
    EXPECT_EQ(grid.emptied, 8);
    grid.DeleteColumn(1);
    EXPECT_EQ(grid.emptied, 10);
    grid.DeleteAllItems();
    EXPECT_EQ(grid.emptied, 12);
    EXPECT_EQ(grid.GetRowCount(), 0);
    EXPECT_EQ(grid.GetFixedRowCount(), 0);
}

TEST(GridModel, DeleteNonFixedRowsKeepsTheHeadings)
{
    GridProbe grid(6, 2, 2, 1);
    grid.SetItemText(1, 1, "head");
    EXPECT_TRUE(grid.DeleteNonFixedRows());
    EXPECT_EQ(grid.GetRowCount(), 2);
    EXPECT_EQ(grid.GetItemText(1, 1), "head");
}

TEST_F(GridTest, DeleteColumnClearsTheFocusAndTellsTheOwner)
{
    grid.SetFocusCell(3, 2);
    owner.events.clear();
    EXPECT_TRUE(grid.DeleteColumn(2));
    EXPECT_EQ(grid.GetFocusCell(), CCellID(-1, -1));
    EXPECT_EQ(owner.NotifyCodes(), std::vector<int>{GridNotifyFocusLeaving});
    EXPECT_EQ(grid.GetColumnCount(), 5);
    EXPECT_EQ(grid.GetItemText(3, 2), "3,3");
    EXPECT_FALSE(grid.GetItemState(3, 2) & CellFocused);
}

TEST_F(GridTest, DeleteRowReappliesTheFocusToTheCellThatMovedIntoPlace)
{
    grid.SetFocusCell(3, 2);
    owner.events.clear();
    EXPECT_TRUE(grid.DeleteRow(2));
    EXPECT_EQ(grid.GetFocusCell(), CCellID(3, 2));
    EXPECT_EQ(owner.NotifyCodes(), (std::vector<int>{GridNotifyFocusLeaving, GridNotifyFocusEntered}));
    EXPECT_EQ(grid.GetItemText(3, 2), "4,2");
    EXPECT_TRUE(grid.GetItemState(3, 2) & CellFocused);
}

// Every cell that carries the focus mark; the focus cell alone should.
std::vector<CCellID> FocusedCells(const CGridCtrl& grid)
{
    std::vector<CCellID> found;
    for (int row = 0; row < grid.GetRowCount(); ++row)
        for (int col = 0; col < grid.GetColumnCount(); ++col)
            if (grid.GetItemState(row, col) & CellFocused)
                found.emplace_back(row, col);
    return found;
}

TEST_F(GridTest, DeletingARowAboveTheFocusLeavesOneFocusMarkAndOneFrame)
{
    grid.SetFocusCell(5, 2);
    ASSERT_TRUE(grid.DeleteRow(2));
    EXPECT_EQ(grid.GetFocusCell(), CCellID(5, 2));
    EXPECT_EQ(FocusedCells(grid), std::vector<CCellID>{CCellID(5, 2)}) << "the mark did not move up with its cell";
    EXPECT_EQ(grid.GetNextItem(CCellID(-1, -1), SearchAll | CellFocused), CCellID(5, 2));
    Settle();
    EXPECT_EQ(Pixel(80, 110), RGB(0, 0, 0)) << "the frame of the focus cell (5, 2)";
    EXPECT_EQ(Pixel(80, 90), grid.GetTextBkColor()) << "no frame on (4, 2), where the old focus cell went";
}

TEST_F(GridTest, AFocusLeftOutsideTheGridByDeleteRowIsDropped)
{
    // Both headings read "C" so that a bold one shows against the other.
    grid.SetItemText(0, 2, "C");
    grid.SetItemText(0, 3, "C");
    grid.SetFocusCell(9, 2);
    owner.events.clear();
    ASSERT_TRUE(grid.DeleteRow(3));
    EXPECT_EQ(grid.GetFocusCell(), CCellID(-1, -1)) << "no cell lies at (9, 2) any more";
    EXPECT_TRUE(owner.events.empty()) << "no notification names a cell that is gone";
    EXPECT_TRUE(FocusedCells(grid).empty());

    grid.Invalidate();
    Settle();
    auto snapshot = zorkit::CaptureWindow(grid.m_hWnd, true);
    for (int y = 1; y < 19; ++y)
        for (int x = 1; x < 39; ++x)
            ASSERT_EQ(snapshot->GetPixel(80 + x, y), snapshot->GetPixel(120 + x, y))
                << "column 2's heading looks like column 3's at " << x << "," << y;

    ASSERT_TRUE(grid.SetRowCount(12));
    EXPECT_EQ(grid.GetFocusCell(), CCellID(-1, -1)) << "growth does not bring the old focus back";
    EXPECT_TRUE(FocusedCells(grid).empty());
    EXPECT_TRUE(owner.events.empty());
}

TEST_F(GridTest, AFocusTheOwnerLeftPastTheDeletedColumnIsDropped)
{
    grid.SetFocusCell(3, 2);
    owner.onNotify = [this](const GridNotifyRecord& record) {
        if (int(record.hdr.code) == GridNotifyFocusLeaving && record.iColumn == 2)
            grid.SetFocusCell(3, 5);
    };
    ASSERT_TRUE(grid.DeleteColumn(1));
    owner.onNotify = nullptr;
    EXPECT_EQ(grid.GetFocusCell(), CCellID(-1, -1)) << "column 5 went";
    EXPECT_TRUE(FocusedCells(grid).empty()) << "the mark did not move left with its cell";
    ASSERT_TRUE(grid.SetColumnCount(8));
    EXPECT_EQ(grid.GetFocusCell(), CCellID(-1, -1));
    EXPECT_TRUE(FocusedCells(grid).empty());
}

TEST_F(GridTest, DeletingEveryNonFixedRowDropsTheFocusSilently)
{
    grid.SetFocusCell(1, 1);
    owner.events.clear();
    for (int row = grid.GetRowCount() - 1; row >= 1; --row)
        ASSERT_TRUE(grid.DeleteRow(row));
    EXPECT_EQ(grid.GetFocusCell(), CCellID(-1, -1));
    const auto codes = owner.NotifyCodes();
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.back(), GridNotifyFocusEntered) << "the last deletion sent nothing";
}

TEST_F(GridTest, FocusLeavingIsSentWhileTheGridAlreadyHoldsTheNewFocus)
{
    grid.SetFocusCell(2, 2);
    owner.events.clear();
    CCellID previous = grid.SetFocusCell(4, 3);
    EXPECT_EQ(previous, CCellID(2, 2));
    ASSERT_EQ(owner.events.size(), 2u);
    const auto& leaving = owner.events[0];
    EXPECT_EQ(int(leaving.hdr.code), GridNotifyFocusLeaving);
    EXPECT_EQ(leaving.hdr.hwndFrom, grid.m_hWnd);
    EXPECT_EQ(leaving.hdr.idFrom, kGridId);
    EXPECT_EQ(leaving.wParam, kGridId);
    EXPECT_EQ(std::make_pair(leaving.row, leaving.col), std::make_pair(2, 2));
    EXPECT_EQ(leaving.focusAtTheTime, CCellID(4, 3));
    EXPECT_EQ(int(owner.events[1].hdr.code), GridNotifyFocusEntered);
    EXPECT_EQ(std::make_pair(owner.events[1].row, owner.events[1].col), std::make_pair(4, 3));
}

TEST_F(GridTest, AnOwnerThatDeletesRowsWhileTheFocusLeavesLeavesNoStaleCell)
{
    grid.SetFocusCell(9, 2);
    owner.onNotify = [this](const GridNotifyRecord& record) {
        if (int(record.hdr.code) == GridNotifyFocusLeaving)
            grid.SetRowCount(5);
    };
    grid.SetFocusCell(8, 2);
    EXPECT_EQ(grid.GetRowCount(), 5);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(-1, -1)) << "shrinking past the focus cleared it";
    for (int row = 0; row < 5; ++row)
        for (int col = 0; col < 6; ++col)
            EXPECT_FALSE(grid.GetItemState(row, col) & CellFocused);
}

}
