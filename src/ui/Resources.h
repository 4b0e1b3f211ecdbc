#pragma once
/// @file
/// @brief The pictures compiled into the program.

namespace relaydeck {

/// @brief Registers the compiled-in pictures (program icon, splash picture); call once
/// after the application object exists, before a window is built.
void initResources();

}  // namespace relaydeck
