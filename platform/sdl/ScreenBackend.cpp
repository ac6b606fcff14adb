#include "zorkit/platform/sdl/internal/ScreenBackend.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <set>

#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/core/MessageBox.h"
#include "zorkit/platform/core/Messaging.h"
#include "zorkit/platform/gdi/Surface.h"
#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/sdl/internal/SdlClipboard.h"
#include "zorkit/platform/ui/Caret.h"
#include "zorkit/platform/ui/Cursor.h"
#include "zorkit/platform/ui/internal/Desktop.h"

namespace zorkit {
namespace {

// One wake event in SDL's queue at a time, however many messages are posted.
std::atomic<bool> g_wakePending{false};

struct ButtonSet {
    UINT type;
    int count;
    int answers[3];
    const char* labels[3];
};

// The buttons of each MB_ type, in order, with the answers they give.
const ButtonSet kButtonSets[] = {
    {MB_OK, 1, {IDOK}, {"OK"}},
    {MB_OKCANCEL, 2, {IDOK, IDCANCEL}, {"OK", "Cancel"}},
    {MB_ABORTRETRYIGNORE, 3, {IDABORT, IDRETRY, IDIGNORE}, {"Abort", "Retry", "Ignore"}},
    {MB_YESNOCANCEL, 3, {IDYES, IDNO, IDCANCEL}, {"Yes", "No", "Cancel"}},
    {MB_YESNO, 2, {IDYES, IDNO}, {"Yes", "No"}},
    {MB_RETRYCANCEL, 2, {IDRETRY, IDCANCEL}, {"Retry", "Cancel"}},
};

int ShowMessageBox(const MessageBoxRecord& record)
{
    UINT type = record.type & MB_TYPEMASK;
    const ButtonSet* set = &kButtonSets[0];
    for (const ButtonSet& candidate : kButtonSets)
        if (candidate.type == type)
            set = &candidate;
    int defaultAnswer = DefaultMessageBoxAnswer(record.type);
    SDL_MessageBoxButtonData buttons[3];
    for (int i = 0; i < set->count; ++i) {
        Uint32 flags = set->answers[i] == defaultAnswer ? SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT : 0;
        if (set->answers[i] == IDCANCEL || (set->count == 1))
            flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
        buttons[i] = SDL_MessageBoxButtonData{flags, set->answers[i], set->labels[i]};
    }
    UINT icon = record.type & MB_ICONMASK;
    Uint32 kind = icon == MB_ICONERROR     ? SDL_MESSAGEBOX_ERROR
                  : icon == MB_ICONWARNING ? SDL_MESSAGEBOX_WARNING
                                           : SDL_MESSAGEBOX_INFORMATION;
    std::string text = Utf8FromGbk(record.text);
    std::string caption = Utf8FromGbk(record.caption);
    SDL_MessageBoxData data{kind, nullptr, caption.c_str(), text.c_str(), set->count, buttons, nullptr};
    int answer = defaultAnswer;
    if (SDL_ShowMessageBox(&data, &answer) != 0 || answer < 0)
        return defaultAnswer;
    return answer;
}

SDL_SystemCursor SystemCursorFor(UINT id)
{
    switch (id) {
    case 32513: return SDL_SYSTEM_CURSOR_IBEAM;
    case 32514: return SDL_SYSTEM_CURSOR_WAIT;
    case 32515: return SDL_SYSTEM_CURSOR_CROSSHAIR;
    case 32642: return SDL_SYSTEM_CURSOR_SIZENWSE;
    case 32643: return SDL_SYSTEM_CURSOR_SIZENESW;
    case 32644: return SDL_SYSTEM_CURSOR_SIZEWE;
    case 32645: return SDL_SYSTEM_CURSOR_SIZENS;
    case 32646: return SDL_SYSTEM_CURSOR_SIZEALL;
    case 32648: return SDL_SYSTEM_CURSOR_NO;
    case 32649: return SDL_SYSTEM_CURSOR_HAND;
    default: return SDL_SYSTEM_CURSOR_ARROW;
    }
}

}

std::unique_ptr<ScreenBackend> ScreenBackend::Start()
{
    // No desktop and no driver asked for: do not let SDL probe (and complain) at all.
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((!display || !*display) && (!wayland || !*wayland) && !SDL_GetHint(SDL_HINT_VIDEODRIVER))
        return nullptr;
    // The click that activates a window is a click like any other on the desktop.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return nullptr;
    // Without a display SDL falls back to drawing off-screen, where nobody could see or
    // close a window; only a caller that names that driver gets it.
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (driver && std::strcmp(driver, "offscreen") == 0 && !(asked && std::strcmp(asked, "offscreen") == 0)) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    return std::unique_ptr<ScreenBackend>(new ScreenBackend);
}

ScreenBackend::ScreenBackend() : m_wakeEvent(SDL_RegisterEvents(1)), m_caretPhaseStart(SDL_GetTicks())
{
    Desktop::Instance().AttachToThread();
    // The first display is the screen: a maximised window takes its usable part at
    // once, not a guessed size until the desktop's window manager resizes it.
    SystemSettings& settings = SystemSettings::Instance();
    m_screenBefore = CSize(settings.Metric(SM_CXSCREEN), settings.Metric(SM_CYSCREEN));
    m_workAreaBefore = settings.WorkArea();
    SDL_Rect screen{}, usable{};
    if (SDL_GetDisplayBounds(0, &screen) == 0) {
        settings.SetMetric(SM_CXSCREEN, screen.w);
        settings.SetMetric(SM_CYSCREEN, screen.h);
        if (SDL_GetDisplayUsableBounds(0, &usable) != 0)
            usable = screen;
        settings.SetWorkArea(CRect(usable.x, usable.y, usable.x + usable.w, usable.y + usable.h));
    }
    Uint32 wake = m_wakeEvent;
    g_wakePending = false;
    SetQueueWakeHook([wake] {
        if (g_wakePending.exchange(true))
            return;
        SDL_Event event{};
        event.type = wake;
        SDL_PushEvent(&event);
    });
    SetEventSource(this);
    SetClipboardBridge(std::make_shared<sdl::SdlClipboard>());
    SetMessageBoxPresenter(&ShowMessageBox);
}

ScreenBackend::~ScreenBackend()
{
    SetMessageBoxPresenter({});
    SetClipboardBridge(nullptr);
    SetEventSource(nullptr);
    SetQueueWakeHook({});
    m_windows.clear();
    m_cursors.clear();
    SystemSettings& settings = SystemSettings::Instance();
    settings.SetMetric(SM_CXSCREEN, m_screenBefore.cx);
    settings.SetMetric(SM_CYSCREEN, m_screenBefore.cy);
    settings.SetWorkArea(m_workAreaBefore);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

sdl::ScreenWindow* ScreenBackend::Find(HWND hwnd)
{
    auto it = m_windows.find(hwnd);
    return it == m_windows.end() ? nullptr : it->second.get();
}

sdl::ScreenWindow* ScreenBackend::FindById(Uint32 windowId)
{
    for (auto& [hwnd, window] : m_windows)
        if (window->Id() == windowId)
            return window.get();
    return nullptr;
}

bool ScreenBackend::IsWakeEvent(const SDL_Event& event)
{
    if (event.type != m_wakeEvent)
        return false;
    g_wakePending = false;
    return true;
}

long ScreenBackend::CaretTimeout()
{
    CaretInfo caret = GetCaretInfo();
    if (!caret.owner || !caret.visible)
        return -1;
    UINT blink = std::max(1u, GetCaretBlinkTime());
    Uint32 elapsed = SDL_GetTicks() - m_caretPhaseStart;
    return long(blink - elapsed % blink);
}

void ScreenBackend::Sync()
{
    std::set<HWND> shown;
    CaretInfo caret = GetCaretInfo();
    UINT blink = std::max(1u, GetCaretBlinkTime());
    bool caretOn = caret.owner && caret.visible && ((SDL_GetTicks() - m_caretPhaseStart) / blink) % 2 == 0;
    WindowState* caretOwner = StateOf(caret.owner);
    for (WindowState* top : Desktop::Instance().TopLevels()) {
        if (!(top->style & WS_VISIBLE) || !top->surface)
            continue;
        shown.insert(top->hwnd);
        std::string title = Utf8FromGbk(top->text.str());
        sdl::ScreenWindow* window = Find(top->hwnd);
        if (!window) {
            auto made = sdl::ScreenWindow::Create(top->hwnd, top->rect, title.c_str(),
                                                  (top->exStyle & WS_EX_TOPMOST) != 0);
            if (!made)
                continue;
            window = made.get();
            m_windows[top->hwnd] = std::move(made);
        }
        window->SetTitle(title.c_str());
        window->Place(top->rect, (top->style & WS_MAXIMIZE) != 0);
        CRect caretRect;
        bool withCaret = caretOn && caretOwner && caretOwner->TopLevel() == top;
        if (withCaret) {
            caretRect = caret.rect;
            CPoint origin = caretOwner->ClientOriginOnSurface();
            caretRect.OffsetRect(origin.x, origin.y);
        }
        window->Present(*top->surface, withCaret ? &caretRect : nullptr, caret.gray);
    }
    for (auto it = m_windows.begin(); it != m_windows.end();)
        it = shown.count(it->first) ? std::next(it) : m_windows.erase(it);
}

void ScreenBackend::UpdateCursor()
{
    HCURSOR current = GetCursor();
    int key = current ? (current->standard ? int(SystemCursorFor(current->id)) : 1000 + int(current->id))
                      : int(SDL_SYSTEM_CURSOR_ARROW);
    if (key == m_shownCursor)
        return;
    auto& made = m_cursors[key];
    if (!made && current && !current->standard && !current->pixels.empty()) {
        SDL_Surface* image = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<std::uint32_t*>(current->pixels.data()), current->width, current->height, 32,
            current->width * 4, SDL_PIXELFORMAT_ARGB8888);
        if (image) {
            made.reset(SDL_CreateColorCursor(image, current->hotSpot.x, current->hotSpot.y));
            SDL_FreeSurface(image);
        }
    }
    if (!made)
        made.reset(SDL_CreateSystemCursor(key < 1000 ? SDL_SystemCursor(key) : SDL_SYSTEM_CURSOR_ARROW));
    if (made)
        SDL_SetCursor(made.get());
    m_shownCursor = key;
}

void ScreenBackend::WaitForEvents(long timeoutMs)
{
    Sync();
    UpdateCursor();
    long caret = CaretTimeout();
    long wait = timeoutMs < 0 ? caret : caret < 0 ? timeoutMs : std::min(timeoutMs, caret);
    SDL_Event event;
    bool got = wait < 0 ? SDL_WaitEvent(&event) != 0 : SDL_WaitEventTimeout(&event, int(wait)) != 0;
    while (got) {
        ProcessEvent(event, *this);
        got = SDL_PollEvent(&event) != 0;
    }
}

}
