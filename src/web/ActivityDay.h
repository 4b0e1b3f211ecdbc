#pragma once
/// @file
/// @brief A kept day of activity read back from its log file, for the activity page.

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "controller/OperatorTexts.h"
#include "records/ActivityRecord.h"

namespace relaydeck::web {

/// @brief The records of one day's CSV text; times are the file's local times, taken as
/// they read. Lines that do not parse are skipped.
std::vector<ActivityRecord> parseActivityCsv(std::string_view text);

/// @brief "2026-12-07" as a day, or nullopt.
std::optional<std::chrono::year_month_day> parseDay(std::string_view text);
std::string dayText(std::chrono::year_month_day day);

/// @brief The days with an activity file in @p folder, newest first.
std::vector<std::chrono::year_month_day> keptDays(const std::filesystem::path& folder);

/// @brief The contents of the day's file, or nullopt when there is none.
std::optional<std::string> readDayFile(const std::filesystem::path& folder,
                                       std::chrono::year_month_day day);

/// @brief The body of the activity page of @p day: the list of kept days, the day's totals,
/// its timeline picture and its CSV link, in @p language.
std::string activityPageBody(const std::vector<std::chrono::year_month_day>& days,
                             std::chrono::year_month_day day,
                             const std::vector<ActivityRecord>& records, Language language);

/// @brief The day's timeline as SVG, its texts in @p language.
std::string activityDaySvg(std::chrono::year_month_day day,
                           const std::vector<ActivityRecord>& records, Language language);

}  // namespace relaydeck::web
