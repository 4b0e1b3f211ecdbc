// The transmitter is never left keyed by a controller that ends.
#include <gtest/gtest.h>

#include <new>
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

// Every failing operation at every moment of a local and an Internet over, in hang time
// and around a time-out: the program always ends up with the transmitter unkeyed.
TEST(Safety, NoFailureAnywhereInAnOverLeavesTheTransmitterKeyed) {
    const char* operations[] = {"SetPTT",          "GetRX",      "GetCarrier", "SendCW",
                                "SendStationText", "PlayPrompt", "Speak",      "GetStation"};
    struct Step {
        double at;
        void (*act)(Harness&);
    };
    const Step script[] = {
        {0, [](Harness& h) { h.carrier(kLinkTrue); }},  // times out at 30 s, carrier held
        {35, [](Harness& h) { h.carrier(kLinkFalse); }},
        {40, [](Harness& h) { h.rx(kLinkTrue); }},
        {50, [](Harness& h) { h.rx(kLinkFalse); }},
        {60, [](Harness& h) { h.carrier(kLinkTrue); }},
        {62, [](Harness& h) { h.carrier(kLinkFalse); }},
        {90, [](Harness&) {}},
    };
    for (const char* operation : operations) {
        for (int quarter = 0; quarter < 4 * 70; quarter += 3) {
            const double armAt = quarter / 4.0;
            Harness h;
            h.ini("[SETTINGS]");
            h.ini("TIMEOUT=0.5");
            h.ini("SPEECHINTERVAL=0.2");
            h.start();
            bool armed = false;
            for (const Step& step : script) {
                if (!armed && armAt < step.at) {
                    h.wait(armAt - static_cast<double>(h.clock.now().count()) / 1000.0);
                    h.station.failNext(operation);
                    armed = true;
                }
                h.wait(step.at - static_cast<double>(h.clock.now().count()) / 1000.0);
                step.act(h);
            }
            EXPECT_FALSE(h.station.ptt()) << operation << " armed at " << armAt;
            EXPECT_EQ(h.program->ended(), !h.op.boxes.empty()) << operation;
        }
    }
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
