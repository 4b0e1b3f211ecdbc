#include "controller/Program.h"

#include "controller/OperatorInterface.h"

namespace relaydeck {

Program::Program(LinkHostFactory& links, TimerService& timers, const SettingsStore& settings,
                 OperatorInterface& op)
    : links_(links), timers_(timers), settings_(settings), op_(op) {}

Program::~Program() = default;

void Program::startWithSplash() {
    runHandler([this] {
        splash_ = std::make_unique<SplashModel>(links_, timers_, settings_, *this);
        splash_->load();
    });
}

void Program::showMain() {
    runHandler([this] {
        if (!main_) {
            main_ =
                std::make_unique<MainModel>(MainServices{links_, timers_, settings_, op_, *this});
            for (ProgramObserver* o : observers_) o->mainCreated(*main_);
            main_->startUp();
        }
        main_->show();
    });
}

void Program::openAbout() {
    if (ended() || about_) return;
    about_ = std::make_unique<AboutModel>(links_);
    struct Unload {
        std::unique_ptr<AboutModel>& about;
        ~Unload() { about.reset(); }
    } unload{about_};
    about_->load();
    op_.showAbout(*about_);
}

void Program::endProgram() {
    if (ended_) return;
    ended_ = true;
    if (main_) {
        main_->stopAllTimers();
        if (main_->link()) main_->link()->setEventSink(nullptr);
    }
    if (splash_) splash_->stopTimer();
    if (about_) about_->close();
    for (ProgramObserver* o : observers_) o->programEnded();
}

void Program::runHandler(const std::function<void()>& handler) {
    if (ended()) return;
    try {
        handler();
    } catch (const LinkError& e) {
        reportFailure(e.what());
    } catch (const std::exception& e) {
        reportFailure(e.what());
    }
}

void Program::reportFailure(const std::string& what) {
    if (ended()) return;
    failing_ = true;
    if (main_) main_->stopAllTimers();
    if (splash_) splash_->stopTimer();
    op_.showMessage({kFailureTitle,
                     "EchoLink failed: " + what + " Relaydeck cannot go on and will close now.",
                     MessageButtons::Ok, MessageIcon::Critical});
    endProgram();
}

}  // namespace relaydeck
