// The pseudo-terminal owner, against a client on its slave path.
#include <gtest/gtest.h>

#include <cerrno>
#include <thread>

#include "zorkit/platform/serial/PseudoTerminal.h"
#include "sim/VirtualBoard.h"
#include "tests/sim/HostLine.h"
#include "tests/support/FullDescriptorTable.h"

namespace zorkit::sim::test {
namespace {

class PseudoTerminalTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(pty.Open()) << pty.LastError(); }

    // Reads what the client sent, waiting for it with a deadline.
    std::vector<BYTE> ReadFromClient(std::size_t count)
    {
        std::vector<BYTE> got;
        auto deadline = std::chrono::steady_clock::now() + kPatience;
        while (got.size() < count && std::chrono::steady_clock::now() < deadline) {
            if (pty.WaitReadable(100) != CPseudoTerminal::WAIT_READY)
                continue;
            BYTE buffer[512];
            long n = pty.Read(buffer, sizeof buffer);
            if (n < 0)
                break;
            got.insert(got.end(), buffer, buffer + n);
        }
        return got;
    }

    CPseudoTerminal pty;
};

TEST_F(PseudoTerminalTest, WaitOnAQuietLineLastsItsWholeTimeOut)
{
    CHostLine client(pty.SlavePath());
    ASSERT_TRUE(client.IsOpen());
    // A wait that ended early would leave a caller with a deadline to spin on 0 ms waits.
    for (int timeout : {1, 7, 20}) {
        auto start = std::chrono::steady_clock::now();
        ASSERT_EQ(pty.WaitReadable(timeout), CPseudoTerminal::WAIT_TIMEOUT);
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(timeout));
    }
}

TEST_F(PseudoTerminalTest, EveryByteValuePassesUnchangedBothWays)
{
    CHostLine client(pty.SlavePath());
    ASSERT_TRUE(client.IsOpen()) << pty.SlavePath();
    // Control characters (CR, LF, ^C, XON/XOFF, DEL) included: the line is raw.
    std::vector<BYTE> all = EchoBytes();
    ASSERT_EQ(pty.Write(all.data(), all.size(), 1000), all.size());
    EXPECT_EQ(client.Receive(256), all);
    EXPECT_EQ(pty.WaitReadable(100), CPseudoTerminal::WAIT_TIMEOUT) << "the slave must not echo to the board";

    ASSERT_TRUE(client.Send(all));
    EXPECT_EQ(ReadFromClient(256), all);
}

TEST_F(PseudoTerminalTest, ReadNeverWaits)
{
    BYTE b;
    EXPECT_EQ(pty.Read(&b, 1), 0);
}

TEST_F(PseudoTerminalTest, NoHangUpWithoutClientOrAfterOneLeaves)
{
    EXPECT_EQ(pty.WaitReadable(50), CPseudoTerminal::WAIT_TIMEOUT);
    {
        CHostLine client(pty.SlavePath());
        ASSERT_TRUE(client.IsOpen());
    }
    EXPECT_EQ(pty.WaitReadable(50), CPseudoTerminal::WAIT_TIMEOUT);
    CHostLine next(pty.SlavePath());
    ASSERT_TRUE(next.Send({0x42}));
    EXPECT_EQ(ReadFromClient(1), (std::vector<BYTE>{0x42}));
}

TEST_F(PseudoTerminalTest, WakeEndsAWaitFromAnotherThread)
{
    std::thread waker([this] { pty.Wake(); });
    EXPECT_EQ(pty.WaitReadable(-1), CPseudoTerminal::WAIT_WOKEN);
    waker.join();
    EXPECT_EQ(pty.WaitReadable(0), CPseudoTerminal::WAIT_TIMEOUT) << "a wake is consumed once";
}

TEST_F(PseudoTerminalTest, HangUpReachesTheClientAndClosesTheMaster)
{
    CHostLine client(pty.SlavePath());
    ASSERT_TRUE(client.IsOpen());
    pty.HangUp();
    EXPECT_TRUE(client.WaitHangUp());
    EXPECT_FALSE(pty.IsOpen());
    EXPECT_EQ(pty.SlavePath(), "");
    EXPECT_EQ(pty.WaitReadable(0), CPseudoTerminal::WAIT_FAILED);
    BYTE b = 0;
    EXPECT_EQ(pty.Read(&b, 1), -1);
    EXPECT_EQ(pty.Write(&b, 1, 0), 0u);
}

TEST_F(PseudoTerminalTest, ReopeningGivesAFreshPair)
{
    std::string first = pty.SlavePath();
    CHostLine client(first);
    ASSERT_TRUE(pty.Open());
    EXPECT_TRUE(client.WaitHangUp()) << "the old pair is hung up";
    CHostLine second(pty.SlavePath());
    EXPECT_TRUE(second.IsOpen());
}

TEST(PseudoTerminalByClient, SeesAClientComeAndGo)
{
    CPseudoTerminal pty;
    ASSERT_TRUE(pty.Open(CPseudoTerminal::SLAVE_BY_CLIENT)) << pty.LastError();
    EXPECT_FALSE(pty.HasClient());
    EXPECT_EQ(pty.WaitReadable(-1), CPseudoTerminal::WAIT_NO_CLIENT) << "no wait for a client that is not there";
    {
        CHostLine client(pty.SlavePath());
        ASSERT_TRUE(client.IsOpen());
        EXPECT_TRUE(pty.HasClient());
        // Raw as with the kept slave: every byte unchanged, nothing echoed.
        std::vector<BYTE> all = EchoBytes();
        ASSERT_EQ(pty.Write(all.data(), all.size(), 1000), all.size());
        EXPECT_EQ(client.Receive(256), all);
        ASSERT_TRUE(client.Send({0x0D, 0x03}));
        ASSERT_EQ(pty.WaitReadable(-1), CPseudoTerminal::WAIT_READY);
        BYTE got[2] = {};
        EXPECT_EQ(pty.Read(got, 2), 2);
        EXPECT_EQ(got[0], 0x0D);
        EXPECT_EQ(got[1], 0x03);
    }
    EXPECT_FALSE(pty.HasClient());
    EXPECT_EQ(pty.WaitReadable(-1), CPseudoTerminal::WAIT_NO_CLIENT);
    std::thread waker([&pty] { pty.Wake(); });
    EXPECT_TRUE(pty.WaitWoken(-1));
    waker.join();
}

// With no descriptor left, the failure names the call and the reason, and keeps the
// error number for a host that words it: also when it was the wake-up's eventfd,
// made when the terminal was, that could not be had.
TEST(PseudoTerminalFailureTest, AFullDescriptorTableIsReportedWithItsReason)
{
    CPseudoTerminal early;
    {
        FullDescriptorTable full;
        CPseudoTerminal late;
        EXPECT_FALSE(early.Open());
        EXPECT_EQ(early.LastError(), "posix_openpt: Too many open files");
        EXPECT_EQ(early.LastErrorNumber(), EMFILE);
        errno = 0;
        EXPECT_FALSE(late.Open());
        EXPECT_EQ(late.LastError(), "eventfd: Too many open files");
        EXPECT_EQ(late.LastErrorNumber(), EMFILE);

        CVirtualBoard board;
        EXPECT_FALSE(board.Start());
        EXPECT_EQ(board.LastError(), "eventfd: Too many open files");
        EXPECT_EQ(board.LastErrorNumber(), EMFILE);
    }
    ASSERT_TRUE(early.Open()) << "the descriptors are back: " << early.LastError();
    EXPECT_EQ(early.LastError(), "");
    EXPECT_EQ(early.LastErrorNumber(), 0);
}

}
}
