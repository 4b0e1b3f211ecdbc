#pragma once
/// @file
/// @brief Keeps a window where the operator can reach it: a stored position that would
///        leave it off every screen gives way to the nearest screen.

#include <QList>
#include <QPoint>
#include <QRect>

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

/// @brief placeOnScreens() with the screens of the running application.
QPoint placeOnScreen(const QRect& frame);

}  // namespace relaydeck
