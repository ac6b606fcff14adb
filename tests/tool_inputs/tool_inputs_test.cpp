// Every tool fed the inputs a new user tries, good and bad: each ends with the exit
// status it owes and says why in plain words; none crashes, hangs or succeeds wrongly.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "zorkit/platform/serial/PortTable.h"
#include "zorkit/platform/serial/SerialPort.h"
#include "sim/VirtualBoard.h"
#include "tests/support/TempDir.h"

namespace {

using zorkit::sim::MemorySpace;

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

// One input: the command line (with {board}, {dir} and the tools' names replaced),
// the exit status it deserves and texts its stderr and stdout must hold, in order.
struct Input {
    std::string command;
    int status;
    std::vector<std::string> err;
    std::vector<std::string> out = {};
};

class ToolInputsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(board.Start()) << board.LastError();
        ::setenv("ZORKIT_LOG_DIR", logs.Path().c_str(), 1);
        // Without a display, as on a build machine, and in English, whatever language
        // the machine's user reads.
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        ::setenv("LANGUAGE", "en", 1);
        ::setenv("LC_ALL", "C", 1);
    }

    std::string Expand(std::string text) const
    {
        const std::pair<std::string, std::string> names[] = {
            {"{board}", board.SlavePath()}, {"{dir}", dir.string()},     {"zorlink ", std::string(ZORLINK_PATH) + " "},
            {"zordis ", std::string(ZORDIS_PATH) + " "},                  {"zorsim ", std::string(ZORSIM_PATH) + " "},
            {"zorstudio ", std::string(ZORSTUDIO_PATH) + " "},             {"listingshot ", std::string(LISTINGSHOT_PATH) + " "},
        };
        // A tool named last, without arguments, is found too.
        text += ' ';
        for (const auto& [name, value] : names)
            for (std::size_t at = 0; (at = text.find(name, at)) != std::string::npos; at += value.size())
                text.replace(at, name.size(), value);
        text.pop_back();
        return text;
    }

    ToolRun Run(const std::string& command, const std::string& input = "")
    {
        std::ofstream(dir / "stdin") << input;
        const std::string line = "( " + Expand(command) + " ) <" + (dir / "stdin").string() + " >" +
                                 (dir / "stdout").string() + " 2>" + (dir / "stderr").string();
        const int raw = std::system(line.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(dir / "stdout"), Slurp(dir / "stderr")};
    }

    static std::string Slurp(const std::filesystem::path& path)
    {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // Each text is found after the one before it.
    static void ExpectInOrder(const std::string& all, const std::vector<std::string>& texts, const char* stream)
    {
        std::size_t at = 0;
        for (const std::string& text : texts) {
            std::size_t found = all.find(text, at);
            EXPECT_NE(found, std::string::npos) << stream << " lacks \"" << text << "\" (in order):\n" << all;
            if (found != std::string::npos)
                at = found + text.size();
        }
    }

    void Check(const std::vector<Input>& inputs)
    {
        for (const Input& input : inputs) {
            SCOPED_TRACE(input.command);
            ToolRun run = Run(input.command);
            EXPECT_EQ(run.status, input.status) << run.err;
            ExpectInOrder(run.err, input.err, "stderr");
            ExpectInOrder(run.out, input.out, "stdout");
        }
    }

    zorkit::sim::CVirtualBoard board;
    TempDir scratch;
    TempDir logs;
    const std::filesystem::path& dir = scratch.Path();
};

const char kHexProgram[] = ":03010000759055A2\n:00000001FF\n";
const char kLibraryNotOpened[] = "无法正确打开串口设备，请检查串口1是否正被其他应用程序使用！";
const char kLibrarySystemError[] = "由于严重系统调用错误，无法正确打开串口设备！";

}

TEST_F(ToolInputsTest, DevicesThatDoNotOpenAreNamedWithTheirReasonAndAHint)
{
    scratch.Write("plain-file", "text");
    Check({
        {"zorlink -d {dir}/ttyUSB9 connect", 1,
         {"cannot open " + dir.string() + "/ttyUSB9: no such device", "ls /dev/serial/by-id/", kLibraryNotOpened}},
        {"zorlink -d /dev/null connect", 1,
         {"cannot open /dev/null: not a serial device", "zorlink ports", kLibrarySystemError}},
        {"zorlink -d {dir}/plain-file read ext 0 1", 1, {"plain-file: not a serial device"}},
        {"zorlink -d {dir} connect", 1, {"not a serial device"}},
    });
    // Another program holding the line.
    zorkit::SetSerialPortPath(7, board.SlavePath());
    zorkit::CSerialPort holder;
    ASSERT_TRUE(holder.Open(7));
    Check({{"zorlink -d {board} connect", 1,
            {"cannot open " + board.SlavePath() + ": in use by another program", "another program holds it",
             kLibraryNotOpened}}});
    holder.Close();
    zorkit::ResetSerialPortPath(7);
}

TEST_F(ToolInputsTest, DeviceTheUserMayNotOpenSaysHowToJoinDialout)
{
    ASSERT_EQ(::chmod(board.SlavePath().c_str(), 0600), 0);
    std::string asUser;
    if (::geteuid() == 0) {
        if (std::system("setpriv --version >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "running as root without setpriv: no way to meet a device as a plain user";
        asUser = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    }
    std::filesystem::permissions(dir, std::filesystem::perms::all);
    Check({{asUser + "zorlink --log-dir {dir} -d {board} connect", 1,
            {"cannot open " + board.SlavePath() + ": permission denied", "sudo usermod -aG dialout $USER"}}});
}

TEST_F(ToolInputsTest, ZorlinkRefusesWrongResultsAndBadPathsBeforeTheWork)
{
    scratch.Write("plain-file", "text");
    scratch.Write("empty.bin", "");
    Check({
        {"zorlink -d {board} read ext 0xFFFF 300", 2, {"ext FFFF-1012A runs past FFFF"}},
        {"zorlink -d {board} write ext 0xFFFF 1 2 3", 2, {"ext FFFF-10001 runs past FFFF"}},
        {"zorlink -d {board} read int F0 17", 2, {"int F0-100 runs past FF"}},
        {"zorlink -d {board} write int FF 1 2", 2, {"int FF-100 runs past FF"}},
        {"zorlink -d {board} control temp --kp nan", 2, {"--kp needs a finite number, not nan"}},
        {"zorlink -d {board} control temp --ki inf", 2, {"--ki needs a finite number, not inf"}},
        {"zorlink -d {board} control temp --kd 1e309", 2, {"--kd needs a finite number, not 1e309"}},
        {"zorlink -d {board} control speed --kp 1e39", 2, {"--kp needs a finite number, not 1e39"}},
        {"zorlink -d {board} control temp --target 60.5", 2, {"the target is a whole number, not 60.5"}},
        {"zorlink -d {board} control temp --png {dir}/absent/run.png", 1, {"cannot write " + dir.string() + "/absent/run.png"}},
        {"zorlink -d {board} control temp --csv {dir}", 1, {"it is a directory"}},
        {"zorlink -d {board} load {dir}", 1, {"is a directory, not a program file"}},
        {"zorlink -d {board} load /dev/zero", 1, {"/dev/zero: is not a regular file or a pipe"}},
        {"zorlink -d {board} load /dev/null", 1, {"/dev/null: is not a regular file or a pipe"}},
        {"zorlink -d {board} load {dir}/empty.bin", 1, {"empty.bin: holds no program bytes to load"}},
        {"zorlink -d {board} script {dir}", 1, {"is a directory, not a file of commands"}},
        {"zorlink -d {board} script - <{dir}", 1, {"script on standard input is a directory"}},
        {"zorlink -d {board} wait 1.5", 2, {"SECONDS is a decimal whole number"}},
        {"zorlink -d {board} --log-dir {dir}/plain-file/logs connect", 1, {"--log-dir: cannot create the directory"}},
        {"zorlink -d {board} load --format text {dir}/plain-file", 2, {"--format takes hex or bin"}},
    });
    EXPECT_TRUE(board.WireLog().Received().empty()) << "no input above reached the board before it was refused";
}

TEST_F(ToolInputsTest, OneNumberConventionAddressesAndBytesHexCountsDecimal)
{
    board.WriteMemory(MemorySpace::External, 0x0100, {0xA1, 0xA2});
    Check({
        {"zorlink -d {board} read ext 100 2", 0, {}, {"0100: A1 A2\n"}},
        {"zorlink -d {board} read ext 100H 2", 0, {}, {"0100: A1 A2\n"}},
        {"zorlink -d {board} read ext 0x100 2", 0, {}, {"0100: A1 A2\n"}},
        {"zorlink -d {board} write ext 8000 12 3FH 0x40", 0, {}},
        {"zorlink -d {board} read ext 100 x", 2, {"read: ", "COUNT decimal", "(usage: read ext|int ADDR COUNT)"}},
        {"zorlink -d {board} read ext 1G 2", 2, {"ADDR hexadecimal"}},
    });
    EXPECT_EQ(board.ReadMemory(MemorySpace::External, 0x8000, 3), (std::vector<BYTE>{0x12, 0x3F, 0x40}));
    // The synopsis is said once, whatever was wrong with the arguments.
    for (const char* command : {"read ext 100 x", "read ext 100", "write ext 1G 1", "write ext 100", "regs 1G",
                                "load", "load {dir} 1G"}) {
        ToolRun wrong = Run(std::string("zorlink -d {board} ") + command);
        EXPECT_EQ(wrong.status, 2) << command << ": " << wrong.err;
        const std::string synopsis = std::string(command).substr(0, std::string(command).find(' ')) + " ";
        std::size_t first = wrong.err.find("(usage: " + synopsis);
        EXPECT_NE(first, std::string::npos) << command << ": " << wrong.err;
        EXPECT_EQ(wrong.err.find(synopsis, wrong.err.find(": ") + 2), first + 8)
            << command << ": the synopsis is said more than once:\n" << wrong.err;
    }
    ToolRun script = Run("zorlink -d {board} script -", "read ext 100 2   # the first two bytes\n# a comment line\n");
    EXPECT_EQ(script.status, 0) << script.err;
    EXPECT_EQ(script.out, "0100: A1 A2\n");
    for (const char* tool : {"zorlink", "zordis", "zorsim", "zorstudio"}) {
        ToolRun help = Run(std::string(tool) + " --help");
        EXPECT_EQ(help.status, 0) << tool;
        EXPECT_NE(help.out.find("hexadecimal"), std::string::npos) << tool << " --help names the convention";
        EXPECT_NE(help.out.find("decimal"), std::string::npos) << tool;
    }
}

TEST_F(ToolInputsTest, IntelHexIsToldByItsContentUnlessTheFormatIsForced)
{
    scratch.Write("program.txt", kHexProgram);
    scratch.Write("code.bin", std::string("\x02\x01\x00", 3));
    Check({
        {"zorlink -d {board} load {dir}/program.txt", 0, {}},
        {"zorlink -d {board} load --format bin {dir}/program.txt", 0, {}},
        {"zorlink -d {board} load --format hex {dir}/code.bin", 1, {"code.bin:1: record does not start with ':'"}},
        {"zorlink -d {board} load {dir}/program.txt 2000", 2, {"carries its own addresses"}},
        {"zordis {dir}/program.txt", 0, {}, {"0100"}},
        {"zordis --format bin {dir}/program.txt", 0, {}, {"0000"}},
        {"zordis --format hex {dir}/code.bin", 1, {"record does not start with ':'"}},
        {"zordis --format elf {dir}/code.bin", 2, {"--format takes hex or bin"}},
    });
    EXPECT_EQ(board.ReadMemory(MemorySpace::Code, 0x0100, 3), (std::vector<BYTE>{0x75, 0x90, 0x55}));
    EXPECT_EQ(board.ReadMemory(MemorySpace::Code, 0x1100, 3), (std::vector<BYTE>{':', '0', '3'}))
        << "--format bin loads the text itself at 1100";
}

TEST_F(ToolInputsTest, ZordisReadsOnlyWhatCanBeListed)
{
    std::filesystem::resize_file(scratch.Write("huge.bin", ""), 100u << 20);
    std::filesystem::resize_file(scratch.Write("big.bin", ""), 0x10001);
    scratch.Write("code.bin", std::string("\x02\x01\x00", 3));
    Check({
        {"zordis /dev/zero", 1, {"/dev/zero: is not a regular file or a pipe"}},
        {"zordis /dev/urandom", 1, {"/dev/urandom: is not a regular file or a pipe"}},
        {"zordis {dir}", 1, {"is a directory"}},
        {"zordis {dir}/huge.bin", 1, {"104857600 bytes is far too big"}},
        {"zordis {dir}/big.bin", 1, {"65537 bytes at 0000H run past the 64 KB code space"}},
        {"zordis --start 100 {dir}/big.bin", 1, {"run past the 64 KB code space"}},
        {"cat {dir}/code.bin | zordis /dev/stdin", 0, {}, {"0000"}},
        {"head -c 2000000 /dev/zero | zordis /dev/stdin", 1, {"far too big"}},
    });
}

TEST_F(ToolInputsTest, ZorlinkSaysWhatTheBoardDoes)
{
    Check({
        {"zorlink -d {board} -c 8086 connect", 1, {"the board carries an Intel 8051, not the Intel 8086 expected"}},
        {"zorlink -d {board} control temp --timeout 1", 1,
         {"waiting for the board's first sample on " + board.SlavePath() + "...", "no sample from the board within 1 s"}},
    });
    scratch.Write("code.bin", std::string(640, '\0'));
    ToolRun load = Run("zorlink -d {board} load {dir}/code.bin");
    EXPECT_EQ(load.status, 0) << load.err;
    ExpectInOrder(load.err, {"load: 0% (0 of 640 bytes)", "load: 50%", "load: 100% (640 of 640 bytes)"}, "stderr");
    EXPECT_EQ(std::count(load.err.begin(), load.err.end(), '\n'), 11) << "a line per tenth:\n" << load.err;

    zorkit::sim::CMonitorTimings slow;
    slow.stopDelay = std::chrono::minutes(10);
    board.SetTimings(slow);
    ToolRun wait = Run("zorlink -d {board} script -", "break 0200\nrun 0100\nwait 1\n");
    EXPECT_EQ(wait.status, 1);
    EXPECT_NE(wait.err.find("wait: still running after 1 s"), std::string::npos) << wait.err;
}

TEST_F(ToolInputsTest, CtrlCWhileWaitingForTheFirstSampleEndsAtOnce)
{
    const std::string err = (dir / "control.err").string();
    const std::string line = board.SlavePath();
    pid_t zorlink = ::fork();
    ASSERT_GE(zorlink, 0);
    if (zorlink == 0) {
        int to = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (to < 0 || ::dup2(to, 2) < 0)
            ::_exit(126);
        // A time-out far beyond the test's patience: only the interrupt can end this wait.
        ::execl(ZORLINK_PATH, "zorlink", "-d", line.c_str(), "control", "temp", "--timeout", "86400",
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (Slurp(err).find("waiting for the board's first sample") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ::kill(zorlink, SIGINT);
    int status = 0;
    ASSERT_EQ(::waitpid(zorlink, &status, 0), zorlink);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by a signal, not by its own hand";
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(Slurp(err).find("control: stopped before the board sent a sample"), std::string::npos) << Slurp(err);
}

TEST_F(ToolInputsTest, LoadOnATerminalShowsTheRateAndTheTimeLeft)
{
    scratch.Write("code.bin", std::string(1024, '\x11'));
    const std::string line = board.SlavePath();
    const std::string program = (dir / "code.bin").string();
    int terminal = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(terminal, 0);
    ASSERT_EQ(::grantpt(terminal), 0);
    ASSERT_EQ(::unlockpt(terminal), 0);
    const std::string screen = ::ptsname(terminal);
    pid_t zorlink = ::fork();
    ASSERT_GE(zorlink, 0);
    if (zorlink == 0) {
        int tty = ::open(screen.c_str(), O_RDWR | O_NOCTTY);
        if (tty < 0 || ::dup2(tty, 2) < 0)
            ::_exit(126);
        ::execl(ZORLINK_PATH, "zorlink", "-d", line.c_str(), "load", program.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    std::string shown;
    int status = 0;
    // Read the screen until zorlink has ended and nothing is left to read.
    for (bool ended = false;;) {
        pollfd ready{terminal, POLLIN, 0};
        char chunk[512];
        ssize_t n = ::poll(&ready, 1, 100) > 0 ? ::read(terminal, chunk, sizeof chunk) : 0;
        if (n > 0)
            shown.append(chunk, std::size_t(n));
        else if (ended)
            break;
        else
            ended = ::waitpid(zorlink, &status, WNOHANG) == zorlink;
    }
    ::close(terminal);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << shown;
    EXPECT_EQ(board.ReadMemory(MemorySpace::Code, 0x1100 + 1023, 1), std::vector<BYTE>{0x11});
    ExpectInOrder(shown, {"\rload [", "] 100%", " B/s, 0 s left"}, "the terminal");
    EXPECT_EQ(shown.find("(0 of 1024 bytes)"), std::string::npos) << "no line per tenth on a terminal";
}

TEST_F(ToolInputsTest, RunWithoutBreakpointsSaysHowToGetTheBoardBack)
{
    Check({{"zorlink -d {board} run 0100", 0, {"runs the program freely", "await-reset"}}});
}

TEST_F(ToolInputsTest, PortsListsDevicesAndWarnsOfProgramsThatGrabThem)
{
    ToolRun ports = Run("zorlink ports");
    EXPECT_EQ(ports.status, 0) << ports.err;
    EXPECT_TRUE(ports.out.find("/dev/tty") != std::string::npos || ports.out.find("no serial devices found") != std::string::npos)
        << ports.out;
    // A program by the name of a known grabber.
    std::filesystem::copy_file("/bin/sleep", dir / "brltty");
    pid_t grabber = ::fork();
    ASSERT_GE(grabber, 0);
    if (grabber == 0) {
        const std::string path = (dir / "brltty").string();
        ::execl(path.c_str(), "brltty", "600", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // Until the child has become the grabber, /proc shows it by the test's name.
    const auto comm = std::filesystem::path("/proc") / std::to_string(grabber) / "comm";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (Slurp(comm) != "brltty\n" && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ports = Run("zorlink ports");
    ::kill(grabber, SIGKILL);
    ::waitpid(grabber, nullptr, 0);
    EXPECT_EQ(ports.status, 0);
    EXPECT_NE(ports.err.find("warning: brltty is running"), std::string::npos) << ports.err;
}

TEST_F(ToolInputsTest, ListingshotWritesItsPictureOrSaysWhyNot)
{
    scratch.Write("plain-file", "text");
    Check({
        {"listingshot {dir}/absent/listing.png", 1, {"listingshot: cannot write " + dir.string() + "/absent/listing.png: No such file or directory"}},
        {"listingshot {dir}", 1, {"listingshot: cannot write " + dir.string() + ": it is a directory"}},
        {"listingshot {dir}/plain-file/listing.png", 1, {"cannot write", "Not a directory"}},
        {"listingshot", 2, {"Usage: listingshot PNG"}},
        {"listingshot {dir}/a.png {dir}/b.png", 2, {"Usage: listingshot PNG"}},
        {"listingshot --width 3 {dir}/a.png", 2, {"Usage: listingshot PNG"}},
        {"listingshot --help", 0, {}, {"Usage: listingshot PNG"}},
        {"listingshot {dir}/listing.png", 0, {}},
    });
    EXPECT_FALSE(std::filesystem::exists(dir / "a.png")) << "a usage error writes nothing";
    const std::string png = Slurp(dir / "listing.png");
    EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8)) << "the picture is a PNG file";

    // The listing marks line 4 as the current one (the arrow in the margin) and line 9
    // as a breakpoint (red from the margin to the right edge).
    cairo_surface_t* picture = cairo_image_surface_create_from_png((dir / "listing.png").c_str());
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> owner(picture, cairo_surface_destroy);
    ASSERT_EQ(cairo_surface_status(picture), CAIRO_STATUS_SUCCESS);
    const int width = cairo_image_surface_get_width(picture);
    const int height = cairo_image_surface_get_height(picture);
    const int stride = cairo_image_surface_get_stride(picture);
    const unsigned char* data = cairo_image_surface_get_data(picture);
    auto rgb = [&](int x, int y) {
        std::uint32_t pixel;
        std::memcpy(&pixel, data + std::size_t(y) * std::size_t(stride) + std::size_t(x) * 4, 4);
        return pixel & 0xFFFFFFu;
    };
    constexpr std::uint32_t kRed = 0xFF0000u;
    constexpr int kMargin = 20;
    // The picture has the view's scroll bars at its right and bottom edges.
    auto redRun = [&](int y) {
        int x = kMargin;
        while (x < width && rgb(x, y) == kRed)
            ++x;
        return x - kMargin;
    };
    // White text crosses the red in the band's middle rows.
    auto redCount = [&](int y) {
        int count = 0;
        for (int x = kMargin; x < width; ++x)
            count += rgb(x, y) == kRed;
        return count;
    };
    int redTop = -1, redBottom = -1;
    for (int y = 0; y < height; ++y)
        if (redCount(y) > width / 2) {
            if (redTop < 0)
                redTop = y;
            EXPECT_EQ(redBottom, y == redTop ? -1 : y) << "one unbroken red band";
            redBottom = y + 1;
        }
    ASSERT_GT(redTop, 0) << "a red band from the margin rightwards";
    const int lineHeight = redBottom - redTop;
    EXPECT_EQ(redTop, 9 * lineHeight) << "the band is the tenth line, one line tall";
    EXPECT_GT(redRun(redTop), width - kMargin - 24) << "above the text, red all the way to the scroll bar";
    // A margin without a mark is one colour; the arrow's line has other pixels in it.
    const std::uint32_t margin = rgb(1, 3 * lineHeight + 1);
    auto marked = [&](int line) {
        int count = 0;
        for (int y = line * lineHeight; y < (line + 1) * lineHeight; ++y)
            for (int x = 0; x < kMargin; ++x)
                count += rgb(x, y) != margin;
        return count;
    };
    EXPECT_EQ(marked(3), 0) << "a plain margin above the current line";
    EXPECT_EQ(marked(5), 0) << "and below it";
    EXPECT_GT(marked(4), 20) << "the arrow on the current line";
    EXPECT_GT(marked(9), 20) << "the breakpoint's mark";
    EXPECT_EQ(redCount(4 * lineHeight + 1), 0) << "the current line keeps the normal colours";
}

TEST_F(ToolInputsTest, ZorsimAndZorstudioFollowTheSameRules)
{
    Check({
        {"zorsim --fault wrong-ack=300", 2, {"wrong-ack needs a byte"}},
        {"zorsim --fault wrong-ack=3CH --help", 0, {}, {"hexadecimal"}},
        {"zorstudio --no-window --png {dir}/absent/run.png", 1, {"cannot write " + dir.string() + "/absent/run.png"}},
        {"zorstudio --target 60.5", 2, {"--target takes a whole number"}},
    });
}
