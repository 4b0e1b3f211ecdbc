#include <gtest/gtest.h>

#include "Harness.h"

namespace relaydeck::testing {
namespace {

using enum MainControl;

TEST(Identification, TheCwIdGoesOutEveryNineHundredSecondsWhateverTheChannelDoes) {
    Harness h;
    MainModel& m = h.start();
    m.setText(txtCWID, "PY2XYZ");
    m.setText(txtSpeechInterval, "0");
    h.take();
    h.wait(899);
    EXPECT_EQ(m.text(txtCWIDTime), "1");
    h.carrier(kLinkTrue);
    h.wait(1);
    EXPECT_EQ(m.text(txtCWIDTime), "900");
    EXPECT_EQ(h.take(), (Calls{"899.000 SetPTT(True)", "900.000 SendCW(False, \"PY2XYZ\")"}));
}

TEST(Identification, AFractionalIntervalStillIdentifies) {
    Harness h;
    MainModel& m = h.start();
    m.setText(txtIDInterval, "0.01");
    EXPECT_EQ(m.text(txtCWIDTime), "0.6");
    h.take();
    h.wait(2);
    EXPECT_EQ(h.take(), (Calls{"1.000 SendCW(False, \"\")", "2.000 SendCW(False, \"\")"}));
}

TEST(Identification, TheSpeechIdIsSpokenWhenIdleAndDroppedWhenBusy) {
    Harness h;
    h.station.setCallsign("PY2XYZ");
    MainModel& m = h.start();
    h.take();
    h.wait(300);
    EXPECT_EQ(m.text(txtSpeechIDTime), "300");
    EXPECT_TRUE(m.timer(SquelchCrash).enabled());
    EXPECT_EQ(h.take(), (Calls{"300.000 Speak(\"PY2XYZ\")", "300.000 PlayPrompt(1)",
                               "300.000 PlayPrompt(4)"}));
    // Due during a hang time: dropped, and nothing is said when the hang time ends.
    h.wait(297);
    h.rx(kLinkTrue);
    h.rx(kLinkFalse);
    h.wait(10);
    EXPECT_EQ(m.text(txtSpeechIDTime), "293");
    EXPECT_EQ(h.take(), (Calls{"597.000 SetPTT(True)", "597.000 SendCW(False, \"R\")",
                               "602.000 SetPTT(False)"}));
}

TEST(Identification, ManualIdentificationsAreRefusedUnderALocalCarrierOnly) {
    Harness h;
    MainModel& m = h.start();
    m.setText(txtCWID, "PY2XYZ");
    h.wait(100);
    h.carrier(kLinkTrue);
    h.take();
    for (MainControl menu : {mnuSendCWID, mnuSendSpeechID}) m.click(menu);
    ASSERT_EQ(h.op.boxes.size(), 2u);
    for (const MessageBoxRequest& box : h.op.boxes) {
        EXPECT_EQ(box.title, "Cannot transmit CW ID over a local RF user");
        EXPECT_EQ(box.prompt, "Sorry, the frequency appears to be in use...");
        EXPECT_EQ(box.buttons, MessageButtons::Ok);
        EXPECT_EQ(box.icon, MessageIcon::None);
    }
    EXPECT_EQ(m.text(txtCWIDTime), "800");
    EXPECT_TRUE(h.take().empty());

    h.carrier(kLinkFalse);
    h.rx(kLinkTrue);
    h.take();
    m.click(mnuSendCWID);
    m.click(mnuSendSpeechID);
    EXPECT_EQ(m.text(txtCWIDTime), "900");
    EXPECT_EQ(m.text(txtSpeechIDTime), "300");
    EXPECT_EQ(h.take(), (Calls{"100.000 SendCW(False, \"PY2XYZ\")", "100.000 Speak(\"N0CALL\")",
                               "100.000 PlayPrompt(1)"}));
}

TEST(Identification, TheLinkKeepsWorkingWhileARefusalWaitsForTheOperator) {
    Harness h;
    MainModel& m = h.start();
    h.carrier(kLinkTrue);
    h.take();
    h.op.whileOpen = [&] {
        h.wait(2);
        h.carrier(kLinkFalse);
        h.wait(1);
    };
    m.click(mnuSendCWID);
    EXPECT_EQ(h.take(), (Calls{"2.750 SendCW(False, \"K\")"}));
}

TEST(Identification, AManualCwIdWithTheIntervalOffSendsAndLeavesTheTimerStopped) {
    Harness h;
    MainModel& m = h.start();
    m.setText(txtIDInterval, "0");
    h.take();
    m.click(mnuSendCWID);
    EXPECT_EQ(m.text(txtCWIDTime), "0");
    EXPECT_FALSE(m.timer(IDInterval).enabled());
    m.setText(txtIDInterval, "");
    m.click(mnuSendCWID);  // not a number: still sent, the display stays
    EXPECT_EQ(m.text(txtCWIDTime), "0");
    EXPECT_EQ(h.take(), (Calls{"0.000 SendCW(False, \"\")", "0.000 SendCW(False, \"\")"}));
}

TEST(Identification, OnlyATickedFinalIdEnablesTheClosedownText) {
    Harness h;
    MainModel& m = h.start();
    m.setValue(IDonClosedown, 2);
    EXPECT_FALSE(m.enabled(ClosedownCW));
    h.take();
    h.rx(kLinkTrue);
    h.rx(kLinkFalse);
    h.wait(5);
    EXPECT_EQ(h.take().back(), "5.000 SetPTT(False)");
    m.setValue(IDonClosedown, 1);
    EXPECT_TRUE(m.enabled(ClosedownCW));
}

}  // namespace
}  // namespace relaydeck::testing
