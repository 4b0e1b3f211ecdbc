#pragma once
/// @file
/// @brief Where a message box's text wraps and where the box stands: as wide as its
///        text up to a share of the screen, and clear of the window it would hide.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>

namespace relaydeck {

/// @brief The widest a box's text runs before it wraps, for a screen whose available
/// area is @p screenWidthPx wide: three fifths of it, as the Windows message box does.
int messageWrapWidthPx(int screenWidthPx);

/// @brief Where a box whose outer frame is @p frame big goes so that it hides nothing of
/// @p keepClear (the owner window's frame) and stays whole on @p screen: below the owner,
/// else above, to its right, to its left (the first that fits, @p gapPx apart, centred on
/// the owner along that side). nullopt when none fits: the box then goes where the window
/// system puts it.
std::optional<QPoint> placeClearOf(QSize frame, const QRect& keepClear, const QRect& screen,
                                   int gapPx = 8);

}  // namespace relaydeck
