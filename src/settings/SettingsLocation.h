#pragma once
/// @file
/// @brief Where the settings file lives.

#include <filesystem>

namespace relaydeck {

/// @brief The folder that holds `relaydeck.ini` for a program started from
/// @p programFolder.
std::filesystem::path settingsFolderFor(const std::filesystem::path& programFolder);

}  // namespace relaydeck
