#include "simulator/MorseCode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>

#include "link/SimulatedLinkHost.h"

namespace relaydeck {
namespace {

using std::chrono::milliseconds;

/// Durations in ms, tones positive and silences negative: "K" is {180, -60, 60, -60, 180}.
std::vector<long> keying(std::string_view text, int wpm = kMorseDefaultWpm) {
    std::vector<long> out;
    for (const MorseElement& e : morseElements(text, wpm)) {
        out.push_back(e.tone ? e.duration.count() : -e.duration.count());
    }
    return out;
}

TEST(MorseTiming, CharactersAtTwentyWordsPerMinute) {
    EXPECT_EQ(keying("K"), (std::vector<long>{180, -60, 60, -60, 180}));
    EXPECT_EQ(keying("k"), keying("K"));
    EXPECT_EQ(keying("E"), (std::vector<long>{60}));
    EXPECT_EQ(keying("0"), (std::vector<long>{180, -60, 180, -60, 180, -60, 180, -60, 180}));
    EXPECT_EQ(keying("/"), (std::vector<long>{180, -60, 60, -60, 60, -60, 180, -60, 60}));
    EXPECT_EQ(keying("E", 12), (std::vector<long>{100}));
}

TEST(MorseTiming, GapsBetweenCharactersWordsAndStars) {
    EXPECT_EQ(keying("EE"), (std::vector<long>{60, -180, 60}));
    EXPECT_EQ(keying("E E"), (std::vector<long>{60, -420, 60}));
    EXPECT_EQ(keying("E  E"), keying("E E"));
    // Each "*" is a short gap of its own, added to the usual letter space.
    EXPECT_EQ(keying("E*E"), (std::vector<long>{60, -360, 60}));
    EXPECT_EQ(keying("E**E"), (std::vector<long>{60, -540, 60}));
    EXPECT_EQ(keying("*"), (std::vector<long>{-180}));
    // The time-out's "OK" comes after a lead-in of eight gaps and trails one.
    const std::vector<long> ok = keying("********OK*");
    EXPECT_EQ(ok.front(), -1440);
    EXPECT_EQ(ok.back(), -180);
    EXPECT_EQ(keying(" E "), (std::vector<long>{60}));
}

TEST(MorseTiming, CharactersWithoutASignAreSkipped) {
    EXPECT_EQ(keying("E#E"), keying("EE"));
    EXPECT_EQ(keying("\x01~"), (std::vector<long>{}));
    EXPECT_EQ(keying(""), (std::vector<long>{}));
    for (char c : std::string_view("?.,")) EXPECT_FALSE(morseSign(c).empty()) << c;
}

TEST(MorseSamples, TonesAreRampedAndSilencesSilent) {
    constexpr int kRate = 8000;
    const std::vector<MorseElement> elements{{true, milliseconds(60)}, {false, milliseconds(60)}};
    const std::vector<float> s = morseSamples(elements, kRate, 650.0, 0.5, milliseconds(5));
    ASSERT_EQ(s.size(), 960u);
    // No click: the tone starts and ends at zero and grows over the ramp.
    EXPECT_FLOAT_EQ(s.front(), 0.0F);
    EXPECT_NEAR(s[479], 0.0F, 0.01F);
    const auto peak = [&s](std::size_t from, std::size_t to) {
        return std::accumulate(s.begin() + from, s.begin() + to, 0.0F,
                               [](float m, float v) { return std::max(m, std::abs(v)); });
    };
    EXPECT_LT(peak(0, 10), 0.2F);
    EXPECT_NEAR(peak(100, 380), 0.5F, 0.01F);
    EXPECT_EQ(peak(480, 960), 0.0F);
}

}  // namespace
}  // namespace relaydeck
