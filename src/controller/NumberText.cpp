#include "controller/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <system_error>

#include "controller/IntervalTimer.h"

// Every conversion here goes through <charconv>: the C library's locale (which the desktop
// program switches to the user's) never decides how a number is read or written.

namespace relaydeck {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view trimBlanks(std::string_view text) {
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && isBlank(text[b])) ++b;
    while (e > b && isBlank(text[e - 1])) --e;
    return text.substr(b, e - b);
}

/// @brief The length of the longest beginning of @p t that is sign? digits* ('.' digits*)?
/// ([eE] sign? digits+)? with at least one mantissa digit; 0 when none is. A dangling
/// exponent ("2e") is not part of it.
std::size_t decimalNumberLength(std::string_view t) {
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < t.size() && isDigit(t[i])) ++i, ++digits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && isDigit(t[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    std::size_t end = i;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        const std::size_t exponentStart = i;
        while (i < t.size() && isDigit(t[i])) ++i;
        if (i > exponentStart) end = i;
    }
    return end;
}

/// @brief True when the whole of @p t is a decimal number.
bool isDecimalNumber(std::string_view t) {
    return !t.empty() && decimalNumberLength(t) == t.size();
}

/// @brief For an unsigned decimal number too far from 1 to be a double: true when it is
/// too small (it then reads as zero), false when it is too large.
bool isTooSmall(std::string_view t) {
    // The power of ten of the first significant digit decides.
    long long exponent = 0;
    if (const std::size_t e = t.find_first_of("eE"); e != std::string_view::npos) {
        std::string_view digits = t.substr(e + 1);
        const bool negative = !digits.empty() && digits[0] == '-';
        if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) digits.remove_prefix(1);
        long long value = 0;
        for (const char c : digits) value = std::min(value * 10 + (c - '0'), 1'000'000'000LL);
        exponent = negative ? -value : value;
        t = t.substr(0, e);
    }
    const std::size_t point = t.find('.');
    const std::size_t wholeDigits = point == std::string_view::npos ? t.size() : point;
    const std::size_t first = t.find_first_of("123456789");
    if (first == std::string_view::npos) return true;
    const long long position = first < wholeDigits ? static_cast<long long>(wholeDigits - first) - 1
                                                   : -static_cast<long long>(first - wholeDigits);
    return exponent + position < 0;
}

/// @brief A whole number of at most 15 digits (what a count-down shows nearly always) is
/// exact as a double: read it without the general conversion.
std::optional<double> parseShortWholeNumber(std::string_view t) {
    const bool negative = !t.empty() && t.front() == '-';
    if (negative) t.remove_prefix(1);
    if (t.empty() || t.size() > 15) return std::nullopt;
    std::int64_t whole = 0;
    for (const char c : t) {
        if (!isDigit(c)) return std::nullopt;
        whole = whole * 10 + (c - '0');
    }
    const auto value = static_cast<double>(whole);
    return negative ? -value : value;
}

}  // namespace

std::optional<double> parseNumber(std::string_view text) {
    std::string_view t = trimBlanks(text);
    if (const std::optional<double> whole = parseShortWholeNumber(t)) return whole;
    if (!isDecimalNumber(t)) return std::nullopt;

    const bool negative = t.front() == '-';
    if (t.front() == '+' || t.front() == '-') t.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (error == std::errc::result_out_of_range) {
        if (!isTooSmall(t)) return std::nullopt;
        value = 0;
    } else if (error != std::errc() || end != t.data() + t.size()) {
        return std::nullopt;
    }
    if (!std::isfinite(value)) return std::nullopt;
    return negative ? -value : value;
}

std::optional<double> parseLeadingNumber(std::string_view text) {
    std::size_t b = 0;
    while (b < text.size() && isBlank(text[b])) ++b;
    const std::string_view t = text.substr(b);
    const std::size_t length = decimalNumberLength(t);
    if (length == 0) return std::nullopt;
    return parseNumber(t.substr(0, length));
}

std::string numberToText(double value) {
    if (value == 0 || !std::isfinite(value)) return "0";
    char buffer[64];
    // Whole counts (every count-down step in practice) need no floating formatting.
    if (std::abs(value) < 1e15 && value == std::trunc(value)) {
        const auto whole = static_cast<long long>(value);
        return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, whole).ptr);
    }
    // Fifteen significant digits, then written out in decimal whatever the magnitude:
    // 6E-05 becomes 0.00006 and 6E+15 becomes 6000000000000000.
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    const std::string_view text(buffer, static_cast<std::size_t>(written.ptr - buffer));
    const std::size_t ePos = text.find('e');
    int exponent = 0;
    std::string_view exponentText = text.substr(ePos + 1);
    if (exponentText.front() == '+') exponentText.remove_prefix(1);
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);
    std::string digits;
    for (const char c : text.substr(0, ePos)) {
        if (isDigit(c)) digits += c;
    }
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out = value < 0 ? "-" : "";
    const auto count = static_cast<int>(digits.size());
    if (exponent < 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += digits;
    } else if (exponent + 1 >= count) {
        out += digits;
        out.append(static_cast<std::size_t>(exponent + 1 - count), '0');
    } else {
        out += digits.substr(0, static_cast<std::size_t>(exponent + 1));
        out += '.';
        out += digits.substr(static_cast<std::size_t>(exponent + 1));
    }
    return out;
}

double roundHalfEven(double value) {
    return std::nearbyint(value);
}

std::optional<std::int32_t> parseTimerMilliseconds(std::string_view text) {
    const auto number = parseNumber(text);
    if (!number) return std::nullopt;
    const double rounded = roundHalfEven(*number);
    if (rounded < 0 || rounded > static_cast<double>(kMaxTimerPeriod.count())) return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

std::optional<double> parseMinutes(std::string_view text) {
    const auto minutes = parseNumber(text);
    if (!minutes || *minutes < 0 || !std::isfinite(*minutes * 60)) return std::nullopt;
    return *minutes;
}

std::optional<double> leadingMinutes(std::string_view text) {
    if (auto minutes = parseMinutes(text)) return minutes;
    const auto leading = parseLeadingNumber(text);
    if (!leading) return std::nullopt;
    return parseMinutes(numberToText(*leading));
}

std::optional<std::int32_t> leadingTimerMilliseconds(std::string_view text) {
    if (auto ms = parseTimerMilliseconds(text)) return ms;
    const auto leading = parseLeadingNumber(text);
    if (!leading) return std::nullopt;
    return parseTimerMilliseconds(numberToText(*leading));
}

std::optional<int> parseCheckValue(std::string_view text) {
    const auto number = parseNumber(text);
    if (!number) return std::nullopt;
    const double rounded = roundHalfEven(*number);
    if (rounded < 0 || rounded > 2) return std::nullopt;
    return static_cast<int>(rounded);
}

}  // namespace relaydeck
