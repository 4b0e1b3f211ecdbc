#include "activity/ActivityModel.h"

#include <algorithm>

#include "activity/TimeText.h"

namespace relaydeck {

namespace {

using K = ControlKind;
using namespace std::chrono_literals;

const ControlDefinition kActivityControls[] = {
    {"lblLocalOvers", K::Label, "0"},
    {"lblInternetOvers", K::Label, "0"},
    {"lblTransmitterTime", K::Label, "0:00"},
    {"lblLongestOver", K::Label, "0:00"},
    {"lblTimeOuts", K::Label, "0"},
    {"lblIdentifications", K::Label, "0"},
    {"lblStatus", K::Label, ""},
};
static_assert(std::size(kActivityControls) == static_cast<std::size_t>(ActivityControl::Count));

}  // namespace

std::span<const ControlDefinition> activityControlDefinitions() {
    return kActivityControls;
}

ActivityModel::ActivityModel(ActivityJournal& journal, TimerService& timers)
    : TypedWindowModel(kActivityControls),
      journal_(journal),
      timers_(timers),
      tick_(timers.createTimer([this] { refresh(); })) {
    setCaption(kCaption);
    tick_->setInterval(1000ms);
    journalListener_ = journal_.setListener([this] {
        if (isVisible()) {
            refresh();
        } else {
            stale_ = true;
        }
    });
}

ActivityModel::~ActivityModel() = default;

void ActivityModel::open() {
    tick_->start();
    refresh();
    setWindowVisible(true);
}

void ActivityModel::close() {
    tick_->stop();
    setWindowVisible(false);
}

void ActivityModel::setStatus(std::string text) {
    status_ = std::move(text);
    if (!failure_) assignText(ActivityControl::lblStatus, status_);
}

void ActivityModel::setWriteFailure(const std::optional<std::string>& text) {
    failure_ = text;
    assignText(ActivityControl::lblStatus, failure_ ? *failure_ : status_);
}

Timeline ActivityModel::timeline() const {
    const ActivityTime to = now();
    ActivityTime from = to - kTimelineSpan;
    const auto& records = journal_.records();
    if (!records.empty() && records.front().time > from) {
        from = std::min(records.front().time, to - kShortestSpan);
    }
    return journal_.timeline(from, to);
}

void ActivityModel::refresh() {
    const ActivityTotals totals = journal_.totals(now());
    assignText(ActivityControl::lblLocalOvers, std::to_string(totals.localOvers));
    assignText(ActivityControl::lblInternetOvers, std::to_string(totals.internetOvers));
    assignText(ActivityControl::lblTransmitterTime, formatClockSpan(totals.transmitterTime));
    assignText(ActivityControl::lblLongestOver, formatClockSpan(totals.longestOver));
    assignText(ActivityControl::lblTimeOuts, std::to_string(totals.timeOuts));
    assignText(ActivityControl::lblIdentifications, std::to_string(totals.identifications));
    stale_ = false;
    content_();
}

}  // namespace relaydeck
