#pragma once
/// @file
/// @brief Reading back what the simulated station recorded of a call.

#include <optional>
#include <string>

#include "link/SimulatedLinkHost.h"

namespace relaydeck {

/// @brief The text a SendCW, Speak or SendStationText call passed: its quoted argument
///        with the quoting undone; nullopt when the call passed no text.
std::optional<std::string> callText(const LinkCall& call);

/// @brief The eleven operations of the link host, in the interface's order, then "create".
inline constexpr const char* kSimulatorFailable[] = {
    "SetPTT", "GetRX",           "GetPTT",         "GetCarrier", "SendCW",     "GetStation",
    "SetAux", "SendStationText", "SetControlMode", "Speak",      "PlayPrompt", "create",
};

}  // namespace relaydeck
