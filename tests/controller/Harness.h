#pragma once
// A running program on a virtual clock, a simulated station and a scripted operator.

#include <chrono>
#include <cmath>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "controller/OperatorInterface.h"
#include "controller/Program.h"
#include "controller/VirtualClock.h"
#include "link/SimulatedLinkHost.h"
#include "settings/SettingsStore.h"

namespace relaydeck::testing {

/// Answers message boxes from a script; can run an action while a box is open.
class ScriptedOperator : public OperatorInterface {
  public:
    MessageAnswer showMessage(const MessageBoxRequest& box) override {
        boxes.push_back(box);
        if (whileOpen) {
            auto action = std::move(whileOpen);
            whileOpen = nullptr;
            action();
        }
        if (answers.empty())
            return box.buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
        const MessageAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    void showAbout(AboutModel& about) override {
        aboutOpenings.push_back(about.text(AboutControl::lblTitle));
        if (whileAboutOpen) whileAboutOpen(about);
        about.close();
    }

    std::vector<MessageBoxRequest> boxes;
    std::deque<MessageAnswer> answers;
    std::function<void()> whileOpen;
    std::function<void(AboutModel&)> whileAboutOpen;
    std::vector<std::string> aboutOpenings;
};

class Harness : public ProgramObserver {
  public:
    Harness()
        : Harness(std::filesystem::temp_directory_path() /
                      ("relaydeck-test-" + std::to_string(std::random_device{}())),
                  true) {}
    /// Settings in @p folder, which stays when the harness goes unless it @p owns it (many
    /// short runs share one folder: a folder made and removed per run costs far more).
    explicit Harness(std::filesystem::path folder, bool owns = false)
        : folder_(std::move(folder)),
          ownsFolder_(owns),
          station([this](std::function<void()> task) { posted_.push_back(std::move(task)); }),
          factory(station),
          settings(folder_) {
        std::filesystem::create_directories(folder_);
        station.addCallObserver([this](const LinkCall& call) {
            if (!call.query || traceQueries) calls.push_back(stamp() + call.toString());
        });
    }
    ~Harness() override {
        program.reset();
        std::error_code ec;
        if (ownsFolder_) std::filesystem::remove_all(folder_, ec);
    }

    void ini(const std::string& line) {
        std::ofstream(settings.SettingsPath(), std::ios::app | std::ios::binary) << line << "\r\n";
    }
    std::string fileText() const {
        std::ifstream in(settings.SettingsPath(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    void newProgram() {
        program = std::make_unique<Program>(*links, clock, settings, op);
        observing = program->addObserver(*this);
    }
    /// Shows the main window as the startup dialog's button would.
    MainModel& start() {
        newProgram();
        program->showMain();
        drain();
        return *program->main();
    }
    void splash() {
        newProgram();
        program->startWithSplash();
        drain();
    }
    MainModel& main() { return *program->main(); }

    void wait(double seconds) {
        clock.advance(std::chrono::milliseconds(std::llround(seconds * 1000)), [this] { drain(); });
    }
    void carrier(LinkBool v) {
        station.setCarrier(v);
        drain();
    }
    void rx(LinkBool v) {
        station.setRX(v);
        drain();
    }
    void drain() {
        while (!posted_.empty()) {
            auto task = std::move(posted_.front());
            posted_.pop_front();
            task();
        }
    }

    /// The calls recorded since the last take, and forgets them.
    std::vector<std::string> take() {
        std::vector<std::string> out;
        out.swap(calls);
        return out;
    }

    void programEnded() override { calls.push_back(stamp() + "End"); }

    std::string stamp() const {
        const long long ms = clock.now().count();
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%lld.%03lld ", ms / 1000, ms % 1000);
        return buffer;
    }

    std::filesystem::path folder_;
    bool ownsFolder_;
    VirtualClock clock;
    std::deque<std::function<void()>> posted_;
    SimulatedStation station;
    SimulatedLinkHostFactory factory;
    /// Where the program's references come from: the station's factory unless a test
    /// puts its own in between.
    LinkHostFactory* links = &factory;
    SettingsStore settings;
    ScriptedOperator op;
    std::unique_ptr<Program> program;
    Connection observing;
    std::vector<std::string> calls;
    bool traceQueries = false;
};

using Calls = std::vector<std::string>;

// The main window's timers by their own names, beside `using enum MainControl`.
inline constexpr MainTimer IDInterval = MainTimer::IDInterval;
inline constexpr MainTimer SpeechTimer = MainTimer::SpeechTimer;
inline constexpr MainTimer Kerchunker = MainTimer::Kerchunker;
inline constexpr MainTimer Break = MainTimer::Break;
inline constexpr MainTimer HangTime = MainTimer::HangTime;
inline constexpr MainTimer TimeOut = MainTimer::TimeOut;
inline constexpr MainTimer SquelchCrash = MainTimer::SquelchCrash;
inline constexpr MainTimer CheckClear = MainTimer::CheckClear;
inline constexpr MainTimer WaitFree = MainTimer::WaitFree;
inline constexpr MainTimer CountUp = MainTimer::CountUp;
inline constexpr MainTimer CountDown = MainTimer::CountDown;

}  // namespace relaydeck::testing
