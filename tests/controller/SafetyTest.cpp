// The transmitter is never left keyed by a controller that ends.
#include <gtest/gtest.h>

#include <cstdint>
#include <new>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>

#include "Harness.h"

namespace relaydeck::testing {
namespace {

using enum MainControl;

const std::string kEnd = " Relaydeck cannot go on and will close now.";

TEST(Safety, AFailureAfterTheOverUnkeysBeforeTheReportAndEndsUnkeyed) {
    Harness h;
    h.start();
    h.carrier(kLinkTrue);
    h.wait(1);
    h.carrier(kLinkFalse);
    h.station.failNext("SendCW");
    h.wait(601);
    EXPECT_FALSE(h.station.ptt());
    EXPECT_EQ(h.take(), (Calls{"0.000 SetControlMode(True)", "0.000 SetPTT(True)",
                               "1.750 SetPTT(False)", "1.750 End"}));
    ASSERT_EQ(h.op.boxes.size(), 1u);
    EXPECT_EQ(h.op.boxes[0].prompt, "EchoLink failed: The call SendCW failed." + kEnd);
}

TEST(Safety, TheTransmitterIsUnkeyedWhileTheFailureIsReported) {
    Harness h;
    h.start();
    h.rx(kLinkTrue);
    h.station.failNext("SendCW");
    bool keyedDuringTheReport = true;
    h.op.whileOpen = [&] { keyedDuringTheReport = h.station.ptt(); };
    h.rx(kLinkFalse);
    EXPECT_FALSE(keyedDuringTheReport);
}

/// References that number every creation and operation of the run in one sequence and
/// make the one numbered failAt fail as the link program would: the call is not made.
class NumberedLinks : public LinkHostFactory {
  public:
    explicit NumberedLinks(LinkHostFactory& inner) : inner_(inner) {}
    std::unique_ptr<LinkHost> create() override {
        count("create");
        return std::make_unique<Reference>(*this, inner_.create());
    }

    std::vector<std::string_view> names;  ///< everything asked of the link program so far
    std::size_t failAt = SIZE_MAX;
    std::string_view failed;  ///< what failed, once it has

  private:
    void count(std::string_view name) {
        names.push_back(name);
        if (names.size() - 1 != failAt) return;
        failed = name;
        throw LinkError("The call " + std::string(name) + " failed.");
    }
    class Reference : public LinkHost {
      public:
        Reference(NumberedLinks& links, std::unique_ptr<LinkHost> inner)
            : links_(links), inner_(std::move(inner)) {}
        void setEventSink(LinkEvents* sink) override { inner_->setEventSink(sink); }
        void SetPTT(LinkBool on) override { call("SetPTT")->SetPTT(on); }
        LinkBool GetRX() override { return call("GetRX")->GetRX(); }
        LinkBool GetPTT() override { return call("GetPTT")->GetPTT(); }
        LinkBool GetCarrier() override { return call("GetCarrier")->GetCarrier(); }
        void SendCW(LinkBool f, const std::string& t) override { call("SendCW")->SendCW(f, t); }
        StationInfo GetStation() override { return call("GetStation")->GetStation(); }
        void SetAux(LinkBool on) override { call("SetAux")->SetAux(on); }
        void SendStationText(const std::string& t) override {
            call("SendStationText")->SendStationText(t);
        }
        void SetControlMode(LinkBool on) override { call("SetControlMode")->SetControlMode(on); }
        void Speak(const std::string& t) override { call("Speak")->Speak(t); }
        void PlayPrompt(std::int32_t n) override { call("PlayPrompt")->PlayPrompt(n); }

      private:
        LinkHost* call(std::string_view name) {
            links_.count(name);
            return inner_.get();
        }
        NumberedLinks& links_;
        std::unique_ptr<LinkHost> inner_;
    };
    LinkHostFactory& inner_;
};

using Act = std::function<void(Harness&)>;

/// How the run starts: the startup dialog's buttons or its automatic start, or the main
/// window at once.
struct Start {
    const char* name;
    bool automatic;
    std::optional<SplashControl> button;  ///< clicked at 1 s
};

/// An operator's action at some moment of the traffic; @p ends when it ends the program.
struct Action {
    const char* name;
    Act act;
    bool ends = false;
};

/// One run: the traffic from @p start, @p action (if any) at @p actAt, and the link
/// program's operation number @p failAt failing.
struct Injected {
    const Start& start;
    const Action* action = nullptr;
    double actAt = 0;
    std::size_t failAt = SIZE_MAX;
};

/// What a run left behind, and the numbers of the operations @p action asked for.
struct Outcome {
    std::vector<std::string_view> names;
    std::string_view failed;
    std::size_t actionFrom = 0, actionTo = 0;
    std::string broken;  ///< empty when the run was sound
};

/// Busy traffic with a time-out of 30 s and a hang time of 3 s: a local over, an Internet
/// over in its hang time, a mixed over under the time-out, a mixed over (Internet first)
/// and a local over that both time out and wait for a clear channel, identifications;
/// then quiet, when nothing legitimately keeps the transmitter keyed.
struct Traffic {
    double at;
    enum { Carrier, Internet, Quiet } source;
    LinkBool on;
};
const Traffic kTraffic[] = {
    {4, Traffic::Carrier, kLinkTrue},    {9, Traffic::Carrier, kLinkFalse},
    {11, Traffic::Internet, kLinkTrue},  {17, Traffic::Internet, kLinkFalse},
    {26, Traffic::Carrier, kLinkTrue},   {32, Traffic::Internet, kLinkTrue},
    {38, Traffic::Carrier, kLinkFalse},  {44, Traffic::Carrier, kLinkTrue},
    {50, Traffic::Internet, kLinkFalse}, {53, Traffic::Carrier, kLinkFalse},
    {64, Traffic::Internet, kLinkTrue},  {70, Traffic::Carrier, kLinkTrue},
    {76, Traffic::Internet, kLinkFalse}, {84, Traffic::Internet, kLinkTrue},
    {90, Traffic::Carrier, kLinkFalse},  {100, Traffic::Internet, kLinkFalse},
    {110, Traffic::Carrier, kLinkTrue},  {145, Traffic::Carrier, kLinkFalse},
    {170, Traffic::Quiet, kLinkFalse},
};

class FailureInjection {
  public:
    // Thousands of runs: in memory where the system offers it, the saves' flushes free.
    FailureInjection()
        : folder_((std::filesystem::is_directory("/dev/shm")
                       ? std::filesystem::path("/dev/shm")
                       : std::filesystem::temp_directory_path()) /
                  ("relaydeck-injection-" + std::to_string(std::random_device{}()))) {}
    ~FailureInjection() {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }

    Outcome run(const Injected& r) {
        Harness h(folder_);
        std::ofstream(h.settings.SettingsPath(), std::ios::trunc | std::ios::binary)
            << "[SETTINGS]\r\nTIMEOUT=0.5\r\nHANGTIME=3\r\nCWINTERVAL=1\r\nSPEECHINTERVAL=0.25\r\n"
               "IDONCLOSEDOWN=1\r\nCLOSEDOWNCWID=PY2XYZ\r\nSTARTUP="
            << (r.start.automatic ? "1" : "0") << "\r\n";
        NumberedLinks links(h.factory);
        links.failAt = r.failAt;
        h.links = &links;
        Outcome out;
        if (r.start.automatic || r.start.button) {
            h.splash();
        } else {
            h.start();
        }
        auto until = [&h](double at) {
            h.wait(at - static_cast<double>(h.clock.now().count()) / 1000.0);
        };
        auto act = [&](const Act& a) {
            if (!h.program->ended()) a(h);
        };
        bool acted = r.action == nullptr;
        for (const Traffic& t : kTraffic) {
            if (r.start.button && t.at > 1 && h.program->splash()) {
                until(1);
                act([&](Harness&) { h.program->splash()->click(*r.start.button); });
                h.drain();
            }
            if (!acted && r.actAt < t.at) {
                until(r.actAt);
                out.actionFrom = links.names.size();
                act(r.action->act);
                h.drain();
                out.actionTo = links.names.size();
                acted = true;
            }
            until(t.at);
            if (t.source == Traffic::Carrier) h.carrier(t.on);
            if (t.source == Traffic::Internet) h.rx(t.on);
        }
        out.names = std::move(links.names);
        out.failed = links.failed;

        int reports = 0;
        for (const MessageBoxRequest& box : h.op.boxes)
            reports += box.icon == MessageIcon::Critical;
        const bool operatorEnded =
            (r.action && r.action->ends) || r.start.button == SplashControl::Finish;
        if (h.station.ptt()) out.broken += " left the transmitter keyed;";
        if (!out.failed.empty() && reports != 1)
            out.broken += " made " + std::to_string(reports) + " failure reports;";
        if (!out.failed.empty() && h.program->ended() &&
            h.program->exitStatus() == ExitStatus::Normal)
            out.broken += " ended with the status of a normal exit;";
        if (out.failed.empty() && (reports != 0 || h.program->ended() != operatorEnded))
            out.broken += " ended or reported with nothing failing;";
        h.program.reset();  // before the references' factory goes
        return out;
    }

  private:
    std::filesystem::path folder_;
};

// Every operation of the link program failing wherever the program asks for it, from
// every way of starting and around every operator action at every moment of busy
// traffic: the transmitter always ends up unkeyed and the failure is always reported,
// to the operator and in the exit status.
TEST(Safety, NoFailureAnywhereInAnOverLeavesTheTransmitterKeyed) {
    const Start starts[] = {{"main window", false, std::nullopt},
                            {"Launch", false, SplashControl::Launch},
                            {"automatic start", true, std::nullopt},
                            {"Finish", false, SplashControl::Finish}};
    const Action actions[] = {
        {"close, No",
         [](Harness& h) {
             h.op.answers = {MessageAnswer::No};
             h.main().requestClose();
         }},
        {"close, Yes",
         [](Harness& h) {
             h.op.answers = {MessageAnswer::Yes};
             h.main().requestClose();
         },
         true},
        {"close, Yes after 5 s",
         [](Harness& h) {
             h.op.answers = {MessageAnswer::Yes};
             h.op.whileOpen = [&h] { h.wait(5); };
             h.main().requestClose();
         },
         true},
        {"exit", [](Harness& h) { h.main().click(mnuExit); }, true},
        {"About for 5 s",
         [](Harness& h) {
             h.op.whileAboutOpen = [&h](AboutModel&) { h.wait(5); };
             h.main().click(mnuAbout);
         }},
        {"fan", [](Harness& h) { h.main().click(FanLabel); }},
        {"CW ID", [](Harness& h) { h.main().click(mnuSendCWID); }},
        {"speech ID", [](Harness& h) { h.main().click(mnuSendSpeechID); }},
        {"T.O.", [](Harness& h) { h.main().click(Label14); }},
        {"settings",
         [](Harness& h) {
             MainModel& m = h.main();
             m.click(mnuSettings);
             m.setText(txtHangTime, "2");
             m.setText(txtTimeOut, "0.4");
             m.setText(BreakTime, "0");
             m.clickCheckBox(IDonClosedown);
             m.click(Save);
         }},
    };
    FailureInjection injection;
    std::set<std::string_view> failedOperations;
    int runs = 0, failures = 0, broken = 0;
    auto check = [&](const Injected& r, const Outcome& o) {
        ++runs;
        failures += !o.failed.empty();
        if (!o.failed.empty()) failedOperations.insert(o.failed);
        if (o.broken.empty()) return;
        ++broken;
        std::ostringstream what;
        what << r.start.name;
        if (r.action) what << ", " << r.action->name << " at " << r.actAt << " s";
        if (!o.failed.empty()) what << ", " << o.failed << " failing (#" << r.failAt << ")";
        ADD_FAILURE() << what.str() << ":" << o.broken;
    };

    for (const Start& start : starts) {
        const Outcome dry = injection.run({start});
        check({start}, dry);
        if (start.button == std::nullopt && !start.automatic) {
            // The traffic did what it is there for: both long overs timed out.
            EXPECT_EQ(std::count(dry.names.begin(), dry.names.end(), "SendStationText"), 2);
        }
        for (std::size_t k = 0; k < dry.names.size(); ++k) {
            const Injected r{start, nullptr, 0, k};
            check(r, injection.run(r));
        }
    }
    for (const Action& action : actions) {
        // Every 1.25 s: each quarter of a second of the count-downs' one-second phase.
        for (double at = 0.5; at < 170; at += 1.25) {
            const Injected plain{starts[0], &action, at};
            const Outcome dry = injection.run(plain);
            check(plain, dry);
            // Each operation the action asks for, and the first one after it.
            for (std::size_t k = dry.actionFrom; k <= dry.actionTo && k < dry.names.size(); ++k) {
                const Injected r{starts[0], &action, at, k};
                check(r, injection.run(r));
            }
        }
    }
    // Every operation fails somewhere; the controller never asks GetPTT.
    EXPECT_EQ(std::vector<std::string_view>(failedOperations.begin(), failedOperations.end()),
              (std::vector<std::string_view>{"GetCarrier", "GetRX", "GetStation", "PlayPrompt",
                                             "SendCW", "SendStationText", "SetAux",
                                             "SetControlMode", "SetPTT", "Speak", "create"}));
    RecordProperty("runs", runs);
    RecordProperty("failures", failures);
    RecordProperty("broken", broken);
}

TEST(Safety, AFailedKeyCallIsFollowedByAnUnkeyingTry) {
    Harness h;
    h.start();
    h.take();
    h.station.failNext("SetPTT");
    h.carrier(kLinkTrue);
    EXPECT_EQ(h.take(), (Calls{"0.000 SetPTT(False)", "0.000 End"}));
}

TEST(Safety, AFailingUnkeyingTryIsIgnoredAndTheReportStillShows) {
    Harness h;
    h.start();
    h.carrier(kLinkTrue);
    h.take();
    h.station.failNext("SendCW");
    h.station.failNext("SetPTT");
    h.carrier(kLinkFalse);
    h.wait(1);
    EXPECT_EQ(h.take(), (Calls{"0.750 End"}));
    ASSERT_EQ(h.op.boxes.size(), 1u);
    EXPECT_EQ(h.op.boxes[0].prompt, "EchoLink failed: The call SendCW failed." + kEnd);
}

TEST(Safety, AnExitWhoseUnkeyingFailsTriesOnceMore) {
    Harness h;
    MainModel& m = h.start();
    h.carrier(kLinkTrue);
    h.take();
    h.station.failNext("SetPTT");
    m.click(mnuExit);
    EXPECT_EQ(h.take(), (Calls{"0.000 SetPTT(False)", "0.000 End"}));
    EXPECT_FALSE(h.station.ptt());
}

TEST(Safety, NothingIsUnkeyedThatTheControllerDidNotKey) {
    // Idle, after a closedown, and after a time-out that already unkeyed.
    Harness h;
    h.ini("[SETTINGS]");
    h.ini("TIMEOUT=0.05");
    h.start();
    h.carrier(kLinkTrue);
    h.wait(3);  // timed out: unkeyed, carrier still on
    EXPECT_TRUE(h.main().timedOut());
    EXPECT_FALSE(h.station.ptt());
    h.take();
    h.station.failNext("SendCW");
    h.main().click(mnuSendCWID);  // refused under the carrier: no call
    h.carrier(kLinkFalse);
    h.wait(1);  // the all-clear's SendCW fails
    EXPECT_EQ(h.take(), (Calls{"3.500 PlayPrompt(7)", "3.500 End"}));

    Harness idle;
    idle.start();
    idle.take();
    idle.station.failNext("SetAux");
    idle.main().click(FanLabel);
    EXPECT_EQ(idle.take(), (Calls{"0.000 End"}));
}

TEST(Safety, ClosingEndsWithoutAnyFurtherCall) {
    Harness h;
    h.start();
    h.carrier(kLinkTrue);
    h.take();
    h.station.raiseClosing();
    h.drain();
    h.wait(10);
    EXPECT_EQ(h.take(), (Calls{"0.000 End"}));
}

TEST(Safety, TheCloseQuestionAnsweredYesWhenIdleMakesNoCall) {
    Harness h;
    MainModel& m = h.start();
    h.take();
    h.op.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(m.requestClose());
    EXPECT_EQ(h.take(), (Calls{"0.000 End"}));
}

TEST(Safety, OtherFaultsAreReportedInTheirOwnWordsAndStillUnkey) {
    struct Case {
        std::function<void()> raise;
        std::string prompt;
    };
    const Case cases[] = {
        {[] { throw std::bad_alloc(); }, "Relaydeck failed: Out of memory." + kEnd},
        {[] { throw std::runtime_error("The disk is on fire."); },
         "Relaydeck failed: The disk is on fire." + kEnd},
        {[] { throw LinkError("EchoLink: The server went away."); },
         "EchoLink failed: The server went away." + kEnd},
    };
    for (const Case& c : cases) {
        Harness h;
        bool armed = false;
        h.station.addCallObserver([&](const LinkCall& call) {
            if (armed && call.operation == LinkOperation::SendCW) c.raise();
        });
        h.start();
        h.carrier(kLinkTrue);
        armed = true;
        h.carrier(kLinkFalse);
        h.wait(1);
        ASSERT_EQ(h.op.boxes.size(), 1u) << c.prompt;
        EXPECT_EQ(h.op.boxes[0].title, "Relaydeck");
        EXPECT_EQ(h.op.boxes[0].icon, MessageIcon::Critical);
        EXPECT_EQ(h.op.boxes[0].prompt, c.prompt);
        EXPECT_FALSE(h.station.ptt()) << c.prompt;
        EXPECT_TRUE(h.program->ended());
    }
}

}  // namespace
}  // namespace relaydeck::testing
