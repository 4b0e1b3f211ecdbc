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

int Guard::run(bool startAtOnce) {
    if (!startAtOnce && !system_.linkProgramRunning()) {
        note("waiting for EchoLink to run before starting Relaydeck");
        system_.waitForLinkProgram();
    }
    note("starting Relaydeck");
    for (;;) {
        std::string why;
        const std::optional<unsigned long> status = system_.runController(why);
        if (!status) {
            const std::string text = "The guard could not start Relaydeck: " + why;
            note(text);
            system_.tell(text);
            return kGaveUp;
        }
        switch (controllerEndFor(*status)) {
            case ControllerEnd::Normal:
                note("Relaydeck ended normally; the guard ends too");
                return kEnded;
            case ControllerEnd::LinkProgramClosed:
                note("EchoLink closed: waiting for it to run again");
                system_.waitForLinkProgramToEnd();
                system_.waitForLinkProgram();
                note(std::string(kGuardStartingAgain));
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
            system_.record(ActivityEvent::TransmitterOff, "released by the guard");
        } catch (const LinkError& e) {
            note(std::string("the transmitter could not be released: ") + e.what());
        }
    }
    note("Relaydeck ended abnormally (exit status " + exitStatusText(exitStatus) + ")");
    if (!system_.unattendedWanted()) {
        note("unattended running is off; the guard ends");
        return kEnded;
    }
    if (!budget_.take(system_.now())) {
        const std::string text = "Relaydeck ended abnormally " +
                                 std::to_string(budget_.perHour() + 1) +
                                 " times within an hour; the guard stops restarting it.";
        note(text);
        system_.tell(text);
        return kGaveUp;
    }
    if (!linkUp) {
        note("EchoLink is not running: waiting for it before starting Relaydeck");
        system_.waitForLinkProgram();
    }
    note(std::string(kGuardRestarting) + std::to_string(budget_.used()) + " of " +
         std::to_string(budget_.perHour()) + " restarts within the hour)");
    return std::nullopt;
}

}  // namespace relaydeck
