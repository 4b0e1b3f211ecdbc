#pragma once
/// @file
/// @brief Where a window's controls stand and how they look, kept apart from any toolkit:
///        read by every front end, like a form file.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "controller/WindowModel.h"

namespace relaydeck {

/// @brief Twips in an inch; at 96 dots per inch 15 twips make a pixel.
inline constexpr double kTwipsPerInch = 1440.0;

/// @brief A rectangle in twips (1440 to the inch), relative to its container.
struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    constexpr int right() const { return left + width; }
    constexpr int bottom() const { return top + height; }
    constexpr bool operator==(const TwipsRect&) const = default;
};

/// @brief A typeface at a size, in points.
struct FontFace {
    const char* family = "Tahoma";
    double points = 8.25;
    bool bold = false;
};

inline constexpr FontFace kTahoma{"Tahoma", 8.25, false};

/// @brief A colour: the toolkit's own for the place, a fixed RGB one, or a system colour.
struct Colour {
    enum class Kind : std::uint8_t { Default, Fixed, HighlightText };
    Kind kind = Kind::Default;
    Rgb rgb = 0;
    static constexpr Colour fixed(Rgb value) { return {Kind::Fixed, value}; }
    static constexpr Colour highlightText() { return {Kind::HighlightText, 0}; }
    constexpr bool isDefault() const { return kind == Kind::Default; }
};

/// @brief How a caption lines up in its rectangle (always centred vertically).
enum class TextAlign : std::uint8_t { Left, Centre, Right };

/// @brief How a control is drawn where its kind leaves a choice.
enum class Look : std::uint8_t {
    Plain,
    CoverPicture,    ///< the picture scaled to cover the rectangle, cut to its middle
    CentredPicture,  ///< the picture at its own size, centred
    EtchedLine,      ///< a grey line with a white line beneath it
    WrapText,        ///< word-wrapped from the top; long runs of blanks break the line
    FitText,         ///< as wide as its text (the rectangle gives the left edge and height)
    DefaultButton,   ///< the button that Enter presses
    ShrinkToFit,     ///< one line; a smaller size of the font where the text would not fit
};

/// @brief A group frame the controls may stand in.
struct FrameLayout {
    const char* name;
    const char* caption;  ///< "" for none
    TwipsRect rect;       ///< in the client area
    FontFace font = kTahoma;
};

/// @brief Index of "no frame": the control stands in the client area itself.
inline constexpr int kClientArea = -1;

/// @brief One control of the window's model, placed.
struct ControlPlacement {
    int control;              ///< the model's control id
    int frame = kClientArea;  ///< index into WindowLayout::frames
    TwipsRect rect;           ///< in the frame (or client area)
    TextAlign align = TextAlign::Left;
    std::optional<FontFace> font = std::nullopt;  ///< the window's font when empty
    Colour text{};
    Look look = Look::Plain;
    /// @brief For a caption written on a lamp: the lamp's control id (-1: none).
    int onLamp = -1;
};

/// @brief A fixed caption that is not a control of the model (row captions, units).
struct CaptionLayout {
    const char* text;
    int frame;
    TwipsRect rect;
    TextAlign align = TextAlign::Left;
    bool enabled = true;
};

/// @brief Everything a front end needs to build one window.
struct WindowLayout {
    int clientWidth;   ///< twips
    int clientHeight;  ///< twips; 0 when the window's model decides its height
    FontFace font = kTahoma;
    Colour background{};
    Colour foreground{};
    std::span<const FrameLayout> frames;
    std::span<const ControlPlacement> controls;
    std::span<const CaptionLayout> captions;
    /// @brief The first menu entry (a control id) that stands in the menu of Relaydeck's
    /// own rather than on the menu bar; -1: none.
    int firstOwnMenuEntry = -1;

    /// @brief The placement of control @p id, or nullptr when the window does not place it.
    const ControlPlacement* find(int id) const {
        for (const ControlPlacement& p : controls) {
            if (p.control == id) return &p;
        }
        return nullptr;
    }
    /// @brief @p rect of a control or caption in frame @p frame, in client-area twips.
    TwipsRect inClient(int frame, TwipsRect rect) const {
        if (frame == kClientArea) return rect;
        const TwipsRect& f = frames[static_cast<std::size_t>(frame)].rect;
        return {f.left + rect.left, f.top + rect.top, rect.width, rect.height};
    }
};

/// @brief The text a WrapText control shows: each run of @p minimumRun or more blanks
/// becomes @p lineBreak, and blanks at both ends are dropped.
std::string breakLongBlankRuns(std::string_view text, std::string_view lineBreak,
                               std::size_t minimumRun = 8);

/// @brief The main window: status area, lamps, settings panel and save button.
const WindowLayout& mainLayout();
/// @brief Index of the settings panel among the main window's frames.
inline constexpr int kMainPanelFrame = 1;
/// @brief The startup dialog.
const WindowLayout& splashLayout();
/// @brief The About window.
const WindowLayout& aboutLayout();

}  // namespace relaydeck
