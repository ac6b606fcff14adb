// Feeds arbitrary bytes from the board to the host's reset handshake. The host may
// answer the banner only right after the whole sign-on banner, answer the echo only
// right after a banner it answered and the complete echo 0x00..0xFF, and end the
// handshake only with the verdict byte that follows its own echo.
#include <cstdint>
#include <cstring>

#include "zorkit/link/internal/ResetHandshake.h"

using zorkit::link::CResetHandshake;

namespace {
constexpr char kBanner[] = "TOLVENARK";

bool EndsWithEcho(const std::uint8_t* data, std::size_t end)
{
    if (end < 9 + 256)
        return false;
    for (int i = 0; i < 256; ++i)
        if (data[end - 256 + i] != i)
            return false;
    return std::memcmp(data + end - 256 - 9, kBanner, 9) == 0;
}
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    // The first byte says which echo answers fail to go out.
    const BYTE sendFailures = data[0];
    data += 1;
    size -= 1;
    CResetHandshake handshake;
    bool echoAnswered = false;
    int echoesAnswered = 0;
    for (std::size_t i = 0; i < size; ++i) {
        CResetHandshake::Action action = handshake.Take(data[i]);
        bool verdict = action == CResetHandshake::LINE_GOOD || action == CResetHandshake::LINE_REFUSED;
        if (action == CResetHandshake::ANSWER_BANNER && !(i + 1 >= 9 && std::memcmp(data + i + 1 - 9, kBanner, 9) == 0))
            __builtin_trap();
        if (action == CResetHandshake::ANSWER_ECHO && !EndsWithEcho(data, i + 1))
            __builtin_trap();
        if (verdict && !(echoAnswered && (data[i] == 0xAA || data[i] == 0x55)))
            __builtin_trap();
        if (verdict)
            return 0;
        echoAnswered = false;
        if (action == CResetHandshake::ANSWER_ECHO) {
            echoAnswered = true;
            if ((sendFailures >> (echoesAnswered++ % 8)) & 1) {
                handshake.EchoNotSent();
                echoAnswered = false;
            }
        }
    }
    return 0;
}
