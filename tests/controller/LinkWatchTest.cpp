// The main window while the link program does not answer a call.
#include <gtest/gtest.h>

#include "Harness.h"

namespace relaydeck::testing {
namespace {

using enum MainControl;
using std::chrono::milliseconds;
using std::chrono::seconds;

class EventNames : public ActivitySink {
  public:
    void record(const ActivityRecord& r) override {
        std::string line = activityEventName(r.event);
        if (r.duration) line += " " + std::to_string(r.duration->count()) + "ms";
        if (!r.detail.empty()) line += " " + r.detail;
        lines.push_back(line);
    }
    bool has(const std::string& line) const {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    std::vector<std::string> lines;
};

struct WatchHarness : Harness {
    MainModel& startRecording() {
        newProgram();
        recording = program->setActivity(records);
        program->showMain();
        drain();
        return main();
    }
    EventNames records;
    Connection recording;
};

constexpr const char* kTitle = "Relaydeck v1.1 - N0CALL";

TEST(LinkWatch, ACourtesyThatWaitsTenSecondsIsShownThenTheOverGoesOnOnce) {
    WatchHarness h;
    MainModel& main = h.startRecording();
    ASSERT_EQ(main.caption(), kTitle);
    h.carrier(kLinkTrue);
    h.wait(1);
    h.carrier(kLinkFalse);
    h.take();

    std::vector<std::string> titles;
    std::optional<ActivityTime> since;
    h.station.stallNextCall(seconds(10), [&] {
        titles.push_back(main.caption());
        since = main.linkNotAnsweringSince();
        h.wait(3);  // ticks meanwhile (a box's loop) are skipped: no call queues behind
    });
    h.wait(0.75);
    EXPECT_EQ(titles,
              std::vector<std::string>{std::string(kTitle) + " - EchoLink not answering for 10 s"});
    ASSERT_TRUE(since.has_value());
    // The clock stands still while the station tells of the wait: since the first second.
    EXPECT_EQ(*since, ActivityTime(milliseconds(750)));
    EXPECT_EQ(main.caption(), kTitle);
    EXPECT_FALSE(main.linkNotAnsweringSince());
    EXPECT_TRUE(h.records.has("link-not-answering 10000ms"));

    h.wait(10);
    // The call is recorded when it is answered, after the 3 s that passed meanwhile.
    EXPECT_EQ(h.take(), (Calls{"4.750 SendCW(False, \"K\")", "9.750 SetPTT(False)"}));
}

TEST(LinkWatch, LeavingWhileTheLinkDoesNotAnswerMakesNoCallAndSaysSo) {
    for (const bool throughTheMenu : {false, true}) {
        WatchHarness h;
        MainModel& main = h.startRecording();
        h.carrier(kLinkTrue);
        h.carrier(kLinkFalse);
        h.take();
        h.op.answers.push_back(MessageAnswer::Yes);
        h.station.stallNextCall(seconds(30), [&] {
            if (throughTheMenu) {
                main.click(mnuExit);
            } else {
                EXPECT_TRUE(main.requestClose());
            }
        });
        h.wait(0.75);
        EXPECT_TRUE(h.program->ended());
        // The courtesy's own call goes on once answered; no unkeying call queues behind it.
        EXPECT_EQ(h.take(), (Calls{"0.750 End", "0.750 SendCW(False, \"K\")"})) << throughTheMenu;
        EXPECT_TRUE(
            h.records.has("link-not-answering 1000ms the transmitter could not be released"));
    }
}

}  // namespace
}  // namespace relaydeck::testing
