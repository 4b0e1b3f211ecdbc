#include <gtest/gtest.h>

#include <stdexcept>

#include "activity/ActivityJournal.h"
#include "activity/TimelineSvg.h"

namespace relaydeck {
namespace {

using namespace std::chrono;
using E = ActivityEvent;
using L = TimelineLane;

ActivityTime t(double seconds) {
    return ActivityTime{milliseconds{static_cast<long long>(seconds * 1000)}};
}
ActivityRecord rec(double at, E event, std::optional<double> duration = std::nullopt) {
    ActivityRecord r{t(at), event, std::nullopt, ""};
    if (duration) r.duration = milliseconds{static_cast<long long>(*duration * 1000)};
    return r;
}

// Two local overs, an Internet one, a time-out, identifications; the last over still on.
const std::vector<ActivityRecord> kDay = {
    rec(0, E::ProgramStarted),
    rec(10, E::LocalOverBegun),
    rec(10, E::TransmitterOn),
    rec(30, E::LocalOverEnded, 20),
    rec(30.75, E::Courtesy),
    rec(35.75, E::IdClosedown),
    rec(35.75, E::TransmitterOff, 25.75),
    rec(40, E::InternetOverBegun),
    rec(40, E::TransmitterOn),
    rec(55, E::InternetOverEnded, 15),
    rec(60, E::TransmitterOff, 20),
    rec(100, E::LocalOverBegun),
    rec(100, E::TransmitterOn),
    rec(160, E::TimeOut),
    rec(160, E::TransmitterOff, 60),
    rec(170, E::LocalOverEnded, 70),
    rec(170.5, E::Recovery, 10.5),
    rec(300, E::IdSpeech),
    rec(900, E::IdPeriodicMorse),
    rec(950, E::LocalOverBegun),
    rec(950, E::TransmitterOn),
};

TEST(ActivityTotals, CountOversTransmitterTimeLongestOverTimeOutsAndIdentifications) {
    const ActivityTotals totals = totalsOf(kDay, t(1000));
    EXPECT_EQ(totals.localOvers, 3);
    EXPECT_EQ(totals.internetOvers, 1);
    // 25.75 + 20 + 60 closed, and 50 s of the transmission still going.
    EXPECT_EQ(totals.transmitterTime, milliseconds{155'750});
    EXPECT_EQ(totals.longestOver, seconds{70});
    EXPECT_EQ(totals.timeOuts, 1);
    EXPECT_EQ(totals.identifications, 3);
    // The over still going becomes the longest once it passes 70 s.
    EXPECT_EQ(totalsOf(kDay, t(1030)).longestOver, seconds{80});

    // The end of the program closes what was on: nothing grows after it.
    auto ended = kDay;
    ended.push_back(rec(960, E::ProgramEnded, 960));
    EXPECT_EQ(totalsOf(ended, t(5000)).transmitterTime, milliseconds{105'750});
    EXPECT_EQ(totalsOf({}, t(5000)), ActivityTotals{});
}

TEST(ActivityTimeline, BandsAreCutToTheStretchAndAnOpenLaneReachesItsEnd) {
    const Timeline timeline = buildTimeline(kDay, t(20), t(1000));
    EXPECT_EQ(timeline.bands, (std::vector<TimelineBand>{{L::Carrier, t(20), t(30)},
                                                         {L::Carrier, t(100), t(170)},
                                                         {L::Carrier, t(950), t(1000)},
                                                         {L::Internet, t(40), t(55)},
                                                         {L::Transmitter, t(20), t(35.75)},
                                                         {L::Transmitter, t(40), t(60)},
                                                         {L::Transmitter, t(100), t(160)},
                                                         {L::Transmitter, t(950), t(1000)}}));
    EXPECT_EQ(timeline.marks, (std::vector<TimelineMark>{{t(35.75), E::IdClosedown},
                                                         {t(160), E::TimeOut},
                                                         {t(300), E::IdSpeech},
                                                         {t(900), E::IdPeriodicMorse}}));
    // Nothing from before the stretch but what was still on in it.
    const Timeline late = buildTimeline(kDay, t(500), t(920));
    EXPECT_TRUE(late.bands.empty());
    EXPECT_EQ(late.marks, (std::vector<TimelineMark>{{t(900), E::IdPeriodicMorse}}));
}

TEST(ActivityTimeline, AProgramEndClosesEveryLane) {
    const std::vector<ActivityRecord> records = {
        rec(0, E::LocalOverBegun), rec(0, E::TransmitterOn), rec(5, E::ProgramEnded, 5),
        rec(9, E::ProgramStarted)};
    EXPECT_EQ(buildTimeline(records, t(0), t(60)).bands,
              (std::vector<TimelineBand>{{L::Carrier, t(0), t(5)}, {L::Transmitter, t(0), t(5)}}));
}

TEST(ActivityJournal, KeepsTheLocalDayAndCarriesWhatIsOnIntoTheNext) {
    // Local time three hours behind UTC.
    ActivityJournal journal([](ActivityTime) { return hours{-3}; });
    int told = 0;
    const Connection listening = journal.setListener([&] { ++told; });
    const ActivityTime lateEvening = ActivityTime{sys_days{year{2026} / December / 8}} + hours{2};
    journal.record({lateEvening, E::LocalOverBegun, {}, ""});
    journal.record({lateEvening, E::TransmitterOn, {}, ""});
    journal.record({lateEvening + minutes{30}, E::IdPeriodicMorse, {}, ""});
    EXPECT_EQ(journal.records().size(), 3u);
    // 03:00 UTC: local midnight has passed.
    journal.record({lateEvening + hours{1} + minutes{10}, E::LocalOverEnded, minutes{70}, ""});
    const ActivityTime midnight = lateEvening + hours{1};
    EXPECT_EQ(journal.records(),
              (std::vector<ActivityRecord>{
                  {midnight, E::LocalOverBegun, std::nullopt, "carried over"},
                  {midnight, E::TransmitterOn, std::nullopt, "carried over"},
                  {midnight + minutes{10}, E::LocalOverEnded, minutes{70}, ""}}));
    EXPECT_EQ(told, 4);
    const ActivityTotals totals = journal.totals(midnight + minutes{20});
    EXPECT_EQ(totals.identifications, 0);
    EXPECT_EQ(totals.transmitterTime, minutes{20});
}

TEST(ActivityJournal, KeepsABoundedNumberOfRecords) {
    ActivityJournal journal;
    for (std::size_t i = 0; i < ActivityJournal::kMaxRecords + 5; ++i) {
        journal.record({t(static_cast<double>(i)), E::FanOn, {}, ""});
    }
    EXPECT_EQ(journal.records().size(), ActivityJournal::kMaxRecords);
    EXPECT_EQ(journal.records().front().time, t(5));
}

TEST(ActivityFanOut, EverySinkGetsTheRecordEvenAfterOneThrows) {
    struct Throwing : ActivitySink {
        void record(const ActivityRecord&) override { throw std::runtime_error("no"); }
    } throwing;
    ActivityJournal first, last;
    ActivityFanOut fanOut;
    fanOut.add(first);
    fanOut.add(throwing);
    fanOut.add(last);
    EXPECT_NO_THROW(fanOut.record(rec(1, E::FanOn)));
    EXPECT_EQ(first.records().size(), 1u);
    EXPECT_EQ(last.records().size(), 1u);
}

TEST(TimelineSvg, DrawsEachBandAndMarkInPlaceWithAnAxisAndEscapedTitle) {
    const Timeline timeline = buildTimeline(kDay, t(0), t(1000));
    const std::string svg = timelineSvg(timeline, "demo <A&B>");
    EXPECT_TRUE(svg.starts_with("<svg xmlns=\"http://www.w3.org/2000/svg\""));
    EXPECT_TRUE(svg.ends_with("</svg>\n"));
    EXPECT_NE(svg.find("demo &lt;A&amp;B&gt;"), std::string::npos);
    // 836 px for 1000 s from x=94: the Internet band from 40 s to 55 s.
    EXPECT_NE(
        svg.find("<rect x=\"127.4\" y=\"96\" width=\"12.5\" height=\"50\" fill=\"#2f6fbf\"/>"),
        std::string::npos)
        << svg;
    const auto count = [&](const std::string& what) {
        std::size_t n = 0;
        for (auto at = svg.find(what); at != std::string::npos; at = svg.find(what, at + 1)) ++n;
        return n;
    };
    EXPECT_EQ(count("fill=\"#2e8b3a\"/>"), 3u);  // carrier bands
    EXPECT_EQ(count("fill=\"#d23b2f\"/>"), 4u);  // transmitter bands
    EXPECT_EQ(count("<title>"), 4u);             // marks
    EXPECT_NE(svg.find("<title>time-out 2:40</title>"), std::string::npos);
    EXPECT_NE(svg.find(">16:00</text>"), std::string::npos);  // ticks each 2:00 up to 16:00
    EXPECT_EQ(svg, timelineSvg(timeline, "demo <A&B>"));
}

TEST(TimelineSvg, ClockSpans) {
    EXPECT_EQ(formatClockSpan(seconds{0}), "0:00");
    EXPECT_EQ(formatClockSpan(seconds{65}), "1:05");
    EXPECT_EQ(formatClockSpan(hours{1} + seconds{5}), "1:00:05");
    EXPECT_EQ(formatClockSpan(hours{30}), "30:00:00");
}

}  // namespace
}  // namespace relaydeck
