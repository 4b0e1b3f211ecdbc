#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "ReplayRunner.h"
#include "ScenarioLexer.h"

namespace relaydeck::replay {
namespace {

const char* const kScenario =
    "# A local over.\n"
    "callsign PY2XYZ\n"
    "start\n"
    "\n"
    "  # The carrier comes up:   \n"
    "# the transmitter keys.\n"
    "wait 10\n"
    "   carrier on   \n"
    "wait 1\n"
    "carrier off\n"
    "wait 8\n"
    "show Status\n";

class ReplayEcho : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ =
            std::filesystem::temp_directory_path() /
            ("relaydeck-echo-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::string replay(bool echo) {
        std::filesystem::remove(folder_ / "relaydeck.ini");
        std::istringstream in(kScenario);
        std::ostringstream out;
        ReplayRunner runner(in, out, folder_);
        if (echo) runner.echoScenario();
        runner.run();
        return out.str();
    }

    static std::vector<std::string> lines(const std::string& text) {
        std::vector<std::string> result;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) result.push_back(line);
        return result;
    }

    std::filesystem::path folder_;
};

TEST_F(ReplayEcho, WithoutEchoedLinesTheOutputIsTheSameByteForByte) {
    const std::string plain = replay(false);
    ASSERT_NE(plain.find("SetPTT(True)"), std::string::npos);
    EXPECT_EQ(plain.find('#'), std::string::npos);
    EXPECT_EQ(plain.find(" > "), std::string::npos);

    std::string filtered;
    for (const std::string& line : lines(replay(true))) {
        if (line.empty() || line.starts_with("#") || line.find(" > ") != std::string::npos) {
            continue;
        }
        filtered += line + '\n';
    }
    EXPECT_EQ(filtered, plain);
}

TEST_F(ReplayEcho, EchoesEachCommandAtItsTimeBeforeWhatItCaused) {
    const std::vector<std::string> out = lines(replay(true));
    const auto at = [&out](const std::string& text) {
        for (std::size_t i = 0; i < out.size(); ++i) {
            if (out[i] == text) return static_cast<long>(i);
        }
        ADD_FAILURE() << "missing: " << text;
        return -1L;
    };
    // Indentation and trailing blanks go; comments stay as written, one block per blank.
    EXPECT_EQ(out.at(0), "# A local over.");
    EXPECT_EQ(out.at(1), "0.000 > callsign PY2XYZ");
    const long comment = at("# The carrier comes up:");
    EXPECT_EQ(out.at(static_cast<std::size_t>(comment) - 1), "");
    EXPECT_EQ(out.at(static_cast<std::size_t>(comment) + 1), "# the transmitter keys.");

    const long carrierOn = at("10.000 > carrier on");
    const long keyed = at("10.000 SetPTT(True)");
    EXPECT_GT(comment, at("0.000 > start"));
    EXPECT_LT(carrierOn, keyed);
    EXPECT_LT(at("11.000 > carrier off"), at("11.000 > wait 8"));
    // A shown value names itself; its command is not echoed as well.
    EXPECT_EQ(out.back(), "19.000 Status = \"Waiting...\"");
    EXPECT_EQ(out.at(out.size() - 2).find("> show"), std::string::npos);
}

TEST(ScenarioReader, EchoSeesCommentsAndCommandsButNotBlankLines) {
    std::istringstream in("\n# one\n  start  \n\t\n#two\n");
    ScenarioReader reader(in);
    std::vector<std::string> seen;
    reader.setEcho([&seen](ScenarioReader::LineKind kind, std::string_view text) {
        seen.push_back((kind == ScenarioReader::LineKind::Comment ? "c:" : "k:") +
                       std::string(text));
    });
    ASSERT_TRUE(reader.next().has_value());
    EXPECT_FALSE(reader.next().has_value());
    EXPECT_EQ(seen, (std::vector<std::string>{"c:# one", "k:start", "c:#two"}));
}

}  // namespace
}  // namespace relaydeck::replay
