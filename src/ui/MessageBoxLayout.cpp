#include "ui/MessageBoxLayout.h"

#include <algorithm>
#include <array>

namespace relaydeck {

namespace {

/// @p start moved so that @p length fits in [low, high], or @p low when it cannot.
int clampInto(int start, int length, int low, int high) {
    return std::max(low, std::min(start, high - length + 1));
}

}  // namespace

int messageWrapWidthPx(int screenWidthPx) {
    return std::max(screenWidthPx, 0) * 3 / 5;
}

std::optional<QPoint> placeClearOf(QSize frame, const QRect& keepClear, const QRect& screen,
                                   int gapPx) {
    if (frame.isEmpty() || screen.isEmpty()) return std::nullopt;
    const int centredLeft = clampInto(keepClear.left() + (keepClear.width() - frame.width()) / 2,
                                      frame.width(), screen.left(), screen.right());
    const int centredTop = clampInto(keepClear.top() + (keepClear.height() - frame.height()) / 2,
                                     frame.height(), screen.top(), screen.bottom());
    const std::array<QPoint, 4> tries = {
        QPoint(centredLeft, keepClear.bottom() + 1 + gapPx),
        QPoint(centredLeft, keepClear.top() - gapPx - frame.height()),
        QPoint(keepClear.right() + 1 + gapPx, centredTop),
        QPoint(keepClear.left() - gapPx - frame.width(), centredTop),
    };
    for (const QPoint& at : tries) {
        const QRect box(at, frame);
        if (screen.contains(box) && !box.intersects(keepClear)) return at;
    }
    return std::nullopt;
}

}  // namespace relaydeck
