#pragma once
/// @file
/// @brief Runs a scenario against the real controller, the simulated link host and a
///        virtual clock, and prints what the controller did.

#include <array>
#include <deque>
#include <filesystem>
#include <functional>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ScenarioLexer.h"
#include "controller/OperatorInterface.h"
#include "controller/Program.h"
#include "controller/VirtualClock.h"
#include "link/SimulatedLinkHost.h"
#include "settings/SettingsStore.h"

namespace relaydeck::replay {

/// @brief Formats virtual time as seconds with three decimals: "30.750".
std::string formatTime(std::chrono::milliseconds time);

/// @brief One scenario run: the event loop, the operator and the printer in one.
///
/// Running (ReplayRunner.cpp), the windows and names a command refers to
/// (ReplayTargets.cpp) and what is printed (ReplayPrinting.cpp) each have a file; the
/// words of a line are read by ScenarioArguments.
///
/// The runner is the program's event loop. Link-host events posted by the simulated
/// station run after every command and every timer tick. A message box or the About
/// window reads the following scenario lines itself, as a nested event loop would,
/// until it is answered or closed.
class ReplayRunner : private OperatorInterface, private ProgramObserver {
  public:
    /// @brief @p folder is the program's folder; the settings file lives there.
    ReplayRunner(std::istream& scenario, std::ostream& out, std::filesystem::path folder);
    ~ReplayRunner() override;
    ReplayRunner(const ReplayRunner&) = delete;
    ReplayRunner& operator=(const ReplayRunner&) = delete;

    /// @brief Also prints the scenario's comments as they are, and each command line but
    /// `show` (whose output names what it shows) as "TIME > LINE" just before it runs, so
    /// that the output reads with its causes. Without this call the output holds only what
    /// the controller did.
    void echoScenario();

    /// @brief Runs the scenario to its end. Throws ScenarioError for a line that is
    /// malformed or not allowed at that point; nothing after it is run.
    void run();

    /// @brief Where every run's activity goes (nowhere by default); set before run().
    void setActivity(ActivitySink& activity) { activity_ = &activity; }
    /// @brief The virtual clock's time of day now.
    ActivityTime wallTime() const { return clock_.wallTime(); }

  private:
    enum class Window { Main, Splash, About };
    static constexpr std::array<std::string_view, 3> kWindowNames = {"Main", "Splash", "About"};

    /// @brief What a name in a command refers to.
    struct Target {
        enum class Kind { Control, MainTimer, TimedOut, SplashTimer };
        Window window = Window::Main;
        Kind kind = Kind::Control;
        int id = 0;
    };

    /// @brief An open message box or About window, innermost last.
    struct Modal {
        enum class Kind { Box, About };
        Kind kind = Kind::Box;
        MessageButtons buttons = MessageButtons::Ok;
        std::optional<MessageAnswer> answer;
    };

    using Command = void (ReplayRunner::*)(const ScenarioLine&);
    struct CommandEntry {
        std::string_view name;
        Command run;
    };
    static const std::vector<CommandEntry>& commands();

    // OperatorInterface
    MessageAnswer showMessage(const MessageBoxRequest& box) override;
    void showAbout(AboutModel& about) override;
    // ProgramObserver
    void programEnded() override;

    void execute(const ScenarioLine& line);
    void runModal(const std::function<bool()>& closed);
    void drainPosted();
    /// @brief Runs the ticks due up to @p end and sets the clock there (if it is earlier).
    void advanceTo(std::chrono::milliseconds end);
    void releaseEndedProgram();
    // printing (ReplayPrinting.cpp)
    void print(const std::string& text);
    void ignored(const std::string& name);

    // setup
    void callsignCommand(const ScenarioLine& line);
    void iniCommand(const ScenarioLine& line);
    void traceCommand(const ScenarioLine& line);
    void failCommand(const ScenarioLine& line);
    void waitCommand(const ScenarioLine& line);
    // program
    void startCommand(const ScenarioLine& line);
    void splashCommand(const ScenarioLine& line);
    void startProgram(const ScenarioLine& line, bool withSplash);
    // link-host events
    void carrierCommand(const ScenarioLine& line);
    void rxCommand(const ScenarioLine& line);
    void closingCommand(const ScenarioLine& line);
    // operator
    void clickCommand(const ScenarioLine& line);
    void checkCommand(const ScenarioLine& line);
    void typeCommand(const ScenarioLine& line);
    void closeCommand(const ScenarioLine& line);
    void answerCommand(const ScenarioLine& line);
    // inspection (ReplayPrinting.cpp)
    void catCommand(const ScenarioLine& line);
    void showCommand(const ScenarioLine& line);

    bool running() const;
    void requireRunning(const ScenarioLine& line) const;
    // windows and names (ReplayTargets.cpp)
    static std::span<const ControlDefinition> definitionsOf(Window window);
    WindowModel* loaded(Window window);
    bool takesInput(Window window);
    Target resolve(const ScenarioLine& line, std::string_view reference);
    bool reachable(const Target& target);
    std::string showWindowProperty(const ScenarioLine& line, Window window,
                                   std::string_view property);
    std::string showTarget(const ScenarioLine& line, const Target& target,
                           std::string_view property);

    std::deque<std::function<void()>> posted_;
    VirtualClock clock_;
    SimulatedStation station_;
    SimulatedLinkHostFactory links_;
    SettingsStore settings_;
    ScenarioReader reader_;
    std::istream& scenario_;
    std::ostream& out_;
    std::vector<Modal*> modals_;
    /// @brief The end of each `wait` under way, innermost last.
    std::vector<std::chrono::milliseconds> waitEnds_;
    bool traceQueries_ = false;
    bool echoedComment_ = false;
    bool echoedAnything_ = false;
    bool programEnded_ = false;
    std::unique_ptr<Program> program_;
    Connection observing_;
    Connection recording_;
    ActivitySink* activity_ = nullptr;
};

}  // namespace relaydeck::replay
