#include "tools/zorstudio/ui/TabStrip.h"

#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/ui/ClientDC.h"
#include "zorkit/platform/ui/MessageCrackers.h"
#include "zorkit/platform/ui/PaintDC.h"
#include "zorkit/platform/ui/Styles.h"
#include "zorkit/platform/ui/WindowClass.h"

namespace zorstudio {
namespace {
constexpr int kPad = 10;  // each side of a title
constexpr int kLeft = 2;
}

const CMessageMap* CTabStrip::GetThisMessageMap()
{
    static const CMessageMap map(&CWnd::GetThisMessageMap, {
        zorkit::MapMessage<WM_PAINT>(&CTabStrip::OnPaint),
        zorkit::MapMessage<WM_LBUTTONDOWN>(&CTabStrip::OnLButtonDown),
    });
    return &map;
}

const CMessageMap* CTabStrip::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CTabStrip::Create(CWnd* parent, const CRect& rect, UINT id)
{
    static LPCTSTR cls = AfxRegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW));
    if (!CreateEx(0, cls, "", WS_CHILD | WS_VISIBLE, rect, parent, id))
        return FALSE;
    Measure();
    return TRUE;
}

void CTabStrip::SetTabs(std::vector<std::string> titles)
{
    if (titles == m_titles)
        return;
    m_titles = std::move(titles);
    if (m_chosen >= int(m_titles.size()))
        m_chosen = -1;
    if (m_hWnd) {
        Measure();
        Invalidate();
    }
}

void CTabStrip::Measure()
{
    m_rights.clear();
    CClientDC dc(this);
    dc.SelectStockObject(DEFAULT_GUI_FONT);
    int right = kLeft;
    for (const std::string& title : m_titles) {
        right += 2 * kPad + int(dc.GetTextExtent(title.c_str(), int(title.size())).cx);
        m_rights.push_back(right);
    }
}

void CTabStrip::Choose(int tab)
{
    if (tab == m_chosen)
        return;
    m_chosen = tab;
    if (m_hWnd)
        Invalidate();
}

CRect CTabStrip::TabRect(int tab) const
{
    CRect client;
    GetClientRect(&client);
    if (tab < 0 || tab >= int(m_rights.size()))
        return CRect();
    return CRect(tab == 0 ? kLeft : m_rights[std::size_t(tab) - 1], client.top, m_rights[std::size_t(tab)], client.bottom);
}

void CTabStrip::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, GetSysColor(COLOR_BTNFACE));
    dc.SelectStockObject(DEFAULT_GUI_FONT);
    dc.SetBkMode(TRANSPARENT);
    for (int tab = 0; tab < int(m_titles.size()); ++tab) {
        CRect box = TabRect(tab);
        box.top += tab == m_chosen ? 0 : 2;
        if (tab == m_chosen)
            dc.FillSolidRect(&box, GetSysColor(COLOR_WINDOW));
        dc.Draw3dRect(&box, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
        dc.SetTextColor(GetSysColor(COLOR_BTNTEXT));
        const std::string& title = m_titles[std::size_t(tab)];
        dc.DrawText(title.c_str(), int(title.size()), &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

void CTabStrip::OnLButtonDown(UINT, CPoint point)
{
    for (int tab = 0; tab < int(m_titles.size()); ++tab)
        if (TabRect(tab).PtInRect(point)) {
            Choose(tab);
            if (onChosen)
                onChosen(tab);
            return;
        }
}

}
