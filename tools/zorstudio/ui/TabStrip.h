// A row of tabs above the dock: a click on a tab chooses it, and the owner shows its
// pane. Titles are GBK.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "zorkit/platform/ui/Wnd.h"

namespace zorstudio {

class CTabStrip : public CWnd {
public:
    BOOL Create(CWnd* parent, const CRect& rect, UINT id);
    void SetTabs(std::vector<std::string> titles);
    const std::vector<std::string>& Tabs() const { return m_titles; }
    int Chosen() const { return m_chosen; }
    void Choose(int tab);
    // The tab's place in the strip's client area.
    CRect TabRect(int tab) const;

    // A click chose the tab.
    std::function<void(int)> onChosen;

    static const CMessageMap* GetThisMessageMap();
    const CMessageMap* GetMessageMap() const override;
    void OnPaint();
    void OnLButtonDown(UINT flags, CPoint point);

private:
    void Measure();

    std::vector<std::string> m_titles;
    std::vector<int> m_rights;  // each tab's right edge
    int m_chosen = -1;
};

}
