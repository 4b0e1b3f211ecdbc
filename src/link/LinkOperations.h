#pragma once
/// @file
/// @brief The link program's eleven operations and four events by name: the one list the
///        bindings, the simulator and the replay tool all go by.

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace relaydeck {

/// @brief The operations of the link host, in the interface's order.
enum class LinkOperation {
    SetPTT,
    GetRX,
    GetPTT,
    GetCarrier,
    SendCW,
    GetStation,
    SetAux,
    SendStationText,
    SetControlMode,
    Speak,
    PlayPrompt,
};

/// @brief One operation: its name in the link program, and whether it only asks.
struct LinkOperationDefinition {
    LinkOperation operation;
    std::string_view name;
    bool query;
};

inline constexpr std::array<LinkOperationDefinition, 11> kLinkOperations = {{
    {LinkOperation::SetPTT, "SetPTT", false},
    {LinkOperation::GetRX, "GetRX", true},
    {LinkOperation::GetPTT, "GetPTT", true},
    {LinkOperation::GetCarrier, "GetCarrier", true},
    {LinkOperation::SendCW, "SendCW", false},
    {LinkOperation::GetStation, "GetStation", true},
    {LinkOperation::SetAux, "SetAux", false},
    {LinkOperation::SendStationText, "SendStationText", false},
    {LinkOperation::SetControlMode, "SetControlMode", false},
    {LinkOperation::Speak, "Speak", false},
    {LinkOperation::PlayPrompt, "PlayPrompt", false},
}};

/// @brief The table's entry for @p operation.
constexpr const LinkOperationDefinition& definitionOf(LinkOperation operation) {
    return kLinkOperations[static_cast<std::size_t>(operation)];
}

/// @brief The link program's name of @p operation.
constexpr std::string_view nameOf(LinkOperation operation) {
    return definitionOf(operation).name;
}

/// @brief The operation called @p name (exact spelling); nullopt for any other name.
constexpr std::optional<LinkOperation> findLinkOperation(std::string_view name) {
    for (const LinkOperationDefinition& definition : kLinkOperations) {
        if (definition.name == name) return definition.operation;
    }
    return std::nullopt;
}

/// @brief The events the link program raises, in the interface's order.
enum class LinkEvent { CarrierDetect, RX, PTT, Closing };

inline constexpr std::array<std::string_view, 4> kLinkEventNames = {"CarrierDetect", "RX", "PTT",
                                                                    "Closing"};

namespace detail {
constexpr bool tableFollowsTheEnum() {
    for (std::size_t i = 0; i < kLinkOperations.size(); ++i) {
        if (static_cast<std::size_t>(kLinkOperations[i].operation) != i) return false;
    }
    return true;
}
}  // namespace detail
static_assert(detail::tableFollowsTheEnum(), "kLinkOperations must follow LinkOperation");
static_assert(static_cast<std::size_t>(LinkOperation::PlayPrompt) + 1 == kLinkOperations.size());
static_assert(static_cast<std::size_t>(LinkEvent::Closing) + 1 == kLinkEventNames.size());

}  // namespace relaydeck
