// SendMessage to a window from another thread: the window's own thread handles it,
// in order, while the sender waits; a window destroyed meanwhile answers nothing.
// These run under the thread sanitizer too.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "zorkit/platform/core/Messaging.h"
#include "TestWindows.h"

namespace {

using zorkit::test::TestClass;

constexpr UINT WM_PROBE = WM_USER + 0x6E;
constexpr DWORD kPatienceMs = 30000;

// Records on which thread, and in which order, its probes were handled.
class ProbeWnd : public CWnd {
public:
    std::vector<WPARAM> seen;
    std::vector<std::thread::id> handledOn;

    BOOL Create() { return CreateEx(0, TestClass(), "probe", WS_POPUP, CRect(0, 0, 40, 40), nullptr, 0); }
    LRESULT OnProbe(WPARAM wParam, LPARAM lParam)
    {
        seen.push_back(wParam);
        handledOn.push_back(std::this_thread::get_id());
        return LRESULT(wParam) + lParam;
    }
    static const CMessageMap* GetThisMessageMap()
    {
        static const CMessageMap map(&CWnd::GetThisMessageMap, {
            zorkit::MapUserMessage(WM_PROBE, &ProbeWnd::OnProbe),
        });
        return &map;
    }
    const CMessageMap* GetMessageMap() const override { return GetThisMessageMap(); }
};

TEST(CrossThreadSendTest, EverySendIsHandledOnTheWindowsThreadInOrderWithItsResult)
{
    ProbeWnd window;
    ASSERT_TRUE(window.Create());
    constexpr int kSends = 200;
    std::vector<LRESULT> results;
    std::atomic<bool> done{false};
    std::thread sender([&, hwnd = window.GetSafeHwnd()] {
        for (int i = 0; i < kSends; ++i)
            results.push_back(SendMessage(hwnd, WM_PROBE, WPARAM(i), 1000));
        done = true;
    });
    EXPECT_TRUE(zorkit::PumpMessagesUntil([&] { return done.load(); }, kPatienceMs));
    sender.join();

    ASSERT_EQ(window.seen.size(), std::size_t(kSends));
    for (int i = 0; i < kSends; ++i) {
        EXPECT_EQ(window.seen[std::size_t(i)], WPARAM(i));
        EXPECT_EQ(results[std::size_t(i)], LRESULT(i + 1000));
        EXPECT_EQ(window.handledOn[std::size_t(i)], std::this_thread::get_id());
    }
    window.DestroyWindow();
}

TEST(CrossThreadSendTest, SendsToAWindowDestroyedMeanwhileReturnWithoutBeingHandled)
{
    ProbeWnd window;
    ASSERT_TRUE(window.Create());
    HWND hwnd = window.GetSafeHwnd();
    std::atomic<int> sent{0};
    std::atomic<bool> stop{false};
    std::thread sender([&] {
        while (!stop) {
            SendMessage(hwnd, WM_PROBE, 1, 0);
            ++sent;
        }
    });
    // The window goes while the sender keeps sending; its sends then end unanswered.
    EXPECT_TRUE(zorkit::PumpMessagesUntil([&] { return sent.load() >= 20; }, kPatienceMs));
    window.DestroyWindow();
    std::size_t handled = window.seen.size();
    int before = sent.load();
    EXPECT_TRUE(zorkit::PumpMessagesUntil([&] { return sent.load() >= before + 20; }, kPatienceMs));
    stop = true;
    sender.join();
    EXPECT_EQ(window.seen.size(), handled) << "a destroyed window handled a message";
}

}
