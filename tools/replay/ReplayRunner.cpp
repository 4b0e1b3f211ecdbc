#include "ReplayRunner.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <span>

#include "link/LinkOperations.h"
#include "settings/CodePage.h"

namespace relaydeck::replay {

namespace {

/// @brief Thrown when the scenario ends while a box or the About window is open.
struct EndOfScenario {};

constexpr std::int64_t kMaxWaitMilliseconds = 1'000'000'000'000;  // about 31 years

[[noreturn]] void fail(const ScenarioLine& line, const std::string& reason) {
    throw ScenarioError(line.number, reason);
}

void expectWords(const ScenarioLine& line, std::size_t count, const char* form) {
    if (line.words.size() != count) fail(line, std::string("expected: ") + form);
}

/// @brief A word that must be a name or a keyword, not a quoted text.
const std::string& bareWord(const ScenarioLine& line, std::size_t index) {
    const Word& word = line.words[index];
    if (word.quoted) fail(line, "expected a name, not the quoted text " + quoteText(word.text));
    return word.text;
}

std::string trueFalse(bool value) {
    return value ? "True" : "False";
}

std::string timerState(const IntervalTimer& timer) {
    return (timer.enabled() ? "on " : "off ") + std::to_string(timer.interval().count());
}

std::string colourText(Rgb colour) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%06X", static_cast<unsigned>(colour & 0xFFFFFF));
    return buffer;
}

std::string wholeTwips(double twips) {
    return std::to_string(std::llround(twips));
}

std::vector<std::string_view> splitDots(std::string_view text) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t dot = text.find('.', start);
        parts.push_back(text.substr(start, dot == std::string_view::npos ? dot : dot - start));
        if (dot == std::string_view::npos) return parts;
        start = dot + 1;
    }
}

std::optional<LinkBool> parseLinkBool(std::string_view text) {
    if (text == "on") return kLinkTrue;
    if (text == "off") return kLinkFalse;
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) i = 1;
    if (i == text.size() || text.size() - i > 5) return std::nullopt;
    long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    if (negative) value = -value;
    // Any 16-bit spelling: -32768..65535, where 65535 is the same word as -1.
    if (value < -32768 || value > 65535) return std::nullopt;
    return static_cast<LinkBool>(static_cast<std::uint16_t>(value));
}

}  // namespace

std::string formatTime(std::chrono::milliseconds time) {
    const long long ms = time.count();
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%lld.%03lld", ms / 1000, ms % 1000);
    return buffer;
}

std::optional<std::chrono::milliseconds> parseSeconds(std::string_view text) {
    std::size_t i = 0;
    std::int64_t whole = 0;
    std::size_t wholeDigits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        whole = whole * 10 + (text[i] - '0');
        if (whole > kMaxWaitMilliseconds / 1000) return std::nullopt;
        ++i, ++wholeDigits;
    }
    std::int64_t fraction = 0;
    std::size_t fractionDigits = 0;
    if (i < text.size()) {
        if (text[i] != '.') return std::nullopt;
        for (++i; i < text.size(); ++i, ++fractionDigits) {
            const char c = text[i];
            if (c < '0' || c > '9') return std::nullopt;
            if (fractionDigits < 3) {
                fraction = fraction * 10 + (c - '0');
            } else if (c != '0') {
                return std::nullopt;  // finer than a millisecond
            }
        }
        for (std::size_t d = fractionDigits; d < 3; ++d) fraction *= 10;
    }
    if (wholeDigits + fractionDigits == 0) return std::nullopt;
    return std::chrono::milliseconds(whole * 1000 + fraction);
}

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

void ReplayRunner::echoScenario() {
    reader_.setEcho([this](ScenarioReader::LineKind kind, std::string_view text) {
        if (kind == ScenarioReader::LineKind::Comment) {
            // A blank line before each block of comments but the first line of all.
            if (!echoedComment_ && echoedAnything_) out_ << '\n';
            echoedAnything_ = true;
            out_ << text << '\n';
            echoedComment_ = true;
            return;
        }
        echoedComment_ = false;
        echoedAnything_ = true;
        // What `show` prints names what it shows.
        if (text.starts_with("show ") || text.starts_with("show\t")) return;
        print("> " + std::string(text));
    });
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

void ReplayRunner::print(const std::string& text) {
    out_ << formatTime(clock_.now()) << ' ' << text << '\n';
}

void ReplayRunner::ignored(const std::string& name) {
    print("ignored: " + name);
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
    modals_.push_back(&modal);
    struct Pop {
        std::vector<Modal*>& modals;
        ~Pop() { modals.pop_back(); }
    } pop{modals_};
    runModal([&modal] { return modal.answer.has_value(); });
    if (modal.answer) return *modal.answer;
    // The program ended while the box was open: the answer that changes nothing.
    return box.buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
}

void ReplayRunner::showAbout(AboutModel& about) {
    Modal modal{Modal::Kind::About, MessageButtons::Ok, std::nullopt};
    modals_.push_back(&modal);
    struct Pop {
        std::vector<Modal*>& modals;
        ~Pop() { modals.pop_back(); }
    } pop{modals_};
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

void ReplayRunner::catCommand(const ScenarioLine& line) {
    expectWords(line, 1, "cat");
    std::ifstream file(settings_.SettingsPath(), std::ios::binary);
    if (!file) {
        out_ << "file: (none)\n";
        return;
    }
    std::string text;
    while (std::getline(file, text)) {
        if (!text.empty() && text.back() == '\r') text.pop_back();
        out_ << "file: " << cp1252ToUtf8(text) << '\n';
    }
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
    waitEnds_.push_back(clock_.now() + *duration);
    struct Pop {
        std::vector<std::chrono::milliseconds>& ends;
        ~Pop() { ends.pop_back(); }
    } pop{waitEnds_};
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
    program_->addObserver(this);
    if (activity_) program_->setActivity(*activity_);
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
    expectWords(line, 2, "carrier on|off|N");
    const std::optional<LinkBool> value = parseLinkBool(bareWord(line, 1));
    if (!value) fail(line, "expected on, off or a 16-bit number");
    requireRunning(line);
    station_.setCarrier(*value);
}

void ReplayRunner::rxCommand(const ScenarioLine& line) {
    expectWords(line, 2, "rx on|off|N");
    const std::optional<LinkBool> value = parseLinkBool(bareWord(line, 1));
    if (!value) fail(line, "expected on, off or a 16-bit number");
    requireRunning(line);
    station_.setRX(*value);
}

void ReplayRunner::closingCommand(const ScenarioLine& line) {
    expectWords(line, 1, "closing");
    requireRunning(line);
    station_.raiseClosing();
}

// --- windows and names ------------------------------------------------------------

namespace {

constexpr std::array<std::string_view, 3> kWindowNames = {"Main", "Splash", "About"};

}  // namespace

std::span<const ControlDefinition> ReplayRunner::definitionsOf(Window window) {
    switch (window) {
        case Window::Main:
            return mainControlDefinitions();
        case Window::Splash:
            return splashControlDefinitions();
        case Window::About:
            return aboutControlDefinitions();
    }
    return {};
}

WindowModel* ReplayRunner::loaded(Window window) {
    if (!running()) return nullptr;
    switch (window) {
        case Window::Main:
            return program_->main();
        case Window::Splash:
            return program_->splash();
        case Window::About: {
            AboutModel* about = program_->about();
            return about && !about->closed() ? about : nullptr;
        }
    }
    return nullptr;
}

bool ReplayRunner::takesInput(Window window) {
    WindowModel* model = loaded(window);
    if (!model) return false;
    if (window == Window::About)
        return !modals_.empty() && modals_.back()->kind == Modal::Kind::About;
    return modals_.empty() && model->isVisible();
}

ReplayRunner::Target ReplayRunner::resolve(const ScenarioLine& line, std::string_view reference) {
    const std::vector<std::string_view> parts = splitDots(reference);
    std::optional<Window> only;
    std::string_view name = parts.back();
    if (parts.size() == 2) {
        const auto* w = std::find(kWindowNames.begin(), kWindowNames.end(), parts[0]);
        if (w == kWindowNames.end())
            fail(line, "unknown window " + quoteText(std::string(parts[0])));
        only = static_cast<Window>(w - kWindowNames.begin());
    } else if (parts.size() > 2 || name.empty()) {
        fail(line, "malformed name " + quoteText(std::string(reference)));
    }

    const auto lookIn = [name](Window window) -> std::optional<Target> {
        if (const std::optional<int> control = findControl(definitionsOf(window), name)) {
            return Target{window, Target::Kind::Control, *control};
        }
        if (window == Window::Main) {
            if (const std::optional<MainTimer> timer = findMainTimer(name)) {
                return Target{window, Target::Kind::MainTimer, static_cast<int>(*timer)};
            }
            if (name == "TimedOut") return Target{window, Target::Kind::TimedOut, 0};
        }
        if (window == Window::Splash && name == "Timer") {
            return Target{window, Target::Kind::SplashTimer, 0};
        }
        return std::nullopt;
    };

    if (only) {
        if (std::optional<Target> target = lookIn(*only)) return *target;
        fail(line, std::string(parts[0]) + " has no " + quoteText(std::string(name)));
    }
    std::vector<Target> candidates;
    for (Window window : {Window::Main, Window::Splash, Window::About}) {
        if (std::optional<Target> target = lookIn(window)) candidates.push_back(*target);
    }
    if (candidates.empty()) fail(line, "unknown name " + quoteText(std::string(name)));
    if (candidates.size() == 1) return candidates.front();
    std::vector<Target> loadedOnes;
    for (const Target& target : candidates) {
        if (loaded(target.window)) loadedOnes.push_back(target);
    }
    if (loadedOnes.size() > 1) {
        fail(line, quoteText(std::string(name)) +
                       " is on more than one loaded window; prefix it with its window");
    }
    return loadedOnes.empty() ? candidates.front() : loadedOnes.front();
}

bool ReplayRunner::reachable(const Target& target) {
    if (!takesInput(target.window)) return false;
    return loaded(target.window)->takesInput(target.id);
}

// --- the operator's commands ------------------------------------------------------

void ReplayRunner::clickCommand(const ScenarioLine& line) {
    expectWords(line, 2, "click NAME");
    const std::string& name = bareWord(line, 1);
    requireRunning(line);
    const Target target = resolve(line, name);
    const bool clickable = [&] {
        if (target.kind != Target::Kind::Control) return false;
        const ControlKind kind = definitionsOf(target.window)[static_cast<std::size_t>(target.id)].kind;
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
        definitionsOf(target.window)[static_cast<std::size_t>(target.id)].kind != ControlKind::CheckBox) {
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
        definitionsOf(target.window)[static_cast<std::size_t>(target.id)].kind != ControlKind::TextField) {
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

// --- inspection -------------------------------------------------------------------

void ReplayRunner::showCommand(const ScenarioLine& line) {
    expectWords(line, 2, "show NAME");
    const std::string& reference = bareWord(line, 1);
    std::vector<std::string_view> parts = splitDots(reference);
    if (parts.size() > 3 ||
        std::any_of(parts.begin(), parts.end(), [](std::string_view p) { return p.empty(); })) {
        fail(line, "malformed name " + quoteText(reference));
    }
    const auto* window = std::find(kWindowNames.begin(), kWindowNames.end(), parts[0]);
    const bool prefixed = window != kWindowNames.end();
    if (prefixed && parts.size() == 1) fail(line, "show a control or a property of " + reference);

    std::string value;
    static constexpr std::array<std::string_view, 5> kWindowProperties = {"Caption", "Visible",
                                                                          "Height", "Left", "Top"};
    if (prefixed && parts.size() == 2 &&
        std::find(kWindowProperties.begin(), kWindowProperties.end(), parts[1]) !=
            kWindowProperties.end()) {
        value =
            showWindowProperty(line, static_cast<Window>(window - kWindowNames.begin()), parts[1]);
    } else {
        const std::size_t nameParts = prefixed ? 2 : 1;
        if (parts.size() > nameParts + 1) fail(line, "malformed name " + quoteText(reference));
        std::string_view property = parts.size() > nameParts ? parts[nameParts] : "";
        const std::string_view name = std::string_view(reference).substr(
            0,
            parts.size() > nameParts ? reference.size() - property.size() - 1 : reference.size());
        value = showTarget(line, resolve(line, name), property);
    }
    print(reference + " = " + value);
}

std::string ReplayRunner::showWindowProperty(const ScenarioLine& line, Window window,
                                             std::string_view property) {
    const std::string windowName(kWindowNames[static_cast<std::size_t>(window)]);
    if (property == "Visible") {
        const WindowModel* model = loaded(window);
        return trueFalse(model && model->isVisible());
    }
    const bool known = property == "Caption" ? window != Window::Splash : window == Window::Main;
    if (!known) fail(line, windowName + " has no " + std::string(property));
    WindowModel* model = loaded(window);
    if (!model) fail(line, "window " + windowName + " is not loaded");
    if (property == "Caption") return quoteText(model->caption());
    const MainModel& main = *program_->main();
    if (property == "Height") return std::to_string(main.heightTwips());
    if (property == "Left") return wholeTwips(main.leftTwips());
    return wholeTwips(main.topTwips());
}

std::string ReplayRunner::showTarget(const ScenarioLine& line, const Target& target,
                                     std::string_view property) {
    const std::string windowName(kWindowNames[static_cast<std::size_t>(target.window)]);
    WindowModel* model = loaded(target.window);
    if (!model) fail(line, "window " + windowName + " is not loaded");
    if (!property.empty() && property != "Enabled" && property != "Visible") {
        fail(line, "unknown property " + quoteText(std::string(property)));
    }
    switch (target.kind) {
        case Target::Kind::MainTimer:
        case Target::Kind::SplashTimer: {
            const IntervalTimer& timer =
                target.kind == Target::Kind::MainTimer
                    ? program_->main()->timer(static_cast<MainTimer>(target.id))
                    : program_->splash()->timer();
            if (property.empty()) return timerState(timer);
            if (property == "Enabled") return trueFalse(timer.enabled());
            break;
        }
        case Target::Kind::TimedOut:
            if (property.empty()) return trueFalse(program_->main()->timedOut());
            break;
        case Target::Kind::Control: {
            if (property == "Enabled") return trueFalse(model->enabled(target.id));
            if (property == "Visible") return trueFalse(model->visible(target.id));
            switch (model->definition(target.id).kind) {
                case ControlKind::CheckBox:
                    return std::to_string(model->value(target.id));
                case ControlKind::Lamp:
                    return colourText(model->colour(target.id));
                default:
                    return quoteText(model->text(target.id));
            }
        }
    }
    fail(line, "unknown property " + quoteText(std::string(property)));
}

}  // namespace relaydeck::replay
