#pragma once
/// @file
/// @brief Twips (1440 to the inch) to pixels and back at a screen's logical resolution.

#include <QRect>

#include "controller/WindowLayout.h"

class QScreen;

namespace relaydeck {

/// @brief Converts window measures given in twips to pixels for one resolution.
class Twips {
  public:
    /// @brief A converter for @p dotsPerInch logical dots per inch (96: 15 twips a pixel).
    explicit Twips(double dotsPerInch = 96.0) : dotsPerInch_(dotsPerInch) {}
    /// @brief A converter for the logical resolution of @p screen (96 dpi without one).
    static Twips forScreen(const QScreen* screen);

    double dotsPerInch() const { return dotsPerInch_; }
    /// @brief @p twips as whole pixels, rounded to the nearest.
    int px(double twips) const;
    /// @brief @p pixels as twips.
    double twips(int pixels) const { return pixels * kTwipsPerInch / dotsPerInch_; }
    /// @brief A rectangle given in twips, in pixels.
    QRect rect(int left, int top, int width, int height) const;
    /// @brief @p twipsRect, given in twips, in pixels.
    QRect rect(const QRect& twipsRect) const {
        return rect(twipsRect.x(), twipsRect.y(), twipsRect.width(), twipsRect.height());
    }

  private:
    double dotsPerInch_;
};

}  // namespace relaydeck
