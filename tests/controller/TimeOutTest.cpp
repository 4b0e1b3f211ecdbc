#include <gtest/gtest.h>

#include "Harness.h"

namespace relaydeck::testing {
namespace {

using enum MainControl;

TEST(TimeOut, ALocalOverTimesOutOnTheThreeHundredthTickAndRecoversWhenClear) {
    Harness h;
    h.station.setCallsign("PY2XYZ");
    MainModel& m = h.start();
    h.take();
    h.carrier(kLinkTrue);
    h.wait(299);
    EXPECT_FALSE(m.timedOut());
    h.wait(1);
    EXPECT_TRUE(m.timedOut());
    EXPECT_EQ(m.colour(TOLED), kYellow);
    EXPECT_EQ(m.text(Status), "TimeOut...!");
    EXPECT_EQ(m.text(txtTimeOutTime), "300");
    EXPECT_TRUE(m.timer(CheckClear).enabled());
    EXPECT_FALSE(m.timer(TimeOut).enabled());
    EXPECT_EQ(m.colour(PTTLED), kGrey);

    // The carrier is held: every new over is refused, the wait goes on.
    h.wait(20);
    h.rx(kLinkTrue);
    h.rx(kLinkFalse);
    h.carrier(kLinkFalse);  // the end of the timed-out over still runs
    h.wait(0.4);
    EXPECT_TRUE(m.timedOut());
    h.wait(0.1);
    EXPECT_FALSE(m.timedOut());
    EXPECT_EQ(m.colour(TOLED), kGrey);
    h.wait(10);
    EXPECT_EQ(h.take(), (Calls{"0.000 SetPTT(True)",
                               "300.000 SendStationText(\"You have timed-out with PY2XYZ\")",
                               "300.000 SendCW(False, \"SSS\")", "300.000 SetPTT(False)",
                               "320.000 SetPTT(False)", "320.000 SendCW(False, \"R\")",
                               "320.500 PlayPrompt(7)", "320.500 SendCW(False, \"********OK*\")",
                               "320.750 SendCW(False, \"K\")", "325.000 SetPTT(False)"}));
}

TEST(TimeOut, APeriodicIdentificationGoesOnAfterTheRecovery) {
    Harness h;
    MainModel& m = h.start();
    m.setText(txtIDInterval, "6");  // 360 s
    h.take();
    h.rx(kLinkTrue);
    h.wait(300);
    h.rx(kLinkFalse);
    h.wait(0.5);
    EXPECT_EQ(m.text(txtCWIDTime), "360");
    EXPECT_TRUE(m.timer(IDInterval).enabled());
    h.wait(360);
    const Calls calls = h.take();
    EXPECT_EQ(calls.back(), "660.000 SendCW(False, \"\")");
}

TEST(TimeOut, AFractionalTimeOutStillTimesOutAndZeroOrEmptyMeansNone) {
    {
        Harness h;
        MainModel& m = h.start();
        m.setText(txtTimeOut, "0.01");  // 0.6 s
        EXPECT_EQ(m.text(txtTimeOutTime), "0.6");
        h.carrier(kLinkTrue);
        h.wait(1);
        EXPECT_TRUE(m.timedOut());
    }
    for (const char* none : {"0", ""}) {
        Harness h;
        MainModel& m = h.start();
        m.setText(txtTimeOut, none);
        EXPECT_EQ(m.text(txtTimeOutTime), "0");
        h.carrier(kLinkTrue);
        h.wait(3600);
        EXPECT_FALSE(m.timedOut()) << none;
        EXPECT_EQ(m.text(txtTimeOutTime), "-3600");
    }
}

TEST(TimeOut, TheTOCaptionRestartsTheCountDuringAnOver) {
    Harness h;
    MainModel& m = h.start();
    h.rx(kLinkTrue);
    h.wait(200);
    m.click(Label14);
    EXPECT_EQ(m.text(txtTimeOutTime), "300");
    h.wait(299);
    EXPECT_FALSE(m.timedOut());
    m.setText(txtTimeOut, "10");
    EXPECT_EQ(m.text(txtTimeOutTime), "600");
    EXPECT_TRUE(m.timer(TimeOut).enabled());
}

}  // namespace
}  // namespace relaydeck::testing
