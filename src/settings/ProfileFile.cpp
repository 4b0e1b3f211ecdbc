#include "settings/ProfileFile.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <string_view>
#include <system_error>
#include <vector>

namespace relaydeck {

namespace {

namespace fs = std::filesystem;

constexpr const char* kDefaultLineEnd = "\r\n";

/// One line of the file: its text and the line end that followed it ("" for a last line
/// without one), so that the file can be put back together byte for byte.
struct Line {
    std::string text;
    std::string end;
};

/// The lines of a section: the header's index and the index one past its last line.
struct SectionSpan {
    std::size_t header;
    std::size_t end;
};

struct Entry {
    std::string_view key;
    std::string_view value;
};

enum class LoadResult { loaded, absent, failed };

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

std::vector<Line> splitLines(const std::string& bytes) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t newline = bytes.find('\n', start);
        if (newline == std::string::npos) {
            lines.push_back({bytes.substr(start), ""});
            break;
        }
        std::size_t textEnd = newline;
        if (textEnd > start && bytes[textEnd - 1] == '\r') --textEnd;
        lines.push_back(
            {bytes.substr(start, textEnd - start), bytes.substr(textEnd, newline + 1 - textEnd)});
        start = newline + 1;
    }
    return lines;
}

std::string joinLines(const std::vector<Line>& lines) {
    std::string bytes;
    for (const Line& line : lines) bytes += line.text + line.end;
    return bytes;
}

/// The line end the file already uses (that of its first line), CRLF when it has none.
std::string lineEndOf(const std::vector<Line>& lines) {
    for (const Line& line : lines) {
        if (!line.end.empty()) return line.end;
    }
    return kDefaultLineEnd;
}

/// The name of a section header "[name]"; the last "]" on the line closes it.
std::optional<std::string_view> sectionName(std::string_view line) {
    line = trim(line);
    if (line.empty() || line.front() != '[') return std::nullopt;
    const std::size_t close = line.rfind(']');
    if (close == std::string_view::npos) return std::nullopt;
    return trim(line.substr(1, close - 1));
}

/// Key and value of a "key=value" line, both without surrounding blanks.
std::optional<Entry> splitEntry(std::string_view line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    return Entry{trim(line.substr(0, equals)), trim(line.substr(equals + 1))};
}

/// The first section called @p name.
std::optional<SectionSpan> findSection(const std::vector<Line>& lines, std::string_view name) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::optional<std::string_view> found = sectionName(lines[i].text);
        if (!found || !equalsIgnoreCase(*found, name)) continue;
        std::size_t end = i + 1;
        while (end < lines.size() && !sectionName(lines[end].text)) ++end;
        return SectionSpan{i, end};
    }
    return std::nullopt;
}

/// The line of the first entry for @p key in @p section.
std::optional<std::size_t> findKey(const std::vector<Line>& lines, SectionSpan section,
                                   std::string_view key) {
    for (std::size_t i = section.header + 1; i < section.end; ++i) {
        const std::optional<Entry> entry = splitEntry(lines[i].text);
        if (entry && equalsIgnoreCase(entry->key, key)) return i;
    }
    return std::nullopt;
}

std::string_view unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

/// A line break inside a written text would start a new line of the file; it becomes a blank.
std::string singleLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return text;
}

LoadResult loadFile(const fs::path& path, std::string& bytes) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (status.type() == fs::file_type::not_found) return LoadResult::absent;
    if (error || !fs::is_regular_file(status)) return LoadResult::failed;
    std::ifstream in(path, std::ios::binary);
    if (!in) return LoadResult::failed;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return in.bad() ? LoadResult::failed : LoadResult::loaded;
}

fs::path temporaryPathFor(const fs::path& path) {
    std::random_device random;
    fs::path temporary = path;
    temporary += ".tmp-" + std::to_string(random()) + std::to_string(random());
    return temporary;
}

/// Writes @p bytes to a new file beside @p path and renames it over @p path, so that the
/// file holds either its old or its new content whenever the program stops.
bool replaceFile(const fs::path& path, const std::string& bytes) {
    const fs::path temporary = temporaryPathFor(path);
    std::error_code error;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            fs::remove(temporary, error);
            return false;
        }
    }
    const fs::perms permissions = fs::status(path, error).permissions();
    if (!error) fs::permissions(temporary, permissions, error);
    fs::rename(temporary, path, error);
    if (error) {
        fs::remove(temporary, error);
        return false;
    }
    return true;
}

}  // namespace

std::optional<std::string> readProfileString(const fs::path& path, const std::string& section,
                                             const std::string& key) {
    std::string bytes;
    if (loadFile(path, bytes) != LoadResult::loaded) return std::nullopt;
    const std::vector<Line> lines = splitLines(bytes);
    const std::optional<SectionSpan> span = findSection(lines, section);
    if (!span) return std::nullopt;
    const std::optional<std::size_t> line = findKey(lines, *span, key);
    if (!line) return std::nullopt;
    const std::string_view value = unquote(splitEntry(lines[*line].text)->value);
    return std::string(value.substr(0, kProfileValueMax));
}

bool writeProfileString(const fs::path& path, const std::string& section, const std::string& key,
                        const std::string& value) {
    std::string bytes;
    if (loadFile(path, bytes) == LoadResult::failed) return false;
    std::vector<Line> lines = splitLines(bytes);
    const std::string lineEnd = lineEndOf(lines);
    const std::string sectionText = singleLine(section);
    const std::string keyText = singleLine(key);
    const std::string valueText = singleLine(value);

    if (const std::optional<SectionSpan> span = findSection(lines, sectionText)) {
        if (const std::optional<std::size_t> line = findKey(lines, *span, keyText)) {
            // The key keeps the spelling the file gives it.
            std::string replaced =
                std::string(splitEntry(lines[*line].text)->key) + "=" + valueText;
            lines[*line].text = std::move(replaced);
        } else {
            std::size_t last = span->header;
            for (std::size_t i = span->header + 1; i < span->end; ++i) {
                if (!trim(lines[i].text).empty()) last = i;
            }
            if (lines[last].end.empty()) lines[last].end = lineEnd;
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(last + 1),
                         Line{keyText + "=" + valueText, lineEnd});
        }
    } else {
        if (!lines.empty() && lines.back().end.empty()) lines.back().end = lineEnd;
        lines.push_back({"[" + sectionText + "]", lineEnd});
        lines.push_back({keyText + "=" + valueText, lineEnd});
    }

    const std::string updated = joinLines(lines);
    if (updated == bytes) return true;
    return replaceFile(path, updated);
}

}  // namespace relaydeck
