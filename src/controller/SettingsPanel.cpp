// The settings panel: the menu command that shows it, the fields as the settings file holds
// them, the change handlers of its six timing fields, and the save button.
#include "controller/SettingsPanel.h"

#include <algorithm>
#include <vector>

#include "controller/CountDowns.h"
#include "controller/MainContext.h"
#include "controller/NumberText.h"
#include "controller/OverCycle.h"
#include "controller/ProgramControl.h"
#include "controller/SettingKeys.h"
#include "controller/StatusTexts.h"
#include "controller/WindowPlacement.h"
#include "settings/SettingsStore.h"

namespace relaydeck {

void SettingsPanel::open() {
    placement_.setHeight(WindowPlacement::kTallHeightTwips);
}

void SettingsPanel::load() {
    MainWindowAccess& window = context_.window;
    const SettingsStore& settings = context_.services.settings;
    for (const SettingKey& key : panelKeysInLoadOrder()) {
        const std::string fallback =
            key.defaultValue ? key.defaultValue : context_.link().GetStation().StationCallsign;
        std::string stored = settings.ReadSetting(key.key, fallback);
        switch (key.kind) {
            case SettingKind::Text:
                window.assignText(key.control, std::move(stored));
                break;
            case SettingKind::Minutes:
                // Read as a live edit reads it ("1,5" is 1 minute, and marked so); a text
                // with no usable number would stop a count-down for good: the default.
                if (!stored.empty() && !leadingMinutes(stored)) stored = fallback;
                window.assignText(key.control, std::move(stored));
                break;
            case SettingKind::Seconds:
                if (!parseLeadingNumber(stored)) stored = fallback;
                window.assignText(key.control, std::move(stored));
                break;
            case SettingKind::MillisecondsOrEmpty:
                if (stored.empty()) {
                    window.assignText(key.control, std::move(stored));
                    break;
                }
                [[fallthrough]];
            case SettingKind::Milliseconds:
                // Only whole milliseconds the timers can take; anything else is the default.
                if (!leadingTimerMilliseconds(stored)) stored = fallback;
                window.assignText(key.control, std::move(stored));
                break;
            case SettingKind::CheckBox:
                window.assignValue(key.control, parseCheckValue(stored).value_or(0));
                break;
        }
    }
}

void SettingsPanel::takePeriod(MainControl field, MainTimer timer) {
    if (auto ms = leadingTimerMilliseconds(context_.window.text(field))) {
        context_.timers[timer].setInterval(std::chrono::milliseconds(*ms));
    }
}

void SettingsPanel::save() {
    std::vector<SettingValue> values;
    for (const SettingKey* key : panelKeysInSaveOrder()) {
        values.push_back({key->key, key->kind == SettingKind::CheckBox
                                        ? std::to_string(context_.window.value(key->control))
                                        : context_.window.text(key->control)});
    }
    try {
        context_.services.settings.WriteSettings(values);
    } catch (const SettingsWriteError& error) {
        // The panel stays open with the edits on it, so nothing is lost.
        context_.services.program.reportWriteFailure(error);
        return;
    }
    placement_.setHeight(WindowPlacement::kShortHeightTwips);
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

void SettingsPanel::markInForce(MainControl field, std::optional<double> inForce) {
    context_.window.assignText(markOf(field),
                               inForce ? kInForceMark + numberToText(*inForce) : std::string());
}

void SettingsPanel::markMinutes(MainControl field, double minutesInForce) {
    const std::string& typed = context_.window.text(field);
    const bool asTyped = typed == "0" || typed.empty() || parseMinutes(typed).has_value();
    markInForce(field, asTyped ? std::nullopt : std::optional<double>(minutesInForce));
}

void SettingsPanel::markMilliseconds(MainControl field, const IntervalTimer& timer) {
    const bool asTyped = parseTimerMilliseconds(context_.window.text(field)).has_value();
    markInForce(field, asTyped
                           ? std::nullopt
                           : std::optional<double>(static_cast<double>(timer.interval().count())));
}

void SettingsPanel::markHangTime() {
    const IntervalsInForce& inForce = countDowns_.inForce();
    const double bound = countDowns_.hangTimeBoundSeconds();
    const bool held = inForce.hangTimeSeconds > bound;
    markInForce(MainControl::txtHangTime,
                inForce.hangTimeAsTyped && !held
                    ? std::nullopt
                    : std::optional<double>(std::min(inForce.hangTimeSeconds, bound)));
}

// ---- the six fields ----

void SettingsPanel::textChanged(MainControl field) {
    switch (field) {
        case MainControl::BreakTime:
            return breakTimeChanged();
        case MainControl::KerchunkTime:
            return kerchunkTimeChanged();
        case MainControl::txtHangTime:
            return hangTimeChanged();
        case MainControl::txtIDInterval:
            return idIntervalChanged();
        case MainControl::txtSpeechInterval:
            return speechIntervalChanged();
        case MainControl::txtTimeOut:
            return timeOutChanged();
        default:
            return;
    }
}

void SettingsPanel::breakTimeChanged() {
    if (context_.window.text(MainControl::BreakTime).empty()) {
        context_.window.assignText(MainControl::BreakTime, "0");
    }
    takePeriod(MainControl::BreakTime, MainTimer::Break);
    markMilliseconds(MainControl::BreakTime, context_.timers[MainTimer::Break]);
    overCycle_.endBreakIfItCannotTick();
}

void SettingsPanel::kerchunkTimeChanged() {
    takePeriod(MainControl::KerchunkTime, MainTimer::Kerchunker);
    markMilliseconds(MainControl::KerchunkTime, context_.timers[MainTimer::Kerchunker]);
}

void SettingsPanel::hangTimeChanged() {
    IntervalsInForce& inForce = countDowns_.inForce();
    const std::string& typed = context_.window.text(MainControl::txtHangTime);
    const auto asTyped = parseNumber(typed);
    if (const auto seconds = asTyped ? asTyped : parseLeadingNumber(typed)) {
        inForce.hangTimeSeconds = *seconds;
        inForce.hangTimeAsTyped = asTyped.has_value();
        context_.window.assignText(MainControl::txtHangTimeTime, countDowns_.hangTimeReloadText());
    } else {
        // Refused: the hang time in force and its count-down stay as they were.
        inForce.hangTimeAsTyped = false;
    }
    markHangTime();
}

void SettingsPanel::idIntervalChanged() {
    IntervalTimer& timer = context_.timers[MainTimer::IDInterval];
    double& minutesInForce = countDowns_.inForce().cwIdMinutes;
    const std::string& interval = context_.window.text(MainControl::txtIDInterval);
    if (interval == "0" || interval.empty()) {
        timer.stop();
        minutesInForce = 0;
        context_.window.assignText(MainControl::txtCWIDTime, "0");
    } else if (const auto minutes = leadingMinutes(interval)) {
        minutesInForce = *minutes;
        timer.stop();
        countDowns_.reloadCWID();
        timer.start();
    }  // else refused: timer and display stay as they were
    markMinutes(MainControl::txtIDInterval, minutesInForce);
}

void SettingsPanel::speechIntervalChanged() {
    IntervalTimer& timer = context_.timers[MainTimer::SpeechTimer];
    double& minutesInForce = countDowns_.inForce().speechIdMinutes;
    const std::string& interval = context_.window.text(MainControl::txtSpeechInterval);
    if (interval == "0" || interval.empty()) {
        minutesInForce = 0;
        context_.window.assignText(MainControl::txtSpeechInterval, "0");
        timer.stop();
    } else if (const auto minutes = leadingMinutes(interval)) {
        minutesInForce = *minutes;
        timer.start();
        countDowns_.reloadSpeechID();
    }
    markMinutes(MainControl::txtSpeechInterval, minutesInForce);
}

void SettingsPanel::timeOutChanged() {
    double& minutesInForce = countDowns_.inForce().timeOutMinutes;
    const std::string& minutes = context_.window.text(MainControl::txtTimeOut);
    if (minutes == "0" || minutes.empty()) {
        minutesInForce = 0;
        context_.window.assignText(MainControl::txtTimeOutTime, "0");
    } else if (const auto accepted = leadingMinutes(minutes)) {
        minutesInForce = *accepted;
        countDowns_.reloadTimeOut();
    }
    markMinutes(MainControl::txtTimeOut, minutesInForce);
    // The hang time is held to the time-out period: a new period may hold it or free it,
    // and a count already beyond it comes down to it.
    markHangTime();
    const double bound = countDowns_.hangTimeBoundSeconds();
    const auto shown = parseNumber(context_.window.text(MainControl::txtHangTimeTime));
    if (shown && *shown > bound) {
        context_.window.assignText(MainControl::txtHangTimeTime, numberToText(bound));
    }
}

}  // namespace relaydeck
