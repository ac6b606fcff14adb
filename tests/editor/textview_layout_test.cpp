// Text view layout: tab expansion, measuring, hit testing and the client metrics.
#include <gtest/gtest.h>

#include <cstring>

#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/core/RuntimeClass.h"
#include "zorkit/platform/ui/SplitterWnd.h"
#include "tests/editor/TextViewHost.h"

namespace {

using zorkit::test::ViewHost;

// The hit test as growing prefixes measure it: the display form of the line is built
// one character at a time and measured whole after each.
CPoint PrefixHitTest(CTextView& view, int line, int clientX, int horzOffset)
{
    const int length = view.GetLineLength(line);
    const char* chars = view.GetLineChars(line);
    if (length == 0 || clientX < view.GetMarginWidth())
        return CPoint(0, line);
    const int target = horzOffset + clientX - view.GetMarginWidth();
    std::string shown;
    int previous = 0, current = 0, index = 0, before = 0;
    while (index < length) {
        before = index;
        const int next = zorkit::NextGbkBoundary(chars, length, index);
        if (chars[index] == '\t')
            shown.append(std::size_t(view.GetTabSize() - int(shown.size()) % view.GetTabSize()), ' ');
        else
            shown.append(chars + index, std::size_t(next - index));
        index = next;
        previous = current;
        current = view.CalcTxtExtent(shown.data(), int(shown.size())).cx;
        if (current >= target)
            break;
    }
    if (current < target)
        return CPoint(length, line);
    return CPoint(target <= (previous + current) / 2 ? before : index, line);
}

TEST(TextViewLayout, TabsExpandToTheStopsOfTheWholeLine)
{
    CTextView view;
    CString shown;
    view.ExpandChars("a\tb", shown, 0, 3);
    EXPECT_EQ(shown, "a   b");
    view.ExpandChars("ab\tc", shown, 2, 2);
    EXPECT_EQ(shown, "  c") << "a run starting at column 2 reaches the stop at 4";
    view.ExpandChars("\t\xB8\xB4\t", shown, 0, 4);
    EXPECT_EQ(shown, "    \xB8\xB4  ") << "a double-byte character takes two columns";
    view.ExpandChars("abc", shown, 1, 0);
    EXPECT_TRUE(shown.IsEmpty());

    view.SetTabSize(8);
    view.ExpandChars("a\tb", shown, 0, 3);
    EXPECT_EQ(shown, "a       b");
    for (int refused : {0, -3}) {
        view.SetTabSize(refused);
        EXPECT_EQ(view.GetTabSize(), 8) << "tab size " << refused << " would divide by zero";
    }
}

TEST(TextViewLayout, OffsetsMeasureTheExpandedTextAndRecordTheColumn)
{
    ViewHost<> host;
    host.Show({"\tab", "x\xB8\xB4y", ""});
    CTextView& view = host.view;
    const int cw = view.GetCharWidthA();
    ASSERT_GT(cw, 0);
    EXPECT_EQ(view.CalcTxtOffset(CPoint(1, 0)), 4 * cw);
    EXPECT_EQ(view.CalcTxtOffset(CPoint(3, 0)), view.CalcTxtExtent("    ab", 6).cx);
    EXPECT_EQ(view.GetLineExtent(1), view.CalcTxtExtent("x\xB8\xB4y", 4).cx);
    EXPECT_EQ(view.GetLineExtent(2), 0);
    EXPECT_EQ(view.GetMaxLineExtent(), std::max(view.GetLineExtent(0), view.GetLineExtent(1)));

    CPoint at = view.TextToClient(CPoint(1, 0), TRUE);
    EXPECT_EQ(at, CPoint(view.GetMarginWidth() + 4 * cw, 0));
    EXPECT_EQ(TextViewProbe::Indicator(view), CPoint(4, 0)) << "the tab-expanded column is recorded";
    view.TextToClient(CPoint(0, 2), TRUE);
    EXPECT_EQ(TextViewProbe::Indicator(view), CPoint(0, 2));
    view.TextToClient(CPoint(3, 1), FALSE);
    EXPECT_EQ(TextViewProbe::Indicator(view), CPoint(0, 2)) << "not recorded unless asked";
    EXPECT_EQ(view.CalcTxtOffset(CPoint(99, 0)), view.GetLineExtent(0)) << "a position past the end is clamped";
    EXPECT_EQ(view.CalcTxtOffset(CPoint(1, 7)), 0) << "a line past the end measures nothing";
}

TEST(TextViewLayout, HitTestingFindsTheNearestByteBoundary)
{
    ViewHost<> host;
    host.Show({"abcdef", "", "xy"});
    CTextView& view = host.view;
    const int cw = view.GetCharWidthA();
    const int margin = view.GetMarginWidth();
    const int lh = view.GetLineHeight();
    EXPECT_EQ(view.ClientToText(CPoint(5, lh + 2)), CPoint(0, 1)) << "margin";
    EXPECT_EQ(view.ClientToText(CPoint(margin + 3 * cw, 0 + 1)), CPoint(3, 0));
    EXPECT_EQ(view.ClientToText(CPoint(margin + cw + 1, 1)), CPoint(1, 0)) << "left half of the second character";
    EXPECT_EQ(view.ClientToText(CPoint(margin + 2 * cw - 1, 1)), CPoint(2, 0)) << "right half";
    EXPECT_EQ(view.ClientToText(CPoint(margin + 50 * cw, 1)), CPoint(6, 0)) << "right of the end";
    EXPECT_EQ(view.ClientToText(CPoint(margin + cw, 10 * lh)), CPoint(1, 2)) << "below the last line";
    EXPECT_EQ(view.ClientToText(CPoint(margin + cw, lh)), CPoint(0, 1)) << "an empty line";
}

TEST(TextViewLayout, OnePassHitTestingAgreesWithMeasuringPrefixes)
{
    ViewHost<> host(600, 200);
    const std::string gbk = zorkit::GbkFromUtf8("复位\t成功");
    std::string longLine;
    for (int i = 0; i < 30; ++i)
        longLine += (i % 7 == 3) ? "\t" : (i % 5 == 0 ? gbk : std::string("wx"));
    host.Show({"a\tbc\t\td", gbk + "ab" + gbk, longLine, std::string("\xB8\x7F\x81", 3)});
    CTextView& view = host.view;
    const int lh = view.GetLineHeight();
    for (int line = 0; line < view.GetLineCount(); ++line) {
        const int right = view.GetMarginWidth() + view.GetLineExtent(line) + 10;
        for (int x = 0; x < right; ++x)
            ASSERT_EQ(view.ClientToText(CPoint(x, line * lh + 1)), PrefixHitTest(view, line, x, 0))
                << "line " << line << ", x " << x;
    }
}

TEST(TextViewLayout, ClientMetricsAndAViewWithoutBuffer)
{
    ViewHost<> low(300, 5);
    EXPECT_EQ(low.view.GetClientLines(), 1) << "a window lower than one line still shows one";
    EXPECT_EQ(low.view.GetLineCount(), 1);
    EXPECT_EQ(low.view.ClientToText(CPoint(200, 3)), CPoint(0, 0));

    ViewHost<> host(300, 170);
    const int lh = host.view.GetLineHeight();
    EXPECT_EQ(host.view.GetClientLines(), host.Client().Height() / lh);
    EXPECT_EQ(host.view.GetClientWidth(), host.Client().Width() - 20);
    EXPECT_EQ(host.view.GetMarginWidth(), 20);

    // A buffer without lines (a zero-byte file) shows as one empty line.
    CTextBuf empty;
    host.view.AttachToBuffer(&empty);
    EXPECT_EQ(host.view.GetLineCount(), 1);
    EXPECT_EQ(host.view.ClientToText(CPoint(100, 50)), CPoint(0, 0));
    host.Repaint();
    EXPECT_EQ(host.Pixel(100, 5), GetSysColor(COLOR_WINDOW));
    host.view.DetachFromBuffer();
}

TEST(TextViewLayout, AFontChangeMeasuresTheLinesAgain)
{
    ViewHost<> host;
    host.Show({"abcdefghij", "abc"});
    CTextView& view = host.view;
    const int before = view.GetMaxLineExtent();
    LOGFONT larger{};
    std::strcpy(larger.lfFaceName, "FixedSys");
    larger.lfHeight = 32;
    view.SetFont(larger);
    EXPECT_GT(view.GetMaxLineExtent(), before);
    EXPECT_EQ(view.GetMaxLineExtent(), view.CalcTxtExtent("abcdefghij", 10).cx);
    EXPECT_GT(view.GetLineHeight(), 16);
}

TEST(TextViewLayout, ViewsAreCreatedByNameAlsoAsSplitterPanes)
{
    const CRuntimeClass* cls = CRuntimeClass::FromName("CTextView");
    ASSERT_NE(cls, nullptr) << "the library entry registers the class";
    std::unique_ptr<CObject> made(cls->CreateObject());
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CTextView)));

    zorkit::test::RecordingWnd frame;
    ASSERT_TRUE(frame.CreateTop(CRect(0, 0, 300, 200)));
    CSplitterWnd splitter;
    ASSERT_TRUE(splitter.CreateStatic(&frame, 1, 1, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL));
    ASSERT_TRUE(splitter.CreateView(0, 0, cls, CSize(200, 100), nullptr));
    auto* pane = dynamic_cast<CTextView*>(splitter.GetPane(0, 0));
    ASSERT_NE(pane, nullptr);
    EXPECT_FALSE(pane->GetStyle() & WS_VSCROLL) << "in a splitter the bars are shared";
}

}
