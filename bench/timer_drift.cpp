// Measures the Windows timer service against the performance counter: a one-second
// interval timer runs for a number of ticks (default 60) while the controller's other
// periods (500 ms, 750 ms, 2500 ms) run beside it; prints the drift of the last tick and
// the lateness of each tick against start + n·period.
//   timer_drift.exe [ticks]

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "win32/Win32TimerService.h"

using namespace std::chrono;
using relaydeck::win32::Win32TimerService;

namespace {

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(p / 100.0 * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

}  // namespace

int main(int argc, char** argv) {
    const int ticks = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    constexpr milliseconds kPeriod{1000};

    Win32TimerService service;
    std::vector<nanoseconds> at;
    at.reserve(static_cast<std::size_t>(ticks));
    auto second = service.createTimer([&] {
        at.push_back(Win32TimerService::now());
        if (static_cast<int>(at.size()) >= ticks) PostQuitMessage(0);
    });
    // The controller's other timers keep the thread as busy as on a station.
    int others = 0;
    std::vector<std::unique_ptr<relaydeck::IntervalTimer>> load;
    for (const milliseconds period : {milliseconds(500), milliseconds(750), milliseconds(2500)}) {
        load.push_back(service.createTimer([&others] { ++others; }));
        load.back()->setInterval(period);
        load.back()->start();
    }

    second->setInterval(kPeriod);
    const nanoseconds start = Win32TimerService::now();
    second->start();

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }

    std::vector<double> lateMs;
    for (std::size_t n = 0; n < at.size(); ++n) {
        const nanoseconds ideal = start + kPeriod * static_cast<long long>(n + 1);
        lateMs.push_back(duration<double, std::milli>(at[n] - ideal).count());
    }
    const double total = duration<double>(at.back() - start).count();
    const double ideal = duration<double>(kPeriod).count() * static_cast<double>(at.size());
    std::printf("ticks: %zu of %lld ms (other timers ticked %d times)\n", at.size(),
                static_cast<long long>(kPeriod.count()), others);
    std::printf("elapsed: %.6f s, ideal %.6f s\n", total, ideal);
    std::printf("drift: %.5f %%\n", (total - ideal) / ideal * 100.0);
    std::printf("lateness: p50 %.3f ms, p99 %.3f ms, max %.3f ms, min %.3f ms\n",
                percentile(lateMs, 50), percentile(lateMs, 99),
                *std::max_element(lateMs.begin(), lateMs.end()),
                *std::min_element(lateMs.begin(), lateMs.end()));
    return 0;
}
