// Feeds arbitrary bytes to the board's frame assembler. Every frame it hands out
// must be a whole frame of the stream, with a length of at least 2 and a right
// checksum, and frames (good or bad) must follow one another without gaps.
#include <cstdint>
#include <cstring>

#include "sim/BoardProtocol.h"
#include "sim/FrameAssembler.h"

using zorkit::sim::CFrameAssembler;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CFrameAssembler assembler;
    std::size_t frameStart = 0;
    for (std::size_t i = 0; i < size; ++i) {
        CFrameAssembler::Result result = assembler.Push(data[i]);
        std::size_t length = data[frameStart];
        bool complete = i - frameStart == length;
        if ((result == CFrameAssembler::NEED_MORE) == complete)
            __builtin_trap();
        if (result == CFrameAssembler::NEED_MORE) {
            if (!assembler.InProgress())
                __builtin_trap();
            continue;
        }
        bool good = length >= 2 && zorkit::sim::Checksum(data + frameStart + 1, length - 1) == data[frameStart + length];
        if ((result == CFrameAssembler::FRAME_GOOD) != good || assembler.InProgress())
            __builtin_trap();
        if (good && std::memcmp(assembler.Frame().bytes.data(), data + frameStart, length + 1) != 0)
            __builtin_trap();
        frameStart = i + 1;
    }
    return 0;
}
