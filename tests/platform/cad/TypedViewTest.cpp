// Typed views read their fields from the tags and change only the tags they own.
#include <cmath>

#include <gtest/gtest.h>

#include "platform/cad/DxfViews.h"
#include "tests/platform/cad/DxfTestSupport.h"

namespace tav::cad {
namespace {

std::vector<int> Codes(const DxfObject& obj) {
  std::vector<int> codes;
  for (std::size_t i = 0; i < obj.TagCount(); ++i) codes.push_back(obj.TagAt(i).code);
  return codes;
}

class Views : public ::testing::Test {
 protected:
  void SetUp() override { doc_ = DxfDocument::CreateNew(); }
  DxfDocument doc_;
};

TEST_F(Views, AViewOfTheWrongTypeIsInvalidAndChangesNothing) {
  DxfObject circle = doc_.AddEntity("CIRCLE");
  DxfLine line(circle);
  EXPECT_FALSE(line.IsValid());
  EXPECT_FALSE(line.SetStart({1, 1, 1}));
  EXPECT_EQ(line.Start(), DxfPoint{});
  EXPECT_FALSE(DxfText(DxfObject()).SetText("x"));
  EXPECT_EQ(DxfLayer(DxfObject()).Name(), "");
}

TEST_F(Views, LineKeepsUnknownCodesInPlace) {
  DxfDocument doc;
  test::LoadOrFail(doc, test::SmallR2000());
  DxfLine line(doc.Get(0x20));
  ASSERT_TRUE(line.IsValid());
  EXPECT_EQ(line.Start(), (DxfPoint{1, 2, 0}));
  EXPECT_EQ(line.End(), (DxfPoint{3, 4, 0}));
  const auto codes = Codes(line.Object());
  ASSERT_TRUE(line.SetStart({5, 6, 7}));
  ASSERT_TRUE(line.SetEnd({8, 9, 10}));
  EXPECT_EQ(Codes(line.Object()), codes);
  EXPECT_EQ(line.Object().GetInt(96), 7);
  EXPECT_EQ(line.End(), (DxfPoint{8, 9, 10}));
}

TEST_F(Views, LwPolylineVerticesWidthAndClosedFlag) {
  DxfLwPolyline pl(doc_.AddEntity("LWPOLYLINE"));
  ASSERT_TRUE(pl.IsValid());
  std::vector<DxfLwVertex> vs = {{0, 0}, {100, 0, 0, 0, 0.5}, {100, 50, 1, 2, 0}};
  ASSERT_TRUE(pl.SetVertices(vs));
  ASSERT_TRUE(pl.SetConstantWidth(0.35));
  ASSERT_TRUE(pl.SetClosed(true));
  EXPECT_EQ(pl.Vertices(), vs);
  EXPECT_DOUBLE_EQ(pl.ConstantWidth(), 0.35);
  EXPECT_TRUE(pl.IsClosed());
  EXPECT_EQ(pl.Object().GetInt(90), 3);
  // Constant width comes before the first vertex.
  EXPECT_LT(pl.Object().Find(43), pl.Object().Find(10));
  // Two vertices replace three.
  ASSERT_TRUE(pl.SetVertices({{1, 1}, {2, 2}}));
  EXPECT_EQ(pl.Vertices().size(), 2u);
  EXPECT_EQ(pl.Object().GetInt(90), 2);
}

TEST_F(Views, TextFieldsAndJustification) {
  DxfText text(doc_.AddEntity("TEXT"));
  ASSERT_TRUE(text.IsValid());
  ASSERT_TRUE(text.SetText("设备材料表"));
  ASSERT_TRUE(text.SetInsertion({1, 2, 0}));
  ASSERT_TRUE(text.SetHeight(3.5));
  ASSERT_TRUE(text.SetWidthFactor(0.7));
  ASSERT_TRUE(text.SetRotation(30));
  ASSERT_TRUE(text.SetStyle("PZ_QLV"));
  ASSERT_TRUE(text.SetJustification(1, 2));
  ASSERT_TRUE(text.SetAlignment({5, 6, 0}));
  EXPECT_EQ(text.Text(), "设备材料表");
  EXPECT_EQ(text.Insertion(), (DxfPoint{1, 2, 0}));
  EXPECT_EQ(text.Alignment(), (DxfPoint{5, 6, 0}));
  EXPECT_DOUBLE_EQ(text.Height(), 3.5);
  EXPECT_DOUBLE_EQ(text.WidthFactor(), 0.7);
  EXPECT_DOUBLE_EQ(text.Rotation(), 30);
  EXPECT_EQ(text.Style(), "PZ_QLV");
  EXPECT_EQ(text.HorizontalMode(), 1);
  EXPECT_EQ(text.VerticalMode(), 2);
  // 73 lives in the second AcDbText subclass, 72 and 11 in the first.
  const DxfObject obj = text.Object();
  int first = obj.FindSubclass("AcDbText");
  int second = -1;
  for (std::size_t i = first + 1; i < obj.TagCount(); ++i)
    if (obj.TagAt(i).code == 100) second = static_cast<int>(i);
  ASSERT_GT(second, first);
  EXPECT_GT(obj.Find(73), second);
  EXPECT_LT(obj.Find(72), second);
  EXPECT_LT(obj.Find(11), second);
}

TEST_F(Views, TextWithoutAlignmentPointUsesTheInsertion) {
  DxfText text(doc_.AddEntity("TEXT"));
  text.SetInsertion({7, 8, 0});
  EXPECT_EQ(text.Alignment(), (DxfPoint{7, 8, 0}));
  EXPECT_DOUBLE_EQ(text.WidthFactor(), 1);
  EXPECT_EQ(text.Style(), "STANDARD");
}

TEST_F(Views, InsertCircleArcAndEquipment) {
  DxfInsert ins(doc_.AddEntity("INSERT"));
  ASSERT_TRUE(ins.SetBlockName("LEGEND"));
  ASSERT_TRUE(ins.SetInsertion({1, 1, 0}));
  ASSERT_TRUE(ins.SetScale({2, 2, 1}));
  ASSERT_TRUE(ins.SetRotation(90));
  EXPECT_EQ(ins.BlockName(), "LEGEND");
  EXPECT_EQ(ins.Scale(), (DxfPoint{2, 2, 1}));
  EXPECT_DOUBLE_EQ(ins.Rotation(), 90);

  DxfArc arc(doc_.AddEntity("ARC"));
  ASSERT_TRUE(arc.SetCenter({3, 4, 0}));
  ASSERT_TRUE(arc.SetRadius(5));
  ASSERT_TRUE(arc.SetStartAngle(10));
  ASSERT_TRUE(arc.SetEndAngle(200));
  EXPECT_EQ(arc.Center(), (DxfPoint{3, 4, 0}));
  EXPECT_DOUBLE_EQ(arc.Radius(), 5);
  EXPECT_DOUBLE_EQ(arc.EndAngle(), 200);

  DxfObject eq = AddEquipment(doc_, "水泵 P-1", {10, 20, 0});
  ASSERT_TRUE(eq);
  EXPECT_EQ(DxfEquipment(eq).DisplayName(), "水泵 P-1");
  EXPECT_EQ(DxfEquipment(eq).Insertion(), (DxfPoint{10, 20, 0}));
  DxfObject cls = doc_.FindClass("TAV_EQUIPMENT");
  ASSERT_TRUE(cls);
  EXPECT_EQ(cls.GetInt(281), 1);
  // A second equipment does not declare the class again.
  AddEquipment(doc_, "B", {});
  EXPECT_EQ(doc_.Classes().size(), 4u);
}

TEST_F(Views, EntityPropertiesLayerColourLinetype) {
  DxfEntity e(doc_.AddEntity("LINE"));
  EXPECT_EQ(e.Layer(), "0");
  EXPECT_EQ(e.Color(), 256);
  ASSERT_TRUE(e.SetLayer("PZ_SBB"));
  ASSERT_TRUE(e.SetColor(1));
  ASSERT_TRUE(e.SetLinetype("CONTINUOUS"));
  EXPECT_EQ(e.Layer(), "PZ_SBB");
  EXPECT_EQ(e.Color(), 1);
  EXPECT_EQ(e.Linetype(), "CONTINUOUS");
  // The common properties stay in the AcDbEntity subclass.
  EXPECT_LT(e.Object().Find(62), e.Object().FindSubclass("AcDbLine"));
}

TEST_F(Views, LinetypeWithTextElementReadsBackInRadians) {
  DxfObject style = doc_.AddRecord("STYLE", "HZ");
  ASSERT_TRUE(style);
  DxfLinetype lt(doc_.AddRecord("LTYPE", "TAV_J"));
  ASSERT_TRUE(lt.IsValid());
  DxfDashElement dash;
  dash.length = 12.0;
  DxfDashElement gap;
  gap.length = -3.0;
  DxfDashElement text;
  text.length = 0;
  text.type = 2;
  text.style = style.GetHandle();
  text.scale = 2.5;
  text.rotation = M_PI / 6;
  text.offsetX = -1.25;
  text.offsetY = -1.25;
  text.text = "给水";
  ASSERT_TRUE(lt.SetDescription("给水管 ---- J ----"));
  ASSERT_TRUE(lt.SetElements({dash, gap, text, gap}));
  DxfDocument again;
  test::LoadOrFail(again, doc_.SaveToString());
  DxfLinetype back(again.FindRecord("LTYPE", "tav_j"));
  ASSERT_TRUE(back.IsValid());
  EXPECT_EQ(back.Description(), "给水管 ---- J ----");
  const auto elements = back.Elements();
  ASSERT_EQ(elements.size(), 4u);
  EXPECT_EQ(elements[2], text);
  EXPECT_DOUBLE_EQ(elements[2].rotation * 180 / M_PI, 30);
  EXPECT_DOUBLE_EQ(back.PatternLength(), 18);
  EXPECT_EQ(back.Object().GetInt(73), 4);
}

TEST_F(Views, StyleAndLayerRecords) {
  DxfTextStyle st(doc_.AddRecord("STYLE", "PZ_QLV"));
  ASSERT_TRUE(st.SetFont("simplex.shx"));
  ASSERT_TRUE(st.SetBigFont("hztxt.shx"));
  ASSERT_TRUE(st.SetWidthFactor(0.7));
  EXPECT_EQ(st.Font(), "simplex.shx");
  EXPECT_EQ(st.BigFont(), "hztxt.shx");
  EXPECT_DOUBLE_EQ(st.WidthFactor(), 0.7);

  DxfLayer layer(doc_.AddRecord("LAYER", "PZ_SBB"));
  ASSERT_TRUE(layer.IsValid());
  EXPECT_EQ(layer.Color(), 7);
  ASSERT_TRUE(layer.SetOff(true));
  ASSERT_TRUE(layer.SetColor(3));
  EXPECT_TRUE(layer.IsOff());
  EXPECT_EQ(layer.Color(), 3);
  EXPECT_EQ(layer.Object().GetInt(62), -3);
  EXPECT_EQ(layer.Linetype(), "Continuous");
}

TEST_F(Views, DictionaryEntriesAndXRecordData) {
  DxfObject root = doc_.RootDictionary();
  DxfObject xrec = doc_.AddObject(root, "TAV_DWGSETTING", "XRECORD");
  ASSERT_TRUE(xrec);
  DxfXRecord x(xrec);
  std::vector<DxfTag> data = {MakeTag(1, "VENO_DWGBASE_PSCALE"), MakeTag(40, 100.0), MakeTag(70, 2LL),
                              MakeTag(1, "图形设置")};
  ASSERT_TRUE(x.SetData(data));
  EXPECT_EQ(x.Data(), data);
  DxfDictionary dict(root);
  EXPECT_EQ(dict.Get("TAV_DWGSETTING"), xrec.GetHandle());
  EXPECT_EQ(xrec.Owner(), root.GetHandle());
  // Same key again returns the same object.
  EXPECT_EQ(doc_.AddObject(root, "TAV_DWGSETTING", "XRECORD"), xrec);
  ASSERT_TRUE(dict.Remove("TAV_DWGSETTING"));
  EXPECT_EQ(dict.Get("TAV_DWGSETTING"), 0u);
  EXPECT_FALSE(dict.Remove("TAV_DWGSETTING"));
}

}  // namespace
}  // namespace tav::cad
