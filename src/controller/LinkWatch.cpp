// The main window while the link program does not answer a call.
#include "controller/LinkWatch.h"

#include "controller/ActivityNotes.h"
#include "controller/MainContext.h"
#include "controller/ProgramControl.h"

namespace relaydeck {

void LinkWatch::linkNotAnswering(std::chrono::milliseconds waited) {
    MainWindowAccess& window = context_.window;
    if (!since_) {
        since_ = notes_.now() - waited;
        captionWhileAnswering_ = window.caption();
    }
    waitedFor_ = waited;
    const auto seconds = std::chrono::round<std::chrono::seconds>(waited).count();
    window.setCaption(captionWhileAnswering_ + " - " + context_.say(TextId::TitleNotAnswering) +
                      std::to_string(seconds) + " s");
    // The handler that made the call has not ended: the page learns of the wait from here.
    context_.services.program.publishState();
}

void LinkWatch::linkAnswering(std::chrono::milliseconds waited) {
    if (!since_) return;
    since_.reset();
    context_.window.setCaption(captionWhileAnswering_);
    notes_.note(ActivityEvent::LinkNotAnswering, {}, waited);
}

}  // namespace relaydeck
