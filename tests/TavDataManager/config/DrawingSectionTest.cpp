// The drawing section: values read from the drawing at export and written back at import.
#include "tests/TavDataManager/config/BundleTestSupport.h"

#include "TavDataManager/config/KvConfigTransfer.h"
#include "TavDataManager/config/KvDwgConfigSection.h"
#include "platform/base/KvNumber.h"
#include "platform/base/KvStrings.h"
#include "platform/config/KvUtXMLDOM.h"

namespace tav::test {
namespace {

using namespace tav::bundle;

const std::string kBase = "VENO_DWG_CONFIG\\VENO_BASE_CONFIG\\";
const std::string kHatch = "VENO_DWG_CONFIG\\VENO_BOLT_CONFIG\\";

class DrawingSectionTest : public BundleTest {
 protected:
  // Writes the section of the test's drawing into a fresh document and returns it.
  KvUtXMLDOMNode Export() {
    doc_ = std::make_unique<KvUtXMLDOMFile>();
    EXPECT_TRUE(doc_->CreateNewXMLDoc(root_.file("x.allcfg"), kDeclaration, kRootElement));
    KvUtXMLDOMNode section = WriteDrawingSection(doc_->GetRoot(), db_.get());
    EXPECT_FALSE(section.IsNull());
    return section;
  }
  // The element at a path of `name` attributes below `node`; null when absent.
  static KvUtXMLDOMNode At(KvUtXMLDOMNode node, const std::string& path) {
    for (const std::string& part : tav::Split(path, '\\')) {
      std::vector<KvUtXMLDOMNode> children;
      node.GetChildrenNodes(children);
      KvUtXMLDOMNode next;
      for (const auto& c : children)
        if (c.GetAttributeValue("name") == part) next = c;
      if (next.IsNull()) return next;
      node = next;
    }
    return node;
  }
  static std::vector<std::string> ChildNames(KvUtXMLDOMNode node) {
    std::vector<KvUtXMLDOMNode> children;
    node.GetChildrenNodes(children);
    std::vector<std::string> names;
    for (const auto& c : children) names.push_back(c.GetAttributeValue("name"));
    return names;
  }
  int Apply(const std::string& path, const KvDtDictItem& item) {
    KvDwgDict record;
    record.name = path;
    record.item = const_cast<KvDtDictItem*>(&item);
    return KvConfigTransfer::ApplyDrawingItemsTo({record}, db_.get());
  }
  int DisplayMode() {
    KvDbSetting* s = GetAecSetting(0, db_.get());
    EXPECT_NE(s, nullptr);
    if (!s) return -100;
    const int mode = s->GetDisplayMode();
    s->close();
    return mode;
  }
  std::unique_ptr<KvUtXMLDOMFile> doc_;
};

TEST_F(DrawingSectionTest, DrawingWithoutSettingsExportsTheDefaultsAndInitialDetailScale) {
  const double saved = g_dInitDetailScale;
  g_dInitDetailScale = 37.5;
  ASSERT_EQ(KvDbGetAecSettingId(db_.get()).isNull(), true);
  KvUtXMLDOMNode s = Export();
  g_dInitDetailScale = saved;
  EXPECT_EQ(ChildNames(At(s, "VENO_BASE_CONFIG")),
            (std::vector<std::string>{"VENO_DWG_BASE", "VENO_DWG_ELEVATION", "VENO_DWG_CIRCLETEXT", "VENO_DWG_OTHERSET"}));
  EXPECT_EQ(At(s, "VENO_BASE_CONFIG\\VENO_DWG_BASE\\VENO_DWGBASE_PSCALE").GetText(),
            FormatShortest(KvDbSetting::kDefaultPlotScale));
  EXPECT_EQ(At(s, "VENO_BASE_CONFIG\\VENO_DWG_BASE\\VENO_DWGBASE_FLOORHEIGHT").GetText(),
            FormatG(KvDbSetting::kDefaultFloorHeight));
  EXPECT_EQ(At(s, "VENO_BASE_CONFIG\\VENO_DWG_BASE\\VENO_DWGBASE_VIEWMODE").GetText(),
            std::to_string(BundleViewModeFromDisplayMode(KvDbSetting::kDefaultDisplayMode)));
  EXPECT_EQ(At(s, "VENO_BASE_CONFIG\\VENO_DWG_OTHERSET\\VENO_OTHERSET_TEXTTOBASERADIO").GetText(),
            FormatShortest(KvDbSetting::kDefaultText2BaseFactor));
  EXPECT_EQ(At(s, "VENO_BOLT_CONFIG\\VENO_BOLT_DETAILSCALE").GetText(), "37.5");
  // Exporting did not give the drawing a settings object.
  EXPECT_TRUE(KvDbGetAecSettingId(db_.get()).isNull());
}

TEST_F(DrawingSectionTest, ValuesComeFromTheDrawingWithTheirTypesAndCaptions) {
  SetSetting([](KvDbSetting& s) { s.SetDetailScale(12.5); });
  ASSERT_EQ(KvDbSetSymbElevDotSize(2.25, db_.get()), Acad::eOk);
  ASSERT_EQ(KvDbSetOldCircleTextStyle(1, db_.get()), Acad::eOk);
  ASSERT_EQ(KvDbSetSpaceAreaPrecision(3, db_.get()), Acad::eOk);
  ASSERT_EQ(KvDbSetStairSingleSect(0, db_.get()), Acad::eOk);
  ASSERT_EQ(KvDbSetBoldLine(1, db_.get()), Acad::eOk);
  KvUtXMLDOMNode s = Export();
  KvUtXMLDOMNode dot = At(s, "VENO_BASE_CONFIG\\VENO_DWG_ELEVATION\\VENO_ELEVATION_CIRCLERADIUS");
  EXPECT_EQ(dot.GetName(), "Double");
  EXPECT_EQ(dot.GetAttributes(), (KvXmlAttributes{{"name", "VENO_ELEVATION_CIRCLERADIUS"}, {"localname", "圆点标高符号直径"}}));
  EXPECT_EQ(dot.GetText(), "2.25");
  KvUtXMLDOMNode adjust = At(s, "VENO_BASE_CONFIG\\VENO_DWG_CIRCLETEXT\\VENO_CIRCLETEXT_ISAUTOADJUST");
  EXPECT_EQ(adjust.GetName(), "Bool");
  EXPECT_EQ(adjust.GetText(), "TRUE");
  KvUtXMLDOMNode precision = At(s, "VENO_BASE_CONFIG\\VENO_DWG_OTHERSET\\VENO_OTHERSET_AREAPRECISION");
  EXPECT_EQ(precision.GetName(), "Int");
  EXPECT_EQ(precision.GetText(), "3");
  EXPECT_EQ(At(s, "VENO_BASE_CONFIG\\VENO_DWG_OTHERSET\\VENO_OTHERSET_ISSINGLESECT").GetText(), "FALSE");
  EXPECT_EQ(At(s, "VENO_BOLT_CONFIG\\VENO_BOLT_BOLDMODE").GetText(), "TRUE");
  EXPECT_EQ(At(s, "VENO_BOLT_CONFIG\\VENO_BOLT_DETAILSCALE").GetText(), "12.5");
}

TEST_F(DrawingSectionTest, FloorHeightIsWrittenWithPercentLgAndScaleWithTheNumberConversion) {
  SetSetting([](KvDbSetting& s) {
    s.SetPlotScale(1234.5678);
    s.SetFloorHeight(1234.5678);
  });
  KvUtXMLDOMNode s = Export();
  EXPECT_EQ(At(s, "VENO_BASE_CONFIG\\VENO_DWG_BASE\\VENO_DWGBASE_PSCALE").GetText(), "1234.5678");
  EXPECT_EQ(At(s, "VENO_BASE_CONFIG\\VENO_DWG_BASE\\VENO_DWGBASE_FLOORHEIGHT").GetText(), "1234.57");
}

TEST_F(DrawingSectionTest, DisplayModeIsMappedOnExport) {
  const std::pair<int, const char*> cases[] = {{0, "2"}, {1, "0"}, {2, "1"}, {5, "0"}, {-1, "0"}};
  for (const auto& [mode, text] : cases) {
    SetSetting([m = mode](KvDbSetting& s) { s.SetDisplayMode(m); });
    EXPECT_EQ(At(Export(), "VENO_BASE_CONFIG\\VENO_DWG_BASE\\VENO_DWGBASE_VIEWMODE").GetText(), text) << mode;
  }
}

TEST_F(DrawingSectionTest, DisplayModeIsMappedBackOnImport) {
  SetSetting([](KvDbSetting&) {});
  const std::pair<long long, int> cases[] = {{0, 1}, {1, 2}, {2, 0}, {7, 0}, {-3, 0}};
  for (const auto& [value, mode] : cases) {
    KvDtDictLongItem item("VENO_DWGBASE_VIEWMODE", value);
    EXPECT_EQ(Apply(kBase + "VENO_DWG_BASE\\VENO_DWGBASE_VIEWMODE", item), 1);
    EXPECT_EQ(DisplayMode(), mode) << value;
  }
}

TEST_F(DrawingSectionTest, DisplayModeTwoSurvivesExportAndImport) {
  SetSetting([](KvDbSetting& s) { s.SetDisplayMode(2); });
  KvUtXMLDOMNode s = Export();
  KvDtDictionary section;
  ASSERT_TRUE(section.ReadFromNode(s));
  SetSetting([](KvDbSetting& s) { s.SetDisplayMode(0); });
  KvDtDictItem* item = section.FindItem("VENO_BASE_CONFIG\\VENO_DWG_BASE\\VENO_DWGBASE_VIEWMODE");
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(static_cast<KvDtDictLongItem*>(item)->GetValue(), 1);
  Apply(kBase + "VENO_DWG_BASE\\VENO_DWGBASE_VIEWMODE", *item);
  EXPECT_EQ(DisplayMode(), 2);
}

TEST_F(DrawingSectionTest, ViewModeOfTypeDoubleIsIgnored) {
  SetSetting([](KvDbSetting& s) { s.SetDisplayMode(0); });
  KvDtDictDoubleItem item("VENO_DWGBASE_VIEWMODE", 1.0);
  EXPECT_EQ(Apply(kBase + "VENO_DWG_BASE\\VENO_DWGBASE_VIEWMODE", item), 0);
  EXPECT_EQ(DisplayMode(), 0);
}

TEST_F(DrawingSectionTest, SettingsKeysAreSkippedInADrawingWithoutSettingsButDrawingValuesApply) {
  KvDtDictDoubleItem scale("VENO_DWGBASE_PSCALE", 50);
  KvDtDictDoubleItem dot("VENO_ELEVATION_CIRCLERADIUS", 4.5);
  EXPECT_EQ(Apply(kBase + "VENO_DWG_BASE\\VENO_DWGBASE_PSCALE", scale), 0);
  EXPECT_TRUE(KvDbGetAecSettingId(db_.get()).isNull());
  EXPECT_EQ(Apply(kBase + "VENO_DWG_ELEVATION\\VENO_ELEVATION_CIRCLERADIUS", dot), 1);
  EXPECT_DOUBLE_EQ(KvDbGetSymbElevDotSize(db_.get()), 4.5);
}

TEST_F(DrawingSectionTest, AreaPrecisionTakesTheLowByte) {
  KvDtDictLongItem item("VENO_OTHERSET_AREAPRECISION", 258);
  EXPECT_EQ(Apply(kBase + "VENO_DWG_OTHERSET\\VENO_OTHERSET_AREAPRECISION", item), 1);
  EXPECT_EQ(KvDbGetSpaceAreaPrecision(db_.get()), 2);
}

TEST_F(DrawingSectionTest, RecordsOfOtherSectionsAreIgnored) {
  KvDtDictDoubleItem dot("VENO_ELEVATION_CIRCLERADIUS", 9.0);
  const double before = KvDbGetSymbElevDotSize(db_.get());
  EXPECT_EQ(Apply("VENO_DWG_CONFIG\\VENO_OTHER\\VENO_ELEVATION_CIRCLERADIUS", dot), 0);
  EXPECT_EQ(Apply("VENO_ELEVATION_CIRCLERADIUS", dot), 0);
  EXPECT_DOUBLE_EQ(KvDbGetSymbElevDotSize(db_.get()), before);
}

TEST_F(DrawingSectionTest, CustomMaterialsAreNumberedInDictionaryOrderWithTheirKeysAsCaptions) {
  ChangeMaterial("MY_WALL", [](KvDbMaterial&) {});
  ChangeMaterial("VENO_SYS_MAT_BRICK", [](KvDbMaterial&) {});
  ChangeMaterial("玻璃隔断", [](KvDbMaterial&) {});
  KvUtXMLDOMNode hatch = At(Export(), "VENO_BOLT_CONFIG");
  std::vector<KvUtXMLDOMNode> children;
  hatch.GetChildrenNodes(children);
  ASSERT_EQ(children.size(), 6u);
  EXPECT_EQ(children[3].GetAttributes(), (KvXmlAttributes{{"name", "VENO_SYS_MAT_CUSTOM_1"}, {"localname", "MY_WALL"}}));
  EXPECT_EQ(children[4].GetAttributes(), (KvXmlAttributes{{"name", "VENO_SYS_MAT_BRICK"}, {"localname", "砖墙柱"}}));
  EXPECT_EQ(children[5].GetAttributes(), (KvXmlAttributes{{"name", "VENO_SYS_MAT_CUSTOM_2"}, {"localname", "玻璃隔断"}}));
}

TEST_F(DrawingSectionTest, ThreeMaterialCaptionsEndInOneBlank) {
  const AcDbObjectId a = AddBlock("PAT_A"), b = AddBlock("PAT_B");
  ASSERT_FALSE(a.isNull());
  ChangeMaterial("VENO_SYS_MAT_CONCRETE", [&](KvDbMaterial& m) {
    m.SetLinePatternStyleId(a);
    m.SetDetailLinePatternStyleId(b);
  });
  KvUtXMLDOMNode mat = At(Export(), "VENO_BOLT_CONFIG\\VENO_SYS_MAT_CONCRETE");
  EXPECT_EQ(At(mat, "VENO_PRIORITY").GetAttributeValue("localname"), "优先级 ");
  EXPECT_EQ(At(mat, "VENO_LINEPATTERNSTYLE").GetAttributeValue("localname"), "线图案图案 ");
  EXPECT_EQ(At(mat, "VENO_DETAILLINEPATTERNSTYLE").GetAttributeValue("localname"), "详图线图案图案 ");
  EXPECT_EQ(At(mat, "VENO_LINEPATTERNSTYLE").GetText(), "PAT_A");
  EXPECT_EQ(At(mat, "VENO_DETAILLINEPATTERNSTYLE").GetText(), "PAT_B");
  EXPECT_EQ(At(mat, "VENO_STDHATCH").GetAttributeValue("localname"), "标准填充图案");
  // The order of the items is fixed.
  EXPECT_EQ(ChildNames(mat),
            (std::vector<std::string>{"VENO_STDHATCH", "VENO_DETAILHATCH", "VENO_HATCHSTYLE", "VENO_DETAILHATCHSTYLE",
                                      "VENO_HATCHCOLOR", "VENO_DETAILHATCHCOLOR", "VENO_HATCHLINEWEIGHT",
                                      "VENO_DETAILHATCHLINEWEIGHT", "VENO_PRIORITY", "VENO_LINEPATTERNSTYLE",
                                      "VENO_DETAILLINEPATTERNSTYLE"}));
}

TEST_F(DrawingSectionTest, LinePatternItemsAreLeftOutWithoutARecord) {
  ChangeMaterial("VENO_SYS_MAT_STEEL", [](KvDbMaterial&) {});
  KvUtXMLDOMNode mat = At(Export(), "VENO_BOLT_CONFIG\\VENO_SYS_MAT_STEEL");
  EXPECT_TRUE(At(mat, "VENO_LINEPATTERNSTYLE").IsNull());
  EXPECT_TRUE(At(mat, "VENO_DETAILLINEPATTERNSTYLE").IsNull());
  EXPECT_FALSE(At(mat, "VENO_PRIORITY").IsNull());
}

TEST_F(DrawingSectionTest, MaterialItemsCreateAMissingMaterialAndSkipWrongTypes) {
  KvDtDictStringItem hatch("VENO_STDHATCH", "AR-CONC");
  KvDtDictLongItem color("VENO_HATCHCOLOR", 5);
  KvDtDictDoubleItem wrong("VENO_PRIORITY", 9);
  KvDtDictStringItem pattern("VENO_LINEPATTERNSTYLE", "PAT_X");
  AddBlock("PAT_X");
  std::vector<KvDwgDict> records(4);
  const KvDtDictItem* items[] = {&hatch, &color, &wrong, &pattern};
  const char* keys[] = {"VENO_STDHATCH", "VENO_HATCHCOLOR", "VENO_PRIORITY", "VENO_LINEPATTERNSTYLE"};
  for (int i = 0; i < 4; ++i) {
    records[i].name = kHatch + "新墙\\" + keys[i];
    records[i].item = const_cast<KvDtDictItem*>(items[i]);
  }
  EXPECT_EQ(KvConfigTransfer::ApplyDrawingItemsTo(records, db_.get()), 3);
  AcDbDictionary* dict = GetAecMaterialDictionary(AcDb::kForRead, db_.get());
  ASSERT_NE(dict, nullptr);
  AcDbObjectId id;
  ASSERT_EQ(dict->getAt("新墙", id), Acad::eOk);
  dict->close();
  KvDbMaterial* mat = nullptr;
  ASSERT_EQ(acdbOpenObject(mat, id, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(mat->GetHatchStyle(), "AR-CONC");
  EXPECT_EQ(mat->GetHatchColor(), 5);
  EXPECT_NE(mat->GetPriority(), 9);
  EXPECT_EQ(mat->GetLinePatternStyle(), GetBlockTableRecordId("PAT_X", db_.get()));
  mat->close();
  EXPECT_EQ(db_->numOpenObjects(), 0);
}

TEST_F(DrawingSectionTest, HatchValuesApplyByKey) {
  SetSetting([](KvDbSetting&) {});
  KvDtDictDoubleItem detail("VENO_BOLT_DETAILSCALE", 33);
  KvDtDictBoolItem fill("VENO_BOLT_FILLMODE", false);
  EXPECT_EQ(Apply(kHatch + "VENO_BOLT_DETAILSCALE", detail), 1);
  EXPECT_EQ(Apply(kHatch + "VENO_BOLT_FILLMODE", fill), 1);
  EXPECT_EQ(KvDbGetSolidFill(db_.get()), 0);
  KvDbSetting* s = GetAecSetting(0, db_.get());
  ASSERT_NE(s, nullptr);
  EXPECT_DOUBLE_EQ(s->GetDetailScale(), 33);
  s->close();
}

}  // namespace
}  // namespace tav::test
