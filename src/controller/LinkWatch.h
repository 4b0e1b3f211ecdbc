#pragma once
/// @file
/// @brief The main window while the link program does not answer a call.

#include <chrono>
#include <optional>
#include <string>

#include "link/LinkHost.h"
#include "records/ActivityRecord.h"

namespace relaydeck {

class ActivityNotes;
struct MainContext;

/// @brief Watches the calls to the link program: while one waits, the title and the
/// published state say so and for how long; the episode goes to the activity log once it
/// answers again.
class LinkWatch final : public LinkWatcher {
  public:
    LinkWatch(MainContext& context, ActivityNotes& notes) : context_(context), notes_(notes) {}

    /// @brief True while a call waits for the link program.
    bool waiting() const { return since_.has_value(); }
    /// @brief Since when that call has waited; empty while it answers.
    std::optional<ActivityTime> since() const { return since_; }
    /// @brief How long that call has waited, as the title last said; 0 while it answers.
    std::chrono::milliseconds waitedFor() const {
        return since_ ? waitedFor_ : std::chrono::milliseconds{0};
    }

    void linkNotAnswering(std::chrono::milliseconds waited) override;
    void linkAnswering(std::chrono::milliseconds waited) override;

  private:
    MainContext& context_;
    ActivityNotes& notes_;
    std::optional<ActivityTime> since_;
    std::chrono::milliseconds waitedFor_{0};
    std::string captionWhileAnswering_;
};

}  // namespace relaydeck
