// The settings file's Windows side: replacing the file (ReplaceFileW / MoveFileExW), the
// read-only attribute, a failing disk, writable folders and %APPDATA%. A console program
// with its own checks; run under Wine by tests/link/win/run.sh.

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "settings/FileAccess.h"
#include "settings/SettingsLocation.h"
#include "settings/SettingsStore.h"

namespace fs = std::filesystem;
using namespace relaydeck;

namespace {

int failed = 0;
int passed = 0;

#define CHECK(condition)                                                       \
    do {                                                                       \
        if (condition) {                                                       \
            ++passed;                                                          \
        } else {                                                               \
            ++failed;                                                          \
            std::printf("FAILED %s:%d: %s\n", __FILE__, __LINE__, #condition); \
        }                                                                      \
    } while (false)

void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string failureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const FileAccessError& error) {
        std::printf("  FileAccessError: %s\n", error.what());
        return error.what();
    }
    return "";
}

std::size_t entriesIn(const fs::path& folder) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

void testReplace(const fs::path& folder) {
    std::printf("replace\n");
    const fs::path file = folder / "relaydeck.ini";
    replaceFileContents(file, "first");
    CHECK(readBytes(file) == "first");
    replaceFileContents(file, "second");
    CHECK(readBytes(file) == "second");
    CHECK(readFileBytes(file) == std::optional<std::string>("second"));
    CHECK(entriesIn(folder) == 1);

    // The replaced file keeps its attributes.
    CHECK(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_HIDDEN));
    replaceFileContents(file, "third");
    CHECK(readBytes(file) == "third");
    CHECK((GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_HIDDEN) != 0);
    CHECK(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL));
    CHECK(entriesIn(folder) == 1);
}

void testRefusals(const fs::path& folder) {
    std::printf("refusals\n");
    const fs::path file = folder / "relaydeck.ini";
    writeBytes(file, "kept");
    CHECK(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
    CHECK(failureOf([&] { replaceFileContents(file, "lost"); }) == "the file is read-only");
    CHECK(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL));
    CHECK(readBytes(file) == "kept");

    const WriteInterceptor diskFull = [](std::string_view bytes, const auto& write) {
        if (const std::error_code error = write(bytes.substr(0, 2))) return error;
        return std::error_code(ERROR_DISK_FULL, std::system_category());
    };
    CHECK(!failureOf([&] { replaceFileContents(file, "lost", diskFull); }).empty());
    CHECK(readBytes(file) == "kept");
    CHECK(entriesIn(folder) == 1);

    const fs::path directory = folder / "folder.ini";
    fs::create_directory(directory);
    CHECK(!failureOf([&] { replaceFileContents(directory, "x"); }).empty());
    CHECK(!failureOf([&] { readFileBytes(directory); }).empty());
    fs::remove(directory);
}

void testStore(const fs::path& folder) {
    std::printf("store in a folder with an accented name\n");
    const fs::path accented = folder / L"Configura\u00e7\u00e3o";
    fs::create_directory(accented);
    const SettingsStore store(accented);
    store.WriteSettings(std::vector<SettingValue>{{"SPEECHID", "Jo\u00e3o"}, {"HANGTIME", "7"}});
    CHECK(readBytes(store.SettingsPath()) == "[SETTINGS]\r\nSPEECHID=Jo\xe3o\r\nHANGTIME=7\r\n");
    CHECK(store.ReadSetting("SPEECHID", "") == "Jo\u00e3o");

    CHECK(SetFileAttributesW(store.SettingsPath().c_str(), FILE_ATTRIBUTE_READONLY));
    bool reported = false;
    try {
        store.WriteSetting("HANGTIME", "9");
    } catch (const SettingsWriteError& error) {
        reported = error.reason() == "the file is read-only";
    }
    CHECK(reported);
    CHECK(SetFileAttributesW(store.SettingsPath().c_str(), FILE_ATTRIBUTE_NORMAL));
    CHECK(store.ReadSetting("HANGTIME", "") == "7");
}

void testFolders(const fs::path& folder) {
    std::printf("folders\n");
    CHECK(isWritableFolder(folder));
    CHECK(entriesIn(folder) == 0 || entriesIn(folder) == 1);  // no probe left behind
    CHECK(!isWritableFolder(folder / "missing"));

    const auto environment = [](const char* name) -> std::optional<std::string> {
        if (std::string(name) == "APPDATA") return std::string("C:\\Users\\Jo\xc3\xa3o\\AppData");
        return std::nullopt;
    };
    CHECK(userSettingsFolder(environment) == fs::path(L"C:\\Users\\Jo\u00e3o\\AppData\\Relaydeck"));
    CHECK(userSettingsFolder([](const char*) { return std::optional<std::string>(); }) ==
          std::nullopt);
    CHECK(systemEnvironment("APPDATA").has_value());

    const fs::path program = folder / "program";
    fs::create_directory(program);
    CHECK(settingsFolderFor(program) == program);
}

}  // namespace

int main() {
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    const fs::path root = fs::path(std::wstring(temp, length)) /
                          ("relaydeck-settings-" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(root);
    for (const auto& [name, test] :
         std::vector<std::pair<const char*, std::function<void(const fs::path&)>>>{
             {"replace", testReplace},
             {"refusals", testRefusals},
             {"store", testStore},
             {"folders", testFolders}}) {
        const fs::path folder = root / name;
        fs::create_directories(folder);
        try {
            test(folder);
        } catch (const std::exception& e) {
            ++failed;
            std::printf("FAILED: %s threw: %s\n", name, e.what());
        }
    }
    std::error_code ignored;
    fs::remove_all(root, ignored);
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
