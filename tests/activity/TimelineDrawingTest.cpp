#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "activity/TimelineDrawing.h"

namespace relaydeck {
namespace {

using namespace std::chrono;
using E = ActivityEvent;

/// A station on the air for @p span: an over each quarter hour of a length that varies
/// from one to the next, an identification each hour, a time-out each day.
Timeline busyStation(milliseconds span, milliseconds& carrierOn) {
    TimelineBuilder builder(ActivityTime{});
    carrierOn = {};
    long long n = 0;
    for (ActivityTime t{}; t + minutes{15} < ActivityTime{} + span; t += minutes{15}, ++n) {
        const milliseconds length = seconds{30 + (n * 7919) % 600};
        builder.record({t, E::LocalOverBegun, {}, ""});
        builder.record({t + length, E::LocalOverEnded, length, ""});
        carrierOn += length;
        if (n % 4 == 0) builder.record({t + length, E::IdPeriodicMorse, {}, ""});
        if (n % 96 == 0) builder.record({t + length, E::TimeOut, {}, ""});
    }
    return builder.finish(ActivityTime{} + span);
}

TEST(TimelineDrawing, ALongRangeIsDrawnAsBinsOfAFewThousandItemsThatShowTheActivity) {
    for (const milliseconds span : {milliseconds{days{30}}, milliseconds{days{365}}}) {
        milliseconds carrierOn{};
        const Timeline timeline = busyStation(span, carrierOn);
        if (span > days{60}) {
            // Too many to keep one by one.
            EXPECT_FALSE(timeline.exact);
            EXPECT_TRUE(timeline.bands.empty() && timeline.marks.empty());
        }
        EXPECT_LE(timeline.bins.size(), TimelineBuilder::kMaxBins);
        // Bins that merged as the range grew still hold every millisecond of the carrier.
        milliseconds summed{};
        int ids = 0;
        for (const TimelineBin& bin : timeline.bins) {
            summed += bin.on[0];
            ids += bin.identifications;
        }
        EXPECT_EQ(summed, carrierOn);
        EXPECT_EQ(ids, static_cast<int>(span / hours{1}));

        const TimelineDrawing drawing = drawTimeline(timeline, TimelineFrame{});
        EXPECT_TRUE(drawing.binned);
        EXPECT_LT(drawing.items.size(), 2000u);
        // Not a solid block: the carrier's columns have many heights, none the lane's full.
        std::set<long long> heights;
        for (const DrawItem& item : drawing.items) {
            if (item.shape == DrawShape::Box && item.colour == timeline_look::kLanes[0].colour) {
                heights.insert(std::llround(item.height * 10));
            }
        }
        EXPECT_GT(heights.size(), 10u);
    }
}

TEST(TimelineDrawing, AShortRangeDrawsEachBandAndMarkWhereItIs) {
    milliseconds carrierOn{};
    const Timeline hour = busyStation(hours{1}, carrierOn);
    ASSERT_TRUE(hour.exact);
    EXPECT_EQ(hour.bands.size(), 3u);
    TimelineFrame frame;
    frame.width = 600;
    frame.height = 100;
    const TimelineDrawing drawing = drawTimeline(hour, frame);
    EXPECT_FALSE(drawing.binned);
    std::size_t bands = 0, marks = 0;
    for (const DrawItem& item : drawing.items) {
        if (item.shape == DrawShape::Box && item.colour == timeline_look::kLanes[0].colour) ++bands;
        if (item.shape == DrawShape::Line && !item.text.empty()) ++marks;
        EXPECT_GE(item.x, 0);
        EXPECT_LE(item.x + item.width, frame.width);
        EXPECT_LE(item.y, frame.height);
    }
    EXPECT_EQ(bands, 3u);
    EXPECT_EQ(marks, 2u);  // the identification and the time-out of the first over
}

TEST(TimelineDrawing, TheClockAxisTicksAtRoundLocalTimes) {
    // 10:07 to 11:07 UTC, three hours behind: ticks at 07:10 local time and each ten minutes.
    const ActivityTime from = ActivityTime{} + hours{10} + minutes{7};
    Timeline timeline{from, from + hours{1}, {}, {}, true, seconds{1}, {}};
    TimelineFrame frame;
    frame.axis = TimelineAxis::LocalClock;
    frame.offset = [](ActivityTime) { return hours{-3}; };
    std::vector<std::string> labels;
    for (const DrawItem& item : drawTimeline(timeline, frame).items) {
        if (item.shape == DrawShape::Text && item.anchor == TextAnchor::Middle) {
            labels.push_back(item.text);
        }
    }
    EXPECT_EQ(labels,
              (std::vector<std::string>{"07:10", "07:20", "07:30", "07:40", "07:50", "08:00"}));
}

}  // namespace
}  // namespace relaydeck
