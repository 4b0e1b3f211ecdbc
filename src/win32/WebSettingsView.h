#pragma once
/// @file
/// @brief The web server's settings dialog: on/off, address, port, password.

#include <windows.h>

namespace relaydeck::web {
class RemoteStation;
}

namespace relaydeck::win32 {

/// @brief Shows the dialog, modal to @p owner, until it is saved or cancelled. A refused
/// save (an open address without a password, a port out of range, a failed write) keeps it
/// open with the reason.
void showWebSettings(HWND owner, web::RemoteStation& remote);

}  // namespace relaydeck::win32
