#pragma once
/// @file
/// @brief The number and text rules of the count-downs and the settings fields.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace relaydeck {

/// @brief Reads a decimal number ("15", " 2.5", "-1", "1e3"); blanks around it are
/// allowed, the decimal separator is a point. nullopt for anything else, "" included.
std::optional<double> parseNumber(std::string_view text);

/// @brief The number a text begins with, after blanks: "1,5" gives 1, "10 s" gives 10,
/// ".5x" gives 0.5. nullopt when the text does not begin with a number ("abc", "").
std::optional<double> parseLeadingNumber(std::string_view text);

/// @brief Writes a number as decimal text with at most 15 significant digits, no
/// trailing zeros and no trailing separator: 900, 6, 0.6, -0.4.
std::string numberToText(double value);

/// @brief Rounds to the nearest whole number, a half to the even neighbour.
double roundHalfEven(double value);

/// @brief A text read as whole milliseconds (rounded half to even) when it is a number
/// whose rounded value lies in 0..65535; nullopt otherwise.
std::optional<std::int32_t> parseTimerMilliseconds(std::string_view text);

/// @brief A minutes field read as a number of minutes: a number of at least 0 whose
/// seconds are finite; nullopt otherwise ("" included).
std::optional<double> parseMinutes(std::string_view text);

/// @brief The minutes a field's text puts in force: its number as parseMinutes reads it,
/// else the number it begins with when that is a usable number of minutes ("1,5": 1).
std::optional<double> leadingMinutes(std::string_view text);

/// @brief Whole milliseconds by the same rule: parseTimerMilliseconds of the text, else of
/// the number it begins with.
std::optional<std::int32_t> leadingTimerMilliseconds(std::string_view text);

/// @brief A check-box value read from text: 0, 1 or 2 after rounding, else nullopt.
std::optional<int> parseCheckValue(std::string_view text);

}  // namespace relaydeck
