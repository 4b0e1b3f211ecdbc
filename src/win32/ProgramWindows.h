#pragma once
/// @file
/// @brief The program's windows on screen: follows a Program's window events.

#include <memory>

#include "controller/Program.h"
#include "win32/ActivityView.h"
#include "win32/MainView.h"
#include "win32/SplashView.h"
#include "win32/Win32Operator.h"

namespace relaydeck::win32 {

/// @brief Creates the main window's view when the program creates the window, shows the
/// startup dialog, and takes every window out of sight when the program ends.
class ProgramWindows : public ProgramObserver {
  public:
    /// @brief @p op gets the main window as the owner of its boxes.
    explicit ProgramWindows(Win32Operator& op) : op_(op) {}

    void mainCreated(MainModel& main) override;
    /// @brief Hides every window and asks the message loop to end; the windows are
    /// destroyed with this object, once the loop has ended.
    void programEnded() override;

    void showSplash(SplashModel& splash);
    /// @brief Opens the activity window (when the program has one).
    void activityRequested() override;
    /// @brief The activity window's model; without one the menu entry opens nothing.
    void setActivity(ActivityModel* activity) { activityModel_ = activity; }

    MainView* main() const { return main_.get(); }
    SplashView* splash() const { return splash_.get(); }
    ActivityView* activity() const { return activity_.get(); }

  private:
    Win32Operator& op_;
    std::unique_ptr<MainView> main_;
    std::unique_ptr<SplashView> splash_;
    ActivityModel* activityModel_ = nullptr;
    std::unique_ptr<ActivityView> activity_;
};

}  // namespace relaydeck::win32
