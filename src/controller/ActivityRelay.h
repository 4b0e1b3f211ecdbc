#pragma once
/// @file
/// @brief Where a program's activity records go: to the sink connected now, if any.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "controller/Connection.h"
#include "records/ActivityRecord.h"

namespace relaydeck {

/// @brief Passes records on to the sink connected now (none by default). Whatever the
/// sink throws is dropped: keeping a record is never worth stopping the repeater for.
///
/// While held, records wait and are passed on, in order and with their own times, at
/// deliverHeld(): a handler's link calls never wait for its records to be kept.
class ActivityRelay final : public ActivitySink {
  public:
    /// @brief Records go to @p sink until the returned connection ends.
    Connection connect(ActivitySink& sink);

    void record(const ActivityRecord& record) noexcept override;
    /// @brief Records @p event at @p time.
    void note(ActivityTime time, ActivityEvent event, std::string detail = {},
              std::optional<std::chrono::milliseconds> duration = std::nullopt) noexcept;

    /// @brief Records wait from now until deliverHeld().
    void hold() { holding_ = true; }
    /// @brief Passes on what waited; records from now on go at once.
    void deliverHeld() noexcept;

  private:
    void pass(const ActivityRecord& record) noexcept;

    ActivitySink* sink_ = nullptr;
    bool holding_ = false;
    std::vector<ActivityRecord> held_;
    ConnectionSource connections_;
};

}  // namespace relaydeck
