// Where the main window's panes go for a client size: the menu bar and the button row
// across the top, then the source (with its margin) beside the listing and a column of
// registers over memory, then the dock, whose tabs show one pane at a time, and the
// status line. Four bars between them can be dragged; what they set is kept in a
// CLayoutSizes, which the settings remember.
//
// Each pane has a row in PaneSlots(): its region and, in the dock, its tab. Adding a
// pane is a name in Pane, a row there and the window's Attach call.
//
//   CPaneRects rects = ArrangePanes(CSize(1366, 740), sizes, wants);
//   editor.MoveWindow(&rects.Of(Pane::Editor));
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "zorkit/platform/core/Geometry.h"

namespace zorstudio {

enum class Pane {
    Editor, SourceMargin, Listing, Registers, Memory,
    Output, Log, Experiment, CallStack, Watch, DevicePanel, Terminal,
};
constexpr std::size_t kPaneCount = std::size_t(Pane::Terminal) + 1;

enum class Region { SourceMargin, Source, Listing, Registers, Memory, Dock };

struct CPaneSlot {
    Pane pane;
    Region region;
    const char* name;  // in the settings
    const char* tab;   // the dock tab's title (to be translated); null outside the dock
    bool tall;         // a dock pane that needs its own height (the experiment's graph)
};

// In the dock's tab order.
const std::vector<CPaneSlot>& PaneSlots();
const CPaneSlot& SlotOf(Pane pane);

// What the student set by dragging; 0 takes what the panes want.
struct CLayoutSizes {
    int listingWidth = 0;
    int rightWidth = 0;
    int registerHeight = 0;
    int dockHeight = 0;
    int tallHeight = 0;
    Pane dockTab = Pane::Output;

    bool operator==(const CLayoutSizes& o) const
    {
        return listingWidth == o.listingWidth && rightWidth == o.rightWidth && registerHeight == o.registerHeight &&
               dockHeight == o.dockHeight && tallHeight == o.tallHeight && dockTab == o.dockTab;
    }
};

// What the panes ask for.
struct CLayoutWants {
    int marginWidth = 0;     // the source margin, when it is a pane of its own
    int listingWidth = 320;  // its longest line
    int rightWidth = 430;    // a row of the memory grid
    int registerHeight = 260;
    int tallHeight = 356;    // the experiment panel
};

enum class Splitter { Listing, Right, Registers, Dock };
constexpr std::size_t kSplitterCount = 4;

struct CPaneRects {
    CRect menuBar, buttonRow, tabs, status;
    std::array<CRect, kPaneCount> panes{};  // empty: not shown
    std::array<CRect, kSplitterCount> splitters{};

    const CRect& Of(Pane pane) const { return panes[std::size_t(pane)]; }
    const CRect& Of(Splitter bar) const { return splitters[std::size_t(bar)]; }
};

constexpr int kMenuBarHeight = 22, kButtonRowHeight = 30, kTabsHeight = 22, kStatusHeight = 22;
// The smallest a pane gets while the window has room for it.
constexpr int kMinPane = 60;
// The source keeps at least this share of the width beside listing and registers.
constexpr int kEditorShare = 40;

CPaneRects ArrangePanes(CSize client, const CLayoutSizes& sizes, const CLayoutWants& wants);
// The sizes that put the bar's leading edge at edge, as far as the panes allow.
CLayoutSizes DragSplitter(Splitter bar, int edge, const CPaneRects& now, CLayoutSizes sizes);

}
