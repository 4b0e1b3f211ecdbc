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
#include <optional>

#include "activity/ActivityCsv.h"
#include "activity/ActivityJournal.h"
#include "controller/ActivityModel.h"
#include "controller/Program.h"
#include "settings/SettingsLocation.h"
#include "settings/SettingsStore.h"
#include "ui/ActivityWindow.h"
#include "ui/ProgramViews.h"
#include "ui/QtOperator.h"
#include "ui/QtTimerService.h"
#include "ui/Resources.h"
#include "ui/SplashDialog.h"

#if defined(Q_OS_WIN) && __has_include("link/ComLinkHost.h")
#include "link/ComLinkHost.h"
#define RELAYDECK_COM_LINK 1
#else
#include "link/SimulatedLinkHost.h"
#if __has_include("ui/SimulatorWindow.h")
#include "ui/SimulatorWindow.h"
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

/// Moves @p window to the right of @p anchor, or to its left, or else to the screen's
/// right edge, keeping it on the screen.
void placeBeside(QWidget& window, const QWidget& anchor) {
    const QRect screen = anchor.screen()->availableGeometry();
    const QRect at = anchor.frameGeometry();
    const int width = window.frameGeometry().width();
    int left = at.right() + 1 + kSpacing;
    if (left + width > screen.right() + 1) left = at.left() - kSpacing - width;
    if (left < screen.left()) left = screen.right() + 1 - width;
    window.move(std::max(left, screen.left()), std::max(at.top(), screen.top()));
}
#endif

}  // namespace

int main(int argc, char* argv[]) {
    using namespace relaydeck;

    QApplication app(argc, argv);
    // The program ends only by its own commands, never because a window went away.
    QApplication::setQuitOnLastWindowClosed(false);
    initResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/relaydeck.png")));

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
    ActivityJournal journal(qtUtcOffset);
    ActivityModel activityWindow(journal, timers);
    const std::filesystem::path logFolder = settings.SettingsPath().parent_path();
    ActivityFile activityFile(logFolder, qtUtcOffset, ActivityFile::kDefaultKeepDays,
                              [&activityWindow](const std::string& failure) {
                                  activityWindow.reportFailure(failure);
                              });
    {
        const std::u8string folder = logFolder.u8string();
        activityWindow.setStatus("Log files in " + std::string(folder.begin(), folder.end()));
    }
    ActivityFanOut activity;
    activity.add(journal);
    activity.add(activityFile);
    Program program(links, timers, settings, op);
    ProgramViews views(&op);
    program.addObserver(&views);
    program.setActivity(activity);
    views.setActivity(&activityWindow);

#ifdef RELAYDECK_SIMULATOR_WINDOW
    // Before the startup dialog loads, so that it reads the simulator's stored callsign.
    SimulatorWindow simulator(station, settings);
    simulator.show();
#endif

    program.startWithSplash();
    if (program.ended() || program.splash() == nullptr) return 0;
    SplashDialog splash(*program.splash());

#ifdef RELAYDECK_SIMULATOR_WINDOW
    // The window system places the startup dialog; the simulator goes beside it once
    // it is there, unless it has a place of its own from the last run.
    QTimer::singleShot(kPlacementDelay, &simulator, [&splash, &simulator] {
        if (!simulator.hasStoredPosition()) placeBeside(simulator, splash);
        splash.raise();
    });
#endif

    return QApplication::exec();
}
