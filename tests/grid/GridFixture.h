// A grid in a top-level owner window that records every notification and command the
// grid sends it, and a probe that opens the grid's protected operations to the tests.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "zorkit/grid/GridCellEditor.h"
#include "zorkit/grid/GridCtrl.h"
#include "zorkit/platform/gdi/Surface.h"
#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/ui/Input.h"
#include "zorkit/platform/ui/Snapshot.h"
#include "zorkit/platform/ui/WindowClass.h"
#include "zorkit/platform/ui/internal/KeyState.h"

namespace zorkit::test {

// What the owner received, in order.
struct OwnerEvent {
    UINT message;          // WM_NOTIFY or WM_COMMAND
    NMHDR hdr{};           // notifications
    int row = 0;
    int col = 0;
    std::string text;
    WPARAM wParam = 0;     // commands
    LPARAM lParam = 0;
    CCellID focusAtTheTime;
};

class GridProbe;

class OwnerWnd : public CWnd {
public:
    std::vector<OwnerEvent> events;
    int wheelMessages = 0;
    GridProbe* grid = nullptr;
    // Runs inside the handler of each notification (a host deleting rows, say).
    std::function<void(const GridNotifyRecord&)> onNotify;

    BOOL CreateTop(const CRect& rect)
    {
        static LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW),
                                                 reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_WINDOW + 1)));
        return CreateEx(0, cls, "owner", WS_POPUP | WS_VISIBLE, rect, nullptr, 0);
    }
    std::vector<int> NotifyCodes() const
    {
        std::vector<int> codes;
        for (const auto& e : events)
            if (e.message == WM_NOTIFY)
                codes.push_back(int(e.hdr.code));
        return codes;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class GridProbe : public CGridCtrl {
public:
    using CGridCtrl::CGridCtrl;
    using CGridCtrl::GetCell;
    using CGridCtrl::GetCellFromPt;
    using CGridCtrl::GetCellRangeRect;
    using CGridCtrl::GetScrollPos32;
    using CGridCtrl::InvalidateCellRect;
    using CGridCtrl::ResetScrollBars;
    using CGridCtrl::SendMessageToParent;
    using CGridCtrl::SetCell;
    using CGridCtrl::SetFocusCell;
    using CGridCtrl::SetMouseMode;
    const LOGFONT& FontRecord() const { return m_Logfont; }
    int Margin() const { return m_nMargin; }
    int DefaultRowHeight() const { return m_nDefCellHeight; }
    int VScrollMax() const { return m_nVScrollMax; }
    int HScrollMax() const { return m_nHScrollMax; }
    int RowsPerWheelNotch() const { return m_nRowsPerWheelNotch; }
    CGridTitleTip& TitleTip() { return m_TitleTip; }

    // Scroll requests as they reach the grid, posted or sent.
    std::vector<std::pair<UINT, UINT>> scrolls;
    // Runs before the grid handles each message (a host's subclass, say).
    std::function<void(UINT, WPARAM, LPARAM)> onMessage;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (onMessage)
            onMessage(message, wParam, lParam);
        if (message == WM_HSCROLL || message == WM_VSCROLL)
            scrolls.emplace_back(message, UINT(LOWORD(wParam)));
        return CGridCtrl::WindowProc(message, wParam, lParam);
    }
};

inline LRESULT OwnerWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_MOUSEWHEEL)
        ++wheelMessages;
    if (message == WM_NOTIFY) {
        const auto* record = reinterpret_cast<const GridNotifyRecord*>(lParam);
        OwnerEvent e{message, record->hdr, record->iRow, record->iColumn, record->szText.str(), wParam, lParam,
                     grid ? grid->GetFocusCell() : CCellID()};
        events.push_back(e);
        if (onNotify)
            onNotify(*record);
        return 0;
    }
    if (message == WM_COMMAND) {
        OwnerEvent e{message, {}, 0, 0, {}, wParam, lParam, grid ? grid->GetFocusCell() : CCellID()};
        events.push_back(e);
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

// A 10 x 6 grid (one fixed row and column) in a 300 x 200 owner, cells 40 x 20.
struct GridTest : ::testing::Test {
    static constexpr UINT kGridId = 100;

    void SetUp() override
    {
        zorkit::ReleaseAllKeys();
        zorkit::SystemSettings::Instance().Reset();
        ASSERT_TRUE(owner.CreateTop(CRect(0, 0, 300, 200)));
        owner.grid = &grid;
        Build(10, 6, 1, 1);
    }
    void TearDown() override
    {
        grid.DestroyWindow();
        owner.DestroyWindow();
        zorkit::ReleaseAllKeys();
        zorkit::SystemSettings::Instance().Reset();
    }

    void Build(int rows, int cols, int fixedRows, int fixedCols, CRect rect = CRect(0, 0, 300, 200))
    {
        ASSERT_TRUE(grid.SetRowCount(rows));
        ASSERT_TRUE(grid.SetColumnCount(cols));
        ASSERT_TRUE(grid.SetFixedRowCount(fixedRows));
        ASSERT_TRUE(grid.SetFixedColumnCount(fixedCols));
        ASSERT_TRUE(grid.Create(rect, &owner, kGridId));
        for (int row = 0; row < rows; ++row)
            grid.SetRowHeight(row, 20);
        for (int col = 0; col < cols; ++col)
            grid.SetColumnWidth(col, 40);
        for (int row = 0; row < rows; ++row)
            for (int col = 0; col < cols; ++col)
                grid.SetItemText(row, col, Label(row, col).c_str());
        grid.ResetScrollBars();
        grid.Invalidate();  // sizes change without a repaint
        Settle();
    }
    // More rows and columns of the same size and kind.
    void Grow(int rows, int cols)
    {
        grid.SetRowCount(rows);
        grid.SetColumnCount(cols);
        for (int row = 0; row < rows; ++row) {
            grid.SetRowHeight(row, 20);
            for (int col = 0; col < cols; ++col)
                grid.SetItemText(row, col, Label(row, col).c_str());
        }
        for (int col = 0; col < cols; ++col)
            grid.SetColumnWidth(col, 40);
        grid.ResetScrollBars();
        grid.Invalidate();
        Settle();
    }
    static std::string Label(int row, int col)
    {
        if (row == 0)
            return "C" + std::to_string(col);
        if (col == 0)
            return "R" + std::to_string(row);
        return std::to_string(row) + "," + std::to_string(col);
    }
    void Settle()
    {
        grid.UpdateWindow();
        zorkit::PumpPendingMessages();
    }
    COLORREF Pixel(int x, int y) { return zorkit::CaptureWindow(grid.m_hWnd, true)->GetPixel(x, y); }
    CPoint Screen(int x, int y)
    {
        CPoint p(x, y);
        grid.ClientToScreen(&p);
        return p;
    }
    void ClearInvalid()
    {
        grid.UpdateWindow();
        zorkit::PumpPendingMessages();
    }
    CRect UpdateRect()
    {
        CRect r;
        grid.GetUpdateRect(&r, FALSE);
        return r;
    }

    // Input, as a user gives it: each event after the previous one was handled, to the
    // window that has the focus or the pointer then. Clicks are far apart in time, except
    // the two of a double click.
    void Key(UINT key, bool down = true)
    {
        zorkit::DeliverInput({down ? zorkit::InputKind::KeyDown : zorkit::InputKind::KeyUp, CPoint(),
                              zorkit::MouseButton::Left, 0, key, 0});
    }
    void Press(UINT key)
    {
        Key(key);
        Key(key, false);
    }
    void PressWith(UINT modifier, UINT key)
    {
        Key(modifier);
        Press(key);
        Key(modifier, false);
    }
    void Type(const char* utf8) { zorkit::DeliverText(utf8); }
    void Mouse(zorkit::InputKind kind, int x, int y, DWORD time = 0)
    {
        zorkit::DeliverInput({kind, Screen(x, y), zorkit::MouseButton::Left, 0, 0, time ? time : NextClickTime()});
    }
    void MoveTo(int x, int y) { Mouse(zorkit::InputKind::MouseMove, x, y); }
    void Down(int x, int y) { Mouse(zorkit::InputKind::ButtonDown, x, y); }
    void Up(int x, int y) { Mouse(zorkit::InputKind::ButtonUp, x, y); }
    void Click(int x, int y)
    {
        Down(x, y);
        Up(x, y);
    }
    // Two clicks in quick succession, the hand held still between them.
    void DoubleClick(int x, int y)
    {
        const DWORD first = NextClickTime();
        Mouse(zorkit::InputKind::ButtonDown, x, y, first);
        Mouse(zorkit::InputKind::ButtonUp, x, y, first + 10);
        Mouse(zorkit::InputKind::ButtonDown, x, y, first + 20);
        Mouse(zorkit::InputKind::ButtonUp, x, y, first + 30);
    }
    void Wheel(int delta)
    {
        zorkit::DeliverInput({zorkit::InputKind::Wheel, Screen(50, 50), zorkit::MouseButton::Left, delta, 0, 0});
    }
    DWORD NextClickTime() { return m_clock += 10000; }

    // The open cell editor, or null.
    CGridCellEditor* Editor()
    {
        for (HWND child = ::GetWindow(grid.m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
            if (auto* editor = dynamic_cast<CGridCellEditor*>(CWnd::FromHandlePermanent(child)))
                return editor;
        return nullptr;
    }
    std::string EditorText()
    {
        CString text;
        Editor()->GetWindowText(text);
        return text.str();
    }
    std::pair<int, int> EditorSel()
    {
        int start = 0, end = 0;
        Editor()->GetSel(start, end);
        return {start, end};
    }
    // Focus and a clean record, ready for input.
    void Focus(int row, int col)
    {
        grid.SetFocus();
        grid.SetFocusCell(row, col);
        zorkit::PumpPendingMessages();
        owner.events.clear();
        grid.scrolls.clear();
    }

    OwnerWnd owner;
    GridProbe grid;

private:
    DWORD m_clock = 100000;
};

}
