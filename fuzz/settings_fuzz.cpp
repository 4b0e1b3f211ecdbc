// Arbitrary bytes as the settings file: reading never fails, a written value reads back,
// writing it again changes nothing, and every other line stays byte for byte.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/ProfileFile.h"

namespace {

using relaydeck::ProfileEntry;

// The checks below judge the output; they are not what is being searched. Left out of the
// coverage feedback, their byte-by-byte loops over the whole file neither cost a callback
// per comparison nor add features that only say how long the input was.
#define NOT_COVERED __attribute__((no_sanitize("coverage")))

void check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "settings file rule broken: %s\n", what);
    std::abort();
}

std::string escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && c != '\\') {
            out += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            out += hex;
        }
    }
    return out;
}

NOT_COVERED bool blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

NOT_COVERED bool hasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

NOT_COVERED bool trimmed(std::string_view s) {
    return s.empty() || (!blank(s.front()) && !blank(s.back()));
}

NOT_COVERED bool sameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

NOT_COVERED bool lineBreak(char c) {
    return c == '\r' || c == '\n';
}

/// Whether the lines @p removed gave way to @p added, at most a section header and the entry.
NOT_COVERED bool onlyEntryLines(std::string_view removed, std::string_view added,
                                std::string_view section, std::string_view key,
                                std::string_view value) {
    if (!removed.empty() && (removed.find_first_of("\r\n") != std::string_view::npos ||
                             removed.find('=') == std::string_view::npos)) {
        return false;
    }
    int lines = 0;
    std::size_t start = 0;
    while (start <= added.size()) {
        std::size_t stop = start;
        while (stop < added.size() && !lineBreak(added[stop])) ++stop;
        const std::string_view text = added.substr(start, stop - start);
        if (!text.empty()) {
            const std::size_t equals = text.find('=');
            const bool header = text.size() == section.size() + 2 && text.front() == '[' &&
                                text.back() == ']' && text.substr(1, section.size()) == section;
            const bool entry = equals != std::string_view::npos &&
                               sameIgnoringCase(text.substr(0, equals), key) &&
                               text.substr(equals + 1) == value;
            if (!header && !entry) return false;
            ++lines;
        }
        start = stop + 1;
    }
    return lines <= 2;
}

/// Whether @p after is @p before with the one entry written: the entry's line replaced, or
/// it added (with its section header when that was missing, and a line end after a last
/// line that had none), and every other byte where it was.
NOT_COVERED bool onlyTheEntryChanged(std::string_view before, std::string_view after,
                                     std::string_view section, std::string_view key,
                                     std::string_view value) {
    std::size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) {
        ++prefix;
    }
    std::size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
        ++suffix;
    }
    // Widen the difference to whole lines: back to a line start, on to a line end.
    // Lines put in between two lines, or after everything there was, are already whole;
    // text that goes on a last line without a line end is part of that line. A difference
    // that looks like whole lines put in may also be a line replaced whose new text ends
    // like the old one (" S=x" becoming "S=y S=x"): either reading may hold.
    const std::size_t beforeEnd = before.size() - suffix;
    const std::size_t afterEnd = after.size() - suffix;
    const bool atEnd =
        prefix == before.size() && (prefix == after.size() || lineBreak(after[prefix]));
    const bool inserted =
        beforeEnd == prefix && (prefix == 0 || atEnd || lineBreak(before[prefix - 1]));
    if (inserted && onlyEntryLines(before.substr(prefix, 0), after.substr(prefix, afterEnd - prefix),
                                   section, key, value)) {
        return true;
    }
    std::size_t lineStart = prefix;
    while (lineStart > 0 && !lineBreak(before[lineStart - 1])) --lineStart;
    std::size_t widen = 0;
    while (beforeEnd + widen < before.size() && !lineBreak(before[beforeEnd + widen])) ++widen;
    return onlyEntryLines(before.substr(lineStart, beforeEnd + widen - lineStart),
                          after.substr(lineStart, afterEnd + widen - lineStart), section, key,
                          value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    const std::string section = provider.ConsumeRandomLengthString(24);
    const std::string key = provider.ConsumeRandomLengthString(24);
    const std::string value = provider.ConsumeRandomLengthString(300);
    const std::string file = provider.ConsumeRemainingBytesAsString();

    const auto old = relaydeck::profileStringIn(file, section, key);
    if (old) check(old->size() <= relaydeck::kProfileValueMax, "a value longer than 255");

    const ProfileEntry entry{key, value};
    const std::string written = relaydeck::withProfileStrings(file, section, {&entry, 1});

    const bool plain = !hasLineBreak(section) && !hasLineBreak(key) && !hasLineBreak(value) &&
                       trimmed(section) && trimmed(key) && trimmed(value) && !key.empty() &&
                       key.front() != '[' && key.find('=') == std::string::npos;
    if (!plain) return 0;
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                        value.back() == value.front();
    if (!quoted) {
        const auto back = relaydeck::profileStringIn(written, section, key);
        check(back.has_value(), "a written key is not found");
        check(*back == value.substr(0, relaydeck::kProfileValueMax),
              "a written value reads back changed");
    }
    check(relaydeck::withProfileStrings(written, section, {&entry, 1}) == written,
          "writing the same value twice changes the file");
    if (!onlyTheEntryChanged(file, written, section, key, value)) {
        std::fprintf(stderr, "section [%s] key [%s] value [%s]\n", escaped(section).c_str(),
                     escaped(key).c_str(), escaped(value).c_str());
        std::fprintf(stderr, "before: %s\nafter:  %s\n", escaped(file).c_str(),
                     escaped(written).c_str());
        check(false, "a write changed lines other than its entry");
    }
    return 0;
}
