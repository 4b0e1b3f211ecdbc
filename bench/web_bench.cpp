// The web server beside the controller, on the real clock. Prints, one line each:
//   event_to_setptt_<clients>   a CarrierDetect posted through the Qt event loop to the
//                               controller's SetPTT(True), with 0, 1 and 50 clients
//                               fetching /api/status every 100 ms (a page polls every 500)
//   api_status_<clients>        the clients' request times
//   idle_cpu                    the program's processor time per second of wall time,
//                               server on and no client, against the server off
// Run with QT_QPA_PLATFORM=offscreen; loopback only, bounded in count and time.
#include <httplib.h>
#include <sys/resource.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QMetaObject>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <thread>

#include "LatencySamples.h"
#include "ScenarioFolder.h"
#include "controller/Program.h"
#include "link/SimulatedLinkHost.h"
#include "settings/SettingsStore.h"
#include "ui/ProgramViews.h"
#include "ui/QtOperator.h"
#include "ui/QtTimerService.h"
#include "web/RemoteStation.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

/// Runs the event loop for @p span, sleeping while there is nothing to do.
void runEvents(std::chrono::milliseconds span) {
    QEventLoop loop;
    QTimer::singleShot(span, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace

int main(int argc, char* argv[]) {
    using namespace relaydeck;
    const int overs = argc > 1 ? std::atoi(argv[1]) : 2000;
    const int idleSeconds = argc > 2 ? std::atoi(argv[2]) : 30;

    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const replay::ScenarioFolder folder;
    std::ofstream(folder.path() / "relaydeck.ini")
        << "[RELAYDECK]\r\nWEB_ENABLED=1\r\nWEB_ADDRESS=127.0.0.1\r\nWEB_PORT=0\r\n";
    const SettingsStore settings(folder.path());
    QtTimerService timers;
    QtOperator op;
    SimulatedStation station([&app](std::function<void()> task) {
        QMetaObject::invokeMethod(&app, std::move(task), Qt::QueuedConnection);
    });
    SimulatedLinkHostFactory links(station);
    std::atomic<bool> keyed = false;
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
    NoActivity nowhere;
    web::RemoteStation remote(
        program, folder.path(), nowhere, timers, [&app](std::function<void()> task) {
            QMetaObject::invokeMethod(&app, std::move(task), Qt::QueuedConnection);
        });
    const Connection recording = program.setActivity(remote.sink());
    program.showMain();
    QCoreApplication::processEvents();

    // Idle: the controller's own ticks only, with the server off and then on.
    web::WebSettings off = remote.settings();
    off.enabled = false;
    remote.apply(off, {}, false);
    runEvents(1s);
    double before = cpuSeconds();
    runEvents(std::chrono::seconds(idleSeconds));
    const double idleOff = (cpuSeconds() - before) / idleSeconds;
    web::WebSettings on = off;
    on.enabled = true;
    if (const auto why = remote.apply(on, {}, false)) {
        std::fprintf(stderr, "web_bench: %s\n", why->c_str());
        return 1;
    }
    const std::string serving = remote.serving();
    const int port = std::atoi(serving.substr(serving.rfind(':') + 1).c_str());
    runEvents(1s);
    before = cpuSeconds();
    runEvents(std::chrono::seconds(idleSeconds));
    const double idleOn = (cpuSeconds() - before) / idleSeconds;
    std::printf("idle_cpu server_off %.3f%% server_on %.3f%% of a core over %d s\n", idleOff * 100,
                idleOn * 100, idleSeconds);

    for (const int clients : {0, 1, 50}) {
        std::atomic<bool> stop = false;
        std::mutex mutex;
        bench::LatencySamples requests(100000);
        std::vector<std::thread> threads;
        for (int c = 0; c < clients; ++c) {
            threads.emplace_back([&, c] {
                httplib::Client client("127.0.0.1", port);
                client.set_keep_alive(true);
                std::this_thread::sleep_for(std::chrono::milliseconds(c * 2));
                while (!stop) {
                    const auto sent = Clock::now();
                    const auto res = client.Get("/api/status");
                    const auto took = Clock::now() - sent;
                    if (res && res->status == 200) {
                        const std::lock_guard lock(mutex);
                        requests.add(took);
                    }
                    std::this_thread::sleep_for(100ms);
                }
            });
        }
        runEvents(500ms);
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
            const auto idleFrom = Clock::now();
            while (Clock::now() - idleFrom < 2ms) {
                QCoreApplication::processEvents(QEventLoop::AllEvents);
            }
        }
        stop = true;
        for (auto& t : threads) t.join();
        const std::string name = "event_to_setptt_" + std::to_string(clients);
        samples.print(name.c_str());
        if (clients > 0) requests.print(("api_status_" + std::to_string(clients)).c_str());
    }
    return 0;
}
