// zorstudio's main window on the headless backend, its board thread's session on a
// virtual board of its own, and the injected mouse and keys a student's hands would
// give it. Each input waits until the window has heard back from the board.
#pragma once

#include <algorithm>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include <chrono>

#include "tests/studio/ScopedEnv.h"
#include "tests/support/TempDir.h"
#include "tools/zorstudio/ui/StudioWindow.h"
#include "zorkit/platform/core/Messaging.h"
#include "zorkit/platform/ui/Input.h"
#include "zorkit/platform/ui/Keys.h"
#include "zorkit/platform/ui/internal/KeyState.h"

namespace zorkit::studio::test {

class StudioWindowTest : public ::testing::Test {
protected:
    static constexpr DWORD kStepMs = 20000;
    static constexpr DWORD kWaitMs = 20000;
    // The virtual board reports the end of a run quickly; tests wait for the report.
    static constexpr std::chrono::milliseconds kStopDelay{50};

    // Runs f on the board's thread, then lets the window take in what it changed.
    template <class F>
    auto OnBoard(F f)
    {
        auto result = window->Board().Call(f);
        PumpPendingMessages();
        return result;
    }

    void SetUp() override
    {
        CCommPort::SetLogDirectory(scratch.Path().string());
        ReleaseAllKeys();
        window = std::make_unique<zorstudio::CStudioWindow>();
        s_window = window.get();
        std::string error;
        ASSERT_TRUE(OnBoard([&](zorstudio::CDebugSession& s) {
            return (s.Open({}) && s.Connect()) || (error = s.LastError(), false);
        })) << error;
        SetStopDelay(kStopDelay);
        ASSERT_TRUE(window->CreateMain(CRect(0, 0, zorstudio::CStudioWindow::kWidth, zorstudio::CStudioWindow::kHeight)));
        sample = scratch.Path() / "sort.asm";
        std::filesystem::copy_file(ZORSTUDIO_SAMPLE, sample);
        Settle();
    }
    void TearDown() override
    {
        s_window = nullptr;
        window.reset();
        ReleaseAllKeys();
    }

    void SetStopDelay(std::chrono::milliseconds delay)
    {
        OnBoard([delay](zorstudio::CDebugSession& s) {
            sim::CMonitorTimings timings = s.VirtualBoard()->GetTimings();
            timings.stopDelay = delay;
            s.VirtualBoard()->SetTimings(timings);
            return true;
        });
    }
    sim::CVirtualBoard& Board()
    {
        return *OnBoard([](zorstudio::CDebugSession& s) { return s.VirtualBoard(); });
    }
    const zorstudio::CBoardView& View() { return window->View(); }

public:
    // Handles what the last input caused, the board's answers to it included.
    static void Settle()
    {
        PumpPendingMessages();
        if (s_window)
            PumpMessagesUntil([] { return s_window->Idle(); }, kStepMs);
    }
    // A click at a point of wnd's client area.
    static void Click(CWnd& wnd, CPoint client, bool twice = false)
    {
        wnd.ClientToScreen(&client);
        for (int i = 0; i < (twice ? 2 : 1); ++i) {
            InjectInput({InputKind::ButtonDown, client});
            InjectInput({InputKind::ButtonUp, client});
        }
        Settle();
    }
    static void ClickCentre(CWnd& wnd)
    {
        CRect client;
        wnd.GetClientRect(&client);
        Click(wnd, client.CenterPoint());
    }
    void ClickButton(UINT id) { ClickCentre(*window->GetDlgItem(int(id))); }
    // Clicks the dock's tab of that title.
    void ClickTab(const std::string& title)
    {
        zorstudio::CTabStrip& tabs = window->Layout().Tabs();
        const auto& titles = tabs.Tabs();
        const auto found = std::find(titles.begin(), titles.end(), title);
        ASSERT_NE(found, titles.end()) << "no tab " << title;
        Click(tabs, tabs.TabRect(int(found - titles.begin())).CenterPoint());
    }
    static void Key(UINT vk, bool ctrl = false)
    {
        if (ctrl)
            InjectInput({InputKind::KeyDown, CPoint(), MouseButton::Left, 0, VK_CONTROL});
        InjectInput({InputKind::KeyDown, CPoint(), MouseButton::Left, 0, vk});
        InjectInput({InputKind::KeyUp, CPoint(), MouseButton::Left, 0, vk});
        if (ctrl)
            InjectInput({InputKind::KeyUp, CPoint(), MouseButton::Left, 0, VK_CONTROL});
        Settle();
    }
    static bool WaitFor(const std::function<bool()>& done, DWORD ms = kStepMs) { return PumpMessagesUntil(done, ms); }

    // The client point of a text line's margin in a text view.
    static CPoint MarginPoint(CTextView& view, int line)
    {
        const CPoint text = view.TextToClient(CPoint(0, line));
        return CPoint(view.GetMarginWidth() / 2, text.y + view.GetLineHeight() / 2);
    }
    // Clicks into the view and moves its cursor down with the arrow key until the line
    // is in view.
    static void ScrollIntoView(CTextView& view, int line)
    {
        CRect client;
        view.GetClientRect(&client);
        Click(view, CPoint(client.right - 4, client.top + 2));
        for (int press = 0; press <= line && !client.PtInRect(MarginPoint(view, line)); ++press)
            Key(VK_DOWN);
        ASSERT_TRUE(client.PtInRect(MarginPoint(view, line))) << "line " << line << " does not scroll into view";
    }
    static int LineOfLabel(const CTextBuf& buffer, const std::string& label)
    {
        for (int line = 0; line < buffer.GetLineCount(); ++line)
            if (std::string(buffer.GetLineChars(line), std::size_t(buffer.GetLineLength(line))).rfind(label, 0) == 0)
                return line;
        return -1;
    }
    static std::string Line(const CTextBuf& buffer, int line)
    {
        return std::string(buffer.GetLineChars(line), std::size_t(buffer.GetLineLength(line)));
    }

protected:
    inline static zorstudio::CStudioWindow* s_window = nullptr;
    TempDir scratch;
    // The layout a window remembers goes to the test's own settings.
    ScopedEnv config{"XDG_CONFIG_HOME", scratch.Path().string().c_str()};
    std::filesystem::path sample;
    std::unique_ptr<zorstudio::CStudioWindow> window;
};

}
