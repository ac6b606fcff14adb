#include "tools/zorlink/Session.h"

#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/core/MessageBox.h"
#include "zorkit/platform/serial/PortTable.h"
#include "tools/common/LinkFailure.h"
#include "tools/common/SerialDevices.h"

namespace zorlink {

namespace {

// What a user can do about a port that would not open.
std::string OpenHint(zorkit::SerialOpenFailure why, int baud)
{
    using zorkit::SerialOpenFailure;
    switch (why) {
    case SerialOpenFailure::NoSuchDevice:
        return "the serial devices are listed by 'zorlink ports' and 'ls /dev/serial/by-id/'; pick one with -d";
    case SerialOpenFailure::PermissionDenied:
        return "join the dialout group: sudo usermod -aG dialout $USER, then log in again";
    case SerialOpenFailure::Busy:
        return "another program holds it (a terminal program, another zorlink, ModemManager); end it and try again";
    case SerialOpenFailure::NotATerminal:
        return "give a serial device with -d ('zorlink ports' lists them) or the path zorsim prints";
    case SerialOpenFailure::SettingsRefused:
        return "the device does not take " + std::to_string(baud) + " baud, 8 data bits, 2 stop bits";
    case SerialOpenFailure::NoSuchHost: return "check the host name in the device name, or give the host's address";
    case SerialOpenFailure::ConnectionRefused:
        return "nothing serves that port: is ser2net running on that host, and does its configuration name the port?";
    case SerialOpenFailure::HostUnreachable:
        return "the host does not answer: check its address and the network (a lab's boxes need the lab's network)";
    case SerialOpenFailure::NotRfc2217Server:
        return "the server speaks no RFC 2217 there: give tcp://HOST:PORT for a raw port, or use telnet(rfc2217) in ser2net's accepter";
    case SerialOpenFailure::None:
    case SerialOpenFailure::SystemError: break;
    }
    return "";
}

}

const char* CpuName(CZORComm::ZORTYPE type)
{
    switch (type) {
    case CZORComm::CPU_8051: return "Intel 8051";
    case CZORComm::CPU_8086: return "Intel 8086";
    case CZORComm::CPU_8098: return "Intel 8098";
    default: return "unknown";
    }
}

CLinkSession::CLinkSession(LinkOptions options)
    : m_options(std::move(options)), m_sink([this](UINT message, WPARAM, LPARAM) {
          if (message == WM_TARGET_STOPPED)
              ++m_stops;
          return LRESULT(0);
      })
{
    if (!m_options.device.empty())
        zorkit::SetSerialPortPath(m_options.port, m_options.device);
    if (!m_options.logDirectory.empty())
        CCommPort::SetLogDirectory(m_options.logDirectory);
    // Found while the device is there: its by-id name goes with it when it is pulled out.
    if (m_options.reconnect)
        m_stableName = StableSerialName(DevicePath(), SerialByIdDirectory());
    // The library's boxes follow zorlink's own English line; the worker may show one too.
    zorkit::SetMessageBoxPresenter([this](const zorkit::MessageBoxRecord& box) {
        std::lock_guard<std::mutex> hold(m_boxesLock);
        m_boxes.push_back(zorkit::Utf8FromGbk(box.text));
        return zorkit::DefaultMessageBoxAnswer(box.type);
    });
}

CLinkSession::~CLinkSession()
{
    m_link.reset();
    zorkit::SetMessageBoxPresenter({});
}

std::string CLinkSession::DevicePath() const { return zorkit::SerialPortPath(m_options.port); }

CZORComm* CLinkSession::Link()
{
    if (!m_link) {
        m_link = std::make_unique<CZORComm>(m_options.cpu, m_options.port, m_options.baudIndex);
        m_link->SetAckWnd(m_sink.GetSafeHwnd());
    }
    if (!m_link->IsActive()) {
        zorkit::SerialOpenFailure why = m_link->GetLastOpenFailure();
        m_error = "cannot open " + DevicePath() + ": " + zorkit::DescribeSerialOpenFailure(why);
        std::string hint = OpenHint(why, CCommPort::kBaudRates[m_options.baudIndex]);
        if (!hint.empty())
            m_error += "\n  " + hint;
        return nullptr;
    }
    return m_link.get();
}

bool CLinkSession::TestConnection(CZORComm& link)
{
    m_tested = true;
    if (!link.CheckConnect()) {
        m_error = "the board does not answer: " + FailureReason();
        return false;
    }
    if (link.GetZORCPUType() != m_options.cpu) {
        m_error = std::string("the board carries an ") + CpuName(link.GetZORCPUType()) + ", not the " +
                  CpuName(m_options.cpu) + " expected (-c)";
        return false;
    }
    return true;
}

CZORComm* CLinkSession::ConnectedLink()
{
    CZORComm* link = Link();
    if (!link)
        return nullptr;
    if (!m_tested && !link->IsZORConnect() && !TestConnection(*link))
        return nullptr;
    // A link that went down is being watched for the board's reset: commands must
    // wait for the handshake and the watcher's own test, or they would share the
    // line with the watcher.
    if (link->IsPortGone()) {
        m_error = FailureReason();
        return nullptr;
    }
    if ((!link->IsZORConnect() || link->IsResetWatcherRunning()) && !link->IsProgExcAll()) {
        m_error = "the link is down; press the board's reset key and run await-reset";
        return nullptr;
    }
    return link;
}

std::vector<std::string> CLinkSession::TakeLibraryMessages()
{
    std::lock_guard<std::mutex> hold(m_boxesLock);
    return std::exchange(m_boxes, {});
}

std::string CLinkSession::FailureReason()
{
    if (!m_link)
        return "no link";
    if (m_link->IsPortGone())
        return DescribeGoneLine(zorkit::SerialPortPath(m_options.port));
    return DescribeLinkFailure(*m_link, "await-reset");
}

std::string CLinkSession::ReconnectPath() const { return m_stableName.empty() ? DevicePath() : m_stableName; }

bool CLinkSession::Reconnect(double seconds)
{
    const std::string path = ReconnectPath();
    if (path != DevicePath()) {
        std::fprintf(stderr, "Waiting for %s (it was %s) to come back (up to %d s)...\n", path.c_str(),
                     DevicePath().c_str(), int(seconds));
        zorkit::SetSerialPortPath(m_options.port, path);
    } else {
        std::fprintf(stderr, "Waiting for %s to come back (up to %d s)...\n", path.c_str(), int(seconds));
    }
    // A device that reappears may not open at once (its permissions come a moment later).
    bool reopened = WaitFor([&] {
        return zorkit::SerialDeviceMayBeThere(path) && m_link->ReopenPort();
    }, seconds);
    if (!reopened) {
        m_error = path + " did not come back within " + std::to_string(int(seconds)) + " s";
        return false;
    }
    std::fprintf(stderr, "%s is back.\n", path.c_str());
    return AwaitReset(seconds);
}

bool CLinkSession::AwaitReset(double seconds)
{
    CZORComm* link = Link();
    if (!link)
        return false;
    if (link->IsPortGone()) {
        m_error = FailureReason();
        return false;
    }
    // Marking the link down starts the reset watcher (or keeps the one a failure started).
    link->SetZORConnect(0);
    std::fprintf(stderr, "Press the reset key on the experiment box (waiting up to %d s)...\n", int(seconds));
    // The watcher marks the link up before its own connection test: until it has
    // ended, a command of ours would share the line with that test.
    // A watcher that met the hang-up before its first wait (its purge of the line fails)
    // ends without noting it: a line nobody reads is then looked at here. Never while
    // the watcher runs, as this look takes in the bytes it waits for.
    bool reset = WaitFor(
        [link] {
            return (link->IsZORConnect() && !link->IsProgExcAll() && !link->IsResetWatcherRunning()) ||
                   link->IsPortGone() || (!link->IsResetWatcherRunning() && link->CheckPortGone());
        },
        seconds);
    if (link->IsPortGone()) {
        m_error = FailureReason();
        return false;
    }
    if (!reset) {
        m_error = "the reset handshake did not succeed within " + std::to_string(int(seconds)) + " s";
        return false;
    }
    std::fprintf(stderr, "Reset succeeded: %s\n", CpuName(link->GetZORCPUType()));
    return true;
}

bool CLinkSession::WaitFor(const std::function<bool()>& done, double seconds)
{
    return zorkit::PumpMessagesUntil(done, DWORD(seconds * 1000.0));
}

}
