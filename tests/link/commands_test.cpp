// The frames each command puts on the wire, the board's answers, and refusals.
#include <algorithm>
#include <fstream>

#include "tests/link/LinkFixture.h"

using zorkit::sim::Fault;
using zorkit::sim::MemorySpace;
using Bytes = std::vector<BYTE>;

namespace {
// The frames of `wire` split by their length bytes.
std::vector<Bytes> Frames(const Bytes& wire)
{
    std::vector<Bytes> frames;
    for (std::size_t at = 0; at < wire.size();) {
        std::size_t length = std::size_t(wire[at]) + 1;
        frames.emplace_back(wire.begin() + long(at), wire.begin() + long(std::min(wire.size(), at + length)));
        at += length;
    }
    return frames;
}
}

class CommandsTest : public LinkFixture {};

TEST_F(CommandsTest, FramesCarryLengthCodeParametersAndChecksumWithoutLength)
{
    Establish();
    BYTE out[16];
    ASSERT_TRUE(link->ExMemUld(out, 16, 0x8000));
    // The host's 0xAA for the data block follows the frame.
    ASSERT_TRUE(board.WireLog().WaitReceived(7, kPatience));
    EXPECT_EQ(Received(), (Bytes{0x05, 0x03, 0x00, 0x80, 0x10, 0x93, 0xAA}));

    board.WireLog().Clear();
    ASSERT_TRUE(link->ClearAllBreakPt());
    EXPECT_EQ(Received(), (Bytes{0x02, 0x12, 0x12}));

    board.WireLog().Clear();
    ASSERT_TRUE(link->SetBreakPt(0x1234));
    ASSERT_TRUE(link->StepDebug());
    // The step sets no address: bytes 2..3 repeat the previous frame's.
    EXPECT_EQ(Frames(Received())[1], (Bytes{0x04, 0x0E, 0x34, 0x12, 0x54}));
    EXPECT_TRUE(WaitFor([&] { return !link->IsZORRunning(); }));
}

TEST_F(CommandsTest, MemoryAndRegistersRoundTripThroughTheBoard)
{
    Establish();
    Bytes regs(26);
    for (std::size_t i = 0; i < regs.size(); ++i)
        regs[i] = BYTE(0xC0 + i);
    ASSERT_TRUE(link->RegisterDld(regs.data()));
    Bytes frame = Received();
    ASSERT_EQ(frame.size(), 53u);
    EXPECT_EQ(frame[0], 52);
    EXPECT_EQ(Bytes(frame.begin() + 2, frame.begin() + 28), regs);
    EXPECT_EQ(board.Registers(), regs);
    Bytes regsBack(26, 0);
    ASSERT_TRUE(link->RegisterUld(regsBack.data()));
    EXPECT_EQ(regsBack, regs);

    Bytes data(250);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = BYTE(i * 7 + 3);
    ASSERT_TRUE(link->ExMemDld(data.data(), DWORD(data.size()), 0xFF80));
    EXPECT_EQ(board.ReadMemory(MemorySpace::External, 0xFF80, 128), Bytes(data.begin(), data.begin() + 128));

    Bytes back(255, 0);
    ASSERT_TRUE(link->ExMemUld(back.data(), 250, 0xFF80));
    EXPECT_EQ(Bytes(back.begin(), back.begin() + 250), data);

    Bytes internal = {1, 2, 3, 4, 5};
    ASSERT_TRUE(link->InMemDld(internal.data(), 5, 0x30));
    Bytes internalBack(5, 0);
    ASSERT_TRUE(link->InMemUld(internalBack.data(), 5, 0x30));
    EXPECT_EQ(internalBack, internal);
}

TEST_F(CommandsTest, ProgramImageGoesInChunksOfSixtyFour)
{
    Establish();
    Bytes image = {150, 0, 0x00, 0x20};
    for (int i = 0; i < 150; ++i)
        image.push_back(BYTE(255 - i));
    image.insert(image.end(), {0, 0, 0x00, 0x30}); // an empty record sends nothing
    ASSERT_TRUE(link->ProgDld(image.data(), DWORD(image.size())));
    auto frames = Frames(Received());
    ASSERT_EQ(frames.size(), 3u);
    const int sizes[] = {64, 64, 22};
    const WORD addresses[] = {0x2000, 0x2040, 0x2080};
    for (int f = 0; f < 3; ++f) {
        EXPECT_EQ(frames[f][1], 0x01);
        EXPECT_EQ(frames[f][4], sizes[f]);
        EXPECT_EQ(WORD(frames[f][2] | frames[f][3] << 8), addresses[f]);
    }
    EXPECT_EQ(board.ReadMemory(MemorySpace::Code, 0x2000, 150), Bytes(image.begin() + 4, image.begin() + 154));

    // 100 ms after each chunk, then the 100 ms before every frame.
    std::vector<std::chrono::steady_clock::time_point> starts, ends;
    std::size_t at = 0, next = 0;
    for (const auto& entry : board.WireLog().Entries()) {
        if (entry.direction != zorkit::sim::WireDirection::Received)
            continue;
        if (at == next) {
            starts.push_back(entry.time);
            next = at + entry.value + 1;
        }
        if (++at == next)
            ends.push_back(entry.time);
    }
    ASSERT_EQ(starts.size(), 3u);
    for (int f = 1; f < 3; ++f)
        EXPECT_GE(starts[f] - ends[f - 1], std::chrono::milliseconds(180)) << "before chunk " << f;
}

TEST_F(CommandsTest, OversizedTransfersAreRefusedWithoutSendingAnything)
{
    Establish();
    Bytes big(300, 0x11);
    EXPECT_FALSE(link->ExMemDld(big.data(), 251, 0));
    EXPECT_FALSE(link->InMemDld(big.data(), 251, 0));
    EXPECT_FALSE(link->ExMemUld(big.data(), 256, 0));
    EXPECT_FALSE(link->InMemUld(big.data(), 256, 0));
    // A record that claims more bytes than the image holds must not be read past its end.
    Bytes truncated = {200, 0, 0x00, 0x20, 1, 2, 3};
    EXPECT_FALSE(link->ProgDld(truncated.data(), DWORD(truncated.size())));
    Bytes halfHeader = {1, 0, 0x00};
    EXPECT_FALSE(link->ProgDld(halfHeader.data(), DWORD(halfHeader.size())));

    auto path = logDir / "huge.bin";
    std::ofstream(path, std::ios::binary) << std::string(65536, '\x22');
    EXPECT_FALSE(CZORCommProbe::DownloadFile(*link, path.string()));

    EXPECT_TRUE(Received().empty());
    EXPECT_TRUE(link->IsZORConnect()) << "a refusal is not a line failure";
    auto lines = LogLines();
    EXPECT_GE(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("ERROR: ", 0) == 0; }), 6);
}

TEST_F(CommandsTest, FileDownloadLoadsAt1100AndResetsTo0100)
{
    Establish();
    auto path = logDir / "prog.bin";
    std::ofstream(path, std::ios::binary) << std::string("\x75\x90\x55\x80\xFE", 5);
    ASSERT_TRUE(CZORCommProbe::DownloadFile(*link, path.string()));
    EXPECT_EQ(board.ReadMemory(MemorySpace::Code, 0x1100, 5), (Bytes{0x75, 0x90, 0x55, 0x80, 0xFE}));
    auto frames = Frames(Received());
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[1], (Bytes{0x04, 0x0B, 0x00, 0x01, 0x0C}));
    EXPECT_FALSE(CZORCommProbe::DownloadFile(*link, (logDir / "missing.bin").string()));
}

TEST_F(CommandsTest, RunWithoutBreakpointsLocksOutEveryCommand)
{
    Establish();
    ASSERT_TRUE(link->ProgExec(0x0100));
    EXPECT_EQ(Received(), (Bytes{0x04, 0x0C, 0x00, 0x01, 0x0D}));
    EXPECT_TRUE(link->IsProgExcAll());
    EXPECT_TRUE(link->IsZORRunning());
    EXPECT_FALSE(WorkerRuns()) << "a free run has no watcher";
    board.WireLog().Clear();
    BYTE out[4];
    EXPECT_FALSE(link->ExMemUld(out, 4, 0));
    EXPECT_FALSE(link->TraceDebug());
    EXPECT_TRUE(Received().empty());
    // Nothing to test while the board runs free.
    EXPECT_TRUE(link->CheckConnect());
    EXPECT_TRUE(Received().empty());
}

TEST_F(CommandsTest, UnacknowledgedRunWithoutBreakpointsStillLocksOutEveryCommand)
{
    Establish();
    board.InjectFault(Fault::DropAck);
    EXPECT_FALSE(link->ProgExec(0x0100));
    EXPECT_TRUE(link->IsProgExcAll());
    EXPECT_TRUE(link->IsZORRunning());
    SettleWire(5);
    link->SetZORConnect(1);
    EXPECT_FALSE(link->TraceDebug());
    EXPECT_FALSE(link->ClearAllBreakPt());
    EXPECT_TRUE(Received().empty());
}

TEST_F(CommandsTest, RegistersBeforeDetectionGoOutAsTheFrameTheBufferHolds)
{
    Connect();
    link->SetZORConnect(1);
    ASSERT_EQ(link->GetZORCPUType(), CZORComm::CPU_NONE);
    Bytes zeros(60, 0);
    ASSERT_TRUE(link->ExMemDld(zeros.data(), DWORD(zeros.size()), 0x0000));
    SettleWire(zeros.size() + 6);
    Bytes regs(26, 0xC3);
    ASSERT_TRUE(link->RegisterDld(regs.data()));
    Bytes frame = Received();
    ASSERT_EQ(frame.size(), 53u);
    EXPECT_EQ(frame[0], 52);
    EXPECT_EQ(frame[1], 0x09);
    // No register byte is copied: bytes 2.. hold the address, count and data of the previous frame.
    Bytes expected(50, 0);
    expected[2] = 60;
    EXPECT_EQ(Bytes(frame.begin() + 2, frame.begin() + 52), expected);
    EXPECT_EQ(frame[52], BYTE(0x09 + 60));
}

TEST_F(CommandsTest, BreakpointCountDecidesWhetherARunIsWatched)
{
    Establish();
    ASSERT_TRUE(link->SetBreakPt(0x0130));
    ASSERT_TRUE(link->SetBreakPt(0x0140));
    ASSERT_TRUE(link->ClearBreakPt(0x0130));
    EXPECT_EQ(board.Breakpoints().size(), 1u);
    ASSERT_TRUE(link->ProgExec(0x0100));
    EXPECT_FALSE(link->IsProgExcAll());
    EXPECT_TRUE(WaitFor([&] { return !link->IsZORRunning() && !WorkerRuns(); }));

    ASSERT_TRUE(link->ClearAllBreakPt());
    // More clears than sets wrap the unsigned count: a run is then watched again,
    // although the board has no breakpoint left to stop at.
    ASSERT_TRUE(link->ClearBreakPt(0x0140));
    ASSERT_TRUE(link->ProgExec(0x0100));
    EXPECT_FALSE(link->IsProgExcAll());
    EXPECT_TRUE(WorkerRuns());
    EXPECT_TRUE(link->SetZORRunning(0));
    EXPECT_FALSE(WorkerRuns());
}

TEST_F(CommandsTest, CommandsWaitForTheQuietTimeAfterConstruction)
{
    auto constructed = std::chrono::steady_clock::now();
    Connect();
    link->SetZORConnect(1);
    ASSERT_TRUE(link->ClearAllBreakPt());
    ASSERT_FALSE(board.WireLog().Entries().empty());
    // 50 ms of quiet after construction, then the 100 ms pause before every frame. The
    // link counts the quiet in whole milliseconds of its tick, which may run up to one
    // millisecond ahead of the real time that passed.
    EXPECT_GE(board.WireLog().Entries().front().time - constructed, std::chrono::milliseconds(149));
}

TEST_F(CommandsTest, KeyMonitorHandsTheBoardOverAndDropsTheLink)
{
    Establish();
    ASSERT_TRUE(link->KeyMonitor());
    EXPECT_EQ(Received(), (Bytes{0x02, 0x13, 0x13}));
    EXPECT_FALSE(link->IsZORConnect());
    EXPECT_FALSE(WorkerRuns()) << "the keypad hand-over starts no reset watcher";
    board.WireLog().Clear();
    EXPECT_FALSE(link->TraceDebug());
    EXPECT_TRUE(Received().empty());
}
