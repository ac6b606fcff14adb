// The devices' state as the board's thread last copied it for a panel, so that the
// panel's window never waits for the board's lock while the program runs. The board
// publishes after each of its turns while someone wants it (a copy costs about a
// microsecond, a turn runs up to a million machine cycles); the window takes the
// newest copy.
//
//   auto feed = std::make_shared<CPanelFeed>();
//   board.SetDeviceWatcher([feed](CDeviceBoard& devices) { feed->Publish(devices); });
//   if (std::optional<CPanelState> state = feed->Take()) ...
//
// Publish on the board's thread, the rest on any thread.
#pragma once

#include <atomic>
#include <mutex>
#include <optional>

#include "tools/boardpanel/PanelState.h"

namespace boardpanel {

class CPanelFeed {
public:
    void Publish(const zorkit::sim::CDeviceBoard& devices);
    // The newest copy not yet taken.
    std::optional<CPanelState> Take();
    // A hidden panel wants nothing: the board then only reads this flag.
    void SetWanted(bool wanted) { m_wanted = wanted; }

private:
    std::atomic<bool> m_wanted{true};
    std::mutex m_lock;
    std::optional<CPanelState> m_state;
};

}
