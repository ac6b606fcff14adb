// A USB adapter pulled out under zorstudio and plugged back in: the device is a
// symbolic link to a virtual board's pseudo-terminal that vanishes with a hang-up and
// returns pointing at the board's new line.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "sim/VirtualBoard.h"
#include "tests/support/PortServer.h"
#include "tests/support/ResetKey.h"
#include "tests/support/TempDir.h"
#include "tools/zorstudio/DebugSession.h"
#include "zorkit/platform/core/Messaging.h"

namespace zorkit::studio::test {
namespace {

using zorstudio::LinkState;
using zorstudio::MemoryKind;

constexpr DWORD kWaitMs = 20000;

bool PollUntil(zorstudio::CDebugSession& session, LinkState state)
{
    return PumpMessagesUntil([&] {
        session.Poll();
        return session.State() == state;
    }, kWaitMs);
}

TEST(AdapterGoneTest, ThePulledAdapterIsReportedAndTheSessionConnectsAgainOnceItIsBack)
{
    TempDir scratch;
    CCommPort::SetLogDirectory(scratch.Path().string());
    sim::CVirtualBoard board;
    ASSERT_TRUE(board.Start()) << board.LastError();
    const std::filesystem::path adapter = scratch.Path() / "usb-adapter-port0";
    std::filesystem::create_symlink(board.SlavePath(), adapter);

    zorstudio::CDebugSession session;
    ASSERT_TRUE(session.Open({adapter.string(), 9600})) << session.LastError();
    ASSERT_TRUE(session.Connect()) << session.LastError();
    ASSERT_EQ(session.State(), LinkState::Connected);

    board.HangUp();
    std::filesystem::remove(adapter);
    const std::string gone = "the serial adapter is gone: " + adapter.string() + " was unplugged or switched off";
    const auto pulled = std::chrono::steady_clock::now();
    EXPECT_FALSE(session.WaitForStop(kWaitMs)) << "no stop can come over a vanished line";
    EXPECT_LT(std::chrono::steady_clock::now() - pulled, std::chrono::seconds(10)) << "the wait ended with the line";
    EXPECT_EQ(session.State(), LinkState::AdapterGone);
    EXPECT_EQ(session.LastError(), gone);
    EXPECT_FALSE(session.Refresh());
    EXPECT_EQ(session.LastError(), "cannot read the board: " + gone);
    EXPECT_FALSE(session.AwaitReset()) << "no reset key can be heard either";
    session.Poll();
    EXPECT_EQ(session.State(), LinkState::AdapterGone) << "the path is still missing";

    board.WriteMemory(sim::MemorySpace::Internal, 0x40, {0x5A});
    ASSERT_TRUE(board.Start()) << board.LastError();
    std::filesystem::create_symlink(board.SlavePath(), adapter);
    ASSERT_TRUE(PollUntil(session, LinkState::WaitingForReset)) << LinkStateName(session.State());
    ASSERT_TRUE(session.ResetPrompt().has_value());
    ASSERT_TRUE(PressResetUntilAnswered(board, 10));
    ASSERT_TRUE(PollUntil(session, LinkState::Connected)) << LinkStateName(session.State());

    ASSERT_TRUE(session.Refresh()) << session.LastError();
    EXPECT_EQ(session.Current().internalRam[0x40], 0x5A);
    ASSERT_TRUE(session.WriteMemory(MemoryKind::External, 0x2000, 0x33)) << session.LastError();
    EXPECT_EQ(board.ReadMemory(sim::MemorySpace::External, 0x2000, 1), std::vector<BYTE>{0x33});
}

TEST(AdapterGoneTest, APortServerThatStopsIsReportedAndTheSessionConnectsAgainOnceItIsBack)
{
    TempDir scratch;
    CCommPort::SetLogDirectory(scratch.Path().string());
    sim::CVirtualBoard board;
    ASSERT_TRUE(board.Start()) << board.LastError();
    CPortServer server(CPortServer::Kind::Ser2netTelnet, board.SlavePath(), scratch);
    ASSERT_TRUE(server.Start()) << server.Error();
    const std::string device = server.DeviceName();

    zorstudio::CDebugSession session;
    ASSERT_TRUE(session.Open({device, 9600})) << session.LastError();
    ASSERT_TRUE(session.Connect()) << session.LastError();
    ASSERT_EQ(session.State(), LinkState::Connected);

    server.Stop();
    EXPECT_FALSE(session.WaitForStop(kWaitMs)) << "no stop can come over a closed connection";
    EXPECT_EQ(session.State(), LinkState::AdapterGone);
    EXPECT_EQ(session.LastError().rfind("the port server closed the connection: " + device, 0), 0u) << session.LastError();

    board.WriteMemory(sim::MemorySpace::Internal, 0x40, {0x5A});
    ASSERT_TRUE(server.Start()) << server.Error();
    ASSERT_TRUE(PollUntil(session, LinkState::WaitingForReset)) << LinkStateName(session.State());
    ASSERT_TRUE(PressResetUntilAnswered(board, 10));
    ASSERT_TRUE(PollUntil(session, LinkState::Connected)) << LinkStateName(session.State());
    ASSERT_TRUE(session.Refresh()) << session.LastError();
    EXPECT_EQ(session.Current().internalRam[0x40], 0x5A);
}

}
}
