// The options dialog "选项配置": its tabs by configuration section, OK, and the bundle buttons with
// scripted file dialogs and a scripted selection.
#include <QPushButton>
#include <QTabBar>

#include "OptionsTestSupport.h"
#include "TavDataManager/options/KvUiTectoOptionDlg.h"
#include "platform/config/KvUtXMLDOM.h"

namespace {

using tav::test::OptionsTest;
using tav::test::WhenShown;

std::vector<std::string> Captions(const KvUiTectoOptionDlg& dialog) {
  std::vector<std::string> captions;
  for (int i = 0; i < dialog.GetTabCount(); ++i) captions.push_back(dialog.GetTabPointer()->GetItemText(i));
  return captions;
}

// Opens the dialog, runs `during` while it shows, then cancels it (unless `during` ended it).
int RunDialog(KvUiTectoOptionDlg& dialog, std::function<void(KvUiTectoOptionDlg&)> during) {
  WhenShown<KvUiTectoOptionDlg>([during = std::move(during)](KvUiTectoOptionDlg& shown) {
    during(shown);
    if (shown.IsRunning() && shown.isVisible()) shown.EndDialog(IDCANCEL);
  });
  return dialog.DoModal();
}

const std::vector<std::string> kAllTabs = {"管道设置", "图层设置", "管道材料", "材料统计", "文字样式", "尺寸样式", "高级选项"};

// ---- tabs --------------------------------------------------------------------------------------------

TEST_F(OptionsTest, TheShippedConfigurationShowsAllSevenTabsInOrder) {
  KvUiTectoOptionDlg dialog;
  std::vector<int> templates;
  int active = -2;
  bool saved = false;
  RunDialog(dialog, [&](KvUiTectoOptionDlg& shown) {
    for (int i = 0; i < shown.GetTabCount(); ++i) templates.push_back(shown.GetTemplateId(i));
    active = shown.GetActiveTab();
    // The captions are on screen: the bar was laid out with its tabs.
    EXPECT_GT(shown.GetTabPointer()->GetTabBar()->height(), 0);
    saved = tav::test::SaveScreenshot(shown, "options-dialog");
  });
  EXPECT_EQ(Captions(dialog), kAllTabs);
  EXPECT_EQ(templates, (std::vector<int>{2149, 2078, 2000, 220, 2077, 2076, 2075}));
  EXPECT_EQ(active, 0);
  EXPECT_TRUE(saved);
  // Only the active tab's sheet was created.
  EXPECT_NE(dialog.m_systemSheet.GetSafeHwnd(), nullptr);
  EXPECT_EQ(dialog.m_advanceSheet.GetSafeHwnd(), nullptr);
}

TEST_F(OptionsTest, WithoutTavThereAreNeitherPipeNorStatisticsTabs) {
  g_dictCfg.RemoveItem(std::string_view("TAV"));
  KvUiTectoOptionDlg dialog;
  RunDialog(dialog, [](KvUiTectoOptionDlg&) {});
  EXPECT_EQ(Captions(dialog), (std::vector<std::string>{"图层设置", "文字样式", "尺寸样式", "高级选项"}));
}

TEST_F(OptionsTest, EachTabFollowsItsOwnSection) {
  g_dictCfg.RemoveItem(std::string_view("TAV\\PIPE_SYS_SET"));
  g_dictCfg.RemoveItem(std::string_view("DIM_STYLE"));
  KvUiTectoOptionDlg dialog;
  RunDialog(dialog, [](KvUiTectoOptionDlg&) {});
  EXPECT_EQ(Captions(dialog), (std::vector<std::string>{"图层设置", "管道材料", "材料统计", "文字样式", "高级选项"}));
}

TEST_F(OptionsTest, WithoutAnySectionTheDialogOpensWithoutTabs) {
  g_dictCfg.GetItemList().Reset();
  KvUiTectoOptionDlg dialog;
  int active = -2;
  RunDialog(dialog, [&](KvUiTectoOptionDlg& shown) { active = shown.GetActiveTab(); });
  EXPECT_EQ(dialog.GetTabCount(), 0);
  EXPECT_EQ(active, -1);
}

TEST_F(OptionsTest, OpeningTheDialogAgainDoesNotAddTheTabsTwice) {
  KvUiTectoOptionDlg dialog;
  RunDialog(dialog, [](KvUiTectoOptionDlg&) {});
  RunDialog(dialog, [](KvUiTectoOptionDlg&) {});
  EXPECT_EQ(Captions(dialog), kAllTabs);
}

TEST_F(OptionsTest, TitleAndButtonsCarryTheirTexts) {
  KvUiTectoOptionDlg dialog;
  EXPECT_EQ(dialog.GetWindowText(), "选项配置");
  const std::vector<std::pair<int, const char*>> buttons = {
      {IDOK, "确定"}, {IDCANCEL, "取消"}, {2107, "导入"}, {2108, "导出"}, {2127, "恢复默认"}};
  for (const auto& [id, text] : buttons) {
    auto* button = qobject_cast<QPushButton*>(dialog.GetDlgItem(id));
    ASSERT_NE(button, nullptr) << id;
    EXPECT_EQ(button->text().toStdString(), text);
  }
  EXPECT_NE(dialog.GetDlgItem(2032), nullptr);
}

// ---- OK ----------------------------------------------------------------------------------------------

TEST_F(OptionsTest, OkWritesConfigXmlPrintsTheLayerNoticeAndReloadsTheDataLayer) {
  auto* item = static_cast<KvDtDictStringItem*>(g_dictCfg.FindOrAddItem("ADVANCE\\TEST_OK", DICT_TYPE_STRING));
  item->SetValue("stored on OK");
  int reloads = 0;
  const int listener = tav::AddDefaultDataListener([&reloads] { ++reloads; });
  KvUiTectoOptionDlg dialog;
  const int result = RunDialog(dialog, [](KvUiTectoOptionDlg& shown) { shown.OnOK(); });
  tav::RemoveDefaultDataListener(listener);

  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(reloads, 1);
  KvDtDictionary written;
  ASSERT_TRUE(written.ReadFromXML(userDir_ + "Config.xml"));
  std::string value;
  EXPECT_TRUE(written.GetValue("ADVANCE\\TEST_OK", value));
  EXPECT_EQ(value, "stored on OK");
  EXPECT_EQ(services_->prints(), std::vector<std::string>{"\n修改图层标注无法对当前图纸上已存在的图层进行修改！\n"});
}

TEST_F(OptionsTest, OkWithoutConfigXmlClosesWithoutWritingOrReloading) {
  std::filesystem::remove(userDir_ + "Config.xml");
  g_dictCfg.RemoveItem(std::string_view("LAYER"));
  int reloads = 0;
  const int listener = tav::AddDefaultDataListener([&reloads] { ++reloads; });
  KvUiTectoOptionDlg dialog;
  const int result = RunDialog(dialog, [](KvUiTectoOptionDlg& shown) { shown.OnOK(); });
  tav::RemoveDefaultDataListener(listener);
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(reloads, 0);
  EXPECT_FALSE(std::filesystem::exists(userDir_ + "Config.xml"));
  EXPECT_TRUE(services_->prints().empty());  // no "LAYER": no notice
}

TEST_F(OptionsTest, OkNeverWritesIntoTheMainDirectory) {
  // Config.xml only in the installation: the user's copy is written, the installation's stays.
  std::filesystem::rename(userDir_ + "Config.xml", mainDir_ + "Config.xml");
  const std::string before = tav::test::ReadBytes(mainDir_ + "Config.xml");
  g_dictCfg.FindOrAddItem("ADVANCE\\TEST_MAIN", DICT_TYPE_STRING);
  KvUiTectoOptionDlg dialog;
  EXPECT_EQ(RunDialog(dialog, [](KvUiTectoOptionDlg& shown) { shown.OnOK(); }), IDOK);
  EXPECT_EQ(tav::test::ReadBytes(mainDir_ + "Config.xml"), before);
  KvDtDictionary written;
  ASSERT_TRUE(written.ReadFromXML(userDir_ + "Config.xml"));
  EXPECT_NE(written.FindItem("ADVANCE\\TEST_MAIN"), nullptr);
}

// ---- export -----------------------------------------------------------------------------------------

TEST_F(OptionsTest, ExportWritesABundleWithTheEditsInMemory) {
  auto* item = static_cast<KvDtDictStringItem*>(g_dictCfg.FindOrAddItem("ADVANCE\\TEST_EXPORT", DICT_TYPE_STRING));
  item->SetValue("exported");
  const std::string path = root_.path() + "out.allcfg";
  services_->QueueFile(path);
  KvUiTectoOptionDlg dialog;
  EXPECT_EQ(dialog.OnExport(), KvBundleOutcome::kDone);

  ASSERT_EQ(services_->fileDialogs().size(), 1u);
  const KvFileDialogRequest& request = services_->fileDialogs()[0];
  EXPECT_EQ(request.kind, KvFileDialogKind::kSave);
  EXPECT_EQ(request.filter, "配置文档(*.allcfg)|*.allcfg||");
  EXPECT_EQ(request.fileName, "澈岩建筑配置.allcfg");
  KvUtXMLDOMFile bundle;
  ASSERT_TRUE(bundle.Open(path));
  EXPECT_EQ(bundle.GetRoot().GetName(), "VenoConfigDataSet");
  KvBundleTreeModel tree;
  ASSERT_TRUE(tree.Load(bundle)) << tree.LastError();
  EXPECT_EQ(tree.GetRoots().size(), 3u);
  EXPECT_NE(tree.FindPath("VENO_CONFIG\\ADVANCE\\TEST_EXPORT"), KvBundleTreeModel::kNoNode);
  EXPECT_TRUE(services_->messageBoxes().empty());
}

TEST_F(OptionsTest, ExportCancelledWritesNothing) {
  services_->QueueFileCancel();
  KvUiTectoOptionDlg dialog;
  EXPECT_EQ(dialog.OnExport(), KvBundleOutcome::kCancelled);
  EXPECT_TRUE(services_->messageBoxes().empty());
}

// ---- failures reach the user ---------------------------------------------------------------------------

TEST_F(OptionsTest, FailuresShowTheirMessagesWithoutCaption) {
  KvUiTectoOptionDlg dialog;
  services_->QueueFile(root_.path() + "no/such/dir/out.allcfg");
  EXPECT_EQ(dialog.OnExport(), KvBundleOutcome::kFailed);
  const std::string notBundle = root_.path() + "garbage.allcfg";
  tav::test::WriteBytes(notBundle, "not a bundle <");
  services_->QueueFile(notBundle);
  EXPECT_EQ(dialog.OnImport(), KvBundleOutcome::kFailed);
  std::filesystem::remove(mainDir_ + "DefaultCfg.allcfg");
  EXPECT_EQ(dialog.OnRestoreDefault(), KvBundleOutcome::kFailed);

  std::vector<std::string> texts;
  for (const KvMessageBoxRequest& box : services_->messageBoxes()) {
    texts.push_back(box.text);
    EXPECT_EQ(box.caption, "");
    EXPECT_EQ(box.flags, MB_OK);
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"创建XML文档失败！请安装MSXML4.0SP2组件",
                                             "打开XML文档失败！请安装MSXML4.0SP2组件",
                                             "未找到默认配置文档：DefaultCfg.allcfg!"}));
  EXPECT_EQ(dialog.m_bConfigReplaced, 0);
}

// ---- import and restore ---------------------------------------------------------------------------------

TEST_F(OptionsTest, ImportWithUserInterfaceItemsSetsTheFlag) {
  KvScriptedBundleSelection selection;
  selection.QueuePaths({"VENO_UI_CONFIG\\TAV_SHORTCUTS"});
  services_->QueueFile(mainDir_ + "DefaultCfg.allcfg");
  KvUiTectoOptionDlg dialog;
  dialog.SetSelectionDialog(&selection);
  EXPECT_EQ(dialog.OnImport(), KvBundleOutcome::kDone);
  EXPECT_EQ(dialog.m_bConfigReplaced, 1);
  ASSERT_EQ(selection.shown().size(), 1u);
  EXPECT_EQ(selection.shown()[0].title, "导入设置");
  ASSERT_EQ(services_->fileDialogs().size(), 1u);
  EXPECT_EQ(services_->fileDialogs()[0].filter, "配置文件 (*.allcfg)|*.allcfg||");
}

TEST_F(OptionsTest, ImportOfOptionItemsOnlyLeavesTheFlagAndReloadsTheConfiguration) {
  // An edit in memory that was never stored: the reload after the import reads Config.xml again.
  g_dictCfg.FindOrAddItem("ADVANCE\\UNSAVED_EDIT", DICT_TYPE_STRING);
  KvScriptedBundleSelection selection;
  selection.QueuePaths({"VENO_DWG_CONFIG\\VENO_BASE_CONFIG"});
  services_->QueueFile(mainDir_ + "DefaultCfg.allcfg");
  KvUiTectoOptionDlg dialog;
  dialog.SetSelectionDialog(&selection);
  EXPECT_EQ(dialog.OnImport(), KvBundleOutcome::kDone);
  EXPECT_EQ(dialog.m_bConfigReplaced, 0);
  EXPECT_EQ(g_dictCfg.FindItem("ADVANCE\\UNSAVED_EDIT"), nullptr);
  EXPECT_NE(g_dictCfg.FindItem("TAV\\PIPE_SYS_SET"), nullptr);
}

TEST_F(OptionsTest, ImportPreselectsThePageOfTheActiveTab) {
  KvScriptedBundleSelection selection;
  for (int i = 0; i < 7; ++i) {
    selection.QueueCancel();
    services_->QueueFile(mainDir_ + "DefaultCfg.allcfg");
  }
  KvUiTectoOptionDlg dialog;
  dialog.SetSelectionDialog(&selection);
  RunDialog(dialog, [](KvUiTectoOptionDlg& shown) {
    for (int i = 0; i < shown.GetTabCount(); ++i) {
      shown.SetActiveTab(i);
      shown.OnImport();
    }
  });
  std::string standard;
  ASSERT_TRUE(g_dictCfg.GetValue("LAYER\\CUR_STD", standard));
  std::vector<std::string> pages;
  for (const auto& shown : selection.shown()) pages.push_back(shown.pageName);
  EXPECT_EQ(pages, (std::vector<std::string>{"PIPE_SYS_SET", "LAYER\\" + standard + "\\LAYER_FIELD_DEF",
                                             "PIPE_MATERIAL_SET", "", "TEXT_STYLE", "DIM_STYLE", "ADVANCE"}));
  ASSERT_EQ(selection.shown().size(), 7u);
  EXPECT_EQ(selection.shown()[3].pageNode, KvBundleTreeModel::kNoNode);  // 材料统计: nothing preselected
  EXPECT_NE(selection.shown()[4].pageNode, KvBundleTreeModel::kNoNode);
  EXPECT_EQ(dialog.m_bConfigReplaced, 0);
}

TEST_F(OptionsTest, RestoreOpensTheDefaultBundleInRestoreMode) {
  KvScriptedBundleSelection selection;
  selection.QueueCancel();
  selection.QueueAll();
  KvUiTectoOptionDlg dialog;
  dialog.SetSelectionDialog(&selection);
  EXPECT_EQ(dialog.OnRestoreDefault(), KvBundleOutcome::kCancelled);
  EXPECT_EQ(dialog.m_bConfigReplaced, 0);
  EXPECT_EQ(dialog.OnRestoreDefault(), KvBundleOutcome::kDone);
  EXPECT_EQ(dialog.m_bConfigReplaced, 1);  // everything, UI items included
  ASSERT_EQ(selection.shown().size(), 2u);
  EXPECT_EQ(selection.shown()[0].title, "导入默认设置");
  EXPECT_EQ(selection.shown()[0].mode, 1);
  EXPECT_TRUE(services_->fileDialogs().empty());
}

}  // namespace

namespace {

using tav::test::OptionsTest;
using tav::test::WhenShown;

TEST_F(OptionsTest, AfterAnImportOnlyCreatedSheetsAreRefreshedWithTheRereadConfiguration) {
  KvScriptedBundleSelection selection;
  selection.QueuePaths({"VENO_CONFIG\\TEXT_STYLE"});
  selection.QueuePaths({"VENO_CONFIG\\TEXT_STYLE"});
  services_->QueueFile(mainDir_ + "DefaultCfg.allcfg");
  KvUiTectoOptionDlg dialog;
  dialog.SetSelectionDialog(&selection);
  KvDtDictionary* after = nullptr;
  WhenShown<KvUiTectoOptionDlg>([&](KvUiTectoOptionDlg& shown) {
    // 管道材料 is never shown: its sheet has no window and is left alone.
    EXPECT_EQ(shown.OnImport(), KvBundleOutcome::kDone);
    EXPECT_EQ(shown.m_materialSheet.GetMaterialDictionary(), nullptr);
    shown.SetActiveTab(2);  // 管道材料
    services_->QueueFile(mainDir_ + "DefaultCfg.allcfg");
    EXPECT_EQ(shown.OnImport(), KvBundleOutcome::kDone);
    after = g_dictCfg.FindDict("TAV");
    shown.EndDialog(IDCANCEL);
  });
  dialog.DoModal();
  ASSERT_NE(after, nullptr);
  EXPECT_EQ(dialog.m_materialSheet.GetMaterialDictionary(), after);
}

}  // namespace
