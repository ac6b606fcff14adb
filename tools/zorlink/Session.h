// One link to a board for the length of a zorlink run: the link itself, made on
// first use, a message sink for its notifications, and what commands share.
#pragma once

#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "zorkit/link/ZORComm.h"
#include "zorkit/platform/core/HostWindow.h"

namespace zorlink {

struct LinkOptions {
    int port = 0;
    int baudIndex = 0;
    CZORComm::ZORTYPE cpu = CZORComm::CPU_8051;
    std::string device; // maps the port index when set
    std::string logDirectory;
    bool reconnect = false;        // a serial adapter that went away is waited for and reopened
    double reconnectSeconds = 100; // how long for it to come back, and then for the reset key
    std::string debugInfo;         // a C program's .cdb (or .ihx): the source commands apply
};

class CSourceSession;
void CloseSourceSession(CSourceSession* source);

class CLinkSession {
public:
    explicit CLinkSession(LinkOptions options);
    ~CLinkSession();

    // The link, constructed on first use; null (with Error() set) when its port cannot be opened.
    CZORComm* Link();
    // The link after a connection test on first use; null with Error() set when it failed.
    CZORComm* ConnectedLink();
    // Tests the link now; false with Error() set when the board does not answer or
    // carries another CPU than the one expected.
    bool TestConnection(CZORComm& link);
    // Closes the link at once, ending whatever its worker does; the next command
    // opens and tests a new one.
    void Close()
    {
        m_link.reset();
        m_tested = false;
    }
    // Why the last link operation failed, in plain words.
    std::string FailureReason();
    const std::string& Error() const { return m_error; }
    const LinkOptions& Options() const { return m_options; }
    // The serial device the link opens.
    std::string DevicePath() const;
    // True when the serial device has gone away (a USB adapter unplugged).
    bool AdapterGone() const { return m_link && m_link->IsPortGone(); }
    // Waits up to `seconds` for the gone device to come back, reopens it and waits for
    // the reset handshake; false with Error() set when it did not. A USB adapter given
    // by its number (ttyUSB0) is looked for under its stable by-id name, since it may
    // come back with another number.
    bool Reconnect(double seconds);
    // The path Reconnect waits for: the stable name found when the session began, or
    // the device itself.
    std::string ReconnectPath() const;
    // Marks the link down, asks for the board's reset key and waits up to `seconds`
    // until the handshake and the watcher's own connection test are over.
    bool AwaitReset(double seconds);
    // Pumps this thread's messages until `done` or `seconds` have passed.
    bool WaitFor(const std::function<bool()>& done, double seconds);
    int StopsSeen() const { return m_stops; }
    // The window that receives the link's notifications between commands.
    HWND SinkWindow() const { return m_sink.GetSafeHwnd(); }
    // The library's message boxes shown since the last call, as UTF-8 texts.
    std::vector<std::string> TakeLibraryMessages();
    // The C program being debugged (--debug-info), or null.
    CSourceSession* Source() const { return m_source.get(); }
    void SetSource(std::unique_ptr<CSourceSession, void (*)(CSourceSession*)> source) { m_source = std::move(source); }

private:
    LinkOptions m_options;
    std::unique_ptr<CZORComm> m_link;
    zorkit::CHostWindow m_sink;
    std::string m_error;
    bool m_tested = false;
    int m_stops = 0;
    std::string m_stableName; // the by-id name of the device, when it has one
    std::mutex m_boxesLock;
    std::vector<std::string> m_boxes;
    std::unique_ptr<CSourceSession, void (*)(CSourceSession*)> m_source{nullptr, CloseSourceSession};
};

const char* CpuName(CZORComm::ZORTYPE type);

}
