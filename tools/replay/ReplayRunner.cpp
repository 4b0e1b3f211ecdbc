#include "ReplayRunner.h"

#include <fstream>

#include "ScenarioArguments.h"
#include "link/LinkOperations.h"
#include "settings/CodePage.h"

namespace relaydeck::replay {

namespace {

/// @brief Thrown when the scenario ends while a box or the About window is open.
struct EndOfScenario {};

/// @brief Pushes onto a stack for as long as it lives.
template <typename T>
class PushedFor {
  public:
    PushedFor(std::vector<T>& stack, T value) : stack_(stack) { stack_.push_back(value); }
    ~PushedFor() { stack_.pop_back(); }
    PushedFor(const PushedFor&) = delete;
    PushedFor& operator=(const PushedFor&) = delete;

  private:
    std::vector<T>& stack_;
};

}  // namespace

const std::vector<ReplayRunner::CommandEntry>& ReplayRunner::commands() {
    static const std::vector<CommandEntry> table = {
        {"callsign", &ReplayRunner::callsignCommand}, {"ini", &ReplayRunner::iniCommand},
        {"cat", &ReplayRunner::catCommand},           {"trace", &ReplayRunner::traceCommand},
        {"fail", &ReplayRunner::failCommand},         {"wait", &ReplayRunner::waitCommand},
        {"start", &ReplayRunner::startCommand},       {"splash", &ReplayRunner::splashCommand},
        {"carrier", &ReplayRunner::carrierCommand},   {"rx", &ReplayRunner::rxCommand},
        {"closing", &ReplayRunner::closingCommand},   {"click", &ReplayRunner::clickCommand},
        {"check", &ReplayRunner::checkCommand},       {"type", &ReplayRunner::typeCommand},
        {"close", &ReplayRunner::closeCommand},       {"answer", &ReplayRunner::answerCommand},
        {"show", &ReplayRunner::showCommand},
    };
    return table;
}

ReplayRunner::ReplayRunner(std::istream& scenario, std::ostream& out, std::filesystem::path folder)
    : station_([this](std::function<void()> task) { posted_.push_back(std::move(task)); }),
      links_(station_),
      settings_(std::move(folder)),
      reader_(scenario),
      scenario_(scenario),
      out_(out) {
    station_.addCallObserver([this](const LinkCall& call) {
        if (!call.query || traceQueries_) print(call.toString());
    });
}

ReplayRunner::~ReplayRunner() {
    // The program's end has been printed if it happened; tearing down prints nothing.
    programEnded_ = true;
    program_.reset();
}

void ReplayRunner::run() {
    try {
        while (std::optional<ScenarioLine> line = reader_.next()) {
            execute(*line);
            drainPosted();
            releaseEndedProgram();
            // Someone typing a scenario sees each answer at once; a file or a pipe with
            // more lines waiting is not written one line at a time.
            if (scenario_.rdbuf()->in_avail() <= 0) out_.flush();
        }
    } catch (const EndOfScenario&) {
        // A box or the About window was still open: the run stops here.
    }
    out_.flush();
}

void ReplayRunner::execute(const ScenarioLine& line) {
    const Word& command = line.words.front();
    if (!command.quoted) {
        for (const CommandEntry& entry : commands()) {
            if (entry.name == command.text) {
                (this->*entry.run)(line);
                return;
            }
        }
    }
    fail(line, "unknown command " + quoteText(command.text));
}

void ReplayRunner::drainPosted() {
    while (!posted_.empty()) {
        std::function<void()> task = std::move(posted_.front());
        posted_.pop_front();
        task();
    }
}

void ReplayRunner::releaseEndedProgram() {
    // Only with no box or About window open: then none of the program's handlers is
    // on the stack.
    if (programEnded_ && modals_.empty()) program_.reset();
}

// --- the operator -----------------------------------------------------------------

void ReplayRunner::runModal(const std::function<bool()>& closed) {
    drainPosted();
    while (!programEnded_ && !closed()) {
        // The line after a wait runs at the wait's end, box or no box.
        if (!waitEnds_.empty()) advanceTo(waitEnds_.back());
        if (programEnded_ || closed()) break;
        std::optional<ScenarioLine> line = reader_.next();
        if (!line) throw EndOfScenario{};
        execute(*line);
        drainPosted();
    }
}

MessageAnswer ReplayRunner::showMessage(const MessageBoxRequest& box) {
    print("MsgBox " + quoteText(box.title) + " " + quoteText(box.prompt));
    Modal modal{Modal::Kind::Box, box.buttons, std::nullopt};
    const PushedFor<Modal*> shown(modals_, &modal);
    runModal([&modal] { return modal.answer.has_value(); });
    if (modal.answer) return *modal.answer;
    // The program ended while the box was open: the answer that changes nothing.
    return box.buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
}

void ReplayRunner::showAbout(AboutModel& about) {
    Modal modal{Modal::Kind::About, MessageButtons::Ok, std::nullopt};
    const PushedFor<Modal*> shown(modals_, &modal);
    runModal([&about] { return about.closed(); });
}

void ReplayRunner::programEnded() {
    if (programEnded_) return;
    programEnded_ = true;
    print("End");
}

// --- setup ------------------------------------------------------------------------

void ReplayRunner::callsignCommand(const ScenarioLine& line) {
    expectWords(line, 2, "callsign TEXT");
    station_.setCallsign(line.words[1].text);
}

void ReplayRunner::iniCommand(const ScenarioLine& line) {
    expectWords(line, 2, "ini TEXT");
    std::ofstream file(settings_.SettingsPath(), std::ios::binary | std::ios::app);
    file << utf8ToCp1252(line.words[1].text) << "\r\n";
    if (!file) fail(line, "cannot write the settings file");
}

void ReplayRunner::traceCommand(const ScenarioLine& line) {
    expectWords(line, 3, "trace queries on|off");
    const std::string& what = bareWord(line, 1);
    const std::string& state = bareWord(line, 2);
    if (what != "queries" || (state != "on" && state != "off")) {
        fail(line, "expected: trace queries on|off");
    }
    traceQueries_ = state == "on";
}

void ReplayRunner::failCommand(const ScenarioLine& line) {
    expectWords(line, 2, "fail OP");
    const std::string& operation = bareWord(line, 1);
    if (!findLinkOperation(operation) && operation != kFailCreation) {
        fail(line, "unknown operation " + quoteText(operation));
    }
    station_.failNext(operation);
}

void ReplayRunner::waitCommand(const ScenarioLine& line) {
    expectWords(line, 2, "wait SECONDS");
    const std::string& text = bareWord(line, 1);
    const std::optional<std::chrono::milliseconds> duration = parseSeconds(text);
    if (!duration) {
        fail(line, (!text.empty() && text[0] == '-' ? "negative time " : "malformed time ") +
                       quoteText(text));
    }
    // A box opened by a tick reads the following lines inside the tick: it first lets
    // this wait run to its end (runModal), so that those lines run at the end of the wait.
    const PushedFor<std::chrono::milliseconds> waiting(waitEnds_, clock_.now() + *duration);
    advanceTo(waitEnds_.back());
}

void ReplayRunner::advanceTo(std::chrono::milliseconds end) {
    if (end <= clock_.now()) return;
    clock_.advance(end - clock_.now(), [this] {
        drainPosted();
        releaseEndedProgram();
    });
}

// --- program ----------------------------------------------------------------------

void ReplayRunner::startCommand(const ScenarioLine& line) {
    startProgram(line, false);
}

void ReplayRunner::splashCommand(const ScenarioLine& line) {
    startProgram(line, true);
}

void ReplayRunner::startProgram(const ScenarioLine& line, bool withSplash) {
    expectWords(line, 1, withSplash ? "splash" : "start");
    if (running()) fail(line, "the program is already running");
    program_.reset();
    programEnded_ = false;
    OperatorInterface& op = *this;
    program_ = std::make_unique<Program>(links_, clock_, settings_, op);
    observing_ = program_->addObserver(*this);
    if (activity_) recording_ = program_->setActivity(*activity_);
    if (withSplash) {
        program_->startWithSplash();
    } else {
        program_->showMain();
    }
}

bool ReplayRunner::running() const {
    return program_ && !programEnded_;
}

void ReplayRunner::requireRunning(const ScenarioLine& line) const {
    if (!running()) fail(line, "no program is running");
}

// --- link-host events -------------------------------------------------------------

void ReplayRunner::carrierCommand(const ScenarioLine& line) {
    const LinkBool value = linkBoolArgument(line, "carrier on|off|N");
    requireRunning(line);
    station_.setCarrier(value);
}

void ReplayRunner::rxCommand(const ScenarioLine& line) {
    const LinkBool value = linkBoolArgument(line, "rx on|off|N");
    requireRunning(line);
    station_.setRX(value);
}

void ReplayRunner::closingCommand(const ScenarioLine& line) {
    expectWords(line, 1, "closing");
    requireRunning(line);
    station_.raiseClosing();
}

// --- the operator's commands ------------------------------------------------------

void ReplayRunner::clickCommand(const ScenarioLine& line) {
    expectWords(line, 2, "click NAME");
    const std::string& name = bareWord(line, 1);
    requireRunning(line);
    const Target target = resolve(line, name);
    const bool clickable = [&] {
        if (target.kind != Target::Kind::Control) return false;
        const ControlKind kind =
            definitionsOf(target.window)[static_cast<std::size_t>(target.id)].kind;
        return kind == ControlKind::MenuItem || kind == ControlKind::Button ||
               kind == ControlKind::ClickLabel;
    }();
    if (!clickable) fail(line, quoteText(name) + " cannot be clicked");
    if (!reachable(target)) {
        ignored(name);
        return;
    }
    loaded(target.window)->click(target.id);
}

void ReplayRunner::checkCommand(const ScenarioLine& line) {
    expectWords(line, 3, "check NAME 0|1|2");
    const std::string& name = bareWord(line, 1);
    const std::string& value = bareWord(line, 2);
    if (value != "0" && value != "1" && value != "2") {
        fail(line, "a check box takes 0, 1 or 2, not " + quoteText(value));
    }
    requireRunning(line);
    const Target target = resolve(line, name);
    if (target.kind != Target::Kind::Control ||
        definitionsOf(target.window)[static_cast<std::size_t>(target.id)].kind !=
            ControlKind::CheckBox) {
        fail(line, quoteText(name) + " is not a check box");
    }
    if (!reachable(target)) {
        ignored(name);
        return;
    }
    // The box takes the value; its click handler runs when the value changes.
    loaded(target.window)->setValue(target.id, value[0] - '0');
}

void ReplayRunner::typeCommand(const ScenarioLine& line) {
    expectWords(line, 3, "type NAME TEXT");
    const std::string& name = bareWord(line, 1);
    requireRunning(line);
    const Target target = resolve(line, name);
    if (target.kind != Target::Kind::Control ||
        definitionsOf(target.window)[static_cast<std::size_t>(target.id)].kind !=
            ControlKind::TextField) {
        fail(line, quoteText(name) + " is not a text field");
    }
    if (!reachable(target)) {
        ignored(name);
        return;
    }
    loaded(target.window)->setText(target.id, line.words[2].text);
}

void ReplayRunner::closeCommand(const ScenarioLine& line) {
    expectWords(line, 2, "close Main|About");
    const std::string& name = bareWord(line, 1);
    if (name != "Main" && name != "About") fail(line, "expected: close Main|About");
    requireRunning(line);
    if (name == "Main") {
        if (!takesInput(Window::Main)) return ignored(name);
        program_->main()->requestClose();
    } else {
        if (!takesInput(Window::About)) return ignored(name);
        program_->about()->close();
    }
}

void ReplayRunner::answerCommand(const ScenarioLine& line) {
    expectWords(line, 2, "answer ok|yes|no");
    const std::string& word = bareWord(line, 1);
    MessageAnswer answer;
    if (word == "ok") {
        answer = MessageAnswer::Ok;
    } else if (word == "yes") {
        answer = MessageAnswer::Yes;
    } else if (word == "no") {
        answer = MessageAnswer::No;
    } else {
        fail(line, "expected: answer ok|yes|no");
    }
    requireRunning(line);
    if (modals_.empty() || modals_.back()->kind != Modal::Kind::Box) {
        fail(line, "no message box is open");
    }
    Modal& box = *modals_.back();
    const bool fits = box.buttons == MessageButtons::Ok ? answer == MessageAnswer::Ok
                                                        : answer != MessageAnswer::Ok;
    if (!fits) {
        fail(line, quoteText(word) + " does not answer a box with " +
                       (box.buttons == MessageButtons::Ok ? "an OK button" : "Yes and No buttons"));
    }
    box.answer = answer;
}

}  // namespace relaydeck::replay
