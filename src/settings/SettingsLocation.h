#pragma once
/// @file
/// @brief Where the settings file lives.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace relaydeck {

/// @brief Looks up an environment variable; nullopt when it is not set.
using EnvironmentLookup = std::function<std::optional<std::string>(const char* name)>;

/// @brief The process environment (UTF-8 on Windows).
std::optional<std::string> systemEnvironment(const char* name);

/// @brief The per-user folder for Relaydeck's settings: %APPDATA%\Relaydeck on Windows,
/// $XDG_CONFIG_HOME/relaydeck or ~/.config/relaydeck elsewhere; nullopt when the
/// environment names no such place.
std::optional<std::filesystem::path> userSettingsFolder(const EnvironmentLookup& environment);

/// @brief What the choice of the settings folder asks of the system.
struct SettingsFolderProbe {
    /// @brief Whether the program may create files in a folder.
    std::function<bool(const std::filesystem::path&)> isWritable;
    /// @brief The per-user folder for the settings, or nullopt when there is none.
    std::function<std::optional<std::filesystem::path>()> userFolder;
};

/// @brief Whether @p folder is one of the system's folders for installed programs
/// (/usr/bin, /usr/local/bin, ...): no settings go there, even for a user (root) who may
/// write in it, since only the package manager puts files there.
bool isSystemProgramFolder(const std::filesystem::path& folder);

/// @brief The running system's answers; a system program folder counts as not writable.
SettingsFolderProbe systemSettingsFolderProbe();

/// @brief The folder that holds `relaydeck.ini` for a program started from
/// @p programFolder: that folder when it already holds the file or when the program may
/// write there; otherwise (an installed program) the per-user folder, created when
/// needed. When neither can be used, the program's folder (a save then reports why).
std::filesystem::path settingsFolderFor(const std::filesystem::path& programFolder,
                                        const SettingsFolderProbe& probe);

/// @brief settingsFolderFor with the running system's answers.
std::filesystem::path settingsFolderFor(const std::filesystem::path& programFolder);

}  // namespace relaydeck
