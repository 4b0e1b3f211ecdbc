#pragma once
/// @file
/// @brief Activity moments as the operator reads them: local time and spans of time.

#include <chrono>
#include <functional>
#include <string>

#include "controller/ActivityLog.h"

namespace relaydeck {

/// @brief The offset of local time from UTC at a moment (DST changes it).
using UtcOffset = std::function<std::chrono::seconds(ActivityTime)>;

/// @brief A moment as local time: the UTC time plus @p offset's offset (UTC when empty).
std::chrono::local_time<std::chrono::milliseconds> toLocal(ActivityTime time,
                                                           const UtcOffset& offset);

/// @brief "1:05:00", "5:00", "0:30": a span of time as a clock shows it.
std::string formatClockSpan(std::chrono::milliseconds span);

}  // namespace relaydeck
