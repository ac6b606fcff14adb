// SAMPLES: the value buffer of one curve, a zero-filled global memory block of doubles.
// The host fills values and raises count; the graph draws the first count values.
#pragma once

#include "zorkit/platform/core/GlobalMemory.h"
#include "zorkit/platform/core/WinTypes.h"

struct SAMPLES {
    SAMPLES() = default;
    ~SAMPLES() { Release(); }
    SAMPLES(const SAMPLES&) = delete;
    SAMPLES& operator=(const SAMPLES&) = delete;

    // A different size replaces the block with a zeroed one and clears count; the same
    // size keeps values and count. FALSE (and size 0) when memory runs out.
    BOOL SetSize(int n);
    double GetAt(int i) const { return values[i]; }
    int GetSize() const { return size; }
    int GetCount() const { return count; }
    // Appends a value after the last valid one; FALSE when the buffer is full.
    BOOL Add(double value);
    void Release();

    double* values = nullptr;
    int size = 0;
    HGLOBAL memory = nullptr;
    int count = 0;
};
