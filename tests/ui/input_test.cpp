#include <gtest/gtest.h>

#include "zorkit/platform/core/Time.h"
#include "zorkit/platform/ui/Caret.h"
#include "zorkit/platform/ui/Input.h"
#include "zorkit/platform/ui/internal/KeyState.h"
#include "zorkit/platform/ui/ScrollBar.h"
#include "TestWindows.h"

namespace {

using zorkit::InputEvent;
using zorkit::InputKind;
using zorkit::MouseButton;
using zorkit::test::RecordingWnd;

struct InputTest : ::testing::Test {
    void SetUp() override
    {
        zorkit::ReleaseAllKeys();
        ClipCursor(nullptr);
        ASSERT_TRUE(top.CreateTop(CRect(100, 100, 400, 300)));
        ASSERT_TRUE(child.CreateChild(&top, CRect(10, 10, 110, 110), 1));
        zorkit::PumpPendingMessages();
        top.events.clear();
        child.events.clear();
    }
    void TearDown() override { zorkit::ReleaseAllKeys(); }

    static void Mouse(InputKind kind, CPoint screen, DWORD time = 0)
    {
        zorkit::InjectInput(InputEvent{kind, screen, MouseButton::Left, 0, 0, time});
    }
    static void Key(InputKind kind, UINT key) { zorkit::InjectInput(InputEvent{kind, CPoint(), MouseButton::Left, 0, key, 0}); }
    static void Click(CPoint screen, DWORD time)
    {
        Mouse(InputKind::ButtonDown, screen, time);
        Mouse(InputKind::ButtonUp, screen, time);
    }

    RecordingWnd top, child;
};

TEST_F(InputTest, MouseGoesToTheWindowUnderThePointerInClientCoordinates)
{
    Mouse(InputKind::ButtonDown, CPoint(115, 125));
    zorkit::PumpPendingMessages();
    ASSERT_EQ(child.events.back(), "ldown");
    EXPECT_EQ(child.lastPoint, CPoint(5, 15));
    EXPECT_TRUE(child.lastFlags & MK_LBUTTON);
    EXPECT_TRUE(GetKeyState(VK_LBUTTON) & 0x8000);
    Mouse(InputKind::ButtonUp, CPoint(115, 125));
    zorkit::PumpPendingMessages();
    EXPECT_EQ(child.events.back(), "lup");
    EXPECT_FALSE(GetAsyncKeyState(VK_LBUTTON) & 0x8000);
    EXPECT_TRUE(top.events.empty()) << "the parent saw no mouse message";
}

TEST_F(InputTest, CaptureTakesTheMouseWhereverThePointerGoes)
{
    child.SetCapture();
    EXPECT_EQ(CWnd::GetCapture(), &child);
    Mouse(InputKind::MouseMove, CPoint(300, 250));
    zorkit::PumpPendingMessages();
    ASSERT_EQ(child.events.back(), "move");
    EXPECT_EQ(child.lastPoint, CPoint(190, 140)) << "outside the child, in its coordinates";
    top.SetCapture();
    EXPECT_EQ(child.events.back(), "capturechanged");
    ReleaseCapture();
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
}

TEST_F(InputTest, SecondClickWithinTheDoubleClickTimeIsADoubleClick)
{
    Click(CPoint(120, 120), 1000);
    Click(CPoint(121, 121), 1200);
    Click(CPoint(121, 121), 1300);
    zorkit::PumpPendingMessages();
    EXPECT_EQ(child.events, (std::vector<std::string>{"ldown", "lup", "ldbl", "lup", "ldown", "lup"}))
        << "the third click starts afresh";
    child.events.clear();
    Click(CPoint(120, 120), 5000);
    Click(CPoint(120, 120), 5600);
    zorkit::PumpPendingMessages();
    EXPECT_EQ(std::count(child.events.begin(), child.events.end(), "ldbl"), 0) << "too slow for a double click";
}

TEST_F(InputTest, KeysGoToTheFocusWindowAndTranslateIntoCharacters)
{
    child.SetFocus();
    EXPECT_EQ(child.events.back(), "setfocus");
    Key(InputKind::KeyDown, VK_SHIFT);
    Key(InputKind::KeyDown, VK_RETURN);
    zorkit::PumpPendingMessages();
    EXPECT_TRUE(GetKeyState(VK_SHIFT) & 0x8000);
    EXPECT_EQ(child.events, (std::vector<std::string>{"setfocus", "key 16", "key 13", "char 13"}));
    zorkit::InjectText("a\xE4\xB8\xAD");  // 'a' and one Chinese character: three GBK bytes
    zorkit::PumpPendingMessages();
    EXPECT_EQ(child.events.size(), 7u);
    EXPECT_EQ(child.events[4], "char 97");
    EXPECT_EQ(child.events[5], "char 214");
    EXPECT_EQ(child.events[6], "char 208");

    top.SetFocus();
    EXPECT_EQ(child.events.back(), "killfocus");
    EXPECT_EQ(CWnd::GetFocus(), &top);
}

// Notes the modifier and button state its handlers see, as "A+shift" or "ldown+lbutton".
struct KeyStateWnd : RecordingWnd {
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_KEYDOWN && wParam != VK_SHIFT)
            seen.push_back(std::string(1, char(wParam)) + (GetKeyState(VK_SHIFT) < 0 ? "+shift" : ""));
        if (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP)
            seen.push_back(std::string(message == WM_LBUTTONDOWN ? "ldown" : "lup") +
                           (GetKeyState(VK_LBUTTON) < 0 ? "+lbutton" : ""));
        return RecordingWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<std::string> seen;
};

TEST_F(InputTest, HandlersSeeTheKeyStateOfTheirOwnMessageNotOfTheLatestInput)
{
    KeyStateWnd sampler;
    ASSERT_TRUE(sampler.CreateChild(&top, CRect(150, 10, 250, 110), 2));
    sampler.SetFocus();
    zorkit::PumpPendingMessages();
    // A whole chord is queued before any handler runs, as a fast typist or a script does.
    Key(InputKind::KeyDown, VK_SHIFT);
    Key(InputKind::KeyDown, 'A');
    Key(InputKind::KeyUp, 'A');
    Key(InputKind::KeyUp, VK_SHIFT);
    Key(InputKind::KeyDown, 'B');
    EXPECT_FALSE(GetKeyState(VK_SHIFT) < 0) << "no handler has taken the Shift key yet";
    zorkit::PumpPendingMessages();
    EXPECT_EQ(sampler.seen, (std::vector<std::string>{"A+shift", "B"}));
    Key(InputKind::KeyUp, 'B');

    sampler.seen.clear();
    Mouse(InputKind::ButtonDown, CPoint(260, 160));
    Mouse(InputKind::ButtonUp, CPoint(260, 160));
    EXPECT_FALSE(GetAsyncKeyState(VK_LBUTTON) < 0) << "the button is already up";
    zorkit::PumpPendingMessages();
    EXPECT_EQ(sampler.seen, (std::vector<std::string>{"ldown+lbutton", "lup"}));
    EXPECT_FALSE(GetKeyState(VK_LBUTTON) < 0);
}

// A window that hands the keyboard on when a key goes down in it.
struct HandingOnWnd : RecordingWnd {
    CWnd* next = nullptr;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        LRESULT result = RecordingWnd::WindowProc(message, wParam, lParam);
        if (message == WM_KEYDOWN && next)
            next->SetFocus();
        return result;
    }
};

TEST_F(InputTest, DeliveredInputGoesWhereTheFocusIsAfterThePreviousEventWasHandled)
{
    HandingOnWnd first;
    ASSERT_TRUE(first.CreateChild(&top, CRect(150, 10, 250, 110), 2));
    first.next = &child;
    first.SetFocus();
    zorkit::DeliverInput(InputEvent{InputKind::KeyDown, CPoint(), MouseButton::Left, 0, 'A', 0});
    EXPECT_TRUE(first.Saw(WM_KEYDOWN)) << "handled before DeliverInput returned";
    zorkit::DeliverInput(InputEvent{InputKind::KeyUp, CPoint(), MouseButton::Left, 0, 'A', 0});
    EXPECT_FALSE(first.Saw(WM_KEYUP));
    EXPECT_TRUE(child.Saw(WM_KEYUP)) << "the release goes to the window the press gave the focus to";
    zorkit::DeliverText("b");
    EXPECT_TRUE(child.Saw(WM_CHAR));
}

TEST_F(InputTest, AWindowThatTracksThePointerHearsOnceWhenItLeaves)
{
    zorkit::DeliverInput(InputEvent{InputKind::MouseMove, CPoint(120, 120)});
    TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, child.m_hWnd, 0};
    ASSERT_TRUE(TrackMouseEvent(&track));
    zorkit::DeliverInput(InputEvent{InputKind::MouseMove, CPoint(125, 125)});
    EXPECT_FALSE(child.Saw(WM_MOUSELEAVE)) << "still inside";
    zorkit::DeliverInput(InputEvent{InputKind::MouseMove, CPoint(300, 250)});
    EXPECT_TRUE(child.Saw(WM_MOUSELEAVE));
    child.messages.clear();
    zorkit::DeliverInput(InputEvent{InputKind::MouseMove, CPoint(120, 120)});
    zorkit::DeliverInput(InputEvent{InputKind::MouseMove, CPoint(300, 250)});
    EXPECT_FALSE(child.Saw(WM_MOUSELEAVE)) << "once per request";
}

TEST_F(InputTest, ClickThatNoWindowTakesCountsAtOnce)
{
    Mouse(InputKind::ButtonDown, CPoint(20, 20));
    EXPECT_TRUE(GetKeyState(VK_LBUTTON) < 0) << "no message carries it, so nothing would ever settle it";
    Mouse(InputKind::ButtonUp, CPoint(20, 20));
    EXPECT_FALSE(GetKeyState(VK_LBUTTON) < 0);
}

TEST_F(InputTest, WheelGoesToTheFocusWindow)
{
    child.SetFocus();
    zorkit::InjectInput(InputEvent{InputKind::Wheel, CPoint(300, 250), MouseButton::Left, -240, 0, 0});
    zorkit::PumpPendingMessages();
    EXPECT_EQ(child.events.back(), "wheel -240");
}

TEST_F(InputTest, ConfinedPointerStaysInsideTheRectangle)
{
    CRect box(120, 120, 150, 150);
    ClipCursor(&box);
    Mouse(InputKind::MouseMove, CPoint(300, 100));
    CPoint where;
    GetCursorPos(&where);
    EXPECT_EQ(where, CPoint(149, 120));
    ClipCursor(nullptr);
    Mouse(InputKind::MouseMove, CPoint(300, 100));
    GetCursorPos(&where);
    EXPECT_EQ(where, CPoint(300, 100));
}

TEST_F(InputTest, SetCursorAsksTheParentFirstThenUsesTheClassCursor)
{
    SetCursor(nullptr);
    Mouse(InputKind::MouseMove, CPoint(115, 115));
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_ARROW));
}

TEST_F(InputTest, CaretFollowsItsOwnerAndNestsShowAndHide)
{
    child.CreateSolidCaret(2, 14);
    auto caret = zorkit::GetCaretInfo();
    EXPECT_EQ(caret.owner, child.m_hWnd);
    EXPECT_FALSE(caret.visible) << "a new caret is hidden";
    child.ShowCaret();
    CWnd::SetCaretPos(CPoint(30, 4));
    caret = zorkit::GetCaretInfo();
    EXPECT_TRUE(caret.visible);
    EXPECT_EQ(caret.rect, CRect(30, 4, 32, 18));
    child.HideCaret();
    child.HideCaret();
    child.ShowCaret();
    EXPECT_FALSE(zorkit::GetCaretInfo().visible) << "hidden twice, shown once";
    child.ShowCaret();
    EXPECT_TRUE(zorkit::GetCaretInfo().visible);
    child.DestroyWindow();
    EXPECT_EQ(zorkit::GetCaretInfo().owner, nullptr) << "the caret dies with its owner";
}

TEST_F(InputTest, TimersFireWhileThePumpRunsAndStopWhenKilled)
{
    child.SetTimer(7, 20);
    DWORD start = GetTickCount();
    bool fired = zorkit::PumpMessagesUntil(
        [&] { return std::count(child.events.begin(), child.events.end(), "timer 7") >= 2; }, 30000);
    ASSERT_TRUE(fired);
    EXPECT_GE(GetTickCount() - start, 30u) << "two ticks of 20 ms take at least 30 ms";
    EXPECT_TRUE(child.KillTimer(7));
    EXPECT_FALSE(child.KillTimer(7));
    child.events.clear();
    zorkit::PumpMessagesUntil([] { return false; }, 60);
    EXPECT_TRUE(child.events.empty());
}

TEST_F(InputTest, WindowScrollBarsClampAndHideOrDisableWhenNotNeeded)
{
    child.ModifyStyle(0, WS_VSCROLL, SWP_FRAMECHANGED);
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_ALL, 0, 99, 20, 95, 0};
    child.SetScrollInfo(SB_VERT, &info);
    EXPECT_EQ(child.GetScrollPos(SB_VERT), 80) << "the position stops at max - page + 1";
    EXPECT_EQ(child.GetScrollLimit(SB_VERT), 80);
    EXPECT_TRUE(child.GetStyle() & WS_VSCROLL);

    info = SCROLLINFO{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL, 0, 9, 20, 0, 0};
    child.SetScrollInfo(SB_VERT, &info);
    EXPECT_TRUE(child.GetStyle() & WS_VSCROLL) << "disabled, not hidden";
    EXPECT_EQ(child.GetScrollPos(SB_VERT), 0);
    SCROLLINFO read{sizeof(SCROLLINFO), 0, 0, 0, 0, 0, 0};
    child.GetScrollInfo(SB_VERT, &read);
    EXPECT_EQ(read.nPage, 10u) << "the page never exceeds the range";

    info.fMask = SIF_RANGE | SIF_PAGE;
    child.SetScrollInfo(SB_VERT, &info);
    EXPECT_FALSE(child.GetStyle() & WS_VSCROLL) << "hidden when not needed";
    CRect client;
    child.GetClientRect(&client);
    EXPECT_EQ(client.Width(), 100) << "the client area takes the bar's room back";

    info = SCROLLINFO{sizeof(SCROLLINFO), SIF_ALL, 0, 2000000000, 1000, 1999999000, 0};
    child.SetScrollInfo(SB_VERT, &info);
    EXPECT_EQ(child.GetScrollPos(SB_VERT), 1999999000) << "positions are 32-bit";
}

TEST_F(InputTest, DraggingTheThumbSendsTrackRequestsThenThePosition)
{
    child.ModifyStyle(0, WS_VSCROLL, SWP_FRAMECHANGED);
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_ALL, 0, 99, 10, 0, 0};
    child.SetScrollInfo(SB_VERT, &info);
    CRect window;
    child.GetWindowRect(&window);
    int barX = window.right - GetSystemMetrics(SM_CXVSCROLL) / 2;
    int arrow = GetSystemMetrics(SM_CYVSCROLL);

    Click(CPoint(barX, window.top + 2), 0);
    zorkit::PumpPendingMessages();
    ASSERT_GE(child.events.size(), 2u);
    EXPECT_EQ(child.events[0], "vscroll 0 0") << "the up arrow asks for a line up";
    EXPECT_EQ(child.events[1], "vscroll 8 0");
    child.events.clear();

    Mouse(InputKind::ButtonDown, CPoint(barX, window.top + arrow + 2));
    zorkit::PumpPendingMessages();
    Mouse(InputKind::MouseMove, CPoint(barX, window.bottom - arrow - 1));
    Mouse(InputKind::ButtonUp, CPoint(barX, window.bottom - arrow - 1));
    zorkit::PumpPendingMessages();
    EXPECT_EQ(child.events, (std::vector<std::string>{"vscroll 5 90", "vscroll 4 90", "vscroll 8 0", "capturechanged"}))
        << "the thumb dragged to the end tracks the last position, then the bar lets the pointer go";
    SCROLLINFO read{sizeof(SCROLLINFO), SIF_TRACKPOS, 0, 0, 0, 0, 0};
    child.GetScrollInfo(SB_VERT, &read, SIF_TRACKPOS);
    EXPECT_EQ(read.nTrackPos, 90);
    EXPECT_EQ(child.GetScrollPos(SB_VERT), 0) << "the window itself decides the position";
}

TEST_F(InputTest, ScrollBarControlTellsItsParent)
{
    CScrollBar bar;
    ASSERT_TRUE(bar.Create(WS_VISIBLE | SBS_VERT, CRect(150, 10, 167, 110), &top, 0xEA00));
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_ALL, 0, 50, 10, 0, 0};
    bar.SetScrollInfo(&info);
    Click(CPoint(100 + 158, 100 + 108), 0);
    zorkit::PumpPendingMessages();
    ASSERT_FALSE(top.events.empty());
    EXPECT_EQ(top.events.front(), "vscroll 1 0") << "the down arrow of the control";
}

}
