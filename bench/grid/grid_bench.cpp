// The grid at scale: a million rows of ten columns, built, repainted at the top and at
// the bottom, and scrolled by one line; and sizing the columns of 10 000 rows. Aims:
// a repaint under 5 ms anywhere in the grid, a one-line scroll under 1 ms.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <memory>
#include <string>

#include "zorkit/grid/GridCtrl.h"
#include "zorkit/platform/ui/Input.h"
#include "zorkit/platform/ui/WindowClass.h"

namespace {

constexpr int kRows = 1000000;
constexpr int kCols = 10;

class Host : public CWnd {
public:
    Host()
    {
        LPCTSTR cls = AfxRegisterWndClass(0);
        CreateEx(0, cls, "host", WS_POPUP | WS_VISIBLE, CRect(0, 0, 640, 480), nullptr, 0);
    }
};

// One window with the big grid, made once for the benchmarks that paint and scroll it.
struct BigGrid {
    BigGrid() : grid(kRows, kCols, 1, 1)
    {
        grid.Create(CRect(0, 0, 640, 480), &host, 1);
        grid.SetRowCount(kRows);
        for (int row : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25})
            Label(row);
        for (int row = kRows - 30; row < kRows; ++row)
            Label(row);
        zorkit::PumpPendingMessages();
    }
    void Label(int row)
    {
        for (int col = 0; col < kCols; ++col)
            grid.SetItemText(row, col, ("r" + std::to_string(row) + "c" + std::to_string(col)).c_str());
    }
    void Repaint()
    {
        grid.Invalidate();
        grid.UpdateWindow();
    }
    Host host;
    CGridCtrl grid;
};

BigGrid& Big()
{
    static BigGrid* big = new BigGrid;
    return *big;
}

void BM_SetRowCountMillion(benchmark::State& state)
{
    double bytesPerCell = 0;
    for (auto _ : state) {
        const std::size_t before = mallinfo2().uordblks;
        auto grid = std::make_unique<CGridCtrl>(0, kCols);
        grid->SetRowCount(kRows);
        state.PauseTiming();
        bytesPerCell = double(mallinfo2().uordblks - before) / (double(kRows) * kCols);
        grid.reset();
        state.ResumeTiming();
    }
    state.counters["bytes/cell"] = bytesPerCell;
}
BENCHMARK(BM_SetRowCountMillion)->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_RepaintAtTheTop(benchmark::State& state)
{
    BigGrid& big = Big();
    big.grid.SendMessage(WM_VSCROLL, SB_TOP);
    for (auto _ : state)
        big.Repaint();
}
BENCHMARK(BM_RepaintAtTheTop)->Unit(benchmark::kMillisecond);

void BM_RepaintAtTheBottom(benchmark::State& state)
{
    BigGrid& big = Big();
    big.grid.SendMessage(WM_VSCROLL, SB_BOTTOM);
    for (auto _ : state)
        big.Repaint();
    big.grid.SendMessage(WM_VSCROLL, SB_TOP);
}
BENCHMARK(BM_RepaintAtTheBottom)->Unit(benchmark::kMillisecond);

// One line down and one line up in the middle of the grid, each with its strip repaint.
void BM_ScrollOneLine(benchmark::State& state)
{
    BigGrid& big = Big();
    SCROLLINFO si{sizeof(SCROLLINFO), SIF_TRACKPOS, 0, 0, 0, 0, 6000000};
    big.grid.SetScrollInfo(SB_VERT, &si, FALSE);
    big.grid.SendMessage(WM_VSCROLL, SB_THUMBPOSITION);
    big.grid.UpdateWindow();
    for (auto _ : state) {
        big.grid.SendMessage(WM_VSCROLL, SB_LINEDOWN);
        big.grid.UpdateWindow();
        big.grid.SendMessage(WM_VSCROLL, SB_LINEUP);
        big.grid.UpdateWindow();
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_ScrollOneLine)->Unit(benchmark::kMicrosecond);

void BM_AutoSizeColumnsTenThousandRows(benchmark::State& state)
{
    Host host;
    CGridCtrl grid(10000, kCols, 1, 1);
    grid.Create(CRect(0, 0, 640, 480), &host, 2);
    for (int row = 0; row < 10000; ++row)
        for (int col = 0; col < kCols; ++col)
            grid.SetItemText(row, col, ("0x" + std::to_string(row * kCols + col)).c_str());
    for (auto _ : state)
        grid.AutoSizeColumns();
}
BENCHMARK(BM_AutoSizeColumnsTenThousandRows)->Unit(benchmark::kMillisecond);

}
