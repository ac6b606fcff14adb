// The board's reset key pressed as a person would: again when the board hears nothing
// back, since a banner sent before the host listens is lost; never again once the host
// has answered, since a second banner would break the handshake under way.
#pragma once

#include <chrono>

#include "sim/BoardProtocol.h"
#include "sim/VirtualBoard.h"

// True once the host answered a press; false after `presses` unanswered ones.
inline bool PressResetUntilAnswered(zorkit::sim::CVirtualBoard& board, int presses)
{
    // A listening host answers at once; a banner unanswered this long was lost.
    constexpr std::chrono::seconds kLost{5};
    for (int press = 0; press < presses; ++press) {
        std::size_t sent = board.WireLog().SentCount();
        board.PressReset();
        // The board sends its echo test only after the host's 0xAA to the banner, so a
        // byte the host sent before it saw the banner is not taken for an answer.
        if (board.WireLog().WaitSent(sent + zorkit::sim::kBanner.size() + 1, kLost))
            return true;
    }
    return false;
}
