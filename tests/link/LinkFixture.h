// A link connected to a virtual board over a real pseudo-terminal, with its log
// in a private directory.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "zorkit/link/ZORComm.h"
#include "sim/VirtualBoard.h"
#include "tests/support/TempDir.h"

// Reaches the parts of a link a host cannot see.
struct CZORCommProbe {
    static bool WorkerRuns(const CZORComm& link) { return link.m_worker.IsRunning(); }
    static BOOL Close(CZORComm& link) { return link.CloseConnection(); }
    static BOOL DownloadFile(CZORComm& link, const std::string& path)
    {
        std::vector<char> writable(path.begin(), path.end());
        writable.push_back('\0');
        return link.ProgDld(writable.data());
    }
};

class LinkFixture : public ::testing::Test {
protected:
    static constexpr int kPort = 5;
    // How long a wait for something that must come may take on a loaded machine;
    // only a failing test waits this long.
    static constexpr std::chrono::milliseconds kPatience = std::chrono::seconds(30);

    void SetUp() override;
    void TearDown() override;

    // Constructs the link on the board's line (expected CPU 8051 unless given).
    void Connect(CZORComm::ZORTYPE expected = CZORComm::CPU_8051);
    // CheckConnect, asserting success; the wire log starts afresh after it.
    void Establish();
    // The log so far, as UTF-8 lines without line ends.
    std::vector<std::string> LogLines() const;
    // Clears the wire log once the board has taken in the `hostBytes` the host sent
    // since it was last cleared: a call may return before its last bytes are through.
    void SettleWire(std::size_t hostBytes);
    // Frames the board has received since the wire log was last cleared.
    std::vector<BYTE> Received() const { return board.WireLog().Received(); }
    // Pumps this thread's messages until `done` or the deadline.
    static bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout = kPatience);
    bool WorkerRuns() const { return CZORCommProbe::WorkerRuns(*link); }
    // How long the board runs a program before it reports the stop.
    void SetStopDelay(std::chrono::milliseconds delay);

    zorkit::sim::CVirtualBoard board;
    std::unique_ptr<CZORComm> link;
    TempDir scratch;
    const std::filesystem::path& logDir = scratch.Path();
};

std::string Utf8(const std::string& gbk);
// An Intel HEX file as ProgDld's records: count and address (low byte first), then the bytes.
std::vector<BYTE> ProgramImage(const std::string& path);
