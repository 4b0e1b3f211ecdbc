#include "settings/SettingsStore.h"

#include <optional>
#include <utility>

#include "settings/CodePage.h"
#include "settings/ProfileFile.h"

namespace relaydeck {

namespace {

constexpr const char* kSettingsFileName = "relaydeck.ini";
constexpr const char* kSettingsSection = "SETTINGS";

}  // namespace

SettingsStore::SettingsStore(std::filesystem::path folder) : folder_(std::move(folder)) {}

std::filesystem::path SettingsStore::SettingsPath() const {
    return folder_ / kSettingsFileName;
}

std::string SettingsStore::ReadSetting(const std::string& key,
                                       const std::string& defaultValue) const {
    const std::optional<std::string> value =
        readProfileString(SettingsPath(), kSettingsSection, utf8ToCp1252(key));
    return value ? cp1252ToUtf8(*value) : defaultValue;
}

bool SettingsStore::WriteSetting(const std::string& key, const std::string& value) const {
    return writeProfileString(SettingsPath(), kSettingsSection, utf8ToCp1252(key),
                              utf8ToCp1252(value));
}

}  // namespace relaydeck
