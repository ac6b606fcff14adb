// The serial devices of this machine that may carry a board: /dev/ttyUSB*, ttyACM* and
// the ttyS* with a UART behind them, with the USB adapter's identity and the stable
// names in /dev/serial/by-id that lead to each.
//
//   const CSerialDeviceList found = FindSerialDevices();
//   for (const CSerialDevice& device : found.devices) ... device.path ...
#pragma once

#include <string>
#include <vector>

struct CSerialDevice {
    std::string path;                  // /dev/ttyUSB0
    std::string usb;                   // "0403:6001 FT232R USB UART"; empty for other ports
    std::vector<std::string> aliases;  // /dev/serial/by-id/... leading to path
};

struct CSerialDeviceList {
    std::vector<CSerialDevice> devices;  // ttyUSB0 before ttyUSB10
    int withoutUart = 0;                 // ttyS* left out: no UART behind them
};

CSerialDeviceList FindSerialDevices();

// Where the stable names of USB serial adapters are: /dev/serial/by-id, or the
// directory in $ZORKIT_SERIAL_BY_ID_DIR (which tests set to a directory of their own).
std::string SerialByIdDirectory();

// The stable name in `byIdDirectory` that leads to `device` when the device is a USB
// serial adapter (ttyUSBn, ttyACMn), whose number may change when it is plugged in
// again; empty when device is another kind or has no such name. The first in name
// order when several lead to it.
std::string StableSerialName(const std::string& device, const std::string& byIdDirectory);
