// A serial port on a real pseudo-terminal: reads that never wait, waits that
// block without spinning, wake-ups by the event mask, and hang-ups.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>

#include "zorkit/platform/serial/PortTable.h"
#include "zorkit/platform/serial/PseudoTerminal.h"
#include "zorkit/platform/serial/SerialPort.h"
#include "tests/support/TempDir.h"

namespace {
constexpr int kPort = 9;

class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(device.Open()) << device.LastError();
        zorkit::SetSerialPortPath(kPort, device.SlavePath());
        ASSERT_TRUE(port.Open(kPort));
        ASSERT_EQ(port.ApplySettings(9600, false), zorkit::CSerialPort::SettingsResult::Applied);
    }
    void TearDown() override { zorkit::ResetSerialPortPath(kPort); }

    void DeviceSends(std::vector<BYTE> bytes) { ASSERT_EQ(device.Write(bytes.data(), bytes.size(), 1000), bytes.size()); }

    zorkit::CPseudoTerminal device;
    zorkit::CSerialPort port;
};
}

TEST(PortTableTest, IndexMapsToTheFirstSerialPortByDefault)
{
    EXPECT_EQ(zorkit::SerialPortPath(0), "/dev/ttyS0");
    zorkit::SetSerialPortPath(3, "/dev/ttyUSB0");
    EXPECT_EQ(zorkit::SerialPortPath(3), "/dev/ttyUSB0");
    zorkit::ResetSerialPortPath(3);
    EXPECT_EQ(zorkit::SerialPortPath(3), "/dev/ttyS3");
}

TEST_F(SerialPortTest, ReadsTakeOnlyWhatIsWaiting)
{
    BYTE buffer[8] = {};
    EXPECT_EQ(port.Read(buffer, 8), 0) << "nothing waiting: no wait, no bytes";
    DeviceSends({1, 2, 3});
    EXPECT_EQ(port.WaitForInput(3, 2000), 3u);
    EXPECT_EQ(port.QueuedInput(), 3u);
    EXPECT_EQ(port.Read(buffer, 2), 2);
    EXPECT_EQ(port.QueuedInput(), 1u);
    EXPECT_EQ(port.Read(buffer + 2, 8), 1);
    EXPECT_EQ(std::vector<BYTE>(buffer, buffer + 3), (std::vector<BYTE>{1, 2, 3}));
    DeviceSends({4, 5});
    EXPECT_EQ(port.WaitForInput(2, 2000), 2u);
    EXPECT_TRUE(port.PurgeInput());
    EXPECT_EQ(port.QueuedInput(), 0u);
}

TEST_F(SerialPortTest, WaitForInputGivesUpAtItsDeadlineWithWhatArrived)
{
    DeviceSends({9});
    auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(port.WaitForInput(4, 200), 1u);
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(190));
}

TEST_F(SerialPortTest, EventWaitReportsCharactersAndEndsWhenTheMaskChanges)
{
    ASSERT_TRUE(port.SetEventMask(EV_RXCHAR));
    DeviceSends({0xAA});
    DWORD events = 0;
    ASSERT_TRUE(port.WaitEvent(events));
    EXPECT_EQ(events, EV_RXCHAR) << "the waiter's own mask change does not end its wait";
    BYTE b = 0;
    ASSERT_EQ(port.Read(&b, 1), 1);
    EXPECT_EQ(b, 0xAA);

    std::atomic<bool> waiting{false}, returned{false};
    std::thread waiter([&] {
        DWORD seen = 99;
        waiting = true;
        EXPECT_TRUE(port.WaitEvent(seen));
        EXPECT_EQ(seen, 0u);
        returned = true;
    });
    while (!waiting)
        std::this_thread::yield();
    std::clock_t cpu = std::clock();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(returned) << "nothing arrived: the wait must still block";
    EXPECT_LT(double(std::clock() - cpu) / CLOCKS_PER_SEC, 0.1) << "a blocked wait must not spin";
    port.SetEventMask(EV_RXCHAR);
    waiter.join();
    EXPECT_TRUE(returned);
}

TEST_F(SerialPortTest, AnotherThreadsChangeBeforeTheWaitEndsItUnlessForgotten)
{
    ASSERT_TRUE(port.SetEventMask(EV_RXCHAR));
    // A stop request that comes between a worker's last look at its flags and its
    // wait: the wait must still end, or the worker would never see the request.
    std::thread([&] { port.SetEventMask(EV_RXCHAR); }).join();
    DeviceSends({0x11});
    DWORD events = 99;
    ASSERT_TRUE(port.WaitEvent(events));
    EXPECT_EQ(events, 0u);
    ASSERT_TRUE(port.WaitEvent(events));
    EXPECT_EQ(events, EV_RXCHAR) << "the change is taken once";

    // Changes made for an earlier worker do not reach the next one.
    BYTE b = 0;
    ASSERT_EQ(port.Read(&b, 1), 1);
    std::thread([&] { port.SetEventMask(EV_RXCHAR); }).join();
    port.SetEventMask(EV_RXCHAR);
    port.ForgetMaskChanges();
    DeviceSends({0x22});
    ASSERT_TRUE(port.WaitEvent(events));
    EXPECT_EQ(events, EV_RXCHAR);

    // Mixed with the waiter's own change, another thread's change still counts.
    ASSERT_EQ(port.Read(&b, 1), 1);
    port.SetEventMask(EV_RXCHAR);
    std::thread([&] { port.SetEventMask(EV_RXCHAR); }).join();
    DeviceSends({0x33});
    ASSERT_TRUE(port.WaitEvent(events));
    EXPECT_EQ(events, 0u);
}

TEST_F(SerialPortTest, HangUpFailsEveryWaitAndWrite)
{
    ASSERT_TRUE(port.SetEventMask(EV_RXCHAR));
    std::thread hangUp([&] { device.HangUp(); });
    DWORD events = 0;
    // Drain a possible stale wake-up, then the hang-up must end the wait with a failure.
    bool first = port.WaitEvent(events);
    hangUp.join();
    if (first) {
        EXPECT_FALSE(port.WaitEvent(events));
    }
    EXPECT_TRUE(port.IsHungUp());
    EXPECT_FALSE(port.WaitEvent(events)) << "and every later wait fails at once";
    BYTE b = 0x55;
    EXPECT_EQ(port.Write(&b, 1), -1);
}

TEST_F(SerialPortTest, APurgeOfALineThatHungUpBeforeAnyWaitMarksTheHangUp)
{
    device.HangUp();
    EXPECT_FALSE(port.PurgeInput());
    EXPECT_TRUE(port.IsHungUp()) << "a watcher that starts with a purge must learn that the line is gone";
    EXPECT_FALSE(port.PurgeOutput());
}

TEST_F(SerialPortTest, PortIsExclusive)
{
    zorkit::CSerialPort second;
    EXPECT_FALSE(second.Open(kPort));
    EXPECT_EQ(second.LastOpenFailure(), zorkit::SerialOpenFailure::Busy);
    EXPECT_TRUE(port.Close());
    EXPECT_FALSE(port.Close()) << "closing a closed port fails";
    EXPECT_TRUE(second.Open(kPort)) << "a closed port can be opened again";
}

namespace {
// Opens `path` as a port; the reason it failed (None when it opened).
zorkit::SerialOpenFailure OpenFailureOf(const std::string& path)
{
    zorkit::SetSerialPortPath(kPort, path);
    zorkit::CSerialPort port;
    bool opened = port.Open(kPort);
    zorkit::ResetSerialPortPath(kPort);
    EXPECT_EQ(opened, port.LastOpenFailure() == zorkit::SerialOpenFailure::None) << path;
    return port.LastOpenFailure();
}
}

TEST(SerialPortOpenTest, EachRefusalHasItsOwnReason)
{
    using zorkit::SerialOpenFailure;
    TempDir scratch;
    zorkit::CPseudoTerminal line;
    ASSERT_TRUE(line.Open()) << line.LastError();
    struct Case {
        std::string path;
        SerialOpenFailure expected;
    } cases[] = {
        {scratch.File("no-such-device"), SerialOpenFailure::NoSuchDevice},
        {scratch.File("no-such-dir/ttyUSB0"), SerialOpenFailure::NoSuchDevice},
        {"/dev/null", SerialOpenFailure::NotATerminal},
        {scratch.Write("plain-file", "not a line"), SerialOpenFailure::NotATerminal},
        {scratch.Path().string(), SerialOpenFailure::NotATerminal},
        {line.SlavePath(), SerialOpenFailure::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OpenFailureOf(c.path), c.expected) << c.path;
    EXPECT_STREQ(zorkit::DescribeSerialOpenFailure(SerialOpenFailure::NotATerminal), "not a serial device");
}

TEST(SerialPortOpenTest, DeviceTheUserMayNotOpenIsPermissionDenied)
{
    zorkit::CPseudoTerminal line;
    ASSERT_TRUE(line.Open()) << line.LastError();
    ASSERT_EQ(::chmod(line.SlavePath().c_str(), 0600), 0);
    if (::geteuid() != 0) {
        EXPECT_EQ(OpenFailureOf(line.SlavePath()), zorkit::SerialOpenFailure::PermissionDenied);
        return;
    }
    // Root opens everything: an unprivileged child meets the device as a user outside its group would.
    zorkit::SetSerialPortPath(kPort, line.SlavePath());
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(100);
        zorkit::CSerialPort port;
        ::_exit(port.Open(kPort) ? 101 : int(port.LastOpenFailure()));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    zorkit::ResetSerialPortPath(kPort);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_NE(WEXITSTATUS(status), 100) << "the child could not give up root";
    EXPECT_EQ(WEXITSTATUS(status), int(zorkit::SerialOpenFailure::PermissionDenied));
}
