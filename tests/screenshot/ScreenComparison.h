// Shows windows on a private X server through the on-screen backend and compares
// what the server shows with the headless rendering.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "zorkit/platform/core/Geometry.h"
#include "zorkit/platform/gdi/Surface.h"
#include "zorkit/platform/sdl/OnScreen.h"
#include "tests/screenshot/XvfbServer.h"

namespace zorkit::test {

class ScreenComparison {
public:
    // Null (with the reason in `why`) when no X server can be had; then skip the test.
    static std::unique_ptr<ScreenComparison> Start(std::string& why, const std::string& screenSize = "640x480x24");
    ScreenSession* Screen() const { return m_screen.get(); }
    const std::string& Display() const { return m_server->Display(); }
    const XvfbServer& Server() const { return *m_server; }
    // Presents and grabs the screen until the window at `place` shows `expected`
    // or `timeout` passes; the first differing pixel, (-1, -1) when they are equal.
    CPoint WaitUntilShown(const CRect& place, const Surface& expected, std::chrono::seconds timeout);
    ~ScreenComparison();

private:
    std::unique_ptr<XvfbServer> m_server;
    std::unique_ptr<ScreenSession> m_screen;
};

}
