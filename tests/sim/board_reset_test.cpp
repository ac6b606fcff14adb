// The reset key: sign-on banner and the echo test from the board's side.
#include "tests/sim/BoardFixture.h"

namespace zorkit::sim::test {
namespace {

class ResetTest : public BoardTest {
protected:
    // Presses reset, checks the banner and answers it; returns the board's echo.
    std::vector<BYTE> ResetAndTakeEcho()
    {
        board.PressReset();
        EXPECT_EQ(host->Receive(9), banner);
        Send({kAck});
        return host->Receive(256);
    }

    const std::vector<BYTE> banner{kBanner.begin(), kBanner.end()};
};

TEST_F(ResetTest, GoodHandshakeEndsWithAckAndTheMonitorServes)
{
    EXPECT_EQ(ResetAndTakeEcho(), EchoBytes());
    EXPECT_EQ(Exchange(Concat({kAck}, EchoBytes()), 1), ack);
    EXPECT_EQ(board.Mode(), BoardMode::Monitor);
    EXPECT_EQ(Exchange(Frame(CMD_CLEAR_ALL_BREAK), 1), ack);
    // Banner, echo and two answers: nothing else went out.
    EXPECT_TRUE(board.WireLog().WaitSent(9 + 256 + 2, kPatience));
    EXPECT_EQ(board.WireLog().SentCount(), 9u + 256u + 2u);
}

TEST_F(ResetTest, BadHostEchoIsAnsweredWith55AndTheHostsAckConsumed)
{
    ASSERT_EQ(ResetAndTakeEcho().size(), 256u);
    std::vector<BYTE> echo = Concat({kAck}, EchoBytes());
    echo[100] = 0x00;
    EXPECT_EQ(Exchange(echo, 1), nak);
    // The host acknowledges a 0x55 verdict; that 0xAA must not open a frame.
    EXPECT_EQ(Exchange(Concat({kAck}, Frame(CMD_CLEAR_ALL_BREAK)), 1), ack);
}

TEST_F(ResetTest, HostEchoWithoutItsLeadingAckFails)
{
    ASSERT_EQ(ResetAndTakeEcho().size(), 256u);
    std::vector<BYTE> echo = Concat({0x00}, EchoBytes());
    EXPECT_EQ(Exchange(echo, 1), nak);
}

TEST_F(ResetTest, IncompleteHostEchoIsJudgedBadAfterTheGap)
{
    ASSERT_EQ(ResetAndTakeEcho().size(), 256u);
    std::vector<BYTE> echo = Concat({kAck}, EchoBytes());
    echo.resize(100);
    EXPECT_EQ(Exchange(echo, 1), nak);
}

TEST_F(ResetTest, FrameInsteadOfBannerAnswerIsServed)
{
    board.PressReset();
    EXPECT_EQ(host->Receive(9), banner);
    EXPECT_EQ(Exchange(Frame(CMD_SET_BREAK, {0x00, 0x40}), 1), ack);
    EXPECT_EQ(board.Breakpoints(), (std::set<WORD>{0x4000}));
}

TEST_F(ResetTest, ResetEndsARunAndForgetsBreakpointsButKeepsMemory)
{
    board.WriteMemory(MemorySpace::External, 0x1000, {0x12});
    // The step never ends on its own: only the reset can end it.
    CMonitorTimings timings = board.GetTimings();
    timings.stopDelay = 1h;
    board.SetTimings(timings);
    EXPECT_EQ(Exchange(Frame(CMD_SET_BREAK, {0x00, 0x40}), 1), ack);
    EXPECT_EQ(Exchange(Frame(CMD_STEP, {0, 0}), 1), ack);
    board.PressReset();
    EXPECT_EQ(host->Receive(9), banner) << "no stop report before the banner";
    EXPECT_TRUE(board.Breakpoints().empty());
    EXPECT_EQ(board.ReadMemory(MemorySpace::External, 0x1000, 1), (std::vector<BYTE>{0x12}));
}

TEST_F(ResetTest, ResetDiscardsAPartialFrame)
{
    SendAndSettle({0x05, 0x03, 0x00});
    board.PressReset();
    EXPECT_EQ(host->Receive(9), banner);
    EXPECT_EQ(Exchange(Frame(CMD_CLEAR_ALL_BREAK), 1), ack);
}

}
}
