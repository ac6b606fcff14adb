#include "tools/zorstudio/PaneLayout.h"

#include <algorithm>

#include "tools/zorstudio/Translation.h"
#include "zorkit/platform/ui/SplitterBar.h"

namespace zorstudio {
namespace {

constexpr int kBar = CSplitterBar::kThickness;
// The source and the listing keep this much height above the dock.
constexpr int kMinMain = 160;

int Clamp(int value, int low, int high) { return std::max(low, std::min(value, std::max(low, high))); }

int Or(int chosen, int wanted) { return chosen > 0 ? chosen : wanted; }

// The width left to the editor, the listing and the right column.
int MainWidth(CSize client, const CLayoutWants& wants) { return std::max(0, int(client.cx) - wants.marginWidth - 2 * kBar); }

int EditorMinimum(int mainWidth) { return mainWidth * kEditorShare / 100; }

}

const std::vector<CPaneSlot>& PaneSlots()
{
    static const std::vector<CPaneSlot> slots = {
        {Pane::Editor, Region::Source, "editor", nullptr, false},
        {Pane::SourceMargin, Region::SourceMargin, "margin", nullptr, false},
        {Pane::Listing, Region::Listing, "listing", nullptr, false},
        {Pane::Registers, Region::Registers, "registers", nullptr, false},
        {Pane::Memory, Region::Memory, "memory", nullptr, false},
        {Pane::Output, Region::Dock, "output", N_("Output"), false},
        {Pane::Log, Region::Dock, "log", N_("Log"), false},
        {Pane::CallStack, Region::Dock, "callstack", N_("Call stack"), false},
        {Pane::Watch, Region::Dock, "watch", N_("Watch"), false},
        {Pane::Terminal, Region::Dock, "terminal", N_("Terminal"), false},
        {Pane::Experiment, Region::Dock, "experiment", N_("Experiment"), true},
        {Pane::DevicePanel, Region::Dock, "device", N_("Device"), true},
    };
    return slots;
}

const CPaneSlot& SlotOf(Pane pane)
{
    const auto& slots = PaneSlots();
    return *std::find_if(slots.begin(), slots.end(), [pane](const CPaneSlot& s) { return s.pane == pane; });
}

CPaneRects ArrangePanes(CSize client, const CLayoutSizes& sizes, const CLayoutWants& wants)
{
    CPaneRects r;
    const int width = int(client.cx), height = int(client.cy);
    r.menuBar = CRect(0, 0, width, kMenuBarHeight);
    r.buttonRow = CRect(0, kMenuBarHeight, width, kMenuBarHeight + kButtonRowHeight);
    const int top = r.buttonRow.bottom;
    const int bottom = std::max(top, height - kStatusHeight);
    r.status = CRect(0, bottom, width, std::max(bottom, height));

    // The dock: its tabs, then the chosen pane, as tall as that pane needs or the
    // student made it, and never pressing the source below its least height.
    const bool tall = SlotOf(sizes.dockTab).tall;
    const int wantedDock = tall ? Or(sizes.tallHeight, wants.tallHeight) : Or(sizes.dockHeight, (bottom - top) / 4);
    const int dock = Clamp(wantedDock, 0, bottom - top - kMinMain - kBar - kTabsHeight);
    const int dockTop = bottom - dock;
    r.tabs = CRect(0, std::max(top, dockTop - kTabsHeight), width, dockTop);
    const int mainBottom = std::max(top, r.tabs.top - kBar);
    r.splitters[std::size_t(Splitter::Dock)] = CRect(0, mainBottom, width, r.tabs.top);
    r.panes[std::size_t(sizes.dockTab)] = CRect(0, dockTop, width, bottom);

    // Across: margin, source, listing, the right column; the source keeps its share,
    // and the other two give up room alike when the window is narrow.
    const int main = MainWidth(client, wants);
    int listing = std::max(kMinPane, Or(sizes.listingWidth, wants.listingWidth));
    int right = std::max(kMinPane, Or(sizes.rightWidth, wants.rightWidth));
    const int room = main - EditorMinimum(main);
    if (listing + right > room) {
        const int total = listing + right;
        listing = std::max(0, room) * listing / total;
        right = std::max(0, room) - listing;
    }
    const int editorLeft = wants.marginWidth;
    const int rightLeft = width - right;
    const int listingLeft = rightLeft - kBar - listing;
    r.panes[std::size_t(Pane::SourceMargin)] = CRect(0, top, editorLeft, mainBottom);
    r.panes[std::size_t(Pane::Editor)] = CRect(editorLeft, top, std::max(editorLeft, listingLeft - kBar), mainBottom);
    r.splitters[std::size_t(Splitter::Listing)] = CRect(listingLeft - kBar, top, listingLeft, mainBottom);
    r.panes[std::size_t(Pane::Listing)] = CRect(listingLeft, top, rightLeft - kBar, mainBottom);
    r.splitters[std::size_t(Splitter::Right)] = CRect(rightLeft - kBar, top, rightLeft, mainBottom);

    const int registers = Clamp(Or(sizes.registerHeight, wants.registerHeight), std::min(kMinPane, (mainBottom - top - kBar) / 2),
                                mainBottom - top - kBar - kMinPane);
    const int registersBottom = std::min(mainBottom, top + registers);
    r.panes[std::size_t(Pane::Registers)] = CRect(rightLeft, top, width, registersBottom);
    r.splitters[std::size_t(Splitter::Registers)] =
        CRect(rightLeft, registersBottom, width, std::min(mainBottom, registersBottom + kBar));
    r.panes[std::size_t(Pane::Memory)] = CRect(rightLeft, std::min(mainBottom, registersBottom + kBar), width, mainBottom);
    return r;
}

CLayoutSizes DragSplitter(Splitter bar, int edge, const CPaneRects& now, CLayoutSizes sizes)
{
    const int width = now.status.right;
    const int margin = now.Of(Pane::SourceMargin).Width();
    const int main = std::max(0, width - margin - 2 * kBar);
    const int room = main - EditorMinimum(main);
    switch (bar) {
    case Splitter::Listing: {
        const int right = now.Of(Pane::Registers).Width();
        sizes.listingWidth = Clamp(now.Of(Pane::Listing).right - (edge + kBar), kMinPane, room - right);
        break;
    }
    case Splitter::Right: {
        // The listing keeps its width; the source gives or takes the room.
        const int listing = now.Of(Pane::Listing).Width();
        sizes.rightWidth = Clamp(width - (edge + kBar), kMinPane, room - listing);
        sizes.listingWidth = listing;
        break;
    }
    case Splitter::Registers: {
        const CRect& registers = now.Of(Pane::Registers);
        sizes.registerHeight = Clamp(edge - registers.top, kMinPane, now.Of(Pane::Memory).bottom - registers.top - kBar - kMinPane);
        break;
    }
    case Splitter::Dock: {
        const int top = now.buttonRow.bottom;
        const int dock = Clamp(now.status.top - (edge + kBar + kTabsHeight), kMinPane,
                               now.status.top - top - kMinMain - kBar - kTabsHeight);
        (SlotOf(sizes.dockTab).tall ? sizes.tallHeight : sizes.dockHeight) = dock;
        break;
    }
    }
    return sizes;
}

}
