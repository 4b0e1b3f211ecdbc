#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <string>

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

}  // namespace
}  // namespace relaydeck
