// Posted and sent messages between threads, and cancellation of a waiting sender.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "zorkit/platform/core/CancelToken.h"
#include "zorkit/platform/core/HostWindow.h"
#include "zorkit/platform/core/Messaging.h"
#include "zorkit/platform/core/WorkerThread.h"

namespace {
constexpr UINT WM_PROBE = WM_USER + 1;
constexpr DWORD kDeadlineMs = 5000;
}

TEST(MessagingTest, PostedMessagesArriveInOrderAndQuitComesLast)
{
    std::vector<WPARAM> seen;
    zorkit::CHostWindow sink([&](UINT message, WPARAM wParam, LPARAM) {
        if (message == WM_PROBE)
            seen.push_back(wParam);
        return LRESULT(0);
    });
    for (WPARAM i = 0; i < 5; ++i)
        ASSERT_TRUE(PostMessage(sink.GetSafeHwnd(), WM_PROBE, i, 0));
    PostQuitMessage(7);
    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0))
        DispatchMessage(&msg);
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_EQ(seen, (std::vector<WPARAM>{0, 1, 2, 3, 4}));
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) << "WM_QUIT is taken once";
}

TEST(MessagingTest, SendFromAnotherThreadBlocksUntilTheOwnerHandlesIt)
{
    std::atomic<bool> handled{false};
    zorkit::CHostWindow sink([&](UINT message, WPARAM wParam, LPARAM) {
        handled = true;
        return message == WM_PROBE ? LRESULT(wParam * 2) : 0;
    });
    std::atomic<LRESULT> result{0};
    std::atomic<bool> returned{false};
    std::thread sender([&] {
        result = SendMessage(sink.GetSafeHwnd(), WM_PROBE, 21, 0);
        returned = true;
    });
    ASSERT_TRUE(zorkit::PumpMessagesUntil([&] { return returned.load(); }, kDeadlineMs));
    sender.join();
    EXPECT_TRUE(handled);
    EXPECT_EQ(result, 42);
}

TEST(MessagingTest, TwoThreadsSendingToEachOtherDoNotDeadlock)
{
    std::atomic<HWND> otherWindow{nullptr};
    std::atomic<bool> stop{false};
    std::thread other([&] {
        zorkit::CHostWindow theirs([&](UINT, WPARAM wParam, LPARAM) { return LRESULT(wParam + 1); });
        otherWindow = theirs.GetSafeHwnd();
        zorkit::PumpMessagesUntil([&] { return stop.load(); }, kDeadlineMs);
    });
    zorkit::CHostWindow mine([&](UINT, WPARAM wParam, LPARAM) {
        // Handling a send from the other thread, which is itself waiting for our reply.
        return SendMessage(otherWindow, WM_PROBE, wParam, 0) + 1;
    });
    ASSERT_TRUE(zorkit::PumpMessagesUntil([&] { return otherWindow.load() != nullptr; }, kDeadlineMs));
    std::atomic<LRESULT> result{0};
    std::thread asker([&] { result = SendMessage(mine.GetSafeHwnd(), WM_PROBE, 10, 0); });
    EXPECT_TRUE(zorkit::PumpMessagesUntil([&] { return result.load() != 0; }, kDeadlineMs));
    asker.join();
    stop = true;
    other.join();
    EXPECT_EQ(result, 12);
}

TEST(MessagingTest, WorkerTerminatedFromInsideItsNotificationHandlerEndsAtOnce)
{
    zorkit::CWorkerThread worker;
    std::atomic<bool> afterSend{false};
    bool terminated = false;
    bool runningAfter = true;
    // The host ends the worker while handling the worker's own notification: the
    // worker must stop waiting for the reply, or both threads would wait forever.
    zorkit::CHostWindow sink([&](UINT, WPARAM, LPARAM) {
        terminated = worker.Terminate();
        runningAfter = worker.IsRunning();
        return LRESULT(1);
    });
    ASSERT_TRUE(worker.Start([&] {
        SendMessage(sink.GetSafeHwnd(), WM_PROBE, 0, 0);
        afterSend = true;
        worker.ClearSlot();
    }));
    ASSERT_TRUE(zorkit::PumpMessagesUntil([&] { return terminated; }, kDeadlineMs));
    EXPECT_FALSE(runningAfter);
    EXPECT_FALSE(afterSend) << "a terminated routine does none of its remaining work";
}

TEST(MessagingTest, SendsToAForgottenHandleAreDropped)
{
    HWND gone;
    {
        zorkit::CHostWindow sink([](UINT, WPARAM, LPARAM) { return LRESULT(5); });
        gone = sink.GetSafeHwnd();
        EXPECT_TRUE(IsWindow(gone));
        EXPECT_EQ(SendMessage(gone, WM_PROBE, 0, 0), 5);
    }
    EXPECT_FALSE(IsWindow(gone));
    EXPECT_EQ(SendMessage(gone, WM_PROBE, 0, 0), 0);
    EXPECT_FALSE(PostMessage(gone, WM_PROBE, 0, 0));
}
