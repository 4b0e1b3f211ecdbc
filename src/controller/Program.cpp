#include "controller/Program.h"

#include "controller/OperatorInterface.h"
#include "settings/SettingsStore.h"

#include <new>

namespace relaydeck {

namespace {
/// @brief The link program's object could not be created: it is not there to be reached.
class LinkUnavailable : public LinkError {
  public:
    using LinkError::LinkError;
};
}  // namespace

std::unique_ptr<LinkHost> Program::Links::create() {
    try {
        return links_.create();
    } catch (const LinkError& e) {
        throw LinkUnavailable(e.what());
    }
}

Program::Program(LinkHostFactory& links, TimerService& timers, const SettingsStore& settings,
                 OperatorInterface& op)
    : timers_(timers), settings_(settings), op_(op), windowLinks_(links) {}

Program::~Program() = default;

void Program::startWithSplash() {
    runHandler([this] {
        splash_ = std::make_unique<SplashModel>(windowLinks_, timers_, settings_, *this);
        splash_->load();
    });
}

void Program::showMain() {
    runHandler([this] {
        if (!main_) {
            main_ =
                std::make_unique<MainModel>(
                    MainServices{windowLinks_, timers_, settings_, op_, *this, *activity_});
            startedAt_ = timers_.wallTime();
            for (ProgramObserver* o : observers_) o->mainCreated(*main_);
            main_->startUp();
        }
        main_->show();
    });
}

void Program::openAbout() {
    if (ended() || about_) return;
    about_ = std::make_unique<AboutModel>(windowLinks_);
    struct Unload {
        std::unique_ptr<AboutModel>& about;
        ~Unload() { about.reset(); }
    } unload{about_};
    about_->load();
    op_.showAbout(*about_);
}

void Program::openActivity() {
    if (ended()) return;
    for (ProgramObserver* o : observers_) o->activityRequested();
}

void Program::note(ActivityEvent event, std::string detail,
                   std::optional<std::chrono::milliseconds> duration) noexcept {
    try {
        activity_->record({timers_.wallTime(), event, duration, std::move(detail)});
    } catch (...) {
        // The record is lost; the program goes on.
    }
}

void Program::endProgram(ExitStatus status) {
    if (ended_) return;
    ended_ = true;
    if (!failing_) status_ = status;
    if (startedAt_) note(ActivityEvent::ProgramEnded, {}, timers_.wallTime() - *startedAt_);
    if (main_) {
        main_->stopAllTimers();
        if (main_->link()) main_->link()->setEventSink(nullptr);
    }
    if (splash_) splash_->stopTimer();
    if (about_) about_->close();
    for (ProgramObserver* o : observers_) o->programEnded();
}

void Program::chooseUnattended() {
    if (ended() || !unattendedAvailable_) return;
    const SettingsStore own(settings_.SettingsPath().parent_path(), kOwnSection);
    const bool on = own.ReadSetting(kGuardedKey, "0") == "1";
    const MessageAnswer answer =
        op_.showMessage({kFailureTitle, on ? kUnattendedOnQuestion : kUnattendedOffQuestion,
                         MessageButtons::YesNo, MessageIcon::Question});
    if (answer != MessageAnswer::Yes || ended()) return;
    try {
        own.WriteSetting(kGuardedKey, on ? "0" : "1");
    } catch (const SettingsWriteError& e) {
        reportWriteFailure(e);
    }
}

void Program::runHandler(const std::function<void()>& handler) {
    if (ended()) return;
    // After every handler, nested ones too: a message box waits inside a handler while
    // the timers go on.
    struct After {
        Program& p;
        ~After() {
            if (p.afterHandler_) p.afterHandler_();
        }
    } after{*this};
    try {
        handler();
    } catch (const LinkUnavailable& e) {
        reportFailure(failureText(kLinkFailed, e.what()), ExitStatus::LinkUnavailable);
    } catch (const LinkError& e) {
        reportFailure(failureText(kLinkFailed, e.what()), ExitStatus::LinkFailed);
    } catch (const std::bad_alloc&) {
        reportFailure(failureText(kProgramFailed, "Out of memory."), ExitStatus::ProgramFailed);
    } catch (const std::exception& e) {
        reportFailure(failureText(kProgramFailed, e.what()), ExitStatus::ProgramFailed);
    }
}

std::string Program::failureText(std::string_view failed, std::string_view what) {
    // A text that already names the failing side is not named twice.
    for (const std::string_view named :
         {kLinkFailed, kProgramFailed, std::string_view("EchoLink: ")}) {
        if (what.starts_with(named)) what.remove_prefix(named.size());
    }
    return std::string(failed) + std::string(what) + " Relaydeck cannot go on and will close now.";
}

std::string Program::writeFailureText(const SettingsWriteError& error) {
    const std::u8string file = error.file().u8string();
    std::string text = "The settings could not be written to " +
                       std::string(file.begin(), file.end()) + ": " + error.reason();
    if (!text.ends_with('.')) text += '.';
    return text;
}

void Program::reportWriteFailure(const SettingsWriteError& error) {
    if (ended()) return;
    op_.showMessage(
        {kFailureTitle, writeFailureText(error), MessageButtons::Ok, MessageIcon::None});
}

void Program::reportFailure(const std::string& text, ExitStatus status) {
    if (ended()) return;
    failing_ = true;
    status_ = status;
    note(ActivityEvent::LinkFailure, text);
    if (main_) {
        main_->stopAllTimers();
        main_->releaseTransmitter();
    }
    if (splash_) splash_->stopTimer();
    op_.showMessage({kFailureTitle, text, MessageButtons::Ok, MessageIcon::Critical});
    endProgram();
}

}  // namespace relaydeck
