#pragma once
/// @file
/// @brief The station's snapshot as JSON and as Prometheus' text format.

#include <string>
#include <string_view>

#include "controller/StateSnapshot.h"

namespace relaydeck::web {

/// @brief @p text as a JSON string, quotes included.
std::string jsonString(std::string_view text);
/// @brief The snapshot as the JSON object of /api/status.
std::string statusJson(const StateSnapshot& snapshot);
/// @brief The snapshot's counters and gauges for /metrics.
std::string prometheusText(const StateSnapshot& snapshot);

}  // namespace relaydeck::web
