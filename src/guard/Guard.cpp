#include "guard/Guard.h"

#include <cstdio>
#include <cwctype>

#include "controller/ExitStatus.h"
#include "link/LinkHost.h"

namespace relaydeck {

using namespace std::chrono_literals;

ControllerEnd controllerEndFor(unsigned long exitStatus) {
    const auto is = [exitStatus](ExitStatus status) {
        return exitStatus == static_cast<unsigned long>(exitCode(status));
    };
    if (is(ExitStatus::Normal)) return ControllerEnd::Normal;
    if (is(ExitStatus::LinkClosed)) {
        return ControllerEnd::LinkProgramClosed;
    }
    return ControllerEnd::Abnormal;
}

std::string exitStatusText(unsigned long exitStatus) {
    std::string text = std::to_string(exitStatus);
    if (exitStatus > 0xFFFF) {
        char hex[24];
        std::snprintf(hex, sizeof hex, "0x%08lX", exitStatus);
        text += " (" + std::string(hex) + ")";
    }
    return text;
}

std::wstring imageNameOfCommandLine(const std::wstring& commandLine) {
    std::size_t start = 0;
    while (start < commandLine.size() && std::iswspace(commandLine[start])) ++start;
    std::wstring path;
    if (start < commandLine.size() && commandLine[start] == L'"') {
        const std::size_t close = commandLine.find(L'"', start + 1);
        path = commandLine.substr(
            start + 1, close == std::wstring::npos ? std::wstring::npos : close - start - 1);
    } else {
        // Unquoted: up to ".exe" when it is there (a path with spaces), else the first word.
        std::wstring lower = commandLine.substr(start);
        for (wchar_t& c : lower) c = static_cast<wchar_t>(std::towlower(c));
        const std::size_t exe = lower.find(L".exe");
        if (exe != std::wstring::npos) {
            path = commandLine.substr(start, exe + 4);
        } else {
            const std::size_t space = commandLine.find_first_of(L" \t", start);
            path = commandLine.substr(
                start, space == std::wstring::npos ? std::wstring::npos : space - start);
        }
    }
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

bool RestartBudget::take(std::chrono::milliseconds now) {
    while (!taken_.empty() && now - taken_.front() >= 1h) taken_.pop_front();
    if (taken_.size() >= perHour_) return false;
    taken_.push_back(now);
    return true;
}

void Guard::note(const std::string& detail) {
    system_.record(ActivityEvent::Guard, detail);
}

std::string Guard::text(TextId id, std::initializer_list<std::string_view> values) {
    return operatorText(id, system_.language(), values);
}

int Guard::run(bool startAtOnce) {
    if (!startAtOnce && !system_.linkProgramRunning()) {
        note(text(TextId::GuardWaitingFirst));
        system_.waitForLinkProgram();
    }
    note(text(TextId::GuardStarting));
    for (;;) {
        std::string why;
        const std::optional<unsigned long> status = system_.runController(why);
        if (!status) {
            const std::string said = text(TextId::GuardCannotStart, {why});
            note(said);
            system_.tell(said);
            return kGaveUp;
        }
        switch (controllerEndFor(*status)) {
            case ControllerEnd::Normal:
                note(text(TextId::GuardEndedNormally));
                return kEnded;
            case ControllerEnd::LinkProgramClosed:
                note(text(TextId::GuardLinkClosed));
                system_.waitForLinkProgramToEnd();
                system_.waitForLinkProgram();
                note(text(TextId::GuardStartingAgain));
                break;
            case ControllerEnd::Abnormal:
                if (const std::optional<int> end = recover(*status)) return *end;
                break;
        }
    }
}

std::optional<int> Guard::recover(unsigned long exitStatus) {
    // The transmitter first: nothing else is worth a moment while it may be keyed.
    const bool linkUp = system_.linkProgramRunning();
    if (linkUp) {
        try {
            system_.releaseTransmitter();
            system_.record(ActivityEvent::TransmitterOff, text(TextId::GuardReleased));
        } catch (const LinkError& e) {
            note(text(TextId::GuardNotReleased, {e.what()}));
        }
    }
    note(text(TextId::GuardEndedAbnormally, {exitStatusText(exitStatus)}));
    if (!system_.unattendedWanted()) {
        note(text(TextId::GuardUnattendedOff));
        return kEnded;
    }
    if (!budget_.take(system_.now())) {
        const std::string said =
            text(TextId::GuardGivesUp, {std::to_string(budget_.perHour() + 1)});
        note(said);
        system_.tell(said);
        return kGaveUp;
    }
    if (!linkUp) {
        note(text(TextId::GuardLinkNotRunning));
        system_.waitForLinkProgram();
    }
    note(text(TextId::GuardRestarting,
              {std::to_string(budget_.used()), std::to_string(budget_.perHour())}));
    return std::nullopt;
}

}  // namespace relaydeck
