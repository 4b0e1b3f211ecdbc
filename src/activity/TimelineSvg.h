#pragma once
/// @file
/// @brief A timeline drawn as an SVG picture.

#include <string>

#include "activity/TimelineDrawing.h"

namespace relaydeck {

/// @brief The SVG document of @p drawing. The same drawing always gives the same bytes.
std::string timelineSvg(const TimelineDrawing& drawing);

/// @brief The SVG document of @p timeline, titled @p title, in the picture's usual frame:
/// 960 by 260 pixels, the axis reading the time since the timeline's start, a legend.
std::string timelineSvg(const Timeline& timeline, const std::string& title);

}  // namespace relaydeck
