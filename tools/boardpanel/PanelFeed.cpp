#include "tools/boardpanel/PanelFeed.h"

namespace boardpanel {

void CPanelFeed::Publish(const zorkit::sim::CDeviceBoard& devices)
{
    if (!m_wanted)
        return;
    CPanelState state = CapturePanelState(devices);
    std::lock_guard<std::mutex> hold(m_lock);
    m_state = std::move(state);
}

std::optional<CPanelState> CPanelFeed::Take()
{
    std::lock_guard<std::mutex> hold(m_lock);
    std::optional<CPanelState> state;
    state.swap(m_state);
    return state;
}

}
