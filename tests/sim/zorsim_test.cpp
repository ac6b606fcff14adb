// zorsim as a user runs it: a child process, its path on stdout, signals and console.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "sim/BoardProtocol.h"
#include "tests/sim/HostLine.h"
#include "tests/sim/ZorsimProcess.h"
#include "tests/support/TempDir.h"

extern char** environ;

namespace zorkit::sim::test {
namespace {

using Clock = std::chrono::steady_clock;

TEST(Zorsim, HelpDocumentsOptionsAndCommands)
{
    CZorsimProcess zorsim({"--help"});
    ASSERT_TRUE(zorsim.Started());
    ASSERT_TRUE(zorsim.WaitForOut("Exit status"));
    for (const char* expected : {"--cpu", "--stop-delay", "--fault", "--trace", "SIGUSR1", "hangup", "wrong-ack", "--speed",
             "--ports", "--exec-trace", "A B PSW SP DPL DPH R0-R7", "--chip", "timer 2"})
        EXPECT_NE(zorsim.Out().find(expected), std::string::npos) << expected;
    EXPECT_EQ(zorsim.ExitStatus(), 0);
}

TEST(Zorsim, UsageErrorsExitWith2AndSayWhatIsWrong)
{
    CZorsimProcess badCpu({"--cpu", "8099"});
    EXPECT_TRUE(badCpu.WaitForErr("unknown CPU '8099'"));
    EXPECT_EQ(badCpu.ExitStatus(), 2);
    CZorsimProcess badFault({"--fault", "wrong-ack=300"});
    EXPECT_TRUE(badFault.WaitForErr("wrong-ack needs a byte"));
    EXPECT_EQ(badFault.ExitStatus(), 2);
    CZorsimProcess badSpeed({"--speed", "fast"});
    EXPECT_TRUE(badSpeed.WaitForErr("speed must be max or a crystal frequency"));
    EXPECT_EQ(badSpeed.ExitStatus(), 2);
    CZorsimProcess missing({"--stop-delay"});
    EXPECT_TRUE(missing.WaitForErr("needs a value"));
    EXPECT_EQ(missing.ExitStatus(), 2);
}

TEST(Zorsim, ServesTheLineTakesResetAndConsoleAndHangsUp)
{
    CZorsimProcess zorsim({"--cpu", "8098", "--fault", "wrong-ack=0x3C"});
    ASSERT_TRUE(zorsim.Started());
    std::string path = zorsim.Path();
    ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;
    CHostLine host(path);
    ASSERT_TRUE(host.IsOpen());

    host.Send(Frame(CMD_CLEAR_ALL_BREAK));
    EXPECT_EQ(host.Receive(1), std::vector<BYTE>{0x3C}) << "the fault armed on the command line";
    host.Send(Frame(CMD_REG_ULD));
    EXPECT_EQ(host.Receive(1 + 30 + 1).size(), 32u) << "an 8098 register image is 30 bytes";
    // No 0xAA for the block: sent now, it could reach the board after the reset below
    // and be taken as the answer to the banner.

    zorsim.Signal(SIGUSR1);
    EXPECT_EQ(host.Receive(9), std::vector<BYTE>(kBanner.begin(), kBanner.end()));
    host.Send(Frame(CMD_CLEAR_ALL_BREAK));
    EXPECT_EQ(host.Receive(1), std::vector<BYTE>{kAck});

    ASSERT_TRUE(zorsim.Type("fault nak\n"));
    ASSERT_TRUE(zorsim.WaitForErr("armed nak"));
    host.Send(Frame(CMD_CLEAR_ALL_BREAK));
    EXPECT_EQ(host.Receive(1), std::vector<BYTE>{kNak});

    ASSERT_TRUE(zorsim.Type("hangup\n"));
    EXPECT_TRUE(host.WaitHangUp());
    EXPECT_EQ(zorsim.ExitStatus(), 0);
}

// zorsim started as "zorsim &" from an interactive shell: a background job of a
// session whose controlling terminal is a pseudo-terminal. Returns the exit status
// of zorsim, or 99 when the terminal stopped it.
class CBackgroundJob {
public:
    CBackgroundJob()
    {
        m_master = FileDescriptor(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
        if (!m_master.IsValid() || ::grantpt(m_master.Get()) != 0 || ::unlockpt(m_master.Get()) != 0)
            return;
        std::string terminal = ::ptsname(m_master.Get());
        int out[2], told[2];
        if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(told, O_CLOEXEC) != 0)
            return;
        m_shell = ::fork();
        if (m_shell == 0) {
            // The shell: a session leader in the foreground of its terminal.
            ::setsid();
            int tty = ::open(terminal.c_str(), O_RDWR);
            if (tty < 0)
                ::_exit(98);
            pid_t job = ::fork();
            if (job == 0) {
                ::setpgid(0, 0);
                ::dup2(tty, 0);
                ::dup2(out[1], 1);
                char* argv[] = {const_cast<char*>(ZORSIM_PATH), nullptr};
                ::execv(ZORSIM_PATH, argv);
                ::_exit(97);
            }
            ::setpgid(job, job);
            if (::write(told[1], &job, sizeof job) != ssize_t(sizeof job))
                ::_exit(94);
            int status = 0;
            if (::waitpid(job, &status, WUNTRACED) != job)
                ::_exit(96);
            if (WIFSTOPPED(status)) {
                ::kill(job, SIGKILL);
                ::_exit(99);
            }
            ::_exit(WIFEXITED(status) ? WEXITSTATUS(status) : 95);
        }
        ::close(out[1]);
        ::close(told[1]);
        m_out = FileDescriptor(out[0]);
        FileDescriptor jobTold(told[0]);
        if (::read(jobTold.Get(), &m_job, sizeof m_job) != ssize_t(sizeof m_job))
            m_job = -1;
    }
    ~CBackgroundJob()
    {
        if (m_job > 0)
            ::kill(m_job, SIGKILL);
        if (m_shell > 0) {
            ::kill(-m_shell, SIGKILL);
            ::waitpid(m_shell, nullptr, 0);
        }
    }

    // The first line zorsim writes: its line's path.
    std::string Path()
    {
        std::string text;
        Clock::time_point deadline = Clock::now() + kPatience;
        while (text.find('\n') == std::string::npos && Clock::now() < deadline) {
            pollfd ready{m_out.Get(), POLLIN, 0};
            char chunk[256];
            ssize_t n = ::poll(&ready, 1, 1000) > 0 ? ::read(m_out.Get(), chunk, sizeof chunk) : 0;
            if (n > 0)
                text.append(chunk, std::size_t(n));
            else if (ready.revents & POLLHUP)
                break;
        }
        return text.substr(0, text.find('\n'));
    }
    // Asks zorsim to terminate and returns what the shell saw.
    int End()
    {
        ::kill(m_job, SIGTERM);
        int status = 0;
        if (::waitpid(m_shell, &status, 0) != m_shell)
            return -1;
        m_shell = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    bool Started() const { return m_shell > 0 && m_job > 0; }

private:
    FileDescriptor m_master;
    FileDescriptor m_out;
    pid_t m_shell = -1;
    pid_t m_job = -1;
};

TEST(Zorsim, RunsOnAsABackgroundJobOfAnInteractiveTerminal)
{
    CBackgroundJob job;
    ASSERT_TRUE(job.Started());
    std::string path = job.Path();
    ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;
    CHostLine host(path);
    ASSERT_TRUE(host.IsOpen());
    host.Send(Frame(CMD_CLEAR_ALL_BREAK));
    EXPECT_EQ(host.Receive(1), std::vector<BYTE>{kAck}) << "a job stopped by its terminal does not answer";
    EXPECT_EQ(job.End(), 0) << "99: the terminal stopped zorsim";
}

TEST(Zorsim, WatchOptionsShowPortChangesAndTraceExecutedInstructions)
{
    TempDir dir;
    std::string tracePath = dir.File("exec.trace");
    CZorsimProcess zorsim({"--speed", "max", "--stop-delay", "0", "--ports", "--exec-trace", tracePath});
    CHostLine host(zorsim.Path());
    ASSERT_TRUE(host.IsOpen());
    // 0000: MOV P1,#55H; MOV P1,#0AAH; SJMP $ (the breakpoint)
    host.Send(Frame(CMD_PROG_DLD, {0x00, 0x00, 8, 0x75, 0x90, 0x55, 0x75, 0x90, 0xAA, 0x80, 0xFE}));
    EXPECT_EQ(host.Receive(1), std::vector<BYTE>{kAck});
    host.Send(Frame(CMD_SET_BREAK, {0x06, 0x00}));
    EXPECT_EQ(host.Receive(1), std::vector<BYTE>{kAck});
    host.Send(Frame(CMD_PROG_EXEC, {0x00, 0x00}));
    EXPECT_EQ(host.Receive(2), (std::vector<BYTE>{kAck, kAck})) << "the command, then the stop at the breakpoint";
    EXPECT_TRUE(zorsim.WaitForErr(" P1 = 55\n"));
    EXPECT_TRUE(zorsim.WaitForErr(" P1 = AA\n"));

    zorsim.Signal(SIGTERM);
    EXPECT_EQ(zorsim.ExitStatus(), 0);
    std::ifstream file(tracePath);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 2u) << "the instruction at the breakpoint is not executed";
    EXPECT_EQ(lines[0].rfind("0000", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find("759055"), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("MOV 90H,#55H"), std::string::npos) << lines[0];
    EXPECT_EQ(lines[1].rfind("0003", 0), 0u) << lines[1];
}

TEST(Zorsim, ChipOptionGivesAPlain8051WithoutTimer2AndUpperRam)
{
    // MOV T2CON,#04H; MOV P1,T2CON; MOV R0,#90H; MOV @R0,#5AH; MOV A,@R0; CPL A;
    // MOV P2,A; SJMP $ (the breakpoint)
    const std::vector<BYTE> program = {0x00, 0x00, 16, 0x75, 0xC8, 0x04, 0x85, 0xC8, 0x90, 0x78, 0x90, 0x76, 0x5A,
        0xE6, 0xF4, 0xF5, 0xA0, 0x80, 0xFE};
    struct CChipCase {
        std::vector<std::string> arguments;
        const char* t2con;
        const char* upperRam;
    };
    const CChipCase cases[] = {
        {{}, " P1 = 04\n", " P2 = A5\n"},
        {{"--chip", "8052"}, " P1 = 04\n", " P2 = A5\n"},
        {{"--chip", "8051"}, " P1 = 00\n", " P2 = 00\n"},
    };
    for (const CChipCase& chip : cases) {
        std::vector<std::string> arguments = {"--speed", "max", "--stop-delay", "0", "--ports"};
        arguments.insert(arguments.end(), chip.arguments.begin(), chip.arguments.end());
        CZorsimProcess zorsim(arguments);
        CHostLine host(zorsim.Path());
        ASSERT_TRUE(host.IsOpen());
        host.Send(Frame(CMD_PROG_DLD, program));
        EXPECT_EQ(host.Receive(1), std::vector<BYTE>{kAck});
        host.Send(Frame(CMD_SET_BREAK, {0x0E, 0x00}));
        EXPECT_EQ(host.Receive(1), std::vector<BYTE>{kAck});
        host.Send(Frame(CMD_PROG_EXEC, {0x00, 0x00}));
        EXPECT_EQ(host.Receive(2), (std::vector<BYTE>{kAck, kAck}));
        EXPECT_TRUE(zorsim.WaitForErr(chip.t2con)) << zorsim.Err();
        EXPECT_TRUE(zorsim.WaitForErr(chip.upperRam)) << zorsim.Err();
        zorsim.Signal(SIGTERM);
        EXPECT_EQ(zorsim.ExitStatus(), 0);
    }
    CZorsimProcess badChip({"--chip", "8031"});
    EXPECT_TRUE(badChip.WaitForErr("unknown chip '8031' (8051 or 8052)"));
    EXPECT_EQ(badChip.ExitStatus(), 2);
}

TEST(Zorsim, TerminationSignalEndsItCleanly)
{
    CZorsimProcess zorsim({});
    std::string path = zorsim.Path();
    CHostLine host(path);
    ASSERT_TRUE(host.IsOpen()) << path;
    zorsim.Signal(SIGTERM);
    EXPECT_TRUE(host.WaitHangUp());
    EXPECT_EQ(zorsim.ExitStatus(), 0);
}

}
}
