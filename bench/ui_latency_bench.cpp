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
    using Clock = std::chrono::steady_clock;
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
    // Registered before the windows' own observers: the moment SetPTT is called, before
    // the simulator's log shows it.
    bool keyed = false;
    Clock::time_point keyedAt{};
    station.addCallObserver([&](const LinkCall& call) {
        if (call.operation == LinkOperation::SetPTT && call.arguments.size() == 1 &&
            std::get<LinkBool>(call.arguments[0]) == kLinkTrue) {
            keyedAt = Clock::now();
            keyed = true;
        }
    });

    Program program(links, timers, settings, op);
    ProgramViews views(&op);
    const Connection viewing = program.addObserver(views);
    SimulatorWindow simulator(station, settings);
    simulator.show();
    program.showMain();
    QCoreApplication::processEvents();

    // Each over begins a few milliseconds after the last one ended, well inside the break,
    // so the over goes on (SetPTT(True) again) without waiting for a closedown.
    bench::LatencySamples samples(static_cast<std::size_t>(overs));
    for (int i = 0; i < overs; ++i) {
        keyed = false;
        const auto posted = Clock::now();
        QMetaObject::invokeMethod(
            &app, [&station] { station.setCarrier(kLinkTrue); }, Qt::QueuedConnection);
        while (!keyed) QCoreApplication::processEvents(QEventLoop::AllEvents);
        samples.add(keyedAt - posted);
        QMetaObject::invokeMethod(
            &app, [&station] { station.setCarrier(kLinkFalse); }, Qt::QueuedConnection);
        // The next carrier comes to an idle program, as it does on the air: everything
        // this over changed is painted first.
        const auto idleFrom = Clock::now();
        while (Clock::now() - idleFrom < std::chrono::milliseconds(2)) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        }
    }
    samples.print("event_to_setptt_qt");
    return 0;
}
