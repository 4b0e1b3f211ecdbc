#pragma once
/// @file
/// @brief Reading the words of a scenario line as the values a command takes.

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ScenarioLexer.h"
#include "link/LinkHost.h"

namespace relaydeck::replay {

/// @brief Throws ScenarioError for @p line with @p reason.
[[noreturn]] void fail(const ScenarioLine& line, const std::string& reason);

/// @brief Fails with "expected: FORM" unless @p line has exactly @p count words.
void expectWords(const ScenarioLine& line, std::size_t count, const char* form);

/// @brief A word that must be a name or a keyword, not a quoted text.
const std::string& bareWord(const ScenarioLine& line, std::size_t index);

/// @brief "Main.Timer.Enabled" as its parts; an empty part stays (a malformed name).
std::vector<std::string_view> splitDots(std::string_view text);

/// @brief `on`, `off` or any 16-bit spelling of a number (65535 is the word of -1).
std::optional<LinkBool> parseLinkBool(std::string_view text);

/// @brief The one argument of a command of the form "NAME on|off|N" (@p form).
LinkBool linkBoolArgument(const ScenarioLine& line, const char* form);

/// @brief Reads a `wait` argument (decimal seconds, millisecond resolution); nullopt when
/// it is malformed, negative or too large.
std::optional<std::chrono::milliseconds> parseSeconds(std::string_view text);

}  // namespace relaydeck::replay
