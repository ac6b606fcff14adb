#include <gtest/gtest.h>

#include <cstring>

#include "zorkit/platform/gdi/Brush.h"
#include "zorkit/platform/gdi/Font.h"
#include "zorkit/platform/gdi/Pen.h"
#include "zorkit/platform/gdi/Surface.h"
#include "zorkit/platform/gdi/SystemSettings.h"
#include "tests/gdi/Canvas.h"

namespace {

TEST(GdiObjects, HandlesLeadBackToTheirObjects)
{
    CPen pen(PS_DOT, 1, RGB(1, 2, 3));
    EXPECT_EQ(CPen::FromHandle(pen), &pen);
    LOGPEN described{};
    ASSERT_EQ(GetObject(HGDIOBJ(HPEN(pen)), sizeof(LOGPEN), &described), int(sizeof(LOGPEN)));
    EXPECT_EQ(described.lopnStyle, UINT(PS_DOT));
    EXPECT_EQ(described.lopnColor, RGB(1, 2, 3));
    EXPECT_EQ(GetObject(HGDIOBJ(HPEN(pen)), 2, &described), 0) << "a short buffer is refused";

    LOGFONT font{};
    font.lfHeight = 16;
    font.lfEscapement = 900;
    std::strcpy(font.lfFaceName, "Arial");
    CFont made;
    ASSERT_TRUE(made.CreateFontIndirect(&font));
    HFONT handle = made;
    LOGFONT back{};
    ASSERT_TRUE(CFont::FromHandle(handle)->GetLogFont(&back));
    EXPECT_EQ(back.lfEscapement, 900);
    EXPECT_STREQ(back.lfFaceName, "Arial");
    EXPECT_EQ(CFont::FromHandle(nullptr), nullptr);
}

TEST(GdiObjects, SelectionReturnsThePreviousObjectForRestoring)
{
    Canvas canvas(8, 8);
    CPen red(PS_SOLID, 1, RGB(255, 0, 0));
    CPen* original = canvas.dc.SelectObject(&red);
    ASSERT_NE(original, nullptr);
    EXPECT_EQ(canvas.dc.GetCurrentPen(), &red);
    LOGPEN stock{};
    original->GetLogPen(&stock);
    EXPECT_EQ(stock.lopnColor, RGB(0, 0, 0)) << "a DC starts with the black pen";
    EXPECT_EQ(canvas.dc.SelectObject(original), &red);
    EXPECT_EQ(canvas.dc.GetCurrentPen(), original);
}

TEST(GdiObjects, DeletingASelectedObjectLeavesTheDCWorking)
{
    Canvas canvas(8, 8);
    {
        CPen red(PS_SOLID, 1, RGB(255, 0, 0));
        canvas.dc.SelectObject(&red);
    }
    canvas.dc.MoveTo(0, 0);
    canvas.dc.LineTo(4, 0);
    EXPECT_EQ(canvas.dc.GetPixel(3, 0), RGB(255, 0, 0));
    LOGPEN pen{};
    ASSERT_NE(canvas.dc.GetCurrentPen(), nullptr);
    canvas.dc.GetCurrentPen()->GetLogPen(&pen);
    EXPECT_EQ(pen.lopnColor, RGB(255, 0, 0));
}

TEST(GdiObjects, BitmapsSelectIntoOneMemoryDCAtATimeOfChoice)
{
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    CBitmap first, second;
    first.CreateCompatibleBitmap(&dc, 4, 4);
    second.CreateCompatibleBitmap(&dc, 6, 6);
    CBitmap* original = dc.SelectObject(&first);
    dc.FillSolidRect(0, 0, 4, 4, RGB(9, 8, 7));
    EXPECT_EQ(dc.SelectObject(&second), &first);
    EXPECT_EQ(dc.GetPixel(0, 0), RGB(0, 0, 0)) << "a new bitmap is black";
    dc.SelectObject(original);
    EXPECT_EQ(first.GetSurface()->GetPixel(3, 3), RGB(9, 8, 7));
    BITMAP info{};
    second.GetBitmap(&info);
    EXPECT_EQ(info.bmWidth, 6);
    EXPECT_EQ(info.bmBitsPixel, 32);

    auto surface = zorkit::Surface::Create(4, 4);
    CDC window;
    window.AttachSurface(surface, CPoint(), surface->Bounds());
    EXPECT_EQ(window.SelectObject(&first), nullptr) << "only memory DCs take bitmaps";
}

TEST(SystemSettings, ChangesReachColoursBrushesMetricsAndParameters)
{
    auto& settings = zorkit::SystemSettings::Instance();
    settings.SetColor(COLOR_WINDOW, RGB(10, 20, 30));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(10, 20, 30));
    LOGBRUSH brush{};
    GetObject(HGDIOBJ(GetSysColorBrush(COLOR_WINDOW)), sizeof(brush), &brush);
    EXPECT_EQ(brush.lbColor, RGB(10, 20, 30));
    settings.SetWheelScrollLines(7);
    UINT lines = 0;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0));
    EXPECT_EQ(lines, 7u);
    settings.SetMetric(SM_CXVSCROLL, 21);
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 21);
    settings.Reset();
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 16);

    NONCLIENTMETRICS metrics{};
    metrics.cbSize = sizeof(metrics);
    ASSERT_TRUE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0));
    CFont messageFont;
    ASSERT_TRUE(messageFont.CreateFontIndirect(&metrics.lfMessageFont));
    Canvas canvas(4, 4);
    canvas.dc.SelectObject(&messageFont);
    TEXTMETRIC tm;
    canvas.dc.GetTextMetrics(&tm);
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 12);
    metrics.cbSize = 4;
    EXPECT_FALSE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0));
}

TEST(Recording, KeepsCallsInLogicalCoordinatesWithTheSelectedObjects)
{
    Canvas canvas(40, 40);
    CPen red(PS_SOLID, 1, RGB(255, 0, 0));
    canvas.dc.SelectObject(&red);
    canvas.dc.SetWindowOrg(5, 5);
    canvas.dc.MoveTo(10, 20);
    canvas.dc.LineTo(30, 20);
    canvas.dc.StartRecording();
    canvas.dc.MoveTo(10, 20);
    canvas.dc.LineTo(30, 20);
    canvas.dc.Rectangle(1, 2, 3, 4);
    canvas.dc.TextOut(7, 8, "hi", 2);
    canvas.dc.StopRecording();
    canvas.dc.LineTo(0, 0);
    const auto& calls = canvas.dc.GetRecordedCalls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].name, "LineTo");
    EXPECT_EQ(calls[0].rect, CRect(10, 20, 30, 20));
    EXPECT_EQ(calls[0].penColor, RGB(255, 0, 0));
    EXPECT_EQ(calls[1].name, "Rectangle");
    EXPECT_EQ(calls[1].brushColor, RGB(255, 255, 255));
    EXPECT_EQ(calls[2].name, "TextOut");
    EXPECT_EQ(calls[2].text, "hi");
    EXPECT_EQ(calls[2].rect.TopLeft(), CPoint(7, 8));
}

}

namespace {

TEST(GdiObjects, ADCThatDrawsOnNothingIgnoresEveryCall)
{
    CDC dc;
    EXPECT_EQ(dc.GetSafeHdc(), nullptr);
    CPen pen(PS_SOLID, 1, RGB(1, 1, 1));
    EXPECT_EQ(dc.SelectObject(&pen), nullptr);
    EXPECT_EQ(dc.SetTextColor(RGB(1, 2, 3)), CLR_INVALID);
    dc.SetBkMode(TRANSPARENT);
    dc.SetWindowOrg(4, 4);
    dc.MoveTo(0, 0);
    EXPECT_FALSE(dc.LineTo(5, 5));
    EXPECT_FALSE(dc.TextOut(0, 0, "x", 1));
    EXPECT_EQ(dc.GetTextExtent("x", 1), CSize());
    EXPECT_EQ(dc.GetPixel(0, 0), CLR_INVALID);
    CRect rect(0, 0, 5, 5);
    EXPECT_EQ(dc.DrawText("x", 1, &rect, 0), 0);
    EXPECT_EQ(dc.SaveDC(), 0);
    EXPECT_FALSE(dc.WritePng("/tmp/never.png"));
    EXPECT_TRUE(dc.CreateCompatibleDC(nullptr));
    EXPECT_TRUE(dc.DeleteDC());
    EXPECT_FALSE(dc.DeleteDC());
}

}
