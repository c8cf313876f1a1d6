// The dialogs' bundle steps: file dialogs and messages through the user services, the selection
// dialog, what an import or restore applies and what it leaves alone, the configuration-replaced flag.
#include "tests/TavDataManager/config/BundleTestSupport.h"

#include "TavDataManager/config/KvBundleActions.h"
#include "TavDataManager/config/KvConfigTransfer.h"
#include "TavDataManager/config/KvDwgConfigSection.h"
#include "platform/config/KvUtXMLDOM.h"

namespace tav::test {
namespace {

using namespace tav::bundle;

class ActionsTest : public BundleTest {
 protected:
  KvBundleActions Actions(KvBundleDialogSteps steps = {}) { return KvBundleActions(selection_, std::move(steps), flag_); }
  // The drawing section of `db` as text, for comparing drawings.
  static std::string DrawingSectionText(AcDbDatabase* db) {
    KvUtXMLDOMFile doc;
    doc.CreateNewXMLDoc("x", kDeclaration, kRootElement);
    WriteDrawingSection(doc.GetRoot(), db);
    return doc.ToText();
  }
  std::string ExportTo(const std::string& name) {
    const std::string path = root_.file(name);
    services_->QueueFile(path);
    EXPECT_EQ(Actions().OnExport(), KvBundleOutcome::kDone);
    return path;
  }
  KvScriptedBundleSelection selection_;
  int flag_ = 0;
};

TEST_F(ActionsTest, ExportAsksWithTheExactSaveDialog) {
  services_->QueueFileCancel();
  bool stored = false;
  EXPECT_EQ(Actions({.storeForExport = [&] { stored = true; }}).OnExport(), KvBundleOutcome::kCancelled);
  ASSERT_EQ(services_->fileDialogs().size(), 1u);
  const KvFileDialogRequest& r = services_->fileDialogs()[0];
  EXPECT_EQ(r.kind, KvFileDialogKind::kSave);
  EXPECT_EQ(r.filter, "配置文档(*.allcfg)|*.allcfg||");
  EXPECT_EQ(r.defaultExtension, "allcfg");
  EXPECT_EQ(r.fileName, "澈岩建筑配置.allcfg");
  EXPECT_EQ(r.flags, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
  EXPECT_FALSE(stored);  // cancelled before the dialog's edits are stored
  EXPECT_TRUE(services_->messageBoxes().empty());
}

TEST_F(ActionsTest, ExportStoresTheDialogFirstThenWritesTheBundle) {
  ShipToMain("Config.xml");
  const std::string path = root_.file("out.allcfg");
  services_->QueueFile(path);
  // The dialog's store step writes the configuration that the export then copies.
  auto store = [&] {
    WriteBytes(userDir_ + "Config.xml",
               "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Directory name=\"VENO_CONFIG\"><Int name=\"STORED\">1</Int></Directory>\n");
  };
  EXPECT_EQ(Actions({.storeForExport = store}).OnExport(), KvBundleOutcome::kDone);
  EXPECT_NE(ReadBytes(path).find("STORED"), std::string::npos);
}

TEST_F(ActionsTest, ExportFailureShowsTheMessageWithoutCaption) {
  services_->QueueFile(root_.path() + "no/such/dir/out.allcfg");
  EXPECT_EQ(Actions().OnExport(), KvBundleOutcome::kFailed);
  ASSERT_EQ(services_->messageBoxes().size(), 1u);
  EXPECT_EQ(services_->messageBoxes()[0].text, "创建XML文档失败！请安装MSXML4.0SP2组件");
  EXPECT_EQ(services_->messageBoxes()[0].caption, "");
  EXPECT_EQ(services_->messageBoxes()[0].flags, MB_OK);
}

TEST_F(ActionsTest, ImportAsksWithTheExactOpenDialog) {
  services_->QueueFileCancel();
  EXPECT_EQ(Actions().OnImport(), KvBundleOutcome::kCancelled);
  ASSERT_EQ(services_->fileDialogs().size(), 1u);
  const KvFileDialogRequest& r = services_->fileDialogs()[0];
  EXPECT_EQ(r.kind, KvFileDialogKind::kOpen);
  EXPECT_EQ(r.filter, "配置文件 (*.allcfg)|*.allcfg||");
  EXPECT_EQ(r.flags, OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT);
  EXPECT_TRUE(selection_.shown().empty());
}

TEST_F(ActionsTest, UnreadableBundlesGiveTheOpenMessageAndChangeNothing) {
  InstallUserConfig();
  const std::string config = ReadBytes(userDir_ + "Config.xml"), ui = ReadBytes(userDir_ + "UIConfig.xml");
  ShipToMain("Config.xml");
  const std::string good = ExportTo("good.allcfg");
  const std::string goodText = ReadBytes(good);
  const std::pair<const char*, std::string> cases[] = {
      {"not XML", "this is not xml at all"},
      {"not a bundle", ReadBytes(ShippedFile("Config.xml"))},
      {"truncated", goodText.substr(0, goodText.size() / 2)},
      {"empty", ""},
      {"missing file", "<missing>"},
  };
  for (const auto& [what, bytes] : cases) {
    services_->ClearRecords();
    std::string path = root_.file(std::string("bad-") + what + ".allcfg");
    if (bytes == "<missing>") path = root_.file("none.allcfg");
    else WriteBytes(path, bytes);
    services_->QueueFile(path);
    selection_.QueueAll();
    EXPECT_EQ(Actions().OnImport(), KvBundleOutcome::kFailed) << what;
    ASSERT_EQ(services_->messageBoxes().size(), 1u) << what;
    EXPECT_EQ(services_->messageBoxes()[0].text, "打开XML文档失败！请安装MSXML4.0SP2组件");
    EXPECT_EQ(services_->messageBoxes()[0].caption, "");
    EXPECT_TRUE(selection_.shown().empty()) << what;
    EXPECT_EQ(ReadBytes(userDir_ + "Config.xml"), config);
    EXPECT_EQ(ReadBytes(userDir_ + "UIConfig.xml"), ui);
    EXPECT_EQ(flag_, 0);
  }
}

TEST_F(ActionsTest, DrawingOnlyImportLeavesBothFilesAndTheFlag) {
  InstallUserConfig();
  ASSERT_EQ(KvDbSetSymbElevDotSize(9.5, db_.get()), Acad::eOk);
  const std::string bundle = ExportTo("d.allcfg");
  const std::string config = ReadBytes(userDir_ + "Config.xml"), ui = ReadBytes(userDir_ + "UIConfig.xml");
  const auto configTime = std::filesystem::last_write_time(userDir_ + "Config.xml");

  AcDbDatabase other;
  KvWorkingDatabaseScope working(&other);
  services_->QueueFile(bundle);
  selection_.QueuePaths({"VENO_DWG_CONFIG"});
  bool reloaded = false;
  EXPECT_EQ(Actions({.reloadAfterImport = [&] { reloaded = true; }}).OnImport(), KvBundleOutcome::kDone);
  EXPECT_TRUE(reloaded);
  EXPECT_DOUBLE_EQ(KvDbGetSymbElevDotSize(&other), 9.5);
  EXPECT_EQ(ReadBytes(userDir_ + "Config.xml"), config);
  EXPECT_EQ(ReadBytes(userDir_ + "UIConfig.xml"), ui);
  EXPECT_EQ(std::filesystem::last_write_time(userDir_ + "Config.xml"), configTime);
  EXPECT_EQ(flag_, 0);
}

TEST_F(ActionsTest, ImportWithUiItemsSetsTheFlagAndSavesTheUiConfiguration) {
  InstallUserConfig();
  const std::string bundle = ExportTo("u.allcfg");
  services_->QueueFile(bundle);
  selection_.QueuePaths({"VENO_UI_CONFIG\\TAV_COMMANDS\\TAV_CMD_XG"});
  EXPECT_EQ(Actions().OnImport(), KvBundleOutcome::kDone);
  EXPECT_EQ(flag_, 1);
  ASSERT_EQ(selection_.shown().size(), 1u);
  EXPECT_EQ(selection_.shown()[0].title, "导入设置");
  EXPECT_EQ(selection_.shown()[0].mode, kModeImport);
}

TEST_F(ActionsTest, CancelledSelectionAppliesNothing) {
  InstallUserConfig();
  const std::string bundle = ExportTo("c.allcfg");
  const std::string config = ReadBytes(userDir_ + "Config.xml");
  g_dictCfg.FindItem("TAV")->SetLocalName("改过");
  services_->QueueFile(bundle);
  selection_.QueueCancel();
  bool reloaded = false;
  EXPECT_EQ(Actions({.reloadAfterImport = [&] { reloaded = true; }}).OnImport(), KvBundleOutcome::kCancelled);
  EXPECT_FALSE(reloaded);
  EXPECT_EQ(ReadBytes(userDir_ + "Config.xml"), config);
  EXPECT_EQ(flag_, 0);
}

TEST_F(ActionsTest, CurrentPageIsPreselectedInTheSelectionDialog) {
  InstallUserConfig();
  const std::string bundle = ExportTo("p.allcfg");
  services_->QueueFile(bundle);
  selection_.QueuePreselection();
  g_dictCfg.FindItem("TEXT_STYLE")->SetLocalName("临时");
  EXPECT_EQ(Actions({.currentPageName = [] { return std::string("TEXT_STYLE"); }}).OnImport(), KvBundleOutcome::kDone);
  ASSERT_EQ(selection_.shown().size(), 1u);
  EXPECT_EQ(selection_.shown()[0].pageName, "TEXT_STYLE");
  EXPECT_NE(selection_.shown()[0].pageNode, KvBundleTreeModel::kNoNode);
  // Only the preselected page was imported: its caption came back from the bundle.
  KvDtDictionary saved;
  ASSERT_TRUE(saved.ReadFromXML(userDir_ + "Config.xml"));
  EXPECT_NE(saved.FindItem("TEXT_STYLE")->GetLocalName(), "临时");
  EXPECT_EQ(flag_, 0);
}

TEST_F(ActionsTest, RestoreWithoutDefaultBundleShowsTheMessage) {
  bool closed = false;
  EXPECT_EQ(Actions({.afterRestoreClosed = [&] { closed = true; }}).OnRestoreDefault(), KvBundleOutcome::kFailed);
  ASSERT_EQ(services_->messageBoxes().size(), 1u);
  EXPECT_EQ(services_->messageBoxes()[0].text, "未找到默认配置文档：DefaultCfg.allcfg!");
  EXPECT_EQ(services_->messageBoxes()[0].caption, "");
  EXPECT_TRUE(services_->fileDialogs().empty());
  EXPECT_FALSE(closed);
}

TEST_F(ActionsTest, RestoreUsesTheDefaultBundleInRestoreMode) {
  InstallUserConfig();
  ShipToMain("DefaultCfg.allcfg");
  g_dictCfg.FindItem("ADVANCE")->SetLocalName("临时");
  std::vector<std::string> steps;
  selection_.QueuePaths({"VENO_CONFIG\\ADVANCE"});
  KvBundleDialogSteps hooks{.refreshAfterRestore = [&] { steps.push_back("refresh"); },
                            .afterRestoreClosed = [&] { steps.push_back("closed"); }};
  EXPECT_EQ(Actions(hooks).OnRestoreDefault(), KvBundleOutcome::kDone);
  EXPECT_TRUE(services_->fileDialogs().empty());
  ASSERT_EQ(selection_.shown().size(), 1u);
  EXPECT_EQ(selection_.shown()[0].title, "导入默认设置");
  EXPECT_EQ(selection_.shown()[0].mode, kModeRestore);
  EXPECT_EQ(steps, (std::vector<std::string>{"refresh", "closed"}));
  EXPECT_NE(g_dictCfg.FindItem("ADVANCE")->GetLocalName(), "临时");

  // Cancelled: only the step that always follows the restore's selection runs.
  steps.clear();
  selection_.QueueCancel();
  EXPECT_EQ(Actions(hooks).OnRestoreDefault(), KvBundleOutcome::kCancelled);
  EXPECT_EQ(steps, (std::vector<std::string>{"closed"}));
}

TEST_F(ActionsTest, ExportThenImportEverythingReproducesFilesAndDrawing) {
  InstallUserConfig();
  // A configuration and a drawing that differ from the defaults.
  g_dictCfg.FindOrAddItem("ADVANCE\\MY_OPTION", DICT_TYPE_DOUBLE);
  static_cast<KvDtDictDoubleItem*>(g_dictCfg.FindItem("ADVANCE\\MY_OPTION"))->SetValue(0.125);
  g_dictCfg.FindItem("ADVANCE\\MY_OPTION")->SetLocalName("我的选项");
  ASSERT_TRUE(SaveConfig());
  g_dbCfgUI.FindNamedItem("TAV_CMD_XG")->SetCaption("设备表");
  ASSERT_TRUE(SaveUIConfig());
  SetSetting([](KvDbSetting& s) {
    s.SetPlotScale(50);
    s.SetFloorHeight(3300);
    s.SetDisplayMode(2);
    s.SetText2BaseFactor(0.75);
    s.SetDetailScale(25);
  });
  ASSERT_EQ(KvDbSetSymbElevTrgSize(4, db_.get()), Acad::eOk);
  ASSERT_EQ(KvDbSetSolidFill(0, db_.get()), Acad::eOk);
  const AcDbObjectId pattern = AddBlock("PAT_BRICK");
  ChangeMaterial("VENO_SYS_MAT_BRICK", [&](KvDbMaterial& m) {
    m.SetHatchColor(30);
    m.SetLinePatternHatch(true);
    m.SetLinePatternStyleId(pattern);
  });
  ChangeMaterial("MY_WALL", [](KvDbMaterial& m) { m.SetLineWeight(0.35); });
  const std::string bundle = ExportTo("all.allcfg");
  const std::string config = ReadBytes(userDir_ + "Config.xml"), ui = ReadBytes(userDir_ + "UIConfig.xml");
  const std::string drawing = DrawingSectionText(db_.get());

  // A fresh user folder with the shipped files, and a new drawing that has the pattern block.
  const std::string fresh = root_.path() + "fresh/";
  std::filesystem::create_directories(fresh);
  tav::SetUserConfigDirectory(fresh);
  std::filesystem::copy_file(ShippedFile("Config.xml"), fresh + "Config.xml");
  std::filesystem::copy_file(ShippedFile("UIConfig.xml"), fresh + "UIConfig.xml");
  ResetGlobals();
  ASSERT_TRUE(LoadConfig());
  ASSERT_TRUE(LoadUIConfig());
  AcDbDatabase other;
  KvWorkingDatabaseScope working(&other);
  {
    AcDbBlockTable* table = nullptr;
    ASSERT_EQ(other.getBlockTable(table, AcDb::kForWrite), Acad::eOk);
    AcDbObjectId id;
    table->add("PAT_BRICK", id);
    table->close();
  }
  // Settings keys apply only to a drawing that has a settings object.
  ASSERT_EQ(KvDbCreateAecSetting(&other), Acad::eOk);
  ASSERT_NE(DrawingSectionText(&other), drawing);

  services_->QueueFile(bundle);
  selection_.QueueAll();
  EXPECT_EQ(Actions().OnImport(), KvBundleOutcome::kDone);
  EXPECT_EQ(ReadBytes(fresh + "Config.xml"), config);
  EXPECT_EQ(ReadBytes(fresh + "UIConfig.xml"), ui);
  EXPECT_EQ(DrawingSectionText(&other), drawing);
  EXPECT_EQ(flag_, 1);
  EXPECT_TRUE(services_->errors().empty());
  EXPECT_EQ(other.numOpenObjects(), 0);
}

TEST_F(ActionsTest, ReloadAfterImportReadsTheSavedConfiguration) {
  InstallUserConfig();
  g_dictCfg.FindItem("TAV")->SetLocalName("内存里的");
  EXPECT_TRUE(ReloadConfigAfterImport());
  EXPECT_EQ(g_dictCfg.FindItem("TAV")->GetLocalName(), "给排水");
  std::filesystem::remove(userDir_ + "Config.xml");
  EXPECT_FALSE(ReloadConfigAfterImport());
  EXPECT_EQ(g_dictCfg.GetCount(), 0);
}

}  // namespace
}  // namespace tav::test
