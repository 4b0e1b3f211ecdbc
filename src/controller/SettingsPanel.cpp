// The settings panel: the menu command that shows it, the change handlers of its six fields, and
// the save button.
#include "controller/MainModel.h"

#include <vector>

#include "controller/NumberText.h"
#include "controller/ProgramControl.h"
#include "controller/SettingKeys.h"
#include "settings/SettingsStore.h"

namespace relaydeck {

void MainModel::settingsClicked() {
    setHeight(kTallHeightTwips);
}

void MainModel::breakTimeChanged() {
    if (text(MainControl::BreakTime).empty()) assignText(MainControl::BreakTime, "0");
    if (auto ms = parseTimerMilliseconds(text(MainControl::BreakTime))) {
        timer(MainTimer::Break).setInterval(std::chrono::milliseconds(*ms));
    }
    endBreakIfItCannotTick();
}

void MainModel::kerchunkTimeChanged() {
    if (auto ms = parseTimerMilliseconds(text(MainControl::KerchunkTime))) {
        timer(MainTimer::Kerchunker).setInterval(std::chrono::milliseconds(*ms));
    }
}

void MainModel::hangTimeChanged() {
    reloadHangTime();
}

void MainModel::idIntervalChanged() {
    const std::string& interval = text(MainControl::txtIDInterval);
    if (interval == "0" || interval.empty()) {
        timer(MainTimer::IDInterval).stop();
        cwIntervalMinutes_ = 0;
        assignText(MainControl::txtCWIDTime, "0");
        return;
    }
    const auto minutes = parseMinutes(interval);
    if (!minutes) return;  // refused: timer and display stay as they were
    cwIntervalMinutes_ = *minutes;
    timer(MainTimer::IDInterval).stop();
    reloadCWID();
    timer(MainTimer::IDInterval).start();
}

void MainModel::speechIntervalChanged() {
    const std::string& interval = text(MainControl::txtSpeechInterval);
    if (interval == "0" || interval.empty()) {
        speechIntervalMinutes_ = 0;
        assignText(MainControl::txtSpeechInterval, "0");
        timer(MainTimer::SpeechTimer).stop();
        return;
    }
    const auto minutes = parseMinutes(interval);
    if (!minutes) return;
    speechIntervalMinutes_ = *minutes;
    timer(MainTimer::SpeechTimer).start();
    reloadSpeechID();
}

void MainModel::timeOutChanged() {
    const std::string& minutes = text(MainControl::txtTimeOut);
    if (minutes == "0" || minutes.empty()) {
        timeOutMinutes_ = 0;
        assignText(MainControl::txtTimeOutTime, "0");
        return;
    }
    const auto accepted = parseMinutes(minutes);
    if (!accepted) return;
    timeOutMinutes_ = *accepted;
    reloadTimeOut();
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
