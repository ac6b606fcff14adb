#include "tools/zorstudio/ui/StudioLayout.h"

#include <algorithm>

#include "tools/zorstudio/Translation.h"

namespace zorstudio {
namespace {
constexpr int kButtonGap = 2;
constexpr int kButtonHeight = 24;
}

CStudioLayout::CStudioLayout(CWnd& host) : m_host(host)
{
    m_bars[std::size_t(Splitter::Listing)] = std::make_unique<CSplitterBar>(CSplitterBar::Vertical);
    m_bars[std::size_t(Splitter::Right)] = std::make_unique<CSplitterBar>(CSplitterBar::Vertical);
    m_bars[std::size_t(Splitter::Registers)] = std::make_unique<CSplitterBar>(CSplitterBar::Horizontal);
    m_bars[std::size_t(Splitter::Dock)] = std::make_unique<CSplitterBar>(CSplitterBar::Horizontal);
}

bool CStudioLayout::Create(UINT firstId)
{
    const CRect none(0, 0, 1, 1);
    UINT id = firstId;
    for (std::size_t i = 0; i < kSplitterCount; ++i) {
        CSplitterBar& bar = *m_bars[i];
        if (!bar.Create(&m_host, none, id++))
            return false;
        bar.onDrag = [this, i](int edge) { Drag(Splitter(i), edge); };
        bar.onDragEnd = [this] {
            if (onChanged)
                onChanged(m_sizes);
        };
    }
    if (!m_tabs.Create(&m_host, none, id))
        return false;
    m_tabs.onChosen = [this](int tab) {
        const std::vector<Pane> panes = DockPanes();
        if (tab >= 0 && tab < int(panes.size()) && panes[std::size_t(tab)] != m_sizes.dockTab) {
            ShowTab(panes[std::size_t(tab)]);
            if (onChanged)
                onChanged(m_sizes);
        }
    };
    SyncTabs();
    return true;
}

void CStudioLayout::Attach(Pane pane, CWnd* wnd)
{
    m_panes[std::size_t(pane)] = wnd;
    SyncTabs();
}

std::vector<Pane> CStudioLayout::DockPanes() const
{
    std::vector<Pane> panes;
    for (const CPaneSlot& slot : PaneSlots())
        if (slot.region == Region::Dock && m_panes[std::size_t(slot.pane)])
            panes.push_back(slot.pane);
    return panes;
}

void CStudioLayout::SyncTabs()
{
    const std::vector<Pane> panes = DockPanes();
    if (!panes.empty() && std::find(panes.begin(), panes.end(), m_sizes.dockTab) == panes.end())
        m_sizes.dockTab = panes.front();
    std::vector<std::string> titles;
    for (Pane pane : panes)
        titles.push_back(TrGbk(SlotOf(pane).tab));
    m_tabs.SetTabs(std::move(titles));
    m_tabs.Choose(int(std::find(panes.begin(), panes.end(), m_sizes.dockTab) - panes.begin()));
}

void CStudioLayout::SetSizes(const CLayoutSizes& sizes)
{
    m_sizes = sizes;
    SyncTabs();
}

void CStudioLayout::ShowTab(Pane pane)
{
    if (SlotOf(pane).region != Region::Dock || !m_panes[std::size_t(pane)] || pane == m_sizes.dockTab)
        return;
    m_sizes.dockTab = pane;
    SyncTabs();
    Arrange();
}

void CStudioLayout::Drag(Splitter bar, int edge)
{
    const CLayoutSizes sizes = DragSplitter(bar, edge, m_rects, m_sizes);
    if (sizes == m_sizes)
        return;
    m_sizes = sizes;
    Arrange();
}

void CStudioLayout::Arrange()
{
    if (!m_tabs.m_hWnd)
        return;
    CRect client;
    m_host.GetClientRect(&client);
    m_rects = ArrangePanes(client.Size(), m_sizes, wants ? wants() : CLayoutWants{});
    if (m_menuBar)
        m_menuBar->MoveWindow(&m_rects.menuBar);
    if (m_status)
        m_status->MoveWindow(&m_rects.status);
    int x = kButtonGap;
    const int buttonTop = m_rects.buttonRow.top + (m_rects.buttonRow.Height() - kButtonHeight) / 2;
    for (auto [button, width] : m_buttons) {
        button->MoveWindow(x, buttonTop, width, kButtonHeight);
        x += width + kButtonGap;
    }
    for (std::size_t i = 0; i < kSplitterCount; ++i)
        m_bars[i]->MoveWindow(&m_rects.splitters[i]);
    m_tabs.MoveWindow(&m_rects.tabs);
    for (std::size_t i = 0; i < kPaneCount; ++i) {
        CWnd* wnd = m_panes[i];
        if (!wnd || !wnd->m_hWnd)
            continue;
        const CRect& place = m_rects.panes[i];
        // A dock pane that is not chosen keeps its place and size, hidden.
        if (place.IsRectEmpty()) {
            wnd->ShowWindow(SW_HIDE);
            continue;
        }
        wnd->MoveWindow(&place);
        wnd->ShowWindow(SW_SHOWNA);
    }
}

}
