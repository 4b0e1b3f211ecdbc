// Arbitrary bytes as a scenario: the reader either gives command lines or names the
// line it refuses, and quoting each word it read gives the same words back.
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "ScenarioLexer.h"

namespace {

using relaydeck::replay::ScenarioError;
using relaydeck::replay::ScenarioReader;
using relaydeck::replay::Word;

void check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "scenario reader rule broken: %s\n", what);
    std::abort();
}

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + '"';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    ScenarioReader reader(in);
    int lastLine = 0;
    try {
        while (auto line = reader.next()) {
            check(!line->words.empty(), "a command line without words");
            check(line->number > lastLine, "line numbers do not grow");
            lastLine = line->number;
            std::string again;
            for (const Word& word : line->words) {
                check(word.quoted || !word.text.empty(), "an empty bare word");
                again += quoted(word.text) + " \t";
            }
            const std::vector<Word> words = relaydeck::replay::splitWords(again);
            check(words.size() == line->words.size(), "quoted words split differently");
            for (std::size_t i = 0; i < words.size(); ++i) {
                check(words[i].quoted && words[i].text == line->words[i].text,
                      "a quoted word reads back changed");
            }
        }
    } catch (const ScenarioError& e) {
        check(e.line() > lastLine, "a refused line is not after the last line read");
        check(!e.reason().empty(), "a refusal without a reason");
    }
    return 0;
}
