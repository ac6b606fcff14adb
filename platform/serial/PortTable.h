// Which device a port index opens. Index 0 is the first serial port ("COM1");
// by default index n is /dev/ttyS<n>. Hosts and tests map an index to any path:
// a USB adapter (/dev/ttyUSB0, /dev/serial/by-id/...) or a virtual board's pseudo-terminal.
#pragma once

#include <string>

namespace zorkit {

void SetSerialPortPath(int index, const std::string& path);
// Restores the default path of `index`.
void ResetSerialPortPath(int index);
std::string SerialPortPath(int index);

}
