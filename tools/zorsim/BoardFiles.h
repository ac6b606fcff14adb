// The file of zorsim's devices it writes: their events, one JSON line each.
#pragma once

#include <string>

#include "sim/devices/DeviceBoard.h"

namespace zorsim {

// {"cycle":N,"device":"NAME","state":"TEXT"}
std::string EventJson(const zorkit::sim::CDeviceEvent& event);

}
