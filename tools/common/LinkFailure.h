// Why the last command of a link failed, in words for the person at the board.
#pragma once

#include <string>

#include "zorkit/link/ZORComm.h"

// Takes the latest error code off the link's error stack. `waitForReset` names the
// tool's own way to wait for the board's reset key, when it has one.
std::string DescribeLinkFailure(CZORComm& link, const std::string& waitForReset = {});

// A line that hung up: a USB adapter unplugged, or a port server's connection closed.
std::string DescribeGoneLine(const std::string& device);
