// The import selection tree: nodes read from all three sections, ticking, paths, page preselection
// and the records it hands back.
#include "tests/TavDataManager/config/BundleTestSupport.h"

#include "TavDataManager/config/KvBundleTreeModel.h"
#include "TavDataManager/config/KvConfigTransfer.h"
#include "platform/config/KvUtXMLDOM.h"

namespace tav::test {
namespace {

using namespace tav::bundle;
using Model = KvBundleTreeModel;

class TreeModelTest : public BundleTest {
 protected:
  void SetUp() override {
    BundleTest::SetUp();
    ShipToMain("Config.xml");
    ShipToMain("UIConfig.xml");
    ChangeMaterial("VENO_SYS_MAT_BRICK", [](KvDbMaterial&) {});
    ChangeMaterial("MY_WALL", [](KvDbMaterial&) {});
    bundle_ = root_.file("b.allcfg");
    ASSERT_EQ(KvConfigTransfer().ExportBundle(bundle_, kRootElement), 1);
    ASSERT_TRUE(doc_.Open(bundle_));
  }
  Model::NodeId Find(const Model& m, const std::string& path) {
    const Model::NodeId id = m.FindPath(path);
    EXPECT_NE(id, Model::kNoNode) << path;
    return id;
  }
  std::string bundle_;
  KvUtXMLDOMFile doc_;
};

TEST_F(TreeModelTest, ReadsTheThreeSectionsAsRoots) {
  Model m;
  ASSERT_TRUE(m.Load(doc_)) << m.LastError();
  ASSERT_EQ(m.GetRoots().size(), 3u);
  EXPECT_EQ(m.GetNode(m.GetRoots()[0]).name, "VENO_CONFIG");
  EXPECT_EQ(m.GetNode(m.GetRoots()[1]).name, "VENO_UI_CONFIG");
  EXPECT_EQ(m.GetNode(m.GetRoots()[2]).name, "VENO_DWG_CONFIG");
  EXPECT_EQ(m.GetNode(m.GetRoots()[2]).caption, "图形设置");
  EXPECT_EQ(m.GetNode(m.GetRoots()[2]).type, "VenoDwgConfig");
  // Ids are in tree order: every parent comes before its children.
  for (int id = 0; id < m.GetNodeCount(); ++id) {
    if (m.GetParent(id) != Model::kNoNode) {
      EXPECT_LT(m.GetParent(id), id);
    }
  }
}

TEST_F(TreeModelTest, NodesCarryNameCaptionTypeAndDescription) {
  Model m;
  ASSERT_TRUE(m.Load(doc_));
  const Model::Node& sys = m.GetNode(Find(m, "VENO_CONFIG\\TAV\\PIPE_SYS_SET\\AV_SYS_J"));
  EXPECT_EQ(sys.caption, "给水");
  EXPECT_EQ(sys.type, "String");
  EXPECT_FALSE(sys.isDirectory);
  EXPECT_EQ(sys.origin, Model::Origin::kConfigItem);
  const Model::NodeId cmd = Find(m, "VENO_UI_CONFIG\\TAV_COMMANDS\\TAV_CMD_CONFIG");
  EXPECT_EQ(m.GetNode(cmd).type, "CommandDef");
  EXPECT_EQ(m.GetNode(cmd).origin, Model::Origin::kUiItem);
  EXPECT_EQ(m.GetDescriptionText(cmd), m.GetNode(cmd).uiItem->GetDescription());
  EXPECT_FALSE(m.GetDescriptionText(cmd).empty());
  const Model::NodeId scale = Find(m, "VENO_DWG_CONFIG\\VENO_BASE_CONFIG\\VENO_DWG_BASE\\VENO_DWGBASE_PSCALE");
  EXPECT_EQ(m.GetNode(scale).type, "Double");
  EXPECT_EQ(m.GetDescriptionText(scale), "当前比例");
}

TEST_F(TreeModelTest, EmbeddedUiDictionaryItemsAreChildrenOfTheirDictionaryItem) {
  Model m;
  ASSERT_TRUE(m.Load(doc_));
  const Model::NodeId dict = Find(m, "VENO_UI_CONFIG\\TAV_UI_DICTIONARY");
  ASSERT_FALSE(m.GetChildren(dict).empty());
  const Model::Node& first = m.GetNode(m.GetChildren(dict)[0]);
  EXPECT_EQ(first.origin, Model::Origin::kUiDictItem);
  EXPECT_NE(first.dictItem, nullptr);
}

TEST_F(TreeModelTest, TickingADirectoryTicksItsSubtreeAndMarksParentsPartly) {
  Model m;
  ASSERT_TRUE(m.Load(doc_));
  const Model::NodeId sys = Find(m, "VENO_CONFIG\\TAV\\PIPE_SYS_SET");
  m.SetCheck(sys, true);
  EXPECT_EQ(m.GetCheck(sys), Model::kChecked);
  for (Model::NodeId c : m.GetChildren(sys)) EXPECT_EQ(m.GetCheck(c), Model::kChecked);
  EXPECT_EQ(m.GetCheck(m.GetParent(sys)), Model::kPartlyChecked);
  EXPECT_EQ(m.GetCheck(m.GetRoots()[0]), Model::kPartlyChecked);
  EXPECT_EQ(m.GetCheck(m.GetRoots()[1]), Model::kUnchecked);
  // Ticking every sibling makes the parent fully ticked; unticking one makes it partly ticked again.
  const Model::NodeId tav = m.GetParent(sys);
  for (Model::NodeId c : m.GetChildren(tav)) m.SetCheck(c, true);
  EXPECT_EQ(m.GetCheck(tav), Model::kChecked);
  m.SetCheck(m.GetChildren(sys)[0], false);
  EXPECT_EQ(m.GetCheck(sys), Model::kPartlyChecked);
  EXPECT_EQ(m.GetCheck(tav), Model::kPartlyChecked);
  m.SetCheck(tav, false);
  EXPECT_EQ(m.GetCheck(m.GetRoots()[0]), Model::kUnchecked);
  EXPECT_TRUE(m.GetCheckedNodes().empty());
}

TEST_F(TreeModelTest, CustomMaterialPathsUseTheMaterialKey) {
  Model m;
  ASSERT_TRUE(m.Load(doc_));
  const Model::NodeId custom = Find(m, "VENO_DWG_CONFIG\\VENO_BOLT_CONFIG\\MY_WALL");
  EXPECT_EQ(m.GetNode(custom).name, "VENO_SYS_MAT_CUSTOM_1");
  EXPECT_EQ(m.GetNode(custom).caption, "MY_WALL");
  EXPECT_EQ(m.FindPath("VENO_DWG_CONFIG\\VENO_BOLT_CONFIG\\VENO_SYS_MAT_CUSTOM_1"), Model::kNoNode);
  // System materials keep their names.
  Find(m, "VENO_DWG_CONFIG\\VENO_BOLT_CONFIG\\VENO_SYS_MAT_BRICK\\VENO_PRIORITY");
}

TEST_F(TreeModelTest, CustomMaterialIsImportedUnderItsKey) {
  Model m;
  ASSERT_TRUE(m.Load(doc_));
  m.SetCheck(Find(m, "VENO_DWG_CONFIG\\VENO_BOLT_CONFIG\\MY_WALL"), true);
  std::vector<KvConfigDict> config;
  std::vector<KvDwgDict> drawing;
  std::vector<KvUiDict> ui;
  m.GetConFigData(config, drawing, ui);
  ASSERT_FALSE(drawing.empty());
  AcDbDatabase fresh;
  KvConfigTransfer::ApplyDrawingItemsTo(drawing, &fresh);
  AcDbDictionary* dict = GetAecMaterialDictionary(AcDb::kForRead, &fresh);
  ASSERT_NE(dict, nullptr);
  EXPECT_TRUE(dict->has("MY_WALL"));
  EXPECT_FALSE(dict->has("VENO_SYS_MAT_CUSTOM_1"));
  dict->close();
}

TEST_F(TreeModelTest, RecordsComeFromFullyTickedNodesBelowTheSections) {
  Model m;
  ASSERT_TRUE(m.Load(doc_));
  m.SetAllChecked(true);
  std::vector<KvConfigDict> config;
  std::vector<KvDwgDict> drawing;
  std::vector<KvUiDict> ui;
  m.GetConFigData(config, drawing, ui);
  ASSERT_FALSE(config.empty());
  EXPECT_EQ(config[0].path, "VENO_CONFIG\\TAV");
  EXPECT_TRUE(config[0].item->IsDict());
  for (const auto& r : config) EXPECT_EQ(r.path.rfind("VENO_CONFIG\\", 0), 0u) << r.path;
  for (const auto& r : drawing) {
    EXPECT_FALSE(r.item->IsDict()) << r.path();
    EXPECT_EQ(r.path().rfind("VENO_DWG_CONFIG\\", 0), 0u);
  }
  EXPECT_EQ(drawing[0].path(), "VENO_DWG_CONFIG\\VENO_BASE_CONFIG\\VENO_DWG_BASE\\VENO_DWGBASE_PSCALE");
  bool sawDictItem = false;
  for (const auto& r : ui) {
    EXPECT_NE(r.uiItem == nullptr, r.dictItem == nullptr) << r.path;
    sawDictItem = sawDictItem || r.dictItem;
  }
  EXPECT_TRUE(sawDictItem);
  // Every fully ticked node below a section is one record (drawing and UI dictionary directories aside).
  int expected = 0;
  for (int id = 0; id < m.GetNodeCount(); ++id) {
    const auto& n = m.GetNode(id);
    if (n.origin == Model::Origin::kSection) continue;
    if ((n.origin == Model::Origin::kDrawingItem || n.origin == Model::Origin::kUiDictItem) && n.isDirectory) continue;
    ++expected;
  }
  EXPECT_EQ(static_cast<int>(config.size() + drawing.size() + ui.size()), expected);

  // Partly ticked directories give no record.
  m.SetAllChecked(false);
  m.SetCheck(Find(m, "VENO_CONFIG\\TAV\\PIPE_SYS_SET\\AV_SYS_J"), true);
  m.GetConFigData(config, drawing, ui);
  ASSERT_EQ(config.size(), 1u);
  EXPECT_EQ(config[0].path, "VENO_CONFIG\\TAV\\PIPE_SYS_SET\\AV_SYS_J");
  EXPECT_TRUE(drawing.empty());
  EXPECT_TRUE(ui.empty());
}

TEST_F(TreeModelTest, PageNamePreselectsItsNode) {
  Model m;
  m.SetCurPageName("TEXT_STYLE");
  ASSERT_TRUE(m.Load(doc_));
  ASSERT_NE(m.GetCurPageNode(), Model::kNoNode);
  EXPECT_EQ(m.GetPath(m.GetCurPageNode()), "VENO_CONFIG\\TEXT_STYLE");
  EXPECT_EQ(m.GetCheck(m.GetCurPageNode()), Model::kChecked);
  for (Model::NodeId id : m.GetCheckedNodes()) EXPECT_EQ(m.GetPath(id).rfind("VENO_CONFIG\\TEXT_STYLE", 0), 0u);

  Model pipes;
  pipes.SetCurPageName("PIPE_SYS_SET");
  ASSERT_TRUE(pipes.Load(doc_));
  EXPECT_EQ(pipes.GetPath(pipes.GetCurPageNode()), "VENO_CONFIG\\TAV\\PIPE_SYS_SET");

  Model base;
  base.SetCurPageName("VENO_BASE_CONFIG");
  ASSERT_TRUE(base.Load(doc_));
  EXPECT_EQ(base.GetPath(base.GetCurPageNode()), "VENO_DWG_CONFIG\\VENO_BASE_CONFIG");
}

TEST_F(TreeModelTest, EmptyPageNamePreselectsNothing) {
  Model m;
  m.SetCurPageName("");
  ASSERT_TRUE(m.Load(doc_));
  EXPECT_EQ(m.GetCurPageNode(), Model::kNoNode);
  EXPECT_TRUE(m.GetCheckedNodes().empty());
}

TEST_F(TreeModelTest, LayerPageWithStandardAndSubTabIsFound) {
  Model m;
  ASSERT_TRUE(m.Load(doc_));
  // The first layer standard of the shipped configuration.
  const Model::NodeId layer = Find(m, "VENO_CONFIG\\LAYER");
  ASSERT_FALSE(m.GetChildren(layer).empty());
  Model::NodeId standard = Model::kNoNode;
  for (Model::NodeId c : m.GetChildren(layer))
    if (m.FindPath(m.GetPath(c) + "\\LAYER_FIELD_DEF") != Model::kNoNode) standard = c;
  ASSERT_NE(standard, Model::kNoNode);
  m.SetCurPageName("LAYER\\" + std::string(m.GetNode(standard).name) + "\\LAYER_FIELD_DEF");
  EXPECT_EQ(m.GetPath(m.GetCurPageNode()), m.GetPath(standard) + "\\LAYER_FIELD_DEF");
}

TEST_F(TreeModelTest, RejectsWhatIsNotABundle) {
  KvUtXMLDOMFile other;
  ASSERT_TRUE(other.Open(ShippedFile("Config.xml")));
  Model m;
  EXPECT_FALSE(m.Load(other));
  EXPECT_NE(m.LastError().find("VenoConfigDataSet"), std::string::npos);
  EXPECT_EQ(m.GetNodeCount(), 0);

  KvUtXMLDOMFile bad;
  ASSERT_TRUE(bad.OpenText("<VenoConfigDataSet><Directory name=\"VENO_CONFIG\"><Int name=\"A\">x</Int></Directory></VenoConfigDataSet>"));
  EXPECT_FALSE(m.Load(bad));
  EXPECT_EQ(m.GetNodeCount(), 0);
  EXPECT_FALSE(m.LastError().empty());
}

TEST_F(TreeModelTest, RecordItemsStayValidWhileTheModelLives) {
  std::vector<KvConfigDict> config;
  std::vector<KvDwgDict> drawing;
  std::vector<KvUiDict> ui;
  Model m;
  {
    KvUtXMLDOMFile doc;
    ASSERT_TRUE(doc.Open(bundle_));
    ASSERT_TRUE(m.Load(doc));
  }  // the document is gone; the model's items are its own
  m.SetCheck(Find(m, "VENO_CONFIG\\TAV\\PIPE_SYS_SET\\AV_SYS_J"), true);
  m.GetConFigData(config, drawing, ui);
  ASSERT_EQ(config.size(), 1u);
  EXPECT_EQ(config[0].item->GetLocalName(), "给水");
}

}  // namespace
}  // namespace tav::test
