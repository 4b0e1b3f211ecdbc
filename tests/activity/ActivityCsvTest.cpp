#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <thread>

#include "TempFolder.h"
#include "activity/ActivityCsv.h"
#include "activity/ActivityFileWriter.h"
#include "activity/StationActivity.h"
#include "controller/VirtualClock.h"

namespace relaydeck {
namespace {

using namespace std::chrono;
using test::readBytes;
using test::TempFolder;
using test::writeBytes;

ActivityTime at(year_month_day day, hours h, minutes m = minutes{0}, seconds s = seconds{0},
                milliseconds ms = milliseconds{0}) {
    return ActivityTime{sys_days{day}} + h + m + s + ms;
}

constexpr year_month_day kDay{year{2026}, December, day{7}};

TEST(ActivityCsv, LinesCarryLocalTimeEventDurationAndAQuotedDetail) {
    const ActivityRecord over{at(kDay, hours{13}, minutes{46}, seconds{1}, milliseconds{250}),
                              ActivityEvent::LocalOverEnded, milliseconds{12'005}, ""};
    EXPECT_EQ(activityCsvLine(over, {}), "2026-12-07 13:46:01.250,local-over-ended,12.005,");
    // Three hours behind UTC: the same moment is 10:46 local time.
    const UtcOffset brasilia = [](ActivityTime) { return hours{-3}; };
    EXPECT_EQ(activityCsvLine(over, brasilia), "2026-12-07 10:46:01.250,local-over-ended,12.005,");

    const ActivityRecord failure{at(kDay, hours{0}), ActivityEvent::LinkFailure, std::nullopt,
                                 "EchoLink failed: \"Busy\", try again\nlater"};
    EXPECT_EQ(activityCsvLine(failure, {}),
              "2026-12-07 00:00:00.000,link-failure,,"
              "\"EchoLink failed: \"\"Busy\"\", try again later\"");
    EXPECT_EQ(activityCsvLine({at(kDay, hours{23}), ActivityEvent::IdSpeech, {}, "PY2XYZ"}, {}),
              "2026-12-07 23:00:00.000,id-speech,,PY2XYZ");
}

TEST(ActivityCsv, SecondsAndClockTimesAreWrittenWithoutTheLocale) {
    EXPECT_EQ(formatSeconds(milliseconds{0}), "0.000");
    EXPECT_EQ(formatSeconds(milliseconds{7}), "0.007");
    EXPECT_EQ(formatSeconds(milliseconds{3'600'050}), "3600.050");
    EXPECT_EQ(formatSeconds(milliseconds{-1500}), "-1.500");
    EXPECT_EQ(formatActivityTime(local_time<milliseconds>{milliseconds{0}}),
              "1970-01-01 00:00:00.000");
    EXPECT_EQ(formatActivityTime(local_days{kDay} + hours{9} + minutes{5} + milliseconds{40}),
              "2026-12-07 09:05:00.040");
}

TEST(ActivityCsv, FileNamesAndTheDaysTheyName) {
    EXPECT_EQ(activityFileName(kDay), "relaydeck-activity-2026-12-07.csv");
    EXPECT_EQ(activityFileDay("relaydeck-activity-2026-12-07.csv"), kDay);
    for (const char* other :
         {"relaydeck-activity-2026-02-30.csv", "relaydeck-activity-2026-12-07.csv.bak",
          "relaydeck-activity-2026-1207.csv", "relaydeck-activity-2026-12-0x.csv", "relaydeck.ini",
          "Relaydeck-activity-2026-12-07.csv", ""}) {
        EXPECT_EQ(activityFileDay(other), std::nullopt) << other;
    }
}

TEST(ActivityFile, AppendsUnderOneHeaderAndStartsANewFileEachLocalDay) {
    TempFolder folder;
    const UtcOffset brasilia = [](ActivityTime) { return hours{-3}; };
    ActivityFile file(folder.path(), brasilia);
    file.record({at(kDay, hours{12}), ActivityEvent::ProgramStarted, {}, "PY2XYZ"});
    file.record({at(kDay, hours{12}, minutes{1}), ActivityEvent::FanOn, {}, ""});
    // 02:30 UTC on the 8th is still the evening of the 7th in local time.
    file.record({at(kDay, hours{26}, minutes{30}), ActivityEvent::FanOff, {}, ""});
    file.record({at(kDay, hours{27}, minutes{30}), ActivityEvent::FanOn, {}, ""});

    EXPECT_EQ(readBytes(folder.path() / "relaydeck-activity-2026-12-07.csv"),
              "time,event,duration,detail\r\n"
              "2026-12-07 09:00:00.000,program-started,,PY2XYZ\r\n"
              "2026-12-07 09:01:00.000,fan-on,,\r\n"
              "2026-12-07 23:30:00.000,fan-off,,\r\n");
    EXPECT_EQ(readBytes(folder.path() / "relaydeck-activity-2026-12-08.csv"),
              "time,event,duration,detail\r\n"
              "2026-12-08 00:30:00.000,fan-on,,\r\n");
    EXPECT_EQ(file.failure(), std::nullopt);
}

TEST(ActivityFile, AFileRemovedDuringTheDayIsStartedAgainWithItsHeader) {
    TempFolder folder;
    ActivityFile file(folder.path());
    file.record({at(kDay, hours{8}), ActivityEvent::FanOn, {}, ""});
    std::filesystem::remove(file.fileFor(at(kDay, hours{8})));
    file.record({at(kDay, hours{9}), ActivityEvent::FanOff, {}, ""});
    EXPECT_EQ(readBytes(file.fileFor(at(kDay, hours{9}))),
              "time,event,duration,detail\r\n2026-12-07 09:00:00.000,fan-off,,\r\n");
}

TEST(ActivityFile, OldDaysGoByTheirDatesNeverAllAtOnceByAClockJump) {
    TempFolder folder;
    const auto dayFile = [&](year_month_day day) { return folder.path() / activityFileName(day); };
    const auto before = [](int n) { return year_month_day{sys_days{kDay} - days{n}}; };
    const auto kept = [&](int n) { return std::filesystem::exists(dayFile(before(n))); };
    // Every other day of the last 40, and files of other kinds.
    for (int n = 2; n <= 40; n += 2) writeBytes(dayFile(before(n)), "x");
    writeBytes(folder.path() / "relaydeck.ini", "[SETTINGS]");
    writeBytes(folder.path() / "relaydeck-activity-notes.csv", "mine");
    writeBytes(folder.path() / "relaydeck-activity-2026-13-01.csv", "mine");

    // Ordinary aging: more than 31 days before today goes, by date and not by count.
    ActivityFile file(folder.path());
    file.record({at(kDay, hours{1}), ActivityEvent::FanOn, {}, ""});
    EXPECT_TRUE(kept(30));
    EXPECT_FALSE(kept(32));
    EXPECT_FALSE(kept(40));
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "relaydeck.ini"));
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "relaydeck-activity-notes.csv"));
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "relaydeck-activity-2026-13-01.csv"));

    // The clock jumps half a year forward: the old days age by the days written since.
    const auto later = [](int n) { return at(kDay, hours{24 * (180 + n)}); };
    file.record({later(0), ActivityEvent::FanOff, {}, ""});
    EXPECT_TRUE(kept(30));
    EXPECT_TRUE(std::filesystem::exists(dayFile(kDay)));
    file.record({later(1), ActivityEvent::FanOn, {}, ""});
    file.record({later(2), ActivityEvent::FanOff, {}, ""});
    // Three days written since: today's file stands as 3 days on, so day 30 is 33 days old.
    EXPECT_FALSE(kept(30));
    EXPECT_TRUE(kept(28));

    // Set back a year: the days "ahead" are left alone, and so is the day written to.
    ActivityFile shortMemory(folder.path(), {}, 0);
    const ActivityTime back = at(kDay, -hours{24 * 365});
    shortMemory.record({back, ActivityEvent::FanOn, {}, ""});
    EXPECT_TRUE(std::filesystem::exists(shortMemory.fileFor(back)));
    EXPECT_TRUE(kept(28));
    EXPECT_TRUE(std::filesystem::exists(file.fileFor(later(2))));
}

TEST(ActivityFile, AFailingWriteIsSaidAndClearedWhenWritingWorksAgain) {
    TempFolder folder;
    const auto missing = folder.path() / "gone";
    std::vector<std::optional<std::string>> said;
    ActivityFile file(missing, {}, ActivityFile::kDefaultKeepDays,
                      [&](const std::optional<std::string>& text) { said.push_back(text); });
    EXPECT_NO_THROW(file.record({at(kDay, hours{8}), ActivityEvent::FanOn, {}, ""}));
    EXPECT_NO_THROW(file.record({at(kDay, hours{9}), ActivityEvent::FanOff, {}, ""}));
    ASSERT_EQ(said.size(), 1u);
    ASSERT_TRUE(said[0]);
    EXPECT_NE(said[0]->find("relaydeck-activity-2026-12-07.csv"), std::string::npos) << *said[0];
    EXPECT_EQ(file.failure(), said[0]);

    // The folder comes back: the next record is written and the failure is over.
    std::filesystem::create_directories(missing);
    file.record({at(kDay, hours{10}), ActivityEvent::FanOn, {}, ""});
    EXPECT_EQ(readBytes(file.fileFor(at(kDay, hours{10}))),
              "time,event,duration,detail\r\n2026-12-07 10:00:00.000,fan-on,,\r\n");
    EXPECT_EQ(said, (std::vector<std::optional<std::string>>{said[0], std::nullopt}));
    EXPECT_EQ(file.failure(), std::nullopt);
}

TEST(ActivityFileWriter, WritesInOrderAndTellsTheStateOnTheOwnersThreadOnceCaughtUp) {
    TempFolder folder;
    const auto missing = folder.path() / "gone";
    VirtualClock clock;
    std::vector<std::optional<std::string>> said;
    const auto fanAt = [](int hour, ActivityEvent e) {
        return ActivityRecord{at(kDay, hours{hour}), e, {}, ""};
    };
    {
        ActivityFileWriter writer(missing, {}, clock, [&](const std::optional<std::string>& text) {
            said.push_back(text);
        });
        writer.record(fanAt(8, ActivityEvent::FanOn));
        writer.flush();
        ASSERT_EQ(said.size(), 1u);
        EXPECT_EQ(writer.failure(), said[0]);

        std::filesystem::create_directories(missing);
        for (int hour = 9; hour < 21; ++hour) {
            writer.record(fanAt(hour, hour % 2 ? ActivityEvent::FanOff : ActivityEvent::FanOn));
        }
        // Told by the clock once the writer has caught up, not from the writer's thread.
        for (int i = 0; i < 200 && said.size() < 2; ++i) {
            std::this_thread::sleep_for(milliseconds{5});
            clock.advance(milliseconds{50});
        }
        EXPECT_EQ(said, (std::vector<std::optional<std::string>>{said[0], std::nullopt}));
        writer.record(fanAt(21, ActivityEvent::FanOff));
    }
    // The destructor wrote what was still queued.
    const std::string written = readBytes(missing / "relaydeck-activity-2026-12-07.csv");
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 14);
    EXPECT_NE(written.find("09:00:00.000,fan-off,,\r\n2026-12-07 10:00:00.000,fan-on"),
              std::string::npos);
    EXPECT_TRUE(written.ends_with("21:00:00.000,fan-off,,\r\n"));
}

TEST(ActivityFile, ARecordIsNeverGluedToAnUnterminatedLine) {
    TempFolder folder;
    ActivityFile file(folder.path());
    const auto path = file.fileFor(at(kDay, hours{8}));
    // A write torn by a full disk, or a hand edit without a final line end.
    writeBytes(path, "time,event,duration,detail\r\n2026-12-07 07:00:00.000,fan-o");
    file.record({at(kDay, hours{8}), ActivityEvent::FanOn, {}, ""});
    file.record({at(kDay, hours{9}), ActivityEvent::FanOff, {}, ""});
    EXPECT_EQ(readBytes(path),
              "time,event,duration,detail\r\n2026-12-07 07:00:00.000,fan-o\r\n"
              "2026-12-07 08:00:00.000,fan-on,,\r\n2026-12-07 09:00:00.000,fan-off,,\r\n");
    // Read back, the torn line is passed over.
    EXPECT_EQ(readActivityFile(path, {}).size(), 2u);
}

TEST(ActivityCsv, CellsASpreadsheetWouldEvaluateAreInertAndReadBackAsTheyWere) {
    const UtcOffset brasilia = [](ActivityTime) { return hours{-3}; };
    const auto line = [&](const std::string& detail) {
        return activityCsvLine(
            {at(kDay, hours{12}), ActivityEvent::LinkFailure, milliseconds{-1500}, detail},
            brasilia);
    };
    EXPECT_EQ(line("=HYPERLINK(\"x\")"),
              "2026-12-07 09:00:00.000,link-failure,-1.500,\"'=HYPERLINK(\"\"x\"\")\"");
    for (const std::string detail : {"+1", "-1", "@SUM(A1)", "\tx", "\rx", "'quoted", "a, b", ""}) {
        const std::string written = line(detail);
        const std::string cell = written.substr(written.rfind(',', written.size() - 4) + 1);
        if (!detail.empty() && detail != "a, b") {
            EXPECT_TRUE(cell.starts_with("'") || cell.starts_with("\"'")) << written;
        }
        const auto back = readActivityCsvLine(written + "\r\n", brasilia);
        ASSERT_TRUE(back) << written;
        EXPECT_EQ(back->time, at(kDay, hours{12}));
        EXPECT_EQ(back->duration, milliseconds{-1500});
        EXPECT_EQ(back->detail, detail == "\rx" ? " x" : detail);
    }
    for (const char* other : {"time,event,duration,detail", "2026-12-07 09:00:00.000,fan-o",
                              "2026-12-07 09:00:00.000,fan-on,1e3,", "2026-12-07 9:00,fan-on,,",
                              "2026-12-07 09:00:00.000,fan-on,,\"open"}) {
        EXPECT_EQ(readActivityCsvLine(other, {}), std::nullopt) << other;
    }
}

TEST(StationActivity, AfterARestartOnTheSameDayTheWindowCoversTheWholeDay) {
    TempFolder folder;
    const UtcOffset brasilia = [](ActivityTime) { return hours{-3}; };
    VirtualClock clock;
    clock.setOrigin(at(kDay, hours{15}));
    {
        StationActivity first(folder.path(), brasilia, clock);
        for (int i = 0; i < 3; ++i) {
            first.sink().record({clock.wallTime(), ActivityEvent::LocalOverBegun, {}, ""});
            clock.advance(seconds{10});
            first.sink().record(
                {clock.wallTime(), ActivityEvent::LocalOverEnded, seconds{10}, "=x, \"y\""});
        }
        first.sink().record({clock.wallTime(), ActivityEvent::ProgramEnded, {}, ""});
    }
    clock.advance(minutes{5});
    StationActivity second(folder.path(), brasilia, clock);
    second.sink().record({clock.wallTime(), ActivityEvent::ProgramStarted, {}, ""});
    ASSERT_EQ(second.journal().records().size(), 8u);
    EXPECT_EQ(second.journal().records()[1].detail, "=x, \"y\"");
    EXPECT_EQ(second.journal().records()[1].time, at(kDay, hours{15}, minutes{0}, seconds{10}));
    second.window().open();
    EXPECT_EQ(second.window().text(ActivityControl::lblLocalOvers), "3");
    EXPECT_EQ(second.writeFailure(), std::nullopt);
}

}  // namespace
}  // namespace relaydeck
