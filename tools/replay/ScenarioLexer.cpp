#include "ScenarioLexer.h"

namespace relaydeck::replay {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

std::vector<Word> splitWords(std::string_view line) {
    std::vector<Word> words;
    std::size_t i = 0;
    while (i < line.size()) {
        if (isBlank(line[i])) {
            ++i;
            continue;
        }
        Word word;
        if (line[i] == '"') {
            word.quoted = true;
            ++i;
            bool closed = false;
            while (i < line.size()) {
                const char c = line[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                // \" is a quote and \\ a backslash; any other backslash stands for itself.
                if (c == '\\' && i < line.size() && (line[i] == '"' || line[i] == '\\')) {
                    word.text += line[i++];
                    continue;
                }
                word.text += c;
            }
            if (!closed) throw ScenarioError(0, "unterminated quoted text");
            if (i < line.size() && !isBlank(line[i])) {
                throw ScenarioError(0, "no blank after quoted text");
            }
        } else {
            // A bare word runs to the next blank; a quote inside it is an ordinary character.
            while (i < line.size() && !isBlank(line[i])) word.text += line[i++];
        }
        words.push_back(std::move(word));
    }
    return words;
}

std::optional<ScenarioLine> ScenarioReader::next() {
    std::string raw;
    while (std::getline(in_, raw)) {
        ++number_;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        if (number_ == 1 && raw.starts_with("\xEF\xBB\xBF")) raw.erase(0, 3);  // UTF-8 mark
        const std::size_t first = raw.find_first_not_of(" \t");
        if (first == std::string::npos) continue;
        const std::size_t last = raw.find_last_not_of(" \t");
        const std::string_view text = std::string_view(raw).substr(first, last + 1 - first);
        if (raw[first] == '#') {
            if (echo_) echo_(LineKind::Comment, text);
            continue;
        }
        try {
            ScenarioLine line{number_, splitWords(raw)};
            if (echo_) echo_(LineKind::Command, text);
            return line;
        } catch (const ScenarioError& e) {
            throw ScenarioError(number_, e.reason());
        }
    }
    return std::nullopt;
}

}  // namespace relaydeck::replay
