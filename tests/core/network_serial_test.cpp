// Serial ports reached over the network: the telnet byte level, and an open that
// fails with a plain reason when no RFC 2217 server answers.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "zorkit/platform/core/FileDescriptor.h"
#include "zorkit/platform/serial/PortTable.h"
#include "zorkit/platform/serial/SerialPort.h"
#include "zorkit/platform/serial/internal/NetworkConnect.h"
#include "zorkit/platform/serial/internal/TelnetCodec.h"

using Bytes = std::vector<BYTE>;
using zorkit::SerialOpenFailure;
namespace telnet = zorkit::telnet;

namespace {
constexpr int kPort = 11;

// A socket that listens on the loopback address; the kernel takes connections
// into its backlog, so a client connects and then hears nothing.
class SilentListener {
public:
    SilentListener() : m_fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        ::bind(m_fd.Get(), reinterpret_cast<sockaddr*>(&address), size);
        ::listen(m_fd.Get(), 4);
        ::getsockname(m_fd.Get(), reinterpret_cast<sockaddr*>(&address), &size);
        m_port = ntohs(address.sin_port);
    }
    int Port() const { return m_port; }
    // Takes the waiting connection and closes it at once, as a busy server does.
    void HangUpOnNext()
    {
        int client = ::accept(m_fd.Get(), nullptr, nullptr);
        ::close(client);
    }
private:
    zorkit::FileDescriptor m_fd;
    int m_port = 0;
};

SerialOpenFailure OpenFailureOf(const std::string& name)
{
    zorkit::SetSerialPortPath(kPort, name);
    zorkit::CSerialPort port;
    port.Open(kPort);
    zorkit::ResetSerialPortPath(kPort);
    return port.LastOpenFailure();
}

}

TEST(TelnetCodecTest, DataAndCommandsAreToldApartAcrossAnySplit)
{
    // Data with a doubled IAC, a negotiation, a reply carrying an escaped 0xFF, more data.
    const Bytes stream = {0x01, 0xFF, 0xFF, 0x02, 0xFF, 0xFD, 0x2C, 0x03, 0xFF, 0xFA, 0x2C, 0x65,
                          0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xF0, 0x04};
    for (std::size_t split = 0; split <= stream.size(); ++split) {
        telnet::CTelnetDecoder decoder;
        Bytes data;
        decoder.Feed(stream.data(), split, data);
        decoder.Feed(stream.data() + split, stream.size() - split, data);
        EXPECT_EQ(data, (Bytes{0x01, 0xFF, 0x02, 0x03, 0x04})) << "split at " << split;
        auto events = decoder.TakeEvents();
        ASSERT_EQ(events.size(), 2u) << "split at " << split;
        EXPECT_EQ(events[0].verb, telnet::DO);
        EXPECT_EQ(events[0].option, telnet::OPT_COM_PORT);
        EXPECT_EQ(events[1].verb, telnet::SB);
        EXPECT_EQ(events[1].payload, (Bytes{0x65, 0x00, 0x00, 0xFF, 0xFF}));
        EXPECT_EQ(events[0].dataBefore, 3u) << "what came before the negotiation";
        EXPECT_EQ(events[1].dataBefore, 4u) << "what came before the reply";
    }
}

TEST(TelnetCodecTest, OutgoingDataAndCommandValuesDoubleTheirIac)
{
    Bytes out;
    const Bytes data = {0x10, 0xFF, 0x20};
    telnet::AppendEscaped(data.data(), data.size(), out);
    EXPECT_EQ(out, (Bytes{0x10, 0xFF, 0xFF, 0x20}));
    // 65535 baud: the value's 0xFF bytes are doubled inside the subnegotiation.
    EXPECT_EQ(telnet::ComPortCommand(telnet::CPO_SET_BAUDRATE, {0x00, 0x00, 0xFF, 0xFF}),
              (Bytes{0xFF, 0xFA, 0x2C, 0x01, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xF0}));
}

TEST(NetworkNameTest, NamesAreParsedOrRefused)
{
    zorkit::NetworkAddress address;
    ASSERT_TRUE(zorkit::ParseNetworkAddress("rfc2217://lab-pc3:3001", address));
    EXPECT_TRUE(address.telnet);
    EXPECT_EQ(address.host, "lab-pc3");
    EXPECT_EQ(address.port, "3001");
    ASSERT_TRUE(zorkit::ParseNetworkAddress("tcp://[::1]:7000", address));
    EXPECT_FALSE(address.telnet);
    EXPECT_EQ(address.host, "::1");
    for (const char* bad : {"rfc2217://lab-pc3", "rfc2217://:3001", "tcp://host:0", "tcp://host:65536", "tcp://host:30x",
                            "rfc2217://::1:3000", "/dev/ttyUSB0"})
        EXPECT_FALSE(zorkit::ParseNetworkAddress(bad, address)) << bad;
    EXPECT_TRUE(zorkit::IsNetworkSerialName("tcp://x:1"));
    EXPECT_FALSE(zorkit::IsNetworkSerialName("/dev/ttyS0"));
    EXPECT_TRUE(zorkit::SerialDeviceMayBeThere("rfc2217://nowhere:1")) << "only a connect can tell";
    EXPECT_FALSE(zorkit::SerialDeviceMayBeThere("/dev/no-such-adapter"));
}

TEST(NetworkOpenTest, EachRefusalOfAServerHasItsOwnReason)
{
    EXPECT_EQ(OpenFailureOf("rfc2217://no-such-host.invalid:3000"), SerialOpenFailure::NoSuchHost);
    EXPECT_EQ(OpenFailureOf("rfc2217://127.0.0.1"), SerialOpenFailure::NoSuchDevice);

    SilentListener silent;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(OpenFailureOf("rfc2217://127.0.0.1:" + std::to_string(silent.Port())), SerialOpenFailure::NotRfc2217Server);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30)) << "the negotiation has a deadline";
    EXPECT_STREQ(zorkit::DescribeSerialOpenFailure(SerialOpenFailure::NotRfc2217Server), "not an RFC 2217 server");

    // The raw stream has no negotiation: a listener is all it needs.
    zorkit::SetSerialPortPath(kPort, "tcp://127.0.0.1:" + std::to_string(silent.Port()));
    zorkit::CSerialPort raw;
    EXPECT_TRUE(raw.Open(kPort));
    EXPECT_EQ(raw.ApplySettings(9600, false), zorkit::CSerialPort::SettingsResult::Applied);
    BYTE lineState = 0, modemState = 0;
    EXPECT_FALSE(raw.RemoteLineStates(lineState, modemState)) << "a raw stream carries no states";
    zorkit::ResetSerialPortPath(kPort);
}

TEST(NetworkOpenTest, RefusedConnectAndServerThatHangsUpAtOnce)
{
    int port;
    {
        // Once its socket is closed, nothing listens on that port any more.
        SilentListener gone;
        port = gone.Port();
    }
    EXPECT_EQ(OpenFailureOf("rfc2217://127.0.0.1:" + std::to_string(port)), SerialOpenFailure::ConnectionRefused);

    SilentListener busy;
    zorkit::SetSerialPortPath(kPort, "rfc2217://127.0.0.1:" + std::to_string(busy.Port()));
    zorkit::CSerialPort port2;
    std::thread server([&] { busy.HangUpOnNext(); });
    EXPECT_FALSE(port2.Open(kPort));
    server.join();
    EXPECT_EQ(port2.LastOpenFailure(), SerialOpenFailure::Busy) << "a server that hangs up at once serves somebody else";
    zorkit::ResetSerialPortPath(kPort);
}
