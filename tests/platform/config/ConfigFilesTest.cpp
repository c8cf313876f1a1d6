// The configuration globals and their files: where they are found, where they are saved.
#include <gtest/gtest.h>

#include "platform/base/KvFile.h"
#include "platform/config/KvConfigFiles.h"
#include "platform/config/KvDtDictionary.h"
#include "platform/config/KvDtUIConfig.h"
#include "platform/config/KvPaths.h"
#include "tests/support/TempDir.h"

namespace {

class ConfigFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    tav::MakeDirectories(main() );
    tav::SetMainDirectory(main());
    tav::SetUserConfigDirectory(user());
    g_dictCfg.GetItemList().Reset();
    g_dictCfg.SetKey("");
  }
  void TearDown() override {
    tav::SetMainDirectory("");
    tav::SetUserConfigDirectory("");
    g_dictCfg.GetItemList().Reset();
    g_dbCfgUI.Reset();
  }
  std::string main() const { return dir_.path() + "main/"; }
  std::string user() const { return dir_.path() + "user/"; }
  static std::string Dict(const char* key, const char* value) {
    return std::string("<Directory name=\"CFG\"><String name=\"") + key + "\">" + value + "</String></Directory>";
  }
  static std::string Read(const std::string& path) {
    std::string bytes;
    tav::ReadFileBytes(path, bytes);
    return bytes;
  }
  tav::test::TempDir dir_;
};

TEST_F(ConfigFiles, LoadPrefersTheUserCopyOverTheMainDirectory) {
  ASSERT_TRUE(tav::WriteFileAtomic(main() + "Config.xml", Dict("WHO", "安装")));
  ASSERT_TRUE(LoadConfig()) << tav::LastConfigFileError();
  std::string who;
  EXPECT_TRUE(g_dictCfg.GetValue("WHO", who));
  EXPECT_EQ(who, "安装");
  ASSERT_TRUE(tav::MakeDirectories(user()));
  ASSERT_TRUE(tav::WriteFileAtomic(user() + "Config.xml", Dict("WHO", "用户")));
  ASSERT_TRUE(LoadConfig());
  EXPECT_TRUE(g_dictCfg.GetValue("WHO", who));
  EXPECT_EQ(who, "用户");
}

TEST_F(ConfigFiles, SavingNeverWritesIntoTheMainDirectory) {
  const std::string shipped = Dict("WHO", "安装");
  ASSERT_TRUE(tav::WriteFileAtomic(main() + "Config.xml", shipped));
  ASSERT_TRUE(LoadConfig());
  static_cast<KvDtDictStringItem*>(g_dictCfg.FindItem("WHO"))->SetValue("改过");
  ASSERT_TRUE(SaveConfig()) << tav::LastConfigFileError();
  EXPECT_EQ(Read(main() + "Config.xml"), shipped);
  KvDtDictionary saved;
  ASSERT_TRUE(saved.ReadFromXML(user() + "Config.xml")) << saved.LastError().message;
  EXPECT_TRUE(saved == g_dictCfg);
  // Now the user copy is found first and is the one written.
  static_cast<KvDtDictStringItem*>(g_dictCfg.FindItem("WHO"))->SetValue("再改");
  ASSERT_TRUE(SaveConfig());
  ASSERT_TRUE(saved.ReadFromXML(user() + "Config.xml"));
  std::string who;
  saved.GetValue("WHO", who);
  EXPECT_EQ(who, "再改");
  EXPECT_EQ(Read(main() + "Config.xml"), shipped);
}

TEST_F(ConfigFiles, SaveWithoutAnyFileCreatesTheUserFolder) {
  g_dictCfg.FindOrAddItem("NEW", DICT_TYPE_BOOL);
  EXPECT_EQ(tav::ConfigSavePath("Config.xml"), user() + "Config.xml");
  ASSERT_TRUE(SaveConfig()) << tav::LastConfigFileError();
  EXPECT_TRUE(tav::FileExists(user() + "Config.xml"));
  EXPECT_FALSE(tav::FileExists(main() + "Config.xml"));
}

TEST_F(ConfigFiles, FailedLoadsKeepWhatWasInMemoryAndSayWhy) {
  g_dictCfg.FindOrAddItem("KEEP", DICT_TYPE_LONG);
  EXPECT_FALSE(LoadConfig());
  EXPECT_NE(tav::LastConfigFileError().find("Config.xml not found"), std::string::npos);
  ASSERT_TRUE(tav::WriteFileAtomic(main() + "Config.xml", "<Directory>\n<Int name=\"A\">1</Int"));
  EXPECT_FALSE(LoadConfig());
  EXPECT_NE(tav::LastConfigFileError().find(main() + "Config.xml:2:"), std::string::npos) << tav::LastConfigFileError();
  EXPECT_NE(g_dictCfg.FindItem("KEEP"), nullptr);
}

TEST_F(ConfigFiles, UIConfigLoadsSetsTheUiDictionaryAndSavesToTheUserFolder) {
  std::string shipped;
  ASSERT_TRUE(tav::ReadFileBytes(std::string(TAV_SOURCE_DIR) + "/maindir/UIConfig.xml", shipped));
  ASSERT_TRUE(tav::WriteFileAtomic(main() + "UIConfig.xml", shipped));
  ASSERT_TRUE(LoadUIConfig()) << tav::LastConfigFileError();
  ASSERT_NE(g_pUiDictionary, nullptr);
  static_cast<KvDtDictLongItem*>(g_pUiDictionary->GetDictionary().FindOrAddItem("TOOLBAR_ICON_SIZE", DICT_TYPE_LONG))
      ->SetValue(32);
  ASSERT_TRUE(SaveUIConfig()) << tav::LastConfigFileError();
  EXPECT_EQ(Read(main() + "UIConfig.xml"), shipped);
  KvDtUIConfig saved;
  ASSERT_TRUE(saved.ReadFromXML(user() + "UIConfig.xml"));
  EXPECT_TRUE(saved == g_dbCfgUI);
}

TEST(DefaultData, ListenersRunInOrderAndCanBeRemoved) {
  TavLoadDefaultData();  // nothing registered: nothing happens
  std::string calls;
  const int a = tav::AddDefaultDataListener([&] { calls += "a"; });
  const int b = tav::AddDefaultDataListener([&] { calls += "b"; });
  TavLoadDefaultData();
  EXPECT_EQ(calls, "ab");
  tav::RemoveDefaultDataListener(a);
  TavLoadDefaultData();
  EXPECT_EQ(calls, "abb");
  tav::RemoveDefaultDataListener(b);
  TavLoadDefaultData();
  EXPECT_EQ(calls, "abb");
}

}  // namespace
