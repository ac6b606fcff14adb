// zorstudio's main window on the headless backend over a session with its own virtual
// board, and the injected mouse and keys a student's hands would give it.
#pragma once

#include <filesystem>
#include <string>

#include "tests/studio/SessionFixture.h"
#include "tools/zorstudio/ui/StudioWindow.h"
#include "zorkit/platform/core/Messaging.h"
#include "zorkit/platform/ui/Input.h"
#include "zorkit/platform/ui/Keys.h"
#include "zorkit/platform/ui/internal/KeyState.h"

namespace zorkit::studio::test {

class StudioWindowTest : public SessionTest {
protected:
    static constexpr DWORD kStepMs = 20000;

    void SetUp() override
    {
        SessionTest::SetUp();
        ReleaseAllKeys();
        window = std::make_unique<zorstudio::CStudioWindow>(session);
        ASSERT_TRUE(window->CreateMain(CRect(0, 0, zorstudio::CStudioWindow::kWidth, zorstudio::CStudioWindow::kHeight)));
        sample = scratch.Path() / "sort.asm";
        std::filesystem::copy_file(ZORSTUDIO_SAMPLE, sample);
        PumpPendingMessages();
    }
    void TearDown() override
    {
        window.reset();
        ReleaseAllKeys();
    }

public:
    // A click at a point of wnd's client area.
    static void Click(CWnd& wnd, CPoint client, bool twice = false)
    {
        wnd.ClientToScreen(&client);
        for (int i = 0; i < (twice ? 2 : 1); ++i) {
            InjectInput({InputKind::ButtonDown, client});
            InjectInput({InputKind::ButtonUp, client});
        }
        PumpPendingMessages();
    }
    static void ClickCentre(CWnd& wnd)
    {
        CRect client;
        wnd.GetClientRect(&client);
        Click(wnd, client.CenterPoint());
    }
    void ClickButton(UINT id) { ClickCentre(*window->GetDlgItem(int(id))); }
    static void Key(UINT vk, bool ctrl = false)
    {
        if (ctrl)
            InjectInput({InputKind::KeyDown, CPoint(), MouseButton::Left, 0, VK_CONTROL});
        InjectInput({InputKind::KeyDown, CPoint(), MouseButton::Left, 0, vk});
        InjectInput({InputKind::KeyUp, CPoint(), MouseButton::Left, 0, vk});
        if (ctrl)
            InjectInput({InputKind::KeyUp, CPoint(), MouseButton::Left, 0, VK_CONTROL});
        PumpPendingMessages();
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
    std::filesystem::path sample;
    std::unique_ptr<zorstudio::CStudioWindow> window;
};

}
