// A serial line a port server carries over TCP: rfc2217://HOST:PORT speaks telnet
// with COM-PORT-OPTION (RFC 2217), so the line's settings, DTR, RTS and purges
// reach the remote port; tcp://HOST:PORT is the bare byte stream of a raw port,
// whose settings are fixed in the server's configuration.
#pragma once

#include <array>
#include <chrono>
#include <functional>
#include <optional>

#include "zorkit/platform/core/FileDescriptor.h"
#include "zorkit/platform/serial/internal/NetworkConnect.h"
#include "zorkit/platform/serial/internal/SerialLine.h"
#include "zorkit/platform/serial/internal/TelnetCodec.h"

namespace zorkit {

class CNetworkLine : public CSerialLine {
public:
    // Connects and, for rfc2217://, negotiates; null with `failure` set when it cannot.
    static std::unique_ptr<CSerialLine> Open(const NetworkAddress& address, SerialOpenFailure& failure);

    int Fd() const override { return m_fd.Get(); }
    short EndEvents() const override;
    bool ReadWaiting(std::vector<BYTE>& into) override;
    long WriteSome(const BYTE* data, DWORD n) override;
    std::size_t Unsent() const override { return m_unsent.size(); }
    DWORD QueuedOutput() override;
    CSerialPort::SettingsResult ApplySettings(DWORD baud, bool baudOnly) override;
    bool SetModemLine(ModemLine line, bool on) override;
    bool Purge(Queue queue, bool& ended) override;
    bool Close() override { return m_fd.Reset(); }
    bool RemoteStates(BYTE& lineState, BYTE& modemState) const override;

private:
    CNetworkLine(FileDescriptor fd, bool telnet) : m_fd(std::move(fd)), m_telnet(telnet) {}

    // Asks for binary both ways and COM-PORT-OPTION and waits for the answer.
    SerialOpenFailure Negotiate();
    // Takes in what the socket holds; false once the server has closed.
    bool Receive();
    void Handle(const telnet::CTelnetDecoder::Event& event);
    void Answer(BYTE verb, BYTE option);
    void HandleComPort(const std::vector<BYTE>& payload, std::size_t dataBefore);
    void Enqueue(const std::vector<BYTE>& bytes) { m_unsent.insert(m_unsent.end(), bytes.begin(), bytes.end()); }
    // Sends what it can of the queued bytes without waiting; false once the line ended.
    bool SendUnsent();
    // Sends the queued bytes and takes in the server's until `done` holds; false when
    // the line ends or `timeoutMs` pass first.
    bool Await(const std::function<bool()>& done, int timeoutMs);

    FileDescriptor m_fd;
    bool m_telnet;
    bool m_ended = false;
    telnet::CTelnetDecoder m_decoder;
    std::vector<BYTE> m_arrived; // data bytes received, not yet handed to the port
    std::vector<BYTE> m_unsent;  // encoded bytes the socket has not taken yet
    // What this side last said about each option: 0 nothing, else the verb.
    std::array<BYTE, 256> m_saidWill{};
    std::array<BYTE, 256> m_saidDo{};
    std::optional<bool> m_comPortAgreed;
    // The server's answers to the commands under way; reset before each is sent.
    std::array<std::optional<DWORD>, 16> m_replies;
    bool m_dropArrived = false; // a purge of the input is under way
    std::optional<BYTE> m_lineState;
    std::optional<BYTE> m_modemState;
};

}
