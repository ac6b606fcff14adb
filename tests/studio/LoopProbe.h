// Measures how long a window's thread leaves its message loop: another thread sends
// the window a message every few milliseconds and times each answer.
//
//   CLoopProbe probe(window.m_hWnd);
//   ... work while the window's thread pumps ...
//   double worst = probe.Stop();      // the longest answer, ms
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "zorkit/platform/core/Messaging.h"

namespace zorkit::studio::test {

class CLoopProbe {
public:
    static constexpr UINT kProbe = 0x0000;  // WM_NULL: every window answers it at once

    explicit CLoopProbe(HWND window)
        : m_thread([this, window] {
              while (!m_stop) {
                  const auto sent = std::chrono::steady_clock::now();
                  SendMessage(window, kProbe, 0, 0);
                  const double ms =
                      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - sent).count();
                  m_worst = std::max(m_worst.load(), ms);
                  ++m_answers;
                  std::this_thread::sleep_for(std::chrono::milliseconds(5));
              }
              m_done = true;
          })
    {
    }
    ~CLoopProbe() { Stop(); }

    // Ends the probe; the longest answer in milliseconds.
    double Stop()
    {
        m_stop = true;
        // The probe may be waiting for this very thread to answer it.
        WaitHandlingSentMessages([this] { return m_done.load(); }, 60000);
        if (m_thread.joinable())
            m_thread.join();
        return m_worst;
    }
    int Answers() const { return m_answers; }

private:
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_done{false};
    std::atomic<double> m_worst{0.0};
    std::atomic<int> m_answers{0};
    std::thread m_thread;
};

}
