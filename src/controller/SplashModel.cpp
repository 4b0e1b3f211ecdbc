#include "controller/SplashModel.h"
#include "controller/OperatorTexts.h"

#include "Version.h"
#include "controller/NumberText.h"
#include "controller/ProgramControl.h"
#include "controller/SettingKeys.h"
#include "settings/SettingsStore.h"

namespace relaydeck {

namespace {

using T = TextId;

using K = ControlKind;

const ControlDefinition kSplashControls[] = {
    {"imgLogo", K::Picture, "splash-mast.png"},
    {"lblProductName", K::Label, ""},
    {"lblPlatform", K::Label, designedText(T::SplashPlatform)},
    {"MyCall", K::Label, ""},
    {"lblVersion", K::Label, ""},
    {"Label2", K::Label, designedText(T::SplashDate)},
    {"lblAuthor", K::Label, designedText(T::SplashAuthor)},
    {"Startup", K::CheckBox, designedText(T::SplashStartup)},
    {"Label1", K::Label, designedText(T::SplashWait)},
    {"Launch", K::Button, designedText(T::SplashLaunch)},
    {"Finish", K::Button, designedText(T::SplashFinish)},
};
static_assert(std::size(kSplashControls) == static_cast<std::size_t>(SplashControl::Count));

}  // namespace

std::span<const ControlDefinition> splashControlDefinitions() {
    return kSplashControls;
}

SplashModel::SplashModel(LinkHostFactory& links, TimerService& timers,
                         const SettingsStore& settings, ProgramControl& program)
    : TypedWindowModel(kSplashControls),
      links_(links),
      settings_(settings),
      program_(program),
      timer_(timers.createTimer([this] { runGuarded([this] { autoStartTick(); }); })) {
    timer_->setInterval(kAutoStartDelay);
}

void SplashModel::runGuarded(const std::function<void()>& action) {
    program_.runHandler(action);
}

void SplashModel::load() {
    timer_->start();
    link_ = links_.create();
    assignText(SplashControl::MyCall, link_->GetStation().StationCallsign);
    assignValue(SplashControl::Startup,
                parseCheckValue(settings_.ReadSetting(kKeyStartup, kDefaultStartup)).value_or(0));
    assignText(SplashControl::lblVersion, versionLine(program_.texts().text(TextId::VersionWord)));
    assignText(SplashControl::lblProductName, kProgramTitle);
    setWindowVisible(true);
}

const OperatorTexts* SplashModel::operatorTexts() const {
    return &program_.texts();
}

void SplashModel::hide() {
    setWindowVisible(false);
}

void SplashModel::stopTimer() {
    timer_->stop();
}

void SplashModel::clicked(SplashControl control) {
    switch (control) {
        case SplashControl::Launch:
            return launchClicked();
        case SplashControl::Finish:
            return finishClicked();
        default:
            return;
    }
}

void SplashModel::autoStartTick() {
    timer_->stop();
    if (value(SplashControl::Startup) == 1) {
        hide();
        program_.showMain();
    } else {
        setVisible(SplashControl::Label1, false);
    }
}

void SplashModel::writeStartup() {
    try {
        settings_.WriteSetting(kKeyStartup, std::to_string(value(SplashControl::Startup)));
    } catch (const SettingsWriteError& error) {
        // Reported; the button still does what it says.
        program_.reportWriteFailure(error);
    }
}

void SplashModel::launchClicked() {
    writeStartup();
    if (program_.ended()) return;
    program_.showMain();
    if (program_.ended()) return;
    hide();
}

void SplashModel::finishClicked() {
    timer_->stop();  // no automatic start behind a report of the write
    writeStartup();
    if (program_.ended()) return;
    link_->SetPTT(kLinkFalse);
    program_.endProgram();
}

}  // namespace relaydeck
