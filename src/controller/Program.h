#pragma once
/// @file
/// @brief One run of the program: the startup dialog, the main window and the About
///        window, and how the run ends.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "controller/AboutModel.h"
#include "controller/ActivityRelay.h"
#include "controller/Connection.h"
#include "controller/MainModel.h"
#include "controller/OperatorInterface.h"
#include "controller/ProgramControl.h"
#include "controller/SplashModel.h"
#include "records/ActivityRecord.h"

namespace relaydeck {

/// @brief Told when windows come and go.
class ProgramObserver {
  public:
    virtual ~ProgramObserver() = default;
    /// @brief The main window's model was created (before its start-up runs).
    virtual void mainCreated(MainModel& /*main*/) {}
    /// @brief The program has ended; the models live on until the Program is destroyed.
    virtual void programEnded() {}
    /// @brief The operator asked for the activity window.
    virtual void activityRequested() {}
};

/// @brief The program's windows and its end, on one event thread.
class Program : public ProgramControl {
  public:
    /// @brief The title of the box that reports a failure.
    static inline const char* const kFailureTitle = designedText(TextId::ProgramName);
    /// @brief How a failure report begins: the link host's, or any other fault.
    static inline const std::string_view kLinkFailed = designedText(TextId::LinkFailed);
    static inline const std::string_view kProgramFailed = designedText(TextId::ProgramFailed);

    /// @brief The text of the box that reports a failure: @p failed, @p what and the end.
    static std::string failureText(std::string_view failed, std::string_view what,
                                   Language language = Language::AsDesigned);

    Program(LinkHostFactory& links, TimerService& timers, const SettingsStore& settings,
            OperatorInterface& op);
    ~Program() override;

    /// @brief Starts as a user does: loads the startup dialog.
    void startWithSplash();

    void showMain() override;
    void openAbout() override;
    void openActivity() override;
    void endProgram(ExitStatus status = ExitStatus::Normal) override;
    /// @brief Asks whether to turn unattended running on (or off) and keeps the answer as
    /// GUARDED in the section RELAYDECK of the settings file (when the front end has a
    /// guard: setUnattendedAvailable).
    void chooseUnattended() override;
    bool ended() const override { return ended_ || failing_; }
    /// @brief Why the program ended (Normal while it runs).
    ExitStatus exitStatus() const { return status_; }
    void runHandler(const std::function<void()>& handler) override;
    void reportWriteFailure(const SettingsWriteError& error) override;
    const OperatorTexts& texts() const override { return texts_; }
    void publishState() override {
        if (afterHandler_) afterHandler_();
    }
    /// @brief The texts, for the views that show them anew when the language changes.
    OperatorTexts& texts() { return texts_; }
    void chooseLanguage(Language language) override;

    /// @brief The text of the box that reports a settings file that could not be written.
    static std::string writeFailureText(const SettingsWriteError& error,
                                        Language language = Language::AsDesigned);

    SplashModel* splash() { return splash_.get(); }
    MainModel* main() { return main_.get(); }
    /// @brief The About window while it is open, else nullptr.
    AboutModel* about() { return about_.get(); }

    /// @brief Tells @p observer of windows and the end until the connection ends.
    Connection addObserver(ProgramObserver& observer) { return observers_.add(observer); }
    /// @brief Whether this front end can run under a guard (the menu entry does nothing
    /// otherwise).
    void setUnattendedAvailable(bool available) { unattendedAvailable_ = available; }

    /// @brief The question of the unattended entry while unattended running is off / on.
    static inline const char* const kUnattendedOffQuestion =
        designedText(TextId::UnattendedOffQuestion);
    static inline const char* const kUnattendedOnQuestion =
        designedText(TextId::UnattendedOnQuestion);
    /// @brief The section and key of the choice in the settings file.
    static constexpr const char* kOwnSection = "RELAYDECK";
    static constexpr const char* kGuardedKey = "GUARDED";

    /// @brief Where the program's activity goes from now on (nowhere by default), until
    /// the connection ends.
    Connection setActivity(ActivitySink& activity) { return activity_.connect(activity); }
    /// @brief Runs after each handler (e.g. to publish the station's state).
    void setAfterHandler(std::function<void()> after) { afterHandler_ = std::move(after); }

  private:
    /// @brief Ends the program after a failure, which the log keeps as designed and the
    /// box says in the language in force.
    void reportFailure(std::string_view failed, std::string_view what, ExitStatus status);

    /// @brief The operator's boxes, which first pass on the records a handler holds: what
    /// led to a box is kept while it waits.
    class RecordsFirst final : public OperatorInterface {
      public:
        RecordsFirst(OperatorInterface& op, ActivityRelay& activity) : op_(op), activity_(activity) {}
        MessageAnswer showMessage(const MessageBoxRequest& box) override {
            activity_.deliverHeld();
            return op_.showMessage(box);
        }
        void showAbout(AboutModel& about) override {
            activity_.deliverHeld();
            op_.showAbout(about);
        }

      private:
        OperatorInterface& op_;
        ActivityRelay& activity_;
    };

    TimerService& timers_;
    const SettingsStore& settings_;
    RecordsFirst op_;
    OperatorTexts texts_;
    std::unique_ptr<SplashModel> splash_;
    std::unique_ptr<MainModel> main_;
    std::unique_ptr<AboutModel> about_;
    ObserverList<ProgramObserver> observers_;
    ActivityRelay activity_;
    std::optional<ActivityTime> startedAt_;
    bool ended_ = false;
    bool failing_ = false;
    std::function<void()> afterHandler_;
    bool unattendedAvailable_ = false;
    ExitStatus status_ = ExitStatus::Normal;
    /// @brief The windows' link references come from here: a reference that cannot be
    /// created is told apart from a call that fails.
    class Links : public LinkHostFactory {
      public:
        explicit Links(LinkHostFactory& links) : links_(links) {}
        std::unique_ptr<LinkHost> create() override;

      private:
        LinkHostFactory& links_;
    } windowLinks_;
};

}  // namespace relaydeck
