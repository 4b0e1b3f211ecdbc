#pragma once
/// @file
/// @brief The station from afar, wired once for both programs: the published snapshot, the
///        counters, the operator's commands, the web server and its settings.

#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "activity/ActivityJournal.h"
#include "controller/StateSnapshot.h"
#include "controller/StationControl.h"
#include "settings/SettingsStore.h"
#include "web/WebServer.h"

namespace relaydeck::web {

/// @brief Lives on the controller's thread, beside the Program it serves.
class RemoteStation {
  public:
    /// @brief Puts a task on the controller's thread (from any thread); returns at once.
    using Post = std::function<void(std::function<void()>)>;

    /// @brief @p settingsFolder holds relaydeck.ini and the activity files; @p activity is
    /// where the program's records went so far. Hand sink() to the program.
    RemoteStation(Program& program, const std::filesystem::path& settingsFolder,
                  ActivitySink& activity, const TimerService& timers, Post post);
    ~RemoteStation();

    /// @brief The program's activity: the records go on to @p activity and are counted.
    ActivitySink& sink() { return fanOut_; }

    /// @brief Counts the guard's restarts among @p today, the day's records read back at start.
    void countRestarts(std::span<const ActivityRecord> today) { counting_.countRestarts(today); }

    /// @brief Serves with the stored settings when they say so; why it cannot, or nullopt.
    std::optional<std::string> startFromSettings();

    WebSettings settings() const { return loadWebSettings(options_); }
    /// @brief The settings dialog's save: @p newPassword replaces the password unless empty,
    /// @p clearPassword removes it. Refused settings are neither stored nor used; a write
    /// failure throws SettingsWriteError. Returns why the server cannot serve, or nullopt.
    std::optional<std::string> apply(WebSettings settings, const std::string& newPassword,
                                     bool clearPassword);

    /// @brief The window's menu: switches the repeater off or back on.
    void toggleRepeater();
    bool repeaterOff();

    /// @brief "127.0.0.1:8073" while serving, else empty.
    std::string serving() const;
    StationControl& control() { return control_; }
    /// @brief The texts in the language the windows speak.
    const OperatorTexts& texts() const { return program_.texts(); }
    const SnapshotBoard& board() const { return board_; }

  private:
    Program& program_;
    SettingsStore options_;
    ActivityFanOut fanOut_;
    CountingSink counting_;
    SnapshotBoard board_;
    StatePublisher publisher_;
    StationControl control_;
    WebServer server_;
    std::string address_;
    Connection observing_;
};

}  // namespace relaydeck::web
