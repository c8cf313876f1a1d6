#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "FrameTestSupport.h"
#include "TavDataManager/frame/KvDialogRegistry.h"
#include "TavDataManager/frame/TavModuleState.h"
#include "platform/config/KvConfigFiles.h"
#include "platform/config/KvDtDictionary.h"
#include "platform/config/KvLanguageSwitch.h"
#include "platform/config/KvPaths.h"
#include "platform/host/KvCommandLine.h"
#include "platform/host/KvScriptedUserServices.h"
#include "tests/support/TempDir.h"

namespace {

std::vector<std::string> g_trace;
void HostRegen() { g_trace.push_back("regen"); }
void HostLoadUI() { g_trace.push_back(KvCommandLine::Current().IsCommandActive() ? "loadui" : "?"); }

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class CommandHandlers : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir_.path() + "main");
    std::filesystem::create_directories(dir_.path() + "user");
    tav::SetMainDirectory(dir_.path() + "main/");
    tav::SetUserConfigDirectory(dir_.path() + "user/");
    g_dictCfg.GetItemList().Reset();
    std::string error;
    app_ = loader_.Load(tav::test::PluginPath(), &error);
    ASSERT_NE(app_, nullptr) << error;
    const KvCmdTableEntry host[] = {{"REGEN", &HostRegen, 0}, {"KvLoadUI", &HostLoadUI, 0}};
    ASSERT_TRUE(KvDefineCommand("TESTHOST", host, 2, 0));
    KvCommandLine::Current().Clear();
    g_trace.clear();
    TavResetModuleLanguage();
  }
  void TearDown() override {
    acedRegCmds()->removeGroup("TESTHOST");
    KvCommandLine::Current().Clear();
    tav::SetMainDirectory("");
    tav::SetUserConfigDirectory("");
    g_pVenoLangSwitch = nullptr;
    TavResetModuleLanguage();
  }

  // Registers a scripted dialog that ends with `result` and the configuration-replaced flag.
  std::unique_ptr<KvDialogRegistration> Script(KvFrameDialog dialog, int result, bool replaced,
                                               std::function<void()> during = {}) {
    return std::make_unique<KvDialogRegistration>(dialog, [=] {
      g_trace.push_back("dialog");
      if (during) during();
      return KvDialogOutcome{result, replaced};
    });
  }
  std::vector<std::string> HistoryNames() const {
    std::vector<std::string> names;
    for (const auto& record : KvCommandLine::Current().History()) names.push_back(record.name);
    return names;
  }
  std::string UserFile(const char* name) const { return dir_.path() + "user/" + name; }

  tav::test::TempDir dir_;
  KvAppLoader loader_;
  KvLoadedApp* app_ = nullptr;
  KvScriptedUserServices services_;
  KvUserServicesScope scope_{services_};
};

TEST_F(CommandHandlers, AcceptedOptionsRegenerateWithTheLeadingDot) {
  auto reg = Script(KvFrameDialog::kOptions, IDOK, false);
  EXPECT_EQ(KvCommandLine::Current().RunCommand("TavConfig"), RTNORM);
  EXPECT_EQ(HistoryNames(), (std::vector<std::string>{"TavConfig", ".REGEN"}));
  const auto& regen = KvCommandLine::Current().History()[1];
  EXPECT_EQ(regen.source, KvCommandRecord::Source::kInvoked);
  EXPECT_EQ(regen.depth, 1);
  EXPECT_EQ(g_trace, (std::vector<std::string>{"dialog", "regen"}));
  EXPECT_TRUE(KvCommandLine::Current().PostedTexts().empty());
  EXPECT_FALSE(std::filesystem::exists(UserFile("UIConfig.xml")));
}

TEST_F(CommandHandlers, AcceptedDrawingSettingsRegenerateWithoutTheDot) {
  auto reg = Script(KvFrameDialog::kDrawingSettings, IDOK, false);
  KvCommandLine::Current().RunCommand("tavdwgsetting");
  EXPECT_EQ(HistoryNames(), (std::vector<std::string>{"tavdwgsetting", "REGEN"}));
  EXPECT_EQ(g_trace, (std::vector<std::string>{"dialog", "regen"}));
}

TEST_F(CommandHandlers, OptionsCancelledAfterAnImportStillReloadTheInterfaceButDoNotRegenerate) {
  auto reg = Script(KvFrameDialog::kOptions, IDCANCEL, true);
  KvCommandLine::Current().RunCommand("TavConfig");
  EXPECT_EQ(HistoryNames(), (std::vector<std::string>{"TavConfig", "KvLoadUI"}));
  const auto& loadUi = KvCommandLine::Current().History()[1];
  EXPECT_EQ(loadUi.source, KvCommandRecord::Source::kPosted);
  EXPECT_EQ(loadUi.depth, 0);  // after TavConfig has ended
  EXPECT_EQ(KvCommandLine::Current().PostedTexts(), std::vector<std::string>{"KvLoadUI\r"});
  EXPECT_EQ(g_trace, (std::vector<std::string>{"dialog", "loadui"}));
  EXPECT_TRUE(std::filesystem::exists(UserFile("UIConfig.xml")));
}

TEST_F(CommandHandlers, AcceptedOptionsAfterAnImportRegenerateAndReloadTheInterface) {
  auto reg = Script(KvFrameDialog::kOptions, IDOK, true);
  KvCommandLine::Current().RunCommand("TavConfig");
  EXPECT_EQ(g_trace, (std::vector<std::string>{"dialog", "regen", "loadui"}));
  EXPECT_TRUE(std::filesystem::exists(UserFile("UIConfig.xml")));
}

TEST_F(CommandHandlers, DrawingSettingsImportReloadsTheInterfaceWithoutTouchingTheConfiguration) {
  ASSERT_NE(g_dictCfg.FindOrAddItem("TEST\\VALUE", DICT_TYPE_STRING), nullptr);
  auto reg = Script(KvFrameDialog::kDrawingSettings, IDCANCEL, true);
  KvCommandLine::Current().RunCommand("TavDwgSetting");
  EXPECT_EQ(g_trace, (std::vector<std::string>{"dialog", "loadui"}));
  EXPECT_TRUE(std::filesystem::exists(UserFile("UIConfig.xml")));
  EXPECT_FALSE(std::filesystem::exists(UserFile("Config.xml")));  // no SaveConfig around this dialog
}

TEST_F(CommandHandlers, OptionsSaveTheConfigurationBeforeAndReadItBackAfterwards) {
  auto* item = static_cast<KvDtDictStringItem*>(g_dictCfg.FindOrAddItem("TEST\\VALUE", DICT_TYPE_STRING));
  ASSERT_NE(item, nullptr);
  item->SetValue("before");
  std::string seenOnDisk;
  auto reg = Script(KvFrameDialog::kOptions, IDCANCEL, false, [&] {
    seenOnDisk = ReadText(UserFile("Config.xml"));
    // The dialog saves its own configuration, then leaves an unsaved change in memory.
    KvDtDictionary saved;
    saved.FindOrAddItem("TEST\\VALUE", DICT_TYPE_STRING)->SetValueText("saved by the dialog");
    ASSERT_TRUE(saved.SaveToXML(UserFile("Config.xml")));
    static_cast<KvDtDictStringItem*>(g_dictCfg.FindItem("TEST\\VALUE"))->SetValue("unsaved");
  });
  KvCommandLine::Current().RunCommand("TavConfig");
  EXPECT_NE(seenOnDisk.find("before"), std::string::npos);
  std::string value;
  ASSERT_TRUE(g_dictCfg.GetValue("TEST\\VALUE", value));
  EXPECT_EQ(value, "saved by the dialog");
  EXPECT_EQ(g_trace, std::vector<std::string>{"dialog"});
}

TEST_F(CommandHandlers, LinetypeManagerSendsNothingWhateverItsResult) {
  auto reg = Script(KvFrameDialog::kLinetype, IDOK, true);
  KvCommandLine::Current().RunCommand("TavLinetype");
  EXPECT_EQ(HistoryNames(), std::vector<std::string>{"TavLinetype"});
  EXPECT_EQ(g_trace, std::vector<std::string>{"dialog"});
  EXPECT_EQ(services_.output(), "");
  EXPECT_FALSE(std::filesystem::exists(UserFile("UIConfig.xml")));
}

TEST_F(CommandHandlers, XGRunsTheEquipmentTableEditing) {
  auto reg = Script(KvFrameDialog::kEquipmentTable, IDOK, true);
  KvCommandLine::Current().RunCommand("xg");
  EXPECT_EQ(HistoryNames(), std::vector<std::string>{"xg"});
  EXPECT_EQ(g_trace, std::vector<std::string>{"dialog"});
}

TEST_F(CommandHandlers, MissingDialogsAreReportedAndTheRestRunsAsCancelled) {
  // Cover whatever dialogs the module has registered with "no dialog".
  KvDialogRegistration none1(KvFrameDialog::kOptions, nullptr), none2(KvFrameDialog::kDrawingSettings, nullptr),
      none3(KvFrameDialog::kLinetype, nullptr), none4(KvFrameDialog::kEquipmentTable, nullptr);
  ASSERT_FALSE(KvHasDialog(KvFrameDialog::kOptions));
  auto* item = static_cast<KvDtDictStringItem*>(g_dictCfg.FindOrAddItem("TEST\\VALUE", DICT_TYPE_STRING));
  item->SetValue("kept");
  KvCommandLine::Current().RunCommand("TavConfig");
  KvCommandLine::Current().RunCommand("TavDwgSetting");
  KvCommandLine::Current().RunCommand("TavLinetype");
  KvCommandLine::Current().RunCommand("XG");
  EXPECT_EQ(services_.prints(), (std::vector<std::string>{"\n选项配置对话框尚未提供。", "\n图形设置对话框尚未提供。",
                                                          "\n线型管理对话框尚未提供。", "\n设备表编辑尚未提供。"}));
  EXPECT_EQ(HistoryNames(), (std::vector<std::string>{"TavConfig", "TavDwgSetting", "TavLinetype", "XG"}));
  EXPECT_TRUE(std::filesystem::exists(UserFile("Config.xml")));  // saved before and read back after
  std::string value;
  ASSERT_TRUE(g_dictCfg.GetValue("TEST\\VALUE", value));
  EXPECT_EQ(value, "kept");
}

TEST_F(CommandHandlers, DialogsRunWithTheModuleResourcesAndWithoutLanguageSwitchNoLanguage) {
  KvModuleInstance hostInstance{"/usr/bin/tavcad", nullptr};
  KvDtDictionary hostLanguage;
  KvSetResourceHandle(&hostInstance);
  g_pCurModuleLang = &hostLanguage;
  KvHInstance inside = nullptr;
  KvDtDictionary* languageInside = &hostLanguage;
  auto reg = Script(KvFrameDialog::kOptions, IDOK, false, [&] {
    inside = KvGetResourceHandle();
    languageInside = g_pCurModuleLang;
  });
  KvCommandLine::Current().RunCommand("TavConfig");
  EXPECT_EQ(inside, TavGetResourceInstance());
  ASSERT_NE(inside, nullptr);
  EXPECT_EQ(languageInside, nullptr);
  EXPECT_EQ(KvGetResourceHandle(), &hostInstance);
  EXPECT_EQ(g_pCurModuleLang, &hostLanguage);
  KvSetResourceHandle(nullptr);
  g_pCurModuleLang = nullptr;
}

TEST_F(CommandHandlers, DialogsSeeTheModuleLanguageFromTheLanguageFolder) {
  std::filesystem::create_directories(dir_.path() + "main/Lang");
  {
    std::ofstream out(dir_.path() + "main/Lang/TavDataManager.xml");
    out << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<Directory name=\"TAVDATAMANAGER\"><String name=\"IDS_TITLE\">选项配置</String></Directory>\n";
  }
  VenoLanguageSwitch languageSwitch;
  g_pVenoLangSwitch = &languageSwitch;
  std::string title;
  auto reg = Script(KvFrameDialog::kLinetype, IDOK, false, [&] {
    ASSERT_NE(g_pCurModuleLang, nullptr);
    g_pCurModuleLang->GetValue("IDS_TITLE", title);
  });
  KvCommandLine::Current().RunCommand("TavLinetype");
  EXPECT_EQ(title, "选项配置");
  EXPECT_EQ(g_pCurModuleLang, nullptr);
}

TEST_F(CommandHandlers, AFailingDialogStillRestoresTheResources) {
  KvModuleInstance hostInstance{"/usr/bin/tavcad", nullptr};
  KvSetResourceHandle(&hostInstance);
  auto reg = Script(KvFrameDialog::kOptions, IDOK, false, [&] {
    KvMessageBox("是否保存当前修改?", "", MB_YESNO);  // no scripted answer: the script fails
  });
  EXPECT_EQ(KvCommandLine::Current().RunCommand("TavConfig"), RTERROR);
  EXPECT_EQ(KvGetResourceHandle(), &hostInstance);
  EXPECT_EQ(services_.errors().size(), 1u);
  EXPECT_EQ(HistoryNames(), std::vector<std::string>{"TavConfig"});  // no regeneration
  KvSetResourceHandle(nullptr);
}

}  // namespace
