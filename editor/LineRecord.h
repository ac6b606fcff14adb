// One line of a text buffer: its bytes (no terminator, no NUL), how many are in use, how
// many are allocated, and the host's flag word.
#pragma once

#include <cstdlib>
#include <memory>

#include "zorkit/platform/core/WinTypes.h"

struct LineRecord {
    struct FreeBytes {
        void operator()(char* bytes) const { std::free(bytes); }
    };

    // Capacity of a line created with, or grown to, length bytes: the next multiple of
    // 16 above it, so that typing does not reallocate on every character and a line
    // always has a spare byte.
    static constexpr int CapacityFor(int length) { return length / 16 * 16 + 16; }
    // Longest line whose capacity still fits the signed 32-bit fields.
    static constexpr int kMaxLength = 0x7FFFFFFF - 16;

    // Each returns false, leaving the line as it was, when memory runs out or the line
    // would exceed kMaxLength. Lengths are not negative.
    bool Create(const char* bytes, int count);
    bool Reserve(int newLength);
    bool Append(const char* bytes, int count);

    std::unique_ptr<char, FreeBytes> chars;
    int length = 0;
    int capacity = 0;
    DWORD flags = 0;
};
