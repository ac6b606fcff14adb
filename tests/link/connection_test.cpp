// CPU detection, the reset handshake and the watchers on the worker thread.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "zorkit/link/LinkErrors.h"
#include "zorkit/platform/core/HostWindow.h"
#include "zorkit/platform/core/MessageBox.h"
#include "tests/link/LinkFixture.h"
#include "tests/support/ResetKey.h"

using zorkit::sim::CpuType;
using zorkit::sim::Fault;
using Bytes = std::vector<BYTE>;
using namespace std::chrono_literals;

class ConnectionTest : public LinkFixture {
protected:
    bool LogHas(const std::string& line) const
    {
        auto lines = LogLines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    // A watcher logs its ending after it has freed the worker slot.
    bool LogComes(const std::string& line) const
    {
        return WaitFor([&] { return LogHas(line); });
    }
    int LogCount(const std::string& line) const
    {
        auto lines = LogLines();
        return int(std::count(lines.begin(), lines.end(), line));
    }
    // Drops the link with an unanswered frame; the reset watcher then waits, and the
    // wire log starts afresh.
    void BreakTheLink()
    {
        int watchers = LogCount("单片机复位线程已经启动");
        std::size_t before = board.WireLog().ReceivedCount();
        board.InjectFault(Fault::DropAck);
        ASSERT_FALSE(link->TraceDebug());
        ASSERT_TRUE(WorkerRuns());
        ASSERT_TRUE(WaitFor([&] { return LogCount("单片机复位线程已经启动") > watchers; }));
        SettleWire(before + 5);
    }
    // The log lines after the last `line`; empty when it never came.
    std::vector<std::string> LinesAfter(const std::string& line) const
    {
        auto lines = LogLines();
        auto last = std::find(lines.rbegin(), lines.rend(), line);
        if (last == lines.rend())
            return {};
        return std::vector<std::string>(last.base(), lines.end());
    }
    // The longest time within [from, to] in which the board sent nothing.
    std::chrono::steady_clock::duration LongestSilence(std::chrono::steady_clock::time_point from,
                                                       std::chrono::steady_clock::time_point to) const
    {
        std::chrono::steady_clock::duration longest{0};
        auto last = from;
        for (const auto& entry : board.WireLog().Entries()) {
            if (entry.direction != zorkit::sim::WireDirection::Sent || entry.time < from || entry.time > to)
                continue;
            longest = std::max(longest, entry.time - last);
            last = entry.time;
        }
        return std::max(longest, to - last);
    }
    // The host's side of a complete handshake: 0xAA to the banner, then 0xAA and 0x00..0xFF.
    static Bytes HandshakeAnswer()
    {
        Bytes answer = {0xAA, 0xAA};
        for (int value = 0; value <= 0xFF; ++value)
            answer.push_back(BYTE(value));
        return answer;
    }
    // What the board has received once at least `count` bytes are in and the line is quiet.
    Bytes ReceivedWhenQuiet(std::size_t count)
    {
        EXPECT_TRUE(board.WireLog().WaitReceived(count, kPatience));
        for (std::size_t seen = board.WireLog().ReceivedCount();; seen = board.WireLog().ReceivedCount())
            if (!board.WireLog().WaitReceived(seen + 1, 100ms))
                break;
        return Received();
    }
    // A banner that arrives while the watcher is still discarding old input is lost, as on a real board.
    bool ResetUntilTheWatcherEnds()
    {
        return PressResetUntilAnswered(board, 3) && WaitFor([&] { return !WorkerRuns(); });
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
        // The host wrote its answer just before CheckConnect returned; it may still be on the line.
        ASSERT_TRUE(board.WireLog().WaitReceived(3 + 1, kPatience));
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
    EXPECT_FALSE(link->IsZORRunning());
    EXPECT_TRUE(LogHas("复位成功！"));
    EXPECT_TRUE(LogComes("复位线程即将终止"));
    // The handshake, then the connection test frame and the answer to the register image.
    Bytes expected = HandshakeAnswer();
    for (BYTE b : {0x02, 0x0A, 0x0A, 0xAA})
        expected.push_back(b);
    EXPECT_EQ(ReceivedWhenQuiet(expected.size()), expected);
    ASSERT_TRUE(link->TraceDebug()) << "the link works again";
}

TEST_F(ConnectionTest, ResetAfterAFreeRunClearsTheLockOutOnlyAfterTheTest)
{
    Establish();
    ASSERT_TRUE(link->ProgExec(0x0100));
    ASSERT_TRUE(link->IsProgExcAll());
    link->SetZORConnect(0);
    ASSERT_TRUE(WaitFor([&] { return LogHas("单片机复位线程已经启动"); }));
    SettleWire(5);
    // Were the connection test to run, it would find the other chip.
    board.SetCpuType(CpuType::Intel8086);
    ASSERT_TRUE(ResetUntilTheWatcherEnds());
    EXPECT_FALSE(link->IsProgExcAll());
    EXPECT_TRUE(LogHas("复位成功！"));
    EXPECT_EQ(ReceivedWhenQuiet(HandshakeAnswer().size()), HandshakeAnswer()) << "the connection test is refused";
    auto after = LinesAfter("复位成功！");
    EXPECT_EQ(std::count(after.begin(), after.end(), "发送指令字: 0AH"), 0);
    EXPECT_EQ(link->GetZORCPUType(), CZORComm::CPU_8051) << "the detected type stays as it was";
    EXPECT_TRUE(zorkit::RecordedMessageBoxes().empty());
}

TEST_F(ConnectionTest, BrokenBannerOrEchoSendsTheHandshakeBackToTheStart)
{
    Establish();
    BreakTheLink();
    board.InjectFault(Fault::BreakBanner);
    board.PressReset();
    ASSERT_TRUE(board.WireLog().WaitSent(9, kPatience));
    board.InjectFault(Fault::BreakEcho);
    // The broken echo goes out only in answer to the host's 0xAA.
    ASSERT_TRUE(PressResetUntilAnswered(board, 3));
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
    EXPECT_EQ(link->PopError(), ERR_BOARD_REFUSED);
    // The verdict is answered with 0xAA; the connection test that follows cannot send.
    Bytes expected = HandshakeAnswer();
    expected.push_back(0xAA);
    EXPECT_EQ(ReceivedWhenQuiet(expected.size()), expected);
    auto after = LinesAfter("复位成功！");
    EXPECT_EQ(std::count(after.begin(), after.end(), "发送指令字: 0AH"), 1);
    EXPECT_EQ(std::count(after.begin(), after.end(), "正在等待单片机应答..."), 0);
    EXPECT_FALSE(WorkerRuns()) << "a test that could not send starts no new watcher";
}

TEST_F(ConnectionTest, ResponseWatcherTellsTheHostWindowWhenTheBoardStops)
{
    Establish();
    std::atomic<int> stops{0};
    std::atomic<int> oddStops{0};
    zorkit::CHostWindow sink([&](UINT message, WPARAM wParam, LPARAM lParam) {
        if (message != WM_TARGET_STOPPED)
            return LRESULT(0);
        ++stops;
        // The host may act on the stop at once: the link is no longer running.
        if (wParam != 0 || lParam != 0 || link->IsZORRunning() || link->IsProgExcAll())
            ++oddStops;
        return LRESULT(0);
    });
    link->SetAckWnd(sink.GetSafeHwnd());
    // The stop comes late enough that the running flag is seen up even on a loaded machine.
    SetStopDelay(std::chrono::milliseconds(1000));
    ASSERT_TRUE(link->StepDebug());
    EXPECT_TRUE(link->IsZORRunning());
    ASSERT_TRUE(WaitFor([&] { return stops == 1 && !WorkerRuns(); }));
    SetStopDelay(std::chrono::milliseconds(50));
    EXPECT_FALSE(link->IsZORRunning());
    EXPECT_TRUE(LogHas("成功得到正确响应！"));
    EXPECT_TRUE(LogComes("响应监视线程即将终止"));
    ASSERT_TRUE(link->GotoCursor(0x0200));
    ASSERT_TRUE(WaitFor([&] { return stops == 2 && !WorkerRuns(); }));
    EXPECT_EQ(oddStops, 0) << "WM_TARGET_STOPPED carries 0, 0 and comes after the flags are down";
}

TEST_F(ConnectionTest, StoppingAWatcherDoesNotDeadlockAgainstItsNotification)
{
    Establish();
    zorkit::CHostWindow sink([&](UINT, WPARAM, LPARAM) { return LRESULT(0); });
    link->SetAckWnd(sink.GetSafeHwnd());
    SetStopDelay(std::chrono::milliseconds(0));
    ASSERT_TRUE(link->StepDebug());
    // The watcher sends WM_TARGET_STOPPED to this thread, which is busy stopping it.
    ASSERT_TRUE(board.WireLog().WaitSent(2, kPatience));
    EXPECT_TRUE(link->SetZORRunning(0));
    EXPECT_FALSE(WorkerRuns());
    EXPECT_FALSE(link->IsZORRunning());
}

namespace {

// A host window that counts the link's stop notifications.
struct StopCounter {
    std::atomic<int> stops{0};
    zorkit::CHostWindow window{[this](UINT message, WPARAM, LPARAM) {
        if (message == WM_TARGET_STOPPED)
            ++stops;
        return LRESULT(0);
    }};
};

}

TEST_F(ConnectionTest, ARunStartedWhileTheLastWatcherIsEndingKeepsItsOwnWatcher)
{
    Establish();
    StopCounter sink;
    link->SetAckWnd(sink.window.GetSafeHwnd());
    std::atomic<int>& stops = sink.stops;
    SetStopDelay(std::chrono::milliseconds(0));
    ASSERT_TRUE(link->StepDebug());
    // The flag is down while the watcher still waits for this thread to take its
    // notification: a host that acts on the flag alone starts the next run now.
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (link->IsZORRunning() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    ASSERT_FALSE(link->IsZORRunning());
    ASSERT_TRUE(WorkerRuns()) << "the first watcher is held in its notification";

    SetStopDelay(std::chrono::hours(1));
    ASSERT_TRUE(link->StepDebug());
    EXPECT_EQ(stops, 1) << "the first run's stop was taken before the second run was watched";
    ASSERT_TRUE(WaitFor([&] { return stops == 1; }));
    EXPECT_TRUE(link->IsZORRunning()) << "the first watcher's end must not mark the second run stopped";
    EXPECT_TRUE(WorkerRuns()) << "the second run has a watcher of its own";
    EXPECT_TRUE(link->SetZORRunning(0));
    EXPECT_FALSE(WorkerRuns());
}

TEST_F(ConnectionTest, StopRequestEndsAWatcherThatWaitsForNothing)
{
    Establish();
    SetStopDelay(std::chrono::hours(1));
    ASSERT_TRUE(link->StepDebug());
    ASSERT_TRUE(WorkerRuns());
    EXPECT_TRUE(link->SetZORRunning(0));
    EXPECT_FALSE(WorkerRuns());
    EXPECT_TRUE(LogComes("响应监视线程即将终止"));
}

TEST_F(ConnectionTest, CopyRunRestartsTheProgramAfterEveryStop)
{
    Establish();
    StopCounter sink;
    link->SetAckWnd(sink.window.GetSafeHwnd());
    std::atomic<int>& stops = sink.stops;
    ASSERT_TRUE(link->SetBreakPt(0x0150));
    ASSERT_TRUE(link->CopyRun(0x0123, TRUE));
    EXPECT_TRUE(link->IsCopyRuning());
    ASSERT_TRUE(WaitFor([&] { return stops >= 3; }));
    Bytes wire = Received();
    Bytes restart = {0x04, 0x0C, 0x23, 0x01, 0x30};
    EXPECT_NE(std::search(wire.begin(), wire.end(), restart.begin(), restart.end()), wire.end());
    EXPECT_FALSE(link->CopyRun(0, FALSE)) << "turning copy-run off sends nothing and says FALSE";
    ASSERT_TRUE(WaitFor([&] { return !WorkerRuns(); }));
}

TEST_F(ConnectionTest, CheckConnectSendsNothingWhileAWatcherRuns)
{
    Establish();
    SetStopDelay(std::chrono::hours(1));
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
    ASSERT_TRUE(WaitFor([&] { return !WorkerRuns(); }));
    EXPECT_TRUE(LogComes("复位线程即将终止"));
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
    SetStopDelay(std::chrono::milliseconds(1500));
    // The step's stop report is the first byte to arrive after WaitReset has cleared the
    // line, as long as this thread gets there within the stop delay.
    ASSERT_TRUE(link->StepDebug());
    ASSERT_TRUE(WorkerRuns());
    auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(link->WaitReset());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(4)) << "WaitReset gives up after 5 s";
    EXPECT_FALSE(WorkerRuns()) << "WaitReset ends the watcher first";
}

TEST_F(ConnectionTest, UnknownImageSizeIsAnsweredButDetectsNoCpu)
{
    Establish();
    ASSERT_EQ(link->GetZORCPUType(), CZORComm::CPU_8051);
    // The image of the connection test is still waiting: only counted, never read.
    ASSERT_TRUE(link->PurgeInput());
    // A 27-byte memory block with its checksum: 28 bytes where an image would be.
    Bytes upload = {0x05, 0x03, 0x00, 0x00, 27, BYTE(0x03 + 27)};
    ASSERT_EQ(link->WriteBytes(upload.data(), DWORD(upload.size())), upload.size());
    ASSERT_TRUE(WaitFor([&] { return link->GetQueueCount(TRUE) == 1 + 28; }));
    BYTE ack = 0;
    ASSERT_TRUE(link->ReadByte(ack));
    ASSERT_EQ(ack, 0xAA);
    SettleWire(upload.size());
    EXPECT_FALSE(link->CheckZORCPU());
    EXPECT_EQ(link->GetZORCPUType(), CZORComm::CPU_NONE) << "an unknown size forgets the earlier type";
    EXPECT_EQ(ReceivedWhenQuiet(1), Bytes{0xAA}) << "the complete block is still answered";
    EXPECT_EQ(LinesAfter("检测单片机 CPU 类型..."), std::vector<std::string>{});
    EXPECT_EQ(LogLines().back(), "检测单片机 CPU 类型...");

    // Nothing at all: answered at once, no type.
    board.WireLog().Clear();
    EXPECT_FALSE(link->CheckZORCPU());
    EXPECT_EQ(ReceivedWhenQuiet(1), Bytes{0xAA});
}

TEST_F(ConnectionTest, BoardThatKeepsSendingIsNotAnswered)
{
    Connect();
    zorkit::sim::CExperimentSettings chatter;
    chatter.samplePeriod = 1ms;
    chatter.answerWindow = 1ms;
    board.StartExperiment(chatter);
    ASSERT_TRUE(board.WireLog().WaitSent(40, kPatience));
    auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(link->CheckZORCPU()) << "far more than an image has come";
    auto ended = std::chrono::steady_clock::now();
    EXPECT_GE(ended - started, 500ms) << "the count is taken for the whole half second";
    EXPECT_EQ(link->GetZORCPUType(), CZORComm::CPU_NONE);
    Bytes answer = ReceivedWhenQuiet(0);
    board.StopExperiment();
    if (LongestSilence(started, ended) >= 45ms)
        GTEST_SKIP() << "the board's thread was held up long enough to fall quiet; an answer was then right";
    EXPECT_EQ(answer, Bytes{}) << "no 0xAA to a board that never fell quiet";
}

TEST_F(ConnectionTest, CheckConnectAfterAWatchedRunSendsNothing)
{
    Establish();
    ASSERT_TRUE(link->SetBreakPt(0x0150));
    ASSERT_TRUE(link->ProgExec(0x0100));
    ASSERT_TRUE(WaitFor([&] { return !WorkerRuns(); }));
    ASSERT_FALSE(link->IsProgExcAll());
    SettleWire(5 + 5);
    // The last command started the program: a test frame would reach a board that may still run.
    EXPECT_TRUE(link->CheckConnect());
    EXPECT_TRUE(link->IsZORConnect());
    EXPECT_EQ(ReceivedWhenQuiet(0), Bytes{});
}

TEST_F(ConnectionTest, StateRequestsWithoutAWorkerOnlyLogAndAStartRequestDefersToTheResetWatcher)
{
    Establish();
    auto before = LogLines().size();
    EXPECT_TRUE(link->SetZORConnect(1));
    auto lines = LogLines();
    EXPECT_EQ(std::vector<std::string>(lines.begin() + long(before), lines.end()),
              (std::vector<std::string>{"设置通讯状态...", "成功！"}));

    BreakTheLink();
    before = LogLines().size();
    EXPECT_TRUE(link->SetZORRunning(1)) << "the reset watcher keeps the slot";
    lines = LogLines();
    EXPECT_EQ(std::vector<std::string>(lines.begin() + long(before), lines.end()),
              (std::vector<std::string>{"设置单片机运行状态...", "成功！"}));
    EXPECT_TRUE(link->IsZORRunning());
    EXPECT_EQ(LogCount("响应等待线程已经启动"), 0);
    ASSERT_TRUE(ResetUntilTheWatcherEnds());
    // The watcher frees its slot before it lowers the flag.
    EXPECT_TRUE(WaitFor([&] { return !link->IsZORRunning(); })) << "the reset watcher's ending lowers the running flag";
    EXPECT_TRUE(link->IsZORConnect());
}

TEST_F(ConnectionTest, StartingAResponseWatcherLogsTheStartButNoSuccess)
{
    Establish();
    SetStopDelay(std::chrono::hours(1));
    auto before = LogLines().size();
    ASSERT_TRUE(link->SetZORRunning(1));
    ASSERT_TRUE(WaitFor([&] { return LogHas("响应等待线程已经启动"); }));
    auto lines = LogLines();
    std::vector<std::string> mine;
    for (auto line = lines.begin() + long(before); line != lines.end(); ++line)
        if (*line != "响应等待线程已经启动")
            mine.push_back(*line);
    EXPECT_EQ(mine, (std::vector<std::string>{"设置单片机运行状态...", "创建响应等待监视线程..."}));
    EXPECT_TRUE(link->SetZORRunning(0));
    EXPECT_FALSE(WorkerRuns());
}
