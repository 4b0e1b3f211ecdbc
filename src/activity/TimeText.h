#pragma once
/// @file
/// @brief Moments and spans as the activity files and windows write them, whatever the
///        locale, and the local time they are written in.

#include <chrono>
#include <functional>
#include <string>

#include "records/ActivityRecord.h"

namespace relaydeck {

/// @brief The offset of local time from UTC at a moment (DST changes it).
using UtcOffset = std::function<std::chrono::seconds(ActivityTime)>;

/// @brief A moment as local time: the UTC time plus @p offset's offset (UTC when empty).
std::chrono::local_time<std::chrono::milliseconds> toLocal(ActivityTime time,
                                                           const UtcOffset& offset);
/// @brief The moment of a local time (the offset taken at that moment).
ActivityTime fromLocal(std::chrono::local_time<std::chrono::milliseconds> time,
                       const UtcOffset& offset);

/// @brief "2026-12-07 13:46:01.250": a local time as the file writes it.
std::string formatActivityTime(std::chrono::local_time<std::chrono::milliseconds> time);
/// @brief "12.500": a duration in seconds with three decimals, whatever the locale.
std::string formatSeconds(std::chrono::milliseconds duration);
/// @brief "1:05:00", "5:00", "0:30": a span of time (totals, durations, an axis).
std::string formatClockSpan(std::chrono::milliseconds span);

}  // namespace relaydeck
