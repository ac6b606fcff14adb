// zorlink as users run it: a real process against the virtual board.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "sim/VirtualBoard.h"
#include "tests/cdebug/LabProgram.h"
#include "tests/support/ResetKey.h"
#include "tests/support/TempDir.h"

namespace {

using zorkit::sim::MemorySpace;

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

class ZorlinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(board.Start()) << board.LastError();
    }

    // Runs zorlink on the board's line with `arguments` (shell words) and `input` on stdin.
    ToolRun Zorlink(const std::string& arguments, const std::string& input = "")
    {
        std::ofstream(dir / "stdin") << input;
        std::string command = std::string(ZORLINK_PATH) + " -d " + board.SlavePath() + " --log-dir " + dir.string() +
                              " " + arguments + " <" + (dir / "stdin").string() + " >" + (dir / "stdout").string() +
                              " 2>" + (dir / "stderr").string();
        int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(dir / "stdout"), Slurp(dir / "stderr")};
    }
    static std::string Slurp(const std::filesystem::path& path)
    {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    zorkit::sim::CVirtualBoard board;
    TempDir scratch;
    const std::filesystem::path& dir = scratch.Path();
};

}

TEST_F(ZorlinkTest, ConnectPrintsTheCpuAndReadsPrintSixteenBytesALine)
{
    ToolRun connect = Zorlink("connect");
    EXPECT_EQ(connect.status, 0) << connect.err;
    EXPECT_EQ(connect.out, "Intel 8051\n");

    std::vector<BYTE> bytes(20);
    for (int i = 0; i < 20; ++i)
        bytes[std::size_t(i)] = BYTE(0xA0 + i);
    board.WriteMemory(MemorySpace::External, 0x8000, bytes);
    ToolRun read = Zorlink("read ext 0x8000 20");
    EXPECT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(read.out, "8000: A0 A1 A2 A3 A4 A5 A6 A7 A8 A9 AA AB AC AD AE AF\n8010: B0 B1 B2 B3\n");
}

TEST_F(ZorlinkTest, ScriptKeepsOneLinkAndToleratesDashedLines)
{
    std::ofstream(dir / "program.hex") << ":03010000759055A2\n:00000001FF\n";
    std::string script = "# comment\n"
                         "connect\n"
                         "write int 0x30 1 2 3\n"
                         "read int 0x30 3\n"
                         "load " + (dir / "program.hex").string() + "\n"
                         "break 0x0103\n"
                         "-unbreak 0x9999 extra\n"
                         "run 0x0100\n"
                         "wait 5\n";
    ToolRun run = Zorlink("script -", script);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Intel 8051\n0030: 01 02 03\nstopped\n");
    EXPECT_NE(run.err.find("stdin:7: unbreak"), std::string::npos) << run.err;
    EXPECT_EQ(board.ReadMemory(MemorySpace::Code, 0x0100, 3), (std::vector<BYTE>{0x75, 0x90, 0x55}));
    EXPECT_EQ(board.Breakpoints().size(), 1u) << "the breakpoint set earlier in the script stays";
}

TEST_F(ZorlinkTest, ScriptStopsAtTheFirstFailureWithStatusOne)
{
    board.SetSilent(true);
    ToolRun run = Zorlink("script -", "connect\nread ext 0 1\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("stdin:1: connect: the board does not answer"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("stdin:2"), std::string::npos) << "the script ends at the first failure";
}

TEST_F(ZorlinkTest, AwaitResetReturnsOnlyOnceTheLinkIsReadyForCommands)
{
    board.WriteMemory(MemorySpace::External, 0x2000, {0x12, 0x34});
    // The reset key is pressed as soon as zorlink asks for it, so the handshake and
    // the watcher's own connection test run while zorlink waits.
    std::atomic<bool> finished{false};
    std::thread person([&] {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (Slurp(dir / "stderr").find("Press the reset key") == std::string::npos && !finished &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (!finished)
            PressResetUntilAnswered(board, 10);
    });
    ToolRun run = Zorlink("script -", "connect\nkeypad\nawait-reset 60\nread ext 0x2000 2\n");
    finished = true;
    person.join();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Intel 8051\n2000: 12 34\n");
    EXPECT_NE(run.err.find("Reset succeeded: Intel 8051"), std::string::npos) << run.err;
}

TEST_F(ZorlinkTest, UsageErrorsExitWithTwo)
{
    EXPECT_EQ(Zorlink("frobnicate").status, 2);
    EXPECT_EQ(Zorlink("read ext 0x10000 4").status, 2);
    EXPECT_EQ(Zorlink("write int 0xFF 1 2").status, 2) << "internal memory ends at 0xFF";
    EXPECT_EQ(Zorlink("-b 1234 connect").status, 2);
    ToolRun help = Zorlink("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("await-reset"), std::string::npos);
}

TEST_F(ZorlinkTest, BinaryLoadsAt1100ByDefaultAndMissingFilesFail)
{
    std::ofstream(dir / "code.bin", std::ios::binary) << std::string("\x02\x01\x00", 3);
    ToolRun run = Zorlink("load " + (dir / "code.bin").string());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(board.ReadMemory(MemorySpace::Code, 0x1100, 3), (std::vector<BYTE>{0x02, 0x01, 0x00}));
    ToolRun missing = Zorlink("load " + (dir / "absent.bin").string());
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("absent.bin: cannot open"), std::string::npos) << missing.err;
    std::ofstream(dir / "bad.hex") << ":03010000759055A3\n:00000001FF\n";
    ToolRun bad = Zorlink("load " + (dir / "bad.hex").string());
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find(":1:"), std::string::npos) << "the line of the bad record is named: " << bad.err;
}

TEST_F(ZorlinkTest, ACSessionStopsStepsAndPrintsByTheSourceLines)
{
    LabProgram lab;
    ASSERT_NO_FATAL_FAILURE(lab.Build());
    auto line = [&](const char* marker) { return "lab.c:" + std::to_string(lab.Line(marker)); };
    std::ofstream(dir / "c.zls") << "connect\n"
                                    "load " << lab.built.hexPath.string() << "\n"
                                    "break " << line("call") << "\n"
                                    "run\n"
                                    "print i\n"
                                    "print word[0]\n"
                                    "step\n"
                                    "where\n"
                                    "print b\n"
                                    "finish\n"
                                    "next\n"
                                    "print t\n"
                                    "-print nothing\n"
                                    "set t = 40\n"
                                    "print t\n";
    ToolRun run = Zorlink("--debug-info " + lab.built.cdbPath.string() + " script " + (dir / "c.zls").string());
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string out = run.out.substr(run.out.find("Intel 8051\n") + 11);
    EXPECT_EQ(out, "breakpoint at " + line("call") + " (" + [&] {
        char text[8];
        std::snprintf(text, sizeof text, "%04X", unsigned(*lab.info.AddressOfLine("lab.c", lab.Line("call"))));
        return std::string(text);
    }() + ")\n"
          "main " + line("call") + "\n"
          "i = 0\n"
          "word[0] = 'h'\n"
          "add " + line("add") + "\n"
          "add " + line("add") + "\n"
          "main " + line("call") + "\n"
          "b = 2\n"
          "main " + line("call") + "\n"
          "main " + line("for") + "\n"
          "t = 2\n"
          "t = 40\n");
    EXPECT_NE(run.err.find("print: no variable nothing in main or among the globals"), std::string::npos) << run.err;
    // Debug information that cannot be read ends zorlink before any command.
    ToolRun usage = Zorlink("--debug-info " + (dir / "missing.cdb").string() + " connect");
    EXPECT_EQ(usage.status, 1);
    EXPECT_NE(usage.err.find("cannot read the debug information"), std::string::npos) << usage.err;
}

TEST_F(ZorlinkTest, AGlobalsInitialiserStopsInTheStartupBeforeMain)
{
    LabProgram params("params");
    ASSERT_NO_FATAL_FAILURE(params.Build());
    auto line = [&](const char* marker) { return "params.c:" + std::to_string(params.Line(marker)); };
    std::ofstream(dir / "init.zls") << "connect\n"
                                       "load " << params.built.hexPath.string() << "\n"
                                       "-break " << line("plain") << "\n"
                                       "break " << line("limit") << "\n"
                                       "run\n"
                                       "where\n"
                                       "next\n"
                                       "print limit\n"
                                       "next\n";
    ToolRun run = Zorlink("--debug-info " + params.built.cdbPath.string() + " script " + (dir / "init.zls").string());
    EXPECT_EQ(run.status, 0) << run.err;
    char address[8];
    std::snprintf(address, sizeof address, "%04X", unsigned(*params.info.AddressOfLine("params.c", params.Line("limit"))));
    EXPECT_EQ(run.out.substr(run.out.find("Intel 8051\n") + 11),
              "breakpoint at " + line("limit") + " (" + address + ")\n"
              "?? " + line("limit") + "\n"
              "?? " + line("limit") + "\n"
              "?? " + line("table") + "\n"
              "limit = 40\n"
              "main " + line("callsquare") + "\n");
    EXPECT_NE(run.err.find(line("plain") + " runs no code"), std::string::npos) << run.err;
}
