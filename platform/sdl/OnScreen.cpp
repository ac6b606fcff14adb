#include "zorkit/platform/sdl/OnScreen.h"

#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/sdl/internal/ScreenBackend.h"
#include "zorkit/platform/sdl/internal/SdlHandles.h"

namespace zorkit {
namespace {

bool g_sessionRunning = false;

}

std::unique_ptr<ScreenSession> ScreenSession::Start()
{
    if (g_sessionRunning)
        return nullptr;
    auto backend = ScreenBackend::Start();
    if (!backend)
        return nullptr;
    g_sessionRunning = true;
    return std::unique_ptr<ScreenSession>(new ScreenSession(std::move(backend)));
}

ScreenSession::ScreenSession(std::unique_ptr<ScreenBackend> backend) : m_backend(std::move(backend)) {}

ScreenSession::~ScreenSession()
{
    m_backend.reset();
    g_sessionRunning = false;
}

bool ScreenSession::Run(const std::function<bool()>& done)
{
    bool finished = RunMessageLoop(done);
    m_backend->Sync();
    return finished;
}

void ScreenSession::Present() { m_backend->Sync(); }

std::shared_ptr<Surface> ScreenSession::ReadScreen(HWND hwnd)
{
    m_backend->Sync();
    sdl::ScreenWindow* window = m_backend->Find(hwnd);
    return window ? window->ReadBack() : nullptr;
}

int ScreenSession::WindowCount() const { return m_backend->WindowCount(); }

CRect ScreenSession::WorkArea() const { return SystemSettings::Instance().WorkArea(); }

}
