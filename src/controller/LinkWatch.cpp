// The main window while the link program does not answer a call: the title and the
// published state say so and for how long, and the episode goes to the activity log once
// it answers again.
#include "controller/MainModel.h"

#include "controller/ProgramControl.h"
#include "controller/StatusTexts.h"

namespace relaydeck {

void MainModel::linkNotAnswering(std::chrono::milliseconds waited) {
    if (!notAnsweringSince_) {
        notAnsweringSince_ = services_.timers.wallTime() - waited;
        captionWhileAnswering_ = caption();
    }
    notAnsweringFor_ = waited;
    const auto seconds = std::chrono::round<std::chrono::seconds>(waited).count();
    setCaption(captionWhileAnswering_ + " - " + say(TextId::TitleNotAnswering) +
               std::to_string(seconds) + " s");
    // The handler that made the call has not ended: the page learns of the wait from here.
    services_.program.publishState();
}

void MainModel::linkAnswering(std::chrono::milliseconds waited) {
    if (!notAnsweringSince_) return;
    notAnsweringSince_.reset();
    setCaption(captionWhileAnswering_);
    note(ActivityEvent::LinkNotAnswering, {}, waited);
}

}  // namespace relaydeck
