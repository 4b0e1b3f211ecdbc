#include "settings/SettingsLocation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "TempFolder.h"

namespace relaydeck {
namespace {

namespace fs = std::filesystem;

class SettingsLocationTest : public ::testing::Test {
  protected:
    SettingsFolderProbe probe() {
        return {[this](const fs::path& folder) { return writable_.count(folder) > 0; },
                [this] { return userFolder_; }};
    }

    test::TempFolder folder_;
    fs::path program_ = folder_.path() / "bin";
    fs::path user_ = folder_.path() / "home" / ".config" / "relaydeck";
    std::set<fs::path> writable_;
    std::optional<fs::path> userFolder_ = user_;

    void SetUp() override { fs::create_directory(program_); }
};

TEST_F(SettingsLocationTest, BesideAProgramWhoseFolderIsWritable) {
    writable_.insert(program_);
    EXPECT_EQ(settingsFolderFor(program_, probe()), program_);
    EXPECT_FALSE(fs::exists(user_));
}

TEST_F(SettingsLocationTest, AnInstalledProgramUsesThePerUserFolderMadeWhenNeeded) {
    EXPECT_EQ(settingsFolderFor(program_, probe()), user_);
    EXPECT_TRUE(fs::is_directory(user_));
    EXPECT_EQ(settingsFolderFor(program_, probe()), user_);  // already there
}

TEST(SystemProgramFolder, InstalledProgramFoldersAreNeverTheSettingsFolder) {
    for (const char* folder :
         {"/usr/bin", "/usr/bin/", "/usr/local/bin", "/bin", "/usr/games", "/usr/./bin"}) {
        EXPECT_TRUE(isSystemProgramFolder(folder)) << folder;
    }
    for (const char* folder : {"/usr/bin/relaydeck", "/home/op/relaydeck/build/bin", "/usr",
                               "/opt/relaydeck", "bin", "C:\\Program Files\\Relaydeck"}) {
        EXPECT_FALSE(isSystemProgramFolder(folder)) << folder;
    }
    // As root, where /usr/bin may be written: still not there.
    EXPECT_FALSE(systemSettingsFolderProbe().isWritable("/usr/bin"));
}

TEST_F(SettingsLocationTest, AFileBesideTheProgramWins) {
    test::writeBytes(program_ / "relaydeck.ini", "[SETTINGS]\r\n");
    EXPECT_EQ(settingsFolderFor(program_, probe()), program_);
    EXPECT_FALSE(fs::exists(user_));
}

TEST_F(SettingsLocationTest, WithNoUsableUserFolderTheProgramsFolderStays) {
    userFolder_ = std::nullopt;
    EXPECT_EQ(settingsFolderFor(program_, probe()), program_);

    test::writeBytes(folder_.path() / "home", "a file where the folder would go");
    userFolder_ = user_;
    EXPECT_EQ(settingsFolderFor(program_, probe()), program_);
}

TEST_F(SettingsLocationTest, TheSystemProbeSeesAWritableFolder) {
    EXPECT_EQ(settingsFolderFor(program_), program_);
}

}  // namespace
}  // namespace relaydeck
