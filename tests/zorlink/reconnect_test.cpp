// A USB adapter pulled out and plugged back in, as zorlink --reconnect sees it: the
// device is a symbolic link to the virtual board's pseudo-terminal that vanishes
// with a hang-up and returns pointing at the board's new line.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "sim/VirtualBoard.h"
#include "tests/support/PortServer.h"
#include "tests/support/ResetKey.h"
#include "tests/support/TempDir.h"

namespace {

using namespace std::chrono_literals;
using zorkit::sim::MemorySpace;

// zorlink with standard input from a pipe (for a script), its output going to files.
class ZorlinkProcess {
public:
    ZorlinkProcess(const std::filesystem::path& dir, const std::vector<std::string>& arguments) : m_dir(dir)
    {
        // A line written after zorlink has ended fails with EPIPE instead of ending the test.
        static const bool pipeSignalIgnored = std::signal(SIGPIPE, SIG_IGN) != SIG_ERR;
        (void)pipeSignalIgnored;
        int input[2];
        // Close-on-exec: a server the test starts later must not hold the input open.
        if (::pipe2(input, O_CLOEXEC) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            std::signal(SIGPIPE, SIG_DFL);
            ::dup2(input[0], STDIN_FILENO);
            ::dup2(::open((dir / "stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDOUT_FILENO);
            ::dup2(::open((dir / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO);
            ::close(input[1]);
            std::vector<const char*> args = {"zorlink", "--log-dir", dir.c_str()};
            for (const std::string& argument : arguments)
                args.push_back(argument.c_str());
            args.push_back(nullptr);
            ::execv(ZORLINK_PATH, const_cast<char* const*>(args.data()));
            ::_exit(127);
        }
        ::close(input[0]);
        m_input = input[1];
    }
    ~ZorlinkProcess()
    {
        CloseInput();
        if (m_pid > 0 && m_status < 0) {
            ::kill(m_pid, SIGKILL);
            Wait();
        }
    }

    bool Started() const { return m_pid > 0 && m_input >= 0; }
    void Send(const std::string& line) { EXPECT_TRUE(TrySend(line)); }
    // False when zorlink no longer reads its input.
    bool TrySend(const std::string& line) { return ::write(m_input, line.data(), line.size()) == ssize_t(line.size()); }
    void CloseInput()
    {
        if (m_input >= 0)
            ::close(m_input);
        m_input = -1;
    }
    int Wait()
    {
        int raw = 0;
        if (m_status < 0 && ::waitpid(m_pid, &raw, 0) == m_pid)
            m_status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128;
        return m_status;
    }
    std::string Out() const { return Slurp(m_dir / "stdout"); }
    std::string Err() const { return Slurp(m_dir / "stderr"); }
    // Waits until standard error (or output) holds `text`.
    bool ErrShows(const std::string& text) const { return Shows([&] { return Err(); }, text); }
    bool OutShows(const std::string& text) const { return Shows([&] { return Out(); }, text); }

private:
    template <class Read>
    static bool Shows(Read read, const std::string& text)
    {
        auto deadline = std::chrono::steady_clock::now() + 60s;
        while (read().find(text) == std::string::npos) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(5ms);
        }
        return true;
    }
    static std::string Slurp(const std::filesystem::path& path)
    {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::filesystem::path m_dir;
    pid_t m_pid = -1;
    int m_input = -1;
    int m_status = -1;
};

// A virtual board started, and a scratch folder for zorlink's output and the links
// that stand for the adapter.
class ZorlinkReconnectTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(board.Start()) << board.LastError(); }
    // A symbolic link named `name` in the scratch folder to the board's line.
    std::filesystem::path Adapter(const std::string& name)
    {
        const std::filesystem::path adapter = scratch.Path() / name;
        std::filesystem::create_symlink(board.SlavePath(), adapter);
        return adapter;
    }

    zorkit::sim::CVirtualBoard board;
    TempDir scratch;
};

// zorlink running a script from standard input.
std::vector<std::string> ScriptArguments(const std::string& device, bool reconnect)
{
    std::vector<std::string> args = {"-d", device};
    if (reconnect)
        args.push_back("--reconnect");
    args.insert(args.end(), {"script", "-"});
    return args;
}

TEST_F(ZorlinkReconnectTest, AnAdapterPulledOutIsReportedAndTheScriptGoesOnOnceItIsBack)
{
    const std::filesystem::path adapter = Adapter("usb-adapter-port0");

    ZorlinkProcess zorlink(scratch.Path(), ScriptArguments(adapter.string(), true));
    ASSERT_TRUE(zorlink.Started());
    zorlink.Send("connect\n");
    ASSERT_TRUE(zorlink.OutShows("Intel 8051\n")) << zorlink.Err();

    board.HangUp();
    std::filesystem::remove(adapter);
    auto pulled = std::chrono::steady_clock::now();
    zorlink.Send("read ext 0x2000 2\n");
    ASSERT_TRUE(zorlink.ErrShows("Waiting for " + adapter.string() + " to come back")) << zorlink.Err();
    // Nothing waited for an answer that cannot come: no 500 ms window, no reset deadline.
    EXPECT_LT(std::chrono::steady_clock::now() - pulled, 10s);
    EXPECT_NE(zorlink.Err().find("stdin:2: read: the serial adapter is gone: " + adapter.string() + " was unplugged"),
              std::string::npos)
        << zorlink.Err();

    board.WriteMemory(MemorySpace::External, 0x2000, {0x12, 0x34});
    ASSERT_TRUE(board.Start()) << board.LastError();
    std::filesystem::create_symlink(board.SlavePath(), adapter);
    ASSERT_TRUE(zorlink.ErrShows("Press the reset key")) << zorlink.Err();
    ASSERT_TRUE(PressResetUntilAnswered(board, 10));
    ASSERT_TRUE(zorlink.ErrShows("Reset succeeded: Intel 8051")) << zorlink.Err();

    zorlink.Send("read ext 0x2000 2\n");
    zorlink.CloseInput();
    EXPECT_EQ(zorlink.Wait(), 1) << "the read under way when the adapter went failed";
    EXPECT_EQ(zorlink.Out(), "Intel 8051\n2000: 12 34\n") << zorlink.Err();
}

TEST_F(ZorlinkReconnectTest, APortServerThatStopsIsWaitedForAndTheScriptGoesOnOnceItIsBack)
{
    CPortServer server(CPortServer::Kind::Ser2netTelnet, board.SlavePath(), scratch);
    ASSERT_TRUE(server.Start()) << server.Error();
    const std::string device = server.DeviceName();

    ZorlinkProcess zorlink(scratch.Path(), ScriptArguments(device, true));
    ASSERT_TRUE(zorlink.Started());
    zorlink.Send("connect\n");
    ASSERT_TRUE(zorlink.OutShows("Intel 8051\n")) << zorlink.Err();

    server.Stop();
    zorlink.Send("read ext 0x2000 2\n");
    ASSERT_TRUE(zorlink.ErrShows("Waiting for " + device + " to come back")) << zorlink.Err();
    EXPECT_NE(zorlink.Err().find("stdin:2: read: the port server closed the connection: " + device), std::string::npos)
        << zorlink.Err();

    board.WriteMemory(MemorySpace::External, 0x2000, {0x12, 0x34});
    ASSERT_TRUE(server.Start()) << server.Error();
    ASSERT_TRUE(zorlink.ErrShows("Press the reset key")) << zorlink.Err();
    ASSERT_TRUE(PressResetUntilAnswered(board, 10));
    ASSERT_TRUE(zorlink.ErrShows("Reset succeeded: Intel 8051")) << zorlink.Err();

    zorlink.Send("read ext 0x2000 2\n");
    zorlink.CloseInput();
    EXPECT_EQ(zorlink.Wait(), 1) << "the read under way when the server stopped failed";
    EXPECT_EQ(zorlink.Out(), "Intel 8051\n2000: 12 34\n") << zorlink.Err();
}

TEST_F(ZorlinkReconnectTest, WithoutTheOptionAWaitForTheResetKeyEndsAtOnceWhenTheAdapterGoes)
{
    ZorlinkProcess zorlink(scratch.Path(), ScriptArguments(board.SlavePath(), false));
    ASSERT_TRUE(zorlink.Started());
    zorlink.Send("connect\n");
    ASSERT_TRUE(zorlink.OutShows("Intel 8051\n")) << zorlink.Err();
    zorlink.Send("await-reset 60\n");
    ASSERT_TRUE(zorlink.ErrShows("Press the reset key")) << zorlink.Err();
    auto pulled = std::chrono::steady_clock::now();
    board.HangUp();
    // zorlink may have ended already; either way the line must not run.
    zorlink.TrySend("connect\n");
    zorlink.CloseInput();
    EXPECT_EQ(zorlink.Wait(), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - pulled, 30s) << "the wait went on for the reset key of a board that is gone";
    EXPECT_NE(zorlink.Err().find("stdin:2: await-reset: the serial adapter is gone"), std::string::npos) << zorlink.Err();
    EXPECT_EQ(zorlink.Err().find("stdin:3"), std::string::npos) << "the script ends at the failure";
}

// The adapter given by its number, as users find it: /dev/ttyUSB0 with a by-id name
// leading to it. Pulled out during a control run, it comes back as ttyUSB1 under the
// same by-id name; zorlink finds it there, and runs the experiment again.
TEST_F(ZorlinkReconnectTest, ASingleCommandWaitsForTheAdapterUnderItsByIdNameAndRunsAgain)
{
    const std::filesystem::path dev = scratch.Path() / "dev";
    const std::filesystem::path byId = dev / "serial" / "by-id";
    std::filesystem::create_directories(byId);
    const std::filesystem::path stable = byId / "usb-Zorkit_Virtual_Adapter_0001-if00-port0";
    std::filesystem::create_symlink(board.SlavePath(), dev / "ttyUSB0");
    std::filesystem::create_symlink("../../ttyUSB0", stable);
    ::setenv("ZORKIT_SERIAL_BY_ID_DIR", byId.c_str(), 1);

    const std::string device = (dev / "ttyUSB0").string();
    ZorlinkProcess zorlink(scratch.Path(), {"-d", device, "--reconnect", "--reconnect-wait", "60", "control", "temp",
                                            "--samples", "3", "--period", "0", "--timeout", "60"});
    ::unsetenv("ZORKIT_SERIAL_BY_ID_DIR");
    ASSERT_TRUE(zorlink.Started());
    ASSERT_TRUE(zorlink.ErrShows("waiting for the board's first sample on " + device + "...")) << zorlink.Err();

    board.HangUp();
    std::filesystem::remove(stable);
    std::filesystem::remove(dev / "ttyUSB0");
    ASSERT_TRUE(zorlink.ErrShows("Waiting for " + stable.string() + " (it was " + device + ") to come back (up to 60 s)"))
        << zorlink.Err();
    EXPECT_NE(zorlink.Err().find("zorlink: control: the serial adapter is gone: " + device + " was unplugged"),
              std::string::npos)
        << zorlink.Err();

    // Back with another number.
    ASSERT_TRUE(board.Start()) << board.LastError();
    std::filesystem::create_symlink(board.SlavePath(), dev / "ttyUSB1");
    std::filesystem::create_symlink("../../ttyUSB1", stable);
    ASSERT_TRUE(zorlink.ErrShows(stable.string() + " is back.")) << zorlink.Err();
    ASSERT_TRUE(zorlink.ErrShows("Press the reset key")) << zorlink.Err();
    ASSERT_TRUE(PressResetUntilAnswered(board, 10));
    ASSERT_TRUE(zorlink.ErrShows("Reset succeeded: Intel 8051")) << zorlink.Err();
    ASSERT_TRUE(zorlink.ErrShows("zorlink: running control again\nzorlink: waiting for the board's first sample on " +
                                 stable.string() + "..."))
        << zorlink.Err();

    zorkit::sim::CExperimentSettings settings;
    settings.samplePeriod = std::chrono::milliseconds(0);
    board.StartExperiment(settings);
    EXPECT_EQ(zorlink.Wait(), 0) << zorlink.Err();
    // The board that went away sent none: these came from the one that came back.
    const std::string samples = zorlink.Out();
    EXPECT_EQ(std::count(samples.begin(), samples.end(), '\n'), 3) << "three samples:\n" << samples;
}

TEST_F(ZorlinkReconnectTest, ASingleCommandWhoseAdapterStaysAwayFailsAfterTheWaitGiven)
{
    const std::filesystem::path adapter = Adapter("adapter");
    ZorlinkProcess zorlink(scratch.Path(), {"-d", adapter.string(), "--reconnect", "--reconnect-wait", "1",
                                            "await-reset", "60"});
    ASSERT_TRUE(zorlink.Started());
    ASSERT_TRUE(zorlink.ErrShows("Press the reset key")) << zorlink.Err();
    board.HangUp();
    std::filesystem::remove(adapter);
    EXPECT_EQ(zorlink.Wait(), 1);
    EXPECT_NE(zorlink.Err().find("Waiting for " + adapter.string() + " to come back (up to 1 s)"), std::string::npos)
        << "not a USB adapter by number: its own path is waited for\n" << zorlink.Err();
    EXPECT_NE(zorlink.Err().find("zorlink: " + adapter.string() + " did not come back within 1 s"), std::string::npos)
        << zorlink.Err();
    EXPECT_EQ(zorlink.Err().find("again"), std::string::npos) << "nothing is run again:\n" << zorlink.Err();
}

}
