#pragma once
/// @file
/// @brief A timeline drawn as an SVG picture: bands for carrier, Internet audio and
///        transmitter, marks for identifications and time-outs.

#include <chrono>
#include <string>

#include "activity/ActivityJournal.h"

namespace relaydeck {

/// @brief The SVG document of @p timeline, titled @p title; the axis reads time since
/// the timeline's start. The same timeline always gives the same bytes.
std::string timelineSvg(const Timeline& timeline, const std::string& title);

}  // namespace relaydeck
