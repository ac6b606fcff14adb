// The records of a program image as ProgDld downloads them: each record is a
// count c (low byte first), a load address (low byte first) and c code bytes; the
// records follow one another until the image's size is used up.
#pragma once

#include "zorkit/platform/core/WinTypes.h"

namespace zorkit::link {

constexpr DWORD kImageRecordHeaderBytes = 4;

// The bytes of one download frame: up to the chunk size of one record's code.
struct ImageChunk {
    WORD address;
    const BYTE* bytes;
    DWORD count;
};

// True when every record lies within the image's size.
bool ImageRecordsFit(const BYTE* image, DWORD size);

// Calls visit(chunk) for every chunk of at most maxChunk bytes, in image order, and
// stops early when visit returns false. Addresses wrap within 16 bits. The image
// must have passed ImageRecordsFit. False when a visit returned false.
template <class Visit>
bool ForEachImageChunk(const BYTE* image, DWORD size, DWORD maxChunk, Visit&& visit)
{
    DWORD p = 0;
    while (p < size) {
        DWORD count = DWORD(image[p] | (image[p + 1] << 8));
        WORD address = WORD(image[p + 2] | (image[p + 3] << 8));
        p += kImageRecordHeaderBytes;
        while (count > 0) {
            DWORD chunk = count < maxChunk ? count : maxChunk;
            if (!visit(ImageChunk{address, image + p, chunk}))
                return false;
            p += chunk;
            address = WORD(address + chunk);
            count -= chunk;
        }
    }
    return true;
}

}
