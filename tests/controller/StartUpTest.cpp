#include <gtest/gtest.h>

#include "Harness.h"

namespace relaydeck::testing {
namespace {

using enum MainControl;

TEST(StartUp, WithoutASettingsFileEveryControlTakesItsDefault) {
    Harness h;
    h.station.setCallsign("PY2XYZ");
    MainModel& m = h.start();
    EXPECT_EQ(h.take(), (Calls{"0.000 SetControlMode(True)"}));

    EXPECT_EQ(m.caption(), "Relaydeck v1.1 - PY2XYZ");
    EXPECT_TRUE(m.isVisible());
    EXPECT_EQ(m.leftTwips(), 500);
    EXPECT_EQ(m.topTwips(), 500);
    EXPECT_EQ(m.heightTwips(), 2670);
    const std::pair<MainControl, const char*> texts[] = {
        {txtCWID, ""},           {ClosedownCW, ""},
        {txtIDInterval, "15"},   {txtSpeechInterval, "5"},
        {txtHangTime, "5"},      {txtTimeOut, "5"},
        {txtCourtesy, "K"},      {txtIPCourtesy, "R"},
        {txtSpeechID, "PY2XYZ"}, {BreakTime, "750"},
        {txtTimeOutID, "SSS"},   {KerchunkTime, "2500"},
        {txtCWIDTime, "900"},    {txtSpeechIDTime, "300"},
        {txtHangTimeTime, "5"},  {txtTimeOutTime, "300"},
        {Status, "Waiting..."},  {DecodeTone, "110.9"},
    };
    for (auto [control, text] : texts) {
        EXPECT_EQ(m.text(control), text)
            << mainControlDefinitions()[static_cast<int>(control)].name;
    }
    EXPECT_EQ(m.value(CTCSSActivity), 1);
    EXPECT_EQ(m.value(IDonClosedown), 0);
    EXPECT_EQ(m.value(IPTimeout), 0);
    EXPECT_EQ(m.value(ToneBurstAccess), 0);
    EXPECT_FALSE(m.enabled(DecodeTone));
    EXPECT_FALSE(m.enabled(EncodeTone));
    EXPECT_TRUE(m.enabled(ClosedownCW));
    EXPECT_FALSE(m.timedOut());

    for (MainTimer t : {IDInterval, SpeechTimer, Kerchunker}) EXPECT_TRUE(m.timer(t).enabled());
    for (MainTimer t :
         {Break, HangTime, TimeOut, SquelchCrash, CheckClear, WaitFree, CountUp, CountDown}) {
        EXPECT_FALSE(m.timer(t).enabled()) << mainTimerName(t);
    }
    EXPECT_EQ(m.timer(Kerchunker).interval().count(), 2500);
    EXPECT_EQ(m.timer(Break).interval().count(), 750);
    for (MainControl lamp : {PTTLED, LED, FanLED, TOLED}) EXPECT_EQ(m.colour(lamp), kGrey);
    EXPECT_TRUE(h.fileText().empty());
}

TEST(StartUp, StoredValuesRunTheFieldHandlersAsAnEditWould) {
    Harness h;
    h.ini("[settings]");
    h.ini("cwinterval=0");
    h.ini("SPEECHINTERVAL=10");
    h.ini("HANGTIME=  \"10\"  ");
    h.ini("IDONCLOSEDOWN=1");
    h.ini("KERCHUNKTIME=2500");
    MainModel& m = h.start();
    EXPECT_EQ(m.text(txtCWIDTime), "0");
    EXPECT_FALSE(m.timer(IDInterval).enabled());
    EXPECT_EQ(m.text(txtSpeechIDTime), "600");
    EXPECT_EQ(m.text(txtHangTimeTime), "10");
    EXPECT_EQ(m.value(IDonClosedown), 1);
    EXPECT_TRUE(m.enabled(ClosedownCW));
    EXPECT_EQ(m.timer(Kerchunker).interval().count(), 2500);
}

TEST(StartUp, ASpeechIntervalOfZeroStopsTheTimerAndKeepsTheDisplay) {
    Harness h;
    h.ini("[SETTINGS]");
    h.ini("SPEECHINTERVAL=");
    MainModel& m = h.start();
    EXPECT_EQ(m.text(txtSpeechInterval), "0");
    EXPECT_FALSE(m.timer(SpeechTimer).enabled());
    EXPECT_EQ(m.text(txtSpeechIDTime), "300");
}

TEST(StartUp, AnEmptyBreakTimeBecomesZeroAndAnEmptyKerchunkTimeTheDefault) {
    Harness h;
    h.ini("[SETTINGS]");
    h.ini("BREAKTIME=");
    h.ini("KERCHUNKTIME=");
    MainModel& m = h.start();
    EXPECT_EQ(m.text(BreakTime), "0");
    EXPECT_EQ(m.timer(Break).interval().count(), 0);
    EXPECT_EQ(m.text(KerchunkTime), "2500");
    EXPECT_EQ(m.timer(Kerchunker).interval().count(), 2500);
}

TEST(StartUp, ValuesThatAreNotUsableStillGiveAWorkingController) {
    Harness h;
    h.ini("[SETTINGS]");
    h.ini("LEFT=left");
    h.ini("TOP=-120");
    h.ini("BREAKTIME=abc");
    h.ini("KERCHUNKTIME=70000");
    h.ini("CTCSSACTIVITY=7");
    h.ini("IDONCLOSEDOWN=1.5");
    h.ini("IPTIMEOUT=0.5");
    h.ini("TONEBURSTACCESS=yes");
    h.ini("CWINTERVAL=often");
    h.ini("TIMEOUT=long");
    MainModel& m = h.start();
    EXPECT_EQ(m.leftTwips(), 500);
    EXPECT_EQ(m.topTwips(), -120);
    EXPECT_EQ(m.text(BreakTime), "750");
    EXPECT_EQ(m.timer(Break).interval().count(), 750);
    EXPECT_EQ(m.text(KerchunkTime), "2500");
    EXPECT_EQ(m.timer(Kerchunker).interval().count(), 2500);
    EXPECT_EQ(m.value(CTCSSActivity), 0);
    EXPECT_EQ(m.value(IDonClosedown), 2);
    EXPECT_FALSE(m.enabled(ClosedownCW));
    EXPECT_EQ(m.value(IPTimeout), 0);
    EXPECT_EQ(m.value(ToneBurstAccess), 0);
    EXPECT_EQ(m.text(txtIDInterval), "15");
    EXPECT_EQ(m.text(txtTimeOut), "5");
    EXPECT_EQ(m.text(txtCWIDTime), "900");
    EXPECT_TRUE(m.timer(IDInterval).enabled());
    EXPECT_EQ(m.text(txtTimeOutTime), "300");
    EXPECT_EQ(m.text(Status), "Waiting...");
    // And it still repeats.
    h.take();
    h.carrier(kLinkTrue);
    h.wait(1);
    h.carrier(kLinkFalse);
    h.wait(10);
    EXPECT_EQ(h.take(),
              (Calls{"0.000 SetPTT(True)", "1.750 SendCW(False, \"K\")", "6.750 SetPTT(False)"}));
}

TEST(StartUp, TheSpeechIdDefaultIsTheCallsignReadJustBeforeIt) {
    Harness h;
    h.station.setCallsign("PY2AAA");
    h.newProgram();
    // Change the callsign between the title's read and the speech ID's read.
    int reads = 0;
    h.station.addCallObserver([&](const LinkCall& call) {
        if (call.operation == LinkOperation::GetStation && ++reads == 1) h.station.setCallsign("PY2BBB");
    });
    h.program->showMain();
    EXPECT_EQ(h.main().caption(), "Relaydeck v1.1 - PY2AAA");
    EXPECT_EQ(h.main().text(txtSpeechID), "PY2BBB");
}

TEST(StartUp, MinuteKeysThatAreNotNumbersOrNegativeTakeTheirDefaults) {
    Harness h;
    h.ini("[SETTINGS]");
    h.ini("CWINTERVAL=abc");
    h.ini("SPEECHINTERVAL=-1");
    h.ini("TIMEOUT=-0.5");
    MainModel& m = h.start();
    EXPECT_EQ(m.text(txtIDInterval), "15");
    EXPECT_EQ(m.text(txtSpeechInterval), "5");
    EXPECT_EQ(m.text(txtTimeOut), "5");
    EXPECT_EQ(m.text(txtCWIDTime), "900");
    EXPECT_EQ(m.text(txtSpeechIDTime), "300");
    EXPECT_EQ(m.text(txtTimeOutTime), "300");
    EXPECT_TRUE(m.timer(SpeechTimer).enabled());
    // The station identifies at every interval, not only once.
    h.take();
    h.wait(2700);
    Calls morse;
    int spoken = 0;
    for (const std::string& call : h.take()) {
        if (call.find("SendCW") != std::string::npos) morse.push_back(call);
        if (call.find("Speak") != std::string::npos) ++spoken;
    }
    EXPECT_EQ(morse, (Calls{"900.000 SendCW(False, \"\")", "1800.000 SendCW(False, \"\")",
                            "2700.000 SendCW(False, \"\")"}));
    EXPECT_EQ(spoken, 9);
}

TEST(StartUp, MinuteKeysThatAreEmptyOrZeroOrAnotherSpellingOfANumberAreKept) {
    Harness h;
    h.ini("[SETTINGS]");
    h.ini("CWINTERVAL=");
    h.ini("SPEECHINTERVAL=0.0");
    h.ini("TIMEOUT=1e0");
    MainModel& m = h.start();
    EXPECT_EQ(m.text(txtIDInterval), "");
    EXPECT_EQ(m.text(txtCWIDTime), "0");
    EXPECT_FALSE(m.timer(IDInterval).enabled());
    EXPECT_EQ(m.text(txtSpeechInterval), "0.0");
    EXPECT_EQ(m.text(txtSpeechIDTime), "0");
    EXPECT_EQ(m.text(txtTimeOut), "1e0");
    EXPECT_EQ(m.text(txtTimeOutTime), "60");
}

}  // namespace
}  // namespace relaydeck::testing
