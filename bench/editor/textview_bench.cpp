// Text view speed on the headless backend: repainting a full screen, scrolling one line,
// hit testing on a long line, and showing the first screen of a 100 MB buffer.
// Aims: repaint under 1 ms, one-line scroll under 0.3 ms, hit test under 20 us,
// the 100 MB first screen under 150 ms.
//
//   zorkit_editor_bench --benchmark_filter=TextView
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "zorkit/editor/TextBuf.h"
#include "zorkit/editor/TextView.h"
#include "zorkit/platform/ui/WindowClass.h"

namespace {

constexpr int kColumns = 120;
constexpr int kLines = 60;

std::string TextLine(int number, int length)
{
    std::string line = "L" + std::to_string(number) + "\tmov a,#" + std::to_string(number % 256) + " ; ";
    while (int(line.size()) < length)
        line += char('a' + int(line.size()) % 26);
    line.resize(std::size_t(length));
    return line;
}

// A view of kColumns x kLines characters in a top-level frame.
struct Screen {
    explicit Screen(CTextBuf* buffer)
    {
        frame.CreateEx(0, AfxRegisterWndClass(0), "bench", WS_POPUP | WS_VISIBLE, CRect(0, 0, 100, 100), nullptr, 0);
        view.Create(nullptr, "text", WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 100), &frame, 1);
        const int width = view.GetMarginWidth() + kColumns * view.GetCharWidthA() + GetSystemMetrics(SM_CXVSCROLL);
        const int height = kLines * view.GetLineHeight() + GetSystemMetrics(SM_CYHSCROLL);
        frame.MoveWindow(0, 0, width, height);
        view.MoveWindow(0, 0, width, height);
        if (buffer)
            view.AttachToBuffer(buffer);
        view.UpdateWindow();
    }
    ~Screen() { view.DetachFromBuffer(); }

    CWnd frame;
    CTextView view;
};

void BM_TextViewFullRepaint(benchmark::State& state)
{
    CTextBuf buffer;
    for (int i = 0; i < 200; ++i)
        buffer.InsertLine(TextLine(i, kColumns).c_str());
    Screen screen(&buffer);
    for (auto _ : state) {
        screen.view.Invalidate(FALSE);
        screen.view.UpdateWindow();
    }
}
BENCHMARK(BM_TextViewFullRepaint)->Unit(benchmark::kMicrosecond);

void BM_TextViewScrollOneLine(benchmark::State& state)
{
    CTextBuf buffer;
    for (int i = 0; i < 200; ++i)
        buffer.InsertLine(TextLine(i, kColumns).c_str());
    Screen screen(&buffer);
    bool down = true;
    for (auto _ : state) {
        screen.view.SendMessage(WM_VSCROLL, MAKEWPARAM(down ? SB_LINEDOWN : SB_LINEUP, 0), 0);
        down = !down;
    }
}
BENCHMARK(BM_TextViewScrollOneLine)->Unit(benchmark::kMicrosecond);

void BM_TextViewHitTestLongLine(benchmark::State& state)
{
    CTextBuf buffer;
    buffer.InsertLine(TextLine(1, 10000).c_str());
    Screen screen(&buffer);
    CTextView& view = screen.view;
    // Scrolled to the line's end, so that the point lies 10 000 bytes in.
    view.ScrollToPos(view.GetMaxLineExtent() - view.GetClientWidth(), TRUE);
    const CPoint point(view.GetMarginWidth() + view.GetClientWidth() / 2, 3);
    for (auto _ : state)
        benchmark::DoNotOptimize(view.ClientToText(point));
}
BENCHMARK(BM_TextViewHitTestLongLine)->Unit(benchmark::kMicrosecond);

void BM_TextViewAttach100MBAndPaint(benchmark::State& state)
{
    static CTextBuf* buffer = [] {
        auto* made = new CTextBuf;
        std::string line;
        for (std::size_t bytes = 0, i = 0; bytes < std::size_t(100) << 20; bytes += line.size() + 2, ++i) {
            line = TextLine(int(i), 78);
            made->InsertLine(line.data(), int(line.size()), -1);
        }
        return made;
    }();
    Screen screen(nullptr);
    for (auto _ : state) {
        screen.view.AttachToBuffer(buffer);
        screen.view.UpdateWindow();
        state.PauseTiming();
        screen.view.DetachFromBuffer();
        screen.view.UpdateWindow();
        state.ResumeTiming();
    }
    state.counters["lines"] = buffer->GetLineCount();
}
BENCHMARK(BM_TextViewAttach100MBAndPaint)->Unit(benchmark::kMillisecond)->Iterations(5);

}
