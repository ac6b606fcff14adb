#include "sim/FrameAssembler.h"

#include "sim/BoardProtocol.h"

namespace zorkit::sim {

CFrameAssembler::Result CFrameAssembler::Push(BYTE b)
{
    m_frame.bytes[m_size++] = b;
    std::size_t length = m_frame.Length();
    // Even an impossible frame is consumed whole, so the next one starts in step.
    if (m_size < length + 1)
        return NEED_MORE;
    m_size = 0;
    if (length < 2)
        return FRAME_BAD;
    return Checksum(&m_frame.bytes[1], length - 1) == m_frame.bytes[length] ? FRAME_GOOD : FRAME_BAD;
}

}
