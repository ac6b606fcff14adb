#include "zorkit/graph/Samples.h"

BOOL SAMPLES::SetSize(int n)
{
    if (n == size)
        return TRUE;
    Release();
    count = 0;
    if (n <= 0)
        return n == 0;
    memory = GlobalAlloc(GHND, std::size_t(n) * sizeof(double));
    values = static_cast<double*>(GlobalLock(memory));
    if (!values) {
        Release();
        return FALSE;
    }
    size = n;
    return TRUE;
}

BOOL SAMPLES::Add(double value)
{
    if (!values || count >= size)
        return FALSE;
    values[count++] = value;
    return TRUE;
}

void SAMPLES::Release()
{
    if (memory) {
        GlobalUnlock(memory);
        GlobalFree(memory);
    }
    memory = nullptr;
    values = nullptr;
    size = 0;
}
