#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "Harness.h"
#include "controller/StateSnapshot.h"
#include "controller/StationControl.h"

namespace relaydeck::testing {
namespace {

using enum MainControl;
using Calls = std::vector<std::string>;

struct Recorded : ActivitySink {
    void record(const ActivityRecord& r) override { records.push_back(r); }
    std::vector<ActivityRecord> records;
};

class RepeaterSwitch : public ::testing::Test {
  protected:
    MainModel& start() {
        h.newProgram();
        recording = h.program->setActivity(log);
        control = std::make_unique<StationControl>(*h.program, options, log, h.clock);
        observing = h.program->addObserver(*control);
        h.program->showMain();
        h.drain();
        h.take();
        return h.main();
    }
    Harness h;
    SettingsStore options{h.folder_, "RELAYDECK"};
    Recorded log;
    Connection recording;
    Connection observing;
    std::unique_ptr<StationControl> control;
};

TEST_F(RepeaterSwitch, OffUnkeysAtOnceKeysNothingAndStaysOffAcrossARestart) {
    MainModel& m = start();
    h.carrier(kLinkTrue);
    h.wait(2);
    control->perform(StationCommand::RepeaterOff, "192.0.2.7");
    h.drain();
    EXPECT_EQ(h.take(), (Calls{"0.000 SetPTT(True)", "2.000 SetPTT(False)"}));
    EXPECT_EQ(m.text(Status), "Repeater off");
    EXPECT_FALSE(h.station.ptt());

    // Carrier, Internet audio and the periodic identification key nothing while off.
    h.carrier(kLinkFalse);
    h.rx(kLinkTrue);
    h.rx(kLinkFalse);
    h.carrier(kLinkTrue);
    h.wait(1000);
    h.carrier(kLinkFalse);
    m.click(mnuSendCWID);
    EXPECT_EQ(h.take(), Calls{});
    EXPECT_EQ(m.text(Status), "Repeater off");
    EXPECT_NE(h.fileText().find("REPEATER_OFF=1"), std::string::npos);

    // The control and its origin are in the log, then the switch itself.
    ASSERT_GE(log.records.size(), 2u);
    const auto noted = std::find_if(log.records.begin(), log.records.end(),
                                    [](auto& r) { return r.event == ActivityEvent::Control; });
    ASSERT_NE(noted, log.records.end());
    EXPECT_EQ(noted->detail, "repeater-off from 192.0.2.7");
    EXPECT_EQ((noted + 1)->event, ActivityEvent::RepeaterOff);

    // A new run starts off; turning it on again repeats as before.
    h.program.reset();
    MainModel& again = start();
    EXPECT_TRUE(again.repeaterOff());
    EXPECT_EQ(again.text(Status), "Repeater off");
    control->perform(StationCommand::RepeaterOn, "the window");
    h.carrier(kLinkTrue);
    EXPECT_EQ(h.take(), (Calls{"1002.000 SetPTT(True)"}));
    EXPECT_NE(h.fileText().find("REPEATER_OFF=0"), std::string::npos);
}

TEST_F(RepeaterSwitch, CommandsRunAsTheMenuDoes) {
    MainModel& m = start();
    control->perform(StationCommand::CwId, "192.0.2.7");
    control->perform(StationCommand::FanOn, "192.0.2.7");
    control->perform(StationCommand::FanOn, "192.0.2.7");  // already on: no second switch
    h.drain();
    const Calls calls = h.take();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_NE(calls[0].find("SendCW"), std::string::npos);
    EXPECT_NE(calls[1].find("SetAux(True)"), std::string::npos);
    EXPECT_NE(m.colour(FanLED), kGrey);
    EXPECT_EQ(findStationCommand("time-out-reset"), StationCommand::TimeOutReset);
    EXPECT_EQ(findStationCommand("format-disk"), std::nullopt);
}

TEST(SnapshotBoard, ReadersNeverSeeAHalfWrittenSnapshotUnderABurst) {
    SnapshotBoard board;
    std::atomic<bool> done{false};
    std::atomic<int> torn{0};
    std::thread reader([&] {
        std::uint64_t last = 0;
        while (!done) {
            const StateSnapshot s = board.latest();
            if (s.sequence < last || s.status != s.cwIdCount ||
                s.counters.localOvers != static_cast<std::uint64_t>(s.uptime.count())) {
                ++torn;
            }
            last = s.sequence;
        }
    });
    for (int i = 1; i <= 20000; ++i) {
        StateSnapshot s;
        s.status = s.cwIdCount = std::to_string(i);
        s.counters.localOvers = static_cast<std::uint64_t>(i);
        s.uptime = std::chrono::seconds(i);
        board.publish(s);
        board.publish(s);  // unchanged: not a new sequence
    }
    done = true;
    reader.join();
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(board.latest().sequence, 20000u);
}

}  // namespace
}  // namespace relaydeck::testing
