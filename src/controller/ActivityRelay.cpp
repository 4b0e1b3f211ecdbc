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
