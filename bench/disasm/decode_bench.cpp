// Instructions decoded per second over a 64 KB image of random code.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "zorkit/disasm/Disassemble.h"

namespace {

std::vector<unsigned char> RandomImage()
{
    std::mt19937 random(8051);
    std::vector<unsigned char> image(0x10000);
    for (unsigned char& b : image)
        b = static_cast<unsigned char>(random());
    return image;
}

// disamble alone: the instruction text, as a host listing only mnemonics uses it.
void BM_Disamble(benchmark::State& state)
{
    std::vector<unsigned char> image = RandomImage();
    std::vector<unsigned short> addrs(image.size());
    CDisassemble dis;
    std::int64_t instructions = 0;
    for (auto _ : state) {
        dis.initaddr(image.data(), addrs.data(), 0, int(image.size()));
        for (CString text = dis.disamble(0); !text.IsEmpty(); text = dis.disamble(0)) {
            benchmark::DoNotOptimize(text);
            ++instructions;
        }
    }
    state.SetItemsProcessed(instructions);
}
BENCHMARK(BM_Disamble);

// disamble followed by robotcd: both texts of every line, as a listing window uses them.
void BM_DisambleAndByteColumn(benchmark::State& state)
{
    std::vector<unsigned char> image = RandomImage();
    std::vector<unsigned short> addrs(image.size());
    CDisassemble dis;
    std::int64_t instructions = 0;
    for (auto _ : state) {
        dis.initaddr(image.data(), addrs.data(), 0, int(image.size()));
        for (CString text = dis.disamble(0); !text.IsEmpty(); text = dis.disamble(0)) {
            CString column = dis.robotcd(0);
            benchmark::DoNotOptimize(column);
            ++instructions;
        }
    }
    state.SetItemsProcessed(instructions);
}
BENCHMARK(BM_DisambleAndByteColumn);

} // namespace

BENCHMARK_MAIN();
