#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/zorstudio/PaneLayout.h"
#include "zorkit/platform/ui/SplitterBar.h"

namespace zorkit::studio::test {
namespace {

using zorstudio::ArrangePanes;
using zorstudio::CLayoutSizes;
using zorstudio::CLayoutWants;
using zorstudio::CPaneRects;
using zorstudio::DragSplitter;
using zorstudio::Pane;
using zorstudio::Splitter;

constexpr int kBar = CSplitterBar::kThickness;

std::string Name(CRect r)
{
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}

// Every rectangle the window shows, named.
std::vector<std::pair<std::string, CRect>> Shown(const CPaneRects& r)
{
    std::vector<std::pair<std::string, CRect>> shown = {
        {"menu bar", r.menuBar}, {"button row", r.buttonRow}, {"tabs", r.tabs}, {"status", r.status}};
    for (const auto& slot : zorstudio::PaneSlots())
        if (!r.Of(slot.pane).IsRectEmpty())
            shown.push_back({slot.name, r.Of(slot.pane)});
    for (std::size_t i = 0; i < zorstudio::kSplitterCount; ++i)
        shown.push_back({"bar " + std::to_string(i), r.splitters[i]});
    return shown;
}

struct Case {
    CSize client;
    CLayoutSizes sizes;
};

std::vector<Case> Cases()
{
    std::vector<Case> cases;
    const CSize clients[] = {{800, 560}, {1024, 700}, {1366, 740}, {1920, 1050}, {2560, 1400}};
    CLayoutSizes dragged;
    dragged.listingWidth = 500, dragged.rightWidth = 200, dragged.dockHeight = 300, dragged.registerHeight = 90;
    CLayoutSizes extreme;
    extreme.listingWidth = 9000, extreme.rightWidth = 9000, extreme.dockHeight = 9000, extreme.registerHeight = 9000;
    for (CSize client : clients)
        for (CLayoutSizes sizes : {CLayoutSizes{}, dragged, extreme})
            for (Pane tab : {Pane::Output, Pane::Experiment, Pane::Terminal}) {
                sizes.dockTab = tab;
                cases.push_back({client, sizes});
            }
    return cases;
}

TEST(PaneLayout, EveryPaneLiesInsideTheWindowAndNoneOverlaps)
{
    for (const Case& c : Cases()) {
        const CPaneRects r = ArrangePanes(c.client, c.sizes, CLayoutWants{});
        const CRect client(CPoint(0, 0), c.client);
        const auto shown = Shown(r);
        SCOPED_TRACE(std::to_string(c.client.cx) + "x" + std::to_string(c.client.cy) + ", tab " +
                     zorstudio::SlotOf(c.sizes.dockTab).name + ", listing " + std::to_string(c.sizes.listingWidth));
        for (const auto& [name, rect] : shown) {
            CRect inside;
            EXPECT_TRUE(inside.IntersectRect(&rect, &client) && inside == rect) << name << " " << Name(rect);
        }
        for (std::size_t i = 0; i < shown.size(); ++i)
            for (std::size_t j = i + 1; j < shown.size(); ++j) {
                CRect both;
                EXPECT_FALSE(both.IntersectRect(&shown[i].second, &shown[j].second))
                    << shown[i].first << " " << Name(shown[i].second) << " overlaps " << shown[j].first << " "
                    << Name(shown[j].second);
            }
        // Across the main row nothing is left over: margin, source, bar, listing, bar, column.
        EXPECT_EQ(r.Of(Pane::Editor).right + kBar, r.Of(Pane::Listing).left);
        EXPECT_EQ(r.Of(Pane::Listing).right + kBar, r.Of(Pane::Registers).left);
        EXPECT_EQ(r.Of(Pane::Registers).right, c.client.cx);
        EXPECT_EQ(r.Of(Pane::Memory).bottom, r.Of(Pane::Editor).bottom);
        EXPECT_EQ(r.status.bottom, c.client.cy);
        // The source keeps its share however the bars were left.
        const int main = int(c.client.cx) - 2 * kBar;
        EXPECT_GE(r.Of(Pane::Editor).Width(), main * zorstudio::kEditorShare / 100);
        EXPECT_GE(r.Of(Pane::Editor).Height(), 160) << "the source keeps room above the dock";
    }
}

TEST(PaneLayout, OnlyTheChosenDockPaneTakesRoomAndTheExperimentGetsItsHeight)
{
    const CLayoutWants wants;
    for (CSize client : {CSize(1366, 740), CSize(1920, 1050)}) {
        CLayoutSizes sizes;
        const CPaneRects output = ArrangePanes(client, sizes, wants);
        for (Pane hidden : {Pane::Experiment, Pane::Log, Pane::DevicePanel, Pane::Watch})
            EXPECT_TRUE(output.Of(hidden).IsRectEmpty()) << zorstudio::SlotOf(hidden).name;
        EXPECT_EQ(output.Of(Pane::Output).Width(), client.cx);
        EXPECT_LT(output.Of(Pane::Output).Height(), wants.tallHeight) << "without the experiment the dock is low";

        sizes.dockTab = Pane::Experiment;
        const CPaneRects experiment = ArrangePanes(client, sizes, wants);
        EXPECT_TRUE(experiment.Of(Pane::Output).IsRectEmpty());
        EXPECT_EQ(experiment.Of(Pane::Experiment).Height(), wants.tallHeight);
        EXPECT_LT(experiment.Of(Pane::Editor).Height(), output.Of(Pane::Editor).Height());
    }
}

TEST(PaneLayout, AtCommonScreenSizesTheSourceIsTheLargestPaneAndTheListingFitsItsLine)
{
    CLayoutWants wants;
    wants.listingWidth = 330;
    for (CSize client : {CSize(1366, 740), CSize(1920, 1050)}) {
        const CPaneRects r = ArrangePanes(client, CLayoutSizes{}, wants);
        const CRect& editor = r.Of(Pane::Editor);
        EXPECT_EQ(r.Of(Pane::Listing).Width(), wants.listingWidth);
        EXPECT_EQ(r.Of(Pane::Registers).Width(), wants.rightWidth);
        EXPECT_EQ(r.Of(Pane::Registers).Height(), wants.registerHeight);
        for (const auto& slot : zorstudio::PaneSlots())
            if (slot.pane != Pane::Editor) {
                const CRect& other = r.Of(slot.pane);
                EXPECT_GT(editor.Width() * editor.Height(), other.Width() * other.Height()) << slot.name;
            }
    }
    // Narrower than both want: the two give up room alike and the source keeps its share.
    const CPaneRects narrow = ArrangePanes(CSize(1024, 700), CLayoutSizes{}, wants);
    EXPECT_LT(narrow.Of(Pane::Listing).Width(), wants.listingWidth);
    EXPECT_LT(narrow.Of(Pane::Registers).Width(), wants.rightWidth);
    EXPECT_GE(narrow.Of(Pane::Editor).Width(), (1024 - 2 * kBar) * zorstudio::kEditorShare / 100);
}

TEST(PaneLayout, ADraggedBarGoesWhereThePointerTakesItAsFarAsThePanesAllow)
{
    const CSize client(1366, 740);
    const CLayoutWants wants;
    CLayoutSizes sizes;
    CPaneRects r = ArrangePanes(client, sizes, wants);

    const int listingLeft = r.Of(Splitter::Listing).left;
    sizes = DragSplitter(Splitter::Listing, listingLeft - 50, r, sizes);
    CPaneRects after = ArrangePanes(client, sizes, wants);
    EXPECT_EQ(after.Of(Splitter::Listing).left, listingLeft - 50);
    EXPECT_EQ(after.Of(Pane::Listing).Width(), r.Of(Pane::Listing).Width() + 50);
    EXPECT_EQ(after.Of(Pane::Registers), r.Of(Pane::Registers)) << "the right column stays";

    // Far to the left: the source keeps its share, the listing takes the rest.
    sizes = DragSplitter(Splitter::Listing, 0, after, sizes);
    after = ArrangePanes(client, sizes, wants);
    EXPECT_EQ(after.Of(Pane::Editor).Width(), (client.cx - 2 * kBar) * zorstudio::kEditorShare / 100);

    // The right bar: the listing keeps its width, the source gives the room.
    r = after = ArrangePanes(client, CLayoutSizes{}, wants);
    sizes = DragSplitter(Splitter::Right, r.Of(Splitter::Right).left + 100, r, CLayoutSizes{});
    after = ArrangePanes(client, sizes, wants);
    EXPECT_EQ(after.Of(Pane::Registers).Width(), r.Of(Pane::Registers).Width() - 100);
    EXPECT_EQ(after.Of(Pane::Listing).Width(), r.Of(Pane::Listing).Width());
    EXPECT_EQ(after.Of(Pane::Editor).Width(), r.Of(Pane::Editor).Width() + 100);

    // The dock's bar sets the height of the tab shown, each kind its own.
    sizes = DragSplitter(Splitter::Dock, r.Of(Splitter::Dock).top - 40, r, CLayoutSizes{});
    after = ArrangePanes(client, sizes, wants);
    EXPECT_EQ(after.Of(Pane::Output).Height(), r.Of(Pane::Output).Height() + 40);
    sizes.dockTab = Pane::Experiment;
    EXPECT_EQ(ArrangePanes(client, sizes, wants).Of(Pane::Experiment).Height(), wants.tallHeight)
        << "the experiment keeps its own height";
    sizes = DragSplitter(Splitter::Dock, 0, ArrangePanes(client, sizes, wants), sizes);
    after = ArrangePanes(client, sizes, wants);
    EXPECT_EQ(after.Of(Pane::Editor).Height(), 160) << "dragged up to the top: the source keeps its least height";

    // The bar between registers and memory.
    r = ArrangePanes(client, CLayoutSizes{}, wants);
    sizes = DragSplitter(Splitter::Registers, r.Of(Splitter::Registers).top + 30, r, CLayoutSizes{});
    after = ArrangePanes(client, sizes, wants);
    EXPECT_EQ(after.Of(Pane::Registers).Height(), r.Of(Pane::Registers).Height() + 30);
    EXPECT_EQ(after.Of(Pane::Memory).bottom, r.Of(Pane::Memory).bottom);
}

TEST(PaneLayout, AMarginPaneStandsLeftOfTheSource)
{
    CLayoutWants wants;
    wants.marginWidth = 48;
    const CPaneRects r = ArrangePanes(CSize(1366, 740), CLayoutSizes{}, wants);
    EXPECT_EQ(r.Of(Pane::SourceMargin), CRect(0, r.Of(Pane::Editor).top, 48, r.Of(Pane::Editor).bottom));
    EXPECT_EQ(r.Of(Pane::Editor).left, 48);
    EXPECT_TRUE(ArrangePanes(CSize(1366, 740), CLayoutSizes{}, CLayoutWants{}).Of(Pane::SourceMargin).IsRectEmpty());
}

}
}
