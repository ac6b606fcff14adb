// The main window's panes as the student sees them: laid out from the window's size,
// moved by the bars, the experiment's room only while its tab is shown, the listing
// wide enough for its lines, the source in colours.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/studio/StudioWindowFixture.h"
#include "tools/zorstudio/StudioSettings.h"
#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/ui/Snapshot.h"
#include "zorkit/platform/ui/Styles.h"

namespace zorkit::studio::test {
namespace {

using zorstudio::CStudioWindow;
using zorstudio::Pane;
using zorstudio::Splitter;

// A child's rectangle in its parent's client area, as it stands now.
CRect PlaceOf(CWnd& child)
{
    CRect rect;
    child.GetWindowRect(&rect);
    child.GetParent()->ScreenToClient(&rect);
    return rect;
}

class StudioLayoutTest : public StudioWindowTest {
protected:
    void Resize(int width, int height)
    {
        window->MoveWindow(0, 0, width, height);
        Settle();
    }
    CWnd* WindowOf(Pane pane)
    {
        switch (pane) {
        case Pane::Editor: return &window->Editor();
        case Pane::Listing: return &window->Listing();
        case Pane::Registers: return &window->Registers();
        case Pane::Memory: return &window->Memory();
        case Pane::Output: return &window->Output();
        case Pane::Log: return &window->Log();
        case Pane::Experiment: return &window->Panel();
        default: return nullptr;
        }
    }
    // Drags the bar by the offset, as a hand on the mouse does.
    void DragBar(Splitter which, CSize by)
    {
        CSplitterBar& bar = window->Layout().Bar(which);
        CRect rect;
        bar.GetWindowRect(&rect);
        const CPoint from = rect.CenterPoint();
        InjectInput({InputKind::MouseMove, from});
        InjectInput({InputKind::ButtonDown, from});
        Settle();
        InjectInput({InputKind::MouseMove, from + CSize(by.cx / 2, by.cy / 2)});
        Settle();
        InjectInput({InputKind::MouseMove, from + by});
        Settle();
        InjectInput({InputKind::ButtonUp, from + by});
        Settle();
    }
    void Download()
    {
        ASSERT_TRUE(window->OpenSource(sample));
        Key('B', true);
        ASSERT_TRUE(window->LastBuild().ok) << window->LastBuild().output;
        ClickButton(CStudioWindow::IdDownload);
        ASSERT_TRUE(WaitFor([&] { return View().entry.has_value() && window->Idle(); }))
            << window->StatusBar().PaneText(0);
    }
};

TEST_F(StudioLayoutTest, AResizedWindowLaysItsPanesOutFromItsNewSize)
{
    for (const CSize size : {CSize(1366, 740), CSize(1920, 1050), CSize(1024, 700), CSize(1280, 812)}) {
        Resize(size.cx, size.cy);
        SCOPED_TRACE(std::to_string(size.cx) + "x" + std::to_string(size.cy));
        CRect client;
        window->GetClientRect(&client);
        ASSERT_EQ(client.Size(), size);
        const auto& rects = window->Layout().Rects();
        for (Pane pane : {Pane::Editor, Pane::Listing, Pane::Registers, Pane::Memory, Pane::Output}) {
            CWnd* wnd = WindowOf(pane);
            EXPECT_EQ(PlaceOf(*wnd), rects.Of(pane)) << zorstudio::SlotOf(pane).name;
            EXPECT_TRUE(wnd->IsWindowVisible()) << zorstudio::SlotOf(pane).name;
        }
        EXPECT_FALSE(window->Panel().IsWindowVisible()) << "the experiment waits behind its tab";
        EXPECT_FALSE(window->Log().IsWindowVisible()) << "one dock pane at a time";
        EXPECT_EQ(PlaceOf(window->StatusBar()).bottom, size.cy);
        EXPECT_EQ(PlaceOf(window->StatusBar()).Width(), size.cx);
        EXPECT_EQ(PlaceOf(window->MenuBar()).Width(), size.cx);
        EXPECT_EQ(PlaceOf(window->Memory()).right, size.cx);
        const CRect editor = PlaceOf(window->Editor());
        for (CWnd* other : {static_cast<CWnd*>(&window->Listing()), static_cast<CWnd*>(&window->Registers()),
                            static_cast<CWnd*>(&window->Memory()), static_cast<CWnd*>(&window->Output())}) {
            const CRect place = PlaceOf(*other);
            EXPECT_GT(editor.Width() * editor.Height(), place.Width() * place.Height()) << "the source has the most room";
        }
    }
}

TEST_F(StudioLayoutTest, AMaximisedWindowFillsTheScreenAndComesBackRestored)
{
    Resize(1000, 640);
    const CRect before = PlaceOf(window->Listing());
    window->ShowWindow(SW_SHOWMAXIMIZED);
    Settle();
    ASSERT_TRUE(window->IsZoomed());
    const CSize screen(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    CRect client;
    window->GetClientRect(&client);
    EXPECT_EQ(client.Size(), screen);
    EXPECT_EQ(PlaceOf(window->StatusBar()).bottom, screen.cy);
    EXPECT_EQ(PlaceOf(window->Memory()).right, screen.cx);
    EXPECT_EQ(PlaceOf(window->Editor()), window->Layout().Rects().Of(Pane::Editor));

    window->ShowWindow(SW_RESTORE);
    Settle();
    EXPECT_FALSE(window->IsZoomed());
    window->GetClientRect(&client);
    EXPECT_EQ(client.Size(), CSize(1000, 640));
    EXPECT_EQ(PlaceOf(window->Listing()), before);
}

TEST_F(StudioLayoutTest, TheExperimentTakesRoomOnlyWhileItsTabIsShown)
{
    Resize(1366, 740);
    const CRect editorBefore = PlaceOf(window->Editor());
    ClickTab("Experiment");
    ASSERT_TRUE(window->Panel().IsWindowVisible());
    EXPECT_EQ(PlaceOf(window->Panel()).Height(), zorstudio::CExperimentPanel::kHeight);
    EXPECT_FALSE(window->Output().IsWindowVisible());
    EXPECT_LT(PlaceOf(window->Editor()).Height(), editorBefore.Height());
    EXPECT_EQ(PlaceOf(window->Panel()).bottom, PlaceOf(window->StatusBar()).top);

    ClickTab("Output");
    EXPECT_FALSE(window->Panel().IsWindowVisible());
    EXPECT_TRUE(window->Output().IsWindowVisible());
    EXPECT_EQ(PlaceOf(window->Editor()), editorBefore) << "the source has its room back";
}

TEST_F(StudioLayoutTest, DraggedBarsMoveTheBordersAndTheWindowRemembersThem)
{
    Resize(1366, 740);
    const CRect listing = PlaceOf(window->Listing()), editor = PlaceOf(window->Editor());
    // Within the room the editor can give: it keeps 40% of the width.
    DragBar(Splitter::Listing, CSize(-40, 0));
    EXPECT_EQ(PlaceOf(window->Listing()).Width(), listing.Width() + 40);
    EXPECT_EQ(PlaceOf(window->Editor()).Width(), editor.Width() - 40);
    EXPECT_EQ(PlaceOf(window->Listing()).right, listing.right);

    const CRect output = PlaceOf(window->Output());
    DragBar(Splitter::Dock, CSize(0, -50));
    EXPECT_EQ(PlaceOf(window->Output()).Height(), output.Height() + 50);
    EXPECT_EQ(PlaceOf(window->Editor()).bottom, editor.bottom - 50);

    const CRect registers = PlaceOf(window->Registers());
    DragBar(Splitter::Registers, CSize(0, 40));
    EXPECT_EQ(PlaceOf(window->Registers()).Height(), registers.Height() + 40);
    ClickTab("Log");

    const zorstudio::CLayoutSizes saved = zorstudio::LoadLayoutSizes();
    EXPECT_EQ(saved.listingWidth, listing.Width() + 40);
    EXPECT_EQ(saved.dockTab, Pane::Log);

    // The next window comes up as this one was left.
    const CRect place(0, 0, 1366, 740);
    CStudioWindow next;
    ASSERT_TRUE(next.Board().Call([](zorstudio::CDebugSession& s) { return s.Open({}); }));
    ASSERT_TRUE(next.CreateMain(place));
    Settle();
    EXPECT_EQ(PlaceOf(next.Listing()), PlaceOf(window->Listing()));
    EXPECT_TRUE(next.Log().IsWindowVisible());
    EXPECT_EQ(PlaceOf(next.Log()), PlaceOf(window->Log()));
    EXPECT_EQ(PlaceOf(next.Registers()), PlaceOf(window->Registers()));
}

TEST_F(StudioLayoutTest, TheListingIsWideEnoughForItsLongestLineAndItsColumnsAlign)
{
    Resize(1366, 740);
    Download();
    zorstudio::CListingView& listing = window->Listing();
    CRect client;
    listing.GetClientRect(&client);
    EXPECT_LE(listing.GetMarginWidth() + listing.GetMaxLineExtent(), client.Width()) << "no line is cut off";
    const CTextBuf& text = window->ListingText();
    ASSERT_GT(text.GetLineCount(), 10);
    std::string::size_type column = std::string::npos;
    for (int line = 0; line < text.GetLineCount(); ++line) {
        const std::string shown = Line(text, line);
        const auto instruction = shown.find_first_not_of(' ', shown.find("  ", 6));
        if (column == std::string::npos)
            column = instruction;
        EXPECT_EQ(instruction, column) << "line " << line << ": " << shown;
    }
}

// How many pixels of a line of the view are mostly of one colour channel.
int PixelsLeaning(const Surface& picture, const CRect& band, int channel)
{
    int count = 0;
    for (int y = band.top; y < band.bottom; ++y)
        for (int x = band.left; x < band.right; ++x) {
            const std::uint32_t p = picture.Row(y)[x];
            const int rgb[3] = {int(p >> 16 & 0xFF), int(p >> 8 & 0xFF), int(p & 0xFF)};
            const int other1 = rgb[(channel + 1) % 3], other2 = rgb[(channel + 2) % 3];
            count += rgb[channel] > other1 + 60 && rgb[channel] > other2 + 60;
        }
    return count;
}

TEST_F(StudioLayoutTest, TheSourceShowsCommentsGreenAndMnemonicsBlue)
{
    ASSERT_TRUE(window->OpenSource(sample));
    window->Editor().RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    auto picture = CaptureWindow(window->Editor().m_hWnd, true);
    ASSERT_TRUE(picture);
    zorstudio::CSourceView& editor = window->Editor();
    auto band = [&](int line) {
        const CPoint at = editor.TextToClient(CPoint(0, line));
        return CRect(at.x, at.y, picture->Width(), at.y + editor.GetLineHeight());
    };
    const int comment = 0, instruction = LineOfLabel(window->Source(), "start:");
    ASSERT_GE(instruction, 0);
    constexpr int kGreen = 1, kBlue = 2;
    EXPECT_GT(PixelsLeaning(*picture, band(comment), kGreen), 10) << "the comment line is green";
    EXPECT_EQ(PixelsLeaning(*picture, band(comment), kBlue), 0);
    EXPECT_GT(PixelsLeaning(*picture, band(instruction), kBlue), 5) << "mov is blue";
    EXPECT_EQ(PixelsLeaning(*picture, band(instruction), kGreen), 0) << "no comment on the start line";

    // A C source colours a block comment over its lines.
    const auto c = scratch.Path() / "blink.c";
    std::ofstream(c) << "/* blinks\n   the LED */\nvoid main(void) { P1 = 0; }\n";
    ASSERT_TRUE(window->OpenSource(c));
    EXPECT_EQ(editor.Language(), zorstudio::SourceLanguage::C);
    editor.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    picture = CaptureWindow(editor.m_hWnd, true);
    ASSERT_TRUE(picture);
    EXPECT_GT(PixelsLeaning(*picture, band(1), kGreen), 10) << "the comment's second line is green too";
    EXPECT_GT(PixelsLeaning(*picture, band(2), kBlue), 5) << "void is blue";
    EXPECT_EQ(PixelsLeaning(*picture, band(2), kGreen), 0) << "the comment has ended";
}

}
}
