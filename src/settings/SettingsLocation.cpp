#include "settings/SettingsLocation.h"

#include <cstdlib>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

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

std::optional<std::string> systemEnvironment(const char* name) {
#ifdef _WIN32
    // The wide environment: a user name with accents must survive.
    const std::wstring wideName(name, name + std::char_traits<char>::length(name));
    const wchar_t* value = _wgetenv(wideName.c_str());
    if (value == nullptr) return std::nullopt;
    const int length = WideCharToMultiByte(CP_UTF8, 0, value, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::string();
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, value, -1, utf8.data(), length, nullptr, nullptr);
    utf8.pop_back();  // the terminating zero
    return utf8;
#else
    const char* value = std::getenv(name);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
#endif
}

std::optional<std::filesystem::path> userSettingsFolder(const EnvironmentLookup& environment) {
#ifdef _WIN32
    if (const std::optional<std::string> appData = environment("APPDATA")) {
        if (!appData->empty()) {
            return std::filesystem::path(std::u8string(appData->begin(), appData->end())) /
                   "Relaydeck";
        }
    }
    return std::nullopt;
#else
    if (const std::optional<std::string> configHome = environment("XDG_CONFIG_HOME")) {
        // Only an absolute path counts; a relative one is to be ignored.
        const std::filesystem::path folder(*configHome);
        if (folder.is_absolute()) return folder / "relaydeck";
    }
    if (const std::optional<std::string> home = environment("HOME")) {
        if (!home->empty()) return std::filesystem::path(*home) / ".config" / "relaydeck";
    }
    return std::nullopt;
#endif
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
