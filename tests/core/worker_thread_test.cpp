// The worker slot: ids before the thread runs, routines that free their slot,
// and termination through every kind of blocking wait.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "zorkit/platform/core/Time.h"
#include "zorkit/platform/core/WorkerThread.h"

TEST(WorkerThreadTest, SlotHoldsOneWorkerWhoseIdIsSetBeforeItRuns)
{
    zorkit::CWorkerThread worker;
    EXPECT_EQ(worker.Id(), 0u);
    std::atomic<DWORD> seenFromInside{0};
    std::atomic<bool> release{false};
    ASSERT_TRUE(worker.Start([&] {
        seenFromInside = worker.Id();
        while (!release)
            Sleep(1);
        worker.ClearSlot();
    }));
    DWORD id = worker.Id();
    EXPECT_NE(id, 0u);
    EXPECT_FALSE(worker.Start([] {})) << "a second start while one runs starts nothing";
    release = true;
    for (int i = 0; i < 5000 && worker.IsRunning(); ++i)
        Sleep(1);
    EXPECT_FALSE(worker.IsRunning());
    EXPECT_EQ(seenFromInside, id);
    ASSERT_TRUE(worker.Start([&] { worker.ClearSlot(); })) << "a freed slot takes the next worker";
    EXPECT_NE(worker.Id(), id);
}

TEST(WorkerThreadTest, TerminateEndsASleepingRoutineWithoutItsEnding)
{
    zorkit::CWorkerThread worker;
    std::atomic<bool> ended{false};
    ASSERT_TRUE(worker.Start([&] {
        Sleep(60000);
        ended = true;
    }));
    auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(worker.Terminate());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    EXPECT_FALSE(worker.IsRunning());
    EXPECT_FALSE(worker.HasHandle());
    EXPECT_FALSE(ended);
    EXPECT_FALSE(worker.Terminate()) << "nothing left to end";
}

TEST(WorkerThreadTest, WorkerCannotWaitForItself)
{
    zorkit::CWorkerThread worker;
    std::atomic<bool> returnedFromTerminate{false};
    std::atomic<bool> pastCancellationPoint{false};
    ASSERT_TRUE(worker.Start([&] {
        EXPECT_TRUE(worker.IsCurrentThread());
        worker.Terminate();
        returnedFromTerminate = true;
        Sleep(0);
        pastCancellationPoint = true;
    }));
    for (int i = 0; i < 5000 && !returnedFromTerminate; ++i)
        Sleep(1);
    EXPECT_TRUE(returnedFromTerminate) << "terminating itself must not block the worker";
    worker.Terminate();
    EXPECT_FALSE(pastCancellationPoint) << "the next cancellation point ends it";
    EXPECT_FALSE(worker.IsCurrentThread());
}

TEST(WorkerThreadTest, DestructorEndsARunningWorker)
{
    std::atomic<bool> ended{false};
    {
        zorkit::CWorkerThread worker;
        ASSERT_TRUE(worker.Start([&] {
            Sleep(60000);
            ended = true;
        }));
    }
    EXPECT_FALSE(ended);
}
