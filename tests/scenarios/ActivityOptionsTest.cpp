#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "ActivityOutput.h"

namespace relaydeck::replay {
namespace {

using Args = std::vector<std::string>;

TEST(ActivityOptions, AreTakenOutWhereverTheyStandAndTheScenarioRemains) {
    Args args{"--timeline-svg", "day.svg", "demo.scn", "--activity-csv", "day.csv"};
    ActivityOptions options;
    ASSERT_TRUE(takeActivityOptions(args, options));
    EXPECT_EQ(args, Args{"demo.scn"});
    EXPECT_EQ(options.csv, "day.csv");
    EXPECT_EQ(options.svg, "day.svg");

    Args none{"demo.scn"};
    ActivityOptions unset;
    ASSERT_TRUE(takeActivityOptions(none, unset));
    EXPECT_EQ(none, Args{"demo.scn"});
    EXPECT_TRUE(unset.csv.empty() && unset.svg.empty());
}

TEST(ActivityOptions, AnOptionWithoutItsFileIsRefused) {
    for (Args args : {Args{"demo.scn", "--activity-csv"}, Args{"--timeline-svg", ""}}) {
        ActivityOptions options;
        EXPECT_FALSE(takeActivityOptions(args, options));
    }
}

TEST(ActivityOptions, TheCsvIsWrittenAsRecordsComeAndAFileThatCannotBeWrittenFails) {
    const auto csv = std::filesystem::temp_directory_path() /
                     ("relaydeck-activity-" + std::to_string(std::random_device{}()) + ".csv");
    ActivityOutput output({csv.string(), "/nonexistent-folder/x.svg"});
    output.record({ActivityTime{}, ActivityEvent::ProgramStarted, std::nullopt, "PY2XYZ"});
    std::ostringstream errors;
    EXPECT_FALSE(output.finish(ActivityTime{}, "demo.scn", errors));
    EXPECT_EQ(errors.str(), "relaydeck-replay: cannot write /nonexistent-folder/x.svg\n");
    std::ifstream in(csv, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
              "time,event,duration,detail\r\n1970-01-01 00:00:00.000,program-started,,PY2XYZ\r\n");
    in.close();
    std::filesystem::remove(csv);
}

}  // namespace
}  // namespace relaydeck::replay
