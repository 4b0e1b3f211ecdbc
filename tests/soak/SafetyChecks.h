#pragma once
/// @file
/// @brief Reads a replay's output and checks it against the traffic that produced it:
///        the transmitter drops after every over, no busy spell (one source or both
///        overlapping) keeps it keyed past the time-out, the station identifies in Morse
///        in every interval, and nothing fails.

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "TrafficGenerator.h"

namespace relaydeck::soak {

/// @brief One line of replay output: "T Name(ARGS)" or "T MsgBox ..." or "T End".
struct OutputLine {
    std::chrono::milliseconds at{0};
    std::string name;  ///< "SetPTT", "SendCW", "MsgBox", "End", ...
    std::string args;  ///< what stood between the parentheses, or after the name
};

/// @brief Splits replay output into lines; a line that is not of that form becomes a
/// violation in checkSafety (name "?").
std::vector<OutputLine> parseOutput(std::string_view output);

/// @brief Every broken rule, one readable sentence each; empty when the run was sound.
std::vector<std::string> checkSafety(const replay::Traffic& traffic,
                                     const std::vector<OutputLine>& lines);

}  // namespace relaydeck::soak
