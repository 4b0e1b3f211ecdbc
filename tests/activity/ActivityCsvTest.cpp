#include <gtest/gtest.h>

#include <filesystem>

#include "TempFolder.h"
#include "activity/ActivityCsv.h"

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
              "\"EchoLink failed: \"\"Busy\"\", try again\nlater\"");
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

TEST(ActivityFile, FilesOlderThanTheLimitGoAtTheFirstRecordOfEachDay) {
    TempFolder folder;
    const auto dayFile = [&](year_month_day day) { return folder.path() / activityFileName(day); };
    const year_month_day kept{sys_days{kDay} - days{31}};
    const year_month_day old{sys_days{kDay} - days{32}};
    const year_month_day older{year{2025}, January, day{1}};
    for (const auto& day : {kept, old, older}) writeBytes(dayFile(day), "x");
    writeBytes(folder.path() / "relaydeck.ini", "[SETTINGS]");
    writeBytes(folder.path() / "relaydeck-activity-notes.csv", "mine");

    ActivityFile file(folder.path());
    file.record({at(kDay, hours{1}), ActivityEvent::FanOn, {}, ""});
    EXPECT_TRUE(std::filesystem::exists(dayFile(kept)));
    EXPECT_FALSE(std::filesystem::exists(dayFile(old)));
    EXPECT_FALSE(std::filesystem::exists(dayFile(older)));
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "relaydeck.ini"));
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "relaydeck-activity-notes.csv"));

    // The next day, the day that was just kept is one day too old.
    file.record({at(kDay, hours{25}), ActivityEvent::FanOff, {}, ""});
    EXPECT_FALSE(std::filesystem::exists(dayFile(kept)));
    EXPECT_TRUE(std::filesystem::exists(dayFile(kDay)));

    ActivityFile shortMemory(folder.path(), {}, 0);
    shortMemory.record({at(kDay, hours{26}), ActivityEvent::FanOn, {}, ""});
    EXPECT_FALSE(std::filesystem::exists(dayFile(kDay)));
}

TEST(ActivityFile, AFailingWriteIsSaidOnceAndTheNextRecordsAreStillTried) {
    TempFolder folder;
    const auto missing = folder.path() / "gone";
    std::vector<std::string> said;
    ActivityFile file(missing, {}, ActivityFile::kDefaultKeepDays,
                      [&](const std::string& text) { said.push_back(text); });
    EXPECT_NO_THROW(file.record({at(kDay, hours{8}), ActivityEvent::FanOn, {}, ""}));
    EXPECT_NO_THROW(file.record({at(kDay, hours{9}), ActivityEvent::FanOff, {}, ""}));
    ASSERT_EQ(said.size(), 1u);
    EXPECT_NE(said[0].find("relaydeck-activity-2026-12-07.csv"), std::string::npos) << said[0];
    EXPECT_EQ(file.failure(), said[0]);

    // The folder comes back: the next record is written.
    std::filesystem::create_directories(missing);
    file.record({at(kDay, hours{10}), ActivityEvent::FanOn, {}, ""});
    EXPECT_EQ(readBytes(file.fileFor(at(kDay, hours{10}))),
              "time,event,duration,detail\r\n2026-12-07 10:00:00.000,fan-on,,\r\n");
    EXPECT_EQ(said.size(), 1u);
}

}  // namespace
}  // namespace relaydeck
