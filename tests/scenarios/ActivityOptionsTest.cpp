#include <gtest/gtest.h>

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

TEST(ActivityOptions, AFileThatCannotBeWrittenIsSaidAndFails) {
    ActivityOutput output;
    output.record({ActivityTime{}, ActivityEvent::ProgramStarted, std::nullopt, "PY2XYZ"});
    std::ostringstream errors;
    const ActivityOptions options{"/nonexistent-folder/x.csv", ""};
    EXPECT_FALSE(writeActivity(options, output, ActivityTime{}, "demo.scn", errors));
    EXPECT_EQ(errors.str(), "relaydeck-replay: cannot write /nonexistent-folder/x.csv\n");
    EXPECT_EQ(output.csv(),
              "time,event,duration,detail\r\n1970-01-01 00:00:00.000,program-started,,PY2XYZ\r\n");
}

}  // namespace
}  // namespace relaydeck::replay
