// The activity window on Qt: live while shown, idle while hidden, the status line.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTableView>

#include "activity/TimelineDrawing.h"
#include "controller/VirtualClock.h"
#include "ui/ActivityWindow.h"

namespace relaydeck {
namespace {

using namespace std::chrono;
using C = ActivityControl;

struct ActivityRig {
    ActivityRig() : model(journal, clock), window(model) {}
    void record(ActivityEvent event, std::optional<milliseconds> duration = std::nullopt) {
        journal.record({clock.wallTime(), event, duration, ""});
    }
    QString label(C c) const { return qobject_cast<QLabel*>(window.control(c))->text(); }
    int rows() const { return window.table()->model()->rowCount(); }

    VirtualClock clock;
    ActivityJournal journal;
    ActivityModel model;
    ActivityWindow window;
};

TEST(ActivityWindow, HiddenItDoesNoWorkAndCatchesUpWhenOpened) {
    ActivityRig rig;
    rig.clock.setOrigin(ActivityTime{sys_days{year{2026} / December / 7}} + hours{9});
    rig.record(ActivityEvent::LocalOverBegun);
    rig.record(ActivityEvent::TransmitterOn);
    rig.clock.advance(seconds{30});
    EXPECT_TRUE(rig.model.stale());
    EXPECT_EQ(rig.rows(), 0);
    EXPECT_EQ(rig.label(C::lblLocalOvers), "0");

    rig.model.open();
    EXPECT_TRUE(rig.window.isVisible());
    EXPECT_FALSE(rig.model.stale());
    EXPECT_EQ(rig.rows(), 2);
    EXPECT_EQ(rig.label(C::lblLocalOvers), "1");
    EXPECT_EQ(rig.label(C::lblTransmitterTime), "0:30");  // still keyed: counts up to now

    // Shown: each record and each second bring it up to date.
    rig.record(ActivityEvent::LocalOverEnded, seconds{31});
    EXPECT_EQ(rig.rows(), 3);
    EXPECT_EQ(rig.label(C::lblLongestOver), "0:31");
    rig.clock.advance(seconds{5});
    EXPECT_EQ(rig.label(C::lblTransmitterTime), "0:35");
    const QModelIndex first = rig.window.table()->model()->index(0, 1);
    EXPECT_EQ(first.data().toString(), "local-over-begun");

    // Closed by its close box: the ticking stops and new records do nothing.
    rig.window.close();
    EXPECT_FALSE(rig.model.isVisible());
    rig.record(ActivityEvent::TimeOut);
    rig.clock.advance(minutes{5});
    EXPECT_EQ(rig.rows(), 3);
    EXPECT_EQ(rig.label(C::lblTimeOuts), "0");
    rig.model.open();
    EXPECT_EQ(rig.rows(), 4);
    EXPECT_EQ(rig.label(C::lblTimeOuts), "1");
}

TEST(ActivityWindow, AWriteFailureStaysInTheStatusLineUntilWritingWorksAgain) {
    ActivityRig rig;
    rig.model.setStatus("Log files in /srv/relaydeck");
    EXPECT_EQ(rig.label(C::lblStatus), "Log files in /srv/relaydeck");
    rig.model.setWriteFailure("The activity log could not be written to /srv/x.csv.");
    rig.model.setStatus("Log files in /srv/relaydeck");
    EXPECT_EQ(rig.label(C::lblStatus), "The activity log could not be written to /srv/x.csv.");
    rig.model.setWriteFailure(std::nullopt);
    EXPECT_EQ(rig.label(C::lblStatus), "Log files in /srv/relaydeck");
}

TEST(ActivityWindow, ANewDayStartsTheTableAfresh) {
    ActivityRig rig;
    rig.model.open();
    rig.record(ActivityEvent::FanOn);
    rig.record(ActivityEvent::IdSpeech);
    EXPECT_EQ(rig.rows(), 2);
    rig.model.close();  // a day of ticks would only slow the test
    rig.clock.advance(hours{25});
    rig.model.open();
    EXPECT_EQ(rig.rows(), 2);
    rig.record(ActivityEvent::FanOff);
    EXPECT_EQ(rig.rows(), 1);
    EXPECT_EQ(rig.label(C::lblIdentifications), "0");
}

TEST(ActivityWindow, TheTimelineReachesBackAnHourOrToTheDaysFirstRecord) {
    ActivityRig rig;
    rig.clock.advance(hours{2});
    const ActivityTime start = rig.clock.wallTime();
    rig.record(ActivityEvent::ProgramStarted);
    rig.clock.advance(minutes{2});
    EXPECT_EQ(rig.model.timeline().from, rig.clock.wallTime() - minutes{5});
    rig.clock.advance(minutes{18});
    EXPECT_EQ(rig.model.timeline().from, start);
    rig.clock.advance(hours{1});
    EXPECT_EQ(rig.model.timeline().from, rig.clock.wallTime() - hours{1});
    EXPECT_EQ(rig.model.timeline().to, rig.clock.wallTime());

    // Round steps on the axis, never under a minute for clock times.
    EXPECT_EQ(timelineAxisStep(minutes{5}, 8, minutes{1}), minutes{1});
    EXPECT_EQ(timelineAxisStep(minutes{20}, 8, minutes{1}), minutes{5});
    EXPECT_EQ(timelineAxisStep(hours{1}, 8, minutes{1}), minutes{10});
}

}  // namespace
}  // namespace relaydeck
