// The monitor engine on its own, with a hand-driven clock: the timing rules that
// are slow or racy to show over a real line.
#include <gtest/gtest.h>

#include "sim/BoardProtocol.h"
#include "sim/Monitor.h"
#include "tests/sim/HostLine.h"

namespace zorkit::sim::test {
namespace {

using Clock = CMonitor::Clock;

class MonitorTest : public ::testing::Test {
protected:
    std::vector<BYTE> Feed(const std::vector<BYTE>& bytes)
    {
        std::vector<BYTE> out;
        for (BYTE b : bytes)
            monitor.Receive(b, now, out);
        return out;
    }

    std::vector<BYTE> AdvanceTo(Clock::time_point when)
    {
        now = when;
        std::vector<BYTE> out;
        monitor.Tick(now, out);
        return out;
    }

    CMonitor monitor;
    Clock::time_point now = Clock::time_point() + std::chrono::hours(1);
};

TEST_F(MonitorTest, PartialFrameIsDroppedAfterTheGapAndNotBefore)
{
    std::vector<BYTE> frame = Frame(CMD_SET_BREAK, {0x00, 0x10});
    EXPECT_TRUE(Feed({frame[0], frame[1]}).empty());
    ASSERT_TRUE(monitor.NextDeadline());
    EXPECT_EQ(*monitor.NextDeadline(), now + monitor.Timings().frameGap);

    // Just before the gap the frame is still open and completes normally.
    AdvanceTo(now + monitor.Timings().frameGap - std::chrono::milliseconds(1));
    EXPECT_EQ(Feed({frame[2], frame[3], frame[4]}), std::vector<BYTE>{kAck});

    // At the gap the start is forgotten, so a whole frame sent afterwards is read in step.
    Feed({frame[0], frame[1]});
    AdvanceTo(*monitor.NextDeadline());
    EXPECT_FALSE(monitor.NextDeadline());
    EXPECT_EQ(Feed(frame), std::vector<BYTE>{kAck});
}

TEST_F(MonitorTest, StopReportComesAtTheDelayExactly)
{
    Feed(Frame(CMD_GOTO_CURSOR, {0x00, 0x02}));
    Clock::time_point stop = now + monitor.Timings().stopDelay;
    EXPECT_TRUE(AdvanceTo(stop - std::chrono::milliseconds(1)).empty());
    EXPECT_EQ(monitor.Mode(), BoardMode::Running);
    EXPECT_EQ(AdvanceTo(stop), std::vector<BYTE>{kAck});
    EXPECT_EQ(monitor.Mode(), BoardMode::Monitor);
    EXPECT_FALSE(monitor.NextDeadline());
}

TEST_F(MonitorTest, FreeRunIsPacedToTheBoardsClockUntilTheResetKey)
{
    // SJMP $ at 0x0100: a program that never stops by itself.
    BYTE loop[] = {0x80, 0xFE};
    monitor.Memory().Write(MemorySpace::Code, 0x0100, loop, sizeof loop);
    Feed(Frame(CMD_PROG_EXEC, {0x00, 0x01}));
    EXPECT_EQ(monitor.Mode(), BoardMode::RunningFree);
    std::uint64_t start = monitor.Core().Cycles();
    ASSERT_TRUE(monitor.NextDeadline()) << "the core runs in slices";
    EXPECT_TRUE(AdvanceTo(now + std::chrono::milliseconds(50)).empty()) << "a free run reports nothing";
    // 12 MHz: one machine cycle per microsecond, to within the instruction that ends a slice.
    std::uint64_t ran = monitor.Core().Cycles() - start;
    EXPECT_GE(ran, 50000u);
    EXPECT_LE(ran, 50003u);
    EXPECT_EQ(monitor.ProgramCounter(), 0x0100);
    EXPECT_EQ(monitor.Mode(), BoardMode::RunningFree);
    std::vector<BYTE> out;
    monitor.PressReset(out);
    EXPECT_EQ(monitor.Mode(), BoardMode::BannerSent);
    EXPECT_EQ(monitor.ProgramCounter(), 0x0000) << "the reset key resets the core";
    EXPECT_FALSE(monitor.NextDeadline()) << "the board waits for the host's answer to its banner";
    EXPECT_EQ(Feed(Frame(CMD_KEY_MONITOR)), std::vector<BYTE>{kAck});
    EXPECT_EQ(monitor.Mode(), BoardMode::Keypad);
    EXPECT_FALSE(monitor.NextDeadline());
}

TEST_F(MonitorTest, FullSpeedRunStopsAtABreakpointOrTheCursorAndA5EndsAnyRun)
{
    CMonitorTimings timings;
    timings.stopDelay = std::chrono::milliseconds(0);
    timings.machineCyclesPerSecond = 0;
    monitor.SetTimings(timings);
    // 0000: INC A; SJMP 0000H; 0010: A5
    BYTE loop[] = {0x04, 0x80, 0xFD};
    monitor.Memory().Write(MemorySpace::Code, 0x0000, loop, sizeof loop);
    BYTE undefined = 0xA5;
    monitor.Memory().Write(MemorySpace::Code, 0x0010, &undefined, 1);

    // A breakpoint at the start stops the run after one round, not before the first instruction.
    Feed(Frame(CMD_SET_BREAK, {0x00, 0x00}));
    EXPECT_EQ(Feed(Frame(CMD_PROG_EXEC, {0x00, 0x00})), std::vector<BYTE>{kAck});
    EXPECT_EQ(AdvanceTo(now), std::vector<BYTE>{kAck});
    EXPECT_EQ(monitor.ProgramCounter(), 0x0000);
    EXPECT_EQ(monitor.Registers()[0], 1) << "A";

    // A goto to an address the loop never reaches still stops at the breakpoint.
    Feed(Frame(CMD_GOTO_CURSOR, {0x00, 0x30}));
    EXPECT_EQ(AdvanceTo(now), std::vector<BYTE>{kAck});
    EXPECT_EQ(monitor.Registers()[0], 2);

    // A free run that meets A5 comes back to the monitor and says so.
    Feed(Frame(CMD_CLEAR_ALL_BREAK));
    Feed(Frame(CMD_PROG_EXEC, {0x10, 0x00}));
    EXPECT_EQ(monitor.Mode(), BoardMode::RunningFree);
    EXPECT_EQ(AdvanceTo(now), std::vector<BYTE>{kAck});
    EXPECT_EQ(monitor.Mode(), BoardMode::Monitor);
    EXPECT_EQ(monitor.ProgramCounter(), 0x0010);

    // A step on A5 executes nothing but is reported like any step.
    EXPECT_EQ(Feed(Frame(CMD_STEP, {0, 0})), std::vector<BYTE>{kAck});
    EXPECT_EQ(AdvanceTo(now), std::vector<BYTE>{kAck});
    EXPECT_EQ(monitor.ProgramCounter(), 0x0010);
}

TEST_F(MonitorTest, ResetCommandResetsTheCoreAndTraceStepsSilently)
{
    BYTE code[] = {0x74, 0x42, 0xF5, 0x90}; // MOV A,#42H; MOV P1,A
    monitor.Memory().Write(MemorySpace::Code, 0x0200, code, sizeof code);
    EXPECT_EQ(Feed(Frame(CMD_PROG_RESET, {0x00, 0x02})), std::vector<BYTE>{kAck});
    EXPECT_EQ(Feed(Frame(CMD_TRACE, {0, 0})), std::vector<BYTE>{kAck});
    EXPECT_EQ(Feed(Frame(CMD_TRACE, {0, 0})), std::vector<BYTE>{kAck});
    EXPECT_EQ(monitor.Mode(), BoardMode::Monitor) << "a trace awaits nothing";
    std::vector<BYTE> regs = monitor.Registers();
    EXPECT_EQ(regs[17], 0x42) << "P1";
    EXPECT_EQ(monitor.ProgramCounter(), 0x0204);
    Feed(Frame(CMD_PROG_RESET, {0x00, 0x01}));
    regs = monitor.Registers();
    EXPECT_EQ(regs[0], 0x00) << "A";
    EXPECT_EQ(regs[17], 0xFF) << "P1";
    EXPECT_EQ(monitor.ProgramCounter(), 0x0100);
}

TEST_F(MonitorTest, FullSizeFrameFitsItsBuffer)
{
    // L = 255: a 250-byte download, the largest frame the length byte allows.
    std::vector<BYTE> parameters{0x00, 0xFF, 250};
    for (int i = 0; i < 250; ++i)
        parameters.push_back(BYTE(i));
    std::vector<BYTE> frame = Frame(CMD_EXMEM_DLD, parameters);
    ASSERT_EQ(frame.size(), 256u);
    EXPECT_EQ(Feed(frame), std::vector<BYTE>{kAck});
    std::vector<BYTE> stored = monitor.Memory().Read(MemorySpace::External, 0xFF00, 250);
    EXPECT_EQ(stored, std::vector<BYTE>(parameters.begin() + 3, parameters.end()));
}

}
}
