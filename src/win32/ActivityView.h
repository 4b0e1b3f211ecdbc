#pragma once
/// @file
/// @brief The activity window on Windows: totals, the last hour's timeline, the records.

#include <chrono>

#include "activity/ActivityModel.h"
#include "win32/Window.h"

namespace relaydeck::win32 {

/// @brief The offset of the machine's local time from UTC at a moment.
std::chrono::seconds win32UtcOffset(ActivityTime time);

/// @brief Shows an ActivityModel; its close box hides the window (the model goes idle).
class ActivityView : public Window {
  public:
    explicit ActivityView(ActivityModel& model);
    ~ActivityView() override;

  protected:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void applyWindow() override;

  private:
    void refreshContent();
    void syncRows();
    void paintTimeline(HDC dc);
    RECT rectOf(const TwipsRect& twips) const;

    ActivityModel& model_;
    HWND list_ = nullptr;
    int shown_ = 0;
    Language shownLanguage_ = Language::AsDesigned;
    ActivityTime firstShown_{};
    Connection contentListener_;
};

}  // namespace relaydeck::win32
