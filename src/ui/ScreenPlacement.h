#pragma once
/// @file
/// @brief Keeps a window where the operator can reach it: a stored position that would
///        leave it off every screen gives way to the nearest screen.

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace relaydeck {

/// @brief How much of a window's top edge must lie on a screen for the operator to take
/// hold of it there (its title bar), in pixels.
inline constexpr int kReachableWidthPx = 40;
inline constexpr int kReachableHeightPx = 20;

/// @brief Where a window whose outer frame would stand at @p frame is placed among
/// @p screens (their available areas): where it is when a strip of its top edge lies on
/// one of them, else moved onto the screen nearest to it, as far as it fits. With no
/// screen at all it stays where it is.
QPoint placeOnScreens(const QRect& frame, const QList<QRect>& screens);

/// @brief Where two windows whose frames are @p first and @p second big stand side by
/// side, @p spacingPx apart, the pair centred on @p screen (first on the left, tops level
/// a third of the way down the free height). Where the pair is wider than the screen, the
/// second overlaps the first as far as needed, never leaving the screen.
struct SideBySide {
    QPoint first;
    QPoint second;
};
SideBySide sideBySide(QSize first, QSize second, const QRect& screen, int spacingPx);

/// @brief placeOnScreens() with the screens of the running application.
QPoint placeOnScreen(const QRect& frame);

}  // namespace relaydeck
