// The repeater's transmitter as this controller keys it.
#include "controller/Transmitter.h"

#include "controller/ActivityNotes.h"
#include "controller/LinkWatch.h"
#include "controller/MainContext.h"
#include "controller/RepeaterSwitch.h"

namespace relaydeck {

void Transmitter::set(bool on) {
    if (on && repeaterSwitch_.off()) return;
    // Marked before the call: a key call that fails may still have keyed.
    if (on) keyed_ = true;
    if (on && !keyedSince_) {
        keyedSince_ = notes_.now();
        notes_.note(ActivityEvent::TransmitterOn);
    }
    context_.link().SetPTT(toLinkBool(on));
    if (!on) {
        keyed_ = false;
        if (keyedSince_)
            notes_.note(ActivityEvent::TransmitterOff, {}, notes_.endSpan(keyedSince_));
    }
}

void Transmitter::release() noexcept {
    if (!keyed_ || !context_.linkHost) return;
    if (linkWatch_.waiting()) {
        // The call would only queue behind the one the link program does not answer.
        std::optional<ActivityTime> since = linkWatch_.since();
        notes_.note(ActivityEvent::LinkNotAnswering, "the transmitter could not be released",
                    notes_.endSpan(since));
        return;
    }
    try {
        set(false);
    } catch (...) {
        // The link host failed again; there is nothing more to try.
    }
}

}  // namespace relaydeck
