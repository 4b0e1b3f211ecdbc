// The main window's start-up, its position and height, the exit command and the close question.
#include "controller/MainModel.h"

#include <algorithm>
#include <cmath>

#include "Version.h"
#include "controller/NumberText.h"
#include "controller/OperatorInterface.h"
#include "controller/ProgramControl.h"
#include "controller/SettingKeys.h"
#include "controller/StatusTexts.h"
#include "settings/SettingsStore.h"

namespace relaydeck {

void MainModel::startUp() {
    link_ = services_.links.create();
    link_->setEventSink(this);
    link_->setWatcher(this);
    link_->SetControlMode(kLinkTrue);
    setTimedOut(false);
    setHeight(kShortHeightTwips);
    const std::string callsign = link_->GetStation().StationCallsign;
    setCaption(std::string(kProgramTitle) + " v" + std::to_string(kVersionMajor) + "." +
               std::to_string(kVersionMinor) + " - " + callsign);

    const SettingsStore& settings = services_.settings;
    const double fallback = *parseNumber(kDefaultPosition);
    const auto edge = [&](const char* key) {
        return clampPosition(
            parseNumber(settings.ReadSetting(key, kDefaultPosition)).value_or(fallback));
    };
    leftTwips_ = edge(kKeyLeft);
    topTwips_ = edge(kKeyTop);
    notifyWindowChanged();

    loadSettings();

    if (auto ms = leadingTimerMilliseconds(text(MainControl::KerchunkTime))) {
        timer(MainTimer::Kerchunker).setInterval(std::chrono::milliseconds(*ms));
    }
    reloadHangTime();
    reloadTimeOut();
    reloadCWID();
    assignText(MainControl::Status, kStatusWaiting);
    if (auto ms = leadingTimerMilliseconds(text(MainControl::BreakTime))) {
        timer(MainTimer::Break).setInterval(std::chrono::milliseconds(*ms));
    }
    timer(MainTimer::SpeechTimer).setEnabled(text(MainControl::txtSpeechInterval) != "0");
    setEnabled(MainControl::DecodeTone, value(MainControl::CTCSSDecode) == 1);
    setEnabled(MainControl::EncodeTone, value(MainControl::CTCSSEncode) == 1);
    note(ActivityEvent::ProgramStarted, callsign);
    if (repeaterOff_) assignText(MainControl::Status, kStatusRepeaterOff);
    for (std::string& missing : link_->missingMembers()) {
        note(ActivityEvent::LinkIncomplete, std::move(missing));
    }
}

void MainModel::loadSettings() {
    const SettingsStore& settings = services_.settings;
    for (const SettingKey& key : panelKeysInLoadOrder()) {
        const std::string fallback =
            key.defaultValue ? key.defaultValue : link_->GetStation().StationCallsign;
        std::string stored = settings.ReadSetting(key.key, fallback);
        switch (key.kind) {
            case SettingKind::Text:
                assignText(key.control, std::move(stored));
                break;
            case SettingKind::Minutes:
                // Read as a live edit reads it ("1,5" is 1 minute, and marked so); a text
                // with no usable number would stop a count-down for good: the default.
                if (!stored.empty() && !leadingMinutes(stored)) stored = fallback;
                assignText(key.control, std::move(stored));
                break;
            case SettingKind::Seconds:
                if (!parseLeadingNumber(stored)) stored = fallback;
                assignText(key.control, std::move(stored));
                break;
            case SettingKind::MillisecondsOrEmpty:
                if (stored.empty()) {
                    assignText(key.control, std::move(stored));
                    break;
                }
                [[fallthrough]];
            case SettingKind::Milliseconds:
                // Only whole milliseconds the timers can take; anything else is the default.
                if (!leadingTimerMilliseconds(stored)) stored = fallback;
                assignText(key.control, std::move(stored));
                break;
            case SettingKind::CheckBox:
                assignValue(key.control, parseCheckValue(stored).value_or(0));
                break;
        }
    }
}

void MainModel::show() {
    setWindowVisible(true);
}

double MainModel::clampPosition(double twips) {
    return std::clamp(twips, kMinPositionTwips, kMaxPositionTwips);
}

void MainModel::moveTo(double leftTwips, double topTwips) {
    if (!std::isfinite(leftTwips) || !std::isfinite(topTwips)) return;
    leftTwips = clampPosition(leftTwips);
    topTwips = clampPosition(topTwips);
    if (leftTwips == leftTwips_ && topTwips == topTwips_) return;
    leftTwips_ = leftTwips;
    topTwips_ = topTwips;
    notifyWindowChanged();
}

void MainModel::setHeight(int twips) {
    if (heightTwips_ == twips) return;
    heightTwips_ = twips;
    notifyWindowChanged();
}

void MainModel::exitClicked() {
    const SettingValue position[] = {{kKeyLeft, numberToText(leftTwips_)},
                                     {kKeyTop, numberToText(topTwips_)}};
    try {
        services_.settings.WriteSettings(position);
    } catch (const SettingsWriteError& error) {
        // Reported, and the program still ends as the operator asked.
        services_.program.reportWriteFailure(error);
        if (services_.program.ended()) return;
    }
    // A call to a link program that does not answer would keep the program from ending.
    if (notAnsweringSince_) {
        releaseTransmitter();
    } else {
        setTransmitter(false);
    }
    services_.program.endProgram();
}

bool MainModel::requestClose() {
    runGuarded([&] {
        const MessageAnswer answer =
            services_.op.showMessage({say(TextId::ExitTitle), say(TextId::ExitPrompt),
                                      MessageButtons::YesNo, MessageIcon::Question});
        if (services_.program.ended()) return;
        if (answer != MessageAnswer::Yes) return;
        // A controller that quits must not leave the repeater transmitting; an unkey that
        // fails is reported as the exit command reports it. A link program that does not
        // answer cannot be asked: that is logged, and the program ends without waiting.
        if (notAnsweringSince_) {
            releaseTransmitter();
        } else if (keyed_) {
            setTransmitter(false);
        }
        services_.program.endProgram();
    });
    return services_.program.ended();
}

}  // namespace relaydeck
