// Faults of a poor line: a block that loses its checksum byte, noise in front of an
// answer, an answer that comes late; and disarming what was not spent.
#include <algorithm>

#include "tests/sim/BoardFixture.h"

namespace zorkit::sim::test {
namespace {

using Clock = std::chrono::steady_clock;

TEST_F(BoardTest, ShortBlockLosesItsChecksumByteOnce)
{
    board.WriteMemory(MemorySpace::External, 0x0000, {0x10, 0x20});
    board.InjectFault(Fault::ShortBlock);
    EXPECT_EQ(Exchange(Frame(CMD_EXMEM_ULD, {0x00, 0x00, 0x02}), 3), (std::vector<BYTE>{kAck, 0x10, 0x20}));
    // The host, missing a byte, answers nothing; its next frame is served all the same.
    EXPECT_EQ(Exchange(Frame(CMD_EXMEM_ULD, {0x00, 0x00, 0x02}), 4), (std::vector<BYTE>{kAck, 0x10, 0x20, 0x30}));
}

TEST_F(BoardTest, GarbageGoesOutInFrontOfTheAnswer)
{
    board.InjectFault(Fault::Garbage);
    std::vector<BYTE> answer = Exchange(Frame(CMD_SET_BREAK, {0x00, 0x60}), 5);
    ASSERT_EQ(answer.size(), 5u);
    EXPECT_EQ(answer.back(), kAck);
    for (std::size_t i = 0; i + 1 < answer.size(); ++i)
        EXPECT_TRUE(answer[i] != kAck && answer[i] != kNak) << "noise must not look like an answer";
    EXPECT_EQ(board.Breakpoints(), (std::set<WORD>{0x6000}));
}

TEST_F(BoardTest, DelayedAnswerKeepsWhatFollowsBehindIt)
{
    board.InjectFault(Fault::Nak);
    board.ClearFaults();
    EXPECT_EQ(board.ArmedFaults(Fault::Nak), 0u);

    board.DelayNextAnswer(300ms);
    ClearLog();
    // A step is acknowledged, then reported stopped after 100 ms: both wait for the delay.
    auto sent = Clock::now();
    EXPECT_EQ(Exchange(Frame(CMD_STEP, {0x00, 0x00}), 2), (std::vector<BYTE>{kAck, kAck}));
    std::vector<CWireByte> entries = board.WireLog().Entries();
    auto received = std::find_if(entries.begin(), entries.end(), [](const CWireByte& e) { return e.direction == WireDirection::Received; });
    auto answered = std::find_if(entries.begin(), entries.end(), [](const CWireByte& e) { return e.direction == WireDirection::Sent; });
    ASSERT_NE(answered, entries.end());
    EXPECT_GE(answered->time - received->time, 300ms) << "the answer went out early";
    EXPECT_GE(Clock::now() - sent, 300ms);
    // Spent: the next answer is on time again (no upper bound: the machine may be slow).
    EXPECT_EQ(Exchange(Frame(CMD_CLEAR_ALL_BREAK), 1), ack);
}

}
}
