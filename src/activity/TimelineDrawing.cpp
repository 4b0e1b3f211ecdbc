#include "activity/TimelineDrawing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace relaydeck {

namespace {

using namespace std::chrono;
namespace look = timeline_look;

constexpr double kMarksHeight = 10;
constexpr double kLaneGap = 4;

/// Where everything stands in the frame.
struct Geometry {
    double left, plotWidth, top, laneHeight, axisY;
    double laneTop(std::size_t lane) const {
        return top + static_cast<double>(lane) * (laneHeight + kLaneGap);
    }
};

Geometry geometryOf(const TimelineFrame& frame) {
    const double f = frame.fontPx;
    const double titleHeight = frame.title.empty() ? 0 : std::round(f * 2.2);
    const double left =
        std::ceil(f * 0.62 * static_cast<double>(std::strlen(look::kWidestLabel))) + 12;
    const double right = std::round(f * 2.5);
    const double axisHeight = f + 10;
    const double legendHeight = frame.legend ? f + 16 : 0;
    const double top = titleHeight + kMarksHeight;
    const double lanes = frame.height - top - axisHeight - legendHeight - 2 * kLaneGap - 4;
    const double laneHeight = std::max(std::floor(lanes / 3), f);
    const double plotWidth = std::max(frame.width - left - right, 1.0);
    return {left, plotWidth, top, laneHeight, top + 3 * laneHeight + 2 * kLaneGap + 4};
}

std::string twoDigits(unsigned value) {
    return {static_cast<char>('0' + value / 10 % 10), static_cast<char>('0' + value % 10)};
}

/// The local "14:20" (or "14:20:05" with @p withSeconds), or the date "12-07" for @p date.
std::string clockText(ActivityTime time, const UtcOffset& offset, bool date, bool withSeconds) {
    const auto local = floor<seconds>(toLocal(time, offset));
    const auto day = floor<days>(local);
    if (date) {
        const year_month_day ymd{day};
        return twoDigits(static_cast<unsigned>(ymd.month())) + '-' +
               twoDigits(static_cast<unsigned>(ymd.day()));
    }
    const hh_mm_ss clock{local - day};
    std::string text = twoDigits(static_cast<unsigned>(clock.hours().count())) + ':' +
                       twoDigits(static_cast<unsigned>(clock.minutes().count()));
    if (withSeconds) text += ':' + twoDigits(static_cast<unsigned>(clock.seconds().count()));
    return text;
}

/// Lays the items out; one instance per drawing.
class Painter {
  public:
    Painter(const Timeline& timeline, const TimelineFrame& frame)
        : timeline_(timeline),
          frame_(frame),
          g_(geometryOf(frame)),
          span_(std::max(timeline.to - timeline.from, milliseconds{1})) {}

    TimelineDrawing draw() {
        drawing_.width = frame_.width;
        drawing_.height = frame_.height;
        box(0, 0, frame_.width, frame_.height, look::kBackground);
        const double f = frame_.fontPx;
        if (!frame_.title.empty()) {
            DrawItem& title = text(g_.left, std::round(f * 1.5), frame_.title, TextAnchor::Start);
            title.bold = true;
            title.height = std::round(f * 1.25);
        }
        for (std::size_t lane = 0; lane < kTimelineLanes; ++lane) {
            const double top = g_.laneTop(lane);
            box(g_.left, top, g_.plotWidth, g_.laneHeight, look::kLaneGround);
            text(g_.left - 8, std::round(top + g_.laneHeight / 2 + f * 0.35),
                 look::kLanes[lane].label, TextAnchor::End);
        }
        const bool exact = timeline_.exact && span_ / g_.plotWidth <= kExactPixel;
        drawing_.binned = !exact;
        if (exact) {
            drawBands();
            drawMarks();
        } else {
            drawBins();
        }
        drawAxis();
        if (frame_.legend) drawLegend();
        return std::move(drawing_);
    }

  private:
    double x(ActivityTime t) const {
        return g_.left + static_cast<double>((t - timeline_.from).count()) * g_.plotWidth /
                             static_cast<double>(span_.count());
    }

    DrawItem& add(DrawItem item) {
        drawing_.items.push_back(std::move(item));
        return drawing_.items.back();
    }
    DrawItem& box(double x, double y, double w, double h, TimelineColour colour) {
        return add({DrawShape::Box, x, y, w, h, colour, false, false, TextAnchor::Start, {}});
    }
    DrawItem& text(double x, double y, std::string s, TextAnchor anchor) {
        return add({DrawShape::Text, x, y, 0, frame_.fontPx, look::kText, false, false, anchor,
                    std::move(s)});
    }

    void drawBands() {
        for (const TimelineBand& band : timeline_.bands) {
            const auto lane = static_cast<std::size_t>(band.lane);
            const double a = x(band.from);
            box(a, g_.laneTop(lane) + 2, std::max(x(band.to) - a, 1.0), g_.laneHeight - 4,
                look::kLanes[lane].colour);
        }
    }

    void drawMarks() {
        const double dotY = g_.top - kMarksHeight / 2;
        for (const TimelineMark& mark : timeline_.marks) {
            const bool timeOut = mark.event == ActivityEvent::TimeOut;
            const TimelineColour colour = timeOut ? look::kTimeOut : look::kIdentification;
            const double at = x(mark.time);
            std::string hint = activityEventName(mark.event);
            hint += ' ';
            hint += frame_.axis == TimelineAxis::Elapsed
                        ? formatClockSpan(mark.time - timeline_.from)
                        : clockText(mark.time, frame_.offset, false, true);
            add({DrawShape::Line, at, dotY, 0, g_.axisY - dotY, colour, timeOut, false,
                 TextAnchor::Start, hint});
            add({DrawShape::Dot, at, dotY, 3.5, 0, colour, false, false, TextAnchor::Start,
                 std::move(hint)});
        }
    }

    /// The activity of [a, b) from the timeline's bins, a bin shared by its overlap.
    TimelineBin sumOf(ActivityTime a, ActivityTime b) const {
        struct Sum {
            std::array<double, kTimelineLanes> on{};
            double ids = 0, timeOuts = 0;
        } sum;
        const milliseconds w = timeline_.binWidth;
        const auto& bins = timeline_.bins;
        const auto first =
            static_cast<std::size_t>(std::max<long long>((a - timeline_.from) / w, 0));
        for (std::size_t i = first; i < bins.size(); ++i) {
            const ActivityTime start = timeline_.from + w * static_cast<long long>(i);
            if (start >= b) break;
            const auto overlap = std::min(b, start + w) - std::max(a, start);
            const double share =
                static_cast<double>(overlap.count()) / static_cast<double>(w.count());
            for (std::size_t lane = 0; lane < kTimelineLanes; ++lane) {
                sum.on[lane] += static_cast<double>(bins[i].on[lane].count()) * share;
            }
            sum.ids += bins[i].identifications * share;
            sum.timeOuts += bins[i].timeOuts * share;
        }
        TimelineBin bin;
        for (std::size_t lane = 0; lane < kTimelineLanes; ++lane) {
            bin.on[lane] = milliseconds{std::llround(sum.on[lane])};
        }
        // Marks counted in thousandths, so that a share of one still shows.
        bin.identifications = static_cast<int>(std::lround(sum.ids * 1000));
        bin.timeOuts = static_cast<int>(std::lround(sum.timeOuts * 1000));
        return bin;
    }

    void drawBins() {
        const int columns = std::max(static_cast<int>(g_.plotWidth / kBinPixels), 1);
        const double width = g_.plotWidth / columns;
        std::vector<TimelineBin> sums;
        sums.reserve(static_cast<std::size_t>(columns));
        int mostIds = 0, mostTimeOuts = 0;
        const auto at = [&](int i) {
            return timeline_.from + duration_cast<milliseconds>(span_ * i / columns);
        };
        for (int i = 0; i < columns; ++i) {
            sums.push_back(sumOf(at(i), at(i + 1)));
            mostIds = std::max(mostIds, sums.back().identifications);
            mostTimeOuts = std::max(mostTimeOuts, sums.back().timeOuts);
        }
        const double inner = g_.laneHeight - 4;
        const double half = kMarksHeight / 2 - 1;
        for (int i = 0; i < columns; ++i) {
            const double left = g_.left + i * width;
            const auto length = static_cast<double>((at(i + 1) - at(i)).count());
            const TimelineBin& sum = sums[static_cast<std::size_t>(i)];
            for (std::size_t lane = 0; lane < kTimelineLanes; ++lane) {
                const double share =
                    std::clamp(static_cast<double>(sum.on[lane].count()) / length, 0.0, 1.0);
                if (sum.on[lane].count() <= 0) continue;
                const double h = std::max(share * inner, 1.0);
                box(left, g_.laneTop(lane) + 2 + inner - h, width, h, look::kLanes[lane].colour);
            }
            const auto mark = [&](int count, int most, double bottom, TimelineColour colour) {
                if (count <= 0) return;
                const double h = std::max(half * count / most, 1.0);
                box(left, bottom - h, width, h, colour);
            };
            mark(sum.identifications, mostIds, g_.top - kMarksHeight / 2 - 0.5,
                 look::kIdentification);
            mark(sum.timeOuts, mostTimeOuts, g_.top - 1, look::kTimeOut);
        }
    }

    void drawAxis() {
        add({DrawShape::Line,
             g_.left,
             g_.axisY,
             g_.plotWidth,
             0,
             look::kAxis,
             false,
             false,
             TextAnchor::Start,
             {}});
        const bool clock = frame_.axis == TimelineAxis::LocalClock;
        const int maxTicks = std::max(static_cast<int>(g_.plotWidth / 70), 2);
        const milliseconds step =
            timelineAxisStep(span_, maxTicks, clock ? milliseconds{minutes{1}} : seconds{1});
        const bool daily = step >= days{1};
        milliseconds first{0};
        if (clock) {
            // The first round local time in the stretch.
            const auto local = toLocal(timeline_.from, frame_.offset).time_since_epoch();
            const auto shift = local - timeline_.from.time_since_epoch();
            first = (local + step - milliseconds{1}) / step * step - shift -
                    timeline_.from.time_since_epoch();
        }
        for (milliseconds t = first; t <= span_; t += step) {
            const ActivityTime when = timeline_.from + t;
            const double at = x(when);
            add({DrawShape::Line,
                 at,
                 g_.axisY,
                 0,
                 5,
                 look::kAxis,
                 false,
                 false,
                 TextAnchor::Start,
                 {}});
            std::string label;
            if (clock) {
                label = clockText(when, frame_.offset, daily, false);
            } else if (daily) {
                label = std::to_string(duration_cast<days>(t).count()) + " d";
            } else {
                label = formatClockSpan(t);
            }
            text(at, g_.axisY + 5 + frame_.fontPx, std::move(label), TextAnchor::Middle);
        }
    }

    void drawLegend() {
        const double y = g_.axisY + frame_.fontPx + 10 + frame_.fontPx + 6;
        double at = g_.left;
        for (const TimelineColour& colour : {look::kIdentification, look::kTimeOut}) {
            add({DrawShape::Dot,
                 at + 4,
                 y - frame_.fontPx * 0.35,
                 4,
                 0,
                 colour,
                 false,
                 false,
                 TextAnchor::Start,
                 {}});
            text(at + 14, y, colour.name, TextAnchor::Start);
            at += 150;
        }
    }

    const Timeline& timeline_;
    const TimelineFrame& frame_;
    Geometry g_;
    milliseconds span_;
    TimelineDrawing drawing_;
};

}  // namespace

std::string TimelineColour::hex() const {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", static_cast<unsigned>(red),
                  static_cast<unsigned>(green), static_cast<unsigned>(blue));
    return buffer;
}

milliseconds timelineAxisStep(milliseconds span, int maxTicks, milliseconds shortest) {
    constexpr long long kSecond = 1000, kMinute = 60 * kSecond, kHour = 60 * kMinute,
                        kDay = 24 * kHour;
    constexpr long long kSteps[] = {
        kSecond,     5 * kSecond,  10 * kSecond, 30 * kSecond, kMinute,   2 * kMinute,
        5 * kMinute, 10 * kMinute, 15 * kMinute, 30 * kMinute, kHour,     2 * kHour,
        3 * kHour,   6 * kHour,    12 * kHour,   kDay,         2 * kDay,  7 * kDay,
        14 * kDay,   30 * kDay,    61 * kDay,    91 * kDay,    182 * kDay};
    const long long ticks = std::max(maxTicks, 1);
    for (const long long s : kSteps) {
        if (s >= shortest.count() && span.count() / s <= ticks) return milliseconds{s};
    }
    return milliseconds{kDay * 365 * (span.count() / (kDay * 365) / ticks + 1)};
}

TimelineDrawing drawTimeline(const Timeline& timeline, const TimelineFrame& frame) {
    return Painter(timeline, frame).draw();
}

}  // namespace relaydeck
