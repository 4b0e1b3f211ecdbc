#include <gtest/gtest.h>

#include "Harness.h"

namespace relaydeck::testing {
namespace {

using enum MainControl;

TEST(Panel, TypingAnIntervalIntoAnEmptiedFieldFollowsEachKeystroke) {
    Harness h;
    MainModel& m = h.start();
    h.wait(10);
    m.setText(txtIDInterval, "");
    EXPECT_EQ(m.text(txtCWIDTime), "0");
    EXPECT_FALSE(m.timer(IDInterval).enabled());
    m.setText(txtIDInterval, "1");
    EXPECT_EQ(m.text(txtCWIDTime), "60");
    EXPECT_TRUE(m.timer(IDInterval).enabled());
    h.wait(0.5);
    m.setText(txtIDInterval, "15");
    EXPECT_EQ(m.text(txtCWIDTime), "900");
    h.wait(0.9);
    EXPECT_EQ(m.text(txtCWIDTime), "900");  // the one-second tick restarted with the edit
    h.wait(0.1);
    EXPECT_EQ(m.text(txtCWIDTime), "899");
    m.setText(txtIDInterval, "0.0");
    EXPECT_EQ(m.text(txtCWIDTime), "0");
    EXPECT_TRUE(m.timer(IDInterval).enabled());
}

TEST(Panel, EmptiedFieldsBecomeZeroWhereTheyMust) {
    Harness h;
    MainModel& m = h.start();
    h.wait(10);
    m.setText(txtSpeechInterval, "");
    EXPECT_EQ(m.text(txtSpeechInterval), "0");
    EXPECT_FALSE(m.timer(SpeechTimer).enabled());
    EXPECT_EQ(m.text(txtSpeechIDTime), "290");
    m.setText(BreakTime, "");
    EXPECT_EQ(m.text(BreakTime), "0");
    EXPECT_EQ(m.timer(Break).interval().count(), 0);
    m.setText(BreakTime, "1200");
    EXPECT_EQ(m.timer(Break).interval().count(), 1200);
    m.setText(txtTimeOut, "");
    EXPECT_EQ(m.text(txtTimeOut), "");
    EXPECT_EQ(m.text(txtTimeOutTime), "0");
}

TEST(Panel, EditsThatAreNotNumbersLeaveTimersAndDisplaysAsTheyWere) {
    Harness h;
    MainModel& m = h.start();
    h.wait(10);
    m.setText(txtIDInterval, "x1");
    m.setText(txtSpeechInterval, "-");
    m.setText(txtTimeOut, "five");
    m.setText(BreakTime, "soon");
    m.setText(BreakTime, "99999");
    EXPECT_EQ(m.text(txtCWIDTime), "890");
    EXPECT_TRUE(m.timer(IDInterval).enabled());
    EXPECT_EQ(m.text(txtSpeechIDTime), "290");
    EXPECT_TRUE(m.timer(SpeechTimer).enabled());
    EXPECT_EQ(m.text(txtTimeOutTime), "300");
    EXPECT_EQ(m.timer(Break).interval().count(), 750);
    h.wait(1);
    EXPECT_EQ(m.text(txtCWIDTime), "889");
    // Beside each field, what is in force instead.
    EXPECT_EQ(m.text(InForceIDInterval), "in force: 15");
    EXPECT_EQ(m.text(InForceSpeechInterval), "in force: 5");
    EXPECT_EQ(m.text(InForceTimeOut), "in force: 5");
    EXPECT_EQ(m.text(InForceBreakTime), "in force: 750");
    m.setText(BreakTime, "500");
    EXPECT_EQ(m.text(InForceBreakTime), "");
}

TEST(Panel, NegativeMinutesAreRefusedLikeTextThatIsNotANumber) {
    Harness h;
    MainModel& m = h.start();
    m.setText(txtIDInterval, "1");
    h.wait(10);
    for (const char* negative : {"-1", "-0.5", "-1e3"}) {
        m.setText(txtIDInterval, negative);
        m.setText(txtSpeechInterval, negative);
        m.setText(txtTimeOut, negative);
        EXPECT_EQ(m.text(txtCWIDTime), "50") << negative;
        EXPECT_TRUE(m.timer(IDInterval).enabled()) << negative;
        EXPECT_EQ(m.text(txtSpeechIDTime), "290") << negative;
        EXPECT_EQ(m.text(txtTimeOutTime), "300") << negative;
    }
}

TEST(Panel, ARefusedIntervalKeepsTheLastAcceptedOneForEveryLaterCount) {
    Harness h;
    MainModel& m = h.start();
    m.setText(txtIDInterval, "1");
    m.setText(txtTimeOut, "0.05");
    m.setText(txtIDInterval, "-1");  // refused: identification goes on every minute
    m.setText(txtTimeOut, "soon");   // refused: the time-out stays at 3 seconds
    h.take();
    h.wait(180);
    EXPECT_EQ(h.take(), (Calls{"60.000 SendCW(False, \"\")", "120.000 SendCW(False, \"\")",
                               "180.000 SendCW(False, \"\")"}));
    h.carrier(kLinkTrue);
    h.wait(1);
    h.carrier(kLinkFalse);
    h.wait(10);
    EXPECT_EQ(m.text(txtTimeOutTime), "3");
    h.carrier(kLinkTrue);
    h.wait(3);
    EXPECT_TRUE(m.timedOut());
}

TEST(Panel, TheSettingsMenuLengthensAndTheSaveShortensTheWindow) {
    Harness h;
    MainModel& m = h.start();
    m.click(mnuSettings);
    m.click(mnuSettings);
    EXPECT_EQ(m.heightTwips(), 9810);
    m.click(Save);
    EXPECT_EQ(m.heightTwips(), 2670);
}

TEST(Panel, TheSaveWritesSixteenKeysInItsOrderAndTwiceChangesNothing) {
    Harness h;
    h.station.setCallsign("PY2XYZ");
    MainModel& m = h.start();
    m.setText(txtCWID, "PY2XYZ**R");
    m.setValue(CTCSSActivity, 0);
    m.click(Save);
    const std::string expected =
        "[SETTINGS]\r\nCWIDTEXT=PY2XYZ**R\r\nCWINTERVAL=15\r\nHANGTIME=5\r\nTIMEOUT=5\r\n"
        "COURTESY=K\r\nIPCOURTESY=R\r\nSPEECHID=PY2XYZ\r\nBREAKTIME=750\r\nCLOSEDOWNCWID=\r\n"
        "TIMEOUTCWID=SSS\r\nSPEECHINTERVAL=5\r\nCTCSSACTIVITY=0\r\nIDONCLOSEDOWN=0\r\n"
        "KERCHUNKTIME=2500\r\nIPTIMEOUT=0\r\nTONEBURSTACCESS=0\r\n";
    EXPECT_EQ(h.fileText(), expected);
    m.click(Save);
    EXPECT_EQ(h.fileText(), expected);
}

TEST(Panel, TheCtcssBoxesWarnAndUnlockTheirToneFields) {
    Harness h;
    MainModel& m = h.start();
    bool greyedWhileOpen = false;
    h.op.whileOpen = [&] { greyedWhileOpen = !m.enabled(DecodeTone); };
    m.setValue(CTCSSDecode, 1);
    EXPECT_TRUE(greyedWhileOpen);
    ASSERT_EQ(h.op.boxes.size(), 1u);
    EXPECT_EQ(h.op.boxes[0].title, "CTCSS Decode is still experimental!");
    EXPECT_NE(h.op.boxes[0].prompt.find("reliable.  For correct CTCSS decoding"),
              std::string::npos);
    EXPECT_TRUE(m.enabled(DecodeTone));
    EXPECT_TRUE(m.enabled(Experimental));
    m.setValue(CTCSSEncode, 1);
    EXPECT_EQ(h.op.boxes.at(1).title, "CTCSS Encode is still experimental!");
    m.setValue(CTCSSDecode, 0);
    EXPECT_FALSE(m.enabled(DecodeTone));
    EXPECT_TRUE(m.enabled(EncodeTone));
    EXPECT_TRUE(m.enabled(Experimental));
    m.setValue(CTCSSEncode, 0);
    EXPECT_FALSE(m.enabled(Experimental));
    EXPECT_EQ(h.op.boxes.size(), 2u);
}

TEST(Panel, AClickTicksAnUntickedBoxAndUnticksATickedOrGreyedOne) {
    Harness h;
    h.ini("[SETTINGS]");
    h.ini("IDONCLOSEDOWN=2");
    MainModel& m = h.start();
    const int box = static_cast<int>(IDonClosedown);
    EXPECT_EQ(m.value(IDonClosedown), 2);
    m.clickCheckBox(box);
    EXPECT_EQ(m.value(IDonClosedown), 0);
    m.clickCheckBox(box);
    EXPECT_EQ(m.value(IDonClosedown), 1);
    EXPECT_TRUE(m.enabled(ClosedownCW));  // the click handler ran
    m.clickCheckBox(box);
    EXPECT_EQ(m.value(IDonClosedown), 0);
    EXPECT_FALSE(m.enabled(ClosedownCW));
}

TEST(Panel, TheFanAlternatesOutputFirstThenLamp) {
    Harness h;
    MainModel& m = h.start();
    h.take();
    Rgb lampDuringCall = 0;
    h.station.addCallObserver([&](const LinkCall&) { lampDuringCall = m.colour(FanLED); });
    m.click(FanLabel);
    EXPECT_EQ(lampDuringCall, kGrey);
    EXPECT_EQ(m.colour(FanLED), kLightOrange);
    EXPECT_TRUE(h.station.aux());
    h.carrier(kLinkTrue);
    m.click(FanLabel);
    EXPECT_EQ(m.colour(FanLED), kGrey);
    EXPECT_EQ(h.take(), (Calls{"0.000 SetAux(True)", "0.000 SetPTT(True)", "0.000 SetAux(False)"}));
}

}  // namespace
}  // namespace relaydeck::testing
