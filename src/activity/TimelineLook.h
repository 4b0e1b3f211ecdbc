#pragma once
/// @file
/// @brief The look of every timeline the program draws: the lanes' names and the colours.
///        The window on both systems, the SVG picture and the status page all take them
///        from here.

#include <array>
#include <cstdint>
#include <string>

#include "activity/Timeline.h"

namespace relaydeck {

/// @brief A colour by name (for a style sheet or a legend) and by its red, green, blue.
struct TimelineColour {
    const char* name;
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;

    /// @brief "#2e8b3a".
    std::string hex() const;
    bool operator==(const TimelineColour& other) const {
        return red == other.red && green == other.green && blue == other.blue;
    }
};

/// @brief The look of one lane.
struct TimelineLaneLook {
    const char* label;
    TimelineColour colour;
};

namespace timeline_look {

inline constexpr std::array<TimelineLaneLook, kTimelineLanes> kLanes = {{
    {"Carrier", {"carrier", 0x2e, 0x8b, 0x3a}},
    {"Internet", {"internet", 0x2f, 0x6f, 0xbf}},
    {"Transmitter", {"transmitter", 0xd2, 0x3b, 0x2f}},
}};
/// @brief The longest lane label, to size the column of labels.
inline constexpr const char* kWidestLabel = "Transmitter";
inline constexpr TimelineColour kIdentification{"identification", 0x6a, 0x3f, 0xa0};
inline constexpr TimelineColour kTimeOut{"time-out", 0xe0, 0x8a, 0x00};
inline constexpr TimelineColour kBackground{"background", 0xff, 0xff, 0xff};
inline constexpr TimelineColour kLaneGround{"lane", 0xf1, 0xf1, 0xf1};
inline constexpr TimelineColour kAxis{"axis", 0x44, 0x44, 0x44};
inline constexpr TimelineColour kText{"text", 0x00, 0x00, 0x00};

}  // namespace timeline_look

}  // namespace relaydeck
