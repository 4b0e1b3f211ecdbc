// A generated month of busy traffic through the real controller, with the safety rules
// checked over the whole run, and the checks themselves shown to catch a bad run.
#include <gtest/gtest.h>

#include <sstream>

#include "ReplayRunner.h"
#include "SafetyChecks.h"
#include "ScenarioFolder.h"
#include "TrafficGenerator.h"

namespace relaydeck::soak {
namespace {

using namespace std::chrono_literals;
using replay::Traffic;
using replay::TrafficOptions;

std::string replayTraffic(const Traffic& traffic) {
    std::stringstream scenario;
    replay::writeScenario(traffic, scenario);
    std::ostringstream out;
    const replay::ScenarioFolder folder;
    replay::ReplayRunner runner(scenario, out, folder.path());
    runner.run();
    return out.str();
}

std::string joined(const std::vector<std::string>& broken) {
    std::string text;
    for (std::size_t i = 0; i < broken.size() && i < 10; ++i) text += broken[i] + "\n";
    if (broken.size() > 10) text += "... and " + std::to_string(broken.size() - 10) + " more\n";
    return text;
}

int count(const std::vector<OutputLine>& lines, std::string_view name, std::string_view args) {
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const OutputLine& l) {
        return l.name == name && l.args == args;
    }));
}

TEST(Soak, AMonthOfBusyTrafficKeepsEverySafetyRule) {
    TrafficOptions options;
    options.seed = 2026;
    options.duration = 30 * 24h;
    options.overlapShare = 0.1;
    const Traffic traffic = replay::generateTraffic(options);
    const std::vector<OutputLine> lines = parseOutput(replayTraffic(traffic));

    EXPECT_EQ(joined(checkSafety(traffic, lines)), "");
    // The run did what busy traffic makes a repeater do, time-outs included.
    EXPECT_GT(count(lines, "SetPTT", "True"), 10'000);
    EXPECT_GT(count(lines, "SendStationText", "\"You have timed-out with PY2XYZ\""), 100);
    EXPECT_GE(count(lines, "SendCW", "False, \"PY2XYZ\""), 30 * 24 * 2);
}

TEST(Soak, SettingsOtherThanTheDefaultsKeepTheRulesToo) {
    TrafficOptions options;
    options.seed = 7;
    options.duration = 3 * 24h;
    options.cwIntervalMinutes = 10;
    options.hangTimeSeconds = 2;
    options.timeOutMinutes = 3;
    options.breakTime = 1500ms;
    options.meanGap = 30s;
    options.heldShare = 0.1;
    options.overlapShare = 0.2;
    const Traffic traffic = replay::generateTraffic(options);
    EXPECT_EQ(joined(checkSafety(traffic, parseOutput(replayTraffic(traffic)))), "");
}

class SafetyChecksTest : public ::testing::Test {
  protected:
    void SetUp() override {
        options_.duration = 24h;
        options_.seed = 3;
        traffic_ = replay::generateTraffic(options_);
        lines_ = parseOutput(replayTraffic(traffic_));
        ASSERT_EQ(joined(checkSafety(traffic_, lines_)), "");
    }
    void removeFirst(std::string_view name, std::string_view args,
                     std::chrono::milliseconds after) {
        const auto it = std::find_if(lines_.begin(), lines_.end(), [&](const OutputLine& l) {
            return l.at > after && l.name == name && l.args == args;
        });
        ASSERT_NE(it, lines_.end());
        lines_.erase(it);
    }
    TrafficOptions options_;
    Traffic traffic_;
    std::vector<OutputLine> lines_;
};

TEST_F(SafetyChecksTest, ATransmitterLeftKeyedIsCaught) {
    removeFirst("SetPTT", "False", 1h);
    const auto broken = checkSafety(traffic_, lines_);
    ASSERT_FALSE(broken.empty());
    EXPECT_NE(broken[0].find("still transmitting"), std::string::npos) << broken[0];
}

TEST_F(SafetyChecksTest, AMissedTimeOutIsCaught) {
    // The first over held past the time-out, with its transmitter dropped only at the end.
    const auto held = std::find_if(
        traffic_.changes.begin(), traffic_.changes.end(), [&](const replay::ChannelChange& c) {
            return !c.on && std::prev(&c)->on && c.at - std::prev(&c)->at > 301s;
        });
    ASSERT_NE(held, traffic_.changes.end());
    removeFirst("SetPTT", "False", std::prev(held)->at);
    lines_.push_back({held->at, "SetPTT", "False"});
    std::stable_sort(lines_.begin(), lines_.end(),
                     [](const OutputLine& a, const OutputLine& b) { return a.at < b.at; });
    const auto broken = checkSafety(traffic_, lines_);
    ASSERT_FALSE(broken.empty());
    EXPECT_NE(broken[0].find("past the time-out"), std::string::npos) << broken[0];
}

TEST_F(SafetyChecksTest, AMissedIdentificationAndAFailureBoxAreCaught) {
    removeFirst("SendCW", "False, \"PY2XYZ\"", 2h);
    lines_.push_back({25h, "MsgBox", "\"Relaydeck\" \"failed\""});
    lines_.push_back({25h, "garbage", ""});
    lines_.back().name = "?";
    const auto broken = checkSafety(traffic_, lines_);
    ASSERT_EQ(broken.size(), 3u) << joined(broken);
    EXPECT_NE(broken[2].find("no Morse identification"), std::string::npos) << broken[2];
}

TEST(ParseOutput, ReadsTimesNamesAndArguments) {
    const auto lines = parseOutput(
        "30.750 SendCW(False, \"K\")\n0.000 MsgBox \"A\" \"B\"\n12.001 End\nnonsense\n");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].at, 30750ms);
    EXPECT_EQ(lines[0].name, "SendCW");
    EXPECT_EQ(lines[0].args, "False, \"K\"");
    EXPECT_EQ(lines[1].name, "MsgBox");
    EXPECT_EQ(lines[1].args, "\"A\" \"B\"");
    EXPECT_EQ(lines[2].at, 12001ms);
    EXPECT_EQ(lines[2].name, "End");
    EXPECT_EQ(lines[3].name, "?");
}

}  // namespace
}  // namespace relaydeck::soak
