// The settings panel: the menu command that shows it, the change handlers of its six fields, and
// the save button.
#include "controller/MainModel.h"

#include <algorithm>
#include <vector>

#include "controller/NumberText.h"
#include "controller/ProgramControl.h"
#include "controller/SettingKeys.h"
#include "controller/StatusTexts.h"
#include "settings/SettingsStore.h"

namespace relaydeck {

void MainModel::settingsClicked() {
    setHeight(kTallHeightTwips);
}

// ---- what is in force ----
//
// A field's text is read by one rule, live and at start-up alike: a number as typed, else
// the number the text begins with ("1,5" is 1); a text with no usable number leaves the
// value in force as it was. Whenever the value in force is not the text as typed, a mark
// beside the field says what it is.

namespace {

MainControl markOf(MainControl field) {
    switch (field) {
        case MainControl::txtIDInterval:
            return MainControl::InForceIDInterval;
        case MainControl::txtSpeechInterval:
            return MainControl::InForceSpeechInterval;
        case MainControl::BreakTime:
            return MainControl::InForceBreakTime;
        case MainControl::KerchunkTime:
            return MainControl::InForceKerchunkTime;
        case MainControl::txtHangTime:
            return MainControl::InForceHangTime;
        default:
            return MainControl::InForceTimeOut;
    }
}

}  // namespace

void MainModel::markInForce(MainControl field, std::optional<double> inForce) {
    assignText(markOf(field), inForce ? kInForceMark + numberToText(*inForce) : std::string());
}

void MainModel::markMinutes(MainControl field, double minutesInForce) {
    const std::string& typed = text(field);
    const bool asTyped = typed == "0" || typed.empty() || parseMinutes(typed).has_value();
    markInForce(field, asTyped ? std::nullopt : std::optional<double>(minutesInForce));
}

void MainModel::markMilliseconds(MainControl field, const IntervalTimer& timer) {
    const bool asTyped = parseTimerMilliseconds(text(field)).has_value();
    markInForce(field, asTyped
                           ? std::nullopt
                           : std::optional<double>(static_cast<double>(timer.interval().count())));
}

double MainModel::hangTimeBoundSeconds() const {
    return timeOutMinutes_ > 0 ? timeOutMinutes_ * 60 : kHangTimeBoundWithoutTimeOutSeconds;
}

std::string MainModel::hangTimeReloadText() const {
    const double bound = hangTimeBoundSeconds();
    if (hangTimeAsTyped_ && hangTimeSeconds_ <= bound) return text(MainControl::txtHangTime);
    return numberToText(std::min(hangTimeSeconds_, bound));
}

void MainModel::markHangTime() {
    const bool held = hangTimeSeconds_ > hangTimeBoundSeconds();
    markInForce(MainControl::txtHangTime,
                hangTimeAsTyped_ && !held
                    ? std::nullopt
                    : std::optional<double>(std::min(hangTimeSeconds_, hangTimeBoundSeconds())));
}

// ---- the six fields ----

void MainModel::breakTimeChanged() {
    if (text(MainControl::BreakTime).empty()) assignText(MainControl::BreakTime, "0");
    if (auto ms = leadingTimerMilliseconds(text(MainControl::BreakTime))) {
        timer(MainTimer::Break).setInterval(std::chrono::milliseconds(*ms));
    }
    markMilliseconds(MainControl::BreakTime, timer(MainTimer::Break));
    endBreakIfItCannotTick();
}

void MainModel::kerchunkTimeChanged() {
    if (auto ms = leadingTimerMilliseconds(text(MainControl::KerchunkTime))) {
        timer(MainTimer::Kerchunker).setInterval(std::chrono::milliseconds(*ms));
    }
    markMilliseconds(MainControl::KerchunkTime, timer(MainTimer::Kerchunker));
}

void MainModel::hangTimeChanged() {
    const std::string& typed = text(MainControl::txtHangTime);
    const auto asTyped = parseNumber(typed);
    if (const auto seconds = asTyped ? asTyped : parseLeadingNumber(typed)) {
        hangTimeSeconds_ = *seconds;
        hangTimeAsTyped_ = asTyped.has_value();
        assignText(MainControl::txtHangTimeTime, hangTimeReloadText());
    } else {
        // Refused: the hang time in force and its count-down stay as they were.
        hangTimeAsTyped_ = false;
    }
    markHangTime();
}

void MainModel::idIntervalChanged() {
    const std::string& interval = text(MainControl::txtIDInterval);
    if (interval == "0" || interval.empty()) {
        timer(MainTimer::IDInterval).stop();
        cwIntervalMinutes_ = 0;
        assignText(MainControl::txtCWIDTime, "0");
    } else if (const auto minutes = leadingMinutes(interval)) {
        cwIntervalMinutes_ = *minutes;
        timer(MainTimer::IDInterval).stop();
        reloadCWID();
        timer(MainTimer::IDInterval).start();
    }  // else refused: timer and display stay as they were
    markMinutes(MainControl::txtIDInterval, cwIntervalMinutes_);
}

void MainModel::speechIntervalChanged() {
    const std::string& interval = text(MainControl::txtSpeechInterval);
    if (interval == "0" || interval.empty()) {
        speechIntervalMinutes_ = 0;
        assignText(MainControl::txtSpeechInterval, "0");
        timer(MainTimer::SpeechTimer).stop();
    } else if (const auto minutes = leadingMinutes(interval)) {
        speechIntervalMinutes_ = *minutes;
        timer(MainTimer::SpeechTimer).start();
        reloadSpeechID();
    }
    markMinutes(MainControl::txtSpeechInterval, speechIntervalMinutes_);
}

void MainModel::timeOutChanged() {
    const std::string& minutes = text(MainControl::txtTimeOut);
    if (minutes == "0" || minutes.empty()) {
        timeOutMinutes_ = 0;
        assignText(MainControl::txtTimeOutTime, "0");
    } else if (const auto accepted = leadingMinutes(minutes)) {
        timeOutMinutes_ = *accepted;
        reloadTimeOut();
    }
    markMinutes(MainControl::txtTimeOut, timeOutMinutes_);
    // The hang time is held to the time-out period: a new period may hold it or free it,
    // and a count already beyond it comes down to it.
    markHangTime();
    const auto shown = parseNumber(text(MainControl::txtHangTimeTime));
    if (shown && *shown > hangTimeBoundSeconds()) {
        assignText(MainControl::txtHangTimeTime, numberToText(hangTimeBoundSeconds()));
    }
}

void MainModel::saveClicked() {
    std::vector<SettingValue> values;
    for (const SettingKey* key : panelKeysInSaveOrder()) {
        values.push_back({key->key, key->kind == SettingKind::CheckBox
                                        ? std::to_string(value(key->control))
                                        : text(key->control)});
    }
    try {
        services_.settings.WriteSettings(values);
    } catch (const SettingsWriteError& error) {
        // The panel stays open with the edits on it, so nothing is lost.
        services_.program.reportWriteFailure(error);
        return;
    }
    setHeight(kShortHeightTwips);
}

}  // namespace relaydeck
