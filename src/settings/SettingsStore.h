#pragma once
/// @file
/// @brief The program's settings file: one section of a Windows private-profile
///        (INI) file in the program's folder.

#include <filesystem>
#include <string>

namespace relaydeck {

/// @brief ReadSetting / WriteSetting on `relaydeck.ini` in a given folder, section SETTINGS.
///
/// Texts are UTF-8 inside the program and Windows-1252 in the file.
class SettingsStore {
public:
    /// @brief @p folder is the program's folder (the executable's in the program).
    explicit SettingsStore(std::filesystem::path folder);

    /// @brief The folder followed by the file name `relaydeck.ini`.
    std::filesystem::path SettingsPath() const;

    /// @brief The value of @p key, or @p defaultValue when the file or the key is absent.
    std::string ReadSetting(const std::string& key, const std::string& defaultValue) const;

    /// @brief Sets @p key to @p value; a failure is not reported (returns false for tests).
    bool WriteSetting(const std::string& key, const std::string& value) const;

private:
    std::filesystem::path folder_;
};

}  // namespace relaydeck
