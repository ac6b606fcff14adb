// A graph repaint: four curves of 500 values on the 580 x 340 picture. The cached
// repaint (static layer made already) should stay under 0.2 ms; the full one includes
// making the off-screen layers and painting the static layer.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "zorkit/graph/Graph.h"

namespace {

struct Curves {
    Curves()
    {
        const COLORREF colours[] = {RGB(255, 255, 0), RGB(0, 255, 255), RGB(255, 0, 255), RGB(255, 255, 255)};
        for (int c = 0; c < 4; ++c) {
            data[c].samples = &samples[c];
            data[c].name.Format("curve %d", c + 1);
            data[c].color = colours[c];
            samples[c].SetSize(500);
            for (int i = 0; i < 500; ++i)
                samples[c].Add(90.0 * std::sin(i * 0.05 + c));
        }
    }
    void AddTo(CGraph& graph)
    {
        for (DATA& d : data)
            graph.AddData(&d);
    }
    SAMPLES samples[4];
    DATA data[4];
};

struct Screen {
    Screen()
    {
        dc.CreateCompatibleDC(nullptr);
        bitmap.CreateCompatibleBitmap(&dc, 580, 340);
        dc.SelectObject(&bitmap);
    }
    CDC dc;
    CBitmap bitmap;
};

void BM_GraphFullRepaint(benchmark::State& state)
{
    Curves curves;
    Screen screen;
    for (auto _ : state) {
        CGraph graph;
        curves.AddTo(graph);
        graph.Draw(&screen.dc);
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_GraphFullRepaint)->Unit(benchmark::kMillisecond);

void BM_GraphCachedRepaint(benchmark::State& state)
{
    Curves curves;
    Screen screen;
    CGraph graph;
    curves.AddTo(graph);
    graph.Draw(&screen.dc);
    for (auto _ : state)
        graph.Draw(&screen.dc);
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_GraphCachedRepaint)->Unit(benchmark::kMicrosecond);

}
