// The link over a port server on the loopback address, in front of the virtual
// board's pseudo-terminal: ser2net with RFC 2217 and raw, and pyserial's RFC 2217
// server. Everything above the serial port is the same as for a local device.
#include <numeric>

#include "zorkit/platform/core/HostWindow.h"
#include "zorkit/platform/serial/PortTable.h"
#include "tests/link/LinkFixture.h"
#include "tests/support/PortServer.h"
#include "tests/support/ResetKey.h"

using Bytes = std::vector<BYTE>;
using Kind = CPortServer::Kind;

namespace {

constexpr int kPcLow = 14, kPcHigh = 15;
constexpr WORD kDone = 0x0140;

std::string KindName(const ::testing::TestParamInfo<Kind>& info)
{
    switch (info.param) {
    case Kind::Ser2netTelnet: return "Ser2netRfc2217";
    case Kind::Ser2netRaw: return "Ser2netRaw";
    case Kind::Pyserial: return "PyserialRfc2217";
    }
    return "";
}

}

class RemotePortTest : public LinkFixture, public ::testing::WithParamInterface<Kind> {
protected:
    void SetUp() override
    {
        LinkFixture::SetUp();
        server = std::make_unique<CPortServer>(GetParam(), board.SlavePath(), scratch);
        ASSERT_TRUE(server->Start()) << server->Error();
        zorkit::SetSerialPortPath(kPort, server->DeviceName());
    }
    void TearDown() override
    {
        LinkFixture::TearDown();
        server.reset();
    }
    void LoadSort()
    {
        Establish();
        Bytes image = ProgramImage(std::string(ZORKIT_DEMO_DIR) + "/sort.hex");
        ASSERT_TRUE(link->ProgDld(image.data(), DWORD(image.size())));
    }
    WORD Pc()
    {
        Bytes regs(26, 0);
        EXPECT_TRUE(link->RegisterUld(regs.data()));
        return WORD(regs[kPcHigh] << 8 | regs[kPcLow]);
    }

    std::unique_ptr<CPortServer> server;
};

class RemoteServersTest : public RemotePortTest {};
class Ser2netTest : public RemotePortTest {};

TEST_P(RemoteServersTest, ConnectFindsTheCpuAndEveryByteValueCrossesBothWays)
{
    Establish();
    EXPECT_EQ(link->GetZORCPUType(), CZORComm::CPU_8051);

    // 0xFF is telnet's command byte: it must be escaped on the way out and back.
    Bytes all(256);
    std::iota(all.begin(), all.end(), BYTE(0));
    ASSERT_TRUE(link->ExMemDld(all.data(), 128, 0x8000));
    ASSERT_TRUE(link->ExMemDld(all.data() + 128, 128, 0x8080));
    EXPECT_EQ(board.ReadMemory(zorkit::sim::MemorySpace::External, 0x8000, 256), all);
    Bytes back(256, 0x5A);
    ASSERT_TRUE(link->ExMemUld(back.data(), 128, 0x8000));
    ASSERT_TRUE(link->ExMemUld(back.data() + 128, 128, 0x8080));
    EXPECT_EQ(back, all);

    Bytes image = ProgramImage(std::string(ZORKIT_DEMO_DIR) + "/sort.hex");
    ASSERT_TRUE(link->ProgDld(image.data(), DWORD(image.size())));
    const std::size_t n = std::size_t(image[0] | image[1] << 8);
    EXPECT_EQ(board.ReadMemory(zorkit::sim::MemorySpace::Code, WORD(image[2] | image[3] << 8), n),
              Bytes(image.begin() + 4, image.begin() + 4 + long(n)));
}

TEST_P(Ser2netTest, RunToABreakpointEndsWithTheStopReport)
{
    LoadSort();
    ASSERT_TRUE(link->SetBreakPt(kDone));
    ASSERT_TRUE(link->ProgExec(0x0100));
    ASSERT_TRUE(WaitFor([&] { return !link->IsZORRunning(); })) << "no stop report";
    EXPECT_EQ(Pc(), kDone);
}

TEST_P(Ser2netTest, ResetKeyBringsALinkThatWentDownBack)
{
    Establish();
    link->SetZORConnect(0);
    ASSERT_TRUE(PressResetUntilAnswered(board, 3));
    ASSERT_TRUE(WaitFor([&] { return link->IsZORConnect() && !WorkerRuns(); }));
    EXPECT_EQ(link->GetZORCPUType(), CZORComm::CPU_8051);
}

TEST_P(Ser2netTest, ControlExperimentReportsEverySample)
{
    Establish();
    constexpr int kSamples = 40;
    int reported = 0;
    zorkit::CHostWindow host([&](UINT message, WPARAM, LPARAM) {
        reported += message == WM_CTRL_SAMPLE;
        return LRESULT(0);
    });
    link->SetAckWnd(host.GetSafeHwnd());
    zorkit::sim::CExperimentSettings settings;
    settings.plant = zorkit::sim::PlantKind::Heater;
    settings.samplePeriod = std::chrono::milliseconds(5);
    board.StartExperiment(settings);
    link->SetTargetTemp(60);
    link->SetKpKiKd(8.0f, 0.0f, 0.0f);
    link->SetPeriod(0);
    link->SetSampleNums(kSamples);
    link->SetControl(CTRL_TEMP, nullptr);
    EXPECT_TRUE(WaitFor([&] { return reported == kSamples && !link->IsCtrlRunning(); }));
    EXPECT_TRUE(board.WireLog().WaitReceived(std::size_t(kSamples), kPatience)) << "an answer byte for each sample";
}

TEST_P(Ser2netTest, ServerClosingDuringARunIsAHangUpAndItsReturnReopens)
{
    LoadSort();
    // The run reports its stop only after a minute: the watcher waits on the socket.
    SetStopDelay(std::chrono::seconds(60));
    ASSERT_TRUE(link->SetBreakPt(kDone));
    ASSERT_TRUE(link->ProgExec(0x0100));
    ASSERT_TRUE(WorkerRuns());
    server->Stop();
    ASSERT_TRUE(WaitFor([&] { return link->IsPortGone() && !WorkerRuns(); })) << "the wait did not end";
    Bytes regs(26, 0);
    EXPECT_FALSE(link->RegisterUld(regs.data())) << "nothing crosses a closed connection";

    // As zorlink --reconnect does: the server is back, the line reopens, the reset key connects.
    ASSERT_TRUE(server->Start()) << server->Error();
    ASSERT_TRUE(link->ReopenPort());
    EXPECT_FALSE(link->IsPortGone());
    ASSERT_TRUE(PressResetUntilAnswered(board, 3));
    ASSERT_TRUE(WaitFor([&] { return link->IsZORConnect() && !WorkerRuns(); }));
    EXPECT_EQ(Pc(), 0x0000) << "the reset key resets the 8051";
}

INSTANTIATE_TEST_SUITE_P(Servers, RemoteServersTest, ::testing::Values(Kind::Ser2netTelnet, Kind::Ser2netRaw, Kind::Pyserial),
                         KindName);
INSTANTIATE_TEST_SUITE_P(Ser2net, Ser2netTest, ::testing::Values(Kind::Ser2netTelnet, Kind::Ser2netRaw), KindName);

class RefusingServerTest : public LinkFixture {};

TEST_F(RefusingServerTest, ARateTheServerRefusesFailsTheOpen)
{
    CPortServer server(Kind::Pyserial, board.SlavePath(), scratch, 600);
    ASSERT_TRUE(server.Start()) << server.Error();
    zorkit::SetSerialPortPath(kPort, server.DeviceName());

    {
        CZORComm refused(CZORComm::CPU_8051, kPort, 4);
        EXPECT_FALSE(refused.IsActive()) << "600 baud was refused";
        EXPECT_EQ(refused.GetLastOpenFailure(), zorkit::SerialOpenFailure::SettingsRefused);
        // The connection is given up with the open: the server, which serves one
        // client at a time, takes the next one at once.
    }

    Connect();
    ASSERT_TRUE(link->CheckConnect()) << "9600 baud is taken";
    EXPECT_FALSE(link->SetCommOption(kPort, 4)) << "so is a change to 600 refused";
    EXPECT_TRUE(link->SetCommOption(kPort, 1));
}
