#include "settings/SettingsLocation.h"

#include <system_error>

#include "settings/FileAccess.h"
#include "settings/SettingsStore.h"

namespace relaydeck {

bool isSystemProgramFolder(const std::filesystem::path& folder) {
    const std::filesystem::path plain = folder.lexically_normal();
    for (const char* system : {"/bin", "/sbin", "/usr/bin", "/usr/sbin", "/usr/games",
                               "/usr/local/bin", "/usr/local/sbin", "/usr/local/games"}) {
        if (plain == std::filesystem::path(system) || plain == std::filesystem::path(system) / "") {
            return true;
        }
    }
    return false;
}

SettingsFolderProbe systemSettingsFolderProbe() {
    return {[](const std::filesystem::path& folder) {
                return !isSystemProgramFolder(folder) && isWritableFolder(folder);
            },
            [] { return userSettingsFolder(systemEnvironment); }};
}

std::filesystem::path settingsFolderFor(const std::filesystem::path& programFolder,
                                        const SettingsFolderProbe& probe) {
    std::error_code error;
    const std::filesystem::path besideProgram = SettingsStore(programFolder).SettingsPath();
    if (std::filesystem::symlink_status(besideProgram, error).type() !=
        std::filesystem::file_type::not_found) {
        return programFolder;
    }
    if (probe.isWritable(programFolder)) return programFolder;
    const std::optional<std::filesystem::path> user = probe.userFolder();
    if (!user) return programFolder;
    std::filesystem::create_directories(*user, error);
    return error ? programFolder : *user;
}

std::filesystem::path settingsFolderFor(const std::filesystem::path& programFolder) {
    return settingsFolderFor(programFolder, systemSettingsFolderProbe());
}

}  // namespace relaydeck
