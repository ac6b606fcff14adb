#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/core/Messaging.h"
#include "zorkit/platform/gdi/Brush.h"
#include "zorkit/platform/gdi/Pen.h"
#include "zorkit/platform/gdi/PrintDC.h"
#include "zorkit/platform/gdi/Surface.h"
#include "zorkit/platform/ui/Snapshot.h"
#include "zorkit/platform/ui/WindowClass.h"
#include "tests/graph/GraphProbe.h"
#include "tests/support/TempDir.h"

namespace {

constexpr COLORREF kGrey = RGB(210, 210, 210);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kGreen = RGB(0, 150, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGrid = RGB(10, 50, 10);

// A 580 x 340 screen to draw the graph on.
struct Screen {
    Screen()
    {
        dc.CreateCompatibleDC(nullptr);
        bitmap.CreateCompatibleBitmap(&dc, 580, 340);
        dc.SelectObject(&bitmap);
    }
    COLORREF At(int x, int y) const { return dc.GetPixel(x, y); }
    bool SameAs(const Screen& other) const
    {
        const auto a = bitmap.GetSurface(), b = other.bitmap.GetSurface();
        for (int y = 0; y < 340; ++y)
            if (!std::equal(a->Row(y), a->Row(y) + 580, b->Row(y)))
                return false;
        return true;
    }
    CDC dc;
    CBitmap bitmap;
};

struct Curve {
    Curve(const char* name, COLORREF colour, int size)
    {
        data.samples = &samples;
        data.name = name;
        data.color = colour;
        samples.SetSize(size);
    }
    SAMPLES samples;
    DATA data;
};

std::vector<zorkit::GdiCall> Calls(const CDC& dc, const std::string& name)
{
    std::vector<zorkit::GdiCall> found;
    for (const auto& call : dc.GetRecordedCalls())
        if (call.name == name)
            found.push_back(call);
    return found;
}

// The extent of a text in an "Arial" font made the way the graph makes its fonts.
CSize ArialExtent(LONG height, LONG weight, LONG escapement, const CString& text)
{
    CFont font;
    font.CreateFont(height, 0, escapement, 0, weight, FALSE, FALSE, FALSE, 0, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, 0x10, "Arial");
    Screen screen;
    screen.dc.SelectObject(&font);
    return screen.dc.GetTextExtent(text);
}

TEST(GraphRendering, EmptyGraphShowsFrameGridTextsAndNoReferenceLine)
{
    CGraph graph;
    Screen screen;
    graph.Draw(&screen.dc);
    EXPECT_EQ(screen.At(0, 0), kBlack) << "the background rectangle has the default pen";
    EXPECT_EQ(screen.At(5, 5), kGrey);
    for (int x : {19, 20, 21, 518, 519, 520})
        EXPECT_EQ(screen.At(x, 201), kGreen) << "3-pixel frame at x = " << x;
    EXPECT_EQ(screen.At(22, 201), kBlack);
    EXPECT_EQ(screen.At(20, 200), kGrid) << "grid lines run over the frame";
    EXPECT_EQ(screen.At(21, 200), kGreen);
    // Dotted vertical grid line at x = 70 from the top edge, alternating from y = 20.
    EXPECT_EQ(screen.At(70, 22), kGrid);
    EXPECT_EQ(screen.At(70, 23), kBlack);
    EXPECT_EQ(screen.At(70, 24), kGrid);
    EXPECT_EQ(screen.At(300, 95), kBlack) << "no curves, no reference line";

    // Value labels right of the plot, sample labels below it, title above.
    auto inked = [&](const CRect& area) {
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (screen.At(x, y) != kGrey)
                    return true;
        return false;
    };
    EXPECT_TRUE(inked(CRect(522, 10, 580, 30)));
    EXPECT_TRUE(inked(CRect(300, 322, 340, 340))) << "sample label 300";
    EXPECT_TRUE(inked(CRect(240, 2, 300, 18))) << "the title";
    EXPECT_TRUE(inked(CRect(2, 150, 18, 200))) << "the upward y-axis label";
}

TEST(GraphRendering, LegendBoxGeometryFollowsTheNames)
{
    CGraph graph;
    Screen empty;
    empty.dc.StartRecording();
    GraphProbe::Legend(graph, &empty.dc);
    auto boxes = Calls(empty.dc, "Rectangle");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].rect, CRect(485, 23, 517, 29));
    auto texts = Calls(empty.dc, "TextOut");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, zorkit::GbkFromUtf8("图例"));
    EXPECT_EQ(texts[0].rect.TopLeft(), CPoint(488, 25));

    Curve a("T", kRed, 10), b("Output", RGB(0, 0, 255), 10);
    graph.AddData(&a.data);
    graph.AddData(&b.data);
    CBrush grey(kGrey);
    Screen two;
    const CSize name = two.dc.GetTextExtent("Output", 6);
    two.dc.SelectObject(&grey);
    two.dc.StartRecording();
    GraphProbe::Legend(graph, &two.dc);
    boxes = Calls(two.dc, "Rectangle");
    ASSERT_EQ(boxes.size(), 3u);
    const int cy = 16;  // the 16-pixel legend font's cell
    const CRect box(517 - name.cx - 20 - 12, 23, 517, 23 + 3 * cy + 6);
    EXPECT_EQ(boxes[0].rect, box);
    const CRect first(box.left + 2 + 3, box.top + 2 + cy, box.left + 2 + 3 + cy, box.top + 2 + 2 * cy);
    CRect swatch = first;
    swatch.DeflateRect(2, 2);
    EXPECT_EQ(boxes[1].rect, swatch) << "the first swatch frame is 2 pixels smaller";
    CRect second = first;
    second.OffsetRect(0, cy);
    EXPECT_EQ(boxes[2].rect, second);
    const COLORREF white = RGB(255, 255, 255);
    EXPECT_EQ(boxes[0].brushColor, white);
    EXPECT_EQ(boxes[1].penColor, kBlack);
    EXPECT_EQ(boxes[1].penWidth, 1);
    EXPECT_EQ(boxes[1].brushColor, white) << "swatch frames keep the legend brush";
    const auto fills = Calls(two.dc, "FillRect");
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0].brushColor, kRed);
    texts = Calls(two.dc, "TextOut");
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[2].text, "Output");
    EXPECT_EQ(texts[2].rect.TopLeft(), CPoint(second.right + 3, second.top));
    for (const auto& text : texts) {
        EXPECT_EQ(text.textColor, kBlack) << text.text;
        EXPECT_EQ(text.fontWeight, 400) << text.text;
    }
    EXPECT_EQ(two.dc.GetTextColor(), kBlack) << "the text colour is restored";
}

TEST(GraphRendering, FrameGridAndTicksHaveTheirPensAndPlaces)
{
    CGraph graph;
    Screen grid;
    grid.dc.SetBkMode(OPAQUE);
    grid.dc.StartRecording();
    GraphProbe::Coordinate(graph, &grid.dc);
    EXPECT_EQ(grid.dc.GetBkMode(), TRANSPARENT) << "left transparent for the legend's texts";
    const auto frames = Calls(grid.dc, "Rectangle");
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].rect, CRect(20, 20, 520, 320));
    EXPECT_EQ(frames[0].penWidth, 3);
    EXPECT_EQ(frames[0].penColor, kGreen);
    EXPECT_EQ(frames[0].brushColor, kBlack);
    auto lines = Calls(grid.dc, "LineTo");
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_EQ(lines[0].rect, CRect(70, 20, 70, 320));
    EXPECT_EQ(lines[8].rect, CRect(470, 20, 470, 320));
    EXPECT_EQ(lines[9].rect, CRect(20, 50, 520, 50)) << "horizontal lines follow the vertical ones";
    EXPECT_EQ(lines[17].rect, CRect(20, 290, 520, 290));
    for (const auto& line : lines) {
        EXPECT_EQ(line.penStyle, PS_DOT);
        EXPECT_EQ(line.penColor, kGrid);
    }

    GraphProbe::SetGrid(graph, 0);
    Screen ticks;
    ticks.dc.StartRecording();
    GraphProbe::Coordinate(graph, &ticks.dc);
    lines = Calls(ticks.dc, "LineTo");
    ASSERT_EQ(lines.size(), 36u);
    EXPECT_EQ(lines[0].rect, CRect(70, 320, 70, 315));
    EXPECT_EQ(lines[1].rect, CRect(70, 20, 70, 25));
    EXPECT_EQ(lines[18].rect, CRect(20, 50, 25, 50));
    EXPECT_EQ(lines[19].rect, CRect(520, 50, 515, 50));
    for (const auto& line : lines) {
        EXPECT_EQ(line.penStyle, PS_SOLID);
        EXPECT_EQ(line.penWidth, 1);
        EXPECT_EQ(line.penColor, kRed);
    }
    LOGPEN pen{};
    ticks.dc.GetCurrentPen()->GetLogPen(&pen);
    EXPECT_EQ(pen.lopnColor, kBlack) << "the default pen is selected again";
}

TEST(GraphRendering, TitleAndAxisLabelsSitAroundThePlotAndRestoreTheBackgroundMode)
{
    CGraph graph;
    Screen screen;
    screen.dc.SetBkMode(OPAQUE);
    screen.dc.StartRecording();
    GraphProbe::Title(graph, &screen.dc);
    GraphProbe::XLabel(graph, &screen.dc);
    GraphProbe::YLabel(graph, &screen.dc);
    EXPECT_EQ(screen.dc.GetBkMode(), OPAQUE);
    const auto texts = Calls(screen.dc, "TextOut");
    ASSERT_EQ(texts.size(), 3u);
    for (const auto& text : texts) {
        EXPECT_EQ(text.bkMode, TRANSPARENT) << text.text;
        EXPECT_EQ(text.fontHeight, 16) << text.text;
    }

    const CString title = zorkit::GbkFromUtf8("波形");
    const CSize titleSize = ArialExtent(16, 500, 0, title);
    EXPECT_EQ(texts[0].text, std::string(title));
    EXPECT_EQ(texts[0].fontWeight, 500);
    EXPECT_EQ(texts[0].rect.TopLeft(), CPoint(20 + (500 - titleSize.cx) / 2, 20 - titleSize.cy));

    const CSize xSize = ArialExtent(16, 200, 0, "(t)");
    EXPECT_EQ(texts[1].text, "(t)");
    EXPECT_EQ(texts[1].fontWeight, 200);
    EXPECT_EQ(texts[1].fontEscapement, 0);
    EXPECT_EQ(texts[1].rect.TopLeft(), CPoint(520 - xSize.cx, 320));

    const CString yLabel = zorkit::GbkFromUtf8("幅度");
    const CSize ySize = ArialExtent(16, 200, 900, yLabel);
    EXPECT_EQ(texts[2].text, std::string(yLabel));
    EXPECT_EQ(texts[2].fontWeight, 200);
    EXPECT_EQ(texts[2].fontEscapement, 900);
    EXPECT_EQ(texts[2].rect.TopLeft(), CPoint(20 - ySize.cy, 320 - (300 - ySize.cx) / 2));
}

TEST(GraphRendering, CurvesReferenceLineAndLabelsFollowTheData)
{
    CGraph graph;
    Curve curve("T", RGB(255, 255, 0), 500);
    graph.AddData(&curve.data);
    for (double v : {100.0, -100.0, 0.0})
        curve.samples.Add(v);
    Screen screen;
    graph.Draw(&screen.dc);
    EXPECT_EQ(screen.At(300, 95), kRed) << "reference line at benchmark 50";
    EXPECT_EQ(screen.At(20, 20), RGB(255, 255, 0)) << "the curve starts at (left, y of value 0)";

    Screen recorded;
    recorded.dc.StartRecording();
    GraphProbe::Plot(graph, &recorded.dc);
    const auto lines = Calls(recorded.dc, "LineTo");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].rect, CRect(20, 95, 520, 95));
    EXPECT_EQ(lines[0].penColor, kRed);
    EXPECT_EQ(lines[1].rect, CRect(20, 20, 21, 20));
    EXPECT_EQ(lines[2].rect, CRect(21, 20, 22, 320));
    EXPECT_EQ(lines[3].rect, CRect(22, 320, 23, 170));
    EXPECT_EQ(lines[3].penColor, RGB(255, 255, 0));
    const auto texts = Calls(recorded.dc, "TextOut");
    ASSERT_EQ(texts.size(), 16u);
    EXPECT_EQ(texts[10].text, " 100");
    EXPECT_EQ(texts[10].rect.left, 520);
    EXPECT_EQ(texts[10].rect.top, 20 - 8);
    EXPECT_EQ(texts[0].text, "-100");
    EXPECT_EQ(texts[0].rect.TopLeft(), CPoint(520, 320 - 8));
    EXPECT_EQ(texts[15].text, "400");
    const CSize hundred = ArialExtent(16, 200, 0, "100");
    EXPECT_EQ(texts[12].rect.TopLeft(), CPoint(120 - hundred.cx / 2, 320)) << "centred under its grid line";
    for (const auto& text : texts) {
        EXPECT_EQ(text.fontWeight, 200) << text.text;
        EXPECT_EQ(text.bkMode, TRANSPARENT) << text.text;
    }
}

TEST(GraphRendering, TheLastCurvesSizeSetsTheSampleScale)
{
    CGraph graph;
    Curve big("a", kRed, 300), small("b", kGreen, 200);
    graph.AddData(&big.data);
    graph.AddData(&small.data);
    Screen recorded;
    recorded.dc.StartRecording();
    GraphProbe::Plot(graph, &recorded.dc);
    const auto texts = Calls(recorded.dc, "TextOut");
    ASSERT_EQ(texts.size(), 16u);
    EXPECT_EQ(texts[12].text, "40");
    EXPECT_EQ(texts[15].text, "160");
    EXPECT_EQ(Calls(recorded.dc, "LineTo").size(), 2u) << "two reference lines, no values yet";
}

TEST(GraphRendering, ZoomAboveNineIsClampedByPainting)
{
    CGraph graph;
    Curve curve("T", kRed, 10);
    graph.AddData(&curve.data);
    curve.samples.Add(10);
    graph.SetZoom(12);
    EXPECT_EQ(GraphProbe::Zoom(graph), 12);
    Screen recorded;
    recorded.dc.StartRecording();
    GraphProbe::Plot(graph, &recorded.dc);
    EXPECT_EQ(GraphProbe::Zoom(graph), 9);
    const auto lines = Calls(recorded.dc, "LineTo");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].rect, CRect(20, 35, 70, 35));
}

TEST(GraphRendering, CountAboveTheBufferSizeDrawsOnlyTheBuffer)
{
    CGraph graph;
    Curve curve("T", kRed, 5);
    graph.AddData(&curve.data);
    curve.samples.count = 1000;
    Screen recorded;
    recorded.dc.StartRecording();
    GraphProbe::Plot(graph, &recorded.dc);
    EXPECT_EQ(Calls(recorded.dc, "LineTo").size(), 1u + 5u);

    curve.samples.Release();
    recorded.dc.ClearRecordedCalls();
    GraphProbe::Plot(graph, &recorded.dc);
    EXPECT_EQ(Calls(recorded.dc, "LineTo").size(), 1u) << "a released buffer has nothing to draw";
}

TEST(GraphRendering, StaticLayerIsPaintedOnceAndCurvesOnEveryDraw)
{
    CGraph graph;
    Curve curve("T", RGB(255, 255, 0), 500);
    graph.AddData(&curve.data);
    Screen before;
    graph.Draw(&before.dc);
    CDC* background = GraphProbe::Background(graph);
    ASSERT_NE(background, nullptr);
    background->StartRecording();

    graph.SetTitle("changed");
    GraphProbe::SetGrid(graph, 0);
    Screen after;
    graph.Draw(&after.dc);
    EXPECT_TRUE(background->GetRecordedCalls().empty());
    EXPECT_TRUE(after.SameAs(before)) << "title and grid changes do not reach the screen";

    curve.samples.Add(100);
    graph.SetBenchmark(0);
    Screen data;
    graph.Draw(&data.dc);
    EXPECT_EQ(data.At(300, 170), kRed) << "the reference line moved to benchmark 0";
    EXPECT_EQ(data.At(300, 95), kBlack) << "the old one is gone";
}

TEST(GraphRendering, TicksReplaceTheGridWhenTheFlagIsClear)
{
    CGraph graph;
    GraphProbe::SetGrid(graph, 0);
    Screen screen;
    graph.Draw(&screen.dc);
    for (int y = 316; y < 320; ++y)
        EXPECT_EQ(screen.At(70, y), kRed) << "bottom tick at y = " << y;
    EXPECT_EQ(screen.At(70, 315), kBlack);
    EXPECT_EQ(screen.At(70, 200), kBlack) << "no grid line";
    EXPECT_EQ(screen.At(22, 50), kRed) << "left tick";
    EXPECT_EQ(screen.At(520, 50), kRed) << "the right tick starts on the frame";
    EXPECT_EQ(screen.At(516, 50), kRed);
    EXPECT_EQ(screen.At(515, 50), kBlack);
}

TEST(GraphRendering, NullDrawPaintsTheEmptyScreenAndLaterDrawsAreWhole)
{
    CGraph graph;
    DRAW* own = GraphProbe::Draw(graph);
    graph.SetDraw(nullptr);
    Screen screen;
    graph.Draw(&screen.dc);
    EXPECT_EQ(screen.At(300, 200), kGrey);
    EXPECT_EQ(GraphProbe::Background(graph), nullptr);
    graph.PrintWave(&screen.dc);
    graph.SetDraw(own);
    graph.Draw(&screen.dc);
    EXPECT_EQ(screen.At(20, 201), kGreen);
}

TEST(GraphRendering, NoteXLabelsAStripUnderThePlotWhenTheGridIsOn)
{
    CGraph graph;
    Curve curve("T", kRed, 500);
    graph.AddData(&curve.data);
    Screen screen;
    screen.dc.StartRecording();
    GraphProbe::NoteX(graph, &screen.dc, 10);
    const auto fills = Calls(screen.dc, "FillRect");
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].rect, CRect(20, 320, 520, 338));
    EXPECT_EQ(fills[0].brushColor, kGrey);
    const auto texts = Calls(screen.dc, "TextOut");
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[1].text, "100");
    EXPECT_EQ(texts[1].rect.TopLeft(), CPoint(120, 320));
    LOGPEN pen{};
    screen.dc.GetCurrentPen()->GetLogPen(&pen);
    EXPECT_EQ(pen.lopnStyle, UINT(PS_DOT)) << "the strip's pen is left selected";

    GraphProbe::SetGrid(graph, 0);
    screen.dc.ClearRecordedCalls();
    GraphProbe::NoteX(graph, &screen.dc, 10);
    EXPECT_TRUE(Calls(screen.dc, "TextOut").empty());
}

TEST(GraphPrinting, PrintsOnAPrinterOnlyAndRestoresThePlotRectangle)
{
    CGraph graph;
    Curve curve("T", kRed, 500);
    graph.AddData(&curve.data);
    curve.samples.Add(40);
    Screen screen;
    screen.dc.StartRecording();
    graph.PrintWave(&screen.dc);
    EXPECT_TRUE(screen.dc.GetRecordedCalls().empty()) << "a screen DC gets nothing";

    TempDir scratch;
    const std::string path = scratch.File("graph.pdf");
    {
        CPrintDC printer;
        ASSERT_TRUE(printer.Create(path.c_str()));
        printer.StartDoc("graph");
        printer.StartPage();
        printer.SetBkMode(OPAQUE);
        printer.StartRecording();
        graph.SetTitle("printed");
        graph.PrintWave(&printer);
        EXPECT_EQ(GraphProbe::Draw(graph)->rect, CRect(20, 20, 520, 320));
        EXPECT_EQ(printer.GetBkMode(), TRANSPARENT) << "the mode the frame painter left is the one restored";
        const auto frames = Calls(printer, "Rectangle");
        ASSERT_FALSE(frames.empty());
        EXPECT_EQ(frames[0].rect, CRect(520, 520, 10520, 6520));
        const auto texts = Calls(printer, "TextOut");
        ASSERT_EQ(texts.size(), 19u) << "title, x label, 16 labels, y label; no legend";
        for (const auto& text : texts) {
            EXPECT_EQ(text.fontHeight, 200) << text.text;
            EXPECT_EQ(text.fontWeight, 100) << text.text;
            EXPECT_EQ(text.textColor, kBlack) << text.text;
            EXPECT_EQ(text.bkMode, TRANSPARENT) << text.text;
        }
        const CSize title = ArialExtent(200, 100, 0, "printed");
        EXPECT_EQ(texts[0].text, "printed");
        EXPECT_EQ(texts[0].rect.TopLeft(), CPoint(520 + (10000 - title.cx) / 2, 520 - title.cy));
        const CSize xLabel = ArialExtent(200, 100, 0, "(t)");
        EXPECT_EQ(texts[1].rect.TopLeft(), CPoint(10520 - xLabel.cx, 6520));
        EXPECT_EQ(texts[2].text, "-100");
        EXPECT_EQ(texts[2].rect.TopLeft(), CPoint(10520, 6520 - xLabel.cy / 2)) << "Plot's labels keep the print font";
        const CString yText = zorkit::GbkFromUtf8("幅度");
        const CSize yLabel = ArialExtent(200, 100, 900, yText);
        EXPECT_EQ(texts.back().text, std::string(yText));
        EXPECT_EQ(texts.back().fontEscapement, 900);
        EXPECT_EQ(texts.back().rect.TopLeft(), CPoint(520 - yLabel.cy, 6520 - (6000 - yLabel.cx) / 2));
        // cy = 3520 and 30 units per value: benchmark 50 at 2020, the value 40 at 2320.
        const auto lines = Calls(printer, "LineTo");
        ASSERT_EQ(lines.size(), 18u + 2u);
        EXPECT_EQ(lines[18].rect, CRect(520, 2020, 10520, 2020));
        EXPECT_EQ(lines[18].penColor, kRed);
        EXPECT_EQ(lines[19].rect, CRect(520, 2320, 540, 2320));
        printer.EndPage();
        EXPECT_GT(printer.EndDoc(), 0);
    }
    std::ifstream file(path, std::ios::binary);
    std::string head(5, '\0');
    file.read(head.data(), 5);
    EXPECT_EQ(head, "%PDF-");
}

TEST(GraphWindow, OnPaintShowsTheSamePictureAsDraw)
{
    CGraph graph;
    Curve curve("T", RGB(255, 255, 0), 500);
    graph.AddData(&curve.data);
    for (int i = 0; i < 500; ++i)
        curve.samples.Add(80.0 * (i % 50) / 50.0);
    ASSERT_TRUE(graph.CreateEx(0, AfxRegisterWndClass(0), "graph", WS_POPUP | WS_VISIBLE, CRect(0, 0, 600, 360),
                               nullptr, 0));
    graph.UpdateWindow();
    const auto shown = zorkit::CaptureWindow(graph.m_hWnd, true);
    ASSERT_NE(shown, nullptr);
    Screen headless;
    graph.Draw(&headless.dc);
    for (int y = 0; y < 340; ++y)
        for (int x = 0; x < 580; ++x)
            ASSERT_EQ(shown->GetPixel(x, y), headless.At(x, y)) << "at " << x << "," << y;
    graph.DestroyWindow();
}

}
