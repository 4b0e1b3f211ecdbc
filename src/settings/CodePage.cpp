#include "settings/CodePage.h"

#include <array>
#include <cstddef>
#include <optional>

namespace relaydeck {

namespace {

constexpr char kUnmappable = '?';

/// Characters of bytes 0x80 to 0x9F. The five bytes the code page leaves undefined stand
/// for the control characters of the same number, as Windows maps them, so that every
/// byte survives a round trip.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

char32_t byteToChar(unsigned char byte) {
    if (byte < 0x80 || byte >= 0xA0) return byte;
    return kHighControls[byte - 0x80];
}

/// The code-page byte for @p c, or '?' when the code page has none.
char charToByte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == c) return static_cast<char>(0x80 + i);
    }
    return kUnmappable;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

/// Decodes one character at @p pos and advances @p pos past it. An ill-formed sequence
/// yields nullopt and advances past its longest valid-looking start (at least one byte),
/// so no overlong form, surrogate or truncated sequence slips through.
std::optional<char32_t> decodeUtf8(const std::string& text, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos++]);
    if (lead < 0x80) return lead;

    std::size_t trailing = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    char32_t c = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        trailing = 1;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        trailing = 2;
        c = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        trailing = 3;
        c = lead & 0x07;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return std::nullopt;
    }

    for (std::size_t i = 0; i < trailing; ++i) {
        if (pos >= text.size()) return std::nullopt;
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (byte < low || byte > high) return std::nullopt;
        low = 0x80;
        high = 0xBF;
        c = (c << 6) | (byte & 0x3F);
        ++pos;
    }
    return c;
}

}  // namespace

std::string utf8ToCp1252(const std::string& utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::optional<char32_t> c = decodeUtf8(utf8, pos);
        out += c ? charToByte(*c) : kUnmappable;
    }
    return out;
}

std::string cp1252ToUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char byte : text) appendUtf8(out, byteToChar(static_cast<unsigned char>(byte)));
    return out;
}

}  // namespace relaydeck
