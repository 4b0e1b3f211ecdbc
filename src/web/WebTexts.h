#pragma once
/// @file
/// @brief The web pages as the server sends them: their markup, style and script, with the
///        texts of the operator texts table filled in for a language.

#include <string>
#include <string_view>

#include "controller/OperatorTexts.h"

namespace relaydeck::web {

/// @brief The station page in @p language.
std::string stationPage(Language language);
/// @brief The station page's script, its texts in @p language.
std::string pageScript(Language language);
/// @brief The activity page's beginning and end, around its day list, totals and timeline.
std::string activityPageHead(Language language);
std::string activityPageFoot(Language language);
/// @brief The style every page shares.
extern const std::string_view kPageStyle;

/// @brief @p page with each "{{Name}}" replaced by the text Name of the page texts in
/// @p language, escaped for markup, and "{{lang}}" by the language's tag.
std::string fillPage(std::string_view page, Language language);

}  // namespace relaydeck::web
