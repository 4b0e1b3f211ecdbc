#include "ui/Twips.h"

#include <QScreen>
#include <algorithm>
#include <cmath>

namespace relaydeck {

Twips Twips::forScreen(const QScreen* screen) {
    return Twips(screen != nullptr ? screen->logicalDotsPerInchY() : 96.0);
}

int Twips::px(double twips) const {
    // Far beyond any screen, yet clear of int's limits whatever a file held.
    constexpr double kFarPx = 1 << 24;
    const double pixels = twips * dotsPerInch_ / kTwipsPerInch;
    if (std::isnan(pixels)) return 0;
    return static_cast<int>(std::lround(std::clamp(pixels, -kFarPx, kFarPx)));
}

QRect Twips::rect(int left, int top, int width, int height) const {
    return QRect(px(left), px(top), px(width), px(height));
}

}  // namespace relaydeck
