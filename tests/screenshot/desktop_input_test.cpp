// Real desktop input (xdotool on a private X server) through the on-screen backend
// into windows' messages.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "zorkit/platform/ui/Edit.h"
#include "zorkit/platform/ui/Input.h"
#include "zorkit/platform/ui/Snapshot.h"
#include "tests/screenshot/InputWnd.h"
#include "tests/screenshot/ScreenComparison.h"
#include "tests/screenshot/Xdotool.h"

namespace {

using zorkit::test::InputWnd;
using zorkit::test::Received;

const CRect kPlace(40, 50, 240, 170);

struct DesktopInputTest : ::testing::Test {
    void SetUp() override
    {
        if (!zorkit::test::HaveProgram("xdotool"))
            GTEST_SKIP() << "xdotool is not installed";
        std::string why;
        screen = zorkit::test::ScreenComparison::Start(why);
        if (!screen)
            GTEST_SKIP() << why;
    }

    // The window appears on the server as rendered; only then does input reach it.
    void Show(InputWnd& wnd)
    {
        ASSERT_TRUE(wnd.CreateAt(kPlace));
        zorkit::PumpPendingMessages();
        auto headless = zorkit::CaptureWindow(wnd.m_hWnd);
        ASSERT_TRUE(headless);
        ASSERT_EQ(screen->WaitUntilShown(kPlace, *headless, std::chrono::seconds(10)), CPoint(-1, -1));
    }

    bool Xdotool(const std::vector<std::string>& args) { return zorkit::test::RunXdotool(screen->Display(), args); }

    // Runs the session until `arrived` holds or ten seconds pass; a timer wakes the
    // loop so that the deadline is noticed without desktop events.
    bool RunUntil(CWnd& wnd, const std::function<bool()>& arrived)
    {
        const std::uintptr_t wake = 77;
        wnd.SetTimer(wake, 20);
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        screen->Screen()->Run([&] { return arrived() || std::chrono::steady_clock::now() > deadline; });
        wnd.KillTimer(wake);
        return arrived();
    }

    static std::vector<CPoint> Points(const std::vector<Received>& received)
    {
        std::vector<CPoint> points;
        for (const Received& r : received)
            points.push_back(r.point);
        return points;
    }

    std::unique_ptr<zorkit::test::ScreenComparison> screen;
};

TEST_F(DesktopInputTest, ClicksArriveInClientCoordinates)
{
    InputWnd wnd;
    ASSERT_NO_FATAL_FAILURE(Show(wnd));
    // One call: the click that arrives together with the focus must not be lost.
    ASSERT_TRUE(Xdotool({"mousemove", "--sync", "100", "90", "click", "1"}));
    ASSERT_TRUE(RunUntil(wnd, [&] { return wnd.Of(WM_LBUTTONUP).size() == 1; }));
    ASSERT_FALSE(wnd.Of(WM_MOUSEMOVE).empty());
    EXPECT_EQ(wnd.Of(WM_MOUSEMOVE).back().point, CPoint(60, 40));
    EXPECT_EQ(Points(wnd.Of(WM_LBUTTONDOWN)), std::vector<CPoint>{CPoint(60, 40)});
    EXPECT_EQ(Points(wnd.Of(WM_LBUTTONUP)), std::vector<CPoint>{CPoint(60, 40)});

    // Far from the first click, so that only the second of these two is a double click.
    ASSERT_TRUE(Xdotool({"mousemove", "--sync", "180", "140", "click", "--repeat", "2", "--delay", "60", "1"}));
    ASSERT_TRUE(RunUntil(wnd, [&] { return wnd.Of(WM_LBUTTONUP).size() == 3; }));
    EXPECT_EQ(Points(wnd.Of(WM_LBUTTONDOWN)), (std::vector<CPoint>{CPoint(60, 40), CPoint(140, 90)}));
    EXPECT_EQ(Points(wnd.Of(WM_LBUTTONDBLCLK)), std::vector<CPoint>{CPoint(140, 90)});
    EXPECT_EQ(Points(wnd.Of(WM_LBUTTONUP)), (std::vector<CPoint>{CPoint(60, 40), CPoint(140, 90), CPoint(140, 90)}));
}

TEST_F(DesktopInputTest, WheelUpIsPositiveAndDownNegative)
{
    InputWnd wnd;
    ASSERT_NO_FATAL_FAILURE(Show(wnd));
    wnd.SetFocus();
    ASSERT_TRUE(Xdotool({"mousemove", "--sync", "100", "90", "click", "4"}));
    ASSERT_TRUE(RunUntil(wnd, [&] { return !wnd.Of(WM_MOUSEWHEEL).empty(); }));
    ASSERT_TRUE(Xdotool({"click", "5"}));
    ASSERT_TRUE(RunUntil(wnd, [&] { return wnd.Of(WM_MOUSEWHEEL).size() == 2; }));
    auto wheel = wnd.Of(WM_MOUSEWHEEL);
    EXPECT_EQ(wheel[0].code, WHEEL_DELTA);
    EXPECT_EQ(wheel[1].code, -WHEEL_DELTA);
}

TEST_F(DesktopInputTest, TypedTextArrivesAsCharacters)
{
    InputWnd wnd;
    ASSERT_NO_FATAL_FAILURE(Show(wnd));
    wnd.SetFocus();
    const std::string text = "Zor 8051!";
    ASSERT_TRUE(Xdotool({"mousemove", "--sync", "100", "90", "type", "--delay", "20", text}));
    ASSERT_TRUE(RunUntil(wnd, [&] { return wnd.Of(WM_CHAR).size() >= text.size(); }));
    std::string typed;
    for (const Received& r : wnd.Of(WM_CHAR))
        typed += char(r.code);
    EXPECT_EQ(typed, text);
}

TEST_F(DesktopInputTest, KeysArriveAsVirtualKeysWithTheShiftState)
{
    InputWnd wnd;
    ASSERT_NO_FATAL_FAILURE(Show(wnd));
    wnd.SetFocus();
    auto keys = [&] {
        std::vector<std::pair<int, bool>> found;
        for (const Received& r : wnd.Of(WM_KEYDOWN))
            found.emplace_back(r.code, r.shift);
        return found;
    };
    // One command types the whole chord, so the events are all waiting before the
    // first handler runs: each handler must still see Shift as it was for its key.
    ASSERT_TRUE(Xdotool({"mousemove", "--sync", "100", "90", "key", "Return", "keydown", "shift", "key", "Left", "key",
                         "Down", "keyup", "shift", "key", "Right"}));
    const std::vector<std::pair<int, bool>> expected{{VK_RETURN, false}, {VK_SHIFT, true}, {VK_LEFT, true},
                                                     {VK_DOWN, true}, {VK_RIGHT, false}};
    ASSERT_TRUE(RunUntil(wnd, [&] { return keys().size() >= expected.size(); }));
    EXPECT_EQ(keys(), expected);
}

TEST_F(DesktopInputTest, EditControlReceivesTypedText)
{
    InputWnd wnd;
    ASSERT_NO_FATAL_FAILURE(Show(wnd));
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, CRect(10, 10, 180, 34), &wnd, 100));
    edit.SetFocus();
    ASSERT_TRUE(Xdotool({"mousemove", "--sync", "100", "130", "type", "--delay", "20", "hello 42"}));
    CString text;
    EXPECT_TRUE(RunUntil(wnd, [&] {
        edit.GetWindowText(text);
        return text == "hello 42";
    })) << "the edit shows \"" << text.str() << "\"";
}

}
