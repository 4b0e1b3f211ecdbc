#pragma once
/// @file
/// @brief The main window's status line texts, and what its title adds while the link
///        program does not answer.

namespace relaydeck {

inline constexpr const char* kStatusWaiting = "Waiting...";
inline constexpr const char* kStatusReceiving = "Receiving...";
inline constexpr const char* kStatusWaitingForNextOver = "Waiting for next over ...";
inline constexpr const char* kStatusTimeOut = "TimeOut...!";
/// @brief While the repeater is switched off (an option of Relaydeck's own).
inline constexpr const char* kStatusRepeaterOff = "Repeater off";

/// @brief Beside a timing field whose text is not taken as typed: what is in force.
inline constexpr const char* kInForceMark = "in force: ";
inline constexpr const char* kInForceTooltip =
    "The text beside is not taken as typed: this value is in force.";

/// @brief Added to the title while a call waits for the link program: " - " + this +
/// the whole seconds waited + " s".
inline constexpr const char* kTitleNotAnswering = "EchoLink not answering for ";

}  // namespace relaydeck
