#pragma once
/// @file
/// @brief The exit statuses of the program that a supervisor reads.

namespace relaydeck {

/// @brief The program ended as the operator asked (menu, close with Yes).
inline constexpr int kExitNormal = 0;
/// @brief Running under its guard, the program ended because the link program closed;
/// unguarded, that end is a normal one.
inline constexpr int kExitLinkProgramClosed = 3;

}  // namespace relaydeck
