#include "activity/ActivityJournal.h"

#include <algorithm>
#include <array>
#include <optional>

namespace relaydeck {

namespace {

using namespace std::chrono;

constexpr std::size_t kLanes = kTimelineLanes;

}  // namespace

void ActivityFanOut::record(const ActivityRecord& record) {
    for (ActivitySink* sink : sinks_) {
        try {
            sink->record(record);
        } catch (...) {
            // One sink's trouble is not the others'.
        }
    }
}

ActivityTotals totalsOf(const std::vector<ActivityRecord>& records, ActivityTime now) {
    /// Whether something is on, and since when.
    struct Span {
        bool on = false;
        ActivityTime since{};
        void start(ActivityTime t) {
            on = true;
            since = t;
        }
        milliseconds upTo(ActivityTime t) const {
            return on && t > since ? t - since : milliseconds{0};
        }
    };
    ActivityTotals totals;
    Span keyed, carrier, internet;
    const auto longest = [&](milliseconds d) {
        totals.longestOver = std::max(totals.longestOver, d);
    };
    for (const ActivityRecord& r : records) {
        const milliseconds d = r.duration.value_or(milliseconds{0});
        switch (r.event) {
            case ActivityEvent::LocalOverBegun:
                ++totals.localOvers;
                carrier.start(r.time);
                break;
            case ActivityEvent::InternetOverBegun:
                ++totals.internetOvers;
                internet.start(r.time);
                break;
            case ActivityEvent::LocalOverEnded:
                longest(d);
                carrier.on = false;
                break;
            case ActivityEvent::InternetOverEnded:
                longest(d);
                internet.on = false;
                break;
            case ActivityEvent::TransmitterOn:
                keyed.start(r.time);
                break;
            case ActivityEvent::TransmitterOff:
                totals.transmitterTime += d;
                keyed.on = false;
                break;
            case ActivityEvent::TimeOut:
                ++totals.timeOuts;
                break;
            case ActivityEvent::ProgramStarted:  // after a crash, nothing is still on
            case ActivityEvent::ProgramEnded:
                keyed.on = carrier.on = internet.on = false;
                break;
            default:
                if (isIdentification(r.event)) ++totals.identifications;
                break;
        }
    }
    totals.transmitterTime += keyed.upTo(now);
    longest(carrier.upTo(now));
    longest(internet.upTo(now));
    return totals;
}

ActivityJournal::ActivityJournal(UtcOffset offset) : offset_(std::move(offset)) {}

void ActivityJournal::record(const ActivityRecord& record) {
    const local_days day = floor<days>(toLocal(record.time, offset_));
    if (!any_) {
        any_ = true;
        day_ = day;
    } else if (day > day_) {
        day_ = day;
        // Midnight of the new day, on the record's own offset.
        const auto shift =
            toLocal(record.time, offset_).time_since_epoch() - record.time.time_since_epoch();
        startNewDay(ActivityTime{duration_cast<milliseconds>(day.time_since_epoch()) - shift});
    }
    if (records_.size() >= kMaxRecords) records_.erase(records_.begin());
    records_.push_back(record);
    listener_();
}

void ActivityJournal::startNewDay(ActivityTime midnight) {
    // What is still on goes on into the new day, from midnight.
    std::array<bool, kLanes> on{};
    for (const ActivityRecord& r : records_) {
        if (const auto change = timelineSwitchOf(r.event)) {
            on[static_cast<std::size_t>(change->lane)] = change->on;
        } else if (r.event == ActivityEvent::ProgramEnded ||
                   r.event == ActivityEvent::ProgramStarted) {
            on = {};
        }
    }
    records_.clear();
    constexpr ActivityEvent starts[kLanes] = {ActivityEvent::LocalOverBegun,
                                              ActivityEvent::InternetOverBegun,
                                              ActivityEvent::TransmitterOn};
    for (std::size_t i = 0; i < kLanes; ++i) {
        if (on[i]) records_.push_back({midnight, starts[i], std::nullopt, "carried over"});
    }
}

}  // namespace relaydeck
