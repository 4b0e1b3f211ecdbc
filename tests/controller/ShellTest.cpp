#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "Harness.h"

namespace relaydeck::testing {
namespace {

using enum MainControl;

TEST(Shell, TheExitCommandWritesThePositionUnkeysAndEnds) {
    Harness h;
    MainModel& m = h.start();
    h.carrier(kLinkTrue);
    m.moveTo(1230, -45);
    m.click(mnuSettings);
    m.setText(txtHangTime, "9");  // unsaved edits are lost
    h.take();
    m.click(mnuExit);
    EXPECT_TRUE(h.program->ended());
    EXPECT_EQ(h.fileText(), "[SETTINGS]\r\nLEFT=1230\r\nTOP=-45\r\n");
    EXPECT_EQ(h.take(), (Calls{"0.000 SetPTT(False)", "0.000 End"}));
    h.wait(1000);
    EXPECT_TRUE(h.take().empty());

    MainModel& again = h.start();
    EXPECT_EQ(again.leftTwips(), 1230);
    EXPECT_EQ(again.topTwips(), -45);
    EXPECT_EQ(again.text(txtHangTime), "5");
}

TEST(Shell, TheCloseQuestionNoGoesOnAndYesUnkeysAndEndsWithoutWriting) {
    Harness h;
    MainModel& m = h.start();
    h.carrier(kLinkTrue);
    h.take();
    h.op.answers = {MessageAnswer::No, MessageAnswer::Yes};
    EXPECT_FALSE(m.requestClose());
    ASSERT_EQ(h.op.boxes.size(), 1u);
    EXPECT_EQ(h.op.boxes[0].title, "Exit Program");
    EXPECT_EQ(h.op.boxes[0].prompt, "Quit Relaydeck - Are You Sure ?");
    EXPECT_EQ(h.op.boxes[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(h.op.boxes[0].icon, MessageIcon::Question);
    h.wait(1);
    EXPECT_EQ(m.text(txtTimeOutTime), "299");
    EXPECT_TRUE(m.requestClose());
    EXPECT_EQ(h.take(), (Calls{"1.000 SetPTT(False)", "1.000 End"}));
    EXPECT_TRUE(h.fileText().empty());
}

TEST(Shell, ALinkHostThatCannotBeCreatedIsReportedAndEndsTheProgram) {
    Harness h;
    h.station.failNext("create");
    h.start();
    ASSERT_EQ(h.op.boxes.size(), 1u);
    EXPECT_EQ(h.op.boxes[0].icon, MessageIcon::Critical);
    EXPECT_TRUE(h.program->ended());
    EXPECT_EQ(h.take(), (Calls{"0.000 End"}));
    h.wait(1000);
    EXPECT_TRUE(h.take().empty());
}

TEST(Shell, AFailingCallMidOverIsReportedAndNothingRunsAfterIt) {
    Harness h;
    h.start();
    h.take();
    h.carrier(kLinkTrue);
    h.wait(5);
    h.station.failNext("SendCW");
    bool ticksWhileReporting = false;
    h.op.whileOpen = [&] {
        const auto before = h.calls.size();
        h.wait(10);
        h.carrier(kLinkFalse);
        ticksWhileReporting = h.calls.size() != before;
    };
    h.carrier(kLinkFalse);
    h.wait(1);
    EXPECT_FALSE(ticksWhileReporting);
    EXPECT_EQ(h.op.boxes.size(), 1u);
    EXPECT_EQ(h.take(), (Calls{"0.000 SetPTT(True)", "5.750 SetPTT(False)", "15.750 End"}));
}

// Every way out ends with a status that tells the system why, and a way out that
// cannot unkey says so instead of ending in silence.
TEST(Shell, EveryWayOutUnkeysOrSaysWhyAndEndsWithItsExitStatus) {
    struct Case {
        const char* name;
        std::function<void(Harness&)> leave;
        ExitStatus status;
        std::size_t boxes;
    };
    const auto keyed = [](Harness& h) {
        h.start();
        h.carrier(kLinkTrue);
    };
    const Case cases[] = {
        {"exit command",
         [&](Harness& h) {
             keyed(h);
             h.main().click(mnuExit);
         },
         ExitStatus::Normal, 0},
        {"close answered Yes",
         [&](Harness& h) {
             keyed(h);
             h.op.answers = {MessageAnswer::Yes};
             h.main().requestClose();
         },
         ExitStatus::Normal, 1},
        {"close answered Yes, the unkey fails",
         [&](Harness& h) {
             keyed(h);
             h.op.answers = {MessageAnswer::Yes};
             h.station.failNext("SetPTT");
             EXPECT_TRUE(h.main().requestClose());
         },
         ExitStatus::LinkFailed, 2},
        {"the link program closes",
         [&](Harness& h) {
             keyed(h);
             h.station.raiseClosing();
             h.drain();
         },
         ExitStatus::LinkClosed, 0},
        {"a call fails mid-over",
         [&](Harness& h) {
             keyed(h);
             h.station.failNext("SendCW");
             h.carrier(kLinkFalse);
             h.wait(1);
         },
         ExitStatus::LinkFailed, 1},
        {"the link program is not there",
         [](Harness& h) {
             h.station.failNext("create");
             h.splash();
         },
         ExitStatus::LinkUnavailable, 1},
        {"the startup dialog's exit",
         [](Harness& h) {
             h.splash();
             h.program->splash()->click(SplashControl::Finish);
         },
         ExitStatus::Normal, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Harness h;
        c.leave(h);
        EXPECT_TRUE(h.program->ended());
        EXPECT_EQ(h.program->exitStatus(), c.status);
        EXPECT_EQ(h.op.boxes.size(), c.boxes);
        if (c.boxes > 0 && c.status != ExitStatus::Normal) {
            EXPECT_EQ(h.op.boxes.back().icon, MessageIcon::Critical);
        }
        // Left keyed only when the link program itself went away.
        if (c.status != ExitStatus::LinkClosed) {
            EXPECT_FALSE(h.station.ptt());
        }
    }
}

TEST(Shell, TheStartupDialogStartsTheMainWindowByItselfWhenTicked) {
    Harness h;
    h.ini("[SETTINGS]");
    h.ini("STARTUP=1");
    const std::string before = h.fileText();
    h.splash();
    SplashModel& s = *h.program->splash();
    EXPECT_EQ(s.text(SplashControl::lblVersion), "Version 1.1.0");
    EXPECT_EQ(s.text(SplashControl::MyCall), "N0CALL");
    EXPECT_EQ(s.value(SplashControl::Startup), 1);
    h.wait(2.999);
    EXPECT_EQ(h.program->main(), nullptr);
    h.wait(0.001);
    ASSERT_NE(h.program->main(), nullptr);
    EXPECT_TRUE(h.main().isVisible());
    EXPECT_FALSE(s.isVisible());
    EXPECT_EQ(h.fileText(), before);
}

TEST(Shell, WithoutAutomaticStartTheDialogWaitsAndEitherButtonWritesTheBox) {
    Harness h;
    h.ini("[SETTINGS]");
    h.ini("STARTUP=2");
    h.splash();
    SplashModel& s = *h.program->splash();
    EXPECT_EQ(s.value(SplashControl::Startup), 2);
    h.wait(3);
    EXPECT_FALSE(s.visible(static_cast<int>(SplashControl::Label1)));
    EXPECT_EQ(h.program->main(), nullptr);
    h.take();
    s.click(SplashControl::Finish);
    EXPECT_EQ(h.fileText(), "[SETTINGS]\r\nSTARTUP=2\r\n");
    EXPECT_EQ(h.take(), (Calls{"3.000 SetPTT(False)", "3.000 End"}));

    h.splash();
    SplashModel& s2 = *h.program->splash();
    s2.setValue(static_cast<int>(SplashControl::Startup), 0);
    s2.click(SplashControl::Launch);
    EXPECT_TRUE(h.main().isVisible());
    EXPECT_FALSE(s2.isVisible());
    EXPECT_EQ(h.fileText(), "[SETTINGS]\r\nSTARTUP=0\r\n");
}

TEST(Shell, TheAboutWindowReadsTheCallsignAtEachOpeningWhileTheRepeaterRuns) {
    Harness h;
    MainModel& m = h.start();
    h.op.whileAboutOpen = [&](AboutModel& about) {
        EXPECT_EQ(about.caption(), "About Relaydeck");
        EXPECT_EQ(about.text(AboutControl::lblVersion), "Version 1.1.0");
        h.carrier(kLinkTrue);
        h.wait(1);
    };
    m.click(mnuAbout);
    h.station.setCallsign("PY2XYZ");
    m.click(mnuAbout);
    EXPECT_EQ(h.op.aboutOpenings,
              (std::vector<std::string>{"Relaydeck for N0CALL", "Relaydeck for PY2XYZ"}));
    EXPECT_EQ(h.program->about(), nullptr);
    EXPECT_EQ(m.text(txtTimeOutTime), "298");
}

TEST(Shell, StoredPositionsOutOfAnyDesktopComeBackIntoRange) {
    Harness h;
    h.ini("[SETTINGS]");
    h.ini("LEFT=99999999");
    h.ini("TOP=-1e39");
    MainModel& m = h.start();
    EXPECT_EQ(m.leftTwips(), MainModel::kMaxPositionTwips);
    EXPECT_EQ(m.topTwips(), MainModel::kMinPositionTwips);
    m.click(mnuExit);
    EXPECT_EQ(h.settings.ReadSetting("LEFT", ""), "491505");
    EXPECT_EQ(h.settings.ReadSetting("TOP", ""), "-491520");

    Harness huge;
    huge.ini("[SETTINGS]");
    huge.ini("LEFT=1e39");
    huge.ini("TOP=1e400");  // beyond any number: the default
    MainModel& n = huge.start();
    EXPECT_EQ(n.leftTwips(), MainModel::kMaxPositionTwips);
    EXPECT_EQ(n.topTwips(), 500);
}

TEST(Shell, TheViewsMovesAreKeptWithinRangeAndNonFiniteOnesIgnored) {
    Harness h;
    MainModel& m = h.start();
    m.moveTo(-7680, 24000);  // another screen left of the first
    EXPECT_EQ(m.leftTwips(), -7680);
    EXPECT_EQ(m.topTwips(), 24000);
    m.moveTo(1e12, -1e12);
    EXPECT_EQ(m.leftTwips(), MainModel::kMaxPositionTwips);
    EXPECT_EQ(m.topTwips(), MainModel::kMinPositionTwips);
    m.moveTo(std::nan(""), 0);
    m.moveTo(0, std::numeric_limits<double>::infinity());
    EXPECT_EQ(m.leftTwips(), MainModel::kMaxPositionTwips);
    EXPECT_EQ(m.topTwips(), MainModel::kMinPositionTwips);
}

TEST(Shell, TheUnattendedEntryAsksThenKeepsTheChoiceInTheProgramsOwnSection) {
    Harness h;
    MainModel& m = h.start();
    m.click(mnuUnattended);  // a front end without a guard: nothing happens
    EXPECT_TRUE(h.op.boxes.empty());

    h.program->setUnattendedAvailable(true);
    const SettingsStore own(h.folder_, Program::kOwnSection);
    h.op.answers = {MessageAnswer::No, MessageAnswer::Yes, MessageAnswer::Yes};
    m.click(mnuUnattended);
    EXPECT_EQ(own.ReadSetting("GUARDED", "absent"), "absent");
    m.click(mnuUnattended);
    EXPECT_EQ(own.ReadSetting("GUARDED", ""), "1");
    EXPECT_EQ(h.op.boxes.back().prompt, Program::kUnattendedOffQuestion);
    m.click(mnuUnattended);
    EXPECT_EQ(own.ReadSetting("GUARDED", ""), "0");
    EXPECT_EQ(h.op.boxes.back().prompt, Program::kUnattendedOnQuestion);
    EXPECT_EQ(h.fileText().find("[SETTINGS]"), std::string::npos);
}

}  // namespace
}  // namespace relaydeck::testing
