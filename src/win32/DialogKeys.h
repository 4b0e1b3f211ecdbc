#pragma once
/// @file
/// @brief Enter and Esc in the program's windows as in a Windows dialog.

#include <windows.h>

namespace relaydeck::win32 {

/// @brief Handles a key message as a dialog would: Enter presses the focused push button
/// (as Space does), Esc asks the window for IDCANCEL (the windows a dialog's Cancel would
/// close close; the others ignore it). True when the key was taken.
bool handleDialogKey(const MSG& message);

}  // namespace relaydeck::win32
