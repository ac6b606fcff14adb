// Runs, steps and their stop reports.
#include "tests/sim/BoardFixture.h"

namespace zorkit::sim::test {
namespace {

using Clock = std::chrono::steady_clock;

// Time from the last received byte to the last sent byte, once `sentCount` bytes are in the log.
std::chrono::milliseconds ReportDelay(const CWireLog& log, std::size_t sentCount = 2)
{
    EXPECT_TRUE(log.WaitSent(sentCount, kPatience));
    Clock::time_point received{}, sent{};
    for (const CWireByte& entry : log.Entries())
        (entry.direction == WireDirection::Received ? received : sent) = entry.time;
    return std::chrono::duration_cast<std::chrono::milliseconds>(sent - received);
}

TEST_F(BoardTest, ExecWithABreakpointReportsTheStopAfterTheDelay)
{
    EXPECT_EQ(Exchange(Frame(CMD_SET_BREAK, {0x10, 0x20}), 1), ack);
    ClearLog();

    // 04 0C 00 01 0D: run from 0x0100, through empty code memory (NOPs) to the breakpoint.
    EXPECT_EQ(Exchange({0x04, 0x0C, 0x00, 0x01, 0x0D}, 2), (std::vector<BYTE>{kAck, kAck}));
    EXPECT_EQ(board.ProgramCounter(), 0x2010);
    EXPECT_GE(ReportDelay(board.WireLog()), 100ms) << "the stop report waits for the run to end";
    EXPECT_EQ(board.Mode(), BoardMode::Monitor);
}

TEST_F(BoardTest, GotoCursorAndStepReportAfterTheDelay)
{
    ClearLog();
    EXPECT_EQ(Exchange(Frame(CMD_GOTO_CURSOR, {0x80, 0x00}), 2), (std::vector<BYTE>{kAck, kAck}));
    EXPECT_EQ(board.ProgramCounter(), 0x0080);
    EXPECT_GE(ReportDelay(board.WireLog()), 100ms);

    ClearLog();
    EXPECT_EQ(Exchange(Frame(CMD_STEP, {0x80, 0x00}), 2), (std::vector<BYTE>{kAck, kAck}));
    EXPECT_GE(ReportDelay(board.WireLog()), 100ms);
}

TEST_F(BoardTest, StopDelayIsConfigurable)
{
    CMonitorTimings timings = board.GetTimings();
    timings.stopDelay = 400ms;
    board.SetTimings(timings);
    ClearLog();
    EXPECT_EQ(Exchange(Frame(CMD_STEP, {0, 0}), 2), (std::vector<BYTE>{kAck, kAck}));
    EXPECT_GE(ReportDelay(board.WireLog()), 400ms);
}

TEST_F(BoardTest, TraceIsAnsweredOnceAndAwaitsNothing)
{
    // Had the trace started a run, the second frame would be ignored and only one 0xAA come back.
    EXPECT_EQ(Exchange(Concat(Frame(CMD_TRACE, {0, 0}), Frame(CMD_CLEAR_ALL_BREAK)), 2),
        (std::vector<BYTE>{kAck, kAck}));
    EXPECT_EQ(board.Mode(), BoardMode::Monitor);
}

TEST_F(BoardTest, FramesDuringARunAreNotListenedTo)
{
    // Long enough for the frame below to come while the step still runs.
    CMonitorTimings timings = board.GetTimings();
    timings.stopDelay = 1s;
    board.SetTimings(timings);
    EXPECT_EQ(Exchange(Frame(CMD_STEP, {0, 0}), 1), ack);
    SendAndSettle(Frame(CMD_SET_BREAK, {0x00, 0x30}));
    EXPECT_EQ(host->Receive(1), ack) << "only the stop report";
    EXPECT_TRUE(board.Breakpoints().empty());
}

TEST_F(BoardTest, ExecWithoutBreakpointsRunsFreeUntilReset)
{
    EXPECT_EQ(Exchange(Frame(CMD_PROG_EXEC, {0x00, 0x01}), 1), ack);
    EXPECT_EQ(board.Mode(), BoardMode::RunningFree);
    SendAndSettle(Frame(CMD_REG_ULD));
    EXPECT_EQ(board.WireLog().SentCount(), 1u) << "a free-running board answers nothing";

    board.PressReset();
    std::vector<BYTE> banner(kBanner.begin(), kBanner.end());
    EXPECT_EQ(host->Receive(9), banner);
    EXPECT_EQ(board.Mode(), BoardMode::BannerSent);
}

TEST_F(BoardTest, FullSpeedFreeRunStillTakesInTheLineAndTheResetKey)
{
    CMonitorTimings timings = board.GetTimings();
    timings.machineCyclesPerSecond = 0;
    board.SetTimings(timings);
    board.WriteMemory(MemorySpace::Code, 0x0100, {0x80, 0xFE}); // SJMP $
    EXPECT_EQ(Exchange(Frame(CMD_PROG_EXEC, {0x00, 0x01}), 1), ack);
    EXPECT_EQ(board.Mode(), BoardMode::RunningFree);
    // The host's bytes are read (and dropped) while the program runs.
    SendAndSettle(Frame(CMD_REG_ULD));
    SendAndSettle(Frame(CMD_CLEAR_ALL_BREAK));
    EXPECT_EQ(board.WireLog().SentCount(), 1u);

    board.PressReset();
    std::vector<BYTE> banner(kBanner.begin(), kBanner.end());
    EXPECT_EQ(host->Receive(9), banner);
    EXPECT_EQ(board.ProgramCounter(), 0x0000);
}

TEST_F(BoardTest, KeypadModeIgnoresTheLineUntilReset)
{
    EXPECT_EQ(Exchange(Frame(CMD_KEY_MONITOR), 1), ack);
    SendAndSettle(Frame(CMD_CLEAR_ALL_BREAK));
    EXPECT_EQ(board.WireLog().SentCount(), 1u);
    board.PressReset();
    EXPECT_EQ(host->Receive(9).size(), 9u);
    // A host without the handshake may go straight on with frames.
    EXPECT_EQ(Exchange(Frame(CMD_CLEAR_ALL_BREAK), 1), ack);
}

}
}
