// Reaching a port server: the device names rfc2217://HOST:PORT and tcp://HOST:PORT,
// and a TCP connection whose name lookup and connect both have deadlines.
#pragma once

#include <string>

#include "zorkit/platform/core/FileDescriptor.h"
#include "zorkit/platform/serial/SerialPort.h"

namespace zorkit {

struct NetworkAddress {
    bool telnet = false; // rfc2217:// rather than tcp://
    std::string host;    // a name, an IPv4 address or an IPv6 address without brackets
    std::string port;    // decimal, 1 to 65535
};

// Splits a network device name; false when it is none or is malformed
// (IPv6 hosts are written in brackets: rfc2217://[::1]:3000).
bool ParseNetworkAddress(const std::string& name, NetworkAddress& address);

// Looks the host up and connects within the deadlines: a non-blocking socket with
// Nagle's delay off, or an invalid one with `failure` set (NoSuchHost,
// ConnectionRefused, HostUnreachable).
FileDescriptor ConnectWithin(const NetworkAddress& address, int lookupMs, int connectMs, SerialOpenFailure& failure);

}
