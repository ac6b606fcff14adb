// The source margin beside the editor as a student scrolls: by the wheel and by the
// keys, the numbers and the breakpoint's mark stand beside their lines in the very
// picture the scroll left, before any timer or later paint.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/studio/StudioWindowFixture.h"
#include "zorkit/platform/ui/Snapshot.h"

namespace zorkit::studio::test {
namespace {

using zorstudio::CSourceMargin;

class SourceMarginTest : public StudioWindowTest {
protected:
    static constexpr int kLines = 150;
    static constexpr int kMarked = 20;  // the line (from 0) with the breakpoint

    void SetUp() override
    {
        StudioWindowTest::SetUp();
        // A program longer than the editor is high.
        const auto path = scratch.Path() / "long.asm";
        std::ofstream out(path);
        out << "\t.area\tCODE (ABS)\n\t.org\t0x0100\n";
        for (int line = 2; line < kLines; ++line)
            out << "\tnop\n";
        out.close();
        ASSERT_TRUE(window->OpenSource(path));
        Key('B', true);
        ASSERT_TRUE(window->LastBuild().ok) << Message();
        // The breakpoint by a click on its line in the margin.
        const CRect row = window->Margin().LineRect(kMarked);
        ASSERT_FALSE(row.IsRectEmpty());
        Click(window->Margin(), row.CenterPoint());
        ASSERT_EQ(window->Margin().BreakpointLines(), (std::set<int>{kMarked})) << Message();
        // The focus in the editor, where the wheel and the keys go.
        ClickCentre(window->Editor());
    }

    std::string Message() { return window->StatusBar().PaneText(zorstudio::CStudioWindow::kMessagePane); }
    int TopLine() { return window->Editor().ClientToText(CPoint(window->Editor().GetMarginWidth(), 0)).y; }
    std::shared_ptr<Surface> MarginPicture() { return CaptureWindow(window->Margin().m_hWnd, true); }

    // The margin as the last input left it is what it paints afresh: nothing stale.
    void ExpectMarginUpToDate(const char* after)
    {
        auto shown = MarginPicture();
        window->Margin().RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        auto fresh = MarginPicture();
        ASSERT_TRUE(shown && fresh);
        const int differing = Differing(*shown, *fresh);
        EXPECT_EQ(differing, 0) << "pixels of the margin left from before " << after;
    }
    // The breakpoint's red in the margin's picture stands in the editor's row of its line.
    void ExpectMarkBesideItsLine()
    {
        auto picture = MarginPicture();
        int first = -1, last = -1;
        for (int y = 0; y < picture->Height(); ++y)
            for (int x = 0; x < picture->Width(); ++x)
                if (picture->GetPixel(x, y) == CSourceMargin::kBreakpoint) {
                    first = first < 0 ? y : first;
                    last = y;
                }
        CPoint row(0, window->Editor().TextToClient(CPoint(0, kMarked)).y);
        window->Editor().ClientToScreen(&row);
        window->Margin().ScreenToClient(&row);
        ASSERT_NE(first, -1) << "no red mark in the margin";
        EXPECT_GE(first, row.y) << "the mark starts within its line's row";
        EXPECT_LT(last, row.y + window->Editor().GetLineHeight()) << "and ends within it";
    }
    static int Differing(const Surface& a, const Surface& b)
    {
        int count = 0;
        for (int y = 0; y < a.Height(); ++y)
            for (int x = 0; x < a.Width(); ++x)
                count += a.GetPixel(x, y) != b.GetPixel(x, y);
        return count;
    }
    void Wheel(int notches)
    {
        CRect client;
        window->Editor().GetClientRect(&client);
        CPoint centre = client.CenterPoint();
        window->Editor().ClientToScreen(&centre);
        DeliverInput({InputKind::Wheel, centre, MouseButton::Left, notches * WHEEL_DELTA});
    }
};

TEST_F(SourceMarginTest, TheWheelMovesTheNumbersAndTheMarkWithTheLines)
{
    ASSERT_EQ(TopLine(), 0);
    const auto before = MarginPicture();
    Wheel(-2);
    const int top = TopLine();
    ASSERT_GT(top, 0) << "the wheel scrolls the editor";
    ASSERT_LT(top, kMarked) << "the marked line is still in view";
    ExpectMarginUpToDate("the wheel");
    ExpectMarkBesideItsLine();
    EXPECT_GT(Differing(*before, *MarginPicture()), 0) << "the numbers moved";

    Wheel(2);
    EXPECT_EQ(TopLine(), 0);
    ExpectMarginUpToDate("the wheel back");
    ExpectMarkBesideItsLine();
    EXPECT_EQ(Differing(*before, *MarginPicture()), 0) << "back where it started";
}

TEST_F(SourceMarginTest, PageAndArrowKeysScrollTheMarginAlong)
{
    Key(VK_NEXT);
    EXPECT_GT(TopLine(), 0) << "Page Down scrolls the editor";
    ExpectMarginUpToDate("Page Down");
    // The cursor past the bottom row scrolls the text by one line at a time.
    const int top = TopLine();
    for (int press = 0; press <= window->Editor().GetClientLines() && TopLine() == top; ++press)
        Key(VK_DOWN);
    ASSERT_GT(TopLine(), top);
    ExpectMarginUpToDate("the arrow key");
    Key(VK_HOME, true);
    EXPECT_EQ(TopLine(), 0);
    ExpectMarginUpToDate("Ctrl+Home");
    ExpectMarkBesideItsLine();
}

}
}
