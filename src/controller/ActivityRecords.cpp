// What the main window reports to the activity log: overs, transmitter and the rest.
#include "controller/MainModel.h"

namespace relaydeck {

std::chrono::milliseconds MainModel::endSpan(std::optional<ActivityTime>& since) const {
    const ActivityTime now = services_.timers.wallTime();
    const auto span = since ? now - *since : std::chrono::milliseconds{0};
    since.reset();
    return span < std::chrono::milliseconds{0} ? std::chrono::milliseconds{0} : span;
}

void MainModel::noteCarrier(bool on) {
    if (on == carrierSince_.has_value()) return;
    if (on) {
        carrierSince_ = services_.timers.wallTime();
        note(ActivityEvent::LocalOverBegun, timedOut_ ? "not repeated: timed out" : "");
    } else {
        note(ActivityEvent::LocalOverEnded, {}, endSpan(carrierSince_));
    }
}

void MainModel::noteInternetAudio(bool on) {
    if (on == internetSince_.has_value()) return;
    if (on) {
        internetSince_ = services_.timers.wallTime();
        note(ActivityEvent::InternetOverBegun, timedOut_ ? "not repeated: timed out" : "");
    } else {
        note(ActivityEvent::InternetOverEnded, {}, endSpan(internetSince_));
    }
}

}  // namespace relaydeck
