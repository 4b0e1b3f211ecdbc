#include "settings/ProfileFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "TempFolder.h"

namespace relaydeck {
namespace {

namespace fs = std::filesystem;

class ProfileFileTest : public ::testing::Test {
  protected:
    std::optional<std::string> read(const std::string& key) const {
        return readProfileString(path_, "SETTINGS", key);
    }
    bool write(const std::string& key, const std::string& value) const {
        return writeProfileString(path_, "SETTINGS", key, value);
    }
    void setFile(const std::string& bytes) const { test::writeBytes(path_, bytes); }
    std::string file() const { return test::readBytes(path_); }

    test::TempFolder folder_;
    fs::path path_ = folder_.path() / "relaydeck.ini";
};

TEST_F(ProfileFileTest, AbsentFileSectionOrKeyGivesNothing) {
    EXPECT_EQ(read("HANGTIME"), std::nullopt);
    setFile("HANGTIME=1\r\n[OTHER]\r\nHANGTIME=2\r\n[SETTINGS]\r\nTIMEOUT=3\r\nHANGTIME\r\n");
    EXPECT_EQ(read("HANGTIME"), std::nullopt);
    EXPECT_EQ(read("TIMEOUT"), "3");
}

TEST_F(ProfileFileTest, NamesMatchWithoutCaseAndTheFirstMatchWins) {
    setFile(" [ settings ] \nhangTime=10\nHANGTIME=20\n[SETTINGS]\nHANGTIME=30\nTIMEOUT=7\n");
    EXPECT_EQ(read("HANGTIME"), "10");
    EXPECT_EQ(read("TIMEOUT"), std::nullopt);
}

TEST_F(ProfileFileTest, BlanksAndOnePairOfQuotesAreRemoved) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"K=  a b \t", "a b"}, {"K = \"x\" ", "x"}, {"K='x'", "x"},       {"K=\"\"x\"\"", "\"x\""},
        {"K=\"x'", "\"x'"},    {"K=\"", "\""},      {"K=\" a \"", " a "}, {"K=''", ""},
        {"K=   ", ""},         {"K=a=b", "a=b"},
    };
    for (const auto& [line, expected] : cases) {
        setFile("[SETTINGS]\r\n" + line + "\r\n");
        EXPECT_EQ(read("K"), expected) << line;
    }
}

TEST_F(ProfileFileTest, ValuesAreCutTo255AfterUnquoting) {
    setFile("[SETTINGS]\nA=" + std::string(300, 'a') + "\nB=\"" + std::string(300, 'b') + "\"");
    EXPECT_EQ(read("A"), std::string(255, 'a'));
    EXPECT_EQ(read("B"), std::string(255, 'b'));
}

TEST_F(ProfileFileTest, NewFileIsWrittenAsWindowsWritesIt) {
    ASSERT_TRUE(write("KEY", "VAL"));
    EXPECT_EQ(file(), "[SETTINGS]\r\nKEY=VAL\r\n");
    ASSERT_TRUE(write("NEXT", " two words "));
    EXPECT_EQ(file(), "[SETTINGS]\r\nKEY=VAL\r\nNEXT= two words \r\n");
}

TEST_F(ProfileFileTest, RewriteReplacesOnlyTheKeysLine) {
    const std::string before =
        "; comment\r\n[OTHER]\r\nHANGTIME=x\r\n\r\n[settings]\r\n Hangtime = 5 \r\n"
        "TIMEOUT=3\r\n  no equals sign\r\n[LAST]\r\nA=1";
    setFile(before);
    ASSERT_TRUE(write("HANGTIME", "10"));
    std::string expected = before;
    expected.replace(expected.find(" Hangtime = 5 "), 14, "Hangtime=10");
    EXPECT_EQ(file(), expected);
}

TEST_F(ProfileFileTest, NewKeyGoesAfterTheLastLineOfItsSection) {
    setFile("[SETTINGS]\r\nA=1\r\n\r\n\r\n[OTHER]\r\nB=2\r\n");
    ASSERT_TRUE(write("C", "3"));
    EXPECT_EQ(file(), "[SETTINGS]\r\nA=1\r\nC=3\r\n\r\n\r\n[OTHER]\r\nB=2\r\n");

    setFile("[OTHER]\r\nB=2\r\n[SETTINGS]");
    ASSERT_TRUE(write("C", "3"));
    EXPECT_EQ(file(), "[OTHER]\r\nB=2\r\n[SETTINGS]\r\nC=3\r\n");
}

TEST_F(ProfileFileTest, LfFilesStayLf) {
    setFile("[OTHER]\nB=2");
    ASSERT_TRUE(write("K", "V"));
    ASSERT_TRUE(write("L", "W"));
    ASSERT_TRUE(write("K", "X"));
    EXPECT_EQ(file(), "[OTHER]\nB=2\n[SETTINGS]\nK=X\nL=W\n");
}

TEST_F(ProfileFileTest, LoneCrLinesAreLinesAndStayCr) {
    setFile("[OTHER]\rHANGTIME=1\r[SETTINGS]\rHANGTIME=5\rTIMEOUT=3");
    EXPECT_EQ(read("HANGTIME"), "5");
    EXPECT_EQ(read("TIMEOUT"), "3");
    ASSERT_TRUE(write("HANGTIME", "7"));
    ASSERT_TRUE(write("FANTIME", "2"));
    EXPECT_EQ(file(), "[OTHER]\rHANGTIME=1\r[SETTINGS]\rHANGTIME=7\rTIMEOUT=3\rFANTIME=2\r");

    // Mixed ends: each line keeps its own; a CR before CR LF ends an empty line.
    setFile("[SETTINGS]\r\nA=1\rB=2\nC=3\r\r\n");
    EXPECT_EQ(read("B"), "2");
    EXPECT_EQ(read("C"), "3");
    ASSERT_TRUE(write("B", "9"));
    EXPECT_EQ(file(), "[SETTINGS]\r\nA=1\rB=9\nC=3\r\r\n");
}

TEST_F(ProfileFileTest, ABatchIsAppliedInOrderInOneWrite) {
    setFile("[SETTINGS]\nA=1\n[OTHER]\nB=2\n");
    const std::vector<ProfileEntry> entries = {{"A", "x"}, {"NEW", "y"}, {"a", "z"}};
    writeProfileStrings(path_, "SETTINGS", entries);
    EXPECT_EQ(file(), "[SETTINGS]\nA=z\nNEW=y\n[OTHER]\nB=2\n");

    writeProfileStrings(folder_.path() / "fresh.ini", "S", entries);
    EXPECT_EQ(test::readBytes(folder_.path() / "fresh.ini"), "[S]\r\nA=z\r\nNEW=y\r\n");
}

TEST_F(ProfileFileTest, WritingTheSameValuesAgainChangesNothing) {
    setFile("[SETTINGS]\r\n K = 1 \r\n");
    const auto saveAll = [this] {
        ASSERT_TRUE(write("K", "1"));
        ASSERT_TRUE(write("CWIDTEXT", "CQ"));
        ASSERT_TRUE(write("EMPTY", ""));
    };
    saveAll();
    const std::string once = file();
    saveAll();
    EXPECT_EQ(file(), once);
}

TEST_F(ProfileFileTest, LineBreaksInAValueCannotAddLines) {
    ASSERT_TRUE(write("CWIDTEXT", "CQ\r\nTIMEOUT=99\n[X]"));
    ASSERT_TRUE(write("A\nB", "1"));
    EXPECT_EQ(file(), "[SETTINGS]\r\nCWIDTEXT=CQ  TIMEOUT=99 [X]\r\nA B=1\r\n");
    EXPECT_EQ(read("TIMEOUT"), std::nullopt);
}

TEST_F(ProfileFileTest, FailedWriteChangesNothing) {
    fs::create_directory(path_);
    EXPECT_FALSE(write("K", "V"));
    EXPECT_TRUE(fs::is_directory(path_));
    EXPECT_TRUE(fs::is_empty(path_));

    const fs::path missingFolder = folder_.path() / "missing";
    EXPECT_FALSE(writeProfileString(missingFolder / "relaydeck.ini", "SETTINGS", "K", "V"));
    EXPECT_FALSE(fs::exists(missingFolder));
}

TEST_F(ProfileFileTest, FileIsReplacedNotOverwritten) {
    setFile("[SETTINGS]\r\nK=old\r\n");
    const fs::path earlier = folder_.path() / "earlier.ini";
    fs::create_hard_link(path_, earlier);

    ASSERT_TRUE(write("K", "new"));
    EXPECT_EQ(file(), "[SETTINGS]\r\nK=new\r\n");
    EXPECT_EQ(test::readBytes(earlier), "[SETTINGS]\r\nK=old\r\n");
    std::vector<fs::path> entries;
    for (const auto& entry : fs::directory_iterator(folder_.path())) entries.push_back(entry);
    EXPECT_EQ(entries.size(), 2u);
}

}  // namespace
}  // namespace relaydeck

namespace relaydeck {
namespace {

TEST(ProfileBytes, ReadAndWriteWorkOnAFilesContentAsOnTheFile) {
    const std::string file = "; note\r[Settings]\rHangTime = 5\r[Other]\rx=1";
    EXPECT_EQ(profileStringIn(file, "SETTINGS", "hangtime"), "5");
    EXPECT_EQ(profileStringIn(file, "SETTINGS", "x"), std::nullopt);
    const ProfileEntry entries[] = {{"HANGTIME", "7"}, {"CWIDTEXT", "PY2XYZ"}};
    EXPECT_EQ(withProfileStrings(file, "SETTINGS", entries),
              "; note\r[Settings]\rHangTime=7\rCWIDTEXT=PY2XYZ\r[Other]\rx=1");
    const ProfileEntry same{"x", "1"};
    EXPECT_EQ(withProfileStrings(file, "other", {&same, 1}), file);
    EXPECT_EQ(withProfileStrings("", "S", {&same, 1}), "[S]\r\nx=1\r\n");
}

TEST(ProfileBytes, ALastLineWithoutALineEndIsEditedInPlace) {
    const std::string file = "[S]\nK=1\n[S]\nK=2";
    EXPECT_EQ(profileStringIn(file, "S", "K"), "1");
    const ProfileEntry longer{"k", "1]"};
    EXPECT_EQ(withProfileStrings("[S]\nK=1", "S", {&longer, 1}), "[S]\nK=1]");
    const ProfileEntry same{"K", "1"};
    EXPECT_EQ(withProfileStrings(file, "S", {&same, 1}), file);
    const ProfileEntry added{"L", "3"};
    EXPECT_EQ(withProfileStrings(file, "S", {&added, 1}), "[S]\nK=1\nL=3\n[S]\nK=2");
}

}  // namespace
}  // namespace relaydeck
