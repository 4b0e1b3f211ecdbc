#include "activity/Timeline.h"

#include <algorithm>

namespace relaydeck {

using namespace std::chrono;

std::optional<TimelineSwitch> timelineSwitchOf(ActivityEvent event) {
    switch (event) {
        case ActivityEvent::LocalOverBegun:
            return TimelineSwitch{TimelineLane::Carrier, true};
        case ActivityEvent::LocalOverEnded:
            return TimelineSwitch{TimelineLane::Carrier, false};
        case ActivityEvent::InternetOverBegun:
            return TimelineSwitch{TimelineLane::Internet, true};
        case ActivityEvent::InternetOverEnded:
            return TimelineSwitch{TimelineLane::Internet, false};
        case ActivityEvent::TransmitterOn:
            return TimelineSwitch{TimelineLane::Transmitter, true};
        case ActivityEvent::TransmitterOff:
            return TimelineSwitch{TimelineLane::Transmitter, false};
        default:
            return std::nullopt;
    }
}

TimelineBuilder::TimelineBuilder(ActivityTime from) {
    timeline_.from = from;
    timeline_.to = from;
}

void TimelineBuilder::record(const ActivityRecord& r) {
    if (r.event == ActivityEvent::ProgramEnded || r.event == ActivityEvent::ProgramStarted) {
        // Nothing stays on across the program's end, nor across a start after a crash.
        for (std::size_t lane = 0; lane < kTimelineLanes; ++lane) closeLane(lane, r.time);
        return;
    }
    if (const auto change = timelineSwitchOf(r.event)) {
        const auto lane = static_cast<std::size_t>(change->lane);
        auto& since = onSince_[lane];
        if (!change->on) {
            closeLane(lane, r.time);
        } else if (!since) {
            since = r.time;
        }
        return;
    }
    const bool timeOut = r.event == ActivityEvent::TimeOut;
    if ((!timeOut && !isIdentification(r.event)) || r.time < timeline_.from) return;
    TimelineBin& bin = binAt(r.time);
    ++(timeOut ? bin.timeOuts : bin.identifications);
    if (timeline_.exact) {
        timeline_.marks.push_back({r.time, r.event});
        keepExact();
    }
}

Timeline TimelineBuilder::finish(ActivityTime to) const {
    TimelineBuilder rest = *this;
    for (std::size_t lane = 0; lane < kTimelineLanes; ++lane) rest.closeLane(lane, to);
    Timeline timeline = std::move(rest.timeline_);
    timeline.to = std::max(to, timeline.from);
    auto& bands = timeline.bands;
    for (TimelineBand& band : bands) band.to = std::min(band.to, timeline.to);
    std::erase_if(bands, [](const TimelineBand& b) { return b.from >= b.to; });
    std::stable_sort(bands.begin(), bands.end(),
                     [](const TimelineBand& a, const TimelineBand& b) { return a.lane < b.lane; });
    std::erase_if(timeline.marks, [&](const TimelineMark& m) { return m.time > timeline.to; });
    return timeline;
}

void TimelineBuilder::closeLane(std::size_t lane, ActivityTime end) {
    auto& since = onSince_[lane];
    if (!since) return;
    addBand(lane, std::max(*since, timeline_.from), end);
    since.reset();
}

void TimelineBuilder::addBand(std::size_t lane, ActivityTime a, ActivityTime b) {
    if (a >= b) return;
    if (timeline_.exact) {
        timeline_.bands.push_back({static_cast<TimelineLane>(lane), a, b});
        keepExact();
    }
    binAt(b - milliseconds{1});  // the bins reach b before their width is read
    const milliseconds width = timeline_.binWidth;
    auto index = static_cast<std::size_t>((a - timeline_.from) / width);
    for (ActivityTime start = timeline_.from + width * static_cast<long long>(index); start < b;
         start += width, ++index) {
        timeline_.bins[index].on[lane] += std::min(b, start + width) - std::max(a, start);
    }
}

TimelineBin& TimelineBuilder::binAt(ActivityTime time) {
    auto& bins = timeline_.bins;
    auto index = static_cast<std::size_t>((time - timeline_.from) / timeline_.binWidth);
    while (index >= kMaxBins) {
        // Twice as wide: each pair of bins becomes one.
        for (std::size_t i = 0; i < bins.size(); ++i) {
            TimelineBin& into = bins[i / 2];
            if (i % 2 == 0) {
                into = bins[i];
                continue;
            }
            for (std::size_t lane = 0; lane < kTimelineLanes; ++lane)
                into.on[lane] += bins[i].on[lane];
            into.identifications += bins[i].identifications;
            into.timeOuts += bins[i].timeOuts;
        }
        bins.resize((bins.size() + 1) / 2);
        timeline_.binWidth *= 2;
        index /= 2;
    }
    if (index >= bins.size()) bins.resize(index + 1);
    return bins[index];
}

void TimelineBuilder::keepExact() {
    if (timeline_.bands.size() + timeline_.marks.size() <= kMaxExact) return;
    timeline_.exact = false;
    timeline_.bands = {};
    timeline_.marks = {};
}

Timeline buildTimeline(const std::vector<ActivityRecord>& records, ActivityTime from,
                       ActivityTime to) {
    TimelineBuilder builder(from);
    for (const ActivityRecord& r : records) builder.record(r);
    return builder.finish(to);
}

}  // namespace relaydeck
