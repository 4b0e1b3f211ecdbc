#pragma once
/// @file
/// @brief Interval timers on the window thread's message loop that do not drift.

#include <windows.h>

#include <chrono>
#include <unordered_map>

#include "controller/IntervalTimer.h"

namespace relaydeck::win32 {

class Win32IntervalTimer;

/// @brief Creates timers whose ticks arrive as WM_TIMER messages on the calling thread.
///
/// Each tick is scheduled for start + n·period on the performance counter, not one period
/// after the last tick, so lateness does not add up. The messages are dispatched by every
/// message loop of the thread, message boxes' included.
class Win32TimerService : public TimerService {
  public:
    Win32TimerService();
    ~Win32TimerService() override;
    Win32TimerService(const Win32TimerService&) = delete;
    Win32TimerService& operator=(const Win32TimerService&) = delete;

    std::unique_ptr<IntervalTimer> createTimer(std::function<void()> onTick) override;

    /// @brief The performance counter as a duration since an arbitrary origin.
    static std::chrono::nanoseconds now();

  private:
    friend class Win32IntervalTimer;
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void arm(UINT_PTR id, std::chrono::milliseconds delay);
    void disarm(UINT_PTR id);
    void forget(UINT_PTR id);
    void onTimer(UINT_PTR id);

    HWND window_ = nullptr;
    UINT_PTR nextId_ = 1;
    std::unordered_map<UINT_PTR, Win32IntervalTimer*> timers_;
};

}  // namespace relaydeck::win32
