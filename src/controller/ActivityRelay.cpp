#include "controller/ActivityRelay.h"

namespace relaydeck {

Connection ActivityRelay::connect(ActivitySink& sink) {
    sink_ = &sink;
    // A later connection replaces this one; ending this one then leaves it in place.
    return connections_.connect([this, connected = &sink] {
        if (sink_ == connected) sink_ = nullptr;
    });
}

void ActivityRelay::record(const ActivityRecord& record) noexcept {
    if (holding_) {
        try {
            held_.push_back(record);
            return;
        } catch (...) {
            // No room to hold it: passed on at once, after what waits.
            deliverHeld();
        }
    }
    pass(record);
}

void ActivityRelay::deliverHeld() noexcept {
    holding_ = false;
    std::vector<ActivityRecord> held;
    held.swap(held_);
    for (const ActivityRecord& r : held) pass(r);
}

void ActivityRelay::pass(const ActivityRecord& record) noexcept {
    if (sink_ == nullptr) return;
    try {
        sink_->record(record);
    } catch (...) {
        // The record is lost; the program goes on.
    }
}

void ActivityRelay::note(ActivityTime time, ActivityEvent event, std::string detail,
                         std::optional<std::chrono::milliseconds> duration) noexcept {
    try {
        record({time, event, duration, std::move(detail)});
    } catch (...) {
        // Not even the record could be made (out of memory): it is lost.
    }
}

}  // namespace relaydeck
