// What lies under a CSerialPort: a local terminal device, or a connection to a port
// server that carries the line over the network. CSerialPort holds its lock around
// every call, and keeps the staging buffer, the event wait and its wake-up itself.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "zorkit/platform/core/WinTypes.h"
#include "zorkit/platform/serial/SerialPort.h"

namespace zorkit {

class CSerialLine {
public:
    enum class Queue { Input, Output };
    enum class ModemLine { Dtr, Rts };

    virtual ~CSerialLine() = default;

    // The descriptor poll() watches for input, for room to write and for the end.
    virtual int Fd() const = 0;
    // poll() events that must be asked for so that the line's end wakes a wait that
    // wants no input (a TCP peer's close shows only as POLLRDHUP).
    virtual short EndEvents() const = 0;
    // Appends every data byte waiting, without waiting; false when the line has ended
    // (the bytes read before the end stay appended).
    virtual bool ReadWaiting(std::vector<BYTE>& into) = 0;
    // Takes what it can of n data bytes without waiting: the count taken, 0 when the
    // device has no room now, -1 when the line has ended.
    virtual long WriteSome(const BYTE* data, DWORD n) = 0;
    // Bytes the line holds that the device has not taken yet (the rest of an encoded
    // write); a write waits for room until they are gone, WriteSome(data, 0) sends them.
    virtual std::size_t Unsent() const { return 0; }
    // Bytes taken by WriteSome that have not left this machine yet.
    virtual DWORD QueuedOutput() = 0;
    virtual CSerialPort::SettingsResult ApplySettings(DWORD baud, bool baudOnly) = 0;
    virtual bool SetModemLine(ModemLine line, bool on) = 0;
    // Discards the queue in the device; for the input, also what the line has read
    // that was meant for the staging buffer. A line that meets its end here says so
    // through `ended`.
    virtual bool Purge(Queue queue, bool& ended) = 0;
    // False when the system reported an error closing the device; closed either way.
    virtual bool Close() = 0;
    // The line and modem states the port server last reported; false when none has.
    virtual bool RemoteStates(BYTE&, BYTE&) const { return false; }
};

// Opens the device `path` names: a terminal device, or rfc2217://HOST:PORT and
// tcp://HOST:PORT for a port server. Null with `failure` set when it does not open.
std::unique_ptr<CSerialLine> OpenSerialLine(const std::string& path, SerialOpenFailure& failure);

}
