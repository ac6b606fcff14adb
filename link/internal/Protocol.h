// The host's side of the monitor's serial protocol: answer bytes and the sign-on
// banner. The virtual board keeps its own copy as the other peer; a test holds the
// two together.
#pragma once

#include "zorkit/platform/core/WinTypes.h"

namespace zorkit::link {

constexpr BYTE kAck = 0xAA;
constexpr BYTE kNak = 0x55;

// Sent by the monitor after every hardware reset.
constexpr char kBanner[] = "TOLVENARK";
constexpr int kBannerLength = sizeof(kBanner) - 1;

}
