#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>

#include "ReplayRunner.h"
#include "ScenarioArguments.h"
#include "settings/CodePage.h"

namespace relaydeck::replay {

namespace {

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

}  // namespace

std::string formatTime(std::chrono::milliseconds time) {
    const long long ms = time.count();
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%lld.%03lld", ms / 1000, ms % 1000);
    return buffer;
}

void ReplayRunner::print(const std::string& text) {
    out_ << formatTime(clock_.now()) << ' ' << text << '\n';
}

void ReplayRunner::ignored(const std::string& name) {
    print("ignored: " + name);
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
