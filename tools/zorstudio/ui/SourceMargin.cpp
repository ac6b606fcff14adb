#include "tools/zorstudio/ui/SourceMargin.h"

#include <string>

#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/ui/MessageCrackers.h"
#include "zorkit/platform/ui/PaintDC.h"
#include "zorkit/platform/ui/WindowClass.h"

namespace zorstudio {
namespace {

constexpr int kMarkLeft = 3;
constexpr int kMarkSize = 9;
constexpr int kNumberRight = 4;
constexpr COLORREF kNumberText = RGB(110, 110, 110);
constexpr COLORREF kBackground = RGB(236, 236, 236);

// A right-pointing triangle, filled, with its left edge at x.
void DrawArrow(CDC& dc, int x, int top, int height)
{
    const int half = height / 2;
    for (int column = 0; column <= half; ++column) {
        const int reach = half - column;
        dc.FillSolidRect(x + column, top + half - reach, 1, 2 * reach + 1, RGB(0, 0, 0));
        if (reach > 1)
            dc.FillSolidRect(x + column, top + half - reach + 1, 1, 2 * reach - 1, CSourceMargin::kCurrentLine);
    }
}

}

BOOL CSourceMargin::Create(CWnd* parent, CTextView& editor, UINT id)
{
    m_editor = &editor;
    static LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW));
    return CreateEx(0, cls, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, kWidth, 1), parent, id);
}

const CMessageMap* CSourceMargin::GetThisMessageMap()
{
    static const CMessageMap map(&CWnd::GetThisMessageMap, {
        zorkit::MapMessage<WM_PAINT>(&CSourceMargin::OnPaint),
        zorkit::MapMessage<WM_LBUTTONDOWN>(&CSourceMargin::OnLButtonDown),
    });
    return &map;
}

const CMessageMap* CSourceMargin::GetMessageMap() const { return GetThisMessageMap(); }

int CSourceMargin::TopLine() const { return m_editor->ClientToText(CPoint(m_editor->GetMarginWidth(), 0)).y; }

void CSourceMargin::SetMarks(std::set<int> breakpoints, int current)
{
    if (breakpoints == m_breakpoints && current == m_current)
        return;
    m_breakpoints = std::move(breakpoints);
    m_current = current;
    if (m_hWnd)
        Invalidate(FALSE);
}

void CSourceMargin::Follow()
{
    if (!m_hWnd || (TopLine() == m_paintedTop && m_editor->GetLineCount() == m_paintedCount))
        return;
    Invalidate(FALSE);
    UpdateWindow();
}

CRect CSourceMargin::LineRect(int line)
{
    const int row = line - TopLine();
    const int height = m_editor->GetLineHeight();
    CRect client;
    GetClientRect(&client);
    if (row < 0 || (row + 1) * height > client.bottom)
        return CRect();
    return CRect(0, row * height, client.right, (row + 1) * height);
}

void CSourceMargin::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, kBackground);
    m_paintedTop = TopLine();
    m_paintedCount = m_editor->GetLineCount();
    const int height = m_editor->GetLineHeight();
    dc.SelectStockObject(DEFAULT_GUI_FONT);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(kNumberText);
    for (int row = 0; row * height < client.bottom && m_paintedTop + row < m_paintedCount; ++row) {
        const int line = m_paintedTop + row;
        const int top = row * height;
        const int markTop = top + (height - kMarkSize) / 2;
        if (line == m_current)
            dc.FillSolidRect(0, top, client.right, height, kCurrentLine);
        if (m_breakpoints.count(line))
            dc.FillSolidRect(kMarkLeft, markTop, kMarkSize, kMarkSize, kBreakpoint);
        if (line == m_current)
            DrawArrow(dc, kMarkLeft + 1, markTop, kMarkSize);
        const std::string number = std::to_string(line + 1);
        CRect text(kMarkLeft + kMarkSize, top, client.right - kNumberRight, top + height);
        dc.DrawText(number.c_str(), int(number.size()), &text, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    }
}

void CSourceMargin::OnLButtonDown(UINT, CPoint point)
{
    const int line = TopLine() + point.y / m_editor->GetLineHeight();
    if (line < m_editor->GetLineCount() && onLineClick)
        onLineClick(line);
}

}
