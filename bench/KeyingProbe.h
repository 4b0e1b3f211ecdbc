#pragma once
/// @file
/// @brief Carrier to SetPTT(True) through a Qt event loop, one over at a time.

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "link/SimulatedLinkHost.h"

namespace relaydeck::bench {

/// @brief Times overs on a simulated station: the carrier is posted to the event loop, the
/// loop runs until the controller keys, the carrier drops and the loop idles 2 ms, so that
/// the next carrier comes to an idle program, as it does on the air (everything the over
/// changed is painted first). Each over begins well inside the break, so it goes on with
/// SetPTT(True) again without waiting for a closedown. The transmitter thus stays keyed for as
/// long as the overs go on: a bench that runs them for minutes sets a long time-out. A carrier
/// that does not key within 5 s ends the bench.
///
/// Made before the windows' own observers: the moment SetPTT is called is taken before the
/// simulator's log shows it.
class KeyingProbe {
  public:
    using Clock = std::chrono::steady_clock;

    explicit KeyingProbe(SimulatedStation& station) : station_(station) {
        station.addCallObserver([this](const LinkCall& call) {
            if (call.operation == LinkOperation::SetPTT && call.arguments.size() == 1 &&
                std::get<LinkBool>(call.arguments[0]) == kLinkTrue) {
                keyedAt_ = Clock::now();
                keyed_ = true;
            }
        });
    }

    /// @brief One over; how long from posting the carrier to the key.
    Clock::duration over(QObject& loop) {
        keyed_ = false;
        const auto posted = Clock::now();
        QMetaObject::invokeMethod(
            &loop, [this] { station_.setCarrier(kLinkTrue); }, Qt::QueuedConnection);
        while (!keyed_) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            if (Clock::now() - posted > std::chrono::seconds(5)) {
                std::fprintf(stderr, "bench: the controller did not key within 5 s\n");
                std::exit(2);
            }
        }
        const auto took = keyedAt_ - posted;
        QMetaObject::invokeMethod(
            &loop, [this] { station_.setCarrier(kLinkFalse); }, Qt::QueuedConnection);
        const auto idleFrom = Clock::now();
        while (Clock::now() - idleFrom < std::chrono::milliseconds(2)) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        }
        return took;
    }

  private:
    SimulatedStation& station_;
    std::atomic<bool> keyed_ = false;
    Clock::time_point keyedAt_{};
};

}  // namespace relaydeck::bench
