#pragma once
/// @file
/// @brief Morse text to keying: the tone and silence durations, and the PCM samples
///        that sound them. Plain C++, no audio device needed.

#include <chrono>
#include <string_view>
#include <vector>

namespace relaydeck {

/// @brief One stretch of keying: a tone or a silence of a given length.
struct MorseElement {
    bool tone = false;
    std::chrono::milliseconds duration{0};

    friend bool operator==(const MorseElement&, const MorseElement&) = default;
};

/// @brief The words-per-minute speed used when none is given.
inline constexpr int kMorseDefaultWpm = 20;

/// @brief The keying of @p text at @p wordsPerMinute (PARIS timing: a dit is 1200 ms / wpm).
///
/// A dah is three dits; one dit of silence separates the elements of a character, three
/// separate characters and seven separate words. Each "*" adds a short gap of three dits
/// (so "*" before the first character delays it and after the last one trails it).
/// Letters are case-blind; characters without a Morse sign are skipped. Adjacent silences
/// are merged; there is no trailing silence unless "*" asks for one.
std::vector<MorseElement> morseElements(std::string_view text,
                                        int wordsPerMinute = kMorseDefaultWpm);

/// @brief The ITU sign of @p c as dots and dashes (".-"), empty when it has none.
std::string_view morseSign(char c);

/// @brief Mono samples in [-1, 1] sounding @p elements: a sine of @p frequencyHz at
///        @p amplitude, each tone shaped by raised-cosine ramps of @p ramp at both ends.
std::vector<float> morseSamples(const std::vector<MorseElement>& elements, int sampleRate,
                                double frequencyHz = 650.0, double amplitude = 0.5,
                                std::chrono::milliseconds ramp = std::chrono::milliseconds(5));

}  // namespace relaydeck
