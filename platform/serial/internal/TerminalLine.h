// A local serial device (a USB adapter, a board's pseudo-terminal) through termios.
#pragma once

#include "zorkit/platform/core/FileDescriptor.h"
#include "zorkit/platform/serial/internal/SerialLine.h"

namespace zorkit {

class CTerminalLine : public CSerialLine {
public:
    // Opens `path` for exclusive use; null with `failure` set when it does not open.
    static std::unique_ptr<CSerialLine> Open(const std::string& path, SerialOpenFailure& failure);

    int Fd() const override { return m_fd.Get(); }
    short EndEvents() const override { return 0; }
    bool ReadWaiting(std::vector<BYTE>& into) override;
    long WriteSome(const BYTE* data, DWORD n) override;
    DWORD QueuedOutput() override;
    CSerialPort::SettingsResult ApplySettings(DWORD baud, bool baudOnly) override;
    bool SetModemLine(ModemLine line, bool on) override;
    bool Purge(Queue queue, bool& ended) override;
    bool Close() override;

private:
    explicit CTerminalLine(FileDescriptor fd) : m_fd(std::move(fd)) {}

    FileDescriptor m_fd;
};

}
