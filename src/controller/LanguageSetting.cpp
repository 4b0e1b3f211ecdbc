#include "controller/LanguageSetting.h"

#include "settings/SettingsStore.h"

namespace relaydeck {

Language readLanguage(const std::filesystem::path& folder) {
    const SettingsStore store(folder, kRelaydeckSection);
    const std::string value =
        store.ReadSetting(kKeyLanguage, languageSettingValue(Language::AsDesigned));
    return languageFromSetting(value).value_or(Language::AsDesigned);
}

void writeLanguage(const std::filesystem::path& folder, Language language) {
    SettingsStore(folder, kRelaydeckSection)
        .WriteSetting(kKeyLanguage, languageSettingValue(language));
}

}  // namespace relaydeck
