#include "controller/NumberText.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace relaydeck {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

std::optional<double> parseNumber(std::string_view text) {
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && isBlank(text[b])) ++b;
    while (e > b && isBlank(text[e - 1])) --e;
    const std::string_view t = text.substr(b, e - b);

    // sign? digits* ('.' digits*)? ([eE] sign? digits+)? with at least one mantissa digit
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++digits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        std::size_t expDigits = 0;
        while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++expDigits;
        if (expDigits == 0) return std::nullopt;
    }
    if (i != t.size()) return std::nullopt;

    const std::string copy(t);
    const double value = std::strtod(copy.c_str(), nullptr);
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

std::string numberToText(double value) {
    if (value == 0 || !std::isfinite(value)) return "0";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    std::string text(buffer);
    const std::size_t ePos = text.find('e');
    if (ePos == std::string::npos) return text;
    // Large or tiny values: mantissa "E" sign exponent, as in 1E+15 or 1.5E-07.
    std::string mantissa = text.substr(0, ePos);
    const int exponent = std::atoi(text.c_str() + ePos + 1);
    char expText[16];
    std::snprintf(expText, sizeof expText, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return mantissa + expText;
}

double roundHalfEven(double value) {
    return std::nearbyint(value);
}

std::optional<std::int32_t> parseTimerMilliseconds(std::string_view text) {
    const auto number = parseNumber(text);
    if (!number) return std::nullopt;
    const double rounded = roundHalfEven(*number);
    if (rounded < 0 || rounded > 65535) return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

std::optional<int> parseCheckValue(std::string_view text) {
    const auto number = parseNumber(text);
    if (!number) return std::nullopt;
    const double rounded = roundHalfEven(*number);
    if (rounded < 0 || rounded > 2) return std::nullopt;
    return static_cast<int>(rounded);
}

}  // namespace relaydeck
