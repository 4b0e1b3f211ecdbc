#pragma once
/// @file
/// @brief Creates the main window's view when the program creates the window, and
///        closes every window when the program ends.

#include <functional>
#include <memory>

#include "controller/Program.h"
#include "ui/ActivityWindow.h"
#include "ui/MainWindow.h"

namespace relaydeck {

class QtOperator;

/// @brief The program's windows on screen: follows a Program's window events.
class ProgramViews : public ProgramObserver {
  public:
    /// @brief @p op (may be nullptr) gets the main window as the owner of its boxes;
    /// @p leaveEventLoop runs when the program ends (default: QCoreApplication::exit(0),
    /// which also ends the wait of every open box).
    explicit ProgramViews(QtOperator* op = nullptr, std::function<void()> leaveEventLoop = {});
    ~ProgramViews() override;

    void mainCreated(MainModel& main) override;
    /// @brief Opens the activity window (when the program has one).
    void activityRequested() override;
    /// @brief The activity window's model; without one the menu entry opens nothing.
    void setActivity(ActivityModel* activity) { activityModel_ = activity; }
    /// @brief Hides every window and leaves the event loop.
    void programEnded() override;

    MainWindow* mainWindow() const { return main_.get(); }

  private:
    QtOperator* op_;
    std::function<void()> leaveEventLoop_;
    std::unique_ptr<MainWindow> main_;
    ActivityModel* activityModel_ = nullptr;
    std::unique_ptr<ActivityWindow> activity_;
};

}  // namespace relaydeck
