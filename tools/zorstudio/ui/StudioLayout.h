// The main window's panes placed from its size (PaneLayout), the bars that move the
// borders between them and the dock's tabs. The host attaches its windows to panes;
// a dock pane without a window has no tab. What a drag or a tab changes is reported
// through onChanged, for the settings.
//
//   CStudioLayout layout(window);
//   layout.Create(IdFirstLayoutWindow);
//   layout.Attach(Pane::Editor, &editor);
//   layout.Arrange();   // from WM_SIZE, and whenever what the panes want changed
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "tools/zorstudio/PaneLayout.h"
#include "tools/zorstudio/ui/TabStrip.h"
#include "zorkit/platform/ui/SplitterBar.h"

namespace zorstudio {

class CStudioLayout {
public:
    explicit CStudioLayout(CWnd& host);

    // The bars and the tab strip, with ids from firstId on.
    bool Create(UINT firstId);
    void Attach(Pane pane, CWnd* wnd);
    // The chrome around the panes, and the button row's windows with their widths.
    void SetChrome(CWnd* menuBar, CWnd* status) { m_menuBar = menuBar, m_status = status; }
    void SetButtonRow(std::vector<std::pair<CWnd*, int>> row) { m_buttons = std::move(row); }

    // Asked at every arrangement.
    std::function<CLayoutWants()> wants;
    // A drag or a tab changed the sizes.
    std::function<void(const CLayoutSizes&)> onChanged;

    // Places every window from the host's client size.
    void Arrange();
    const CLayoutSizes& Sizes() const { return m_sizes; }
    // Taken as they are when the host starts; a dock tab without a window falls back
    // to the first dock pane that has one.
    void SetSizes(const CLayoutSizes& sizes);
    Pane Tab() const { return m_sizes.dockTab; }
    // Shows the dock pane (a pane without a window changes nothing).
    void ShowTab(Pane pane);
    const CPaneRects& Rects() const { return m_rects; }
    CSplitterBar& Bar(Splitter bar) { return *m_bars[std::size_t(bar)]; }
    CTabStrip& Tabs() { return m_tabs; }

private:
    void Drag(Splitter bar, int edge);
    // The dock panes that have a window, in tab order.
    std::vector<Pane> DockPanes() const;
    void SyncTabs();

    CWnd& m_host;
    std::array<CWnd*, kPaneCount> m_panes{};
    std::array<std::unique_ptr<CSplitterBar>, kSplitterCount> m_bars;
    CTabStrip m_tabs;
    CWnd* m_menuBar = nullptr;
    CWnd* m_status = nullptr;
    std::vector<std::pair<CWnd*, int>> m_buttons;
    CLayoutSizes m_sizes;
    CPaneRects m_rects;
};

}
