#pragma once
/// @file
/// @brief Where the windows' language is kept: key LANGUAGE in section RELAYDECK of the
///        settings file, beside (never in) the section SETTINGS.

#include <filesystem>

#include "controller/OperatorTexts.h"

namespace relaydeck {

inline constexpr const char* kRelaydeckSection = "RELAYDECK";
inline constexpr const char* kKeyLanguage = "LANGUAGE";

/// @brief The language kept in the settings file in @p folder; as designed when the file,
/// the key or a known value is missing.
Language readLanguage(const std::filesystem::path& folder);
/// @brief Keeps @p language in the settings file in @p folder. Throws SettingsWriteError
/// when the file cannot be written.
void writeLanguage(const std::filesystem::path& folder, Language language);

}  // namespace relaydeck
