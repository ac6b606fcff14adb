// Measuring text is what the text views do all the time: an 80-character line should
// take well under 200 ns once its characters' advances are cached.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/gdi/Bitmap.h"
#include "zorkit/platform/gdi/DC.h"
#include "zorkit/platform/gdi/Font.h"

namespace {

void MeasureLine(benchmark::State& state, const char* face, const std::string& line)
{
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CFont font;
    font.CreateFont(16, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, face);
    dc.SelectObject(&font);
    dc.GetTextExtent(line.c_str(), int(line.size()));
    for (auto _ : state)
        benchmark::DoNotOptimize(dc.GetTextExtent(line.c_str(), int(line.size())));
    state.SetLabel(std::to_string(line.size()) + " bytes");
}

void BM_GetTextExtent80Ascii(benchmark::State& state)
{
    std::string line = "    MOV  A,#0x3F        ; load the set point for the temperature loop   ";
    line.resize(80, 'x');
    MeasureLine(state, "FixedSys", line);
}
BENCHMARK(BM_GetTextExtent80Ascii);

void BM_GetTextExtent80Gbk(benchmark::State& state)
{
    // 40 Chinese characters: 80 GBK bytes.
    std::string line;
    while (line.size() < 80)
        line += zorkit::GbkFromUtf8("波形幅度图例温度");
    line.resize(80);
    MeasureLine(state, "Arial", line);
}
BENCHMARK(BM_GetTextExtent80Gbk);

void BM_TextOut80(benchmark::State& state)
{
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&dc, 800, 20);
    dc.SelectObject(&bitmap);
    CFont font;
    font.CreateFont(16, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "FixedSys");
    dc.SelectObject(&font);
    const std::string line(80, 'W');
    for (auto _ : state)
        dc.TextOut(0, 0, line.c_str(), int(line.size()));
}
BENCHMARK(BM_TextOut80);

}
