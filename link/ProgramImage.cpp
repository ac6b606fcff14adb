#include "zorkit/link/internal/ProgramImage.h"

namespace zorkit::link {

bool ImageRecordsFit(const BYTE* image, DWORD size)
{
    DWORD p = 0;
    while (p < size) {
        if (size - p < kImageRecordHeaderBytes)
            return false;
        DWORD count = DWORD(image[p] | (image[p + 1] << 8));
        p += kImageRecordHeaderBytes;
        if (count > size - p)
            return false;
        p += count;
    }
    return true;
}

}
