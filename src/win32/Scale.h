#pragma once
/// @file
/// @brief Twips (1440 to the inch) to pixels and back at a window's dots per inch.

#include <cmath>

#include "controller/WindowLayout.h"

namespace relaydeck::win32 {

/// @brief Converts twips for one resolution (96 dpi: 15 twips a pixel).
class Scale {
  public:
    static constexpr unsigned kDefaultDpi = 96;

    explicit Scale(unsigned dpi = kDefaultDpi) : dpi_(dpi == 0 ? kDefaultDpi : dpi) {}
    unsigned dpi() const { return dpi_; }
    /// @brief @p twips as whole pixels, rounded to the nearest.
    int px(double twips) const {
        return static_cast<int>(std::lround(twips * dpi_ / kTwipsPerInch));
    }
    /// @brief @p pixels as twips.
    double twips(int pixels) const { return pixels * kTwipsPerInch / dpi_; }
    /// @brief A font's height in pixels for @p points (negative: the character height,
    /// as a font request wants it).
    int fontHeight(double points) const {
        return -static_cast<int>(std::lround(points * dpi_ / 72.0));
    }

    struct PixelRect {
        int left, top, width, height;
    };
    /// @brief A twips rectangle in pixels; edges are rounded, so neighbours stay flush.
    PixelRect rect(const TwipsRect& r) const {
        const int left = px(r.left);
        const int top = px(r.top);
        return {left, top, px(r.right()) - left, px(r.bottom()) - top};
    }

  private:
    unsigned dpi_;
};

}  // namespace relaydeck::win32
