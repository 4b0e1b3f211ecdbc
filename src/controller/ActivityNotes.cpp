// What the main window reports to the activity log.
#include "controller/ActivityNotes.h"

#include "controller/ActivityRelay.h"
#include "controller/IntervalTimer.h"

namespace relaydeck {

void ActivityNotes::note(ActivityEvent event, std::string detail,
                         std::optional<std::chrono::milliseconds> duration) noexcept {
    activity_.note(now(), event, std::move(detail), duration);
}

ActivityTime ActivityNotes::now() const {
    return clock_.wallTime();
}

std::chrono::milliseconds ActivityNotes::endSpan(std::optional<ActivityTime>& since) const {
    const ActivityTime now = clock_.wallTime();
    const auto span = since ? now - *since : std::chrono::milliseconds{0};
    since.reset();
    return span < std::chrono::milliseconds{0} ? std::chrono::milliseconds{0} : span;
}

void ActivityNotes::noteCarrier(bool on, bool timedOut) {
    noteOver(on, timedOut, carrierSince_, ActivityEvent::LocalOverBegun,
             ActivityEvent::LocalOverEnded);
}

void ActivityNotes::noteInternetAudio(bool on, bool timedOut) {
    noteOver(on, timedOut, internetSince_, ActivityEvent::InternetOverBegun,
             ActivityEvent::InternetOverEnded);
}

void ActivityNotes::noteOver(bool on, bool timedOut, std::optional<ActivityTime>& since,
                             ActivityEvent begun, ActivityEvent ended) {
    if (on == since.has_value()) return;
    if (on) {
        since = clock_.wallTime();
        note(begun, timedOut ? "not repeated: timed out" : "");
    } else {
        note(ended, {}, endSpan(since));
    }
}

}  // namespace relaydeck
