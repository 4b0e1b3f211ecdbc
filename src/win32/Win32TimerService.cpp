#include "win32/Win32TimerService.h"

#include <algorithm>

#include "win32/TickSchedule.h"
#include "win32/Window.h"

namespace relaydeck::win32 {

namespace {

constexpr wchar_t kClassName[] = L"RelaydeckTimers";

}  // namespace

class Win32IntervalTimer : public IntervalTimer {
  public:
    Win32IntervalTimer(Win32TimerService& service, UINT_PTR id, std::function<void()> onTick)
        : IntervalTimer(std::move(onTick)), service_(service), id_(id) {}
    ~Win32IntervalTimer() override { service_.forget(id_); }
    Win32IntervalTimer(const Win32IntervalTimer&) = delete;
    Win32IntervalTimer& operator=(const Win32IntervalTimer&) = delete;

    void wake() {
        if (!armed()) {
            service_.disarm(id_);
            return;
        }
        const auto now = Win32TimerService::now();
        const bool due = schedule_.takeTick(now);
        service_.arm(id_, schedule_.delayFrom(now));
        // The handler may stop or re-arm this timer; that replaces the schedule set above.
        if (due) fire();
    }

  protected:
    void rearm() override {
        if (!armed()) {
            service_.disarm(id_);
            return;
        }
        const auto now = Win32TimerService::now();
        schedule_.start(now, interval());
        service_.arm(id_, schedule_.delayFrom(now));
    }

  private:
    Win32TimerService& service_;
    UINT_PTR id_;
    TickSchedule schedule_;
};

Win32TimerService::Win32TimerService()
    : window_(createMessageWindow(kClassName, &Win32TimerService::windowProc, this)) {}

Win32TimerService::~Win32TimerService() {
    if (window_ != nullptr) DestroyWindow(window_);
}

std::chrono::nanoseconds Win32TimerService::now() {
    static const LONGLONG frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    const LONGLONG seconds = count.QuadPart / frequency;
    const LONGLONG rest = count.QuadPart % frequency;
    return std::chrono::seconds(seconds) +
           std::chrono::nanoseconds(rest * 1'000'000'000 / frequency);
}

std::unique_ptr<IntervalTimer> Win32TimerService::createTimer(std::function<void()> onTick) {
    const UINT_PTR id = nextId_++;
    auto timer = std::make_unique<Win32IntervalTimer>(*this, id, std::move(onTick));
    timers_[id] = timer.get();
    return timer;
}

void Win32TimerService::arm(UINT_PTR id, std::chrono::milliseconds delay) {
    const auto ms = std::clamp<std::chrono::milliseconds::rep>(delay.count(), USER_TIMER_MINIMUM,
                                                               USER_TIMER_MAXIMUM);
    SetTimer(window_, id, static_cast<UINT>(ms), nullptr);
}

void Win32TimerService::disarm(UINT_PTR id) {
    KillTimer(window_, id);
}

void Win32TimerService::forget(UINT_PTR id) {
    disarm(id);
    timers_.erase(id);
}

void Win32TimerService::onTimer(UINT_PTR id) {
    const auto found = timers_.find(id);
    if (found == timers_.end()) {
        KillTimer(window_, id);
        return;
    }
    found->second->wake();
}

LRESULT CALLBACK Win32TimerService::windowProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    if (message == WM_TIMER) {
        auto* service =
            reinterpret_cast<Win32TimerService*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (service != nullptr) service->onTimer(static_cast<UINT_PTR>(wParam));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace relaydeck::win32
