#include "ui/Twips.h"

#include <QScreen>
#include <cmath>

namespace relaydeck {

Twips Twips::forScreen(const QScreen* screen) {
    return Twips(screen != nullptr ? screen->logicalDotsPerInchY() : 96.0);
}

int Twips::px(double twips) const {
    return static_cast<int>(std::lround(twips * dotsPerInch_ / kPerInch));
}

QRect Twips::rect(int left, int top, int width, int height) const {
    return QRect(px(left), px(top), px(width), px(height));
}

}  // namespace relaydeck
