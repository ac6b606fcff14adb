#include "tools/zorstudio/ui/DropDownList.h"

#include <algorithm>

#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/ui/ClientDC.h"
#include "zorkit/platform/ui/MessageCrackers.h"
#include "zorkit/platform/ui/PaintDC.h"
#include "zorkit/platform/ui/Styles.h"
#include "zorkit/platform/ui/WindowClass.h"

namespace zorstudio {
namespace {
constexpr int kBorder = 1;  // WS_BORDER's frame around the client area
constexpr int kPad = 2;      // above the first row and below the last
constexpr int kTextInset = 10;
constexpr int kKeyGap = 28;  // between the longest label and the longest key
}

const CMessageMap* CDropDownList::GetThisMessageMap()
{
    static const CMessageMap map(&CWnd::GetThisMessageMap, {
        zorkit::MapMessage<WM_PAINT>(&CDropDownList::OnPaint),
        zorkit::MapMessage<WM_MOUSEMOVE>(&CDropDownList::OnMouseMove),
        zorkit::MapMessage<WM_LBUTTONUP>(&CDropDownList::OnLButtonUp),
    });
    return &map;
}

const CMessageMap* CDropDownList::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CDropDownList::Create(CWnd* parent, CPoint topLeft, int minWidth, UINT id)
{
    static LPCTSTR cls = AfxRegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW));
    // Wide enough for the longest label and the longest key side by side.
    int labels = 0, keys = 0;
    {
        CClientDC dc(parent);
        dc.SelectStockObject(DEFAULT_GUI_FONT);
        for (const CDropDownItem& item : m_items) {
            labels = std::max(labels, int(dc.GetTextExtent(item.label.c_str(), int(item.label.size())).cx));
            keys = std::max(keys, int(dc.GetTextExtent(item.key.c_str(), int(item.key.size())).cx));
        }
    }
    const int width = std::max(minWidth, 2 * kBorder + 2 * kTextInset + labels + (keys ? kKeyGap + keys : 0));
    int height = 2 * kBorder + 2 * kPad;
    for (std::size_t i = 0; i < m_items.size(); ++i)
        height += RowHeight(i);
    if (!CreateEx(0, cls, "", WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(topLeft, CSize(width, height)), parent, id))
        return FALSE;
    // Above the views it covers, for the clicks and the paint.
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return TRUE;
}

CRect CDropDownList::ItemRect(std::size_t index) const
{
    CRect client;
    GetClientRect(&client);
    int top = kPad;
    for (std::size_t i = 0; i < index && i < m_items.size(); ++i)
        top += RowHeight(i);
    return CRect(client.left, top, client.right, top + (index < m_items.size() ? RowHeight(index) : 0));
}

std::optional<std::size_t> CDropDownList::IndexOf(const std::string& label) const
{
    for (std::size_t i = 0; i < m_items.size(); ++i)
        if (!label.empty() && m_items[i].label == label)
            return i;
    return std::nullopt;
}

std::optional<std::size_t> CDropDownList::ItemAt(CPoint point) const
{
    for (std::size_t i = 0; i < m_items.size(); ++i)
        if (!m_items[i].label.empty() && ItemRect(i).PtInRect(point))
            return i;
    return std::nullopt;
}

void CDropDownList::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, GetSysColor(COLOR_MENU));
    dc.SelectStockObject(DEFAULT_GUI_FONT);
    dc.SetBkMode(TRANSPARENT);
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        const CDropDownItem& item = m_items[i];
        CRect row = ItemRect(i);
        if (item.label.empty()) {
            const int middle = row.CenterPoint().y;
            dc.Draw3dRect(kTextInset / 2, middle - 1, row.Width() - kTextInset, 2, GetSysColor(COLOR_BTNSHADOW),
                          GetSysColor(COLOR_BTNHIGHLIGHT));
            continue;
        }
        const bool hot = int(i) == m_hot;
        if (hot)
            dc.FillSolidRect(&row, GetSysColor(COLOR_HIGHLIGHT));
        dc.SetTextColor(GetSysColor(!item.enabled ? COLOR_GRAYTEXT : hot ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
        row.DeflateRect(kTextInset, 0);
        dc.DrawText(item.label.c_str(), int(item.label.size()), &row, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        if (!item.key.empty())
            dc.DrawText(item.key.c_str(), int(item.key.size()), &row, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    }
}

void CDropDownList::SetHot(int hot)
{
    if (hot == m_hot)
        return;
    for (int row : {m_hot, hot})
        if (row >= 0) {
            const CRect rect = ItemRect(std::size_t(row));
            InvalidateRect(&rect, FALSE);
        }
    m_hot = hot;
}

void CDropDownList::MoveHot(int step)
{
    const int count = int(m_items.size());
    int row = m_hot < 0 && step < 0 ? count : m_hot;
    for (int tried = 0; tried < count; ++tried) {
        row = ((row + step) % count + count) % count;
        if (!m_items[std::size_t(row)].label.empty()) {
            SetHot(row);
            return;
        }
    }
}

bool CDropDownList::ChooseHot()
{
    if (m_hot < 0)
        return false;
    Choose(std::size_t(m_hot));
    return true;
}

void CDropDownList::Choose(std::size_t index)
{
    ShowWindow(SW_HIDE);
    if (onChoose)
        onChoose(index);
}

void CDropDownList::OnMouseMove(UINT, CPoint point)
{
    const auto at = ItemAt(point);
    SetHot(at ? int(*at) : -1);
}

void CDropDownList::OnLButtonUp(UINT, CPoint point)
{
    if (const auto at = ItemAt(point))
        Choose(*at);
}

}
