#include "zorkit/platform/serial/internal/NetworkLine.h"

#include <linux/sockios.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <cerrno>

#include "zorkit/platform/serial/internal/Poll.h"

namespace zorkit {
namespace {

using namespace telnet;

constexpr int kLookupMs = 5000;
constexpr int kConnectMs = 5000;
// How long a port server may take to agree to COM-PORT-OPTION or to answer a setting.
constexpr int kAnswerMs = 5000;
// The line errors (overrun, parity, framing, break) and the modem lines CD, DSR, CTS.
constexpr BYTE kLineStateMask = 0x1E;
constexpr BYTE kModemStateMask = 0xB0;

bool Accepted(BYTE option) { return option == OPT_BINARY || option == OPT_SUPPRESS_GO_AHEAD; }

std::vector<BYTE> BigEndian(DWORD value)
{
    return {BYTE(value >> 24), BYTE(value >> 16), BYTE(value >> 8), BYTE(value)};
}

}

std::unique_ptr<CSerialLine> CNetworkLine::Open(const NetworkAddress& address, SerialOpenFailure& failure)
{
    FileDescriptor fd = ConnectWithin(address, kLookupMs, kConnectMs, failure);
    if (!fd.IsValid())
        return nullptr;
    std::unique_ptr<CNetworkLine> line(new CNetworkLine(std::move(fd), address.telnet));
    failure = line->m_telnet ? line->Negotiate() : SerialOpenFailure::None;
    if (failure != SerialOpenFailure::None)
        return nullptr;
    return line;
}

SerialOpenFailure CNetworkLine::Negotiate()
{
    for (BYTE option : {OPT_BINARY, OPT_COM_PORT}) {
        Enqueue(Negotiation(WILL, option));
        m_saidWill[option] = WILL;
    }
    Enqueue(Negotiation(DO, OPT_BINARY));
    m_saidDo[OPT_BINARY] = DO;
    if (!Await([this] { return m_comPortAgreed.has_value(); }, kAnswerMs)) {
        // A server that hangs up at once is serving somebody else; one that stays
        // silent or sends plain bytes speaks no telnet.
        return m_ended ? SerialOpenFailure::Busy : SerialOpenFailure::NotRfc2217Server;
    }
    if (!*m_comPortAgreed)
        return SerialOpenFailure::NotRfc2217Server;
    Enqueue(ComPortCommand(CPO_SET_LINESTATE_MASK, {kLineStateMask}));
    Enqueue(ComPortCommand(CPO_SET_MODEMSTATE_MASK, {kModemStateMask}));
    return SendUnsent() ? SerialOpenFailure::None : SerialOpenFailure::Busy;
}

short CNetworkLine::EndEvents() const { return POLLRDHUP; }

bool CNetworkLine::Receive()
{
    BYTE chunk[2048];
    while (!m_ended) {
        ssize_t got = ::recv(m_fd.Get(), chunk, sizeof chunk, MSG_DONTWAIT);
        if (got > 0) {
            if (!m_telnet) {
                if (!m_dropArrived)
                    m_arrived.insert(m_arrived.end(), chunk, chunk + got);
                continue;
            }
            m_decoder.Feed(chunk, std::size_t(got), m_arrived);
            std::size_t dropped = 0;
            for (auto& event : m_decoder.TakeEvents()) {
                event.dataBefore -= dropped;
                const std::size_t before = m_arrived.size();
                Handle(event);
                dropped += before - m_arrived.size();
            }
            if (m_dropArrived)
                m_arrived.clear();
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return true;
        // 0: the server closed; anything else: the connection broke.
        m_ended = true;
    }
    return false;
}

void CNetworkLine::Handle(const CTelnetDecoder::Event& event)
{
    switch (event.verb) {
    case WILL:
    case WONT:
    case DO:
    case DONT: Answer(event.verb, event.option); break;
    case SB:
        if (event.option == OPT_COM_PORT)
            HandleComPort(event.payload, event.dataBefore);
        break;
    default: break;
    }
}

void CNetworkLine::Answer(BYTE verb, BYTE option)
{
    if (option == OPT_COM_PORT && (verb == DO || verb == DONT)) {
        m_comPortAgreed = verb == DO;
        return;
    }
    // Each answer is given once: repeating it would start a negotiation loop.
    auto answer = [this](std::array<BYTE, 256>& said, BYTE reply, BYTE opt) {
        if (said[opt] != reply) {
            said[opt] = reply;
            Enqueue(Negotiation(reply, opt));
        }
    };
    switch (verb) {
    case WILL: answer(m_saidDo, Accepted(option) ? DO : DONT, option); break;
    case DO: answer(m_saidWill, Accepted(option) ? WILL : WONT, option); break;
    case WONT: answer(m_saidDo, DONT, option); break;
    case DONT: answer(m_saidWill, WONT, option); break;
    default: break;
    }
}

void CNetworkLine::HandleComPort(const std::vector<BYTE>& payload, std::size_t dataBefore)
{
    if (payload.empty() || payload[0] <= kServerOffset)
        return;
    const BYTE command = BYTE(payload[0] - kServerOffset);
    DWORD value = 0;
    for (std::size_t i = 1; i < payload.size() && i <= 4; ++i)
        value = (value << 8) | payload[i];
    if (command == CPO_NOTIFY_LINESTATE && payload.size() >= 2) {
        m_lineState = payload[1];
    } else if (command == CPO_NOTIFY_MODEMSTATE && payload.size() >= 2) {
        m_modemState = payload[1];
    } else if (command < m_replies.size()) {
        m_replies[command] = value;
    }
    // What the server sent before it purged its input is what the purge discards.
    if (command == CPO_PURGE_DATA && m_dropArrived && (value & PURGE_RECEIVE)) {
        m_arrived.erase(m_arrived.begin(), m_arrived.begin() + long(std::min(dataBefore, m_arrived.size())));
        m_dropArrived = false;
    }
}

bool CNetworkLine::ReadWaiting(std::vector<BYTE>& into)
{
    Receive();
    SendUnsent();
    into.insert(into.end(), m_arrived.begin(), m_arrived.end());
    m_arrived.clear();
    return !m_ended;
}

bool CNetworkLine::SendUnsent()
{
    std::size_t sent = 0;
    while (sent < m_unsent.size() && !m_ended) {
        ssize_t put = ::send(m_fd.Get(), m_unsent.data() + sent, m_unsent.size() - sent, MSG_DONTWAIT | MSG_NOSIGNAL);
        if (put > 0)
            sent += std::size_t(put);
        else if (put < 0 && errno == EINTR)
            continue;
        else if (put < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        else
            m_ended = true;
    }
    m_unsent.erase(m_unsent.begin(), m_unsent.begin() + long(sent));
    return !m_ended;
}

long CNetworkLine::WriteSome(const BYTE* data, DWORD n)
{
    if (!SendUnsent())
        return -1;
    if (!m_unsent.empty() || n == 0)
        return 0;
    if (!m_telnet) {
        Enqueue(std::vector<BYTE>(data, data + n));
    } else {
        AppendEscaped(data, n, m_unsent);
    }
    // The socket takes what it has room for; the rest waits in m_unsent, and the
    // port's write waits until it is gone.
    return SendUnsent() ? long(n) : -1;
}

DWORD CNetworkLine::QueuedOutput()
{
    int pending = 0;
    if (::ioctl(m_fd.Get(), SIOCOUTQNSD, &pending) != 0 || pending < 0)
        pending = 0;
    return DWORD(m_unsent.size()) + DWORD(pending);
}

bool CNetworkLine::Await(const std::function<bool()>& done, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        SendUnsent();
        Receive();
        if (done())
            return true;
        if (m_ended)
            return false;
        const int left = Remaining(deadline);
        if (left == 0)
            return false;
        pollfd fds{m_fd.Get(), short(POLLIN | POLLRDHUP | (m_unsent.empty() ? 0 : POLLOUT)), 0};
        PollCancellable(&fds, 1, left);
        if (fds.revents & kLineEndEvents)
            m_ended = true;
    }
}

CSerialPort::SettingsResult CNetworkLine::ApplySettings(DWORD baud, bool baudOnly)
{
    // A raw port runs at the settings of the server's configuration.
    if (!m_telnet)
        return CSerialPort::SettingsResult::Applied;
    struct Setting {
        BYTE command;
        DWORD value;
    };
    std::vector<Setting> settings = {{CPO_SET_BAUDRATE, baud}};
    if (!baudOnly)
        settings.insert(settings.end(), {{CPO_SET_DATASIZE, 8}, {CPO_SET_PARITY, PARITY_NONE}, {CPO_SET_STOPSIZE, STOPSIZE_2}});
    for (const Setting& setting : settings) {
        m_replies[setting.command].reset();
        Enqueue(ComPortCommand(setting.command, setting.command == CPO_SET_BAUDRATE ? BigEndian(setting.value)
                                                                                : std::vector<BYTE>{BYTE(setting.value)}));
    }
    if (!baudOnly)
        Enqueue(ComPortCommand(CPO_SET_CONTROL, {CONTROL_NO_FLOW}));
    const bool answered = Await(
        [&] {
            for (const Setting& setting : settings)
                if (!m_replies[setting.command])
                    return false;
            return true;
        },
        kAnswerMs);
    if (!answered)
        return CSerialPort::SettingsResult::WriteFailed;
    // The server answers with what the port now runs at: another value is a refusal.
    for (const Setting& setting : settings)
        if (*m_replies[setting.command] != setting.value)
            return CSerialPort::SettingsResult::WriteFailed;
    return CSerialPort::SettingsResult::Applied;
}

bool CNetworkLine::SetModemLine(ModemLine line, bool on)
{
    if (!m_telnet)
        return false;
    BYTE control = line == ModemLine::Dtr ? (on ? CONTROL_DTR_ON : CONTROL_DTR_OFF) : (on ? CONTROL_RTS_ON : CONTROL_RTS_OFF);
    Enqueue(ComPortCommand(CPO_SET_CONTROL, {control}));
    return SendUnsent();
}

bool CNetworkLine::Purge(Queue queue, bool& ended)
{
    if (queue == Queue::Input) {
        // Bytes on their way from the server are dropped up to its purge answer; a
        // raw port has no answer, so what has arrived by now is all that goes. A
        // server that never answers only lets bytes sent before the purge through.
        m_dropArrived = true;
        m_arrived.clear();
        if (m_telnet) {
            Enqueue(ComPortCommand(CPO_PURGE_DATA, {PURGE_RECEIVE}));
            Await([this] { return !m_dropArrived; }, kAnswerMs);
        } else {
            Receive();
        }
        m_dropArrived = false;
        m_arrived.clear();
    } else if (m_telnet) {
        // What this side has not sent yet still goes: a command in it may be cut in two.
        Enqueue(ComPortCommand(CPO_PURGE_DATA, {PURGE_TRANSMIT}));
        SendUnsent();
    }
    ended = m_ended;
    return !m_ended;
}

bool CNetworkLine::RemoteStates(BYTE& lineState, BYTE& modemState) const
{
    if (!m_lineState && !m_modemState)
        return false;
    lineState = m_lineState.value_or(0);
    modemState = m_modemState.value_or(0);
    return true;
}

}
