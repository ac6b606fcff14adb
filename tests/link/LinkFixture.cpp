#include "tests/link/LinkFixture.h"

#include <fstream>
#include <sstream>

#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/core/MessageBox.h"
#include "zorkit/platform/core/Messaging.h"
#include "zorkit/platform/serial/PortTable.h"
#include "tools/common/IntelHex.h"

std::string Utf8(const std::string& gbk) { return zorkit::Utf8FromGbk(gbk); }

std::vector<BYTE> ProgramImage(const std::string& path)
{
    CIntelHex hex;
    EXPECT_TRUE(hex.LoadFile(path)) << hex.GetError();
    std::vector<BYTE> image;
    for (const CIntelHex::Run& run : hex.GetRuns()) {
        std::size_t n = run.bytes.size();
        image.insert(image.end(), {BYTE(n), BYTE(n >> 8), BYTE(run.address), BYTE(run.address >> 8)});
        image.insert(image.end(), run.bytes.begin(), run.bytes.end());
    }
    return image;
}

void LinkFixture::SetUp()
{
    CCommPort::SetLogDirectory(logDir.string());
    zorkit::ClearRecordedMessageBoxes();
    zorkit::SetMessageBoxEcho(false);
    SetStopDelay(std::chrono::milliseconds(50));
    ASSERT_TRUE(board.Start()) << board.LastError();
    zorkit::SetSerialPortPath(kPort, board.SlavePath());
}

void LinkFixture::SetStopDelay(std::chrono::milliseconds delay)
{
    zorkit::sim::CMonitorTimings timings = board.GetTimings();
    timings.stopDelay = delay;
    board.SetTimings(timings);
}

void LinkFixture::TearDown()
{
    link.reset();
    board.Stop();
    zorkit::ResetSerialPortPath(kPort);
}

void LinkFixture::Connect(CZORComm::ZORTYPE expected)
{
    link = std::make_unique<CZORComm>(expected, kPort, 0);
    ASSERT_TRUE(link->IsActive()) << "the board's pseudo-terminal did not open";
}

void LinkFixture::Establish()
{
    if (!link)
        Connect();
    std::size_t before = board.WireLog().ReceivedCount();
    ASSERT_TRUE(link->CheckConnect());
    ASSERT_TRUE(link->IsZORConnect());
    // The test frame and the host's answer to the register image.
    SettleWire(before + 3 + 1);
}

void LinkFixture::SettleWire(std::size_t hostBytes)
{
    ASSERT_TRUE(board.WireLog().WaitReceived(hostBytes, kPatience)) << board.WireLog().ReceivedCount() << " bytes came";
    board.WireLog().Clear();
}

std::vector<std::string> LinkFixture::LogLines() const
{
    std::ifstream in(CCommPort::GetLogPath(), std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    std::string text = content.str();
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(Utf8(text.substr(start, end - start)));
    return lines;
}

bool LinkFixture::WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    return zorkit::PumpMessagesUntil(done, DWORD(timeout.count()));
}
