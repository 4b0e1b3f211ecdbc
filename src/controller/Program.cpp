#include "controller/Program.h"

#include "controller/LanguageSetting.h"
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
    : timers_(timers),
      settings_(settings),
      op_(op, activity_),
      texts_(readLanguage(settings.SettingsPath().parent_path())),
      windowLinks_(links) {}

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
            main_ = std::make_unique<MainModel>(
                MainServices{windowLinks_, timers_, settings_, op_, *this, activity_});
            startedAt_ = timers_.wallTime();
            observers_.forEach([this](ProgramObserver& o) { o.mainCreated(*main_); });
            main_->startUp();
        }
        main_->show();
    });
}

void Program::openAbout() {
    if (ended() || about_) return;
    about_ = std::make_unique<AboutModel>(windowLinks_, &texts_);
    struct Unload {
        std::unique_ptr<AboutModel>& about;
        ~Unload() { about.reset(); }
    } unload{about_};
    about_->load();
    op_.showAbout(*about_);
}

void Program::openActivity() {
    if (ended()) return;
    observers_.forEach([](ProgramObserver& o) { o.activityRequested(); });
}

void Program::endProgram(ExitStatus status) {
    if (ended_) return;
    ended_ = true;
    if (!failing_) status_ = status;
    if (startedAt_) {
        activity_.note(timers_.wallTime(), ActivityEvent::ProgramEnded, {},
                       timers_.wallTime() - *startedAt_);
    }
    if (main_) {
        main_->stopAllTimers();
        if (main_->link()) main_->link()->setEventSink(nullptr);
    }
    if (splash_) splash_->stopTimer();
    if (about_) about_->close();
    observers_.forEach([](ProgramObserver& o) { o.programEnded(); });
}

void Program::chooseUnattended() {
    if (ended() || !unattendedAvailable_) return;
    const SettingsStore own(settings_.SettingsPath().parent_path(), kOwnSection);
    const bool on = own.ReadSetting(kGuardedKey, "0") == "1";
    const MessageAnswer answer = op_.showMessage(
        {kFailureTitle,
         texts_.text(on ? TextId::UnattendedOnQuestion : TextId::UnattendedOffQuestion),
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
    // The handler's records are kept once its link calls are made.
    struct After {
        Program& p;
        ~After() {
            p.activity_.deliverHeld();
            if (p.afterHandler_) p.afterHandler_();
        }
    } after{*this};
    activity_.hold();
    try {
        handler();
    } catch (const LinkUnavailable& e) {
        reportFailure(kLinkFailed, e.what(), ExitStatus::LinkUnavailable);
    } catch (const LinkError& e) {
        reportFailure(kLinkFailed, e.what(), ExitStatus::LinkFailed);
    } catch (const std::bad_alloc&) {
        reportFailure(kProgramFailed, designedText(TextId::OutOfMemory), ExitStatus::ProgramFailed);
    } catch (const std::exception& e) {
        reportFailure(kProgramFailed, e.what(), ExitStatus::ProgramFailed);
    }
}

std::string Program::failureText(std::string_view failed, std::string_view what,
                                 Language language) {
    // A text that already names the failing side is not named twice.
    for (const std::string_view named :
         {kLinkFailed, kProgramFailed, std::string_view("EchoLink: ")}) {
        if (what.starts_with(named)) what.remove_prefix(named.size());
    }
    if (what == designedText(TextId::OutOfMemory))
        what = operatorText(TextId::OutOfMemory, language);
    return std::string(failed) + std::string(what) + operatorText(TextId::CannotGoOn, language);
}

std::string Program::writeFailureText(const SettingsWriteError& error, Language language) {
    const std::u8string file = error.file().u8string();
    std::string text = operatorText(TextId::SettingsNotWritten, language) +
                       std::string(file.begin(), file.end()) + ": " + error.reason();
    if (!text.ends_with('.')) text += '.';
    return text;
}

void Program::reportWriteFailure(const SettingsWriteError& error) {
    if (ended()) return;
    op_.showMessage({kFailureTitle, writeFailureText(error, texts_.language()), MessageButtons::Ok,
                     MessageIcon::None});
}

void Program::chooseLanguage(Language language) {
    texts_.setLanguage(language);
    try {
        writeLanguage(settings_.SettingsPath().parent_path(), language);
    } catch (const SettingsWriteError& error) {
        // In force for this run all the same.
        reportWriteFailure(error);
    }
}

void Program::reportFailure(std::string_view failed, std::string_view what, ExitStatus status) {
    if (ended()) return;
    failing_ = true;
    status_ = status;
    activity_.note(timers_.wallTime(), ActivityEvent::LinkFailure, failureText(failed, what));
    if (main_) {
        main_->stopAllTimers();
        main_->releaseTransmitter();
    }
    if (splash_) splash_->stopTimer();
    const std::string_view shownFailed = failed == kLinkFailed ? texts_.text(TextId::LinkFailed)
                                                               : texts_.text(TextId::ProgramFailed);
    op_.showMessage({kFailureTitle, failureText(shownFailed, what, texts_.language()),
                     MessageButtons::Ok, MessageIcon::Critical});
    endProgram();
}

}  // namespace relaydeck
