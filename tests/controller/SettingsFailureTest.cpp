// A settings file that cannot be written is reported, and nothing on screen is lost.
#include <gtest/gtest.h>

#include "Harness.h"

namespace relaydeck::testing {
namespace {

using enum MainControl;

/// A program whose settings file cannot be written: a folder stands in its place.
struct Unwritable : Harness {
    Unwritable() { std::filesystem::create_directory(settings.SettingsPath()); }
    void makeWritable() { std::filesystem::remove(settings.SettingsPath()); }

    void expectOneWriteReport() {
        ASSERT_EQ(op.boxes.size(), 1u);
        const MessageBoxRequest& box = op.boxes[0];
        EXPECT_EQ(box.title, "Relaydeck");
        EXPECT_EQ(box.buttons, MessageButtons::Ok);
        EXPECT_EQ(box.icon, MessageIcon::None);
        EXPECT_TRUE(box.prompt.starts_with("The settings could not be written to " +
                                           settings.SettingsPath().string() + ": "))
            << box.prompt;
        EXPECT_TRUE(box.prompt.ends_with(".")) << box.prompt;
    }
};

TEST(SettingsFailure, AFailedSaveIsReportedAndThePanelStaysOpenWithItsEdits) {
    Unwritable h;
    MainModel& m = h.start();
    m.click(mnuSettings);
    m.setText(txtHangTime, "9");
    m.setText(txtCWID, "PY2XYZ");
    m.click(Save);
    h.expectOneWriteReport();
    EXPECT_EQ(m.heightTwips(), MainModel::kTallHeightTwips);
    EXPECT_EQ(m.text(txtHangTime), "9");
    EXPECT_EQ(m.text(txtCWID), "PY2XYZ");
    EXPECT_FALSE(h.program->ended());

    // Once the file can be written, the same save goes through in one write.
    h.makeWritable();
    m.click(Save);
    EXPECT_EQ(h.op.boxes.size(), 1u);
    EXPECT_EQ(m.heightTwips(), MainModel::kShortHeightTwips);
    EXPECT_EQ(h.settings.ReadSetting("HANGTIME", ""), "9");
    EXPECT_EQ(h.settings.ReadSetting("CWIDTEXT", ""), "PY2XYZ");
}

TEST(SettingsFailure, TheRepeaterWorksOnWhileTheReportWaits) {
    Unwritable h;
    MainModel& m = h.start();
    h.take();
    h.op.whileOpen = [&] {
        h.carrier(kLinkTrue);
        h.wait(1);
        h.carrier(kLinkFalse);
        h.wait(1);
    };
    m.click(Save);
    EXPECT_EQ(h.take(), (Calls{"0.000 SetPTT(True)", "1.750 SendCW(False, \"K\")"}));
}

TEST(SettingsFailure, AFailedPositionWriteIsReportedAndTheExitStillUnkeysAndEnds) {
    Unwritable h;
    MainModel& m = h.start();
    h.carrier(kLinkTrue);
    h.take();
    m.click(mnuExit);
    h.expectOneWriteReport();
    EXPECT_EQ(h.take(), (Calls{"0.000 SetPTT(False)", "0.000 End"}));
}

TEST(SettingsFailure, ClosingDuringTheExitReportCallsNothingMore) {
    Unwritable h;
    MainModel& m = h.start();
    h.carrier(kLinkTrue);
    h.take();
    h.op.whileOpen = [&] {
        h.station.raiseClosing();
        h.drain();
    };
    m.click(mnuExit);
    EXPECT_EQ(h.take(), (Calls{"0.000 End"}));
}

TEST(SettingsFailure, TheStartupDialogReportsAFailedWriteAndItsButtonsStillAct) {
    Unwritable h;
    h.splash();
    h.take();
    h.program->splash()->click(SplashControl::Finish);
    h.expectOneWriteReport();
    EXPECT_EQ(h.take(), (Calls{"0.000 SetPTT(False)", "0.000 End"}));

    Unwritable launch;
    launch.splash();
    launch.program->splash()->click(SplashControl::Launch);
    launch.expectOneWriteReport();
    ASSERT_NE(launch.program->main(), nullptr);
    EXPECT_TRUE(launch.main().isVisible());
    EXPECT_FALSE(launch.program->splash()->isVisible());
}

TEST(SettingsFailure, NoAutomaticStartBehindTheExitButtonsReport) {
    Unwritable h;
    std::filesystem::remove(h.settings.SettingsPath());
    h.ini("[SETTINGS]");
    h.ini("STARTUP=1");
    // The file becomes unwritable after it was read.
    h.splash();
    std::filesystem::remove(h.settings.SettingsPath());
    std::filesystem::create_directory(h.settings.SettingsPath());
    h.op.whileOpen = [&] { h.wait(5); };
    h.program->splash()->click(SplashControl::Finish);
    EXPECT_EQ(h.program->main(), nullptr);
    EXPECT_TRUE(h.program->ended());
}

}  // namespace
}  // namespace relaydeck::testing
