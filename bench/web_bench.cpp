// The web server beside the controller, on the real clock. One command:
//   QT_QPA_PLATFORM=offscreen web_bench [rounds=8] [overs-per-round=500] [idle-seconds=20]
// Prints, one line each:
//   event_to_setptt_<case>   a CarrierDetect posted through the Qt event loop to the
//                            controller's SetPTT(True), in four cases taken in turn, forwards
//                            and backwards round after round (so that the machine's other load
//                            and the order fall on each alike):
//                            server off, server on and idle, one page polling /api/status every
//                            500 ms, 50 clients polling it every 100 ms
//   api_status_<case>        the clients' request times
//   p99_against_server_off   how much later the controller keys with the server on; and the
//                            median over the rounds of each round's p99 against the server
//                            off in that same round (steadier on a machine that is not quiet)
//   idle_cpu                 the server's threads' processor time with no client, and the
//                            whole program's with the server off and on, taken in turn
// The clients run in this process at normal priority: their load competes with the controller
// as a browser on this machine would.
// The case 50_to_a_stand_in sends the same 50 clients to a plain server of the bench's own,
// with the station's server off: what the clients cost the controller by themselves.
// Loopback only, bounded in count and time.
#include <httplib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "KeyingProbe.h"
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

double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

/// The processor time of this process's threads whose names begin with "rd-web".
double serverCpuSeconds() {
    double ticks = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::string name;
        std::getline(std::ifstream(task.path() / "comm"), name);
        if (name.rfind("rd-web", 0) != 0) continue;
        std::string stat;
        std::getline(std::ifstream(task.path() / "stat"), stat);
        // Fields after the name in parentheses; utime and stime are the 14th and 15th.
        std::istringstream rest(stat.substr(stat.rfind(')') + 2));
        std::string field;
        for (int i = 3; i <= 13; ++i) rest >> field;
        double user = 0, system = 0;
        rest >> user >> system;
        ticks += user + system;
    }
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

std::string loadAverage() {
    std::string line;
    std::getline(std::ifstream("/proc/loadavg"), line);
    return line.substr(0, line.find(' ', line.find(' ', line.find(' ') + 1) + 1));
}

/// Runs the event loop for @p span, sleeping while there is nothing to do.
void runEvents(std::chrono::milliseconds span) {
    QEventLoop loop;
    QTimer::singleShot(span, &loop, &QEventLoop::quit);
    loop.exec();
}

/// Clients polling /api/status from threads of their own until destroyed.
class Pollers {
  public:
    Pollers(int port, int clients, std::chrono::milliseconds every,
            relaydeck::bench::LatencySamples& into)
        : into_(into) {
        for (int c = 0; c < clients; ++c) {
            threads_.emplace_back([this, port, c, clients, every] {
                httplib::Client client("127.0.0.1", port);
                client.set_keep_alive(true);
                std::this_thread::sleep_for(every * c / clients);  // spread over the period
                while (!stop_) {
                    const auto sent = Clock::now();
                    const auto res = client.Get("/api/status");
                    const auto took = Clock::now() - sent;
                    const std::lock_guard lock(mutex_);
                    if (res && res->status == 200) {
                        into_.add(took);
                    } else {
                        ++failed_;
                    }
                    std::this_thread::sleep_for(every);
                }
            });
        }
    }
    ~Pollers() {
        stop_ = true;
        for (auto& t : threads_) t.join();
    }
    int failed() {
        const std::lock_guard lock(mutex_);
        return failed_;
    }

  private:
    relaydeck::bench::LatencySamples& into_;
    std::atomic<bool> stop_ = false;
    std::mutex mutex_;
    int failed_ = 0;
    std::vector<std::thread> threads_;
};

}  // namespace

int main(int argc, char* argv[]) {
    using namespace relaydeck;
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 8;
    const int overs = argc > 2 ? std::atoi(argv[2]) : 500;
    const int idleSeconds = argc > 3 ? std::atoi(argv[3]) : 20;

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
    bench::KeyingProbe probe(station);

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

    web::WebSettings off = remote.settings();
    off.enabled = false;
    web::WebSettings on = off;
    on.enabled = true;
    const auto serve = [&](bool enabled) {
        if (const auto why = remote.apply(enabled ? on : off, {}, false)) {
            std::fprintf(stderr, "web_bench: %s\n", why->c_str());
            std::exit(1);
        }
        const std::string serving = remote.serving();
        return enabled ? std::atoi(serving.substr(serving.rfind(':') + 1).c_str()) : 0;
    };
    std::printf("web_bench: %d rounds of %d overs per case, %d s idle; load average %s\n", rounds,
                overs, idleSeconds, loadAverage().c_str());

    // Idle: the controller's own ticks only; the server's threads should sleep throughout.
    double processOff = 0, processOn = 0, server = 0;
    const auto half = std::chrono::seconds(std::max(1, idleSeconds / 4));
    for (int round = 0; round < 2; ++round) {
        serve(false);
        runEvents(500ms);
        double before = processCpuSeconds();
        runEvents(half);
        processOff += processCpuSeconds() - before;
        serve(true);
        runEvents(500ms);
        before = processCpuSeconds();
        const double serverBefore = serverCpuSeconds();
        runEvents(half);
        processOn += processCpuSeconds() - before;
        server += serverCpuSeconds() - serverBefore;
    }
    const double span = 2.0 * static_cast<double>(half.count());
    std::printf(
        "idle_cpu server_threads %.3f%% of a core; program server_off %.3f%% "
        "server_on %.3f%% over %.0f s each\n",
        server / span * 100, processOff / span * 100, processOn / span * 100, span);
    std::fflush(stdout);

    enum Case { Off, Idle, OnePage, Fifty, FiftyToAStandIn, Cases };
    const char* names[Cases] = {"server_off", "server_idle", "one_page", "50_clients",
                                "50_to_a_stand_in"};
    // A page of the same size from a plain server on a thread of its own.
    httplib::Server standIn;
    standIn.new_task_queue = [] { return new httplib::ThreadPool(64); };  // one per client
    const std::string standInPage = [&] {
        httplib::Client client("127.0.0.1", serve(true));
        const auto res = client.Get("/api/status");
        return res ? res->body : std::string(2000, ' ');
    }();
    standIn.Get("/api/status", [&standInPage](const httplib::Request&, httplib::Response& res) {
        res.set_content(standInPage, "application/json");
    });
    const int standInPort = standIn.bind_to_any_port("127.0.0.1");
    std::thread standInThread([&standIn] { standIn.listen_after_bind(); });
    std::vector<bench::LatencySamples> keying, requests;
    for (int c = 0; c < Cases; ++c) {
        keying.emplace_back(static_cast<std::size_t>(rounds * overs));
        requests.emplace_back(100000);
    }
    // Each case's p99 in each round against the server off in the same round: the machine's
    // own noise falls on both sides of each pair alike.
    std::vector<std::vector<double>> roundRatios(Cases);
    int failed = 0;
    for (int round = 0; round < rounds; ++round) {
        std::vector<bench::LatencySamples> thisRound(Cases, bench::LatencySamples(overs));
        for (int step = 0; step < Cases; ++step) {
            // Forwards and backwards in turn, so that no case always comes first.
            const int c = round % 2 == 0 ? step : Cases - 1 - step;
            const int port = serve(c != Off && c != FiftyToAStandIn);
            std::optional<Pollers> pollers;
            if (c == OnePage) pollers.emplace(port, 1, 500ms, requests[c]);
            if (c == Fifty) pollers.emplace(port, 50, 100ms, requests[c]);
            if (c == FiftyToAStandIn) pollers.emplace(standInPort, 50, 100ms, requests[c]);
            runEvents(300ms);
            for (int i = 0; i < overs; ++i) {
                const auto took = probe.over(app);
                keying[c].add(took);
                thisRound[c].add(took);
            }
            if (pollers) failed += pollers->failed();
        }
        const double offThisRound = thisRound[Off].percentileMicroseconds(0.99);
        for (int c = Idle; c < Cases; ++c) {
            roundRatios[c].push_back(thisRound[c].percentileMicroseconds(0.99) / offThisRound);
        }
    }
    for (int c = 0; c < Cases; ++c) {
        keying[c].print(("event_to_setptt_" + std::string(names[c])).c_str());
    }
    for (int c = OnePage; c < Cases; ++c) {
        requests[c].print(("api_status_" + std::string(names[c])).c_str());
    }
    const double offP99 = keying[Off].percentileMicroseconds(0.99);
    std::printf("p99_against_server_off");
    for (int c = Idle; c < Cases; ++c) {
        std::printf(" %s %+.0f%%", names[c],
                    (keying[c].percentileMicroseconds(0.99) / offP99 - 1) * 100);
    }
    std::printf("\np99_against_server_off_median_of_rounds");
    for (int c = Idle; c < Cases; ++c) {
        std::vector<double>& r = roundRatios[c];
        std::sort(r.begin(), r.end());
        const double median = r.empty() ? 1 : (r[(r.size() - 1) / 2] + r[r.size() / 2]) / 2;
        std::printf(" %s %+.0f%%", names[c], (median - 1) * 100);
    }
    std::printf("\n");
    standIn.stop();
    standInThread.join();
    std::printf("failed_requests %d; load average %s\n", failed, loadAverage().c_str());
    return 0;
}
