// A CarrierDetect posted through the Qt event loop, with the main window and the Link
// Simulator shown as the desktop program shows them, to the controller's SetPTT(True).
// Prints median and 99th percentile; run with QT_QPA_PLATFORM=offscreen where no
// display is available.
#include <QApplication>
#include <QElapsedTimer>
#include <QMetaObject>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "KeyingProbe.h"
#include "LatencySamples.h"
#include "ScenarioFolder.h"
#include "controller/Program.h"
#include "link/SimulatedLinkHost.h"
#include "settings/SettingsStore.h"
#include "simulator/SimulatorWindow.h"
#include "ui/ProgramViews.h"
#include "ui/QtOperator.h"
#include "ui/QtTimerService.h"

int main(int argc, char* argv[]) {
    using namespace relaydeck;
    const int overs = argc > 1 ? std::atoi(argv[1]) : 5000;

    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const replay::ScenarioFolder folder;
    const SettingsStore settings(folder.path());
    QtTimerService timers;
    QtOperator op;
    SimulatedStation station([&app](std::function<void()> task) {
        QMetaObject::invokeMethod(&app, std::move(task), Qt::QueuedConnection);
    });
    SimulatedLinkHostFactory links(station);
    bench::KeyingProbe probe(station);

    Program program(links, timers, settings, op);
    ProgramViews views(&op);
    const Connection viewing = program.addObserver(views);
    SimulatorWindow simulator(station, settings);
    simulator.show();
    program.showMain();
    QCoreApplication::processEvents();

    bench::LatencySamples samples(static_cast<std::size_t>(overs));
    for (int i = 0; i < overs; ++i) samples.add(probe.over(app));
    samples.print("event_to_setptt_qt");
    return 0;
}
