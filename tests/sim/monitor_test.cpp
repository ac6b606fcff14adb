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
