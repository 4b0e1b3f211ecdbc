#pragma once
/// @file
/// @brief Text placed inside SVG or HTML markup.

#include <string>
#include <string_view>

namespace relaydeck {

/// @brief @p text with the characters markup gives a meaning (& < > ") written as entities.
std::string escapeMarkup(std::string_view text);

}  // namespace relaydeck
