// The command TavConfig with the plug-in's own options dialog: the plug-in is loaded as the host loads
// it, the command is run from the command line, and the dialog is driven while it shows.
#include <QTest>

#include "OptionsTestSupport.h"
#include "TavDataManager/frame/KvDialogRegistry.h"
#include "TavDataManager/options/KvUiImportSettingDataDlg.h"
#include "TavDataManager/options/KvUiTectoOptionDlg.h"
#include "platform/host/KvAppLoader.h"
#include "platform/host/KvCommandLine.h"

namespace {

using tav::test::WhenShown;

std::vector<std::string> g_trace;
void HostRegen() { g_trace.push_back("regen"); }
void HostLoadUI() { g_trace.push_back("loadui"); }

class TavConfigCommand : public tav::test::OptionsTest {
 protected:
  void SetUp() override {
    OptionsTest::SetUp();
    std::string error;
    app_ = loader_.Load(std::string(TAV_BINARY_DIR) + "/bin/libTavDataManager.so", &error);
    ASSERT_NE(app_, nullptr) << error;
    const KvCmdTableEntry host[] = {{"REGEN", &HostRegen, 0}, {"KvLoadUI", &HostLoadUI, 0}};
    ASSERT_TRUE(KvDefineCommand("TESTHOST", host, 2, 0));
    KvCommandLine::Current().Clear();
    g_trace.clear();
  }
  void TearDown() override {
    acedRegCmds()->removeGroup("TESTHOST");
    KvCommandLine::Current().Clear();
    OptionsTest::TearDown();
  }
  std::vector<std::string> HistoryNames() const {
    std::vector<std::string> names;
    for (const auto& record : KvCommandLine::Current().History()) names.push_back(record.name);
    return names;
  }

  KvAppLoader loader_;
  KvLoadedApp* app_ = nullptr;
};

TEST_F(TavConfigCommand, ThePlugInRegistersTheOptionsDialog) { EXPECT_TRUE(KvHasDialog(KvFrameDialog::kOptions)); }

TEST_F(TavConfigCommand, OkSendsRegen) {
  bool shown = false;
  WhenShown<KvUiTectoOptionDlg>([&shown](KvUiTectoOptionDlg& dialog) {
    shown = true;
    dialog.OnOK();
  });
  KvCommandLine::Current().RunCommand("TavConfig");
  EXPECT_TRUE(shown);
  EXPECT_EQ(HistoryNames(), (std::vector<std::string>{"TavConfig", ".REGEN"}));
  EXPECT_EQ(g_trace, std::vector<std::string>{"regen"});
}

TEST_F(TavConfigCommand, CancelSendsNothingAndRereadsTheConfiguration) {
  WhenShown<KvUiTectoOptionDlg>([](KvUiTectoOptionDlg& dialog) {
    g_dictCfg.FindOrAddItem("ADVANCE\\DISCARDED", DICT_TYPE_STRING);
    dialog.OnCancel();
  });
  KvCommandLine::Current().RunCommand("TavConfig");
  EXPECT_EQ(HistoryNames(), std::vector<std::string>{"TavConfig"});
  EXPECT_EQ(g_dictCfg.FindItem("ADVANCE\\DISCARDED"), nullptr);
  EXPECT_NE(g_dictCfg.FindItem("TAV\\PIPE_SYS_SET"), nullptr);
}

TEST_F(TavConfigCommand, AnImportWithInterfaceItemsReloadsTheInterfaceEvenAfterCancel) {
  services_->QueueFile(mainDir_ + "DefaultCfg.allcfg");
  int replaced = -1;
  WhenShown<KvUiTectoOptionDlg>([&replaced](KvUiTectoOptionDlg& dialog) {
    // The user ticks one interface folder in the selection tree and confirms.
    WhenShown<KvUiImportSettingDataDlg>([](KvUiImportSettingDataDlg& selection) {
      KvUiCheckTree& tree = *selection.GetTree();
      tree.SetCheck(tree.FindPath("VENO_UI_CONFIG\\TAV_SHORTCUTS"), true);
      selection.OnOK();
    });
    dialog.OnImport();
    replaced = dialog.m_bConfigReplaced;
    dialog.OnCancel();
  });
  KvCommandLine::Current().RunCommand("TavConfig");
  EXPECT_EQ(replaced, 1);
  EXPECT_EQ(HistoryNames(), (std::vector<std::string>{"TavConfig", "KvLoadUI"}));
  EXPECT_EQ(KvCommandLine::Current().PostedTexts(), std::vector<std::string>{"KvLoadUI\r"});
  EXPECT_EQ(g_trace, std::vector<std::string>{"loadui"});
  EXPECT_TRUE(std::filesystem::exists(userDir_ + "UIConfig.xml"));
}

TEST_F(TavConfigCommand, AnImportWithoutInterfaceItemsDoesNotReloadTheInterface) {
  services_->QueueFile(mainDir_ + "DefaultCfg.allcfg");
  WhenShown<KvUiTectoOptionDlg>([](KvUiTectoOptionDlg& dialog) {
    WhenShown<KvUiImportSettingDataDlg>([](KvUiImportSettingDataDlg& selection) {
      KvUiCheckTree& tree = *selection.GetTree();
      tree.SetCheck(tree.FindPath("VENO_CONFIG\\TEXT_STYLE"), true);
      selection.OnOK();
    });
    dialog.OnImport();
    dialog.OnOK();
  });
  KvCommandLine::Current().RunCommand("TavConfig");
  EXPECT_EQ(HistoryNames(), (std::vector<std::string>{"TavConfig", ".REGEN"}));
  EXPECT_TRUE(KvCommandLine::Current().PostedTexts().empty());
}

TEST_F(TavConfigCommand, TheDialogIsParentedToTheActiveWindow) {
  QWidget mainWindow;
  mainWindow.resize(400, 300);
  mainWindow.show();
  mainWindow.activateWindow();
  if (!QTest::qWaitForWindowActive(&mainWindow)) GTEST_SKIP() << "the platform activates no window";
  QWidget* parent = nullptr;
  WhenShown<KvUiTectoOptionDlg>([&parent](KvUiTectoOptionDlg& dialog) {
    parent = dialog.parentWidget();
    dialog.OnCancel();
  });
  KvCommandLine::Current().RunCommand("TavConfig");
  EXPECT_EQ(parent, &mainWindow);
}

}  // namespace
