// Relaydeck for Windows: the native program.

#include <windows.h>
// After windows.h, which they build on.
#include <commctrl.h>
#include <objbase.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "activity/StationActivity.h"
#include "controller/ExitStatus.h"
#include "controller/Program.h"
#include "controller/StationControl.h"
#ifdef RELAYDECK_DEMO
#include "link/SimulatedLinkHost.h"
#else
#include "link/ComLinkHost.h"
#endif
#include "controller/OperatorTexts.h"
#include "settings/SettingsLocation.h"
#include "settings/SettingsStore.h"
#include "win32/DialogKeys.h"
#include "win32/ProgramFolder.h"
#include "win32/ProgramWindows.h"
#include "win32/TaskPoster.h"
#include "win32/Text.h"
#include "win32/Win32Operator.h"
#include "win32/Win32TimerService.h"
#ifdef RELAYDECK_WEB
#include "web/RemoteStation.h"
#include "win32/WebSettingsView.h"
#endif

namespace {

using namespace relaydeck;
using namespace relaydeck::win32;

/// Tab and arrow keys move between a window's controls, as in a dialog.
bool isNavigationKey(const MSG& message) {
    if (message.message != WM_KEYDOWN) return false;
    switch (message.wParam) {
        case VK_TAB:
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
            return true;
        default:
            return false;
    }
}

#ifdef RELAYDECK_DEMO
/// The demonstration build (for pictures of the windows, never shipped) runs against the
/// simulated link program; "--panel", "--about" and "--activity" open those once the main
/// window is up, "--exit" leaves.
class DemoActions {
  public:
    DemoActions(Program& program, TaskPoster& poster) : program_(program), poster_(poster) {
        const std::wstring line = GetCommandLineW();
        panel_ = line.find(L"--panel") != std::wstring::npos;
        about_ = line.find(L"--about") != std::wstring::npos;
        exit_ = line.find(L"--exit") != std::wstring::npos;
        activity_ = line.find(L"--activity") != std::wstring::npos;
        if (panel_ || about_ || exit_ || activity_) poster_.postAfter(500, [this] { check(); });
    }

  private:
    /// Waits for the main window to be up, then opens what was asked for.
    void check() {
        MainModel* main = program_.main();
        if (main == nullptr || !main->isVisible()) {
            poster_.postAfter(500, [this] { check(); });
            return;
        }
        poster_.postAfter(1000, [this, main] {
            if (panel_) main->click(MainControl::mnuSettings);
            if (activity_) main->click(MainControl::mnuActivity);
            if (about_) main->click(MainControl::mnuAbout);
            if (exit_) main->click(MainControl::mnuExit);
        });
    }
    Program& program_;
    TaskPoster& poster_;
    bool panel_ = false;
    bool about_ = false;
    bool exit_ = false;
    bool activity_ = false;
};
#endif

/// Relaydeck's own menu on the main window: the web server's settings (when built with
/// it) and the repeater's off switch.
class OwnMenu : public ProgramObserver {
  public:
    /// @p webSettings opens the web server's settings over the given window; empty: none.
    OwnMenu(ProgramWindows& views, StationControl& control, Program& program,
            std::function<void(HWND)> webSettings)
        : views_(views),
          control_(control),
          program_(program),
          webSettings_(std::move(webSettings)) {}
    void mainCreated(MainModel&) override {
        MainView* main = views_.main();
        if (main == nullptr) return;
        std::vector<MainView::OwnEntry> entries;
        if (webSettings_) {
            entries.push_back({[] { return std::string(designedText(TextId::MenuWebServer)); },
                               [this, main] { webSettings_(main->hwnd()); }});
        }
        entries.push_back({[this] {
                               return std::string(designedText(off() ? TextId::MenuRepeaterOn
                                                                     : TextId::MenuRepeaterOff));
                           },
                           [this] {
                               control_.perform(
                                   off() ? StationCommand::RepeaterOn : StationCommand::RepeaterOff,
                                   "the window");
                           }});
        main->addOwnMenu("Relaydeck", std::move(entries));
    }

  private:
    bool off() const { return program_.main() != nullptr && program_.main()->repeaterOff(); }
    ProgramWindows& views_;
    StationControl& control_;
    Program& program_;
    std::function<void(HWND)> webSettings_;
};

/// Whether the command line holds @p option after the program's own path.
bool hasOption(const std::wstring& option) {
    const std::wstring line = GetCommandLineW();
    // The program's path comes first, quoted or not; the options after it.
    std::size_t rest = 0;
    if (!line.empty() && line[0] == L'"') {
        rest = line.find(L'"', 1);
        rest = rest == std::wstring::npos ? line.size() : rest + 1;
    } else {
        rest = line.find(L' ');
        if (rest == std::wstring::npos) rest = line.size();
    }
    return line.find(L" " + option, rest) != std::wstring::npos;
}

/// Hands over to the guard when unattended running is chosen and this start is not the
/// guard's own: the guard then starts the program. False when there is no guard to start.
bool handOverToGuard(const std::filesystem::path& folder, const SettingsStore& settings) {
    const SettingsStore own(settings.SettingsPath().parent_path(), Program::kOwnSection);
    if (own.ReadSetting(Program::kGuardedKey, "0") != "1") return false;
    const std::filesystem::path guard = folder / L"relaydeck-guard.exe";
    std::wstring command = L"\"" + guard.wstring() + L"\" --start-now";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(guard.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

/// A failure box of a guarded program answers itself after this long.
constexpr std::chrono::seconds kGuardedFailureBox{30};

int run() {
    const std::filesystem::path folder = programFolder();
    const SettingsStore settings(settingsFolderFor(folder));
#ifndef RELAYDECK_DEMO
    // Started by the guard ("--guarded"), or handed over to it.
    const bool guarded = hasOption(L"--guarded");
    if (!guarded && handOverToGuard(folder, settings)) return exitCode(ExitStatus::Normal);
#else
    const bool guarded = false;
#endif
    Win32TimerService timers;
    Win32Operator op;
    if (guarded) op.closeFailureBoxesAfter(kGuardedFailureBox);
#ifdef RELAYDECK_DEMO
    TaskPoster poster;
    SimulatedStation station(
        [&poster](std::function<void()> task) { poster.post(std::move(task)); });
    station.setCallsign("PU2RLY");
    SimulatedLinkHostFactory links(station);
#else
    // Calls on a thread of their own: a link program that stops answering never freezes
    // the window.
    ComLinkHostFactory links(LinkCalls::OnTheirOwnThread);
#endif

    // The station's activity: the day's records for the window, one log file a day.
    StationActivity activity(settings.SettingsPath().parent_path(), win32UtcOffset, timers);

    Program program(links, timers, settings, op);
#ifndef RELAYDECK_DEMO
    program.setUnattendedAvailable(true);
#endif
    ProgramWindows views(op);
    const Connection viewing = program.addObserver(views);
    views.setActivity(&activity.window());
#ifdef RELAYDECK_WEB
    // The station from afar: snapshot, commands and the web server (off unless set). The
    // server's threads hand commands to this thread through the task window.
    TaskPoster remoteTasks;
    web::RemoteStation remote(
        program, settings.SettingsPath().parent_path(), activity.sink(), timers,
        [&remoteTasks](std::function<void()> task) { remoteTasks.post(std::move(task)); });
    remote.countRestarts(activity.journal().records());
    const Connection recording = program.setActivity(remote.sink());
    StationControl& control = remote.control();
    OwnMenu ownMenu(views, control, program,
                    [&remote](HWND owner) { showWebSettings(owner, remote); });
    if (const auto why = remote.startFromSettings()) {
        OutputDebugStringW(widen("relaydeck: " + *why + "\n").c_str());
    }
#else
    const Connection recording = program.setActivity(activity.sink());
    // The repeater's off switch, kept in Relaydeck's own section across restarts.
    const SettingsStore options(settings.SettingsPath().parent_path(), "RELAYDECK");
    StationControl control(program, options, activity.sink(), timers);
    const Connection controlling = program.addObserver(control);
    OwnMenu ownMenu(views, control, program, {});
#endif
    const Connection ownMenuViewing = program.addObserver(ownMenu);

    program.startWithSplash();
    if (program.ended() || program.splash() == nullptr) return exitCode(program.exitStatus());
    views.showSplash(*program.splash());
#ifdef RELAYDECK_DEMO
    DemoActions demo(program, poster);
#endif

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (handleDialogKey(message)) continue;
        if (isNavigationKey(message)) {
            const HWND top = GetAncestor(message.hwnd, GA_ROOT);
            if (top != nullptr && IsDialogMessageW(top, &message)) continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return exitCode(program.exitStatus());
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Link events arrive through this thread's message loop.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    int status = 0;
    try {
        status = run();
    } catch (const std::exception& e) {
        // A start that fails before the program's windows can report it.
        Win32Operator op;
        op.showMessage({Program::kFailureTitle,
                        Program::failureText(Program::kProgramFailed, e.what()), MessageButtons::Ok,
                        MessageIcon::Critical});
        status = exitCode(ExitStatus::ProgramFailed);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return status;
}
