#pragma once
/// @file
/// @brief Where a program's activity records go: to the sink connected now, if any.

#include <chrono>
#include <optional>
#include <string>

#include "controller/Connection.h"
#include "records/ActivityRecord.h"

namespace relaydeck {

/// @brief Passes records on to the sink connected now (none by default). Whatever the
/// sink throws is dropped: keeping a record is never worth stopping the repeater for.
class ActivityRelay final : public ActivitySink {
  public:
    /// @brief Records go to @p sink until the returned connection ends.
    Connection connect(ActivitySink& sink);

    void record(const ActivityRecord& record) noexcept override;
    /// @brief Records @p event at @p time.
    void note(ActivityTime time, ActivityEvent event, std::string detail = {},
              std::optional<std::chrono::milliseconds> duration = std::nullopt) noexcept;

  private:
    ActivitySink* sink_ = nullptr;
    ConnectionSource connections_;
};

}  // namespace relaydeck
