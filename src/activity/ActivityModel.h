#pragma once
/// @file
/// @brief The activity window: today's totals, the last hour's timeline, the day's records.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "activity/ActivityJournal.h"
#include "controller/IntervalTimer.h"
#include "controller/OperatorTexts.h"
#include "controller/TypedWindowModel.h"
#include "controller/WindowLayout.h"

namespace relaydeck {

/// @brief The activity window's controls.
enum class ActivityControl : int {
    lblLocalOvers,
    lblInternetOvers,
    lblTransmitterTime,
    lblLongestOver,
    lblTimeOuts,
    lblIdentifications,
    lblStatus,
    Count
};

/// @brief The controls of the activity window as they are created.
std::span<const ControlDefinition> activityControlDefinitions();
/// @brief The activity window's totals and status line.
const WindowLayout& activityLayout();
/// @brief Where the activity window's timeline and its table of records stand.
TwipsRect activityTimelineRect();
TwipsRect activityTableRect();

/// @brief The activity window as a model, over the program's journal.
///
/// While the window is hidden it does nothing at all: no timer runs and new records only
/// mark it stale. While it is shown, each record and a one-second tick refresh the totals
/// and tell the view to redraw the timeline and take the new rows.
class ActivityModel : public TypedWindowModel<ActivityControl> {
  public:
    static constexpr int kWidthTwips = 9600;
    static constexpr int kHeightTwips = 7440;
    /// @brief How far back the timeline reaches.
    static constexpr std::chrono::minutes kTimelineSpan{60};
    static inline const char* const kCaption = designedText(TextId::MenuActivity);

    ActivityModel(ActivityJournal& journal, TimerService& timers);
    ~ActivityModel() override;

    const OperatorTexts* operatorTexts() const override { return texts_; }
    /// @brief The texts the window is shown in from now on (nullptr: as designed).
    void setOperatorTexts(const OperatorTexts* texts) { texts_ = texts; }
    /// @brief Shows the window and brings it up to date.
    void open();
    /// @brief Hides the window (its close box); it stops refreshing.
    void close();

    /// @brief The status line's text when all is well (e.g. where the log file goes).
    void setStatus(std::string text);
    /// @brief Writing the log fails (the status says so), or works again (nullopt).
    void setWriteFailure(const std::optional<std::string>& text);
    /// @brief Why the log cannot be written, while it cannot (for a status page too).
    const std::optional<std::string>& writeFailure() const { return failure_; }

    /// @brief The timeline of the last hour up to now; while the day's records reach back
    /// less than that, from the first of them (at least kShortestSpan).
    Timeline timeline() const;
    static constexpr std::chrono::minutes kShortestSpan{5};
    const ActivityJournal& journal() const { return journal_; }
    ActivityTime now() const { return timers_.wallTime(); }

    /// @brief Told when the timeline and the records have to be redrawn (only while shown).
    Connection setContentListener(std::function<void()> listener) {
        return content_.set(std::move(listener));
    }
    /// @brief True when records came while the window was hidden and nothing was redrawn.
    bool stale() const { return stale_; }

  private:
    void refresh();

    ActivityJournal& journal_;
    TimerService& timers_;
    std::unique_ptr<IntervalTimer> tick_;
    ListenerSlot content_;
    std::string status_;
    std::optional<std::string> failure_;
    bool stale_ = true;
    Connection journalListener_;
    const OperatorTexts* texts_ = nullptr;
};

}  // namespace relaydeck
