// Relaydeck for Windows: the native program.

#include <windows.h>
// After windows.h, which they build on.
#include <commctrl.h>
#include <objbase.h>

#include <filesystem>
#include <memory>
#include <string>

#include "controller/Program.h"
#include "controller/StationActivity.h"
#ifdef RELAYDECK_DEMO
#include "link/SimulatedLinkHost.h"
#include "win32/TaskPoster.h"
#else
#include "link/ComLinkHost.h"
#endif
#include "settings/SettingsLocation.h"
#include "settings/SettingsStore.h"
#include "win32/DialogKeys.h"
#include "win32/ProgramWindows.h"
#include "win32/Win32Operator.h"
#include "win32/Win32TimerService.h"

namespace {

using namespace relaydeck;
using namespace relaydeck::win32;

std::filesystem::path programFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return std::filesystem::path(path).parent_path();
}

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

int run() {
    const SettingsStore settings(settingsFolderFor(programFolder()));
    Win32TimerService timers;
    Win32Operator op;
#ifdef RELAYDECK_DEMO
    TaskPoster poster;
    SimulatedStation station(
        [&poster](std::function<void()> task) { poster.post(std::move(task)); });
    station.setCallsign("PU2RLY");
    SimulatedLinkHostFactory links(station);
#else
    ComLinkHostFactory links;
#endif

    // The station's activity: the day's records for the window, one log file a day.
    StationActivity activity(settings.SettingsPath().parent_path(), win32UtcOffset, timers);

    Program program(links, timers, settings, op);
    ProgramWindows views(op);
    program.addObserver(&views);
    program.setActivity(activity.sink());
    views.setActivity(&activity.window());

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
                        Program::failureText(Program::kProgramFailed, e.what()),
                        MessageButtons::Ok, MessageIcon::Critical});
        status = exitCode(ExitStatus::ProgramFailed);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return status;
}
