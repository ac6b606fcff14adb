// CPU detection, the reset handshake and the watchers on the worker thread.
#include <algorithm>
#include <atomic>

#include "link/LinkErrors.h"
#include "platform/core/HostWindow.h"
#include "platform/core/MessageBox.h"
#include "tests/link/LinkFixture.h"

using zorkit::sim::CpuType;
using zorkit::sim::Fault;
using Bytes = std::vector<BYTE>;

class ConnectionTest : public LinkFixture {
protected:
    bool LogHas(const std::string& line) const
    {
        auto lines = LogLines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    int LogCount(const std::string& line) const
    {
        auto lines = LogLines();
        return int(std::count(lines.begin(), lines.end(), line));
    }
    // Drops the link with an unanswered frame; the reset watcher then waits.
    void BreakTheLink()
    {
        int watchers = LogCount("单片机复位线程已经启动");
        board.InjectFault(Fault::DropAck);
        ASSERT_FALSE(link->TraceDebug());
        ASSERT_TRUE(WorkerRuns());
        ASSERT_TRUE(WaitFor([&] { return LogCount("单片机复位线程已经启动") > watchers; }));
    }
    // A banner that arrives while the watcher is still discarding old input is lost,
    // as on a real board: press again, as a user would.
    bool ResetUntilTheWatcherEnds()
    {
        for (int press = 0; press < 3; ++press) {
            board.PressReset();
            if (WaitFor([&] { return !WorkerRuns(); }, std::chrono::seconds(4)))
                return true;
        }
        return false;
    }
};

TEST_F(ConnectionTest, RegisterImageSizeTellsTheCpu)
{
    const std::pair<CpuType, CZORComm::ZORTYPE> cases[] = {
        {CpuType::Intel8051, CZORComm::CPU_8051},
        {CpuType::Intel8086, CZORComm::CPU_8086},
        {CpuType::Intel8098, CZORComm::CPU_8098},
    };
    for (auto [cpu, type] : cases) {
        board.SetCpuType(cpu);
        link.reset();
        Connect(type);
        ASSERT_TRUE(link->CheckConnect());
        EXPECT_EQ(link->GetZORCPUType(), type);
        EXPECT_EQ(Received().back(), 0xAA) << "the host answers the complete image";
        board.WireLog().Clear();
    }
    EXPECT_TRUE(zorkit::RecordedMessageBoxes().empty());
    EXPECT_TRUE(LogHas("ZOR 类型：Intel 8098"));
}

TEST_F(ConnectionTest, WrongChipIsReportedButTheLinkStaysUp)
{
    board.SetCpuType(CpuType::Intel8086);
    Connect(CZORComm::CPU_8051);
    ASSERT_TRUE(link->CheckConnect());
    EXPECT_TRUE(link->IsZORConnect());
    EXPECT_EQ(link->GetZORCPUType(), CZORComm::CPU_8086);
    auto boxes = zorkit::RecordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(Utf8(boxes[0].text), "单片机芯片 Intel 8086 使用错误！\n\n请关闭试验箱电源后换上正确的芯片。");
    EXPECT_TRUE(LogHas("ZOR 类型：Intel 8086"));
}

TEST_F(ConnectionTest, ResetHandshakeBringsTheLinkBack)
{
    Establish();
    BreakTheLink();
    ASSERT_TRUE(ResetUntilTheWatcherEnds());
    EXPECT_TRUE(link->IsZORConnect());
    EXPECT_EQ(link->GetZORCPUType(), CZORComm::CPU_8051);
    EXPECT_TRUE(LogHas("复位成功！"));
    EXPECT_TRUE(LogHas("复位线程即将终止"));
    // Host answer to the banner, then 0xAA and 0x00..0xFF, then the connection test.
    Bytes wire = Received();
    Bytes echoStart = {0xAA, 0x00, 0x01, 0x02};
    auto echo = std::search(wire.begin(), wire.end(), echoStart.begin(), echoStart.end());
    ASSERT_NE(echo, wire.end());
    ASSERT_TRUE(link->TraceDebug()) << "the link works again";
}

TEST_F(ConnectionTest, ResetAfterAFreeRunClearsTheLockOutOnlyAfterTheTest)
{
    Establish();
    ASSERT_TRUE(link->ProgExec(0x0100));
    ASSERT_TRUE(link->IsProgExcAll());
    link->SetZORConnect(0);
    ASSERT_TRUE(WaitFor([&] { return LogHas("单片机复位线程已经启动"); }));
    ASSERT_TRUE(ResetUntilTheWatcherEnds());
    EXPECT_FALSE(link->IsProgExcAll());
    EXPECT_TRUE(LogHas("复位成功！"));
    ASSERT_TRUE(link->CheckConnect());
}

TEST_F(ConnectionTest, BrokenBannerOrEchoSendsTheHandshakeBackToTheStart)
{
    Establish();
    BreakTheLink();
    board.InjectFault(Fault::BreakBanner);
    board.PressReset();
    ASSERT_TRUE(board.WireLog().WaitSent(9, std::chrono::seconds(2)));
    board.InjectFault(Fault::BreakEcho);
    board.PressReset();
    // Neither reset may complete: the watcher keeps waiting for a good one.
    EXPECT_FALSE(WaitFor([&] { return !WorkerRuns(); }, std::chrono::milliseconds(1500)));
    EXPECT_FALSE(link->IsZORConnect());
    ASSERT_TRUE(ResetUntilTheWatcherEnds());
    EXPECT_TRUE(link->IsZORConnect());
}

TEST_F(ConnectionTest, RefusedEchoEndsTheHandshakeWithoutConnecting)
{
    Establish();
    BreakTheLink();
    board.InjectFault(Fault::Nak);
    ASSERT_TRUE(ResetUntilTheWatcherEnds());
    EXPECT_TRUE(LogHas("复位成功！"));
    EXPECT_FALSE(link->IsZORConnect()) << "a 0x55 verdict leaves the flag as it was";
}

TEST_F(ConnectionTest, ResponseWatcherTellsTheHostWindowWhenTheBoardStops)
{
    Establish();
    std::atomic<int> stops{0};
    zorkit::CHostWindow sink([&](UINT message, WPARAM, LPARAM) {
        if (message == WM_TARGET_STOPPED)
            ++stops;
        return LRESULT(0);
    });
    link->SetAckWnd(sink.GetSafeHwnd());
    ASSERT_TRUE(link->StepDebug());
    EXPECT_TRUE(link->IsZORRunning());
    ASSERT_TRUE(WaitFor([&] { return stops == 1 && !WorkerRuns(); }));
    EXPECT_FALSE(link->IsZORRunning());
    EXPECT_TRUE(LogHas("成功得到正确响应！"));
    EXPECT_TRUE(LogHas("响应监视线程即将终止"));
    ASSERT_TRUE(link->GotoCursor(0x0200));
    ASSERT_TRUE(WaitFor([&] { return stops == 2 && !WorkerRuns(); }));
}

TEST_F(ConnectionTest, StoppingAWatcherDoesNotDeadlockAgainstItsNotification)
{
    Establish();
    zorkit::CHostWindow sink([&](UINT, WPARAM, LPARAM) { return LRESULT(0); });
    link->SetAckWnd(sink.GetSafeHwnd());
    auto timings = board.GetTimings();
    timings.stopDelay = std::chrono::milliseconds(0);
    board.SetTimings(timings);
    ASSERT_TRUE(link->StepDebug());
    // The watcher sends WM_TARGET_STOPPED to this thread, which is busy stopping it.
    ASSERT_TRUE(board.WireLog().WaitSent(2, std::chrono::seconds(2)));
    EXPECT_TRUE(link->SetZORRunning(0));
    EXPECT_FALSE(WorkerRuns());
    EXPECT_FALSE(link->IsZORRunning());
}

TEST_F(ConnectionTest, StopRequestEndsAWatcherThatWaitsForNothing)
{
    Establish();
    auto timings = board.GetTimings();
    timings.stopDelay = std::chrono::hours(1);
    board.SetTimings(timings);
    ASSERT_TRUE(link->StepDebug());
    ASSERT_TRUE(WorkerRuns());
    EXPECT_TRUE(link->SetZORRunning(0));
    EXPECT_FALSE(WorkerRuns());
    EXPECT_TRUE(LogHas("响应监视线程即将终止"));
}

TEST_F(ConnectionTest, CopyRunRestartsTheProgramAfterEveryStop)
{
    Establish();
    std::atomic<int> stops{0};
    zorkit::CHostWindow sink([&](UINT message, WPARAM, LPARAM) {
        if (message == WM_TARGET_STOPPED)
            ++stops;
        return LRESULT(0);
    });
    link->SetAckWnd(sink.GetSafeHwnd());
    ASSERT_TRUE(link->SetBreakPt(0x0150));
    ASSERT_TRUE(link->CopyRun(0x0123, TRUE));
    EXPECT_TRUE(link->IsCopyRuning());
    ASSERT_TRUE(WaitFor([&] { return stops >= 3; }, std::chrono::seconds(10)));
    Bytes wire = Received();
    Bytes restart = {0x04, 0x0C, 0x23, 0x01, 0x30};
    EXPECT_NE(std::search(wire.begin(), wire.end(), restart.begin(), restart.end()), wire.end());
    EXPECT_FALSE(link->CopyRun(0, FALSE)) << "turning copy-run off sends nothing and says FALSE";
    ASSERT_TRUE(WaitFor([&] { return !WorkerRuns(); }, std::chrono::seconds(5)));
}

TEST_F(ConnectionTest, CheckConnectSendsNothingWhileAWatcherRuns)
{
    Establish();
    auto timings = board.GetTimings();
    timings.stopDelay = std::chrono::hours(1);
    board.SetTimings(timings);
    ASSERT_TRUE(link->StepDebug());
    board.WireLog().Clear();
    EXPECT_TRUE(link->CheckConnect());
    EXPECT_TRUE(Received().empty());
    link->SetZORRunning(0);
}

TEST_F(ConnectionTest, ClosingEndsAWatcherAtOnce)
{
    Establish();
    BreakTheLink();
    EXPECT_TRUE(CZORCommProbe::Close(*link));
    EXPECT_FALSE(WorkerRuns());
    EXPECT_FALSE(link->IsActive());
    EXPECT_FALSE(LogHas("复位线程即将终止")) << "a terminated watcher does none of its ending";
}

TEST_F(ConnectionTest, HungUpLineEndsTheResetWatcher)
{
    Establish();
    BreakTheLink();
    board.HangUp();
    ASSERT_TRUE(WaitFor([&] { return !WorkerRuns(); }, std::chrono::seconds(3)));
    EXPECT_TRUE(LogHas("复位线程即将终止"));
}

TEST_F(ConnectionTest, StoppedResetWatcherLeavesThePortActiveForTheNextOne)
{
    Establish();
    BreakTheLink();
    link->SetZORConnect(1);
    EXPECT_FALSE(WorkerRuns());
    EXPECT_TRUE(link->IsActive());
    BreakTheLink();
    ASSERT_TRUE(ResetUntilTheWatcherEnds());
    EXPECT_TRUE(link->IsZORConnect());
}

TEST_F(ConnectionTest, WaitResetEndsTheWatcherAndReturnsOnTheFirstByte)
{
    Establish();
    auto timings = board.GetTimings();
    timings.stopDelay = std::chrono::milliseconds(300);
    board.SetTimings(timings);
    // The step's stop report is the first byte to arrive after WaitReset has cleared the line.
    ASSERT_TRUE(link->StepDebug());
    ASSERT_TRUE(WorkerRuns());
    auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(link->WaitReset());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    EXPECT_FALSE(WorkerRuns()) << "WaitReset ends the watcher first";
}
