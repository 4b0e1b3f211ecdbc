#pragma once
/// @file
/// @brief The web server's settings, kept in Relaydeck's own section of the settings file.

#include <optional>
#include <string>

#include "controller/OperatorTexts.h"

namespace relaydeck {
class SettingsStore;
}

namespace relaydeck::web {

inline constexpr const char* kKeyWebEnabled = "WEB_ENABLED";
inline constexpr const char* kKeyWebAddress = "WEB_ADDRESS";
inline constexpr const char* kKeyWebPort = "WEB_PORT";
inline constexpr const char* kKeyWebPassword = "WEB_PASSWORD_HASH";

/// @brief The server's settings; off, on the loopback address, by default.
struct WebSettings {
    static constexpr int kDefaultPort = 8073;
    bool enabled = false;
    std::string address = "127.0.0.1";
    int port = kDefaultPort;
    std::string passwordHash;  ///< as makePasswordHash made it; empty: no password
    bool operator==(const WebSettings&) const = default;
};

/// @brief True for an address that only this computer reaches (127.x.y.z, ::1, localhost).
bool isLoopback(const std::string& address);

/// @brief Why these settings cannot be used, in @p language, or nullopt when they can.
std::optional<std::string> refusal(const WebSettings& settings,
                                   Language language = Language::AsDesigned);

/// @brief The settings from @p options (Relaydeck's own section); what is missing or
/// unreadable takes its default.
WebSettings loadWebSettings(const SettingsStore& options);
/// @brief Writes the settings in one write; throws SettingsWriteError.
void saveWebSettings(const SettingsStore& options, const WebSettings& settings);

}  // namespace relaydeck::web
