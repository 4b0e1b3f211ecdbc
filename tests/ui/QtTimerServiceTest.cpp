// The Qt timer service keeps the interval timers' rules on a real event loop. No test
// here bounds how late a tick may come: a loaded machine only makes them slower.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>

#include "ui/QtTimerService.h"

namespace relaydeck {
namespace {

using std::chrono::hours;
using std::chrono::milliseconds;

/// Far longer than any tick takes to come, even on a loaded machine.
constexpr qint64 kPatienceMs = 30'000;

class QtTimerServiceTest : public ::testing::Test {
  protected:
    QtTimerServiceTest() {
        timer = service.createTimer([this] { ++ticks; });
    }

    /// Runs the event loop, calling @p between at each pass, until @p done or the patience
    /// runs out; false then.
    bool eventually(
        const std::function<bool()>& done, const std::function<void()>& between = [] {}) {
        QElapsedTimer clock;
        clock.start();
        while (!done()) {
            if (clock.elapsed() > kPatienceMs) return false;
            between();
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        return true;
    }
    /// Runs the event loop for at least @p ms (only ever used to look for ticks that must
    /// not come: a slow machine can only make them rarer).
    static void runFor(qint64 ms) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }

    QtTimerService service;
    int ticks = 0;
    std::unique_ptr<IntervalTimer> timer;
};

TEST_F(QtTimerServiceTest, APeriodOfZeroNeverFires) {
    timer->start();
    runFor(100);
    EXPECT_EQ(ticks, 0);
    EXPECT_FALSE(timer->armed());

    // Nor does a running timer once its period becomes 0.
    timer->setInterval(milliseconds(10));
    ASSERT_TRUE(eventually([this] { return ticks > 0; }));
    timer->setInterval(milliseconds(0));
    const int seen = ticks;
    runFor(100);
    EXPECT_EQ(ticks, seen);
    EXPECT_TRUE(timer->enabled());
}

TEST_F(QtTimerServiceTest, ANewTimerIsStoppedAndAStartedOneTicksUntilStopped) {
    timer->setInterval(milliseconds(10));
    runFor(60);
    EXPECT_EQ(ticks, 0) << "a new timer is stopped";

    timer->start();
    ASSERT_TRUE(eventually([this] { return ticks >= 3; }));
    timer->stop();
    // A tick already queued when it stopped is dropped too.
    const int seen = ticks;
    runFor(100);
    EXPECT_EQ(ticks, seen);
}

TEST_F(QtTimerServiceTest, EnablingARunningTimerDoesNotRestartIt) {
    timer->setInterval(milliseconds(300));
    timer->start();
    // Enabled again and again, far more often than its period: a restart on each would
    // keep the first tick from ever coming.
    EXPECT_TRUE(eventually([this] { return ticks > 0; },
                           [this] {
                               timer->start();
                               timer->setEnabled(true);
                           }));
}

TEST_F(QtTimerServiceTest, TheSamePeriodAgainChangesNothing) {
    timer->setInterval(milliseconds(300));
    timer->start();
    EXPECT_TRUE(eventually([this] { return ticks > 0; },
                           [this] { timer->setInterval(milliseconds(300)); }));
}

TEST_F(QtTimerServiceTest, ANewPeriodReplacesTheRunningOne) {
    timer->setInterval(milliseconds(10));
    timer->start();
    timer->setInterval(hours(1));
    runFor(150);
    EXPECT_EQ(ticks, 0) << "the old 10 ms period must be gone";

    timer->setInterval(milliseconds(10));
    EXPECT_TRUE(eventually([this] { return ticks >= 2; }));
}

TEST_F(QtTimerServiceTest, ATimerThatStopsItselfTicksOnce) {
    timer = service.createTimer([this] {
        ++ticks;
        timer->stop();
    });
    timer->setInterval(milliseconds(5));
    timer->start();
    ASSERT_TRUE(eventually([this] { return ticks > 0; }));
    runFor(100);
    EXPECT_EQ(ticks, 1);
}

TEST_F(QtTimerServiceTest, TheLongestPeriodIsKept) {
    // 65535 ms must neither wrap nor be cut: no tick comes soon after the start.
    timer->setInterval(kMaxTimerPeriod);
    timer->start();
    runFor(100);
    EXPECT_EQ(ticks, 0);
    EXPECT_TRUE(timer->armed());
}

}  // namespace
}  // namespace relaydeck
