#include "tools/zorsim/PanelWindow.h"

#include <atomic>
#include <csignal>
#include <thread>

#ifdef ZORKIT_HAS_SDL
#include "zorkit/platform/sdl/OnScreen.h"
#endif
#include "tools/boardpanel/BoardPanel.h"

namespace zorsim {

struct CPanelScreen::CSession {
    std::unique_ptr<zorkit::ScreenSession> screen;
};

std::unique_ptr<CPanelScreen> CPanelScreen::Open()
{
#ifndef ZORKIT_HAS_SDL
    return nullptr;
#else
    auto screen = zorkit::ScreenSession::Start();
    if (!screen)
        return nullptr;
    return std::unique_ptr<CPanelScreen>(new CPanelScreen(std::make_unique<CSession>(CSession{std::move(screen)})));
#endif
}

CPanelScreen::CPanelScreen(std::unique_ptr<CSession> session) : m_session(std::move(session)) {}

CPanelScreen::~CPanelScreen() = default;

int CPanelScreen::Run(const std::shared_ptr<zorkit::sim::CVirtualBoard>& board, const zorkit::sim::CBoardProfile& profile,
    zorkit::CSignalWaiter& signals)
{
    boardpanel::CBoardPanel panel;
    const CRect place(40, 40, 40 + boardpanel::CPanelLayout::kWidth, 40 + boardpanel::CPanelLayout::kHeight);
    if (!panel.CreateTopLevel("zorsim - the board's devices", place))
        return SIGTERM;
    panel.ShowVirtualBoard(board, profile);
    panel.SetFocus();

    std::atomic<int> ending{0};
    const HWND window = panel.m_hWnd;
    std::thread waiter([&] {
        int signal;
        while ((signal = signals.Wait()) == SIGUSR1)
            board->PressReset();
        ending = signal;
        // Posting is safe from any thread; the window's thread closes the panel.
        ::PostMessage(window, WM_CLOSE, 0, 0);
    });
    m_session->screen->Run([&panel] { return !panel.m_hWnd; });
    if (panel.m_hWnd)
        panel.DestroyWindow();
    // The close box ends zorsim as SIGTERM would; the waiter needs a signal to see.
    if (!ending)
        zorkit::CSignalWaiter::Raise(SIGTERM);
    waiter.join();
    return ending.load();
}

}
