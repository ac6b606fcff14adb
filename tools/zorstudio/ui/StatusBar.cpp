#include "tools/zorstudio/ui/StatusBar.h"

#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/ui/MessageCrackers.h"
#include "zorkit/platform/ui/PaintDC.h"
#include "zorkit/platform/ui/WindowClass.h"

namespace zorstudio {
namespace {

constexpr int kGap = 2;
constexpr int kTextInset = 4;

}

CStatusBar::CStatusBar(std::vector<int> paneWidths) : m_widths(std::move(paneWidths)), m_texts(m_widths.size() + 1) {}

BOOL CStatusBar::Create(CWnd* parent, const CRect& rect, UINT id)
{
    static LPCTSTR cls = AfxRegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW));
    return CreateEx(0, cls, "", WS_CHILD | WS_VISIBLE, rect, parent, id);
}

const CMessageMap* CStatusBar::GetThisMessageMap()
{
    static const CMessageMap map(&CWnd::GetThisMessageMap, {
        zorkit::MapMessage<WM_PAINT>(&CStatusBar::OnPaint),
    });
    return &map;
}

const CMessageMap* CStatusBar::GetMessageMap() const { return GetThisMessageMap(); }

CRect CStatusBar::PaneRect(int pane) const
{
    CRect client;
    GetClientRect(&client);
    int right = client.right;
    // Fixed panes are laid out from the right edge leftwards.
    for (int i = int(m_widths.size()) - 1; i >= 0; --i) {
        const int left = right - m_widths[std::size_t(i)];
        if (pane == i + 1)
            return CRect(left, client.top + kGap, right - kGap, client.bottom - kGap / 2);
        right = left;
    }
    return CRect(client.left + kGap, client.top + kGap, right - kGap, client.bottom - kGap / 2);
}

void CStatusBar::SetPaneText(int pane, const std::string& gbk)
{
    std::string& text = m_texts[std::size_t(pane)];
    if (text == gbk)
        return;
    text = gbk;
    if (m_hWnd) {
        const CRect rect = PaneRect(pane);
        InvalidateRect(&rect, FALSE);
    }
}

void CStatusBar::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, GetSysColor(COLOR_BTNFACE));
    dc.SelectStockObject(DEFAULT_GUI_FONT);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(GetSysColor(COLOR_BTNTEXT));
    for (int pane = 0; pane < int(m_texts.size()); ++pane) {
        CRect rect = PaneRect(pane);
        dc.Draw3dRect(&rect, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
        rect.DeflateRect(kTextInset, 0);
        const std::string& text = m_texts[std::size_t(pane)];
        dc.DrawText(text.c_str(), int(text.size()), &rect, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    }
}

}
