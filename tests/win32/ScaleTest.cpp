#include "win32/Scale.h"

#include <gtest/gtest.h>

namespace relaydeck::win32 {
namespace {

TEST(Scale, FifteenTwipsAPixelAtNinetySixDpi) {
    const Scale s(96);
    EXPECT_EQ(s.px(15), 1);
    EXPECT_EQ(s.px(4830), 322);
    EXPECT_EQ(s.px(2670), 178);
    EXPECT_EQ(s.px(9810), 654);
    EXPECT_DOUBLE_EQ(s.twips(322), 4830.0);
}

TEST(Scale, FollowsTheWindowsResolution) {
    // 125 % and 150 %: the same twips take more pixels.
    EXPECT_EQ(Scale(120).px(4830), 403);
    EXPECT_EQ(Scale(144).px(4830), 483);
    EXPECT_EQ(Scale(144).px(2670), 267);
    EXPECT_DOUBLE_EQ(Scale(144).twips(100), 1000.0);
}

TEST(Scale, NoResolutionMeansNinetySixDpi) {
    EXPECT_EQ(Scale(0).dpi(), 96u);
}

TEST(Scale, FontHeightIsTheNegativeCharacterHeight) {
    EXPECT_EQ(Scale(96).fontHeight(8.25), -11);
    EXPECT_EQ(Scale(144).fontHeight(8.25), -17);
    EXPECT_EQ(Scale(96).fontHeight(32.25), -43);
}

TEST(Scale, NeighbouringRectanglesStayFlushAtOddResolutions) {
    const Scale s(120);
    // Two fields side by side: the first's right edge is the second's left edge.
    const TwipsRect first{1710, 2025, 450, 285};
    const TwipsRect second{first.right(), 2025, 690, 285};
    const auto a = s.rect(first);
    const auto b = s.rect(second);
    EXPECT_EQ(a.left + a.width, b.left);
    EXPECT_EQ(a.top, b.top);
    EXPECT_EQ(a.height, b.height);
}

}  // namespace
}  // namespace relaydeck::win32
