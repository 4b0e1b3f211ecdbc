#pragma once
/// @file
/// @brief What a window asks of the program as a whole.

#include <functional>

#include "controller/ExitStatus.h"
#include "controller/OperatorTexts.h"

namespace relaydeck {

class SettingsWriteError;

/// @brief The program seen from its windows.
class ProgramControl {
  public:
    virtual ~ProgramControl() = default;
    /// @brief Shows the main window, creating it and running its start-up first if needed.
    virtual void showMain() = 0;
    /// @brief Loads the About window and shows it modally until it is closed.
    virtual void openAbout() = 0;
    /// @brief Shows the activity window (a front end without one ignores it).
    virtual void openActivity() {}
    /// @brief Ends the program at once: every window closes, no further handler runs.
    /// @p status says why (the operator's own exit by default).
    virtual void endProgram(ExitStatus status = ExitStatus::Normal) = 0;
    /// @brief The operator asked to turn unattended running on or off.
    virtual void chooseUnattended() {}
    /// @brief True once the program has ended (or is ending after a failure).
    virtual bool ended() const = 0;
    /// @brief Runs one handler; a link-host failure in it is reported and ends the program.
    virtual void runHandler(const std::function<void()>& handler) = 0;
    /// @brief Tells the operator that the settings file could not be written, and waits
    /// for the box to be answered; the program goes on.
    virtual void reportWriteFailure(const SettingsWriteError& error) = 0;
    /// @brief Publishes the station's state now, in the middle of a handler (a call that
    /// waits for the link program); it is published after every handler anyway.
    virtual void publishState() {}
    /// @brief The operator's texts in the language in force.
    virtual const OperatorTexts& texts() const = 0;
    /// @brief Puts @p language in force in every window and keeps it for the next run.
    virtual void chooseLanguage(Language language) = 0;
};

}  // namespace relaydeck
