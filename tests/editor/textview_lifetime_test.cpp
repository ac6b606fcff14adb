// A view and its buffer over their lives: a buffer that goes first, metrics asked for
// before the window exists, and a buffer attached before the initial update.
#include <gtest/gtest.h>

#include "zorkit/editor/UIEditView.h"
#include "zorkit/platform/core/RuntimeClass.h"
#include "zorkit/platform/ui/SplitterWnd.h"
#include "tests/editor/TextViewHost.h"

namespace {

using zorkit::test::NumberedLines;
using zorkit::test::ViewHost;

// How many pixels of the view's line 0, right of the margin, differ from the window colour.
int InkOnFirstLine(CTextView& view)
{
    view.Invalidate(FALSE);
    view.UpdateWindow();
    auto picture = zorkit::CaptureWindow(view.m_hWnd, true);
    CRect client;
    view.GetClientRect(&client);
    int ink = 0;
    for (int y = 0; y < view.GetLineHeight(); ++y)
        for (int x = view.GetMarginWidth(); x < client.right; ++x)
            ink += picture->GetPixel(x, y) != GetSysColor(COLOR_WINDOW);
    return ink;
}

TEST(TextViewLifetime, ABufferThatGoesFirstLeavesItsViewsEmpty)
{
    ViewHost<> host;
    auto buffer = std::make_unique<CTextBuf>();
    zorkit::test::FillLines(*buffer, {"first", "second"});
    host.view.AttachToBuffer(buffer.get());
    ViewHost<CUIEditView> other;
    other.view.AttachToBuffer(buffer.get());
    ASSERT_GT(InkOnFirstLine(host.view), 0);
    buffer.reset();
    EXPECT_EQ(TextViewProbe::Buffer(host.view), nullptr);
    EXPECT_EQ(TextViewProbe::Buffer(other.view), nullptr);
    EXPECT_EQ(host.view.GetLineCount(), 1);
    EXPECT_EQ(InkOnFirstLine(host.view), 0) << "an empty view is painted";
    other.view.SetFocus();
    zorkit::test::TypeText("x");
    EXPECT_EQ(InkOnFirstLine(other.view), 0) << "typing into a view without a buffer does nothing";
}

TEST(TextViewLifetime, MetricsMeasuredBeforeTheWindowExistsAreMeasuredAgainWithItsFont)
{
    ViewHost<> reference;
    reference.Show(NumberedLines(30));

    CTextBuf buffer;
    zorkit::test::FillLines(buffer, NumberedLines(30));
    CTextView early;
    early.AttachToBuffer(&buffer);
    early.GetLineHeight();
    early.GetCharWidthA();
    early.GetMaxLineExtent();
    CRect place;
    reference.view.GetWindowRect(&place);
    reference.frame.ScreenToClient(&place);
    ASSERT_TRUE(early.Create(nullptr, "text", WS_CHILD | WS_VISIBLE, place, &reference.frame, 2));
    EXPECT_EQ(early.GetLineHeight(), reference.view.GetLineHeight());
    EXPECT_EQ(early.GetCharWidthA(), reference.view.GetCharWidthA());
    EXPECT_EQ(early.GetMaxLineExtent(), reference.view.GetMaxLineExtent());
    EXPECT_EQ(early.GetClientLines(), reference.view.GetClientLines());
    early.DestroyWindow();
}

TEST(TextViewLifetime, TheInitialUpdateKeepsABufferAttachedBeforeIt)
{
    zorkit::test::RecordingWnd frame;
    ASSERT_TRUE(frame.CreateTop(CRect(0, 0, 640, 240)));
    CSplitterWnd splitter;
    ASSERT_TRUE(splitter.CreateStatic(&frame, 1, 1, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL));
    ASSERT_TRUE(splitter.CreateView(0, 0, RUNTIME_CLASS(CTextView), CSize(600, 200), nullptr));
    auto& view = *static_cast<CTextView*>(splitter.GetPane(0, 0));
    CTextBuf buffer;
    zorkit::test::FillLines(buffer, {"kept", "text"});
    view.AttachToBuffer(&buffer);
    frame.SendMessageToDescendants(WM_INITIALUPDATE);
    zorkit::PumpPendingMessages();
    EXPECT_EQ(TextViewProbe::Buffer(view), &buffer);
    EXPECT_EQ(view.GetLineCount(), 2);
    EXPECT_GT(InkOnFirstLine(view), 0) << "the text is shown";
    splitter.DestroyWindow();
}

}
