// The import selection dialog "导入配置" over the shipped DefaultCfg.allcfg: the tree mirrors the
// selection model, ticking in the tree reaches the model, and OK returns the model's records.
#include <QPlainTextEdit>

#include "OptionsTestSupport.h"
#include "TavDataManager/options/KvUiImportSettingDataDlg.h"
#include "platform/config/KvUtXMLDOM.h"

namespace {

using tav::test::WhenShown;

class ImportDialogTest : public tav::test::OptionsTest {
 protected:
  void SetUp() override {
    OptionsTest::SetUp();
    std::filesystem::create_directories(mainDir_ + "Skin");
    for (const char* icon : {"folder.ico", "txt.ico"})
      std::filesystem::copy_file(tav::test::ShippedFile(std::string("Skin/") + icon), mainDir_ + "Skin/" + icon);
    ASSERT_TRUE(doc_.Open(mainDir_ + "DefaultCfg.allcfg"));
  }
  // The records a model of the same bundle gives with `ticked` ticked and then `unticked` unticked.
  void Expected(const std::vector<std::string>& ticked, const std::vector<std::string>& unticked) {
    ASSERT_TRUE(reference_.Load(doc_));
    for (const std::string& path : ticked) reference_.SetCheck(reference_.FindPath(path), true);
    for (const std::string& path : unticked) reference_.SetCheck(reference_.FindPath(path), false);
    reference_.GetConFigData(config_, drawing_, ui_);
  }
  static std::vector<std::string> Paths(const std::vector<KvConfigDict>& records) {
    std::vector<std::string> paths;
    for (const auto& r : records) paths.push_back(r.path);
    return paths;
  }
  static std::vector<std::string> Paths(const std::vector<KvDwgDict>& records) {
    std::vector<std::string> paths;
    for (const auto& r : records) paths.push_back(r.name);
    return paths;
  }
  static std::vector<std::string> Paths(const std::vector<KvUiDict>& records) {
    std::vector<std::string> paths;
    for (const auto& r : records) paths.push_back(r.path);
    return paths;
  }

  KvUtXMLDOMFile doc_;
  KvBundleTreeModel reference_;
  std::vector<KvConfigDict> config_;
  std::vector<KvDwgDict> drawing_;
  std::vector<KvUiDict> ui_;
};

TEST_F(ImportDialogTest, TheTreeMirrorsTheBundleAndPreselectsThePage) {
  KvUiImportSettingDataDlg dialog(&doc_, "TEXT_STYLE", 0);
  bool saved = false;
  WhenShown<KvUiImportSettingDataDlg>([&](KvUiImportSettingDataDlg& shown) {
    EXPECT_EQ(shown.GetWindowText(), "导入设置");
    KvBundleTreeModel& model = shown.GetModel();
    ASSERT_GT(model.GetNodeCount(), 10);
    KvUiCheckTree& tree = *shown.GetTree();
    EXPECT_EQ(tree.topLevelItemCount(), 3);
    for (KvBundleTreeModel::NodeId id = 0; id < model.GetNodeCount(); ++id) {
      KvUiCheckTree::Node* node = shown.GetTreeNode(id);
      ASSERT_NE(node, nullptr);
      EXPECT_EQ(tree.GetPath(node), model.GetPath(id));
      EXPECT_EQ(shown.GetNodeId(node), id);
      EXPECT_EQ(tree.GetCheck(node), model.GetCheck(id)) << model.GetPath(id);
      EXPECT_FALSE(node->icon(0).isNull()) << model.GetPath(id);
    }
    KvUiCheckTree::Node* page = tree.FindPath("VENO_CONFIG\\TEXT_STYLE");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(tree.GetCheck(page), 1);
    EXPECT_EQ(tree.GetSelectedNode(), page);
    EXPECT_EQ(shown.GetDescription(), model.GetDescriptionText(shown.GetNodeId(page)));
    EXPECT_EQ(shown.GetDescription(), "文字样式");
    saved = tav::test::SaveScreenshot(shown, "import-dialog");
    shown.EndDialog(IDCANCEL);
  });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_TRUE(saved);
  EXPECT_TRUE(dialog.m_listConfig.empty());
}

TEST_F(ImportDialogTest, RestoreModeHasItsOwnTitle) {
  KvUiImportSettingDataDlg dialog(&doc_, "", 1);
  std::string title;
  WhenShown<KvUiImportSettingDataDlg>([&](KvUiImportSettingDataDlg& shown) {
    title = shown.GetWindowText();
    EXPECT_EQ(shown.GetTree()->GetCheckedNodes().size(), 0u);  // no page: nothing ticked
    shown.EndDialog(IDCANCEL);
  });
  dialog.DoModal();
  EXPECT_EQ(title, "导入默认设置");
}

TEST_F(ImportDialogTest, TickingInTheTreeReturnsTheRecordsOfTheModel) {
  const std::vector<std::string> ticked = {"VENO_CONFIG\\TEXT_STYLE", "VENO_UI_CONFIG\\TAV_SHORTCUTS",
                                           "VENO_DWG_CONFIG\\VENO_BASE_CONFIG"};
  const std::vector<std::string> unticked = {"VENO_CONFIG\\TEXT_STYLE\\TEXT_NOTE"};
  Expected(ticked, unticked);
  ASSERT_FALSE(config_.empty());
  ASSERT_FALSE(drawing_.empty());
  ASSERT_FALSE(ui_.empty());

  KvUiImportSettingDataDlg dialog(&doc_, "", 0);
  int partly = -1;
  WhenShown<KvUiImportSettingDataDlg>([&](KvUiImportSettingDataDlg& shown) {
    KvUiCheckTree& tree = *shown.GetTree();
    for (const std::string& path : ticked) tree.SetCheck(tree.FindPath(path), true);
    for (const std::string& path : unticked) tree.SetCheck(tree.FindPath(path), false);
    // The model follows the tree as the user ticks.
    partly = shown.GetModel().GetCheck(shown.GetModel().FindPath("VENO_CONFIG\\TEXT_STYLE"));
    shown.OnOK();
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(partly, KvBundleTreeModel::kPartlyChecked);
  EXPECT_EQ(Paths(dialog.m_listConfig), Paths(config_));
  EXPECT_EQ(Paths(dialog.m_listDwg), Paths(drawing_));
  EXPECT_EQ(Paths(dialog.m_listUi), Paths(ui_));
  for (const KvConfigDict& record : dialog.m_listConfig) EXPECT_NE(record.item, nullptr);
}

TEST_F(ImportDialogTest, SelectingANodeShowsItsDescription) {
  KvUiImportSettingDataDlg dialog(&doc_, "", 0);
  WhenShown<KvUiImportSettingDataDlg>([&](KvUiImportSettingDataDlg& shown) {
    KvUiCheckTree& tree = *shown.GetTree();
    for (const char* path : {"VENO_UI_CONFIG\\TAV_SHORTCUTS", "VENO_CONFIG\\TAV\\PIPE_SYS_SET"}) {
      KvUiCheckTree::Node* node = tree.FindPath(path);
      ASSERT_NE(node, nullptr) << path;
      tree.SelectNode(node);
      EXPECT_EQ(shown.GetDescription(), shown.GetModel().GetDescriptionText(shown.GetNodeId(node))) << path;
      EXPECT_FALSE(shown.GetDescription().empty()) << path;
    }
    auto* box = qobject_cast<QPlainTextEdit*>(shown.GetDlgItem(KvUiImportSettingDataDlg::kDescriptionId));
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(box->isEnabled());
    shown.EndDialog(IDCANCEL);
  });
  dialog.DoModal();
}

TEST_F(ImportDialogTest, TheBundleStepsShowTheTreeTheyLoaded) {
  KvBundleTreeModel tree;
  tree.SetCurPageName("DIM_STYLE");
  ASSERT_TRUE(tree.Load(doc_));
  KvUiImportSelection selection;
  std::string title;
  WhenShown<KvUiImportSettingDataDlg>([&](KvUiImportSettingDataDlg& shown) {
    title = shown.GetWindowText();
    KvUiCheckTree& widget = *shown.GetTree();
    widget.SetCheck(widget.FindPath("VENO_CONFIG\\ADVANCE"), true);
    shown.OnOK();
  });
  EXPECT_EQ(selection.DoModal(tree, 1), IDOK);
  EXPECT_EQ(title, "导入默认设置");
  EXPECT_EQ(tree.GetCheck(tree.FindPath("VENO_CONFIG\\ADVANCE")), KvBundleTreeModel::kChecked);
  EXPECT_EQ(tree.GetCheck(tree.FindPath("VENO_CONFIG\\DIM_STYLE")), KvBundleTreeModel::kChecked);
  EXPECT_EQ(tree.GetCheck(tree.FindPath("VENO_CONFIG\\TEXT_STYLE")), KvBundleTreeModel::kUnchecked);
}

TEST_F(ImportDialogTest, WithoutADocumentTheTreeStaysEmpty) {
  KvUiImportSettingDataDlg dialog(nullptr, "TEXT_STYLE", 0);
  WhenShown<KvUiImportSettingDataDlg>([](KvUiImportSettingDataDlg& shown) { shown.OnOK(); });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.GetTree()->topLevelItemCount(), 0);
  EXPECT_TRUE(dialog.m_listConfig.empty() && dialog.m_listDwg.empty() && dialog.m_listUi.empty());
}

}  // namespace
