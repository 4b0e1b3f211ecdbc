#include "simulator/MorseCode.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numbers>
#include <utility>

namespace relaydeck {

namespace {

constexpr int kDahDits = 3;
constexpr int kLetterGapDits = 3;
constexpr int kWordGapDits = 7;
constexpr int kStarGapDits = 3;

constexpr std::pair<char, std::string_view> kSigns[] = {
    {'A', ".-"},    {'B', "-..."},   {'C', "-.-."},   {'D', "-.."},    {'E', "."},
    {'F', "..-."},  {'G', "--."},    {'H', "...."},   {'I', ".."},     {'J', ".---"},
    {'K', "-.-"},   {'L', ".-.."},   {'M', "--"},     {'N', "-."},     {'O', "---"},
    {'P', ".--."},  {'Q', "--.-"},   {'R', ".-."},    {'S', "..."},    {'T', "-"},
    {'U', "..-"},   {'V', "...-"},   {'W', ".--"},    {'X', "-..-"},   {'Y', "-.--"},
    {'Z', "--.."},  {'0', "-----"},  {'1', ".----"},  {'2', "..---"},  {'3', "...--"},
    {'4', "....-"}, {'5', "....."},  {'6', "-...."},  {'7', "--..."},  {'8', "---.."},
    {'9', "----."}, {'.', ".-.-.-"}, {',', "--..--"}, {'?', "..--.."}, {'/', "-..-."},
    {'=', "-...-"}, {'-', "-....-"}, {'+', ".-.-."},  {':', "---..."}, {'\'', ".----."},
    {'(', "-.--."}, {')', "-.--.-"}, {'"', ".-..-."}, {'@', ".--.-."},
};

}  // namespace

std::string_view morseSign(char c) {
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const auto& [ch, sign] : kSigns) {
        if (ch == upper) return sign;
    }
    return {};
}

std::vector<MorseElement> morseElements(std::string_view text, int wordsPerMinute) {
    const std::chrono::milliseconds dit(1200 / std::max(wordsPerMinute, 1));
    std::vector<MorseElement> out;
    auto add = [&out](bool tone, std::chrono::milliseconds duration) {
        if (duration.count() <= 0) return;
        if (!tone && !out.empty() && !out.back().tone) {
            out.back().duration += duration;
        } else {
            out.push_back({tone, duration});
        }
    };

    bool started = false;    // a character has been sounded
    bool wordBreak = false;  // a blank since the last character
    int pendingDits = 0;     // silence asked for by "*" since the last character
    for (char c : text) {
        if (c == '*') {
            pendingDits += kStarGapDits;
            continue;
        }
        if (c == ' ') {
            wordBreak = started;
            continue;
        }
        const std::string_view sign = morseSign(c);
        if (sign.empty()) continue;
        int gapDits = pendingDits;
        if (started) gapDits += kLetterGapDits;
        if (wordBreak) gapDits = std::max(gapDits, kWordGapDits);
        add(false, gapDits * dit);
        for (std::size_t i = 0; i < sign.size(); ++i) {
            if (i > 0) add(false, dit);
            add(true, sign[i] == '-' ? kDahDits * dit : dit);
        }
        started = true;
        wordBreak = false;
        pendingDits = 0;
    }
    add(false, pendingDits * dit);
    return out;
}

std::vector<float> morseSamples(const std::vector<MorseElement>& elements, int sampleRate,
                                double frequencyHz, double amplitude,
                                std::chrono::milliseconds ramp) {
    std::vector<float> samples;
    auto count = [sampleRate](std::chrono::milliseconds d) {
        return static_cast<std::size_t>(
            std::llround(static_cast<double>(d.count()) * sampleRate / 1000.0));
    };
    const double step = 2.0 * std::numbers::pi * frequencyHz / sampleRate;
    for (const MorseElement& e : elements) {
        const std::size_t n = count(e.duration);
        if (!e.tone) {
            samples.insert(samples.end(), n, 0.0F);
            continue;
        }
        const std::size_t rampSamples = std::min(count(ramp), n / 2);
        for (std::size_t i = 0; i < n; ++i) {
            double gain = 1.0;
            const std::size_t edge = std::min(i, n - 1 - i);
            if (edge < rampSamples) {
                gain = 0.5 - 0.5 * std::cos(std::numbers::pi * static_cast<double>(edge) /
                                            static_cast<double>(rampSamples));
            }
            samples.push_back(
                static_cast<float>(amplitude * gain * std::sin(step * static_cast<double>(i))));
        }
    }
    return samples;
}

}  // namespace relaydeck
