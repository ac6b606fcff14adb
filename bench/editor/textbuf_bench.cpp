// Loading and saving large text files, against `cat file > /dev/null` as the limit of
// reading the same bytes. The files live under the system's temporary directory.
//
//   zorkit_editor_bench --benchmark_counters_tabular=true
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "zorkit/editor/TextBuf.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMegabyte = 1 << 20;

fs::path Scratch()
{
    static const fs::path dir = [] {
        fs::path path = fs::temp_directory_path() / "zorkit-editor-bench";
        fs::create_directories(path);
        return path;
    }();
    return dir;
}

// 100 MB of lines of 80 bytes of text followed by CR LF.
const std::string& ManyLinesFile()
{
    static const std::string file = [] {
        std::string path = (Scratch() / "lines.txt").string();
        std::string line;
        for (int i = 0; i < 80; ++i)
            line += char('!' + i % 90);
        line += "\r\n";
        std::ofstream out(path, std::ios::binary);
        for (std::size_t written = 0; written < 100 * kMegabyte; written += line.size())
            out << line;
        return path;
    }();
    return file;
}

// 10 MB without a single line break.
const std::string& OneLineFile()
{
    static const std::string file = [] {
        std::string path = (Scratch() / "oneline.txt").string();
        std::ofstream(path, std::ios::binary) << std::string(10 * kMegabyte, 'x');
        return path;
    }();
    return file;
}

std::size_t HeapInUse()
{
    struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

void BM_CatToDevNull(benchmark::State& state)
{
    const std::string& file = ManyLinesFile();
    std::string command = "cat '" + file + "' > /dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("cat failed");
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(fs::file_size(file)));
}

// Reloading: each load also releases the lines of the one before, as a reload does.
void BM_Load100MB(benchmark::State& state)
{
    const std::string& file = ManyLinesFile();
    CTextBuf buffer;
    for (auto _ : state)
        if (!buffer.LoadFromFile(file.c_str()))
            state.SkipWithError("load failed");
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(fs::file_size(file)));
}

void BM_Save100MB(benchmark::State& state)
{
    CTextBuf buffer;
    buffer.LoadFromFile(ManyLinesFile().c_str());
    std::string out = (Scratch() / "saved.txt").string();
    for (auto _ : state)
        if (!buffer.SaveToFile(out.c_str(), TRUE))
            state.SkipWithError("save failed");
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(fs::file_size(out)));
}

void BM_LoadOneLine10MB(benchmark::State& state)
{
    const std::string& file = OneLineFile();
    CTextBuf buffer;
    for (auto _ : state)
        if (!buffer.LoadFromFile(file.c_str()) || buffer.GetLineLength(0) != int(10 * kMegabyte))
            state.SkipWithError("load failed");
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(10 * kMegabyte));
}

// Heap bytes a loaded line costs: its record in the line array and its own storage.
void BM_MemoryPerLine(benchmark::State& state)
{
    const std::string& file = ManyLinesFile();
    double perLine = 0;
    for (auto _ : state) {
        std::size_t before = HeapInUse();
        CTextBuf buffer;
        buffer.LoadFromFile(file.c_str());
        perLine = double(HeapInUse() - before) / buffer.GetLineCount();
    }
    state.counters["bytes_per_80_byte_line"] = perLine;
}

}

// Rates from wall-clock time: cat's work happens in a child process.
BENCHMARK(BM_CatToDevNull)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_Load100MB)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_Save100MB)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_LoadOneLine10MB)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();
BENCHMARK(BM_MemoryPerLine)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
