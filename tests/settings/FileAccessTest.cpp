#include "settings/FileAccess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "settings/SettingsLocation.h"

namespace relaydeck {
namespace {

namespace fs = std::filesystem;

class FileAccessTest : public ::testing::Test {
  protected:
    std::vector<std::string> names() const {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(folder_.path())) {
            found.push_back(entry.path().filename().string());
        }
        std::sort(found.begin(), found.end());
        return found;
    }
    std::string failureOf(const std::function<void()>& action) const {
        try {
            action();
        } catch (const FileAccessError& error) {
            return error.what();
        }
        return "no failure";
    }

    test::TempFolder folder_;
    fs::path file_ = folder_.path() / "relaydeck.ini";
};

TEST_F(FileAccessTest, ReadsWholeFilesAndSaysWhyItCannot) {
    EXPECT_EQ(readFileBytes(file_), std::nullopt);
    test::writeBytes(file_, std::string("a\0b\r\n", 5));
    EXPECT_EQ(readFileBytes(file_), std::string("a\0b\r\n", 5));

    const fs::path folder = folder_.path() / "folder.ini";
    fs::create_directory(folder);
    EXPECT_EQ(failureOf([&] { readFileBytes(folder); }), "Is a directory");
}

TEST_F(FileAccessTest, ReplacesTheContentAndLeavesNothingBeside) {
    replaceFileContents(file_, "first");
    EXPECT_EQ(test::readBytes(file_), "first");
    replaceFileContents(file_, "second, longer");
    replaceFileContents(file_, "");
    EXPECT_EQ(test::readBytes(file_), "");
    EXPECT_EQ(names(), std::vector<std::string>{"relaydeck.ini"});
}

TEST_F(FileAccessTest, AFullDiskLeavesTheOldFileAndNoTemporaryFile) {
    test::writeBytes(file_, "[SETTINGS]\r\nHANGTIME=5\r\n");
    const WriteInterceptor diskFillsUp = [](std::string_view bytes, const auto& write) {
        if (const std::error_code error = write(bytes.substr(0, bytes.size() / 2))) return error;
        return std::make_error_code(std::errc::no_space_on_device);
    };
    EXPECT_EQ(failureOf([&] { replaceFileContents(file_, "new content", diskFillsUp); }),
              "No space left on device");
    EXPECT_EQ(test::readBytes(file_), "[SETTINGS]\r\nHANGTIME=5\r\n");
    EXPECT_EQ(names(), std::vector<std::string>{"relaydeck.ini"});
}

TEST_F(FileAccessTest, KeepsTheFilesPermissions) {
    test::writeBytes(file_, "old");
    fs::permissions(file_, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    replaceFileContents(file_, "new");
    EXPECT_EQ(fs::status(file_).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(FileAccessTest, RefusesAReadOnlyFileAndADirectory) {
    test::writeBytes(file_, "kept");
    fs::permissions(file_, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(failureOf([&] { replaceFileContents(file_, "lost"); }), "the file is read-only");
    EXPECT_EQ(test::readBytes(file_), "kept");

    const fs::path folder = folder_.path() / "folder.ini";
    fs::create_directory(folder);
    EXPECT_EQ(failureOf([&] { replaceFileContents(folder, "x"); }), "Is a directory");
    EXPECT_TRUE(fs::is_empty(folder));

    EXPECT_EQ(failureOf([&] { replaceFileContents(folder_.path() / "no" / "file.ini", "x"); }),
              "No such file or directory");
}

TEST_F(FileAccessTest, WritesThroughASymbolicLinkToItsTarget) {
    fs::create_directory(folder_.path() / "real");
    const fs::path target = folder_.path() / "real" / "settings.ini";
    test::writeBytes(target, "old");
    fs::create_symlink(fs::path("real") / "settings.ini", file_);

    replaceFileContents(file_, "new");
    EXPECT_TRUE(fs::is_symlink(file_));
    EXPECT_EQ(test::readBytes(target), "new");

    // A link to a file not yet there creates that file.
    fs::create_symlink(folder_.path() / "real" / "later.ini", folder_.path() / "later.ini");
    replaceFileContents(folder_.path() / "later.ini", "made");
    EXPECT_EQ(test::readBytes(folder_.path() / "real" / "later.ini"), "made");

    fs::create_symlink("loop-b", folder_.path() / "loop-a");
    fs::create_symlink("loop-a", folder_.path() / "loop-b");
    EXPECT_EQ(failureOf([&] { replaceFileContents(folder_.path() / "loop-a", "x"); }),
              "Too many levels of symbolic links");
}

TEST_F(FileAccessTest, RemovesOnlyTemporaryFilesAKilledSaveLeftBehind) {
    const std::string prefix = temporaryNamePrefix(file_);
    EXPECT_EQ(prefix, "relaydeck.ini.saving-");
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (const std::string& name : {prefix + "1a2b3c", prefix + "x"}) {
        test::writeBytes(folder_.path() / name, "half");
        fs::last_write_time(folder_.path() / name, old);
    }
    // One being written by another save right now, and files that are not ours.
    test::writeBytes(folder_.path() / (prefix + "fresh"), "busy");
    test::writeBytes(folder_.path() / "other.ini.saving-1", "not ours");
    fs::last_write_time(folder_.path() / "other.ini.saving-1", old);

    replaceFileContents(file_, "saved");
    EXPECT_EQ(names(),
              (std::vector<std::string>{"other.ini.saving-1", "relaydeck.ini", prefix + "fresh"}));
}

TEST(UserSettingsFolder, FollowsTheConfigurationConventions) {
    const auto environment = [](std::map<std::string, std::string> values) {
        return [values](const char* name) -> std::optional<std::string> {
            const auto it = values.find(name);
            if (it == values.end()) return std::nullopt;
            return it->second;
        };
    };
    EXPECT_EQ(userSettingsFolder(environment({{"HOME", "/home/op"}})),
              fs::path("/home/op/.config/relaydeck"));
    EXPECT_EQ(userSettingsFolder(environment({{"HOME", "/home/op"}, {"XDG_CONFIG_HOME", "/cfg"}})),
              fs::path("/cfg/relaydeck"));
    EXPECT_EQ(userSettingsFolder(environment({{"HOME", "/home/op"}, {"XDG_CONFIG_HOME", "rel"}})),
              fs::path("/home/op/.config/relaydeck"));
    EXPECT_EQ(userSettingsFolder(environment({{"HOME", ""}})), std::nullopt);
    EXPECT_EQ(userSettingsFolder(environment({})), std::nullopt);
}

}  // namespace
}  // namespace relaydeck
