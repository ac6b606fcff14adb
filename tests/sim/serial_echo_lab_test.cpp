// The serial echo lab, in assembly and in C (built with sdcc), on zorsim's own
// serial port: what a host types on the uart terminal comes back from the program.
#include <gtest/gtest.h>

#include "sim/BoardProtocol.h"
#include "tests/sim/HostLine.h"
#include "tests/sim/ZorsimProcess.h"
#include "tests/support/TempDir.h"
#include "tools/common/CProgramBuild.h"
#include "tools/common/IntelHex.h"

namespace zorkit::sim::test {
namespace {

std::vector<BYTE> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

class SerialEchoLab : public ::testing::Test {
protected:
    // Starts zorsim with --uart; the host opens the monitor's line, and the uart
    // terminal too unless `openUart` is false.
    void Start(std::vector<std::string> arguments = {}, bool openUart = true)
    {
        arguments.push_back("--uart");
        zorsim = std::make_unique<CZorsimProcess>(arguments);
        ASSERT_TRUE(zorsim->Started());
        std::string path = zorsim->Path();
        ASSERT_TRUE(zorsim->WaitForOutFrom(path.size() + 1, "\n"));
        std::string second = zorsim->Out().substr(path.size() + 1);
        ASSERT_EQ(second.compare(0, 6, "uart: "), 0) << "the uart line follows the board's path: " << second;
        uartPath = second.substr(6, second.find('\n') - 6);
        host = std::make_unique<CHostLine>(path);
        ASSERT_TRUE(host->IsOpen());
        if (openUart)
            OpenUart();
    }

    void OpenUart()
    {
        uart = std::make_unique<CHostLine>(uartPath);
        ASSERT_TRUE(uart->IsOpen()) << uartPath;
    }

    // Downloads the runs and starts them at `start` without breakpoints.
    void Run(const std::vector<CIntelHex::Run>& runs, WORD start)
    {
        for (const CIntelHex::Run& run : runs)
            for (std::size_t at = 0; at < run.bytes.size(); at += 200) {
                std::size_t n = std::min<std::size_t>(200, run.bytes.size() - at);
                WORD address = WORD(run.address + at);
                std::vector<BYTE> parameters{BYTE(address), BYTE(address >> 8), BYTE(n)};
                parameters.insert(parameters.end(), run.bytes.begin() + long(at), run.bytes.begin() + long(at + n));
                ASSERT_TRUE(host->Send(Frame(CMD_PROG_DLD, parameters)));
                ASSERT_EQ(host->Receive(1), std::vector<BYTE>{kAck});
            }
        ASSERT_TRUE(host->Send(Frame(CMD_PROG_EXEC, {BYTE(start), BYTE(start >> 8)})));
        ASSERT_EQ(host->Receive(1), std::vector<BYTE>{kAck});
    }

    void RunAssembly()
    {
        CIntelHex hex;
        ASSERT_TRUE(hex.LoadFile(std::string(ZORKIT_LAB_PROGRAMS) + "/serial_echo.ihx")) << hex.GetError();
        Run(hex.GetRuns(), 0x0000);
    }

    // Asks `show` until LED 0 says the program has sent its greeting and listens.
    bool WaitListening()
    {
        for (auto deadline = std::chrono::steady_clock::now() + kPatience; std::chrono::steady_clock::now() < deadline;) {
            std::size_t from = zorsim->Out().size();
            if (!zorsim->Type("show\n") || !zorsim->WaitForOutFrom(from, "\n\n"))
                return false;
            if (zorsim->Out().find("leds: *.......", from) != std::string::npos)
                return true;
        }
        return false;
    }

    // Each line typed after the one before has come back, as a person types.
    void ExpectEchoes()
    {
        ASSERT_EQ(uart->Receive(12), Bytes("echo ready\r\n"));
        for (const std::string& line : {std::string("hello, board\r\n"), std::string("x"),
                 std::string("\x00\x01\x7F\x80\xFF\r\n\x11\x13", 9)}) {
            ASSERT_TRUE(uart->Send(Bytes(line)));
            EXPECT_EQ(uart->Receive(line.size()), Bytes(line));
        }
    }

    std::unique_ptr<CZorsimProcess> zorsim;
    std::unique_ptr<CHostLine> host;
    std::unique_ptr<CHostLine> uart;
    std::string uartPath;
};

TEST_F(SerialEchoLab, AssemblyEchoesWhatIsTyped)
{
    Start();
    RunAssembly();
    ExpectEchoes();
    EXPECT_TRUE(WaitListening());
}

TEST_F(SerialEchoLab, CEchoesWhatIsTyped)
{
    TempDir dir;
    CCBuildResult built =
        BuildCProgram(CCProject::OfSource(std::string(ZORKIT_LAB_PROGRAMS) + "/serial_echo.c"), dir.Path());
    ASSERT_TRUE(built.ok) << built.output;
    Start();
    Run(built.runs, 0x0100);
    ExpectEchoes();
    EXPECT_TRUE(WaitListening());
}

TEST_F(SerialEchoLab, BurstComesBackWholeAtFullSpeed)
{
    // Typed at once, the bytes reach RXD one frame after another at the program's
    // rate; were they handed in faster, the receiver would overrun and lose some.
    Start({"--speed", "max"});
    RunAssembly();
    ASSERT_EQ(uart->Receive(12), Bytes("echo ready\r\n"));
    std::vector<BYTE> burst;
    for (int i = 0; i < 600; ++i)
        burst.push_back(BYTE(i * 7));
    ASSERT_TRUE(uart->Send(burst));
    EXPECT_EQ(uart->Receive(burst.size()), burst);
}

TEST_F(SerialEchoLab, NothingWaitsOnALineNobodyHasOpen)
{
    Start({}, false);
    RunAssembly();
    ASSERT_TRUE(WaitListening());
    OpenUart();
    ASSERT_TRUE(uart->Send(Bytes("z")));
    EXPECT_EQ(uart->Receive(1), Bytes("z")) << "what the program sent before the host came is lost";
}

}
}
