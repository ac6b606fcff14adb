// The menu bar across the top of the main window: a row of titles, each opening a
// drop-down list of commands with their keys. A click on a title opens its menu (or
// closes it when it is open); while one is open, moving to another title opens that
// one. Choosing an item posts WM_COMMAND with the item's command id to the parent, the
// same message its button or key gives, so that every command has one code path.
// Items the host says cannot run now are greyed; choosing one still posts it, and the
// command tells why it cannot run.
//
//   CMenuBar bar({{"File", {{IdOpen, "Open...", "Ctrl+O"}, {0, ""}, {IdExit, "Exit"}}}});
//   bar.isEnabled = [](UINT id) { return true; };
//   bar.Create(mainWnd, CRect(0, 0, 800, CMenuBar::kHeight), IdMenuBar, IdMenuList);
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tools/zorstudio/ui/DropDownList.h"

namespace zorstudio {

struct CMenuCommand {
    UINT id;            // 0 with an empty label: a rule
    std::string label;  // GBK
    std::string key = "";  // shown on the right, empty for none
};

struct CMenu {
    std::string title;  // GBK
    std::vector<CMenuCommand> commands;
    char accessKey = 0;  // Alt with this letter opens the menu; 0: the title's first letter
};

class CMenuBar : public CWnd {
public:
    static constexpr int kHeight = 22;

    explicit CMenuBar(std::vector<CMenu> menus) : m_menus(std::move(menus)) {}

    // listId is the id of the drop-down list, a child of the parent like the bar.
    BOOL Create(CWnd* parent, const CRect& rect, UINT id, UINT listId);
    const std::vector<CMenu>& Menus() const { return m_menus; }
    // The title's place in the bar's client area.
    CRect TitleRect(std::size_t menu) const;
    std::optional<std::size_t> MenuIndex(const std::string& title) const;

    // Opens the menu under its title (closing another one).
    void Open(std::size_t menu);
    void Close();
    // The open menu's list, else null.
    CDropDownList* OpenList();
    std::optional<std::size_t> OpenMenu() { return OpenList() ? m_open : std::nullopt; }

    // Whether a command can run now; without it every item is shown runnable.
    std::function<bool(UINT)> isEnabled;

    static const CMessageMap* GetThisMessageMap();
    const CMessageMap* GetMessageMap() const override;
    void OnPaint();
    void OnLButtonDown(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);

private:
    std::optional<std::size_t> TitleAt(CPoint point) const;

    std::vector<CMenu> m_menus;
    std::vector<int> m_titleRights;  // each title's right edge, measured at Create
    UINT m_listId = 0;
    std::optional<std::size_t> m_open;
    std::unique_ptr<CDropDownList> m_list;
};

}
