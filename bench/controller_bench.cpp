// The controller's costs on the virtual clock: an event to SetPTT (core alone), the
// count-down step, one second of the running program, and replays of generated traffic.
#include <benchmark/benchmark.h>

#include <deque>
#include <sstream>

#include "LatencySamples.h"
#include "ReplayRunner.h"
#include "ScenarioFolder.h"
#include "TrafficGenerator.h"
#include "controller/NumberText.h"
#include "controller/OperatorInterface.h"
#include "controller/Program.h"
#include "controller/VirtualClock.h"
#include "link/SimulatedLinkHost.h"
#include "settings/SettingsStore.h"

namespace relaydeck::bench {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

/// @brief Answers every box with OK and closes the About window at once.
class SilentOperator : public OperatorInterface {
  public:
    MessageAnswer showMessage(const MessageBoxRequest&) override { return MessageAnswer::Ok; }
    void showAbout(AboutModel&) override {}
};

/// @brief The program running on a virtual clock against the simulated station, with a
/// run loop that does what the desktop program's event loop does with posted events.
class RunningProgram {
  public:
    RunningProgram()
        : station_([this](std::function<void()> task) { posted_.push_back(std::move(task)); }),
          links_(station_),
          settings_(folder_.path()),
          program_(links_, clock_, settings_, op_) {
        program_.showMain();
        drain();
    }
    void drain() {
        while (!posted_.empty()) {
            auto task = std::move(posted_.front());
            posted_.pop_front();
            task();
        }
    }
    void advance(std::chrono::milliseconds by) {
        clock_.advance(by, [this] { drain(); });
    }
    SimulatedStation& station() { return station_; }

  private:
    std::deque<std::function<void()>> posted_;
    VirtualClock clock_;
    SimulatedStation station_;
    SimulatedLinkHostFactory links_;
    replay::ScenarioFolder folder_;
    SettingsStore settings_;
    SilentOperator op_;
    Program program_;
};

/// @brief From the station raising CarrierDetect to the controller's SetPTT(True), as
/// median and 99th percentile; each over is closed down before the next one.
void BM_CarrierToSetPTT(benchmark::State& state) {
    RunningProgram running;
    Clock::time_point keyed{};
    running.station().addCallObserver([&](const LinkCall& call) {
        if (call.operation == LinkOperation::SetPTT) keyed = Clock::now();
    });
    LatencySamples samples(100'000);
    for (auto _ : state) {
        const auto raised = Clock::now();
        running.station().setCarrier(kLinkTrue);
        running.drain();
        const auto latency = keyed - raised;
        state.SetIterationTime(std::chrono::duration<double>(latency).count());
        samples.add(latency);
        running.station().setCarrier(kLinkFalse);
        running.advance(10s);  // break, courtesy, hang time and closedown
    }
    state.counters["p50_us"] = samples.percentileMicroseconds(0.5);
    state.counters["p99_us"] = samples.percentileMicroseconds(0.99);
}
BENCHMARK(BM_CarrierToSetPTT)->UseManualTime()->Unit(benchmark::kMicrosecond);

/// @brief The text work of one count-down step: read the display, subtract one, write it.
void BM_CountDownStep(benchmark::State& state) {
    std::string display = "900";
    for (auto _ : state) {
        const double after = *parseNumber(display) - 1;
        display = after <= 0 ? std::string("900") : numberToText(after);
        benchmark::DoNotOptimize(display);
    }
}
BENCHMARK(BM_CountDownStep);

/// @brief One idle second of the running program: every count-down and timer that runs.
void BM_IdleSecond(benchmark::State& state) {
    RunningProgram running;
    for (auto _ : state) running.advance(1s);
}
BENCHMARK(BM_IdleSecond);

/// @brief Replays generated traffic; "realtime_x" is virtual seconds per real second.
void replayTraffic(benchmark::State& state, std::chrono::hours length) {
    replay::TrafficOptions options;
    options.duration = length;
    std::ostringstream text;
    replay::writeScenario(replay::generateTraffic(options), text);
    const std::string scenario = text.str();
    for (auto _ : state) {
        std::istringstream in(scenario);
        std::ostringstream out;
        const replay::ScenarioFolder folder;
        replay::ReplayRunner runner(in, out, folder.path());
        runner.run();
        benchmark::DoNotOptimize(out.tellp());
    }
    const auto seconds = std::chrono::duration<double>(length).count();
    state.counters["realtime_x"] = benchmark::Counter(
        seconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
void BM_ReplayBusyDay(benchmark::State& state) {
    replayTraffic(state, 24h);
}
void BM_ReplayMonth(benchmark::State& state) {
    replayTraffic(state, 30 * 24h);
}
BENCHMARK(BM_ReplayBusyDay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplayMonth)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace relaydeck::bench

BENCHMARK_MAIN();
