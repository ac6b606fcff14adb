// A started virtual board with a short stop delay and a host line connected to it.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "sim/BoardProtocol.h"
#include "sim/VirtualBoard.h"
#include "tests/sim/HostLine.h"

namespace zorkit::sim::test {

class BoardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The frame gap and the host's answer time stay as long as a board's: this
        // thread must answer within them, also on a loaded machine.
        CMonitorTimings timings;
        timings.stopDelay = 100ms;
        board.SetTimings(timings);
        ASSERT_TRUE(board.Start()) << board.LastError();
        host = std::make_unique<CHostLine>(board.SlavePath());
        ASSERT_TRUE(host->IsOpen()) << board.SlavePath();
    }

    // Sends bytes, counting them so the fixture knows what the board must take in.
    void Send(const std::vector<BYTE>& bytes)
    {
        EXPECT_TRUE(host->Send(bytes));
        hostSent += bytes.size();
    }

    // Sends bytes and collects the `answer` bytes expected back.
    std::vector<BYTE> Exchange(const std::vector<BYTE>& bytes, std::size_t answer)
    {
        Send(bytes);
        return host->Receive(answer);
    }

    // Returns once the board has taken in (and answered) everything the host sent.
    void Settle() { ASSERT_TRUE(board.WireLog().WaitReceived(hostSent, kPatience)); }

    void SendAndSettle(const std::vector<BYTE>& bytes)
    {
        Send(bytes);
        Settle();
    }

    // Starts the log afresh once the traffic so far is in it.
    void ClearLog()
    {
        Settle();
        board.WireLog().Clear();
        hostSent = 0;
    }

    const std::vector<BYTE> ack{kAck};
    const std::vector<BYTE> nak{kNak};
    CVirtualBoard board;
    std::unique_ptr<CHostLine> host;
    std::size_t hostSent = 0;
};

}
