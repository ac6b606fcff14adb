// A private X server for one test: Xvfb on a display it picks itself, stopped at
// destruction. Also runs xwd and xwininfo against it.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

#include "zorkit/platform/gdi/Surface.h"

namespace zorkit::test {

class XvfbServer {
public:
    // Null (with the reason in `why`) when Xvfb is missing or does not come up.
    // screen: width x height x depth of its one screen.
    static std::unique_ptr<XvfbServer> Start(std::string& why, const std::string& screen = "640x480x24");
    ~XvfbServer();

    const std::string& Display() const { return m_display; }
    // The root window as xwd sees it; null when xwd fails.
    std::shared_ptr<Surface> GrabRoot() const;
    // The top-level windows as xwininfo lists them: one line each with the id, the
    // quoted name and the geometry; empty when xwininfo fails.
    std::string ListWindows() const;

private:
    XvfbServer(pid_t pid, std::string display) : m_pid(pid), m_display(std::move(display)) {}
    pid_t m_pid;
    std::string m_display;
};

// Finds a program on PATH.
bool HaveProgram(const char* name);

}
