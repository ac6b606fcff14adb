// Collects command frames from the byte stream: length byte L, L further bytes
// (code, parameters, checksum over bytes 1..L-1). A frame is L + 1 bytes.
#pragma once

#include <array>
#include <cstddef>

#include "zorkit/platform/core/WinTypes.h"

namespace zorkit::sim {

// One complete frame as it came off the line.
struct CFrame {
    std::array<BYTE, 256> bytes{};

    BYTE Length() const { return bytes[0]; }
    BYTE Code() const { return bytes[1]; }
    // The 16-bit address parameter in bytes 2..3, low byte first.
    WORD Address() const { return WORD(bytes[2] | (bytes[3] << 8)); }
    // The count parameter of memory commands and the data behind it.
    BYTE Count() const { return bytes[4]; }
    const BYTE* Data() const { return &bytes[5]; }
};

class CFrameAssembler {
public:
    enum Result {
        NEED_MORE,
        FRAME_GOOD,
        FRAME_BAD, // impossible length (below 2) or wrong checksum
    };

    // Adds one byte; on FRAME_GOOD the frame is in Frame() until the next Push.
    Result Push(BYTE b);
    const CFrame& Frame() const { return m_frame; }
    bool InProgress() const { return m_size > 0; }
    void Clear() { m_size = 0; }

private:
    CFrame m_frame;
    std::size_t m_size = 0;
};

}
