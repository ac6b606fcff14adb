// The files of zorsim's devices: the board profile it reads, the events it writes.
#pragma once

#include <optional>
#include <string>

#include "sim/devices/BoardProfile.h"
#include "sim/devices/DeviceBoard.h"

namespace zorsim {

// The profile in `path` (the built-in one for ""), or nothing with `error` as
// "PATH:LINE: REASON" or why the file cannot be read.
std::optional<zorkit::sim::CBoardProfile> LoadBoardProfile(const std::string& path, std::string& error);
// {"cycle":N,"device":"NAME","state":"TEXT"}
std::string EventJson(const zorkit::sim::CDeviceEvent& event);

}
