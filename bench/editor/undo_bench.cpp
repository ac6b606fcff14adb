// The cost the undo history adds to editing, and undo and redo of large edits.
#include <benchmark/benchmark.h>

#include <string>

#include "zorkit/editor/TextBuf.h"

namespace {

// lines lines of 80 bytes.
void Fill(CTextBuf& buffer, int lines)
{
    const std::string line(80, 'm');
    for (int i = 0; i < lines; ++i)
        buffer.InsertLine(line.c_str());
}

std::string LinesOfText(std::size_t bytes)
{
    std::string text;
    while (text.size() < bytes)
        text += std::string(78, 'p') + "\r\n";
    return text;
}

// One typed character in line 50 000 of 100 000; every character joins one run.
void BM_TypeCharacter(benchmark::State& state)
{
    CTextBuf buffer;
    Fill(buffer, 100000);
    CPoint at(0, 50000);
    for (auto _ : state) {
        if (!buffer.InsertText(nullptr, "x", at, at))
            state.SkipWithError("insert failed");
        if (at.x > 10000) {
            state.PauseTiming();
            buffer.DeleteText(nullptr, CPoint(0, 50000), at);
            buffer.CloseUndoGroup();
            at.x = 0;
            state.ResumeTiming();
        }
    }
}

void BM_UndoRedoPaste1MB(benchmark::State& state)
{
    CTextBuf buffer;
    buffer.InitNew();
    std::string text = LinesOfText(1 << 20);
    CPoint end;
    buffer.InsertText(nullptr, text.c_str(), CPoint(0, 0), end);
    CPoint cursor;
    for (auto _ : state)
        if (!buffer.Undo(cursor) || !buffer.Redo(cursor))
            state.SkipWithError("undo or redo failed");
    state.SetBytesProcessed(int64_t(state.iterations()) * 2 * int64_t(text.size()));
}

// Select all and delete in a 10 MB buffer, then undo it.
void BM_DeleteAllThenUndo10MB(benchmark::State& state)
{
    CTextBuf buffer;
    Fill(buffer, 10 * (1 << 20) / 82);
    int last = buffer.GetLineCount() - 1;
    CPoint end(buffer.GetLineLength(last), last);
    CPoint cursor;
    for (auto _ : state)
        if (!buffer.DeleteText(nullptr, CPoint(0, 0), end) || !buffer.Undo(cursor))
            state.SkipWithError("delete or undo failed");
    state.SetBytesProcessed(int64_t(state.iterations()) * 10 * (1 << 20));
}

}

BENCHMARK(BM_TypeCharacter);
BENCHMARK(BM_UndoRedoPaste1MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteAllThenUndo10MB)->Unit(benchmark::kMillisecond);
