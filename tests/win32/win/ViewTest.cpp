// The Win32 views against the real window system (run under Wine): operator input reaches
// the models, model changes reach the controls without echo, the panel and its keys, the
// menu, the close question, the startup dialog, the About window and the timer service.
// Prints "N passed, M failed"; exits 1 when a check failed.

#include <windows.h>
// After windows.h, which it builds on.
#include <commctrl.h>
#include <objbase.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "activity/ActivityJournal.h"
#include "activity/ActivityModel.h"
#include "controller/Program.h"
#include "controller/VirtualClock.h"
#include "link/SimulatedLinkHost.h"
#include "settings/SettingsStore.h"
#include "win32/AboutView.h"
#include "win32/DialogKeys.h"
#include "win32/ProgramWindows.h"
#include "win32/TaskPoster.h"
#include "win32/Text.h"
#include "win32/Win32Operator.h"
#include "win32/Win32TimerService.h"

using namespace relaydeck;
using namespace relaydeck::win32;
using namespace std::chrono_literals;
using C = MainControl;

namespace {

int checksFailed = 0;
int casesPassed = 0;
int casesFailed = 0;

void check(bool ok, const char* what, const char* file, int line) {
    if (ok) return;
    ++checksFailed;
    std::printf("  FAILED %s:%d: %s\n", file, line, what);
}
#define CHECK(cond) check((cond), #cond, __FILE__, __LINE__)

void runCase(const char* name, const std::function<void()>& body) {
    const int before = checksFailed;
    std::printf("[ RUN  ] %s\n", name);
    body();
    const bool ok = checksFailed == before;
    std::printf("[ %s ] %s\n", ok ? " OK " : "FAIL", name);
    (ok ? casesPassed : casesFailed)++;
    std::fflush(stdout);
}

/// Dispatches whatever the thread has queued.
void pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

std::string textOf(HWND window) {
    wchar_t buffer[1024] = {};
    GetWindowTextW(window, buffer, 1024);
    return narrow(buffer);
}

/// Answers boxes without showing them, and records them; the About window is built and
/// inspected by @ref onAbout, then closed.
class FakeOperator : public Win32Operator {
  public:
    MessageAnswer showMessage(const MessageBoxRequest& box) override {
        boxes.push_back(box);
        return box.buttons == MessageButtons::YesNo ? answer : MessageAnswer::Ok;
    }
    void showAbout(AboutModel& about) override {
        AboutView view(about, nullptr);
        if (onAbout) onAbout(view, about);
        about.close();
    }
    std::vector<MessageBoxRequest> boxes;
    MessageAnswer answer = MessageAnswer::Yes;
    std::function<void(AboutView&, AboutModel&)> onAbout;
};

std::filesystem::path freshFolder() {
    static int count = 0;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    auto folder =
        std::filesystem::path(temp) / ("relaydeck-views-" + std::to_string(GetCurrentProcessId()) +
                                       "-" + std::to_string(++count));
    std::filesystem::create_directories(folder);
    return folder;
}

/// A whole program on a virtual clock and a simulated station, with the Win32 views.
struct Rig {
    explicit Rig(const std::string& settingsText = "") : settings(freshFolder()) {
        if (!settingsText.empty()) {
            FILE* file = _wfopen(settings.SettingsPath().c_str(), L"wb");
            std::fputs(settingsText.c_str(), file);
            std::fclose(file);
        }
        viewing = program.addObserver(windows);
    }
    ~Rig() {
        pump();
        std::error_code ignored;
        std::filesystem::remove_all(settings.SettingsPath().parent_path(), ignored);
    }
    MainView& startMain() {
        program.startWithSplash();
        windows.showSplash(*program.splash());
        program.showMain();
        pump();
        return *windows.main();
    }
    MainModel& model() { return *program.main(); }
    HWND control(C c) { return windows.main()->controls().handle(static_cast<int>(c)); }
    void command(HWND child, WORD code) {
        const auto id = static_cast<WORD>(GetDlgCtrlID(child));
        SendMessageW(windows.main()->hwnd(), WM_COMMAND, MAKEWPARAM(id, code),
                     reinterpret_cast<LPARAM>(child));
        pump();
    }
    void menu(C c) {
        SendMessageW(windows.main()->hwnd(), WM_COMMAND,
                     MAKEWPARAM(ControlHost::commandId(static_cast<int>(c)), 0), 0);
        pump();
    }

    SettingsStore settings;
    TaskPoster poster;
    SimulatedStation station{[this](std::function<void()> task) { poster.post(std::move(task)); }};
    SimulatedLinkHostFactory links{station};
    VirtualClock clock;
    FakeOperator op;
    Program program{links, clock, settings, op};
    ProgramWindows windows{op};
    Connection viewing;
};

bool visible(HWND window) {
    return IsWindowVisible(window) != FALSE;
}

int outerHeight(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return r.bottom - r.top;
}

}  // namespace

int main() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    runCase("EditsReachTheModelAndModelTextsReachTheControls", [] {
        Rig rig;
        rig.startMain();
        const HWND hang = rig.control(C::txtHangTime);
        CHECK(textOf(hang) == "5");
        SetWindowTextW(hang, L"12");  // raises EN_CHANGE as typing does
        pump();
        CHECK(rig.model().text(C::txtHangTime) == "12");
        CHECK(textOf(rig.control(C::txtHangTimeTime)) == "12");
        // A text not taken as typed: what is in force shows beside the field.
        SetWindowTextW(hang, L"abc");
        pump();
        CHECK(textOf(rig.control(C::txtHangTimeTime)) == "12");
        CHECK(textOf(rig.control(C::InForceHangTime)) == "in force: 12");
        CHECK(IsWindowVisible(rig.control(C::InForceHangTime)) == IsWindowVisible(hang));
        SetWindowTextW(hang, L"12");
        pump();
        CHECK(textOf(rig.control(C::InForceHangTime)).empty());
        // The model's own change shows without being sent back as an edit.
        rig.station.setCarrier(kLinkTrue);
        pump();
        CHECK(textOf(rig.control(C::Status)) == "Receiving...");
        CHECK(rig.model().colour(C::LED) == kGreen);
        // UTF-8 texts survive the round trip through the control.
        SetWindowTextW(rig.control(C::txtSpeechID), L"Estação PY2");
        pump();
        CHECK(rig.model().text(C::txtSpeechID) == "Estação PY2");
    });

    runCase("CheckBoxesAskForTheToggledValueAndShowTheModels", [] {
        Rig rig("[SETTINGS]\r\nIPTIMEOUT=2\r\n");
        rig.startMain();
        const HWND box = rig.control(C::IDonClosedown);
        CHECK(SendMessageW(box, BM_GETCHECK, 0, 0) == BST_UNCHECKED);
        rig.command(box, BN_CLICKED);
        CHECK(rig.model().value(C::IDonClosedown) == 1);
        CHECK(SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED);
        rig.command(box, BN_CLICKED);
        CHECK(rig.model().value(C::IDonClosedown) == 0);
        // Value 2 shows as the greyed tick.
        CHECK(SendMessageW(rig.control(C::IPTimeout), BM_GETCHECK, 0, 0) == BST_INDETERMINATE);
    });

    runCase("TickingCtcssDecodeWarnsThenEnablesItsToneField", [] {
        Rig rig;
        rig.startMain();
        CHECK(IsWindowEnabled(rig.control(C::DecodeTone)) == FALSE);
        CHECK(IsWindowEnabled(rig.control(C::Experimental)) == FALSE);
        rig.command(rig.control(C::CTCSSDecode), BN_CLICKED);
        CHECK(rig.op.boxes.size() == 1);
        if (!rig.op.boxes.empty()) {
            CHECK(rig.op.boxes[0].title == "CTCSS Decode is still experimental!");
            CHECK(Win32Operator::flagsFor(rig.op.boxes[0]) == (MB_OK | MB_SETFOREGROUND));
        }
        CHECK(IsWindowEnabled(rig.control(C::DecodeTone)) != FALSE);
        CHECK(IsWindowEnabled(rig.control(C::Experimental)) != FALSE);
    });

    runCase("ThePanelOpensFromTheMenuAndTheSaveButtonHidesIt", [] {
        Rig rig;
        MainView& view = rig.startMain();
        const Scale scale(dpiOf(view.hwnd()));
        CHECK(!visible(rig.control(C::txtHangTime)));
        CHECK(!visible(rig.control(C::Save)));
        CHECK(outerHeight(view.hwnd()) >= scale.px(MainModel::kShortHeightTwips));
        RECT client;
        GetClientRect(view.hwnd(), &client);
        CHECK(client.right == scale.px(MainModel::kClientWidthTwips));

        rig.menu(C::mnuSettings);
        CHECK(visible(rig.control(C::txtHangTime)));
        CHECK(visible(rig.control(C::Save)));
        CHECK(outerHeight(view.hwnd()) >= scale.px(MainModel::kTallHeightTwips));
        SetFocus(rig.control(C::txtHangTime));

        rig.command(rig.control(C::Save), BN_CLICKED);
        CHECK(!visible(rig.control(C::txtHangTime)));
        CHECK(outerHeight(view.hwnd()) < scale.px(MainModel::kTallHeightTwips));
        // Typing no longer reaches the hidden field.
        CHECK(GetFocus() != rig.control(C::txtHangTime));
        CHECK(rig.settings.ReadSetting("HANGTIME", "") == "5");
    });

    runCase("TheMenuBarShowsTheModelsEntries", [] {
        Rig rig;
        MainView& view = rig.startMain();
        const HMENU bar = GetMenu(view.hwnd());
        CHECK(bar != nullptr);
        CHECK(GetMenuItemCount(bar) == 7);
        wchar_t text[64] = {};
        GetMenuStringW(bar, 0, text, 64, MF_BYPOSITION);
        CHECK(narrow(text) == "S&ai");
        GetMenuStringW(bar, 5, text, 64, MF_BYPOSITION);
        CHECK(narrow(text) == "Sobre");
        // Relaydeck's own menu holds every entry from "Atividade" on.
        GetMenuStringW(bar, 6, text, 64, MF_BYPOSITION);
        CHECK(narrow(text) == "Relaydeck");
        const HMENU own = GetSubMenu(bar, 6);
        CHECK(own != nullptr);
        CHECK(GetMenuItemCount(own) ==
              static_cast<int>(C::Count) - static_cast<int>(C::mnuActivity));
        GetMenuStringW(own, 0, text, 64, MF_BYPOSITION);
        CHECK(narrow(text) == "Atividade");
        GetMenuStringW(own, 1, text, 64, MF_BYPOSITION);
        CHECK(narrow(text) == "Sem operador");
        // The language entries: a tick on the one in force, and a choice shows at once.
        const auto ticked = [bar](C entry) {
            return (GetMenuState(bar,
                                 static_cast<UINT>(ControlHost::commandId(static_cast<int>(entry))),
                                 MF_BYCOMMAND) &
                    MF_CHECKED) != 0;
        };
        CHECK(ticked(C::mnuLanguageAsDesigned) && !ticked(C::mnuLanguageEnglish));
        rig.menu(C::mnuLanguageEnglish);
        CHECK(ticked(C::mnuLanguageEnglish) && !ticked(C::mnuLanguageAsDesigned));
        GetMenuStringW(bar, 0, text, 64, MF_BYPOSITION);
        CHECK(narrow(text) == "E&xit");
        CHECK(textOf(rig.control(C::Save)) == "Save settings");
        CHECK(textOf(rig.control(C::txtSpeechID)) == rig.model().text(C::txtSpeechID));
        CHECK(rig.settings.ReadSetting("LANGUAGE", "") == "");  // never in SETTINGS
        rig.menu(C::mnuLanguageAsDesigned);
        CHECK(textOf(rig.control(C::Save)) == "Grava Configuração");
        const UINT enabled = GetMenuState(
            bar, static_cast<UINT>(ControlHost::commandId(static_cast<int>(C::mnuEnabled))),
            MF_BYCOMMAND);
        CHECK((enabled & MF_GRAYED) != 0);
    });

    runCase("EnterPressesTheFocusedButton", [] {
        Rig rig;
        rig.program.startWithSplash();
        rig.windows.showSplash(*rig.program.splash());
        pump();
        const HWND launch =
            rig.windows.splash()->controls().handle(static_cast<int>(SplashControl::Launch));
        SetFocus(launch);
        MSG enter{rig.windows.splash()->hwnd(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
        enter.hwnd = launch;
        CHECK(handleDialogKey(enter));
        pump();
        CHECK(rig.program.main() != nullptr && rig.model().isVisible());
        // Enter elsewhere (a text field) is left to the control.
        SetFocus(rig.control(C::txtHangTime));
        enter.hwnd = rig.control(C::txtHangTime);
        CHECK(!handleDialogKey(enter));
    });

    runCase("TheFanCaptionSwitchesTheAuxOutput", [] {
        Rig rig;
        rig.startMain();
        rig.command(rig.control(C::FanLabel), STN_CLICKED);
        CHECK(rig.station.aux());
        CHECK(rig.model().colour(C::FanLED) == kLightOrange);
        rig.command(rig.control(C::FanLabel), STN_CLICKED);
        CHECK(!rig.station.aux());
    });

    runCase("ClosingTheWindowAsksAndNoKeepsItRunning", [] {
        Rig rig;
        MainView& view = rig.startMain();
        rig.op.answer = MessageAnswer::No;
        SendMessageW(view.hwnd(), WM_CLOSE, 0, 0);
        pump();
        CHECK(rig.op.boxes.size() == 1);
        if (!rig.op.boxes.empty()) {
            CHECK(Win32Operator::flagsFor(rig.op.boxes[0]) ==
                  (MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND));
        }
        CHECK(!rig.program.ended());
        CHECK(visible(view.hwnd()));
        rig.op.answer = MessageAnswer::Yes;
        SendMessageW(view.hwnd(), WM_CLOSE, 0, 0);
        CHECK(rig.program.ended());
        CHECK(!visible(view.hwnd()));
        MSG quit;
        CHECK(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE);
    });

    runCase("MovingTheWindowTellsTheModelInTwips", [] {
        Rig rig;
        MainView& view = rig.startMain();
        const Scale scale(dpiOf(view.hwnd()));
        SetWindowPos(view.hwnd(), nullptr, 100, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        pump();
        CHECK(scale.px(rig.model().leftTwips()) == 100);
        CHECK(scale.px(rig.model().topTwips()) == 80);
    });

    runCase("TheStartupDialogHandsOverToTheMainWindow", [] {
        Rig rig("[SETTINGS]\r\nSTARTUP=1\r\n");
        rig.program.startWithSplash();
        rig.windows.showSplash(*rig.program.splash());
        SplashView& splash = *rig.windows.splash();
        const HWND box = splash.controls().handle(static_cast<int>(SplashControl::Startup));
        CHECK(SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED);
        CHECK(visible(splash.hwnd()));
        CHECK((GetWindowLongW(splash.hwnd(), GWL_STYLE) & WS_CAPTION) == 0);
        CHECK(textOf(splash.controls().handle(static_cast<int>(SplashControl::MyCall))) ==
              "N0CALL");
        const HWND launch = splash.controls().handle(static_cast<int>(SplashControl::Launch));
        SendMessageW(splash.hwnd(), WM_COMMAND,
                     MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(launch)), BN_CLICKED),
                     reinterpret_cast<LPARAM>(launch));
        pump();
        CHECK(!visible(splash.hwnd()));
        CHECK(rig.windows.main() != nullptr && visible(rig.windows.main()->hwnd()));
        // The system's close command does not close the dialog.
        SendMessageW(splash.hwnd(), WM_CLOSE, 0, 0);
        CHECK(IsWindow(splash.hwnd()) != FALSE);
    });

    runCase("TheAboutWindowShowsTheStationAndTheCredits", [] {
        Rig rig;
        rig.startMain();
        int seen = 0;
        rig.op.onAbout = [&seen](AboutView& view, AboutModel& about) {
            ++seen;
            CHECK(textOf(view.hwnd()) == "About Relaydeck");
            CHECK(textOf(view.controls().handle(static_cast<int>(AboutControl::lblTitle))) ==
                  "Relaydeck for N0CALL");
            const std::string description =
                textOf(view.controls().handle(static_cast<int>(AboutControl::lblDescription)));
            CHECK(description.find("\r\nPrograma:") != std::string::npos);
            RECT client;
            GetClientRect(view.hwnd(), &client);
            const Scale scale(dpiOf(view.hwnd()));
            CHECK(client.right == scale.px(AboutModel::kWidthTwips));
            CHECK(client.bottom == scale.px(AboutModel::kHeightTwips));
            // Escape closes it as the close box does.
            SendMessageW(view.hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
            CHECK(about.closed());
        };
        rig.menu(C::mnuAbout);
        CHECK(seen == 1);
        CHECK(rig.program.about() == nullptr);
    });

    runCase("TheActivityEntryOpensAWindowThatFollowsTheRecordsOnlyWhileShown", [] {
        // Declared before the rig: the views go first.
        VirtualClock activityClock;
        ActivityJournal journal;
        ActivityModel activity(journal, activityClock);
        Rig rig;
        rig.windows.setActivity(&activity);
        const Connection recording = rig.program.setActivity(journal);
        rig.startMain();
        rig.station.setCarrier(kLinkTrue);
        pump();
        rig.menu(C::mnuActivity);
        ActivityView* view = rig.windows.activity();
        CHECK(view != nullptr);
        if (view == nullptr) return;
        CHECK(activity.isVisible() && visible(view->hwnd()));
        CHECK(textOf(view->hwnd()) == "Atividade");
        const HWND list = FindWindowExW(view->hwnd(), nullptr, WC_LISTVIEWW, nullptr);
        const auto rows = [list] { return SendMessageW(list, LVM_GETITEMCOUNT, 0, 0); };
        // The table has its column headers.
        const auto header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
        CHECK(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0) == 4);
        const auto label = [view](ActivityControl c) {
            return textOf(view->controls().handle(static_cast<int>(c)));
        };
        CHECK(rows() == 3);  // program-started, local-over-begun, transmitter-on
        CHECK(label(ActivityControl::lblLocalOvers) == "1");
        rig.station.setCarrier(kLinkFalse);
        pump();
        CHECK(rows() == 4);
        // The close box hides it; records that follow cost it nothing until it opens again.
        SendMessageW(view->hwnd(), WM_CLOSE, 0, 0);
        pump();
        CHECK(!activity.isVisible() && !visible(view->hwnd()));
        rig.command(rig.control(C::FanLabel), STN_CLICKED);
        CHECK(rows() == 4);
        CHECK(activity.stale());
        rig.menu(C::mnuActivity);
        CHECK(rows() == 5);
        CHECK(visible(view->hwnd()));
    });

    runCase("TimersFireOnTheMessageLoopAndPeriodZeroNeverFires", [] {
        Win32TimerService service;
        int ticks = 0;
        int zeroTicks = 0;
        std::unique_ptr<IntervalTimer> timer;
        timer = service.createTimer([&] {
            if (++ticks == 3) timer->stop();
        });
        auto zero = service.createTimer([&] { ++zeroTicks; });
        zero->start();  // period 0: armed never
        timer->setInterval(20ms);
        timer->start();
        const auto until = Win32TimerService::now() + std::chrono::nanoseconds(3s);
        while (ticks < 3 && Win32TimerService::now() < until) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            pump();
        }
        CHECK(ticks == 3);
        // Stopped inside its own tick: no further tick, however long the loop runs.
        const auto settle = Win32TimerService::now() + std::chrono::nanoseconds(200ms);
        while (Win32TimerService::now() < settle) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            pump();
        }
        CHECK(ticks == 3);
        CHECK(zeroTicks == 0);
    });

    runCase("AGuardedFailureBoxAnswersItselfAndOnlyAFailureBox", [] {
        Win32Operator op;
        op.closeFailureBoxesAfter(300ms);
        // A safety net for a box that does not answer itself: answered after 3 s here.
        const UINT_PTR net = SetTimer(nullptr, 0, 3000, [](HWND, UINT, UINT_PTR, DWORD) {
            EnumThreadWindows(
                GetCurrentThreadId(),
                [](HWND box, LPARAM) {
                    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
                    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                    return TRUE;
                },
                0);
        });
        const ULONGLONG start = GetTickCount64();
        CHECK(op.showMessage({"Relaydeck", "EchoLink failed: gone.", MessageButtons::Ok,
                              MessageIcon::Critical}) == MessageAnswer::Ok);
        const ULONGLONG took = GetTickCount64() - start;
        CHECK(took >= 250 && took < 2500);
        // A question waits for its answer (here the safety net's No, 3 s on).
        CHECK(op.showMessage({"Exit Program", "Quit?", MessageButtons::YesNo,
                              MessageIcon::Question}) == MessageAnswer::No);
        CHECK(GetTickCount64() - start >= 2500);
        KillTimer(nullptr, net);
    });

    std::printf("%d passed, %d failed\n", casesPassed, casesFailed);
    CoUninitialize();
    return casesFailed == 0 ? 0 : 1;
}
