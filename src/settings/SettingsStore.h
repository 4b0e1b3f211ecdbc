#pragma once
/// @file
/// @brief The program's settings file: one section of a Windows private-profile
///        (INI) file in the program's folder.

#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>

namespace relaydeck {

/// @brief One key and the value to store under it.
struct SettingValue {
    std::string key;
    std::string value;
};

/// @brief The settings file could not be written; what() names the file and the reason.
class SettingsWriteError : public std::runtime_error {
  public:
    SettingsWriteError(std::filesystem::path file, std::string reason);
    const std::filesystem::path& file() const { return file_; }
    const std::string& reason() const { return reason_; }

  private:
    std::filesystem::path file_;
    std::string reason_;
};

/// @brief ReadSetting / WriteSetting on `relaydeck.ini` in a given folder, in one section
/// (SETTINGS unless another is given).
///
/// Texts are UTF-8 inside the program and Windows-1252 in the file.
class SettingsStore {
  public:
    /// @brief @p folder is the folder that holds the settings file; @p section the section
    /// read and written.
    explicit SettingsStore(std::filesystem::path folder, std::string section = "SETTINGS");

    /// @brief The folder followed by the file name `relaydeck.ini`.
    std::filesystem::path SettingsPath() const;

    /// @brief The value of @p key, or @p defaultValue when the file or the key is absent.
    std::string ReadSetting(const std::string& key, const std::string& defaultValue) const;

    /// @brief Sets @p key to @p value. Throws SettingsWriteError when the file cannot be
    /// written; the file then keeps what it had.
    void WriteSetting(const std::string& key, const std::string& value) const;

    /// @brief Sets every key of @p values in one write of the file. Throws
    /// SettingsWriteError when the file cannot be written; the file then keeps what it had.
    void WriteSettings(std::span<const SettingValue> values) const;

  private:
    std::filesystem::path folder_;
    std::string section_;
};

}  // namespace relaydeck
