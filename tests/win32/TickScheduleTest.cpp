#include "win32/TickSchedule.h"

#include <gtest/gtest.h>

namespace relaydeck {
namespace {

using namespace std::chrono_literals;
using D = TickSchedule::Duration;

TEST(TickSchedule, LateTicksDoNotShiftLaterDeadlines) {
    TickSchedule s;
    const D origin = 5s;
    s.start(origin, 1s);
    for (int n = 1; n <= 60; ++n) {
        // Every wake-up comes 7 ms after its deadline.
        const D wake = origin + n * D(1s) + D(7ms);
        ASSERT_TRUE(s.takeTick(wake)) << "tick " << n;
        EXPECT_EQ(s.nextDeadline(), origin + (n + 1) * D(1s));
        EXPECT_EQ(s.delayFrom(wake), 993ms);
    }
    EXPECT_EQ(s.ticks(), 60);
}

TEST(TickSchedule, EarlyWakeUpIsNotATickButWithinToleranceIs) {
    TickSchedule s;
    s.start(0s, 1s);
    EXPECT_FALSE(s.takeTick(998ms));
    EXPECT_EQ(s.delayFrom(998ms), 2ms);
    EXPECT_EQ(s.ticks(), 0);
    EXPECT_TRUE(s.takeTick(D(999500us)));
    EXPECT_EQ(s.ticks(), 1);
    EXPECT_EQ(s.nextDeadline(), D(2s));
}

TEST(TickSchedule, MissedDeadlinesMergeIntoOneTickAndKeepThePhase) {
    TickSchedule s;
    s.start(100ms, 500ms);
    // The thread was busy for three and a half periods.
    EXPECT_TRUE(s.takeTick(100ms + 1750ms));
    EXPECT_EQ(s.ticks(), 3);
    EXPECT_EQ(s.nextDeadline(), 100ms + 2000ms);
    EXPECT_EQ(s.delayFrom(100ms + 1750ms), 250ms);
    EXPECT_FALSE(s.takeTick(100ms + 1800ms));
}

TEST(TickSchedule, RestartCountsFromTheNewStart) {
    TickSchedule s;
    s.start(0s, 1s);
    ASSERT_TRUE(s.takeTick(1s));
    s.start(D(1300ms), 750ms);
    EXPECT_EQ(s.ticks(), 0);
    EXPECT_EQ(s.nextDeadline(), D(2050ms));
    EXPECT_EQ(s.period(), D(750ms));
}

TEST(TickSchedule, DelayRoundsUpToWholeMillisecondsAndIsZeroWhenDue) {
    TickSchedule s;
    s.start(0s, 1s);
    EXPECT_EQ(s.delayFrom(D(999700us)), 1ms);
    EXPECT_EQ(s.delayFrom(1s), 0ms);
    EXPECT_EQ(s.delayFrom(3s), 0ms);
}

TEST(TickSchedule, ZeroPeriodIsNeverDue) {
    TickSchedule s;
    s.start(0s, 0s);
    EXPECT_FALSE(s.takeTick(0s));
    EXPECT_FALSE(s.takeTick(10s));
    EXPECT_EQ(s.ticks(), 0);
}

}  // namespace
}  // namespace relaydeck
