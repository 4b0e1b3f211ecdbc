#include "ScenarioArguments.h"

#include <cstdint>

#include "link/SimulatedLinkHost.h"

namespace relaydeck::replay {

namespace {

constexpr std::int64_t kMaxWaitMilliseconds = 1'000'000'000'000;  // about 31 years

}  // namespace

[[noreturn]] void fail(const ScenarioLine& line, const std::string& reason) {
    throw ScenarioError(line.number, reason);
}

void expectWords(const ScenarioLine& line, std::size_t count, const char* form) {
    if (line.words.size() != count) fail(line, std::string("expected: ") + form);
}

const std::string& bareWord(const ScenarioLine& line, std::size_t index) {
    const Word& word = line.words[index];
    if (word.quoted) fail(line, "expected a name, not the quoted text " + quoteText(word.text));
    return word.text;
}

std::vector<std::string_view> splitDots(std::string_view text) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t dot = text.find('.', start);
        parts.push_back(text.substr(start, dot == std::string_view::npos ? dot : dot - start));
        if (dot == std::string_view::npos) return parts;
        start = dot + 1;
    }
}

std::optional<LinkBool> parseLinkBool(std::string_view text) {
    if (text == "on") return kLinkTrue;
    if (text == "off") return kLinkFalse;
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) i = 1;
    if (i == text.size() || text.size() - i > 5) return std::nullopt;
    long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    if (negative) value = -value;
    // Any 16-bit spelling: -32768..65535, where 65535 is the same word as -1.
    if (value < -32768 || value > 65535) return std::nullopt;
    return static_cast<LinkBool>(static_cast<std::uint16_t>(value));
}

LinkBool linkBoolArgument(const ScenarioLine& line, const char* form) {
    expectWords(line, 2, form);
    const std::optional<LinkBool> value = parseLinkBool(bareWord(line, 1));
    if (!value) fail(line, "expected on, off or a 16-bit number");
    return *value;
}

std::optional<std::chrono::milliseconds> parseSeconds(std::string_view text) {
    std::size_t i = 0;
    std::int64_t whole = 0;
    std::size_t wholeDigits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        whole = whole * 10 + (text[i] - '0');
        if (whole > kMaxWaitMilliseconds / 1000) return std::nullopt;
        ++i, ++wholeDigits;
    }
    std::int64_t fraction = 0;
    std::size_t fractionDigits = 0;
    if (i < text.size()) {
        if (text[i] != '.') return std::nullopt;
        for (++i; i < text.size(); ++i, ++fractionDigits) {
            const char c = text[i];
            if (c < '0' || c > '9') return std::nullopt;
            if (fractionDigits < 3) {
                fraction = fraction * 10 + (c - '0');
            } else if (c != '0') {
                return std::nullopt;  // finer than a millisecond
            }
        }
        for (std::size_t d = fractionDigits; d < 3; ++d) fraction *= 10;
    }
    if (wholeDigits + fractionDigits == 0) return std::nullopt;
    return std::chrono::milliseconds(whole * 1000 + fraction);
}

}  // namespace relaydeck::replay
