#include "tests/screenshot/ScreenComparison.h"

#include <cstdlib>

#include "tests/sdl/PatternWnd.h"

namespace zorkit::test {
namespace {

std::shared_ptr<Surface> Crop(const Surface& whole, const CRect& rect)
{
    auto part = Surface::Create(rect.Width(), rect.Height());
    for (int y = 0; y < rect.Height(); ++y)
        for (int x = 0; x < rect.Width(); ++x)
            part->Row(y)[x] = whole.Row(rect.top + y)[rect.left + x];
    return part;
}

}

std::unique_ptr<ScreenComparison> ScreenComparison::Start(std::string& why, const std::string& screenSize)
{
    auto server = XvfbServer::Start(why, screenSize);
    if (!server)
        return nullptr;
    setenv("DISPLAY", server->Display().c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    auto screen = ScreenSession::Start();
    if (!screen) {
        why = "SDL cannot open " + server->Display();
        return nullptr;
    }
    auto comparison = std::unique_ptr<ScreenComparison>(new ScreenComparison);
    comparison->m_server = std::move(server);
    comparison->m_screen = std::move(screen);
    return comparison;
}

ScreenComparison::~ScreenComparison()
{
    // The session talks to the server: it goes first.
    m_screen.reset();
}

CPoint ScreenComparison::WaitUntilShown(const CRect& place, const Surface& expected, std::chrono::seconds timeout)
{
    CPoint difference(0, 0);
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (difference != CPoint(-1, -1) && std::chrono::steady_clock::now() < deadline) {
        m_screen->Present();
        auto root = m_server->GrabRoot();
        if (!root || root->Width() < place.right || root->Height() < place.bottom)
            return CPoint(0, 0);
        difference = FirstDifference(*Crop(*root, place), expected);
    }
    return difference;
}

}
