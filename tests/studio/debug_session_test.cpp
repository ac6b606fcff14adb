#include "tests/studio/SessionFixture.h"

#include <algorithm>

#include "tests/support/ResetKey.h"
#include "zorkit/platform/core/Gbk.h"
#include "tools/zorstudio/RegisterLayout.h"

namespace zorkit::studio::test {
namespace {

using zorstudio::LinkState;
using zorstudio::MemoryKind;

TEST_F(SessionTest, DownloadsTheBuiltProgramAndStopsAtABreakpoint)
{
    const CProgramBuildResult built = BuildProgram(CProgramProject::OfSource(ZORSTUDIO_SAMPLE), scratch.Path());
    ASSERT_TRUE(built.ok) << built.output;
    ASSERT_TRUE(session.Download(built.hex)) << session.LastError();
    const auto& run = built.hex.GetRuns().front();
    EXPECT_EQ(Board().ReadMemory(sim::MemorySpace::Code, WORD(run.address), run.bytes.size()), run.bytes)
        << "the board's code memory holds the program";
    EXPECT_EQ(session.Code().Read(WORD(run.address), run.bytes.size()), run.bytes) << "and so does the host's copy";

    ASSERT_TRUE(session.ToggleBreakpoint(0x0131)) << session.LastError();
    EXPECT_EQ(Board().Breakpoints(), (std::set<WORD>{0x0131}));
    ASSERT_TRUE(session.Refresh()) << session.LastError();
    const std::vector<BYTE> imageBefore = Board().Registers();
    const std::vector<BYTE> ramBefore = Board().ReadMemory(sim::MemorySpace::Internal, 0, 256);
    int handled = 0;
    session.SetStopHandler([&] { ++handled; });

    // Where the sorting program stops, made by hand for a board that does not execute
    // it; a board that does arrives there by itself.
    std::vector<BYTE> image = imageBefore;
    zorstudio::StoreRegisterValue(image, *zorstudio::FindRegister("PC"), 0x0131);
    zorstudio::StoreRegisterValue(image, *zorstudio::FindRegister("A"), 0x9C);
    Board().SetRegisters(image);
    Board().WriteMemory(sim::MemorySpace::Internal, 0x31, {0x12});

    // The board reports the stop late enough that the session is seen running even on
    // a loaded machine.
    SetStopDelay(std::chrono::milliseconds(1000));
    ASSERT_TRUE(session.Run(0x0100)) << session.LastError();
    EXPECT_EQ(session.State(), LinkState::Running);
    ASSERT_TRUE(session.WaitForStop(kWaitMs)) << "the stop is handled";
    SetStopDelay(kStopDelay);
    EXPECT_EQ(handled, 1);
    EXPECT_EQ(session.State(), LinkState::Connected);

    const auto& now = session.Current();
    ASSERT_TRUE(now.valid);
    EXPECT_EQ(now.pc, 0x0131);
    EXPECT_EQ(now.internalRam[0x31], 0x12);
    const auto& changes = session.Changes();
    const std::vector<BYTE> ramAfter = Board().ReadMemory(sim::MemorySpace::Internal, 0, 256);
    std::vector<int> changedRam;
    for (int i = 0; i < 256; ++i)
        if (ramBefore[std::size_t(i)] != ramAfter[std::size_t(i)])
            changedRam.push_back(i);
    EXPECT_EQ(changes.internalBytes, changedRam);
    EXPECT_NE(std::find(changedRam.begin(), changedRam.end(), 0x31), changedRam.end());
    std::vector<std::string> names, expected;
    for (int index : changes.registers)
        names.push_back(zorstudio::RegisterLayout()[std::size_t(index)].name);
    const std::vector<BYTE> imageAfter = Board().Registers();
    for (const auto& field : zorstudio::RegisterLayout())
        if (zorstudio::RegisterValue(imageBefore, field) != zorstudio::RegisterValue(imageAfter, field))
            expected.push_back(field.name);
    EXPECT_EQ(names, expected) << "each changed register once, PC's two bytes as one";
    EXPECT_NE(std::find(names.begin(), names.end(), "PC"), names.end());
    const auto listing = session.ListingAtPc(2);
    ASSERT_FALSE(listing.empty()) << "the listing at the PC comes from the downloaded bytes";
    EXPECT_EQ(listing[0].address, 0x0131);
    EXPECT_NE(listing[0].text.find("SJMP"), std::string::npos) << listing[0].text;

    // A second run to the same breakpoint is watched again: the first watcher has gone.
    ASSERT_TRUE(session.Run(0x0100)) << session.LastError();
    ASSERT_TRUE(session.WaitForStop(kWaitMs));
    EXPECT_EQ(handled, 2);
    EXPECT_FALSE(session.Changes().Any()) << "nothing changed between the two stops";
    EXPECT_EQ(session.Previous().pc, 0x0131);
}

TEST_F(SessionTest, StepAndRunToCursorAreWatchedForTheirStop)
{
    int handled = 0;
    session.SetStopHandler([&] { ++handled; });
    ASSERT_TRUE(session.Step()) << session.LastError();
    ASSERT_TRUE(PumpMessagesUntil([&] { return handled == 1; }, kWaitMs)) << "a message loop alone handles the stop";
    EXPECT_TRUE(session.Current().valid);
    EXPECT_EQ(session.State(), LinkState::Connected);
    ASSERT_TRUE(session.RunToCursor(0x0120)) << session.LastError();
    ASSERT_TRUE(session.WaitForStop(kWaitMs));
    EXPECT_EQ(Board().ProgramCounter(), 0x0120) << "the board ran to the cursor before it reported the stop";
    EXPECT_EQ(session.StopsHandled(), 2);
    EXPECT_EQ(handled, 2);
    ASSERT_TRUE(session.Trace()) << session.LastError();
    EXPECT_TRUE(session.Current().valid) << "a trace reads the board at once";
}

TEST_F(SessionTest, CopyRunReportsEveryStopUntilItIsTurnedOff)
{
    ASSERT_TRUE(session.ToggleBreakpoint(0x0110));
    int handled = 0;
    session.SetStopHandler([&] { ++handled; });
    ASSERT_TRUE(session.CopyRun(0x0100, true)) << session.LastError();
    ASSERT_TRUE(session.WaitForStop(kWaitMs));
    ASSERT_TRUE(session.WaitForStop(kWaitMs)) << "the program was restarted and stopped again";
    EXPECT_EQ(handled, 2);
    EXPECT_FALSE(session.Current().valid) << "no command goes out while the copy-run watcher owns the line";
    EXPECT_EQ(session.State(), LinkState::Running);
    EXPECT_FALSE(session.Refresh());

    ASSERT_TRUE(session.CopyRun(0x0100, false));
    EXPECT_EQ(session.State(), LinkState::Running) << "until the program's next stop";
    ASSERT_TRUE(session.WaitForStop(kWaitMs));
    EXPECT_EQ(handled, 3);
    EXPECT_EQ(session.State(), LinkState::Connected);
    // A restarted program would leave the monitor deaf to these reads.
    EXPECT_TRUE(session.Current().valid) << "the last stop is read: " << session.LastError();
    EXPECT_TRUE(session.Refresh()) << session.LastError();
}

TEST_F(SessionTest, BreakpointsToggleOnTheBoard)
{
    ASSERT_TRUE(session.ToggleBreakpoint(0x0105));
    ASSERT_TRUE(session.ToggleBreakpoint(0x0110));
    ASSERT_TRUE(session.ToggleBreakpoint(0x0105));
    EXPECT_EQ(session.Breakpoints(), (std::set<WORD>{0x0110}));
    EXPECT_EQ(Board().Breakpoints(), (std::set<WORD>{0x0110}));
    ASSERT_TRUE(session.ClearBreakpoints());
    EXPECT_TRUE(session.Breakpoints().empty());
    EXPECT_TRUE(Board().Breakpoints().empty());
}

TEST_F(SessionTest, EditedBytesAndRegistersAreReadBackFromTheBoard)
{
    session.SetExternalPage(0x8000);
    ASSERT_TRUE(session.Refresh());
    ASSERT_TRUE(session.WriteMemory(MemoryKind::Internal, 0x40, 0x5A)) << session.LastError();
    EXPECT_EQ(Board().ReadMemory(sim::MemorySpace::Internal, 0x40, 1), std::vector<BYTE>{0x5A});
    EXPECT_EQ(session.Current().internalRam[0x40], 0x5A);
    ASSERT_TRUE(session.WriteMemory(MemoryKind::External, 0x8003, 0xC3)) << session.LastError();
    EXPECT_EQ(Board().ReadMemory(sim::MemorySpace::External, 0x8003, 1), std::vector<BYTE>{0xC3});
    EXPECT_EQ(session.Current().external[3], 0xC3) << "the byte on the page shown";

    ASSERT_TRUE(session.WriteRegister(*zorstudio::FindRegister("DPTR"), 0x1234)) << session.LastError();
    const auto image = Board().Registers();
    const std::size_t dptr = std::size_t(zorstudio::FindRegister("DPTR")->offset);
    EXPECT_EQ(image[dptr], 0x34);
    EXPECT_EQ(image[dptr + 1], 0x12);
    EXPECT_EQ(zorstudio::RegisterValue(session.Current().registers, *zorstudio::FindRegister("DPTR")), 0x1234u);

    EXPECT_FALSE(session.WriteMemory(MemoryKind::Internal, 0x100, 1)) << "the internal RAM ends at FF";
}

TEST_F(SessionTest, AReadBackThatFailsIsNotReportedAsWritten)
{
    Board().InjectFault(sim::Fault::CorruptBlock);
    EXPECT_FALSE(session.WriteMemory(MemoryKind::Internal, 0x41, 0x77));
    EXPECT_NE(session.LastError().find("did not come back"), std::string::npos) << session.LastError();
    EXPECT_NE(session.LastError().find("checksum"), std::string::npos) << session.LastError();
}

TEST_F(SessionTest, AnUnansweredCommandPromptsForTheResetKeyAndEscapeCancels)
{
    Board().InjectFault(sim::Fault::DropAck);
    EXPECT_FALSE(session.ToggleBreakpoint(0x0200));
    EXPECT_TRUE(session.Breakpoints().empty()) << "a breakpoint the board did not confirm is not listed";
    EXPECT_EQ(session.State(), LinkState::WaitingForReset);
    auto prompt = session.ResetPrompt();
    ASSERT_TRUE(prompt);
    EXPECT_EQ(prompt->utf8, "通讯端口：COM1\n波特率：9600bps");
    EXPECT_EQ(prompt->gbk, GbkFromUtf8(prompt->utf8));

    session.CancelReset();
    EXPECT_EQ(session.State(), LinkState::Unconnected);
    EXPECT_FALSE(session.ResetPrompt());
    EXPECT_FALSE(session.Refresh()) << "commands wait for a connection test after a cancelled reset";

    ASSERT_TRUE(session.Connect()) << session.LastError();
    EXPECT_EQ(session.State(), LinkState::Connected);
}

TEST_F(SessionTest, AProgramRunningFreeEndsWithTheResetKey)
{
    ASSERT_TRUE(session.Run(0x0100)) << session.LastError();
    EXPECT_EQ(session.State(), LinkState::RunningFree);
    EXPECT_FALSE(session.Refresh());
    EXPECT_NE(session.LastError().find("without breakpoints"), std::string::npos) << session.LastError();

    ASSERT_TRUE(session.AwaitReset());
    EXPECT_EQ(session.State(), LinkState::WaitingForReset);
    ASSERT_TRUE(PressResetUntilAnswered(Board(), 5));
    ASSERT_TRUE(PumpMessagesUntil([&] { return session.State() == LinkState::Connected; }, kWaitMs))
        << zorstudio::LinkStateName(session.State());
    EXPECT_TRUE(session.Refresh()) << session.LastError();
}

TEST_F(SessionTest, TheCommunicationLogIsDecodedFromGbk)
{
    ASSERT_TRUE(session.Refresh());
    const std::string log = session.CommLog();
    EXPECT_NE(log.find("发送指令字: 0AH\n"), std::string::npos) << "UTF-8 text with LF line ends";
    EXPECT_EQ(log.find('\r'), std::string::npos);
    const std::string tail = session.CommLog(40);
    EXPECT_LE(tail.size(), 40u * 3 / 2) << "at most the last 40 bytes, each GBK pair three UTF-8 bytes";
    EXPECT_EQ(log.substr(log.size() - tail.size()), tail) << "the tail starts at a whole line";
}

TEST(Session, WithoutALineEveryOperationFailsInWords)
{
    zorstudio::CDebugSession session;
    EXPECT_EQ(session.State(), LinkState::Closed);
    EXPECT_FALSE(session.Connect());
    EXPECT_FALSE(session.Step());
    EXPECT_NE(session.LastError().find("no line"), std::string::npos) << session.LastError();
    EXPECT_FALSE(session.Open({"/nonexistent/tty", 9600}));
    EXPECT_NE(session.LastError().find("/nonexistent/tty"), std::string::npos) << session.LastError();
    EXPECT_FALSE(session.Open({"", 1234}));
    EXPECT_NE(session.LastError().find("1234"), std::string::npos) << session.LastError();
}

}
}
