// Fault injection, as a host sees it on the line.
#include <algorithm>

#include "tests/sim/BoardFixture.h"

namespace zorkit::sim::test {
namespace {

TEST_F(BoardTest, DroppedAckLeavesTheCommandDoneButUnanswered)
{
    board.InjectFault(Fault::DropAck);
    SendAndSettle(Frame(CMD_EXMEM_DLD, {0x00, 0x50, 0x01, 0x77}));
    EXPECT_EQ(board.WireLog().SentCount(), 0u);
    EXPECT_EQ(board.ReadMemory(MemorySpace::External, 0x5000, 1), (std::vector<BYTE>{0x77}));
    EXPECT_EQ(Exchange(Frame(CMD_CLEAR_ALL_BREAK), 1), ack) << "the fault is spent after one frame";
}

TEST_F(BoardTest, DroppedAckOnAnUploadStillSendsTheBlock)
{
    board.InjectFault(Fault::DropAck);
    // A host expecting 0xAA sees a data byte first.
    EXPECT_EQ(Exchange(Frame(CMD_INMEM_ULD, {0x00, 0x00, 0x02}), 3), Block({0x00, 0x00}));
}

TEST_F(BoardTest, InjectedNakRefusesTheFrame)
{
    board.InjectFault(Fault::Nak);
    EXPECT_EQ(Exchange(Frame(CMD_SET_BREAK, {0x00, 0x60}), 1), nak);
    EXPECT_TRUE(board.Breakpoints().empty());
    EXPECT_EQ(Exchange(Frame(CMD_SET_BREAK, {0x00, 0x60}), 1), ack);
}

TEST_F(BoardTest, WrongAckByteGoesOutInsteadOfAA)
{
    board.InjectWrongAck(0x3C);
    EXPECT_EQ(Exchange(Frame(CMD_SET_BREAK, {0x00, 0x60}), 1), (std::vector<BYTE>{0x3C}));
    EXPECT_EQ(board.Breakpoints(), (std::set<WORD>{0x6000})) << "the command itself was carried out";
}

TEST_F(BoardTest, FaultsAddUpAndAreSpentInTurn)
{
    board.InjectFault(Fault::Nak);
    board.InjectFault(Fault::Nak);
    EXPECT_EQ(Exchange(Concat(Frame(CMD_CLEAR_ALL_BREAK), Frame(CMD_CLEAR_ALL_BREAK)), 2), (std::vector<BYTE>{kNak, kNak}));
    EXPECT_EQ(Exchange(Frame(CMD_CLEAR_ALL_BREAK), 1), ack);
}

TEST_F(BoardTest, CorruptedBlockChecksumIsOffByOneOnce)
{
    board.WriteMemory(MemorySpace::External, 0x0000, {0x10, 0x20});
    board.InjectFault(Fault::CorruptBlock);
    EXPECT_EQ(Exchange(Frame(CMD_EXMEM_ULD, {0x00, 0x00, 0x02}), 4), (std::vector<BYTE>{kAck, 0x10, 0x20, 0x31}));
    Send({kAck});
    EXPECT_EQ(Exchange(Frame(CMD_EXMEM_ULD, {0x00, 0x00, 0x02}), 4), (std::vector<BYTE>{kAck, 0x10, 0x20, 0x30}));
}

TEST_F(BoardTest, BrokenBannerAndBrokenEcho)
{
    board.InjectFault(Fault::BreakBanner);
    board.PressReset();
    std::vector<BYTE> banner = host->Receive(9);
    ASSERT_EQ(banner.size(), 9u);
    EXPECT_NE(banner, std::vector<BYTE>(kBanner.begin(), kBanner.end()));
    EXPECT_EQ(banner[0], 'T');
    EXPECT_EQ(banner[8], 'K');

    board.InjectFault(Fault::BreakEcho);
    Send({kAck});
    std::vector<BYTE> echo = host->Receive(256);
    ASSERT_EQ(echo.size(), 256u);
    std::vector<BYTE> good = EchoBytes();
    EXPECT_NE(echo, good);
    EXPECT_TRUE(std::equal(good.begin(), good.begin() + 16, echo.begin())) << "the echo goes wrong after a good start";
}

TEST_F(BoardTest, InjectedNakBecomesAFailedEchoVerdict)
{
    board.PressReset();
    ASSERT_EQ(host->Receive(9).size(), 9u);
    Send({kAck});
    ASSERT_EQ(host->Receive(256).size(), 256u);
    board.InjectFault(Fault::Nak);
    EXPECT_EQ(Exchange(Concat({kAck}, EchoBytes()), 1), nak);
}

TEST_F(BoardTest, SilentBoardNeitherActsNorAnswers)
{
    board.SetSilent(true);
    SendAndSettle(Frame(CMD_SET_BREAK, {0x00, 0x70}));
    board.PressReset();
    SendAndSettle(Frame(CMD_CLEAR_ALL_BREAK));
    EXPECT_EQ(board.WireLog().SentCount(), 0u);
    EXPECT_TRUE(board.Breakpoints().empty());

    board.SetSilent(false);
    EXPECT_EQ(Exchange(Frame(CMD_SET_BREAK, {0x00, 0x70}), 1), ack);
}

TEST_F(BoardTest, SilenceHoldsAPendingStopReport)
{
    // This thread silences the board within the stop delay; then waits past it.
    CMonitorTimings timings = board.GetTimings();
    timings.stopDelay = 1s;
    board.SetTimings(timings);
    EXPECT_EQ(Exchange(Frame(CMD_STEP, {0, 0}), 1), ack);
    board.SetSilent(true);
    EXPECT_FALSE(board.WireLog().WaitSent(2, 1500ms)) << "no stop report while silent";
    EXPECT_EQ(board.Mode(), BoardMode::Running);
    board.SetSilent(false);
    EXPECT_EQ(host->Receive(1), ack) << "the held report goes out once the board speaks again";
}

TEST_F(BoardTest, HangUpIsSeenByTheHostAndRestartGivesANewLine)
{
    board.HangUp();
    EXPECT_TRUE(board.IsHungUp());
    EXPECT_TRUE(host->WaitHangUp());
    EXPECT_FALSE(host->Send({0x02, 0x12, 0x12}) && host->Receive(1).size() == 1);

    ASSERT_TRUE(board.Start()) << board.LastError();
    EXPECT_FALSE(board.IsHungUp());
    CHostLine again(board.SlavePath());
    ASSERT_TRUE(again.IsOpen());
    EXPECT_TRUE(again.Send(Frame(CMD_CLEAR_ALL_BREAK)));
    EXPECT_EQ(again.Receive(1), ack);
}

TEST_F(BoardTest, StopHangsUpTooAndForgetsThePath)
{
    std::string path = board.SlavePath();
    board.Stop();
    EXPECT_TRUE(host->WaitHangUp());
    EXPECT_FALSE(board.IsRunning());
    EXPECT_EQ(board.SlavePath(), "");
    EXPECT_FALSE(board.IsHungUp()) << "an orderly stop is not the hang-up fault";
}

}
}
