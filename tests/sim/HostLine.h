// The host's end of the virtual board's line for tests: plain byte I/O on the
// pseudo-terminal's slave, with waits bounded by a deadline.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "zorkit/platform/core/FileDescriptor.h"
#include "zorkit/platform/core/WinTypes.h"

namespace zorkit::sim::test {

using namespace std::chrono_literals;

// Long enough for any answer on a loaded machine; only failing tests wait this long.
constexpr std::chrono::milliseconds kPatience = 30s;

class CHostLine {
public:
    explicit CHostLine(const std::string& path);
    bool IsOpen() const { return m_fd.IsValid(); }

    bool Send(const std::vector<BYTE>& bytes);
    // Collects bytes until `count` have arrived or the time-out has passed.
    std::vector<BYTE> Receive(std::size_t count, std::chrono::milliseconds timeout = kPatience);
    // True once the board's end has gone (poll reports a hang-up).
    bool WaitHangUp(std::chrono::milliseconds timeout = kPatience);

private:
    FileDescriptor m_fd;
};

// A command frame: L, code, parameters, checksum over code and parameters.
std::vector<BYTE> Frame(BYTE code, const std::vector<BYTE>& parameters = {});
// A data block as the board sends it: the bytes and their additive checksum.
std::vector<BYTE> Block(const std::vector<BYTE>& data);
// The bytes 0x00..0xFF of the echo test.
std::vector<BYTE> EchoBytes();
std::vector<BYTE> Concat(std::vector<BYTE> first, const std::vector<BYTE>& second);

}
