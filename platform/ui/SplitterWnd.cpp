#include "zorkit/platform/ui/SplitterWnd.h"

#include <algorithm>

#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/ui/MessageCrackers.h"
#include "zorkit/platform/ui/PaintDC.h"
#include "zorkit/platform/ui/WindowClass.h"

IMPLEMENT_DYNAMIC(CSplitterWnd, CWnd)

const CMessageMap* CSplitterWnd::GetThisMessageMap()
{
    static const CMessageMap map(&CWnd::GetThisMessageMap, {
        zorkit::MapMessage<WM_SIZE>(&CSplitterWnd::OnSize),
        zorkit::MapMessage<WM_PAINT>(&CSplitterWnd::OnPaint),
        zorkit::MapMessage<WM_HSCROLL>(&CSplitterWnd::OnHScroll),
        zorkit::MapMessage<WM_VSCROLL>(&CSplitterWnd::OnVScroll),
    });
    return &map;
}

const CMessageMap* CSplitterWnd::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CSplitterWnd::CreateStatic(CWnd* parent, int rows, int cols, DWORD style, UINT id)
{
    if (rows < 1 || cols < 1 || rows > 16 || cols > 16 || !parent)
        return FALSE;
    m_rows = rows;
    m_cols = cols;
    m_rowIdeal.assign(std::size_t(rows), 0);
    m_colIdeal.assign(std::size_t(cols), 0);
    CRect area;
    parent->GetClientRect(&area);
    LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW),
                                      reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_BTNFACE + 1)));
    // The scroll bars are shared controls, not the splitter's own.
    DWORD own = (style | WS_CHILD) & ~(WS_HSCROLL | WS_VSCROLL | WS_BORDER);
    if (!CreateEx(0, cls, nullptr, own, area, parent, id))
        return FALSE;
    for (int r = 0; (style & WS_VSCROLL) && r < rows; ++r) {
        m_vbars.push_back(std::make_unique<CScrollBar>());
        m_vbars.back()->Create(WS_VISIBLE | SBS_VERT, CRect(), this, AFX_IDW_VSCROLL_FIRST + UINT(r));
    }
    for (int c = 0; (style & WS_HSCROLL) && c < cols; ++c) {
        m_hbars.push_back(std::make_unique<CScrollBar>());
        m_hbars.back()->Create(WS_VISIBLE | SBS_HORZ, CRect(), this, AFX_IDW_HSCROLL_FIRST + UINT(c));
    }
    RecalcLayout();
    return TRUE;
}

BOOL CSplitterWnd::CreateView(int row, int col, const CRuntimeClass* viewClass, SIZE initialSize,
                              CCreateContext* context)
{
    if (row < 0 || row >= m_rows || col < 0 || col >= m_cols || !viewClass || GetPane(row, col))
        return FALSE;
    auto* wnd = dynamic_cast<CWnd*>(viewClass->CreateObject());
    if (!wnd)
        return FALSE;
    if (auto* view = dynamic_cast<CView*>(wnd))
        view->m_bAutoDelete = TRUE;
    m_rowIdeal[std::size_t(row)] = std::max(m_rowIdeal[std::size_t(row)], int(initialSize.cy));
    m_colIdeal[std::size_t(col)] = std::max(m_colIdeal[std::size_t(col)], int(initialSize.cx));
    if (!wnd->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, initialSize.cx, initialSize.cy), this,
                     UINT(IdFromRowCol(row, col)), context)) {
        // A view that never got a window does not delete itself.
        delete wnd;
        return FALSE;
    }
    RecalcLayout();
    return TRUE;
}

CWnd* CSplitterWnd::GetPane(int row, int col) const { return GetDlgItem(IdFromRowCol(row, col)); }

BOOL CSplitterWnd::IsChildPane(CWnd* wnd, int* row, int* col) const
{
    if (!wnd || wnd->GetParent() != this)
        return FALSE;
    int id = wnd->GetDlgCtrlID() - int(AFX_IDW_PANE_FIRST);
    if (id < 0 || id / 16 >= m_rows || id % 16 >= m_cols)
        return FALSE;
    *row = id / 16;
    *col = id % 16;
    return TRUE;
}

CScrollBar* CSplitterWnd::GetSharedScrollBar(int bar, int row, int col) const
{
    if (bar == SB_VERT && row >= 0 && row < int(m_vbars.size()))
        return m_vbars[std::size_t(row)].get();
    if (bar == SB_HORZ && col >= 0 && col < int(m_hbars.size()))
        return m_hbars[std::size_t(col)].get();
    return nullptr;
}

void CSplitterWnd::SetRowInfo(int row, int ideal, int)
{
    if (row >= 0 && row < m_rows)
        m_rowIdeal[std::size_t(row)] = ideal;
}

void CSplitterWnd::SetColumnInfo(int col, int ideal, int)
{
    if (col >= 0 && col < m_cols)
        m_colIdeal[std::size_t(col)] = ideal;
}

namespace {

// Splits `length` into sizes by the ideals; the last one takes what is left.
std::vector<int> Split(int length, const std::vector<int>& ideal, int gap)
{
    std::vector<int> sizes(ideal.size());
    int left = length - gap * (int(ideal.size()) - 1);
    for (std::size_t i = 0; i < ideal.size(); ++i) {
        bool last = i + 1 == ideal.size();
        int share = ideal[i] > 0 ? ideal[i] : left / int(ideal.size() - i);
        sizes[i] = std::max(0, last ? left : std::min(share, left));
        left -= sizes[i];
    }
    return sizes;
}

}

void CSplitterWnd::RecalcLayout()
{
    if (!m_hWnd)
        return;
    CRect client;
    GetClientRect(&client);
    int vbarWidth = m_vbars.empty() ? 0 : GetSystemMetrics(SM_CXVSCROLL);
    int hbarHeight = m_hbars.empty() ? 0 : GetSystemMetrics(SM_CYHSCROLL);
    std::vector<int> widths = Split(client.Width() - vbarWidth, m_colIdeal, kGap);
    std::vector<int> heights = Split(client.Height() - hbarHeight, m_rowIdeal, kGap);
    int y = 0;
    for (int r = 0; r < m_rows; ++r) {
        int x = 0;
        for (int c = 0; c < m_cols; ++c) {
            if (CWnd* pane = GetPane(r, c))
                pane->MoveWindow(x, y, widths[std::size_t(c)], heights[std::size_t(r)]);
            if (r == 0 && c < int(m_hbars.size()))
                m_hbars[std::size_t(c)]->MoveWindow(x, client.Height() - hbarHeight, widths[std::size_t(c)], hbarHeight);
            x += widths[std::size_t(c)] + kGap;
        }
        if (r < int(m_vbars.size()))
            m_vbars[std::size_t(r)]->MoveWindow(client.Width() - vbarWidth, y, vbarWidth, heights[std::size_t(r)]);
        y += heights[std::size_t(r)] + kGap;
    }
    Invalidate();
}

void CSplitterWnd::OnSize(UINT, int, int) { RecalcLayout(); }

void CSplitterWnd::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, GetSysColor(COLOR_BTNFACE));
}

void CSplitterWnd::OnHScroll(UINT code, UINT pos, CScrollBar* bar)
{
    int col = bar ? bar->GetDlgCtrlID() - int(AFX_IDW_HSCROLL_FIRST) : -1;
    for (int r = 0; col >= 0 && col < m_cols && r < m_rows; ++r)
        if (CWnd* pane = GetPane(r, col))
            pane->SendMessage(WM_HSCROLL, MAKEWPARAM(WORD(code), WORD(pos)), reinterpret_cast<LPARAM>(bar->m_hWnd));
}

void CSplitterWnd::OnVScroll(UINT code, UINT pos, CScrollBar* bar)
{
    int row = bar ? bar->GetDlgCtrlID() - int(AFX_IDW_VSCROLL_FIRST) : -1;
    for (int c = 0; row >= 0 && row < m_rows && c < m_cols; ++c)
        if (CWnd* pane = GetPane(row, c))
            pane->SendMessage(WM_VSCROLL, MAKEWPARAM(WORD(code), WORD(pos)), reinterpret_cast<LPARAM>(bar->m_hWnd));
}
