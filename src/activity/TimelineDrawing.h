#pragma once
/// @file
/// @brief A timeline laid out as a list of plain drawable items (boxes, lines, dots, texts
///        with coordinates and colours) that any painter can draw without knowing timelines.

#include <chrono>
#include <string>
#include <vector>

#include "activity/TimeText.h"
#include "activity/Timeline.h"
#include "activity/TimelineLook.h"

namespace relaydeck {

/// @brief What an item is.
enum class DrawShape {
    Box,   ///< x, y: top left; width, height
    Line,  ///< from x, y to x + width, y + height
    Dot,   ///< centre x, y; radius width
    Text,  ///< text at x on the baseline y, anchored by `anchor`; height: the font's pixels
};

/// @brief Where a text stands relative to its x.
enum class TextAnchor { Start, Middle, End };

/// @brief One thing to draw, in pixels from the picture's top left corner.
struct DrawItem {
    DrawShape shape = DrawShape::Box;
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    TimelineColour colour = timeline_look::kText;
    /// @brief A line drawn dashed (time-outs).
    bool dashed = false;
    /// @brief A text drawn bold (the title).
    bool bold = false;
    TextAnchor anchor = TextAnchor::Start;
    /// @brief A Text's text; for a mark, what it is ("time-out 2:40"), as a hint.
    std::string text;
};

/// @brief How the axis is labelled.
enum class TimelineAxis {
    Elapsed,     ///< time since the timeline's start: "0:10", "36:00:00", "12 d"
    LocalClock,  ///< the local time of day, "14:20", or the date, "12-07", for long stretches
};

/// @brief The picture to lay a timeline out in.
struct TimelineFrame {
    int width = 960;
    int height = 260;
    /// @brief The pixel size of the painter's font (label widths are estimated from it).
    double fontPx = 12;
    /// @brief Drawn above the lanes when not empty.
    std::string title;
    TimelineAxis axis = TimelineAxis::Elapsed;
    /// @brief For TimelineAxis::LocalClock.
    UtcOffset offset;
    /// @brief A legend of the marks below the axis.
    bool legend = false;
};

/// @brief A laid-out timeline: its size and its items, in painting order.
struct TimelineDrawing {
    int width = 0;
    int height = 0;
    /// @brief True when the lanes are drawn as bins (each as high as its lane was busy).
    bool binned = false;
    std::vector<DrawItem> items;
};

/// @brief Lays @p timeline out in @p frame.
///
/// While a pixel stands for no more than kExactPixel and the timeline holds its bands one
/// by one, each band and mark is drawn where it is; otherwise each lane is drawn as
/// columns kBinPixels wide, as high as the lane was busy in them, and the marks as two
/// thin rows of columns as high as their count. Either way the picture has at most a few
/// thousand items, whatever the timeline's length.
TimelineDrawing drawTimeline(const Timeline& timeline, const TimelineFrame& frame);

inline constexpr std::chrono::milliseconds kExactPixel{10'000};
inline constexpr int kBinPixels = 3;

/// @brief The step between the axis's ticks for @p span: at most @p maxTicks of them, and
/// never less than @p shortest.
std::chrono::milliseconds timelineAxisStep(std::chrono::milliseconds span, int maxTicks,
                                           std::chrono::milliseconds shortest);

}  // namespace relaydeck
