#include "settings/ProfileFile.h"

#include <algorithm>
#include <forward_list>
#include <string_view>
#include <vector>

#include "settings/FileAccess.h"

namespace relaydeck {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kDefaultLineEnd = "\r\n";

/// One line of the file: its text and the line end that followed it ("" for a last line
/// without one), so that the file can be put back together byte for byte. Both view
/// either the bytes being edited or a text the edit added (see EditedLines).
struct Line {
    std::string_view text;
    std::string_view end;
};

/// The lines of a file being edited, viewing its bytes; the texts an edit adds are kept
/// here too, so that reading and editing a file copies none of its lines.
struct EditedLines {
    std::vector<Line> lines;
    std::forward_list<std::string> added;  ///< adding never moves the texts already viewed

    std::string_view keep(std::string text) { return added.emplace_front(std::move(text)); }
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

/// Reads @p bytes line by line. Lines end at CR LF, LF or a lone CR. The next CR and the
/// next LF are each looked for once (a memchr), not byte by byte.
class LineReader {
  public:
    explicit LineReader(std::string_view bytes)
        : bytes_(bytes), nextCr_(bytes.find('\r')), nextLf_(bytes.find('\n')) {}

    bool atEnd() const { return start_ >= bytes_.size(); }

    Line next() {
        if (nextCr_ < start_) nextCr_ = bytes_.find('\r', start_);
        if (nextLf_ < start_) nextLf_ = bytes_.find('\n', start_);
        const std::size_t stop = std::min(nextCr_, nextLf_);
        Line line;
        if (stop == std::string_view::npos) {
            line = {bytes_.substr(start_), {}};
            start_ = bytes_.size();
            return line;
        }
        std::size_t after = stop + 1;
        if (stop == nextCr_ && nextLf_ == after) ++after;
        line = {bytes_.substr(start_, stop - start_), bytes_.substr(stop, after - stop)};
        start_ = after;
        return line;
    }

  private:
    std::string_view bytes_;
    std::size_t start_ = 0;
    std::size_t nextCr_;
    std::size_t nextLf_;
};

std::vector<Line> splitLines(std::string_view bytes) {
    std::vector<Line> lines;
    lines.reserve(bytes.size() / 8 + 4);  // a settings line is longer than that: one allocation
    for (LineReader reader(bytes); !reader.atEnd();) lines.push_back(reader.next());
    return lines;
}

std::string joinLines(const std::vector<Line>& lines) {
    std::size_t size = 0;
    for (const Line& line : lines) size += line.text.size() + line.end.size();
    std::string bytes;
    bytes.reserve(size);
    for (const Line& line : lines) bytes.append(line.text).append(line.end);
    return bytes;
}

/// The line end the file already uses (that of its first line), CRLF when it has none.
std::string_view lineEndOf(const std::vector<Line>& lines) {
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
std::string singleLine(std::string_view text) {
    std::string line(text);
    std::replace_if(
        line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return line;
}

/// Sets @p key in @p section of @p file as the private-profile functions do.
void setEntry(EditedLines& file, std::string_view lineEnd, const std::string& section,
              const std::string& key, const std::string& value) {
    std::vector<Line>& lines = file.lines;
    const std::string sectionText = singleLine(section);
    const std::string keyText = singleLine(key);
    const std::string valueText = singleLine(value);

    if (const std::optional<SectionSpan> span = findSection(lines, sectionText)) {
        if (const std::optional<std::size_t> line = findKey(lines, *span, keyText)) {
            // The key keeps the spelling the file gives it.
            std::string replaced = std::string(splitEntry(lines[*line].text)->key);
            replaced.append("=").append(valueText);
            lines[*line].text = file.keep(std::move(replaced));
        } else {
            std::size_t last = span->header;
            for (std::size_t i = span->header + 1; i < span->end; ++i) {
                if (!trim(lines[i].text).empty()) last = i;
            }
            if (lines[last].end.empty()) lines[last].end = lineEnd;
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(last + 1),
                         Line{file.keep(keyText + "=" + valueText), lineEnd});
        }
    } else {
        if (!lines.empty() && lines.back().end.empty()) lines.back().end = lineEnd;
        lines.push_back({file.keep("[" + sectionText + "]"), lineEnd});
        lines.push_back({file.keep(keyText + "=" + valueText), lineEnd});
    }
}

}  // namespace

std::optional<std::string> profileStringIn(std::string_view bytes, const std::string& section,
                                           const std::string& key) {
    // One pass over the lines, without keeping them: the first section of that name,
    // then the first entry for the key before the next section header.
    bool inSection = false;
    for (LineReader reader(bytes); !reader.atEnd();) {
        const Line line = reader.next();
        if (const std::optional<std::string_view> name = sectionName(line.text)) {
            if (inSection) return std::nullopt;
            inSection = equalsIgnoreCase(*name, section);
            continue;
        }
        if (!inSection) continue;
        const std::optional<Entry> entry = splitEntry(line.text);
        if (entry && equalsIgnoreCase(entry->key, key)) {
            return std::string(unquote(entry->value).substr(0, kProfileValueMax));
        }
    }
    return std::nullopt;
}

std::string withProfileStrings(std::string_view bytes, const std::string& section,
                               std::span<const ProfileEntry> entries) {
    EditedLines file{splitLines(bytes), {}};
    const std::string_view lineEnd = lineEndOf(file.lines);
    for (const ProfileEntry& entry : entries) {
        setEntry(file, lineEnd, section, entry.key, entry.value);
    }
    return joinLines(file.lines);
}

std::optional<std::string> readProfileString(const fs::path& path, const std::string& section,
                                             const std::string& key) {
    std::optional<std::string> bytes;
    try {
        bytes = readFileBytes(path);
    } catch (const FileAccessError&) {
        return std::nullopt;  // unreadable: as if absent
    }
    if (!bytes) return std::nullopt;
    return profileStringIn(*bytes, section, key);
}

void writeProfileStrings(const fs::path& path, const std::string& section,
                         std::span<const ProfileEntry> entries) {
    const std::string bytes = readFileBytes(path).value_or("");
    const std::string updated = withProfileStrings(bytes, section, entries);
    if (updated != bytes) replaceFileContents(path, updated);
}

bool writeProfileString(const fs::path& path, const std::string& section, const std::string& key,
                        const std::string& value) {
    const ProfileEntry entry{key, value};
    try {
        writeProfileStrings(path, section, std::span(&entry, 1));
    } catch (const FileAccessError&) {
        return false;
    }
    return true;
}

}  // namespace relaydeck
