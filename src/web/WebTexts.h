#pragma once
/// @file
/// @brief Every text of the web pages and of the server's answers, in one place.

#include <string_view>

#include "controller/OperatorTexts.h"

namespace relaydeck::web::texts {

inline constexpr std::string_view kRefusedPort = "The port must be a number from 1 to 65535.";
inline constexpr std::string_view kRefusedAddress = "The address is empty.";
inline constexpr std::string_view kRefusedNoPassword =
    "The web server listens on an address other than 127.0.0.1 only with a password set: "
    "set a password, or use 127.0.0.1.";
inline constexpr std::string_view kCannotListen = "The web server cannot listen on ";

inline constexpr std::string_view kWrongPassword = "Wrong password.";
inline constexpr std::string_view kLockedOut = "Too many wrong passwords: try again later.";
inline constexpr std::string_view kNoPassword =
    "No password is set: set one in the program's web server settings to control the station.";
inline constexpr std::string_view kNotAllowed = "Log in first (or reload the page).";
inline constexpr std::string_view kUnknownCommand = "No such command.";
inline constexpr std::string_view kNotFound = "Not found.";
inline constexpr std::string_view kBadRequest = "Bad request.";
inline constexpr std::string_view kNoSuchDay = "No activity kept for that day.";

/// @brief The station page's HTML, its style and its script.
extern const std::string_view kStationPage;
extern const std::string_view kStyle;
extern const std::string_view kScript;
/// @brief The activity page, around its day list, totals and timeline.
extern const std::string_view kActivityPageHead;
extern const std::string_view kActivityPageFoot;

/// @brief Menu entries and the settings dialog of both programs.
inline const char* const kMenuWebServer = designedText(TextId::MenuWebServer);
inline const char* const kMenuRepeaterOff = designedText(TextId::MenuRepeaterOff);
inline const char* const kMenuRepeaterOn = designedText(TextId::MenuRepeaterOn);
inline constexpr const char* kDialogTitle = "Web server";
inline constexpr const char* kDialogEnabled = "Serve the status page";
inline constexpr const char* kDialogAddress = "Address:";
inline constexpr const char* kDialogPort = "Port:";
inline constexpr const char* kDialogPassword = "New password:";
inline constexpr const char* kDialogClearPassword = "Remove the password";
inline constexpr const char* kDialogHint =
    "Plain HTTP: keep it on a LAN, or reach it through a VPN or an SSH tunnel "
    "(ssh -L 8073:127.0.0.1:8073 you@station-pc).";
inline constexpr const char* kDialogRunning = "Serving on http://";
inline constexpr const char* kDialogStopped = "The web server is off.";

}  // namespace relaydeck::web::texts
