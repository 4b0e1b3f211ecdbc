#include "ui/ScreenPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cstdint>
#include <limits>

namespace relaydeck {

namespace {

/// Whether a strip of the top edge of @p frame lies on @p screen.
bool reachable(const QRect& frame, const QRect& screen) {
    const QRect top(frame.topLeft(),
                    QSize(frame.width(), std::min(frame.height(), kReachableHeightPx)));
    const QRect shared = top.intersected(screen);
    return shared.width() >= std::min(kReachableWidthPx, frame.width()) && shared.height() > 0;
}

/// The squared distance from @p frame to @p screen (0 when they meet), in 64 bits: a
/// position read from a file may lie far out.
std::int64_t distance2(const QRect& frame, const QRect& screen) {
    const auto gap = [](int low, int high, int otherLow, int otherHigh) -> std::int64_t {
        if (high < otherLow) return std::int64_t{otherLow} - high;
        if (otherHigh < low) return std::int64_t{low} - otherHigh;
        return 0;
    };
    const std::int64_t dx = gap(frame.left(), frame.right(), screen.left(), screen.right());
    const std::int64_t dy = gap(frame.top(), frame.bottom(), screen.top(), screen.bottom());
    return dx * dx + dy * dy;
}

/// @p start moved so that @p length fits in [low, low + room), or to @p low if it cannot.
int fitted(int start, int length, int low, int room) {
    if (length >= room) return low;
    return std::clamp(start, low, low + room - length);
}

}  // namespace

QPoint placeOnScreens(const QRect& frame, const QList<QRect>& screens) {
    if (screens.isEmpty()) return frame.topLeft();
    for (const QRect& screen : screens) {
        if (reachable(frame, screen)) return frame.topLeft();
    }
    const QRect* nearest = &screens.front();
    std::int64_t best = std::numeric_limits<std::int64_t>::max();
    for (const QRect& screen : screens) {
        if (const std::int64_t d = distance2(frame, screen); d < best) {
            best = d;
            nearest = &screen;
        }
    }
    return {fitted(frame.left(), frame.width(), nearest->left(), nearest->width()),
            fitted(frame.top(), frame.height(), nearest->top(), nearest->height())};
}

SideBySide sideBySide(QSize first, QSize second, const QRect& screen, int spacingPx) {
    const int total = first.width() + spacingPx + second.width();
    const int height = std::max(first.height(), second.height());
    const int left = screen.left() + std::max(0, (screen.width() - total) / 2);
    const int top = screen.top() + std::max(0, (screen.height() - height) / 3);
    const int secondLeft =
        std::max(screen.left(), std::min(left + first.width() + spacingPx,
                                         screen.left() + screen.width() - second.width()));
    return {QPoint(left, top), QPoint(secondLeft, top)};
}

QPoint placeOnScreen(const QRect& frame) {
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens()) {
        areas.append(screen->availableGeometry());
    }
    return placeOnScreens(frame, areas);
}

}  // namespace relaydeck
