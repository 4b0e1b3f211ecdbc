// The Qt timer service keeps the interval timers' rules on a real event loop.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <vector>

#include "ui/QtTimerService.h"

namespace relaydeck {
namespace {

using std::chrono::milliseconds;

class QtTimerServiceTest : public ::testing::Test {
  protected:
    QtTimerServiceTest() {
        timer = service.createTimer([this] { ticks.push_back(clock.elapsed()); });
        clock.start();
    }
    /// Runs the event loop until @p until milliseconds after the test's start.
    void runUntil(qint64 until) {
        while (clock.elapsed() < until) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }

    QtTimerService service;
    QElapsedTimer clock;
    std::vector<qint64> ticks;
    std::unique_ptr<IntervalTimer> timer;
};

TEST_F(QtTimerServiceTest, APeriodOfZeroNeverFires) {
    timer->start();
    runUntil(80);
    EXPECT_TRUE(ticks.empty());
    EXPECT_FALSE(timer->armed());
}

TEST_F(QtTimerServiceTest, TicksEveryPeriodUntilStopped) {
    timer->setInterval(milliseconds(30));
    runUntil(60);
    EXPECT_TRUE(ticks.empty()) << "a new timer is stopped";
    timer->start();
    runUntil(200);
    EXPECT_GE(ticks.size(), 3u);
    timer->stop();
    const std::size_t seen = ticks.size();
    runUntil(300);
    EXPECT_EQ(ticks.size(), seen);
}

TEST_F(QtTimerServiceTest, EnablingARunningTimerDoesNotRestartIt) {
    timer->setInterval(milliseconds(200));
    timer->start();
    runUntil(150);
    timer->start();
    timer->setEnabled(true);
    // A restart would put the first tick at 350 ms.
    runUntil(320);
    ASSERT_EQ(ticks.size(), 1u);
    EXPECT_LT(ticks[0], 320);
}

TEST_F(QtTimerServiceTest, ANewPeriodRestartsFromNow) {
    timer->setInterval(milliseconds(120));
    timer->start();
    runUntil(80);
    timer->setInterval(milliseconds(100));
    runUntil(300);
    ASSERT_FALSE(ticks.empty());
    EXPECT_GE(ticks[0], 170) << "the old period would have ended at 120 ms";
    // The same period again changes nothing.
    const qint64 before = clock.elapsed();
    timer->setInterval(milliseconds(100));
    ticks.clear();
    runUntil(before + 150);
    ASSERT_FALSE(ticks.empty());
}

TEST_F(QtTimerServiceTest, ATimerThatStopsItselfTicksOnce) {
    timer = service.createTimer([this] {
        ticks.push_back(clock.elapsed());
        timer->stop();
    });
    timer->setInterval(milliseconds(20));
    timer->start();
    runUntil(150);
    EXPECT_EQ(ticks.size(), 1u);
}

TEST_F(QtTimerServiceTest, PeriodZeroOnARunningTimerStopsItsTicks) {
    timer->setInterval(milliseconds(20));
    timer->start();
    runUntil(70);
    EXPECT_FALSE(ticks.empty());
    timer->setInterval(milliseconds(0));
    const std::size_t seen = ticks.size();
    runUntil(150);
    EXPECT_EQ(ticks.size(), seen);
    EXPECT_TRUE(timer->enabled());
}

}  // namespace
}  // namespace relaydeck
