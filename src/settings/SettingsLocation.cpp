#include "settings/SettingsLocation.h"

namespace relaydeck {

std::filesystem::path settingsFolderFor(const std::filesystem::path& programFolder) {
    return programFolder;
}

}  // namespace relaydeck
