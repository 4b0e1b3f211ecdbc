#include "guard/Guard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "controller/StateSnapshot.h"
#include "link/LinkHost.h"

namespace relaydeck {
namespace {

using namespace std::chrono_literals;

constexpr unsigned long kNormal = 0;
constexpr unsigned long kLinkClosed = 4;
constexpr unsigned long kKilled = 1;  // also a link failure's status
constexpr unsigned long kAccessViolation = 0xC0000005;

/// Plays the controller's ends from a list and writes down what the guard does.
class ScriptedSystem final : public GuardSystem {
  public:
    std::deque<unsigned long> ends;                  // exit statuses, one per run
    std::deque<std::chrono::milliseconds> runTimes;  // how long each run lasts
    bool linkUp = true;
    bool linkEndsWithEachRun = false;
    bool releaseFails = false;
    bool wanted = true;
    std::chrono::milliseconds clock{0};
    std::vector<std::string> steps;

    std::optional<unsigned long> runController(std::string& why) override {
        if (ends.empty()) {
            why = "no more runs";
            return std::nullopt;
        }
        steps.push_back("run");
        if (!runTimes.empty()) {
            clock += runTimes.front();
            runTimes.pop_front();
        }
        const unsigned long end = ends.front();
        ends.pop_front();
        if (linkEndsWithEachRun) linkUp = false;
        return end;
    }
    bool linkProgramRunning() override { return linkUp; }
    void waitForLinkProgramToEnd() override {
        steps.push_back("wait-link-end");
        linkUp = false;
    }
    void waitForLinkProgram() override {
        steps.push_back("wait-link");
        linkUp = true;
    }
    void releaseTransmitter() override {
        steps.push_back("release");
        if (releaseFails) throw LinkError("RPC failed");
    }
    bool unattendedWanted() override { return wanted; }
    std::chrono::milliseconds now() override { return clock; }
    void record(ActivityEvent event, const std::string& detail) override {
        if (event == ActivityEvent::TransmitterOff) steps.push_back("log-released");
        details.push_back(detail);
    }
    void tell(const std::string& text) override { steps.push_back("tell: " + text); }
    Language language() override { return speaks; }
    std::vector<std::string> details;
    Language speaks = Language::AsDesigned;
};

using Steps = std::vector<std::string>;

TEST(Guard, ACrashReleasesTheTransmitterBeforeAnythingElseThenRestarts) {
    ScriptedSystem s;
    s.ends = {kAccessViolation, kKilled, kNormal};
    Guard guard(s);
    EXPECT_EQ(guard.run(true), Guard::kEnded);
    EXPECT_EQ(s.steps,
              (Steps{"run", "release", "log-released", "run", "release", "log-released", "run"}));
    EXPECT_NE(std::find(s.details.begin(), s.details.end(),
                        "Relaydeck ended abnormally (exit status 3221225477 (0xC0000005))"),
              s.details.end());
}

TEST(Guard, SpeaksTheWindowsLanguageAndItsRestartsAreCountedInAny) {
    for (const Language language : {Language::AsDesigned, Language::Portuguese}) {
        ScriptedSystem s;
        s.speaks = language;
        s.ends = {kKilled, kLinkClosed, kNormal};
        Guard guard(s);
        EXPECT_EQ(guard.run(true), Guard::kEnded);
        const auto restarts = std::count_if(s.details.begin(), s.details.end(), [](auto& d) {
            return isGuardRestart({{}, ActivityEvent::Guard, {}, d});
        });
        EXPECT_EQ(restarts, 2);
        if (language == Language::Portuguese) {
            EXPECT_EQ(s.details.front(), "iniciando o Relaydeck");
            EXPECT_EQ(s.details[1], "liberado pela guarda");
        }
    }
    EXPECT_FALSE(isGuardRestart({{}, ActivityEvent::Guard, {}, "starting Relaydeck"}));
}

TEST(Guard, TheLinkProgramClosingIsWaitedOutWithoutReleaseOrRestartCount) {
    ScriptedSystem s;
    s.ends = {kLinkClosed, kLinkClosed, kNormal};
    Guard guard(s, RestartBudget(1));
    EXPECT_EQ(guard.run(true), Guard::kEnded);
    EXPECT_EQ(s.steps, (Steps{"run", "wait-link-end", "wait-link", "run", "wait-link-end",
                              "wait-link", "run"}));
}

TEST(Guard, NeverReachesForALinkProgramThatIsNotRunning) {
    // Reaching it through COM would start it: the guard waits for it instead.
    ScriptedSystem s;
    s.linkUp = false;
    s.linkEndsWithEachRun = true;
    s.ends = {kKilled, kNormal};
    Guard guard(s);
    EXPECT_EQ(guard.run(false), Guard::kEnded);
    EXPECT_EQ(s.steps, (Steps{"wait-link", "run", "wait-link", "run"}));
}

TEST(Guard, AFailedReleaseIsLoggedAndTheRestartStillComes) {
    ScriptedSystem s;
    s.releaseFails = true;
    s.ends = {kKilled, kNormal};
    Guard guard(s);
    EXPECT_EQ(guard.run(true), Guard::kEnded);
    EXPECT_EQ(s.steps, (Steps{"run", "release", "run"}));
    EXPECT_NE(std::find(s.details.begin(), s.details.end(),
                        "the transmitter could not be released: RPC failed"),
              s.details.end());
}

TEST(Guard, StopsAfterFiveRestartsWithinAnHourAndSaysWhy) {
    ScriptedSystem s;
    s.ends = {kKilled, kKilled, kKilled, kKilled, kKilled, kKilled, kNormal};
    s.runTimes = {10min, 10min, 10min, 10min, 10min, 9min};
    Guard guard(s);
    EXPECT_EQ(guard.run(true), Guard::kGaveUp);
    EXPECT_EQ(std::count(s.steps.begin(), s.steps.end(), "run"), 6);
    EXPECT_EQ(s.steps.back(),
              "tell: Relaydeck ended abnormally 6 times within an hour; the guard stops "
              "restarting it.");

    // Spread over more than an hour, the same six ends are restarted.
    ScriptedSystem spread;
    spread.ends = {kKilled, kKilled, kKilled, kKilled, kKilled, kKilled, kNormal};
    spread.runTimes = {10min, 13min, 13min, 13min, 13min, 13min};
    Guard patient(spread);
    EXPECT_EQ(patient.run(true), Guard::kEnded);
}

TEST(Guard, EndsAfterTheReleaseWhenUnattendedRunningWasTurnedOff) {
    ScriptedSystem s;
    s.wanted = false;
    s.ends = {kKilled, kNormal};
    Guard guard(s);
    EXPECT_EQ(guard.run(true), Guard::kEnded);
    EXPECT_EQ(s.steps, (Steps{"run", "release", "log-released"}));
}

TEST(Guard, RegisteredCommandLinesGiveTheProgramsFileName) {
    EXPECT_EQ(
        imageNameOfCommandLine(LR"("C:\Program Files (x86)\EchoLink\EchoLink.exe" /automation)"),
        L"EchoLink.exe");
    EXPECT_EQ(imageNameOfCommandLine(LR"(C:\Program Files\EchoLink\EchoLink.EXE /automation)"),
              L"EchoLink.EXE");
    EXPECT_EQ(imageNameOfCommandLine(L"  link.exe"), L"link.exe");
    EXPECT_EQ(imageNameOfCommandLine(L"server -Embedding"), L"server");
    EXPECT_EQ(imageNameOfCommandLine(L""), L"");
}

}  // namespace
}  // namespace relaydeck
