#pragma once
/// @file
/// @brief The station's state as the controller last published it, for readers on other
///        threads (the web server), and the board they read it from.

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>

#include "controller/OperatorTexts.h"
#include "records/ActivityRecord.h"

namespace relaydeck {

/// @brief Running totals since the program started, counted from the activity records.
struct StationCounters {
    std::uint64_t localOvers = 0;
    std::uint64_t internetOvers = 0;
    std::chrono::milliseconds transmitterTime{0};
    std::uint64_t timeOuts = 0;
    /// @brief Identifications by kind, in ActivityEvent order from IdPeriodicMorse.
    std::array<std::uint64_t, 5> identifications{};
    std::uint64_t linkFailures = 0;
    std::uint64_t restarts = 0;
    bool carrier = false;
    bool internetAudio = false;
    bool operator==(const StationCounters&) const = default;
};

/// @brief True for a guard's record of starting the controller again, in any language.
bool isGuardRestart(const ActivityRecord& record);

/// @brief Counts the records it is given into StationCounters.
class CountingSink final : public ActivitySink {
  public:
    void record(const ActivityRecord& record) override;
    const StationCounters& counters() const { return counters_; }
    /// @brief Restarts of the program by a guard, when one tells us (0 otherwise).
    void setRestarts(std::uint64_t restarts) { counters_.restarts = restarts; }
    /// @brief Sets the restarts to the guard's restarts among @p today (the day's file as
    /// read back at start): the guard starts the controller as a new process.
    void countRestarts(std::span<const ActivityRecord> today);

  private:
    StationCounters counters_;
};

/// @brief What the station shows now.
struct StateSnapshot {
    /// @brief Grows by one with each published change; 0 before the first.
    std::uint64_t sequence = 0;
    /// @brief The main window is up and the program has not ended.
    bool running = false;
    std::string callsign;
    std::string status;
    /// @brief The four count-downs as the window shows them.
    std::string cwIdCount, speechIdCount, hangTimeCount, timeOutCount;
    bool txLamp = false, rxLamp = false, fanLamp = false, timeOutLamp = false;
    bool timedOut = false;
    bool linkAnswering = true;
    /// @brief How long a call has waited for the link program; 0 while it answers.
    std::chrono::seconds linkNotAnsweringFor{0};
    bool repeaterOff = false;
    std::chrono::seconds uptime{0};
    StationCounters counters;
    /// @brief The language the windows speak, which the pages follow.
    Language language = Language::AsDesigned;

    /// @brief Equal in everything but the sequence.
    bool sameStateAs(const StateSnapshot& other) const;
};

/// @brief The last snapshot, written by the controller's thread, read from any thread. The
/// lock is held only to swap or copy a pointer: a reader formats its copy after letting go.
class SnapshotBoard {
  public:
    SnapshotBoard();
    /// @brief Stores @p snapshot when it differs from the last one (its sequence is set).
    void publish(StateSnapshot snapshot);
    /// @brief The last snapshot, shared and never changed.
    std::shared_ptr<const StateSnapshot> current() const;
    StateSnapshot latest() const { return *current(); }
    /// @brief The language of the last snapshot.
    Language language() const { return current()->language; }

  private:
    mutable std::mutex mutex_;
    std::shared_ptr<const StateSnapshot> latest_;
};

class Program;
class TimerService;

/// @brief Builds the snapshot from the program's main window after each handler.
class StatePublisher {
  public:
    StatePublisher(Program& program, const CountingSink& counters, SnapshotBoard& board,
                   const TimerService& timers);
    /// @brief Publishes the state now (on the controller's thread).
    void publish() noexcept;

  private:
    Program& program_;
    const CountingSink& counters_;
    SnapshotBoard& board_;
    const TimerService& timers_;
    std::string callsign_;
    ActivityTime startedAt_{};
    bool started_ = false;
};

}  // namespace relaydeck
