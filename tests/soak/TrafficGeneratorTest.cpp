// The traffic generator: reproducible, well-formed, and as busy as it claims.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "TrafficGenerator.h"

namespace relaydeck::replay {
namespace {

using namespace std::chrono_literals;
using Source = ChannelChange::Source;

std::string scenarioOf(const TrafficOptions& options) {
    std::ostringstream out;
    writeScenario(generateTraffic(options), out);
    return out.str();
}

TEST(TrafficGenerator, TheSameSeedGivesTheSameScenarioAndAnotherSeedAnother) {
    TrafficOptions options;
    options.seed = 11;
    const std::string first = scenarioOf(options);
    EXPECT_EQ(scenarioOf(options), first);
    options.seed = 12;
    EXPECT_NE(scenarioOf(options), first);
}

TEST(TrafficGenerator, OversTakeTurnsAndEndInsideTheRun) {
    TrafficOptions options;
    options.duration = 7 * 24h;
    const Traffic traffic = generateTraffic(options);
    ASSERT_FALSE(traffic.changes.empty());
    ASSERT_EQ(traffic.changes.size() % 2, 0u);
    for (std::size_t i = 0; i < traffic.changes.size(); i += 2) {
        const ChannelChange& on = traffic.changes[i];
        const ChannelChange& off = traffic.changes[i + 1];
        EXPECT_TRUE(on.on);
        EXPECT_FALSE(off.on);
        EXPECT_EQ(on.source, off.source);
        EXPECT_LT(on.at, off.at);
        if (i > 0) {
            EXPECT_LT(traffic.changes[i - 1].at, on.at) << "over " << i / 2;
        }
    }
    EXPECT_LT(traffic.changes.back().at, options.duration);
}

TEST(TrafficGenerator, HasEveryKindOfOverABusyRepeaterSees) {
    TrafficOptions options;
    options.duration = 24h;
    const Traffic traffic = generateTraffic(options);
    const auto timeOut = std::chrono::minutes(options.timeOutMinutes);
    std::map<std::string, int> kinds;
    for (std::size_t i = 0; i < traffic.changes.size(); i += 2) {
        const ChannelChange& on = traffic.changes[i];
        const auto length = traffic.changes[i + 1].at - on.at;
        kinds[on.source == Source::Carrier ? "local" : "internet"]++;
        if (length > timeOut) kinds["held past the time-out"]++;
        if (i > 0 && on.source == Source::Carrier &&
            traffic.changes[i - 1].source == Source::Carrier &&
            on.at - traffic.changes[i - 1].at < options.breakTime) {
            kinds["re-key inside the break"]++;
        }
    }
    // About 90 s apart on average: several hundred overs a day.
    EXPECT_GT(kinds["local"], 400);
    EXPECT_GT(kinds["internet"], 150);
    EXPECT_GT(kinds["held past the time-out"], 5);
    EXPECT_GT(kinds["re-key inside the break"], 30);
}

TEST(TrafficGenerator, MixedOversHandOverBothWaysAndOutlastTheTimeOut) {
    TrafficOptions options;
    options.duration = 7 * 24h;
    options.overlapShare = 0.1;
    const Traffic traffic = generateTraffic(options);
    std::map<Source, bool> on{{Source::Carrier, false}, {Source::Internet, false}};
    std::map<std::string, int> kinds;
    std::chrono::milliseconds last{0}, spellStart{0};
    Source first = Source::Carrier;
    bool handedOver = false;
    for (const ChannelChange& c : traffic.changes) {
        ASSERT_LE(last, c.at);
        last = c.at;
        ASSERT_NE(on[c.source], c.on) << "at " << c.at.count() << " ms";
        const bool wasClear = !on[Source::Carrier] && !on[Source::Internet];
        on[c.source] = c.on;
        const bool other = on[c.source == Source::Carrier ? Source::Internet : Source::Carrier];
        if (wasClear) {
            spellStart = c.at;
            first = c.source;
        }
        handedOver |= c.on && other;
        if (!on[Source::Carrier] && !on[Source::Internet] && handedOver) {
            kinds[first == Source::Carrier ? "local first" : "Internet first"]++;
            if (c.at - spellStart > std::chrono::minutes(options.timeOutMinutes)) kinds["long"]++;
            handedOver = false;
        }
    }
    // One over in ten, about a third of them from the Internet first.
    EXPECT_GT(kinds["local first"], 100) << kinds["Internet first"];
    EXPECT_GT(kinds["Internet first"], 40);
    EXPECT_GT(kinds["long"], 100) << kinds["long"];
    EXPECT_LT(traffic.changes.back().at, options.duration);
}

TEST(TrafficGenerator, WritesTheSettingsThenTheOversWithMillisecondWaits) {
    TrafficOptions options;
    options.duration = 1h;
    options.breakTime = 1234ms;
    const Traffic traffic = generateTraffic(options);
    std::ostringstream out;
    writeScenario(traffic, out);
    std::istringstream lines(out.str());
    std::string line;
    std::vector<std::string> all;
    while (std::getline(lines, line)) all.push_back(line);
    ASSERT_GT(all.size(), 12u);
    EXPECT_EQ(all[1], "callsign PY2XYZ");
    EXPECT_EQ(all[8], "ini BREAKTIME=1234");
    EXPECT_EQ(all[9], "start");

    // The waits add up to the run's length, and the first over comes at its time.
    std::int64_t total = 0;
    bool firstOver = true;
    for (const std::string& l : all) {
        if (l.rfind("wait ", 0) == 0) {
            const std::string s = l.substr(5);
            const std::size_t point = s.find('.');
            ASSERT_EQ(s.size() - point, 4u) << l;
            total += std::stoll(s.substr(0, point)) * 1000 + std::stoll(s.substr(point + 1));
        } else if (firstOver && (l == "carrier on" || l == "rx on")) {
            EXPECT_EQ(total, traffic.changes.front().at.count());
            firstOver = false;
        }
    }
    EXPECT_EQ(total, std::chrono::milliseconds(1h).count());
}

}  // namespace
}  // namespace relaydeck::replay
