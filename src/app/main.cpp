// Relaydeck: the desktop program.

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QMetaObject>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <iostream>
#include <optional>

#include "activity/StationActivity.h"
#include "controller/Program.h"
#include "settings/SettingsLocation.h"
#include "settings/SettingsStore.h"
#include "ui/ActivityWindow.h"
#include "ui/Keyboard.h"
#include "ui/ProgramViews.h"
#include "ui/QtOperator.h"
#include "ui/QtTimerService.h"
#include "ui/Resources.h"
#include "ui/ScreenPlacement.h"
#include "ui/SplashDialog.h"
#include "ui/WebMenu.h"
#include "web/RemoteStation.h"

#if defined(Q_OS_WIN) && __has_include("link/ComLinkHost.h")
#include "link/ComLinkHost.h"
#define RELAYDECK_COM_LINK 1
#else
#include "link/SimulatedLinkHost.h"
#if __has_include("simulator/SimulatorWindow.h")
#include "simulator/SimulatorConsole.h"
#include "simulator/SimulatorWindow.h"
#define RELAYDECK_SIMULATOR_WINDOW 1
#endif
#endif

namespace {

std::filesystem::path programFolder() {
#ifdef Q_OS_WIN
    return std::filesystem::path(QCoreApplication::applicationDirPath().toStdWString());
#else
    return std::filesystem::path(QCoreApplication::applicationDirPath().toStdString());
#endif
}

#ifdef RELAYDECK_SIMULATOR_WINDOW
constexpr std::chrono::milliseconds kPlacementDelay{300};
constexpr int kSpacing = 12;

/// Puts the startup dialog and the simulator side by side, the pair centred on the
/// dialog's screen; a simulator with a place of its own from the last run stays there.
void placeFirstView(QWidget& splash, QWidget& simulator, bool simulatorPlaced) {
    const QRect screen = splash.screen()->availableGeometry();
    const relaydeck::SideBySide at = relaydeck::sideBySide(
        splash.frameGeometry().size(), simulator.frameGeometry().size(), screen, kSpacing);
    splash.move(at.first);
    if (!simulatorPlaced) simulator.move(at.second);
}
#endif

/// The program's run, from the first window to its end; returns the exit status.
int run([[maybe_unused]] QApplication& app) {
    using namespace relaydeck;

    // The program ends only by its own commands, never because a window went away.
    QApplication::setQuitOnLastWindowClosed(false);
    initResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/relaydeck.png")));
    // Keys as on Windows: F10 and Alt reach the menu bar, Enter presses the focused button,
    // the focus mark shows on dark backgrounds.
    QApplication::setStyle(new KeyboardStyle(QApplication::style()->name()));
    KeyboardNavigation keyboard;
    app.installEventFilter(&keyboard);

    const SettingsStore settings(settingsFolderFor(programFolder()));
    QtTimerService timers;
    QtOperator op;
#ifdef RELAYDECK_COM_LINK
    ComLinkHostFactory links;
#else
    SimulatedStation station([&app](std::function<void()> task) {
        QMetaObject::invokeMethod(&app, std::move(task), Qt::QueuedConnection);
    });
    SimulatedLinkHostFactory links(station);
#endif

    // The station's activity: the day's records for the window, one log file a day.
    StationActivity activity(settings.SettingsPath().parent_path(), qtUtcOffset, timers);
    Program program(links, timers, settings, op);
    ProgramViews views(&op);
    const Connection viewing = program.addObserver(views);
    const Connection recording = program.setActivity(activity.sink());
    views.setActivity(&activity.window());

    // The station from afar: snapshot, commands and the web server (off unless set).
    web::RemoteStation remote(program, settings.SettingsPath().parent_path(), activity.sink(),
                              timers, [&app](std::function<void()> task) {
                                  QMetaObject::invokeMethod(&app, std::move(task),
                                                            Qt::QueuedConnection);
                              });
    const Connection remoteRecording = program.setActivity(remote.sink());
    WebMenu webMenu(views, remote);
    const Connection webMenuViewing = program.addObserver(webMenu);
    if (const auto why = remote.startFromSettings()) std::cerr << "relaydeck: " << *why << "\n";

#ifdef RELAYDECK_SIMULATOR_WINDOW
    // Before the startup dialog loads, so that it reads the simulator's stored callsign.
    SimulatorWindow simulator(station, settings);
    // The startup dialog is what the operator answers first: it, not the simulator, takes
    // the keyboard.
    simulator.setAttribute(Qt::WA_ShowWithoutActivating);
    simulator.show();
    // Tests drive the simulator from standard input.
    std::unique_ptr<SimulatorConsole> console;
    if (QCoreApplication::arguments().contains(QStringLiteral("--simulator-console"))) {
        console = std::make_unique<SimulatorConsole>(station);
    }
#endif

    program.startWithSplash();
    if (program.ended() || program.splash() == nullptr) return exitCode(program.exitStatus());
    SplashDialog splash(*program.splash());

#ifdef RELAYDECK_SIMULATOR_WINDOW
    // Once the window system has put frames around both, they go side by side.
    QTimer::singleShot(kPlacementDelay, &simulator, [&splash, &simulator] {
        placeFirstView(splash, simulator, simulator.hasStoredPosition());
        splash.raise();
        splash.activateWindow();
    });
#endif

    const int loop = QApplication::exec();
    return program.ended() ? exitCode(program.exitStatus()) : loop;
}

}  // namespace

int main(int argc, char* argv[]) {
    using namespace relaydeck;
    QApplication app(argc, argv);
    try {
        return run(app);
    } catch (const std::exception& e) {
        // A start that fails before the program's windows can report it.
        QtOperator op;
        op.showMessage({Program::kFailureTitle,
                        Program::failureText(Program::kProgramFailed, e.what()), MessageButtons::Ok,
                        MessageIcon::Critical});
        return exitCode(ExitStatus::ProgramFailed);
    }
}
