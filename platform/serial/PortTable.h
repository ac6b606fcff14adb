// Which device a port index opens. Index 0 is the first serial port ("COM1");
// by default index n is /dev/ttyS<n>. Hosts and tests map an index to any path:
// a USB adapter (/dev/ttyUSB0, /dev/serial/by-id/...), a virtual board's
// pseudo-terminal, or a port server on the network: rfc2217://HOST:PORT (telnet
// with the serial port's settings, as ser2net serves it) or tcp://HOST:PORT (the
// raw byte stream).
#pragma once

#include <string>

namespace zorkit {

void SetSerialPortPath(int index, const std::string& path);
// Restores the default path of `index`.
void ResetSerialPortPath(int index);
std::string SerialPortPath(int index);

// Whether `name` names a port server (rfc2217:// or tcp://) rather than a local device.
bool IsNetworkSerialName(const std::string& name);
// Whether opening `name` is worth a try: a local device that exists, or a port
// server, which only a connect can tell about.
bool SerialDeviceMayBeThere(const std::string& name);

}
