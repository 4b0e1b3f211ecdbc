// The web server beside the controller, on the real clock. One command:
//   QT_QPA_PLATFORM=offscreen web_bench [rounds=250] [overs-per-block=300] [idle-seconds=20]
// Prints, one line each:
//   idle_cpu                 the server's threads' processor time with no client, and the
//                            whole program's with the server off and on, taken in turn
//   event_to_setptt_<case>   a CarrierDetect posted through the Qt event loop to the
//                            controller's SetPTT(True), in seven cases: the server off (twice,
//                            as two cases: how far they read apart is the bench's resolution),
//                            on and idle, one page polling /api/status every 500 ms and 50
//                            clients polling it every 100 ms, each from afar and here
//   api_status_<case>        the clients' request times
//   p99_against_server_off   each case's p99 over the server off's: pooled over the whole run,
//                            and the median over the rounds of the ratio in each round, each
//                            with a 95 % interval (the rounds drawn again with replacement,
//                            the same rounds for both cases)
// WEB_BENCH_SAMPLES=FILE writes every sample, "case round nanoseconds", one a line.
// Each round takes every case once, a short block of overs each, in a shuffled order, so that
// the machine's own load, which drifts over minutes on a shared virtual machine, falls on
// every case alike; a round is the unit the intervals draw.
// The clients run in this process. From afar they run at idle priority and get a core only
// when nothing else wants it, standing for browsers on other machines, which cost the station
// only the server's work; here they run at normal priority and compete with the controller as
// a browser on the station's own PC would. Loopback only, bounded in count and time.
#include <httplib.h>
#include <sched.h>
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
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "KeyingProbe.h"
#include "LatencySamples.h"
#include "RoundedCases.h"
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
    Pollers(int port, int clients, std::chrono::milliseconds every, bool idlePriority,
            relaydeck::bench::LatencySamples& into)
        : into_(into) {
        for (int c = 0; c < clients; ++c) {
            threads_.emplace_back([this, port, c, clients, every, idlePriority] {
                if (idlePriority) {
                    sched_param param{};
                    sched_setscheduler(0, SCHED_IDLE, &param);  // this thread alone
                }
                httplib::Client client("127.0.0.1", port);
                client.set_keep_alive(true);
                std::this_thread::sleep_for(every * c / clients);  // spread over the period
                while (!stop_) {
                    const auto sent = Clock::now();
                    const auto res = client.Get("/api/status");
                    const auto took = Clock::now() - sent;
                    {
                        const std::lock_guard lock(mutex_);  // never held while asleep
                        if (res && res->status == 200) {
                            into_.add(took);
                        } else {
                            ++failed_;
                        }
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
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 250;
    const int overs = argc > 2 ? std::atoi(argv[2]) : 300;
    const int idleSeconds = argc > 3 ? std::atoi(argv[3]) : 20;

    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const replay::ScenarioFolder folder;
    // The overs follow one another with breaks far shorter than the hang time, so the
    // transmitter stays keyed for the whole run: a time-out of ten hours keeps it repeating.
    std::ofstream(folder.path() / "relaydeck.ini")
        << "[SETTINGS]\r\nTIMEOUT=600\r\n[RELAYDECK]\r\nWEB_ENABLED=1\r\nWEB_ADDRESS=127.0.0."
           "1\r\nWEB_PORT=0\r\n";
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
    std::printf("web_bench: %d rounds of %d overs per case each, %d s idle; load average %s\n",
                rounds, overs, idleSeconds, loadAverage().c_str());

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

    // The server off twice: how far two identical cases read apart is the bench's resolution.
    // The clients "from afar" run at idle priority and stand for browsers on other machines;
    // the clients "here" compete with the controller as a browser on the station's PC would.
    enum Case { Off, OffAgain, Idle, OnePage, OnePageHere, Fifty, FiftyHere, Cases };
    const char* names[Cases] = {"server_off",    "server_off_again", "server_idle",    "one_page",
                                "one_page_here", "50_clients",       "50_clients_here"};
    bench::RoundedCases keying(Cases, rounds);
    std::vector<bench::LatencySamples> requests;
    for (int c = 0; c < Cases; ++c) requests.emplace_back(100000);
    std::mt19937 shuffle(2026);
    std::vector<int> order(Cases);
    for (int c = 0; c < Cases; ++c) order[static_cast<std::size_t>(c)] = c;
    int failed = 0;
    bool serverOn = true;
    int port = serve(true);
    for (int round = 0; round < rounds; ++round) {
        std::shuffle(order.begin(), order.end(), shuffle);
        for (const int c : order) {
            const bool wanted = c != Off && c != OffAgain;
            if (wanted != serverOn) port = serve(serverOn = wanted);
            std::optional<Pollers> pollers;
            const bool here = c == OnePageHere || c == FiftyHere;
            if (c == OnePage || c == OnePageHere) {
                pollers.emplace(port, 1, 500ms, !here, requests[c]);
            }
            if (c == Fifty || c == FiftyHere) pollers.emplace(port, 50, 100ms, !here, requests[c]);
            runEvents(200ms);
            for (int i = 0; i < overs; ++i) keying.add(c, round, probe.over(app));
            if (pollers) failed += pollers->failed();
        }
        if ((round + 1) % 10 == 0) std::fprintf(stderr, "web_bench: round %d\n", round + 1);
    }
    if (const char* path = std::getenv("WEB_BENCH_SAMPLES")) keying.write(path, names);
    for (int c = 0; c < Cases; ++c) {
        std::printf("event_to_setptt_%s p50 %.2f p99 %.2f us n %d; a round's p99, median %.2f us\n",
                    names[c], keying.percentileMicroseconds(c, 0.5),
                    keying.percentileMicroseconds(c, 0.99), rounds * overs,
                    keying.medianOfRoundsMicroseconds(c, 0.99));
    }
    for (int c = OnePage; c < Cases; ++c) {
        requests[c].print(("api_status_" + std::string(names[c])).c_str());
    }
    const auto compare = [&](int c, int base) {
        const auto r = keying.compare(c, base, 0.99);
        const auto show = [](const bench::RoundedCases::Interval& i) {
            std::printf(" %+.1f%% (%+.1f%% to %+.1f%%)", (i.estimate - 1) * 100, (i.low - 1) * 100,
                        (i.high - 1) * 100);
        };
        std::printf("p99_against_%s %-16s pooled", names[base], names[c]);
        show(r.pooled);
        std::printf("; by rounds");
        show(r.byRounds);
        std::printf("\n");
    };
    for (int c = OffAgain; c < Cases; ++c) compare(c, Off);
    std::fflush(stdout);
    std::printf("failed_requests %d; load average %s\n", failed, loadAverage().c_str());
    return 0;
}
