// The main window: its controls and timers, its start-up and exit, and the routing of its
// events to the parts that play each role.
#include "controller/MainModel.h"

#include "Version.h"
#include "controller/ActivityNotes.h"
#include "controller/CountDowns.h"
#include "controller/Ctcss.h"
#include "controller/Fan.h"
#include "controller/Identification.h"
#include "controller/LinkWatch.h"
#include "controller/OperatorInterface.h"
#include "controller/OverCycle.h"
#include "controller/ProgramControl.h"
#include "controller/RepeaterSwitch.h"
#include "controller/SettingsPanel.h"
#include "controller/StatusTexts.h"
#include "controller/TimeOut.h"
#include "controller/Transmitter.h"
#include "settings/SettingsStore.h"

namespace relaydeck {

/// @brief The parts of the controller, each with its own state. A part reaches the others
/// it works with through references given here; those built later are only bound now.
struct MainModel::Parts {
    explicit Parts(MainModel& model)
        : context{model.controls(), model.timers_, model.services_, model.link_},
          notes(model.services_.activity, model.services_.timers),
          linkWatch(context, notes),
          placement(context.window),
          countDowns(context),
          repeaterSwitch(context, notes, transmitter, timeOut, countDowns),
          transmitter(context, notes, linkWatch, repeaterSwitch),
          timeOut(context, notes, transmitter, countDowns),
          identification(context, notes, countDowns, repeaterSwitch),
          overCycle(context, notes, transmitter, timeOut, countDowns, identification,
                    repeaterSwitch),
          fan(context, notes),
          ctcss(context),
          panel(context, countDowns, placement, overCycle) {}

    MainContext context;
    ActivityNotes notes;
    LinkWatch linkWatch;
    WindowPlacement placement;
    CountDowns countDowns;
    RepeaterSwitch repeaterSwitch;
    Transmitter transmitter;
    TimeOut timeOut;
    Identification identification;
    OverCycle overCycle;
    Fan fan;
    Ctcss ctcss;
    SettingsPanel panel;
};

MainModel::MainModel(MainServices services)
    : TypedWindowModel(mainControlDefinitions()),
      services_(services),
      parts_(std::make_unique<Parts>(*this)) {
    for (const MainTimerDefinition& definition : mainTimerDefinitions()) {
        const MainTimer which = definition.timer;
        // A tick that comes while a call waits for the link program (inside a box's or a
        // menu's loop) is skipped, as a busy window thread would: its call would only
        // queue behind the one that is not answered.
        timers_.put(which, services_.timers.createTimer([this, which] {
            if (parts_->linkWatch.waiting()) return;
            services_.program.runHandler([this, which] { tick(which); });
        }));
        timer(which).setInterval(definition.period);
    }
    for (const MainTimerDefinition& definition : mainTimerDefinitions()) {
        if (definition.enabled) timer(definition.timer).start();
    }
    languageListening_ = services_.program.texts().listen([this] { showLanguage(); });
    showLanguage();
}

MainModel::~MainModel() {
    if (!link_) return;
    link_->setEventSink(nullptr);
    link_->setWatcher(nullptr);
}

// ---- start-up, exit and close ----

void MainModel::startUp() {
    Parts& parts = *parts_;
    link_ = services_.links.create();
    link_->setEventSink(this);
    link_->setWatcher(&parts.linkWatch);
    link_->SetControlMode(kLinkTrue);
    parts.timeOut.setTimedOut(false);
    parts.placement.setHeight(kShortHeightTwips);
    const std::string callsign = link_->GetStation().StationCallsign;
    setCaption(std::string(kProgramTitle) + " v" + std::to_string(kVersionMajor) + "." +
               std::to_string(kVersionMinor) + " - " + callsign);
    parts.placement.loadPosition(services_.settings);

    parts.panel.load();

    parts.panel.takePeriod(MainControl::KerchunkTime, MainTimer::Kerchunker);
    parts.countDowns.reloadHangTime();
    parts.countDowns.reloadTimeOut();
    parts.countDowns.reloadCWID();
    assignText(MainControl::Status, kStatusWaiting);
    parts.panel.takePeriod(MainControl::BreakTime, MainTimer::Break);
    timer(MainTimer::SpeechTimer).setEnabled(text(MainControl::txtSpeechInterval) != "0");
    parts.ctcss.showTones();
    parts.notes.note(ActivityEvent::ProgramStarted, callsign);
    if (parts.repeaterSwitch.off()) assignText(MainControl::Status, kStatusRepeaterOff);
    for (std::string& missing : link_->missingMembers()) {
        parts.notes.note(ActivityEvent::LinkIncomplete, std::move(missing));
    }
}

void MainModel::show() {
    setWindowVisible(true);
}

void MainModel::exitClicked() {
    try {
        parts_->placement.savePosition(services_.settings);
    } catch (const SettingsWriteError& error) {
        // Reported, and the program still ends as the operator asked.
        services_.program.reportWriteFailure(error);
        if (services_.program.ended()) return;
    }
    // A call to a link program that does not answer would keep the program from ending.
    if (parts_->linkWatch.waiting()) {
        releaseTransmitter();
    } else {
        parts_->transmitter.set(false);
    }
    services_.program.endProgram();
}

bool MainModel::requestClose() {
    runGuarded([&] {
        const MessageAnswer answer = services_.op.showMessage(
            {parts_->context.say(TextId::ExitTitle), parts_->context.say(TextId::ExitPrompt),
             MessageButtons::YesNo, MessageIcon::Question});
        if (services_.program.ended()) return;
        if (answer != MessageAnswer::Yes) return;
        // A controller that quits must not leave the repeater transmitting; an unkey that
        // fails is reported as the exit command reports it. A link program that does not
        // answer cannot be asked: that is logged, and the program ends without waiting.
        if (parts_->linkWatch.waiting()) {
            releaseTransmitter();
        } else if (parts_->transmitter.keyed()) {
            parts_->transmitter.set(false);
        }
        services_.program.endProgram();
    });
    return services_.program.ended();
}

// ---- what the facade tells of its parts ----

const OperatorTexts* MainModel::operatorTexts() const {
    return &services_.program.texts();
}

void MainModel::showLanguage() {
    const Language current = services_.program.texts().language();
    assignValue(MainControl::mnuLanguageAsDesigned, current == Language::AsDesigned ? 1 : 0);
    assignValue(MainControl::mnuLanguageEnglish, current == Language::English ? 1 : 0);
    assignValue(MainControl::mnuLanguagePortuguese, current == Language::Portuguese ? 1 : 0);
}

bool MainModel::timedOut() const {
    return parts_->timeOut.timedOut();
}

int MainModel::heightTwips() const {
    return parts_->placement.heightTwips();
}
double MainModel::leftTwips() const {
    return parts_->placement.leftTwips();
}
double MainModel::topTwips() const {
    return parts_->placement.topTwips();
}
void MainModel::moveTo(double leftTwips, double topTwips) {
    parts_->placement.moveTo(leftTwips, topTwips);
}

void MainModel::releaseTransmitter() noexcept {
    parts_->transmitter.release();
}

std::optional<ActivityTime> MainModel::linkNotAnsweringSince() const {
    return parts_->linkWatch.since();
}
std::chrono::milliseconds MainModel::linkNotAnsweringFor() const {
    return parts_->linkWatch.waitedFor();
}

void MainModel::setRepeaterOff(bool off) {
    parts_->repeaterSwitch.setOff(off);
}
bool MainModel::repeaterOff() const {
    return parts_->repeaterSwitch.off();
}

// ---- routing ----

void MainModel::runGuarded(const std::function<void()>& action) {
    services_.program.runHandler(action);
}

void MainModel::CarrierDetect(LinkBool bCD) {
    runGuarded([this, bCD] { parts_->overCycle.carrierDetect(bCD); });
}

void MainModel::RX(LinkBool bRX) {
    runGuarded([this, bRX] { parts_->overCycle.rx(bRX); });
}

void MainModel::PTT(LinkBool bPTT) {
    runGuarded([this, bPTT] { parts_->overCycle.ptt(bPTT); });
}

void MainModel::Closing() {
    runGuarded([this] { services_.program.endProgram(ExitStatus::LinkClosed); });
}

void MainModel::tick(MainTimer which) {
    Parts& parts = *parts_;
    switch (which) {
        case MainTimer::IDInterval:
            return parts.identification.idIntervalTick();
        case MainTimer::SpeechTimer:
            return parts.identification.speechTimerTick();
        case MainTimer::Kerchunker:
            return parts.overCycle.kerchunkerTick();
        case MainTimer::Break:
            return parts.overCycle.breakTick();
        case MainTimer::HangTime:
            return parts.overCycle.hangTimeTick();
        case MainTimer::TimeOut:
            return parts.timeOut.tick();
        case MainTimer::SquelchCrash:
            return parts.overCycle.squelchCrashTick();
        case MainTimer::CheckClear:
            return parts.timeOut.checkClearTick();
        case MainTimer::WaitFree:
        case MainTimer::CountUp:
        case MainTimer::CountDown:
            // Nothing starts them; a tick would only stop its timer.
            return timer(which).stop();
        case MainTimer::Count:
            return;
    }
}

void MainModel::clicked(MainControl control) {
    Parts& parts = *parts_;
    switch (control) {
        case MainControl::mnuExit:
            return exitClicked();
        case MainControl::mnuSendCWID:
            return parts.identification.sendCwIdClicked();
        case MainControl::mnuSendSpeechID:
            return parts.identification.sendSpeechIdClicked();
        case MainControl::mnuSettings:
            return parts.panel.open();
        case MainControl::mnuAbout:
            return services_.program.openAbout();
        case MainControl::mnuActivity:
            return services_.program.openActivity();
        case MainControl::mnuUnattended:
            return services_.program.chooseUnattended();
        case MainControl::mnuLanguageAsDesigned:
            return services_.program.chooseLanguage(Language::AsDesigned);
        case MainControl::mnuLanguageEnglish:
            return services_.program.chooseLanguage(Language::English);
        case MainControl::mnuLanguagePortuguese:
            return services_.program.chooseLanguage(Language::Portuguese);
        case MainControl::Save:
            return parts.panel.save();
        case MainControl::FanLabel:
            return parts.fan.clicked();
        case MainControl::Label14:
            return parts.timeOut.resetClicked();
        default:
            return;
    }
}

void MainModel::textChanged(MainControl control) {
    parts_->panel.textChanged(control);
}

void MainModel::valueChanged(MainControl control) {
    switch (control) {
        case MainControl::IDonClosedown:
            return parts_->identification.closedownIdToggled();
        case MainControl::CTCSSDecode:
        case MainControl::CTCSSEncode:
            return parts_->ctcss.clicked(control);
        default:
            return;
    }
}

}  // namespace relaydeck
