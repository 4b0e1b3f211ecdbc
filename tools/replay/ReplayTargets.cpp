#include <algorithm>

#include "ReplayRunner.h"
#include "ScenarioArguments.h"

namespace relaydeck::replay {

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

}  // namespace relaydeck::replay
