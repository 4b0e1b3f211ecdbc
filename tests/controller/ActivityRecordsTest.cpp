#include <gtest/gtest.h>

#include <stdexcept>

#include "Harness.h"

namespace relaydeck::testing {
namespace {

using enum MainControl;
using std::chrono::milliseconds;
using E = ActivityEvent;

/// Keeps every record as "T event [duration] [detail]" with T in virtual seconds.
class RecordingSink : public ActivitySink {
  public:
    void record(const ActivityRecord& r) override {
        const long long ms = r.time.time_since_epoch().count();
        std::string line =
            std::to_string(ms / 1000) + "." + pad(ms % 1000) + " " + activityEventName(r.event);
        if (r.duration) line += " " + std::to_string(r.duration->count()) + "ms";
        if (!r.detail.empty()) line += " \"" + r.detail + "\"";
        lines.push_back(line);
        if (onRecord) onRecord();
    }
    std::function<void()> onRecord;
    std::vector<std::string> take() {
        std::vector<std::string> out;
        out.swap(lines);
        return out;
    }
    std::vector<std::string> lines;

  private:
    static std::string pad(long long v) {
        std::string s = std::to_string(v);
        return std::string(3 - s.size(), '0') + s;
    }
};

class ThrowingSink : public ActivitySink {
  public:
    void record(const ActivityRecord&) override { throw std::runtime_error("disk full"); }
};

struct ActivityHarness : Harness {
    explicit ActivityHarness(ActivitySink* sink = nullptr) : sink_(sink ? sink : &recorded) {}
    MainModel& startRecording() {
        newProgram();
        recording = program->setActivity(*sink_);
        program->showMain();
        drain();
        return main();
    }
    void activityRequested() override { ++activityRequests; }
    RecordingSink recorded;
    ActivitySink* sink_;
    Connection recording;
    int activityRequests = 0;
};

using Records = std::vector<std::string>;

TEST(ActivityRecords, ALocalOverFromCarrierToClosedown) {
    ActivityHarness h;
    h.ini("[SETTINGS]");
    h.ini("SPEECHINTERVAL=0");
    h.startRecording();
    h.wait(10);
    h.carrier(kLinkTrue);
    h.carrier(kLinkTrue);  // a repeated event is not a second over
    h.wait(20);
    h.carrier(kLinkFalse);
    h.wait(10);
    EXPECT_EQ(h.recorded.take(),
              (Records{"0.000 program-started \"N0CALL\"", "10.000 local-over-begun",
                       "10.000 transmitter-on", "30.000 local-over-ended 20000ms",
                       "30.750 courtesy \"K\"", "35.750 transmitter-off 25750ms"}));
}

TEST(ActivityRecords, AnInternetOverAndAnOverlappingLocalOne) {
    ActivityHarness h;
    h.ini("[SETTINGS]");
    h.ini("SPEECHINTERVAL=0");
    h.startRecording();
    h.recorded.take();
    h.wait(5);
    h.rx(kLinkTrue);
    h.wait(15);
    h.carrier(kLinkTrue);  // a local station comes in under the Internet audio
    h.rx(kLinkFalse);
    h.wait(3);
    h.carrier(kLinkFalse);
    h.wait(10);
    EXPECT_EQ(h.recorded.take(),
              (Records{"5.000 internet-over-begun", "5.000 transmitter-on",
                       "20.000 local-over-begun", "20.000 internet-over-ended 15000ms",
                       "20.000 courtesy \"R\"", "23.000 local-over-ended 3000ms",
                       "23.750 courtesy \"K\"", "28.000 transmitter-off 23000ms"}));
}

TEST(ActivityRecords, ATimeOutAndTheRecoveryOnceTheChannelIsClear) {
    ActivityHarness h;
    h.ini("[SETTINGS]");
    h.ini("TIMEOUT=1");
    h.ini("SPEECHINTERVAL=0");
    h.startRecording();
    h.recorded.take();
    h.carrier(kLinkTrue);
    h.wait(60);
    EXPECT_EQ(h.recorded.take(), (Records{"0.000 local-over-begun", "0.000 transmitter-on",
                                          "60.000 time-out", "60.000 transmitter-off 60000ms"}));
    // The station keys again while timed out: heard, not repeated.
    h.carrier(kLinkFalse);
    h.carrier(kLinkTrue);
    h.wait(5);
    h.carrier(kLinkFalse);
    h.wait(1);
    EXPECT_EQ(h.recorded.take(), (Records{"60.000 local-over-ended 60000ms",
                                          "60.000 local-over-begun \"not repeated: timed out\"",
                                          "60.750 courtesy \"K\"", "65.000 local-over-ended 5000ms",
                                          "65.500 recovery 5500ms", "65.750 courtesy \"K\""}));
}

TEST(ActivityRecords, EveryKindOfIdentificationWithItsText) {
    ActivityHarness h;
    h.station.setCallsign("PY2XYZ");
    h.ini("[SETTINGS]");
    h.ini("CWIDTEXT=PY2XYZ/R");
    h.ini("CWINTERVAL=1");
    h.ini("SPEECHINTERVAL=2");
    h.ini("IDONCLOSEDOWN=1");
    h.ini("CLOSEDOWNCWID=PY2XYZ QRT");
    MainModel& m = h.startRecording();
    h.recorded.take();
    h.wait(60);
    h.wait(60);  // the Morse identification again, the speech one falls due idle
    m.click(mnuSendCWID);
    m.click(mnuSendSpeechID);
    h.carrier(kLinkTrue);
    h.carrier(kLinkFalse);
    h.wait(10);
    Records ids;
    for (const std::string& line : h.recorded.take()) {
        if (line.find(" id-") != std::string::npos) ids.push_back(line);
    }
    EXPECT_EQ(
        ids,
        (Records{"60.000 id-periodic-morse \"PY2XYZ/R\"", "120.000 id-speech \"PY2XYZ\"",
                 "120.000 id-periodic-morse \"PY2XYZ/R\"", "120.000 id-manual-morse \"PY2XYZ/R\"",
                 "120.000 id-manual-speech \"PY2XYZ\"", "125.750 id-closedown \"PY2XYZ QRT\""}));
}

TEST(ActivityRecords, ARefusedOrDroppedIdentificationIsNotRecorded) {
    ActivityHarness h;
    h.ini("[SETTINGS]");
    h.ini("SPEECHINTERVAL=1");
    MainModel& m = h.startRecording();
    h.wait(59);
    h.carrier(kLinkTrue);
    h.wait(1);  // the speech identification falls due under the carrier: dropped
    h.recorded.take();
    m.click(mnuSendCWID);  // refused under the local carrier
    m.click(mnuSendSpeechID);
    EXPECT_EQ(h.recorded.take(), Records{});
}

TEST(ActivityRecords, TheFanSwitch) {
    ActivityHarness h;
    MainModel& m = h.startRecording();
    h.recorded.take();
    m.click(FanLabel);
    h.wait(2);
    m.click(FanLabel);
    EXPECT_EQ(h.recorded.take(), (Records{"0.000 fan-on", "2.000 fan-off"}));
}

TEST(ActivityRecords, ALinkFailureWithItsTextThenTheUnkeyingAndTheEnd) {
    ActivityHarness h;
    h.startRecording();
    h.carrier(kLinkTrue);
    h.wait(1);
    h.carrier(kLinkFalse);
    h.station.failNext("SendCW");
    h.wait(1);
    const Records records = h.recorded.take();
    ASSERT_GE(records.size(), 4u);
    EXPECT_EQ(
        Records(records.end() - 3, records.end()),
        (Records{"1.750 link-failure \"" +
                     Program::failureText(Program::kLinkFailed, "The call SendCW failed.") + "\"",
                 "1.750 transmitter-off 1750ms", "1.750 program-ended 1750ms"}));
}

// A handler's link calls never wait for its records, and a box never waits with them.
TEST(ActivityRecords, AHandlersRecordsAreKeptAfterItsCallsAndBeforeAnyBox) {
    ActivityHarness h;
    h.startRecording();
    h.recorded.take();
    std::size_t callsAtFirstRecord = 0;
    h.recorded.onRecord = [&] {
        if (callsAtFirstRecord == 0) callsAtFirstRecord = h.calls.size();
    };
    h.take();
    h.carrier(kLinkTrue);
    EXPECT_EQ(h.recorded.take(), (Records{"0.000 local-over-begun", "0.000 transmitter-on"}));
    EXPECT_EQ(callsAtFirstRecord, h.calls.size());  // SetPTT first

    Records seenByTheBox;
    h.op.whileOpen = [&] { seenByTheBox = h.recorded.lines; };
    h.station.failNext("SetPTT");
    h.main().click(mnuExit);
    ASSERT_EQ(h.op.boxes.size(), 1u);
    ASSERT_EQ(seenByTheBox.size(), 2u);
    EXPECT_NE(seenByTheBox[0].find("link-failure"), std::string::npos) << seenByTheBox[0];
}

TEST(ActivityRecords, TheExitCommandEndsTheRunWithItsLength) {
    ActivityHarness h;
    MainModel& m = h.startRecording();
    h.carrier(kLinkTrue);
    h.wait(42);
    h.recorded.take();
    m.click(mnuExit);
    EXPECT_EQ(h.recorded.take(),
              (Records{"42.000 transmitter-off 42000ms", "42.000 program-ended 42000ms"}));
}

// The sink may fail in any way: what goes on the air stays exactly the same.
TEST(ActivityRecords, ASinkThatThrowsChangesNothingOnTheAir) {
    const auto run = [](ActivitySink* sink) {
        ActivityHarness h(sink);
        h.ini("[SETTINGS]");
        h.ini("TIMEOUT=1");
        h.ini("IDONCLOSEDOWN=1");
        MainModel& m = h.startRecording();
        h.carrier(kLinkTrue);
        h.wait(61);
        h.carrier(kLinkFalse);
        h.wait(10);
        h.rx(kLinkTrue);
        h.wait(5);
        h.rx(kLinkFalse);
        m.click(FanLabel);
        m.click(mnuSendSpeechID);
        h.wait(900);
        m.click(mnuExit);
        return h.take();
    };
    ThrowingSink throwing;
    const Calls quiet = run(nullptr);
    EXPECT_EQ(run(&throwing), quiet);
    EXPECT_GT(quiet.size(), 10u);
}

TEST(ActivityRecords, TheActivityEntryOpensRelaydecksOwnMenuAndAsksTheFrontEnd) {
    const auto controls = mainControlDefinitions();
    const auto last = controls[static_cast<std::size_t>(mnuActivity)];
    EXPECT_EQ(kFirstOwnMenuEntry, mnuActivity);
    EXPECT_EQ(static_cast<int>(mnuActivity) + 1, static_cast<int>(mnuUnattended));
    EXPECT_STREQ(last.name, "mnuActivity");
    EXPECT_STREQ(last.text, "Atividade");
    EXPECT_EQ(last.kind, ControlKind::MenuItem);
    EXPECT_STREQ(controls[static_cast<std::size_t>(mnuAbout)].text, "Sobre");

    ActivityHarness h;
    MainModel& m = h.startRecording();
    m.click(mnuActivity);
    EXPECT_EQ(h.activityRequests, 1);
    m.click(mnuExit);
    m.click(mnuActivity);  // an ended program opens nothing
    EXPECT_EQ(h.activityRequests, 1);
}

TEST(ActivityRecords, TheVirtualClockGivesTheTimeOfDayFromItsOrigin) {
    VirtualClock clock;
    EXPECT_EQ(clock.wallTime().time_since_epoch(), milliseconds{0});
    clock.setOrigin(ActivityTime{milliseconds{1'000'000}});
    clock.advance(milliseconds{2500});
    EXPECT_EQ(clock.wallTime().time_since_epoch(), milliseconds{1'002'500});
}

}  // namespace
}  // namespace relaydeck::testing
