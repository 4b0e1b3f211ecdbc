#include "controller/VirtualClock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace relaydeck {
namespace {

using std::chrono::milliseconds;

struct Recorder {
    VirtualClock clock;
    std::vector<std::string> ticks;
    std::unique_ptr<IntervalTimer> make(const std::string& name, int periodMs) {
        auto t = clock.createTimer(
            [this, name] { ticks.push_back(name + "@" + std::to_string(clock.now().count())); });
        t->setInterval(milliseconds(periodMs));
        return t;
    }
};

TEST(VirtualClock, TicksEveryPeriodWhileEnabledAndPeriodZeroNeverFires) {
    Recorder r;
    auto a = r.make("a", 400);
    auto zero = r.make("zero", 0);
    a->start();
    zero->start();
    r.clock.advance(milliseconds(1000));
    EXPECT_EQ(r.ticks, (std::vector<std::string>{"a@400", "a@800"}));
    EXPECT_EQ(r.clock.now(), milliseconds(1000));
    a->stop();
    r.clock.advance(milliseconds(1000));
    EXPECT_EQ(r.ticks.size(), 2u);
}

TEST(VirtualClock, EnablingARunningTimerChangesNothingButANewPeriodRestartsIt) {
    Recorder r;
    auto a = r.make("a", 1000);
    a->start();
    r.clock.advance(milliseconds(600));
    a->start();
    a->setInterval(milliseconds(1000));  // the same period is no change
    r.clock.advance(milliseconds(400));
    EXPECT_EQ(r.ticks, (std::vector<std::string>{"a@1000"}));
    r.clock.advance(milliseconds(300));
    a->setInterval(milliseconds(500));  // restarts from 1300
    r.clock.advance(milliseconds(700));
    EXPECT_EQ(r.ticks, (std::vector<std::string>{"a@1000", "a@1800"}));
}

TEST(VirtualClock, SimultaneousTicksRunInTheOrderTheTimersWereLastStarted) {
    Recorder r;
    auto first = r.make("first", 1000);
    auto second = r.make("second", 1000);
    second->start();
    first->start();
    r.clock.advance(milliseconds(1000));
    EXPECT_EQ(r.ticks, (std::vector<std::string>{"second@1000", "first@1000"}));
    second->stop();
    second->start();  // restarted at 1000: now after first
    r.clock.advance(milliseconds(1000));
    EXPECT_EQ(r.ticks[2], "first@2000");
    EXPECT_EQ(r.ticks[3], "second@2000");
}

TEST(VirtualClock, ATickThatRestartsItsTimerStartsANewPeriodFromTheTick) {
    Recorder r;
    std::unique_ptr<IntervalTimer> a;
    a = r.clock.createTimer([&] {
        r.ticks.push_back(std::to_string(r.clock.now().count()));
        a->stop();
        a->setInterval(milliseconds(300));
        a->start();
    });
    a->setInterval(milliseconds(1000));
    a->start();
    r.clock.advance(milliseconds(1700));
    EXPECT_EQ(r.ticks, (std::vector<std::string>{"1000", "1300", "1600"}));
}

}  // namespace
}  // namespace relaydeck
