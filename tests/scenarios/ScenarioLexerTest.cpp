#include <gtest/gtest.h>

#include <sstream>

#include "ReplayRunner.h"
#include "ScenarioArguments.h"
#include "ScenarioLexer.h"

namespace relaydeck::replay {
namespace {

std::string reasonOf(std::string_view line) {
    try {
        splitWords(line);
    } catch (const ScenarioError& e) {
        return e.reason();
    }
    return "";
}

TEST(ScenarioLexer, SplitsOnBlanksAndKeepsQuotedTextWhole) {
    const std::vector<Word> words = splitWords(" type\ttxtCWID  \"CQ  \\\"DE\\\" \\\\ #\" ");
    ASSERT_EQ(words.size(), 3u);
    EXPECT_EQ(words[0], (Word{"type", false}));
    EXPECT_EQ(words[1], (Word{"txtCWID", false}));
    EXPECT_EQ(words[2], (Word{"CQ  \"DE\" \\ #", true}));
}

TEST(ScenarioLexer, EmptyQuotesAreAnEmptyText) {
    const std::vector<Word> words = splitWords("type BreakTime \"\"");
    ASSERT_EQ(words.size(), 3u);
    EXPECT_EQ(words[2], (Word{"", true}));
}

TEST(ScenarioLexer, RejectsMalformedQuotes) {
    EXPECT_EQ(reasonOf("callsign \"PY2XYZ"), "unterminated quoted text");
    EXPECT_EQ(reasonOf("callsign \"PY2XYZ\\\""), "unterminated quoted text");
    EXPECT_EQ(reasonOf("callsign \"PY\"2XYZ"), "no blank after quoted text");
}

TEST(ScenarioLexer, OtherBackslashesAndQuotesInsideABareWordStandForThemselves) {
    const std::vector<Word> words = splitWords("ini CWIDTEXT=\"A\\B\" \"a\\nb\"");
    ASSERT_EQ(words.size(), 3u);
    EXPECT_EQ(words[1], (Word{"CWIDTEXT=\"A\\B\"", false}));
    EXPECT_EQ(words[2], (Word{"a\\nb", true}));
}

TEST(ScenarioReader, SkipsBlankAndCommentLinesButCountsThem) {
    std::istringstream in(
        "# setup\r\n\r\n   \n  # indented comment\nstart\r\nshow Status # not a comment\n");
    ScenarioReader reader(in);
    const auto first = reader.next();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->number, 5);
    ASSERT_EQ(first->words.size(), 1u);
    EXPECT_EQ(first->words[0].text, "start");  // the CR of CRLF is not part of the word
    const auto second = reader.next();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->number, 6);
    ASSERT_EQ(second->words.size(), 6u);
    EXPECT_EQ(second->words[2].text, "#");
    EXPECT_FALSE(reader.next());
}

TEST(ScenarioReader, ReportsTheLineOfAMalformedWord) {
    std::istringstream in("start\n\nshow \"Status\n");
    ScenarioReader reader(in);
    ASSERT_TRUE(reader.next());
    try {
        reader.next();
        FAIL() << "no error";
    } catch (const ScenarioError& e) {
        EXPECT_EQ(e.line(), 3);
    }
}

TEST(ReplayTime, ParsesSecondsToTheMillisecond) {
    using std::chrono::milliseconds;
    EXPECT_EQ(parseSeconds("10"), milliseconds(10000));
    EXPECT_EQ(parseSeconds("0.75"), milliseconds(750));
    EXPECT_EQ(parseSeconds("2.5000"), milliseconds(2500));
    EXPECT_EQ(parseSeconds("0"), milliseconds(0));
    EXPECT_EQ(parseSeconds(".5"), milliseconds(500));
    EXPECT_EQ(parseSeconds("5."), milliseconds(5000));
    for (const char* bad : {"", ".", "-1", "+1", "1.2345", "1e3", "ten", "1,5", "1 "}) {
        EXPECT_FALSE(parseSeconds(bad)) << bad;
    }
    EXPECT_FALSE(parseSeconds("99999999999999999999"));
}

TEST(ReplayTime, PrintsSecondsWithThreeDecimals) {
    using std::chrono::milliseconds;
    EXPECT_EQ(formatTime(milliseconds(0)), "0.000");
    EXPECT_EQ(formatTime(milliseconds(30750)), "30.750");
    EXPECT_EQ(formatTime(milliseconds(300005)), "300.005");
}

}  // namespace
}  // namespace relaydeck::replay
