// Text view speed on the headless backend: repainting a full screen, scrolling one line,
// hit testing on a long line, showing the first screen of a 100 MB buffer, typing into
// a long text, Enter near the top of a long text, pasting 1 MB, and copying 10 MB.
// Aims: repaint under 1 ms, one-line scroll under 0.3 ms, hit test under 20 us,
// the 100 MB first screen under 150 ms, a typed character repainted under 0.5 ms,
// Enter (and the Backspace that joins the lines again) handled under 1 ms.
//
//   zorkit_editor_bench --benchmark_filter=TextView
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>

#include "zorkit/editor/TextBuf.h"
#include "zorkit/editor/TextView.h"
#include "zorkit/editor/UIEditView.h"
#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/ui/Clipboard.h"
#include "zorkit/platform/ui/Keys.h"
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
template <class View = CTextView>
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
    View view;
};

std::string Lines(std::size_t bytes)
{
    std::string text;
    for (int i = 0; text.size() < bytes; ++i)
        text += TextLine(i, 78) + "\r\n";
    return text;
}

void FillClipboard(const std::string& text)
{
    OpenClipboard(nullptr);
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
}

void BM_TextViewFullRepaint(benchmark::State& state)
{
    CTextBuf buffer;
    for (int i = 0; i < 200; ++i)
        buffer.InsertLine(TextLine(i, kColumns).c_str());
    Screen<> screen(&buffer);
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
    Screen<> screen(&buffer);
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
    Screen<> screen(&buffer);
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
    Screen<> screen(nullptr);
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

// Typing a character and taking it back with Backspace, in turn, so that the line
// neither scrolls sideways nor becomes the widest.
void BM_EditViewTypeIntoLine50000(benchmark::State& state)
{
    CTextBuf buffer;
    buffer.InsertLine(TextLine(0, kColumns).c_str());
    for (int i = 1; i < 100000; ++i)
        buffer.InsertLine(TextLine(i, 60).c_str());
    Screen<CUIEditView> screen(&buffer);
    screen.view.SetFocus();
    screen.view.SetCursorPos(CPoint(10, 50000));
    screen.view.UpdateWindow();
    bool type = true;
    for (auto _ : state) {
        if (type)
            screen.view.SendMessage(WM_CHAR, 'x', 1);
        else
            screen.view.SendMessage(WM_KEYDOWN, VK_BACK, 1);
        screen.view.UpdateWindow();
        type = !type;
    }
}
BENCHMARK(BM_EditViewTypeIntoLine50000)->Unit(benchmark::kMicrosecond);

// Enter near the top of a 100 000-line text and Backspace joining the lines again, in
// turn; every line below moves. Handling alone, and handling with the repaint.
void BM_EditViewEnterNearTop100000(benchmark::State& state)
{
    const bool paint = state.range(0) != 0;
    CTextBuf buffer;
    for (int i = 0; i < 100000; ++i)
        buffer.InsertLine(TextLine(i, 60).c_str());
    Screen<CUIEditView> screen(&buffer);
    screen.view.SetFocus();
    screen.view.SetCursorPos(CPoint(30, 5));
    screen.view.GetMaxLineExtent();
    screen.view.UpdateWindow();
    bool enter = true;
    for (auto _ : state) {
        if (enter)
            screen.view.SendMessage(WM_CHAR, '\r', 1);
        else
            screen.view.SendMessage(WM_KEYDOWN, VK_BACK, 1);
        if (paint)
            screen.view.UpdateWindow();
        enter = !enter;
    }
    if (!paint)
        screen.view.UpdateWindow();
}
BENCHMARK(BM_EditViewEnterNearTop100000)->Arg(0)->Arg(1)->ArgName("paint")->Unit(benchmark::kMicrosecond);

void BM_EditViewPaste1MB(benchmark::State& state)
{
    FillClipboard(Lines(std::size_t(1) << 20));
    CTextBuf buffer;
    buffer.InitNew();
    Screen<CUIEditView> screen(&buffer);
    for (auto _ : state) {
        screen.view.SendMessage(WM_COMMAND, ID_EDIT_PASTE, 0);
        screen.view.UpdateWindow();
        state.PauseTiming();
        buffer.FreeAll();
        buffer.InitNew();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_EditViewPaste1MB)->Unit(benchmark::kMillisecond);

void BM_TextViewSelectAllCopy10MB(benchmark::State& state)
{
    CTextBuf buffer;
    const std::string text = Lines(std::size_t(10) << 20);
    CPoint end;
    buffer.InitNew();
    buffer.InsertText(nullptr, text.c_str(), CPoint(0, 0), end);
    Screen<> screen(&buffer);
    for (auto _ : state) {
        screen.view.SendMessage(WM_COMMAND, ID_EDIT_SELECT_ALL, 0);
        screen.view.SendMessage(WM_COMMAND, ID_EDIT_COPY, 0);
    }
}
BENCHMARK(BM_TextViewSelectAllCopy10MB)->Unit(benchmark::kMillisecond);

}
