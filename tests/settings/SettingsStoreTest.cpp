#include "settings/SettingsStore.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "TempFolder.h"

namespace relaydeck {
namespace {

class SettingsStoreTest : public ::testing::Test {
  protected:
    test::TempFolder folder_;
    SettingsStore store_{folder_.path()};
};

TEST_F(SettingsStoreTest, DefaultOnlyForAnAbsentKey) {
    EXPECT_EQ(store_.SettingsPath(), folder_.path() / "relaydeck.ini");
    EXPECT_EQ(store_.ReadSetting("BREAKTIME", "750"), "750");
    EXPECT_EQ(store_.ReadSetting("CWIDTEXT", " padded "), " padded ");

    ASSERT_NO_THROW(store_.WriteSetting("CWIDTEXT", ""));
    EXPECT_EQ(store_.ReadSetting("CWIDTEXT", "DEFAULT"), "");
    EXPECT_EQ(store_.ReadSetting("HANGTIME", "5"), "5");
}

TEST_F(SettingsStoreTest, TextIsWindows1252InTheFile) {
    ASSERT_NO_THROW(store_.WriteSetting("SPEECHID", "Configuração €"));
    ASSERT_NO_THROW(store_.WriteSetting("COURTESY", "\u65E5"));
    EXPECT_EQ(test::readBytes(store_.SettingsPath()),
              "[SETTINGS]\r\nSPEECHID=Configura\xE7\xE3o \x80\r\nCOURTESY=?\r\n");
    EXPECT_EQ(store_.ReadSetting("SPEECHID", ""), "Configuração €");
    EXPECT_EQ(store_.ReadSetting("COURTESY", ""), "?");
}

TEST_F(SettingsStoreTest, ValueLimitCountsFileCharactersAndBlanksAreLost) {
    std::string longText;
    for (int i = 0; i < 300; ++i) longText += "ç";
    std::string expected;
    for (int i = 0; i < 255; ++i) expected += "ç";

    ASSERT_NO_THROW(store_.WriteSetting("CWIDTEXT", longText));
    EXPECT_EQ(store_.ReadSetting("CWIDTEXT", ""), expected);

    ASSERT_NO_THROW(store_.WriteSetting("CWIDTEXT", "CQ CQ "));
    EXPECT_EQ(store_.ReadSetting("CWIDTEXT", ""), "CQ CQ");
}

TEST_F(SettingsStoreTest, EveryByteOfAValueSurvivesReadingAndWritingBack) {
    std::string bytes;
    for (int byte = 0x21; byte < 0x100; ++byte) bytes += static_cast<char>(byte);
    const std::string file = "[SETTINGS]\r\nCWIDTEXT=" + bytes + "\r\n";
    test::writeBytes(store_.SettingsPath(), file);
    ASSERT_NO_THROW(store_.WriteSetting("CWIDTEXT", store_.ReadSetting("CWIDTEXT", "")));
    EXPECT_EQ(test::readBytes(store_.SettingsPath()), file);
}

namespace fs = std::filesystem;

const std::string kOldFile = "[SETTINGS]\r\nHANGTIME=5\r\n; a comment\r\n";

/// The reason a write of @p store failed, or "" when it succeeded.
std::string writeFailure(const SettingsStore& store, const std::string& value = "10") {
    try {
        store.WriteSettings(std::vector<SettingValue>{{"HANGTIME", value}, {"TIMEOUT", "60"}});
    } catch (const SettingsWriteError& error) {
        EXPECT_EQ(error.file(), store.SettingsPath());
        EXPECT_EQ(std::string(error.what()), store.SettingsPath().string() + ": " + error.reason());
        return error.reason();
    }
    return "";
}

/// Runs in a child process: a failed write exits 0 after printing its reason, with the
/// file as it was.
[[noreturn]] void writeInChildAndReport(const SettingsStore& store, const std::string& value) {
    const std::string reason = writeFailure(store, value);
    std::fprintf(stderr, "reason: %s\n", reason.c_str());
    std::_Exit(!reason.empty() && test::readBytes(store.SettingsPath()) == kOldFile ? 0 : 1);
}

[[noreturn]] void writeAsAnOrdinaryUser(const SettingsStore& store) {
    // The administrator may write anywhere: the child runs as nobody.
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) std::_Exit(3);
    writeInChildAndReport(store, "10");
}

[[noreturn]] void writeWithLittleRoom(const SettingsStore& store) {
    // The system stops any file at 64 bytes, as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{64, 64};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) std::_Exit(3);
    writeInChildAndReport(store, std::string(500, 'x'));
}

TEST_F(SettingsStoreTest, OneWriteSetsEveryKeyInPlace) {
    test::writeBytes(store_.SettingsPath(), kOldFile);
    const fs::path earlier = folder_.path() / "earlier.ini";
    fs::create_hard_link(store_.SettingsPath(), earlier);

    EXPECT_EQ(writeFailure(store_), "");
    EXPECT_EQ(test::readBytes(store_.SettingsPath()),
              "[SETTINGS]\r\nHANGTIME=10\r\n; a comment\r\nTIMEOUT=60\r\n");
    EXPECT_FALSE(fs::equivalent(store_.SettingsPath(), earlier));

    // The same values again: the file is not touched at all.
    fs::remove(earlier);
    fs::create_hard_link(store_.SettingsPath(), earlier);
    EXPECT_EQ(writeFailure(store_), "");
    EXPECT_TRUE(fs::equivalent(store_.SettingsPath(), earlier));
}

TEST_F(SettingsStoreTest, AFolderInThePlaceOfTheFileIsAFailedSave) {
    fs::create_directory(store_.SettingsPath());
    EXPECT_EQ(writeFailure(store_), "Is a directory");
    EXPECT_TRUE(fs::is_empty(store_.SettingsPath()));
}

TEST_F(SettingsStoreTest, AReadOnlyFileIsRefusedAndKept) {
    test::writeBytes(store_.SettingsPath(), kOldFile);
    fs::permissions(store_.SettingsPath(), fs::perms::owner_read | fs::perms::group_read);
    EXPECT_EQ(writeFailure(store_), "the file is read-only");
    EXPECT_EQ(test::readBytes(store_.SettingsPath()), kOldFile);
}

using SettingsStoreDeathTest = SettingsStoreTest;

TEST_F(SettingsStoreDeathTest, AReadOnlyFolderIsAFailedSave) {
    test::writeBytes(store_.SettingsPath(), kOldFile);
    fs::permissions(folder_.path(), fs::perms::owner_read | fs::perms::owner_exec |
                                        fs::perms::group_read | fs::perms::group_exec |
                                        fs::perms::others_read | fs::perms::others_exec);
    EXPECT_EXIT(writeAsAnOrdinaryUser(store_), ::testing::ExitedWithCode(0),
                "reason: Permission denied");
    fs::permissions(folder_.path(), fs::perms::owner_all);
}

TEST_F(SettingsStoreDeathTest, SomeoneElsesFileIsNotReplaced) {
    // Everybody may write in the folder, but the file is not this user's to write.
    test::writeBytes(store_.SettingsPath(), kOldFile);
    fs::permissions(folder_.path(), fs::perms::all);
    fs::permissions(store_.SettingsPath(),
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    if (::geteuid() != 0) GTEST_SKIP() << "needs a second user: run as the administrator";
    EXPECT_EXIT(writeAsAnOrdinaryUser(store_), ::testing::ExitedWithCode(0),
                "reason: Permission denied");
    EXPECT_EQ(test::readBytes(store_.SettingsPath()), kOldFile);
}

TEST_F(SettingsStoreDeathTest, AWriteThatFailsHalfwayKeepsTheOldFile) {
    test::writeBytes(store_.SettingsPath(), kOldFile);
    EXPECT_EXIT(writeWithLittleRoom(store_), ::testing::ExitedWithCode(0),
                "reason: File too large");
    EXPECT_EQ(test::readBytes(store_.SettingsPath()), kOldFile);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_.path()), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace relaydeck
