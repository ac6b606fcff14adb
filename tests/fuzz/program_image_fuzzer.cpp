// Walks arbitrary bytes as a program image, the way ProgDld cuts it into download
// frames. An image whose records fit must be used up exactly by its headers and
// chunks, every chunk must lie inside the image and hold 1..64 bytes at the address
// its record gives, advanced by what the record already sent.
#include <cstdint>
#include <cstring>
#include <vector>

#include "zorkit/link/internal/ProgramImage.h"

using zorkit::link::ImageChunk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // An exact-size copy, so a read past the image is caught.
    std::vector<BYTE> image(data, data + size);
    const BYTE* begin = image.data();
    DWORD imageSize = DWORD(image.size());
    if (!zorkit::link::ImageRecordsFit(begin, imageSize))
        return 0;

    DWORD used = 0;
    DWORD recordLeft = 0;
    WORD nextAddress = 0;
    bool all = zorkit::link::ForEachImageChunk(begin, imageSize, 64, [&](const ImageChunk& chunk) {
        if (recordLeft == 0) {
            // A new record: its header sits right before its first chunk (records of count 0 send nothing).
            while (true) {
                const BYTE* header = begin + used;
                DWORD count = DWORD(header[0] | (header[1] << 8));
                used += zorkit::link::kImageRecordHeaderBytes;
                if (count == 0)
                    continue;
                recordLeft = count;
                nextAddress = WORD(header[2] | (header[3] << 8));
                break;
            }
        }
        if (chunk.count == 0 || chunk.count > 64 || chunk.count > recordLeft)
            __builtin_trap();
        if (chunk.bytes != begin + used || chunk.address != nextAddress)
            __builtin_trap();
        used += chunk.count;
        recordLeft -= chunk.count;
        nextAddress = WORD(nextAddress + chunk.count);
        return true;
    });
    if (!all || recordLeft != 0)
        __builtin_trap();
    // Trailing records of count 0 send nothing but still use their headers.
    while (used < imageSize) {
        if (begin[used] != 0 || begin[used + 1] != 0)
            __builtin_trap();
        used += zorkit::link::kImageRecordHeaderBytes;
    }
    if (used != imageSize)
        __builtin_trap();
    return 0;
}
