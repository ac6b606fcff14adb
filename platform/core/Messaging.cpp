#include "zorkit/platform/core/Messaging.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "zorkit/platform/core/CancelToken.h"
#include "zorkit/platform/core/Time.h"

namespace {

struct ThreadQueue;

// A message sent from another thread, waiting in the owner's queue for its reply.
struct SentMessage {
    MSG msg{};
    std::shared_ptr<ThreadQueue> sender;
    LRESULT result = 0;
    bool done = false;                  // guarded by the sender's queue lock
    std::atomic<bool> abandoned{false}; // the sender was cancelled and left
};

struct ThreadQueue {
    std::mutex lock;
    std::condition_variable changed;
    std::deque<MSG> posted;
    std::deque<std::shared_ptr<SentMessage>> sent;
    bool quit = false;
    int quitCode = 0;
    zorkit::ISyntheticMessageSource* synthetic = nullptr;  // owner thread only
    zorkit::MessageFilter filter = nullptr;                // owner thread only
    std::function<void()> wake;                            // guarded by lock
};

// Tells the owner's wake hook, if any, that its queue changed. Called under queue.lock.
void Wake(ThreadQueue& queue)
{
    queue.changed.notify_all();
    if (queue.wake)
        queue.wake();
}

struct Registration {
    zorkit::IMessageTarget* target;
    std::shared_ptr<ThreadQueue> owner;
};

std::mutex g_registryLock;
std::unordered_map<HWND, Registration> g_registry;
std::uintptr_t g_nextHandle = 0x10000;

std::atomic<zorkit::RetrievalObserver> g_retrievalObserver{nullptr};

void Retrieved(const MSG& msg)
{
    if (zorkit::RetrievalObserver observer = g_retrievalObserver.load(std::memory_order_acquire))
        observer(msg);
}

std::shared_ptr<ThreadQueue> CurrentQueue()
{
    thread_local std::shared_ptr<ThreadQueue> queue = std::make_shared<ThreadQueue>();
    return queue;
}

bool Lookup(HWND hwnd, Registration& out)
{
    std::lock_guard<std::mutex> hold(g_registryLock);
    auto it = g_registry.find(hwnd);
    if (it == g_registry.end())
        return false;
    out = it->second;
    return true;
}

LRESULT Deliver(const MSG& msg)
{
    zorkit::IMessageTarget* target = zorkit::FindMessageTarget(msg.hwnd);
    return target ? target->HandleMessage(msg.hwnd, msg.message, msg.wParam, msg.lParam) : 0;
}

void Reply(const std::shared_ptr<SentMessage>& sent, LRESULT result)
{
    std::lock_guard<std::mutex> hold(sent->sender->lock);
    sent->result = result;
    sent->done = true;
    sent->sender->changed.notify_all();
}

// Handles every message other threads have sent to this one. Must be called unlocked.
void HandleSentMessages(ThreadQueue& queue)
{
    for (;;) {
        std::shared_ptr<SentMessage> sent;
        {
            std::lock_guard<std::mutex> hold(queue.lock);
            if (queue.sent.empty())
                return;
            sent = std::move(queue.sent.front());
            queue.sent.pop_front();
        }
        LRESULT result = sent->abandoned.load(std::memory_order_acquire) ? 0 : Deliver(sent->msg);
        Reply(sent, result);
    }
}

bool Matches(const MSG& msg, HWND hwnd, UINT filterMin, UINT filterMax)
{
    if (hwnd && msg.hwnd != hwnd)
        return false;
    if (filterMin == 0 && filterMax == 0)
        return true;
    return msg.message >= filterMin && msg.message <= filterMax;
}

bool HasMessages(const ThreadQueue& queue) { return !queue.posted.empty() || !queue.sent.empty() || queue.quit; }

bool HasSentMessages(const ThreadQueue& queue) { return !queue.sent.empty(); }

// Blocks until `ready` holds, the deadline passes or `slice` is over (conditions that
// other threads change do not wake the queue); false once the deadline has passed.
bool WaitSlice(ThreadQueue& queue, std::chrono::steady_clock::time_point deadline, std::chrono::milliseconds slice,
               bool (*ready)(const ThreadQueue&))
{
    auto now = std::chrono::steady_clock::now();
    if (now >= deadline)
        return false;
    std::unique_lock<std::mutex> hold(queue.lock);
    queue.changed.wait_for(hold, std::min<std::chrono::steady_clock::duration>(deadline - now, slice),
                           [&] { return ready(queue); });
    return true;
}

// Takes the first matching posted message, or WM_QUIT once the queue holds no other.
bool TakePosted(ThreadQueue& queue, LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, bool remove)
{
    for (auto it = queue.posted.begin(); it != queue.posted.end(); ++it) {
        if (!Matches(*it, hwnd, filterMin, filterMax))
            continue;
        *msg = *it;
        if (remove)
            queue.posted.erase(it);
        return true;
    }
    if (queue.synthetic && queue.synthetic->TakeSynthetic(msg, hwnd, filterMin, filterMax, remove))
        return true;
    if (queue.quit) {
        *msg = MSG{nullptr, WM_QUIT, WPARAM(queue.quitCode), 0, GetTickCount(), POINT{0, 0}};
        if (remove)
            queue.quit = false;
        return true;
    }
    return false;
}

}

namespace zorkit {

HWND RegisterMessageTarget(IMessageTarget* target)
{
    std::lock_guard<std::mutex> hold(g_registryLock);
    g_nextHandle += 4;
    HWND hwnd = reinterpret_cast<HWND>(g_nextHandle);
    g_registry[hwnd] = Registration{target, CurrentQueue()};
    return hwnd;
}

void UnregisterMessageTarget(HWND hwnd)
{
    std::lock_guard<std::mutex> hold(g_registryLock);
    g_registry.erase(hwnd);
}

IMessageTarget* FindMessageTarget(HWND hwnd)
{
    Registration found;
    return Lookup(hwnd, found) ? found.target : nullptr;
}

void SetSyntheticMessageSource(ISyntheticMessageSource* source) { CurrentQueue()->synthetic = source; }

void SetMessageFilter(MessageFilter filter) { CurrentQueue()->filter = filter; }

void SetMessageRetrievalObserver(RetrievalObserver observer)
{
    g_retrievalObserver.store(observer, std::memory_order_release);
}

bool PumpMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    auto queue = CurrentQueue();
    for (;;) {
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(int(msg.wParam));
                return done();
            }
            if (!queue->filter || !queue->filter(&msg))
                DispatchMessage(&msg);
            if (done())
                return true;
        }
        if (done())
            return true;
        if (!WaitSlice(*queue, deadline, std::chrono::milliseconds(5), HasMessages))
            return false;
    }
}

void WaitForMessages(long timeoutMs)
{
    auto queue = CurrentQueue();
    HandleSentMessages(*queue);
    std::unique_lock<std::mutex> hold(queue->lock);
    auto ready = [&] { return HasMessages(*queue); };
    if (timeoutMs < 0)
        queue->changed.wait(hold, ready);
    else
        queue->changed.wait_for(hold, std::chrono::milliseconds(timeoutMs), ready);
    hold.unlock();
    HandleSentMessages(*queue);
}

void SetQueueWakeHook(std::function<void()> hook)
{
    auto queue = CurrentQueue();
    std::lock_guard<std::mutex> hold(queue->lock);
    queue->wake = std::move(hook);
}

bool WaitHandlingSentMessages(const std::function<bool()>& done, DWORD timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    auto queue = CurrentQueue();
    for (;;) {
        HandleSentMessages(*queue);
        if (done())
            return true;
        if (!WaitSlice(*queue, deadline, std::chrono::milliseconds(1), HasSentMessages))
            return false;
    }
}

}

BOOL IsWindow(HWND hwnd) { return zorkit::FindMessageTarget(hwnd) != nullptr; }

BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Registration found;
    if (!Lookup(hwnd, found))
        return FALSE;
    std::lock_guard<std::mutex> hold(found.owner->lock);
    found.owner->posted.push_back(MSG{hwnd, message, wParam, lParam, GetTickCount(), POINT{0, 0}});
    Wake(*found.owner);
    return TRUE;
}

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Registration found;
    if (!Lookup(hwnd, found))
        return 0;
    auto self = CurrentQueue();
    if (found.owner == self)
        return found.target->HandleMessage(hwnd, message, wParam, lParam);

    zorkit::CancelToken* token = zorkit::CancelToken::Current();
    if (token)
        token->ThrowIfCancelled();
    auto sent = std::make_shared<SentMessage>();
    sent->msg = MSG{hwnd, message, wParam, lParam, GetTickCount(), POINT{0, 0}};
    sent->sender = self;
    {
        std::lock_guard<std::mutex> hold(found.owner->lock);
        found.owner->sent.push_back(sent);
        Wake(*found.owner);
    }
    zorkit::CancelToken::Registration wake(token, [self] {
        std::lock_guard<std::mutex> hold(self->lock);
        self->changed.notify_all();
    });
    for (;;) {
        HandleSentMessages(*self);
        std::unique_lock<std::mutex> hold(self->lock);
        self->changed.wait(hold, [&] {
            return sent->done || !self->sent.empty() || (token && token->IsCancelled());
        });
        if (sent->done)
            return sent->result;
        if (token && token->IsCancelled()) {
            sent->abandoned.store(true, std::memory_order_release);
            throw zorkit::ThreadCancelled{};
        }
    }
}

BOOL PeekMessage(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    auto queue = CurrentQueue();
    HandleSentMessages(*queue);
    const bool remove = (removeFlags & PM_REMOVE) != 0;
    bool taken;
    {
        std::lock_guard<std::mutex> hold(queue->lock);
        taken = TakePosted(*queue, msg, hwnd, filterMin, filterMax, remove);
    }
    if (taken && remove)
        Retrieved(*msg);
    return taken;
}

BOOL GetMessage(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax)
{
    auto queue = CurrentQueue();
    for (;;) {
        HandleSentMessages(*queue);
        std::unique_lock<std::mutex> hold(queue->lock);
        if (TakePosted(*queue, msg, hwnd, filterMin, filterMax, true)) {
            hold.unlock();
            Retrieved(*msg);
            return msg->message != WM_QUIT;
        }
        auto ready = [&] { return HasMessages(*queue); };
        long next = queue->synthetic ? queue->synthetic->MillisecondsUntilNext() : -1;
        if (next < 0)
            queue->changed.wait(hold, ready);
        else
            queue->changed.wait_for(hold, std::chrono::milliseconds(next), ready);
    }
}

LRESULT DispatchMessage(const MSG* msg) { return msg && msg->hwnd ? Deliver(*msg) : 0; }

void PostQuitMessage(int exitCode)
{
    auto queue = CurrentQueue();
    std::lock_guard<std::mutex> hold(queue->lock);
    queue->quit = true;
    queue->quitCode = exitCode;
    Wake(*queue);
}
