#include "settings/CodePage.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace relaydeck {
namespace {

TEST(CodePage, EveryByteRoundTrips) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte) {
        const std::string text(1, static_cast<char>(byte));
        EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(text)), text) << "byte " << byte;
        all += text;
    }
    EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)), all);
}

TEST(CodePage, MapsTheHighBlockAndLatin1) {
    EXPECT_EQ(cp1252ToUtf8("\x80"), "\u20AC");
    EXPECT_EQ(cp1252ToUtf8("\x8C\x99\x9F"), "\u0152\u2122\u0178");
    EXPECT_EQ(cp1252ToUtf8("Configura\xE7\xE3o"), "Configuração");
    EXPECT_EQ(utf8ToCp1252("Configuração €"), "Configura\xE7\xE3o \x80");
    // The five bytes without a character stand for the controls of the same number.
    EXPECT_EQ(cp1252ToUtf8("\x81\x8D\x8F\x90\x9D"), "\u0081\u008D\u008F\u0090\u009D");
    EXPECT_EQ(utf8ToCp1252("\u0081\u008D\u008F\u0090\u009D"), "\x81\x8D\x8F\x90\x9D");
}

TEST(CodePage, UnrepresentableAndIllFormedInputBecomesQuestionMarks) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"\u65E5\u672C", "??"},         // no place in the code page
        {"a\U0001F600b", "a?b"},        // four-byte character
        {"\u0080\u009F\uFFFD", "???"},  // controls the code page has no byte for
        {"\xC3", "?"},                  // truncated at the end
        {"\xE2\x82\x41", "?A"},         // truncated in the middle
        {"\xC0\x80", "??"},             // overlong
        {"\xED\xA0\x80", "???"},        // surrogate
        {"\xF4\x90\x80\x80", "????"},   // beyond U+10FFFF
        {"\xFF\x80x", "??x"},           // stray bytes
    };
    for (const auto& [utf8, expected] : cases) EXPECT_EQ(utf8ToCp1252(utf8), expected);
}

}  // namespace
}  // namespace relaydeck
