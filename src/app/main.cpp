// Relaydeck: the desktop program.

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QMetaObject>
#include <QScreen>
#include <filesystem>
#include <memory>
#include <optional>

#include "controller/Program.h"
#include "settings/SettingsStore.h"
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

}  // namespace

int main(int argc, char* argv[]) {
    using namespace relaydeck;

    QApplication app(argc, argv);
    // The program ends only by its own commands, never because a window went away.
    QApplication::setQuitOnLastWindowClosed(false);
    initResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/relaydeck.png")));

    const SettingsStore settings(programFolder());
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

    Program program(links, timers, settings, op);
    ProgramViews views(&op);
    program.addObserver(&views);

    program.startWithSplash();
    if (program.ended() || program.splash() == nullptr) return 0;
    SplashDialog splash(*program.splash());

#ifdef RELAYDECK_SIMULATOR_WINDOW
    SimulatorWindow simulator(station, settings);
    const QRect beside = splash.frameGeometry();
    simulator.move(beside.right() + 16, beside.top());
    simulator.show();
#endif

    return QApplication::exec();
}
