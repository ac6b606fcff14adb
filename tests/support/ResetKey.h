// The board's reset key pressed as a person would: again when the board hears nothing
// back, since a banner sent before the host listens is lost; never again once the host
// has answered, since a second banner would break the handshake under way.
#pragma once

#include <chrono>

#include "sim/VirtualBoard.h"

// True once the host answered a press; false after `presses` unanswered ones.
inline bool PressResetUntilAnswered(zorkit::sim::CVirtualBoard& board, int presses)
{
    // A listening host answers at once; a banner unanswered this long was lost.
    constexpr std::chrono::seconds kLost{5};
    for (int press = 0; press < presses; ++press) {
        std::size_t before = board.WireLog().ReceivedCount();
        board.PressReset();
        if (board.WireLog().WaitReceived(before + 1, kLost))
            return true;
    }
    return false;
}
