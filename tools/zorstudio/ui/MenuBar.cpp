#include "tools/zorstudio/ui/MenuBar.h"

#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/ui/ClientDC.h"
#include "zorkit/platform/ui/MessageCrackers.h"
#include "zorkit/platform/ui/PaintDC.h"
#include "zorkit/platform/ui/Styles.h"
#include "zorkit/platform/ui/WindowClass.h"

namespace zorstudio {
namespace {
constexpr int kTitlePad = 9;  // each side of a title's text
constexpr int kLeft = 2;
constexpr int kListMinWidth = 180;
}

const CMessageMap* CMenuBar::GetThisMessageMap()
{
    static const CMessageMap map(&CWnd::GetThisMessageMap, {
        zorkit::MapMessage<WM_PAINT>(&CMenuBar::OnPaint),
        zorkit::MapMessage<WM_LBUTTONDOWN>(&CMenuBar::OnLButtonDown),
        zorkit::MapMessage<WM_MOUSEMOVE>(&CMenuBar::OnMouseMove),
    });
    return &map;
}

const CMessageMap* CMenuBar::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CMenuBar::Create(CWnd* parent, const CRect& rect, UINT id, UINT listId)
{
    static LPCTSTR cls = AfxRegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW));
    m_listId = listId;
    {
        CClientDC dc(parent);
        dc.SelectStockObject(DEFAULT_GUI_FONT);
        int right = kLeft;
        for (const CMenu& menu : m_menus) {
            right += 2 * kTitlePad + int(dc.GetTextExtent(menu.title.c_str(), int(menu.title.size())).cx);
            m_titleRights.push_back(right);
        }
    }
    return CreateEx(0, cls, "", WS_CHILD | WS_VISIBLE, rect, parent, id);
}

CRect CMenuBar::TitleRect(std::size_t menu) const
{
    CRect client;
    GetClientRect(&client);
    const int left = menu == 0 ? kLeft : m_titleRights[menu - 1];
    return CRect(left, client.top, m_titleRights[menu], client.bottom);
}

std::optional<std::size_t> CMenuBar::MenuIndex(const std::string& title) const
{
    for (std::size_t i = 0; i < m_menus.size(); ++i)
        if (m_menus[i].title == title)
            return i;
    return std::nullopt;
}

std::optional<std::size_t> CMenuBar::TitleAt(CPoint point) const
{
    for (std::size_t i = 0; i < m_menus.size(); ++i)
        if (TitleRect(i).PtInRect(point))
            return i;
    return std::nullopt;
}

CDropDownList* CMenuBar::OpenList()
{
    return m_list && m_list->m_hWnd && m_list->IsWindowVisible() ? m_list.get() : nullptr;
}

void CMenuBar::Open(std::size_t menu)
{
    Close();
    std::vector<CDropDownItem> items;
    for (const CMenuCommand& command : m_menus[menu].commands)
        items.push_back({command.label, command.key, command.label.empty() || !isEnabled || isEnabled(command.id)});
    // The list of a closed menu may still be in its own click: it goes only now.
    m_list = std::make_unique<CDropDownList>(std::move(items));
    m_list->onChoose = [this, menu](std::size_t index) {
        m_open.reset();
        Invalidate(FALSE);
        // Posted: the command runs after the click, as a button's does.
        GetParent()->PostMessage(WM_COMMAND, MAKEWPARAM(WORD(m_menus[menu].commands[index].id), 0), 0);
    };
    CRect title = TitleRect(menu);
    ClientToScreen(&title);
    GetParent()->ScreenToClient(&title);
    if (!m_list->Create(GetParent(), CPoint(title.left, title.bottom), kListMinWidth, m_listId)) {
        m_list.reset();
        return;
    }
    m_open = menu;
    Invalidate(FALSE);
}

void CMenuBar::Close()
{
    if (OpenList())
        m_list->ShowWindow(SW_HIDE);
    if (m_open) {
        m_open.reset();
        Invalidate(FALSE);
    }
}

void CMenuBar::OnLButtonDown(UINT, CPoint point)
{
    const auto menu = TitleAt(point);
    if (menu && OpenMenu() == menu)
        Close();
    else if (menu)
        Open(*menu);
    else
        Close();
}

void CMenuBar::OnMouseMove(UINT, CPoint point)
{
    const auto menu = TitleAt(point);
    if (menu && OpenMenu() && OpenMenu() != menu)
        Open(*menu);
}

void CMenuBar::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, GetSysColor(COLOR_MENU));
    dc.SelectStockObject(DEFAULT_GUI_FONT);
    dc.SetBkMode(TRANSPARENT);
    const auto open = OpenMenu();
    for (std::size_t i = 0; i < m_menus.size(); ++i) {
        CRect title = TitleRect(i);
        if (open == i)
            dc.FillSolidRect(&title, GetSysColor(COLOR_HIGHLIGHT));
        dc.SetTextColor(GetSysColor(open == i ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
        const std::string& text = m_menus[i].title;
        dc.DrawText(text.c_str(), int(text.size()), &title, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    dc.FillSolidRect(client.left, client.bottom - 1, client.Width(), 1, GetSysColor(COLOR_BTNSHADOW));
}

}
