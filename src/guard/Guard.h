#pragma once
/// @file
/// @brief The guard of a station left alone: starts the controller, watches it, releases
///        the transmitter and starts it again when it ends abnormally.

#include <chrono>
#include <cstddef>
#include <deque>
#include <optional>
#include <string>

#include "controller/OperatorTexts.h"
#include "records/ActivityRecord.h"

namespace relaydeck {

/// @brief How one run of the controller ended.
enum class ControllerEnd { Normal, LinkProgramClosed, Abnormal };

/// @brief The end that an exit status stands for.
ControllerEnd controllerEndFor(unsigned long exitStatus);

/// @brief "3", or "3221225477 (0xC0000005)" for a status that reads better in hex.
std::string exitStatusText(unsigned long exitStatus);

/// @brief The file name of the program in a registered command line: the quoted path, or
/// the path up to ".exe", or the first word, without its folders
/// (`"C:\A B\x.exe" /a` gives `x.exe`).
std::wstring imageNameOfCommandLine(const std::wstring& commandLine);

/// @brief At most a number of restarts within a sliding hour.
class RestartBudget {
  public:
    static constexpr std::size_t kDefaultPerHour = 5;
    explicit RestartBudget(std::size_t perHour = kDefaultPerHour) : perHour_(perHour) {}
    /// @brief Takes one restart at @p now; false when the hour's restarts are used up.
    bool take(std::chrono::milliseconds now);
    /// @brief Restarts taken within the hour before the last take().
    std::size_t used() const { return taken_.size(); }
    std::size_t perHour() const { return perHour_; }

  private:
    std::size_t perHour_;
    std::deque<std::chrono::milliseconds> taken_;
};

/// @brief What the guard asks of the system. Every wait blocks the calling thread; none
/// spins.
class GuardSystem {
  public:
    virtual ~GuardSystem() = default;
    /// @brief Starts the controller and waits for it to end; its exit status, or nullopt
    /// when it could not be started (@p why then says why).
    virtual std::optional<unsigned long> runController(std::string& why) = 0;
    /// @brief Whether the link program's process runs.
    virtual bool linkProgramRunning() = 0;
    /// @brief Waits until no process of the link program is left.
    virtual void waitForLinkProgramToEnd() = 0;
    /// @brief Waits until the link program runs and is ready to be reached.
    virtual void waitForLinkProgram() = 0;
    /// @brief SetPTT(False) through the link host; throws LinkError when it fails.
    virtual void releaseTransmitter() = 0;
    /// @brief Whether the operator still asks for unattended running.
    virtual bool unattendedWanted() = 0;
    /// @brief A steady clock (never set back).
    virtual std::chrono::milliseconds now() = 0;
    /// @brief Writes one record to the activity log.
    virtual void record(ActivityEvent event, const std::string& detail) = 0;
    /// @brief Tells the operator in a box and waits for it to be answered.
    virtual void tell(const std::string& text) = 0;
    /// @brief The language the guard's records and boxes speak (the windows' language).
    virtual Language language() { return Language::AsDesigned; }
};

/// @brief The guard's loop: runs until the controller ends normally, the operator turns
/// unattended running off, or the restarts of an hour are used up.
class Guard {
  public:
    /// @brief Exit statuses of the guard itself.
    static constexpr int kEnded = 0;
    static constexpr int kGaveUp = 1;

    explicit Guard(GuardSystem& system, RestartBudget budget = RestartBudget())
        : system_(system), budget_(budget) {}

    /// @brief Runs the guard. With @p startAtOnce the first run starts without waiting
    /// for the link program (an operator started it); else the link program comes first.
    int run(bool startAtOnce);

  private:
    /// @brief After an abnormal end: the guard's exit status when it stops, else nullopt.
    std::optional<int> recover(unsigned long exitStatus);
    void note(const std::string& detail);
    std::string text(TextId id, std::initializer_list<std::string_view> values = {});

    GuardSystem& system_;
    RestartBudget budget_;
};

}  // namespace relaydeck
