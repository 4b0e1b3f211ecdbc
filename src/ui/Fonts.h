#pragma once
/// @file
/// @brief The windows' fonts, with a look-alike where the named face is not installed.

#include <QFont>

#include "controller/WindowLayout.h"

namespace relaydeck {

/// @brief Tahoma at @p points, or a similar sans face scaled to take about the same room.
QFont tahomaFont(double points, bool bold = false);
/// @brief MS Sans Serif at @p points, or a similar sans face scaled to take about the
/// same room.
QFont msSansSerifFont(double points, bool bold = false);
/// @brief The font a layout names: Tahoma or MS Sans Serif, each with its look-alike.
QFont fontFor(const FontFace& face);

}  // namespace relaydeck
