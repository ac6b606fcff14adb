// The host's side of the reset handshake as a byte-in, action-out machine: the
// board's sign-on banner, the host's 0xAA, the board's echo 0x00..0xFF, the host's
// 0xAA and echo, and the board's verdict. The link carries out the actions.
#pragma once

#include "zorkit/platform/core/WinTypes.h"

namespace zorkit::link {

class CResetHandshake {
public:
    enum Action {
        NONE,
        ANSWER_BANNER, // the whole banner came: discard the input, send 0xAA
        ANSWER_ECHO,   // the board's echo is complete: send 0xAA and 0x00..0xFF
        LINE_GOOD,     // verdict 0xAA: the link is up; the handshake is over
        LINE_REFUSED,  // verdict 0x55: record the refusal and answer 0xAA; the handshake is over
    };

    Action Take(BYTE b);
    // The host's echo could not be written: the board must start again with its banner.
    void EchoNotSent() { m_stage = BANNER; }

private:
    enum Stage { BANNER, BOARD_ECHO, VERDICT };

    Stage m_stage = BANNER;
    int m_bannerPos = 0;
    BYTE m_echo = 0;
};

}
