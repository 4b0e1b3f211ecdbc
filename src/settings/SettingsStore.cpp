#include "settings/SettingsStore.h"

#include <optional>
#include <utility>
#include <vector>

#include "settings/CodePage.h"
#include "settings/FileAccess.h"
#include "settings/ProfileFile.h"

namespace relaydeck {

namespace {

constexpr const char* kSettingsFileName = "relaydeck.ini";

}  // namespace

SettingsStore::SettingsStore(std::filesystem::path folder, std::string section)
    : folder_(std::move(folder)), section_(std::move(section)) {}

std::filesystem::path SettingsStore::SettingsPath() const {
    return folder_ / kSettingsFileName;
}

std::string SettingsStore::ReadSetting(const std::string& key,
                                       const std::string& defaultValue) const {
    const std::optional<std::string> value =
        readProfileString(SettingsPath(), section_, utf8ToCp1252(key));
    return value ? cp1252ToUtf8(*value) : defaultValue;
}

SettingsWriteError::SettingsWriteError(std::filesystem::path file, std::string reason)
    : std::runtime_error(file.string() + ": " + reason),
      file_(std::move(file)),
      reason_(std::move(reason)) {}

void SettingsStore::WriteSetting(const std::string& key, const std::string& value) const {
    const SettingValue one{key, value};
    WriteSettings(std::span(&one, 1));
}

void SettingsStore::WriteSettings(std::span<const SettingValue> values) const {
    std::vector<ProfileEntry> entries;
    entries.reserve(values.size());
    for (const SettingValue& entry : values) {
        entries.push_back({utf8ToCp1252(entry.key), utf8ToCp1252(entry.value)});
    }
    try {
        writeProfileStrings(SettingsPath(), section_, entries);
    } catch (const FileAccessError& error) {
        throw SettingsWriteError(SettingsPath(), error.what());
    }
}

}  // namespace relaydeck
