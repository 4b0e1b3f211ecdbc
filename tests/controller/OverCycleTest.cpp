#include <gtest/gtest.h>

#include "Harness.h"
#include "controller/NumberText.h"

namespace relaydeck::testing {
namespace {

using enum MainControl;

class OverCycle : public ::testing::Test {
  protected:
    MainModel& start() {
        MainModel& m = h.start();
        h.take();
        return m;
    }
    Harness h;
};

TEST_F(OverCycle, ALocalOverGetsTheCourtesyAfterTheBreakAndClosesDownOnTheFifthClearTick) {
    MainModel& m = start();
    h.wait(10);
    h.carrier(kLinkTrue);
    EXPECT_EQ(m.text(Status), "Receiving...");
    EXPECT_EQ(m.colour(LED), kGreen);
    EXPECT_EQ(m.colour(PTTLED), kRed);  // the PTT event came right after SetPTT
    EXPECT_TRUE(m.timer(TimeOut).enabled());
    h.wait(20);
    EXPECT_EQ(m.text(txtTimeOutTime), "280");
    h.carrier(kLinkFalse);
    EXPECT_EQ(m.colour(LED), kGrey);
    EXPECT_TRUE(m.timer(Break).enabled());
    h.wait(0.75);
    EXPECT_EQ(m.text(Status), "Waiting for next over ...");
    EXPECT_EQ(m.text(txtTimeOutTime), "300");
    EXPECT_FALSE(m.timer(TimeOut).enabled());
    h.wait(4);
    EXPECT_EQ(m.text(txtHangTimeTime), "1");
    EXPECT_EQ(m.colour(PTTLED), kRed);
    h.wait(1);
    EXPECT_EQ(m.text(Status), "Waiting...");
    EXPECT_EQ(m.text(txtHangTimeTime), "5");
    EXPECT_TRUE(m.timer(SquelchCrash).enabled());
    EXPECT_EQ(m.colour(PTTLED), kGrey);
    h.wait(1);
    EXPECT_FALSE(m.timer(SquelchCrash).enabled());
    EXPECT_EQ(h.take(), (Calls{"10.000 SetPTT(True)", "30.750 SendCW(False, \"K\")",
                               "35.750 SetPTT(False)"}));
}

TEST_F(OverCycle, AnInternetOverGetsItsCourtesyAtOnceAndKeepsTheStatus) {
    MainModel& m = start();
    h.rx(kLinkTrue);
    EXPECT_EQ(m.text(Status), "Waiting...");
    EXPECT_EQ(m.colour(LED), kGreen);
    h.wait(12);
    h.rx(kLinkFalse);
    EXPECT_EQ(m.text(Status), "Waiting for next over ...");
    h.wait(5);
    EXPECT_EQ(h.take(),
              (Calls{"0.000 SetPTT(True)", "12.000 SendCW(False, \"R\")", "17.000 SetPTT(False)"}));
}

TEST_F(OverCycle, AReKeyWithinTheBreakGetsNoCourtesyAndCarriesTheTimeOutCount) {
    MainModel& m = start();
    h.carrier(kLinkTrue);
    h.wait(10);
    h.carrier(kLinkFalse);
    h.wait(0.5);
    h.carrier(kLinkTrue);
    EXPECT_FALSE(m.timer(Break).enabled());
    h.wait(10);
    EXPECT_EQ(m.text(txtTimeOutTime), "280");
    h.carrier(kLinkFalse);
    h.wait(6);
    EXPECT_EQ(h.take(), (Calls{"0.000 SetPTT(True)", "10.500 SetPTT(True)",
                               "21.250 SendCW(False, \"K\")", "26.250 SetPTT(False)"}));
}

TEST_F(OverCycle, TheHangCountPausesWhileALocalCarrierOutlastsTheInternetOver) {
    MainModel& m = start();
    h.rx(kLinkTrue);
    h.wait(2);
    h.carrier(kLinkTrue);
    h.wait(2);
    h.rx(kLinkFalse);  // "R" at once, hang time starts but waits for the carrier
    h.wait(10);
    EXPECT_EQ(m.text(txtHangTimeTime), "5");
    h.carrier(kLinkFalse);
    h.wait(0.75 + 5);
    EXPECT_EQ(h.take(),
              (Calls{"0.000 SetPTT(True)", "2.000 SetPTT(True)", "4.000 SendCW(False, \"R\")",
                     "14.750 SendCW(False, \"K\")", "19.000 SetPTT(False)"}));
}

TEST_F(OverCycle, ACarrierDuringTheHangTimeBeginsANewOverWithAFullHangCount) {
    MainModel& m = start();
    h.rx(kLinkTrue);
    h.rx(kLinkFalse);
    h.wait(3);
    EXPECT_EQ(m.text(txtHangTimeTime), "2");
    h.carrier(kLinkTrue);
    EXPECT_EQ(m.text(txtHangTimeTime), "5");
    EXPECT_FALSE(m.timer(HangTime).enabled());
    EXPECT_TRUE(m.timer(TimeOut).enabled());
    EXPECT_EQ(m.text(Status), "Receiving...");
}

TEST_F(OverCycle, ALostCarrierIsAnyValueButTrueAndStartsTheBreakEvenWhenIdle) {
    MainModel& m = start();
    h.carrier(1);
    EXPECT_TRUE(m.timer(Break).enabled());
    EXPECT_EQ(m.colour(LED), kGrey);
    h.carrier(kLinkFalse);  // 1 left the carrier state set; this one clears it
    h.wait(0.75 + 5);
    EXPECT_EQ(h.take(), (Calls{"0.750 SendCW(False, \"K\")", "5.750 SetPTT(False)"}));
}

TEST_F(OverCycle, TheClosedownIdentificationReloadsTheCwIdCount) {
    MainModel& m = start();
    m.setValue(IDonClosedown, 1);
    m.setText(ClosedownCW, "PY2XYZ/R");
    h.wait(100);
    h.rx(kLinkTrue);
    h.rx(kLinkFalse);
    h.wait(5);
    EXPECT_EQ(m.text(txtCWIDTime), "900");
    EXPECT_EQ(h.take(), (Calls{"100.000 SetPTT(True)", "100.000 SendCW(False, \"R\")",
                               "105.000 SendCW(False, \"PY2XYZ/R\")", "105.000 SetPTT(False)"}));
}

TEST(OverCycleHangTime, HangTimesThatCannotLandOnZeroStillCloseDown) {
    for (const char* hang : {"0", "-3", "1.5"}) {
        Harness h;  // a fresh program for each value
        MainModel& m = h.start();
        m.setText(txtHangTime, hang);
        h.take();
        h.rx(kLinkTrue);
        h.rx(kLinkFalse);
        h.wait(3);
        const Calls calls = h.take();
        ASSERT_FALSE(calls.empty()) << hang;
        EXPECT_EQ(calls.back(),
                  std::string(std::string(hang) == "1.5" ? "2.000" : "1.000") + " SetPTT(False)")
            << hang;
        EXPECT_FALSE(m.timer(HangTime).enabled()) << hang;
    }
}

TEST(OverCycleHangTime, IsNeverLongerThanTheTimeOutPeriodNorTakenFromText) {
    struct Case {
        const char* timeOut;
        const char* hang;
        const char* shown;  // on the count-down
        const char* mark;   // beside the field
    };
    for (const Case& c :
         {Case{"1", "99999999999", "60", "in force: 60"},
          Case{"0", "99999999999", "300", "in force: 300"}, Case{"5", "12,5", "12", "in force: 12"},
          Case{"5", "abc", "5", "in force: 5"}, Case{"5", "7", "7", ""}}) {
        Harness h;
        MainModel& m = h.start();
        m.setText(txtTimeOut, c.timeOut);
        m.setText(txtHangTime, c.hang);
        EXPECT_EQ(m.text(txtHangTimeTime), c.shown) << c.hang;
        EXPECT_EQ(m.text(InForceHangTime), c.mark) << c.hang;
        h.rx(kLinkTrue);
        h.rx(kLinkFalse);
        h.take();
        const double seconds = *parseNumber(c.shown);
        h.wait(seconds - 1);
        EXPECT_TRUE(h.station.ptt()) << c.hang;
        h.wait(1);
        EXPECT_FALSE(h.station.ptt()) << c.hang;
    }
    // A shorter time-out during a hang time holds the count at once.
    Harness h;
    MainModel& m = h.start();
    m.setText(txtHangTime, "200");
    h.rx(kLinkTrue);
    h.rx(kLinkFalse);
    m.setText(txtTimeOut, "0.5");
    EXPECT_EQ(m.text(txtHangTimeTime), "30");
}

TEST_F(OverCycle, ABreakOfZeroSendsTheCourtesyAtOnceInsteadOfNever) {
    MainModel& m = start();
    m.setText(BreakTime, "");
    EXPECT_EQ(m.text(BreakTime), "0");
    EXPECT_EQ(m.timer(Break).interval().count(), 0);
    h.carrier(kLinkTrue);
    h.wait(3);
    h.carrier(kLinkFalse);
    EXPECT_FALSE(m.timer(Break).enabled());
    h.wait(5);
    EXPECT_EQ(h.take(),
              (Calls{"0.000 SetPTT(True)", "3.000 SendCW(False, \"K\")", "8.000 SetPTT(False)"}));
}

TEST_F(OverCycle, ABreakSetToZeroDuringTheBreakDelayEndsItAtOnce) {
    MainModel& m = start();
    h.carrier(kLinkTrue);
    h.carrier(kLinkFalse);
    h.wait(0.5);
    m.setText(BreakTime, "0");
    EXPECT_FALSE(m.timer(Break).enabled());
    EXPECT_TRUE(m.timer(HangTime).enabled());
    EXPECT_EQ(h.take(), (Calls{"0.000 SetPTT(True)", "0.500 SendCW(False, \"K\")"}));
}

TEST_F(OverCycle, ClosingEndsTheProgramWithoutUnkeying) {
    MainModel& m = start();
    h.carrier(kLinkTrue);
    h.wait(2);
    h.station.raiseClosing();
    EXPECT_TRUE(h.program->ended());
    h.wait(400);
    h.carrier(kLinkFalse);
    EXPECT_EQ(h.take(), (Calls{"0.000 SetPTT(True)", "2.000 End"}));
    EXPECT_EQ(m.text(Status), "Receiving...");
}

TEST_F(OverCycle, TheKerchunkerReadsTheChannelOnceAndStops) {
    MainModel& m = start();
    h.traceQueries = true;
    h.wait(10);
    EXPECT_EQ(h.take(), (Calls{"2.500 GetRX() = False", "2.500 GetCarrier() = False"}));
    EXPECT_FALSE(m.timer(Kerchunker).enabled());
}

}  // namespace
}  // namespace relaydeck::testing
