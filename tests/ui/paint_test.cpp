#include <gtest/gtest.h>

#include "zorkit/platform/gdi/Surface.h"
#include "zorkit/platform/ui/ClientDC.h"
#include "zorkit/platform/ui/Input.h"
#include "zorkit/platform/ui/PaintDC.h"
#include "zorkit/platform/ui/Snapshot.h"
#include "TestWindows.h"

namespace {

using zorkit::test::RecordingWnd;

// Paints its client area in one colour and counts its paints and erases.
class Painter : public RecordingWnd {
public:
    COLORREF colour = RGB(0, 0, 255);
    int paints = 0;
    int erases = 0;
    CRect lastPaint;

    void OnPaint()
    {
        CPaintDC dc(this);
        ++paints;
        lastPaint = dc.m_ps.rcPaint;
        CRect client;
        GetClientRect(&client);
        dc.FillSolidRect(&client, colour);
    }
    BOOL OnEraseBkgnd(CDC* dc)
    {
        ++erases;
        return CWnd::OnEraseBkgnd(dc);
    }
    static const CMessageMap* GetThisMessageMap()
    {
        static const CMessageMap map(&RecordingWnd::GetThisMessageMap, {
            zorkit::MapMessage<WM_PAINT>(&Painter::OnPaint),
            zorkit::MapMessage<WM_ERASEBKGND>(&Painter::OnEraseBkgnd),
        });
        return &map;
    }
    const CMessageMap* GetMessageMap() const override { return GetThisMessageMap(); }
};

COLORREF PixelOf(CWnd& top, int x, int y)
{
    return zorkit::CaptureWindow(top.m_hWnd)->GetPixel(x, y);
}

TEST(Paint, InvalidWindowsArePaintedOnceWhenTheQueueIsEmpty)
{
    Painter top;
    ASSERT_TRUE(top.CreateTop(CRect(0, 0, 100, 80)));
    zorkit::PumpPendingMessages();
    EXPECT_EQ(top.paints, 1) << "a new visible window is invalid";
    EXPECT_EQ(top.erases, 1);
    EXPECT_EQ(PixelOf(top, 50, 40), RGB(0, 0, 255));

    zorkit::PumpPendingMessages();
    EXPECT_EQ(top.paints, 1) << "a valid window is not painted again";

    top.InvalidateRect(CRect(10, 10, 20, 20), FALSE);
    top.InvalidateRect(CRect(30, 5, 40, 15), FALSE);
    zorkit::PumpPendingMessages();
    EXPECT_EQ(top.paints, 2) << "invalidations merge into one paint";
    EXPECT_EQ(top.erases, 1) << "no erase was asked for";
    EXPECT_EQ(top.lastPaint, CRect(10, 5, 40, 20));
}

TEST(Paint, PaintDCClipsToTheInvalidArea)
{
    Painter top;
    ASSERT_TRUE(top.CreateTop(CRect(0, 0, 100, 80)));
    top.UpdateWindow();
    top.colour = RGB(255, 0, 0);
    top.InvalidateRect(CRect(10, 10, 20, 20), FALSE);
    top.UpdateWindow();
    EXPECT_EQ(PixelOf(top, 15, 15), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(top, 20, 15), RGB(0, 0, 255)) << "outside the invalid area nothing changes";
    EXPECT_EQ(PixelOf(top, 9, 9), RGB(0, 0, 255));
}

TEST(Paint, ValidatedAreasAreNotPainted)
{
    Painter top;
    ASSERT_TRUE(top.CreateTop(CRect(0, 0, 100, 80)));
    top.UpdateWindow();
    top.InvalidateRect(CRect(0, 0, 50, 50));
    top.ValidateRect(CRect(0, 0, 100, 80));
    CRect update;
    EXPECT_FALSE(top.GetUpdateRect(&update));
    zorkit::PumpPendingMessages();
    EXPECT_EQ(top.paints, 1);

    top.InvalidateRect(CRect(0, 0, 50, 50));
    top.ValidateRect(CRect(0, 0, 100, 20));
    ASSERT_TRUE(top.GetUpdateRect(&update));
    EXPECT_EQ(update, CRect(0, 20, 50, 50)) << "a whole band comes off";
}

TEST(Paint, ParentRepaintRepaintsChildrenOnTop)
{
    Painter top, child;
    ASSERT_TRUE(top.CreateTop(CRect(0, 0, 100, 80)));
    child.colour = RGB(0, 255, 0);
    ASSERT_TRUE(child.CreateChild(&top, CRect(10, 10, 30, 30), 1));
    top.UpdateWindow();
    EXPECT_EQ(PixelOf(top, 15, 15), RGB(0, 255, 0));
    EXPECT_EQ(PixelOf(top, 5, 5), RGB(0, 0, 255));

    top.Invalidate();
    zorkit::PumpPendingMessages();
    EXPECT_EQ(child.paints, 2) << "the parent's repaint covered the child";
    EXPECT_EQ(PixelOf(top, 15, 15), RGB(0, 255, 0)) << "the child is painted after its parent";

    CClientDC dc(&child);
    dc.FillSolidRect(-50, -50, 200, 200, RGB(1, 2, 3));
    EXPECT_EQ(PixelOf(top, 9, 15), RGB(0, 0, 255)) << "a child's DC cannot draw outside the child";
    EXPECT_EQ(PixelOf(top, 29, 29), RGB(1, 2, 3));
}

TEST(Paint, HiddenWindowsAreNeitherPaintedNorDrawable)
{
    Painter top;
    ASSERT_TRUE(top.CreateTop(CRect(0, 0, 100, 80), 0));
    zorkit::PumpPendingMessages();
    EXPECT_EQ(top.paints, 0);
    top.ShowWindow(SW_SHOW);
    zorkit::PumpPendingMessages();
    EXPECT_EQ(top.paints, 1);
}

TEST(Paint, ScrollWindowMovesPixelsAndInvalidatesTheUncoveredBand)
{
    class Bands : public Painter {
    public:
        void OnPaint()
        {
            CPaintDC dc(this);
            ++paints;
            lastPaint = dc.m_ps.rcPaint;
            for (int y = 0; y < 80; ++y)
                dc.FillSolidRect(0, y, 100, 1, RGB(y, 0, 0));
        }
        static const CMessageMap* GetThisMessageMap()
        {
            static const CMessageMap map(&Painter::GetThisMessageMap, {zorkit::MapMessage<WM_PAINT>(&Bands::OnPaint)});
            return &map;
        }
        const CMessageMap* GetMessageMap() const override { return GetThisMessageMap(); }
    };
    Bands top;
    ASSERT_TRUE(top.CreateTop(CRect(0, 0, 100, 80)));
    top.UpdateWindow();
    top.ScrollWindow(0, -10);
    EXPECT_EQ(PixelOf(top, 50, 0), RGB(10, 0, 0)) << "content moved up by ten rows";
    EXPECT_EQ(PixelOf(top, 50, 69), RGB(79, 0, 0));
    CRect update;
    ASSERT_TRUE(top.GetUpdateRect(&update));
    EXPECT_EQ(update, CRect(0, 70, 100, 80));
    top.UpdateWindow();
    EXPECT_EQ(top.lastPaint, CRect(0, 70, 100, 80));
}

}
