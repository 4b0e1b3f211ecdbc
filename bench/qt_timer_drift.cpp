// How the Qt interval timers keep time against the steady clock.
//
//   qt_timer_drift [TICKS] [PERIOD_MS]      (default: 60 ticks of 1000 ms)
//
// Prints the drift of the last tick against the ideal schedule (in percent of the time
// run) and the lateness of the ticks (median, 99th percentile and worst), in milliseconds.

#include <QCoreApplication>
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <string_view>
#include <vector>

#include "ui/QtTimerService.h"

namespace {

using Clock = std::chrono::steady_clock;

int argument(int argc, char** argv, int index, int fallback) {
    if (index >= argc) return fallback;
    const std::string_view text(argv[index]);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value <= 0) return fallback;
    return value;
}

double percentile(std::vector<double> values, double share) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const auto last = static_cast<double>(values.size() - 1);
    return values[static_cast<std::size_t>(share * last + 0.5)];
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int ticks = argument(argc, argv, 1, 60);
    const std::chrono::milliseconds period(argument(argc, argv, 2, 1000));

    std::vector<Clock::time_point> at;
    at.reserve(static_cast<std::size_t>(ticks));
    relaydeck::QtTimerService service;
    auto timer = service.createTimer([&] {
        at.push_back(Clock::now());
        if (static_cast<int>(at.size()) == ticks) QCoreApplication::quit();
    });
    std::printf("qt_timer_drift: %d ticks of %lld ms...\n", ticks,
                static_cast<long long>(period.count()));
    std::fflush(stdout);
    const Clock::time_point start = Clock::now();
    timer->setInterval(period);
    timer->start();
    QCoreApplication::exec();

    std::vector<double> lateMs;
    lateMs.reserve(at.size());
    for (std::size_t i = 0; i < at.size(); ++i) {
        const auto ideal = start + period * static_cast<long long>(i + 1);
        lateMs.push_back(std::chrono::duration<double, std::milli>(at[i] - ideal).count());
    }
    const double runMs = std::chrono::duration<double, std::milli>(at.back() - start).count();
    const double idealMs = static_cast<double>(period.count()) * static_cast<double>(at.size());
    std::printf("ran %.1f ms for %.0f ms of ticks: drift %+.4f %%\n", runMs, idealMs,
                (runMs - idealMs) / idealMs * 100.0);
    std::printf("lateness: p50 %.2f ms, p99 %.2f ms, worst %.2f ms\n", percentile(lateMs, 0.5),
                percentile(lateMs, 0.99), *std::max_element(lateMs.begin(), lateMs.end()));
    return 0;
}
