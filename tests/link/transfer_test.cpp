// The port, the log, acknowledgements and checked data blocks.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <thread>

#include "zorkit/link/LinkErrors.h"
#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/core/MessageBox.h"
#include "zorkit/platform/serial/PortTable.h"
#include "tests/link/LinkFixture.h"

using zorkit::sim::CpuType;
using zorkit::sim::Fault;
using zorkit::sim::MemorySpace;
using zorkit::sim::WireDirection;
using Bytes = std::vector<BYTE>;

namespace {
// The lines of `all` from the first line equal to `first` on.
std::vector<std::string> From(const std::vector<std::string>& all, const std::string& first)
{
    auto at = std::find(all.begin(), all.end(), first);
    return std::vector<std::string>(at, all.end());
}
}

TEST(ErrorStackTest, OverwritesItsOldestEntryAndPopsDownToEmptySlots)
{
    CErrorStack stack;
    EXPECT_EQ(stack.PopError(), 0);
    for (int code = 1; code <= 21; ++code)
        stack.PushError(code);
    for (int code = 21; code >= 2; --code)
        EXPECT_EQ(stack.PopError(), code);
    EXPECT_EQ(stack.PopError(), 0) << "code 1 was overwritten by code 21";
    EXPECT_EQ(stack.PopError(), 0) << "an empty slot leaves the index in place";
    stack.PushError(9);
    EXPECT_EQ(stack.PopError(), 9);
}

class TransferTest : public LinkFixture {};

TEST_F(TransferTest, LogStartsWithItsStampAndRecordsAnAcknowledgedCommand)
{
    Establish();
    ASSERT_TRUE(link->TraceDebug());
    auto lines = LogLines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "日志文件成功创建！");
    EXPECT_NE(lines[1].find("年"), std::string::npos);
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(From(lines, "发送指令字: 0FH"),
              (std::vector<std::string>{"发送指令字: 0FH", "正在等待单片机应答...", "成功收到应答！"}));
    link.reset();
    lines = LogLines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[lines.size() - 3], "");
    EXPECT_EQ(lines[lines.size() - 2], "日志文件即将被关闭");
    EXPECT_NE(lines.back().find("日"), std::string::npos);
}

TEST_F(TransferTest, UnansweredFrameTimesOutMarksTheLinkDownAndStartsTheResetWatcher)
{
    Establish();
    board.InjectFault(Fault::DropAck);
    auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(link->TraceDebug());
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(500));
    EXPECT_FALSE(link->IsZORConnect());
    EXPECT_TRUE(WorkerRuns());
    ASSERT_TRUE(WaitFor([&] {
        auto l = LogLines();
        return std::find(l.begin(), l.end(), "单片机复位线程已经启动") != l.end();
    }));
    auto lines = From(LogLines(), "发送指令字: 0FH");
    lines.erase(std::remove(lines.begin(), lines.end(), "单片机复位线程已经启动"), lines.end());
    EXPECT_EQ(lines, (std::vector<std::string>{"发送指令字: 0FH", "正在等待单片机应答...", "ERROR: 通讯超时！！！", "设置通讯状态...",
                                               "恢复正常通讯...", "创建复位监视线程...", "成功！"}));
    // No frame is ever sent again after a failure.
    Bytes wire = Received();
    ASSERT_EQ(wire.size(), 5u) << "the trace frame (L = 4) went out once";
    EXPECT_EQ(wire[1], 0x0F);
}

TEST_F(TransferTest, RefusalThenSilenceFailsWithCode12AndAWrongByteFailsAtOnce)
{
    Establish();
    board.InjectFault(Fault::Nak);
    auto refused = std::chrono::steady_clock::now();
    EXPECT_FALSE(link->TraceDebug());
    EXPECT_GE(std::chrono::steady_clock::now() - refused, std::chrono::milliseconds(600))
        << "a refusal is not the end: the link waits out its 500 ms window after the 100 ms pause";
    EXPECT_EQ(link->PopError(), ERR_BOARD_REFUSED) << "the time-out itself records no code";

    link->SetZORConnect(1);
    board.InjectWrongAck(0x42);
    auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(link->TraceDebug());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(100 + 500))
        << "a wrong byte ends the wait before the 500 ms window after the 100 ms pause";
    EXPECT_FALSE(link->IsZORConnect());
}

TEST_F(TransferTest, BadBlockChecksumIsStillAnsweredAfterThePauseButRefused)
{
    Establish();
    board.WriteMemory(MemorySpace::External, 0x1000, Bytes(8, 0x66));
    board.InjectFault(Fault::CorruptBlock);
    BYTE out[8] = {};
    EXPECT_FALSE(link->ExMemUld(out, 8, 0x1000));
    ASSERT_TRUE(board.WireLog().WaitReceived(7, kPatience));
    EXPECT_EQ(Received().back(), 0xAA) << "the host answers every complete block";
    EXPECT_EQ(link->PopError(), ERR_BLOCK_CHECKSUM);
    EXPECT_TRUE(link->IsZORConnect());
    EXPECT_EQ(Bytes(out, out + 8), Bytes(8, 0)) << "a refused block is not copied out";

    // The host pauses 100 ms before it takes the block, so its answer trails the frame
    // that asked for the block by more. (The block's own time is taken after the board
    // wrote it, and a busy board may take it late.)
    auto entries = board.WireLog().Entries();
    auto firstSent = std::find_if(entries.begin(), entries.end(),
                                  [](const zorkit::sim::CWireByte& b) { return b.direction == WireDirection::Sent; });
    ASSERT_NE(firstSent, entries.begin());
    ASSERT_NE(firstSent, entries.end());
    auto frameEnd = std::prev(firstSent);
    EXPECT_EQ(entries.back().direction, WireDirection::Received);
    EXPECT_GE(entries.back().time - frameEnd->time, std::chrono::milliseconds(100));
}

TEST_F(TransferTest, IncompleteBlockIsNotAnsweredAndLeavesCode13)
{
    board.SetCpuType(CpuType::Intel8086);
    Connect(CZORComm::CPU_8086);
    Establish();
    ASSERT_EQ(link->GetZORCPUType(), CZORComm::CPU_8086);
    // A board swapped for one with a smaller register image sends 26 bytes and a checksum, not 28 and one.
    board.SetCpuType(CpuType::Intel8051);
    BYTE out[28] = {};
    EXPECT_FALSE(link->RegisterUld(out));
    EXPECT_EQ(link->PopError(), ERR_BLOCK_INCOMPLETE);
    EXPECT_FALSE(board.WireLog().WaitReceived(4, std::chrono::milliseconds(200)));
    EXPECT_EQ(Received(), (Bytes{0x02, 0x0A, 0x0A})) << "an incomplete block gets no answer";
    EXPECT_EQ(Bytes(out, out + 28), Bytes(28, 0));
    EXPECT_TRUE(link->IsZORConnect()) << "an incomplete block does not mark the link down";
}

TEST_F(TransferTest, SetCommOptionKeepsAnUnchangedPortAndNeverOpensAPortItCouldNotClose)
{
    Connect();
    EXPECT_TRUE(link->SetCommOption(kPort, 0));
    auto lines = LogLines();
    EXPECT_EQ(From(lines, "正在重新设置串口通讯参数..."),
              (std::vector<std::string>{"正在重新设置串口通讯参数...", "参数设置成功！"}));

    EXPECT_TRUE(link->SetCommOption(kPort, 3));
    EXPECT_EQ(link->GetCommBaud(), 3);

    zorkit::SetSerialPortPath(kPort + 1, board.SlavePath());
    EXPECT_TRUE(link->SetCommOption(kPort + 1, 0)) << "moving to another port closes and reopens";
    EXPECT_EQ(link->GetCommPort(), kPort + 1);
    EXPECT_TRUE(link->IsActive());
    ASSERT_TRUE(link->CheckConnect());

    ASSERT_TRUE(link->KeyMonitor());
    EXPECT_TRUE(link->SetCommOption(kPort, 0));
    zorkit::ResetSerialPortPath(kPort + 1);
}

TEST_F(TransferTest, PortThatCannotBeOpenedIsReportedAndEveryCommandFails)
{
    const std::string missing = (logDir / "no-such-device").string();
    zorkit::SetSerialPortPath(kPort + 2, missing);
    CZORComm lost(CZORComm::CPU_8051, kPort + 2, 0);
    auto boxes = zorkit::RecordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(Utf8(boxes[0].text), "无法正确打开串口设备，请检查串口8是否正被其他应用程序使用！");
    EXPECT_EQ(boxes[0].type & MB_ICONMASK, MB_ICONSTOP);
    EXPECT_EQ(lost.GetLastOpenFailure(), zorkit::SerialOpenFailure::NoSuchDevice);
    auto opening = LogLines();
    ASSERT_GE(opening.size(), 4u);
    EXPECT_EQ(opening[0], "日志文件成功创建！");
    EXPECT_EQ(opening[2], "");
    EXPECT_EQ(opening[3], "ERROR: 无法打开串口设备 " + missing + "：no such device") << "the reason follows the log's opening";
    EXPECT_FALSE(lost.IsActive());
    EXPECT_FALSE(lost.CheckConnect());
    EXPECT_FALSE(lost.SetCommOption(kPort, 0)) << "closing a port that is not open fails, so nothing is opened";
    EXPECT_FALSE(lost.IsActive());
    EXPECT_EQ(lost.GetCommPort(), kPort) << "the new indices are stored before the port is closed";
    // The reset watcher that the failed test started is ended in between; having freed
    // its slot, it may still log its ending among these lines.
    auto lines = From(LogLines(), "正在重新设置串口通讯参数...");
    for (const char* watcher : {"单片机复位线程已经启动", "复位线程即将终止"})
        lines.erase(std::remove(lines.begin(), lines.end(), watcher), lines.end());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "ERROR: 设置串口通讯参数失败！！！");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "参数设置成功！"), 0);
    zorkit::ResetSerialPortPath(kPort + 2);
}

TEST_F(TransferTest, BaudIndexOutsideTheTableIsRefusedNotRunAtAnotherRate)
{
    {
        CZORComm odd(CZORComm::CPU_8051, kPort, 5);
        EXPECT_FALSE(odd.IsActive());
        auto boxes = zorkit::RecordedMessageBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(Utf8(boxes[0].text), "由于严重系统调用错误，无法正确打开串口设备！\n建议重启计算机再试！");
        EXPECT_EQ(odd.GetLastOpenFailure(), zorkit::SerialOpenFailure::SettingsRefused);
    }
    Establish();
    EXPECT_FALSE(link->SetCommOption(kPort, 5));
    EXPECT_EQ(link->PopError(), ERR_LINE_SETTINGS);
    EXPECT_EQ(link->GetCommBaud(), 5);
    EXPECT_FALSE(link->SetCommOption(kPort, -1));
    EXPECT_TRUE(link->SetCommOption(kPort, 0));
    EXPECT_TRUE(link->CheckConnect()) << "the refused rate left the line as it was";
}

TEST_F(TransferTest, PortHeldByAnotherLinkCannotBeOpened)
{
    Connect();
    zorkit::ClearRecordedMessageBoxes();
    CZORComm second(CZORComm::CPU_8051, kPort, 0);
    EXPECT_FALSE(second.IsActive());
    EXPECT_EQ(second.GetLastOpenFailure(), zorkit::SerialOpenFailure::Busy);
    EXPECT_EQ(link->GetLastOpenFailure(), zorkit::SerialOpenFailure::None);
    ASSERT_EQ(zorkit::RecordedMessageBoxes().size(), 1u);
    EXPECT_NE(Utf8(zorkit::RecordedMessageBoxes()[0].text).find("串口6"), std::string::npos);
}

TEST_F(TransferTest, DeviceWithoutASerialLineKeepsTheSystemErrorBoxAndLogsWhy)
{
    zorkit::SetSerialPortPath(kPort + 3, "/dev/null");
    CZORComm null(CZORComm::CPU_8051, kPort + 3, 0);
    zorkit::ResetSerialPortPath(kPort + 3);
    EXPECT_FALSE(null.IsActive());
    EXPECT_EQ(null.GetLastOpenFailure(), zorkit::SerialOpenFailure::NotATerminal);
    auto boxes = zorkit::RecordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(Utf8(boxes[0].text), "由于严重系统调用错误，无法正确打开串口设备！\n建议重启计算机再试！");
    auto lines = LogLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "ERROR: 无法打开串口设备 /dev/null：not a serial device"), lines.end());
}

TEST_F(TransferTest, MovingToAPortThatCannotBeOpenedLogsWhyAfterTheFailure)
{
    Establish();
    const std::string missing = (logDir / "unplugged").string();
    zorkit::SetSerialPortPath(kPort + 4, missing);
    EXPECT_FALSE(link->SetCommOption(kPort + 4, 0));
    zorkit::ResetSerialPortPath(kPort + 4);
    EXPECT_EQ(link->GetLastOpenFailure(), zorkit::SerialOpenFailure::NoSuchDevice);
    const std::string reason = "ERROR: 无法打开串口设备 " + missing + "：no such device";
    auto lines = From(LogLines(), "正在重新设置串口通讯参数...");
    EXPECT_EQ(lines, (std::vector<std::string>{"正在重新设置串口通讯参数...", "设置通讯状态...", "成功！",
                                               "ERROR: 设置串口通讯参数失败！！！", reason}));

    // A later move that fails before any open is tried gives no stale reason.
    EXPECT_FALSE(link->SetCommOption(kPort + 5, 0)) << "the port is already closed";
    lines = From(LogLines(), "正在重新设置串口通讯参数...");
    ASSERT_FALSE(lines.empty());
    auto again = std::find(lines.begin() + 1, lines.end(), "正在重新设置串口通讯参数...");
    ASSERT_NE(again, lines.end());
    EXPECT_EQ(std::vector<std::string>(again, lines.end()),
              (std::vector<std::string>{"正在重新设置串口通讯参数...", "设置通讯状态...", "成功！",
                                        "ERROR: 设置串口通讯参数失败！！！"}));
}

TEST_F(TransferTest, LinesLoggedFromTwoThreadsAtOnceStayWhole)
{
    Connect();
    // Short lines, few enough that the log does not wrap.
    constexpr int kLines = 2000;
    auto logMany = [&](const std::string& line) {
        for (int i = 0; i < kLines; ++i)
            link->WriteLog(line.c_str());
    };
    std::thread worker(logMany, "worker");
    logMany("host");
    worker.join();
    auto lines = LogLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "worker"), kLines);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "host"), kLines);
}

TEST_F(TransferTest, OvergrownLogIsWrittenFromItsStartAndKeepsItsSize)
{
    Connect();
    std::string filler(99, 'x');
    for (int i = 0; i < 520; ++i)
        link->WriteLog(filler.c_str());
    auto size = std::filesystem::file_size(CCommPort::GetLogPath());
    ASSERT_GT(size, 50000u);
    link->WriteLog("first");
    link->WriteLog("second");
    EXPECT_EQ(std::filesystem::file_size(CCommPort::GetLogPath()), size);
    std::ifstream in(CCommPort::GetLogPath(), std::ios::binary);
    std::string head(8, '\0');
    in.read(head.data(), 8);
    EXPECT_EQ(head, "second\r\n");
}
