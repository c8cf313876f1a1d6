// Extended data: every item kind, one chain per application in stored order.
#include <gtest/gtest.h>

#include "platform/cad/DxfViews.h"
#include "tests/platform/cad/DxfTestSupport.h"

namespace tav::cad {
namespace {

DxfXData EveryKind() {
  DxfXData x;
  x.app = "QLV_SBBDY";
  x.items.push_back(DxfXItem::String("设 备 材 料 表"));
  x.items.push_back(DxfXItem::Control(true));
  DxfXItem layer;
  layer.code = 1003;
  layer.text = "PZ_SBB";
  x.items.push_back(layer);
  DxfXItem binary;
  binary.code = 1004;
  binary.text = "0A0B0C";
  x.items.push_back(binary);
  x.items.push_back(DxfXItem::HandleRef(0x2F));
  x.items.push_back(DxfXItem::Point(1010, {1, 2, 3}));
  x.items.push_back(DxfXItem::Point(1011, {4.5, 5.5, 0}));
  x.items.push_back(DxfXItem::Point(1012, {0, 1, 0}));
  x.items.push_back(DxfXItem::Point(1013, {0, 0, 1}));
  x.items.push_back(DxfXItem::Real(3.5));
  x.items.push_back(DxfXItem::Real(12.25, 1041));
  x.items.push_back(DxfXItem::Real(0.5, 1042));
  x.items.push_back(DxfXItem::Int16(-7));
  x.items.push_back(DxfXItem::Int32(123456789));
  x.items.push_back(DxfXItem::Control(false));
  return x;
}

TEST(XData, EveryItemKindSurvivesASaveAndLoad) {
  for (const char* fixture : {"r2000.dxf", "r2004_gbk.dxf", "r2018.dxf", "r12.dxf"}) {
    DxfDocument doc;
    test::LoadOrFail(doc, test::FixtureBytes(fixture));
    ASSERT_TRUE(doc.RegisterApp("QLV_SBBDY")) << fixture;
    DxfObject line = doc.AddEntity("LINE");
    ASSERT_TRUE(line.SetXData(EveryKind())) << fixture;
    const Handle h = line.GetHandle();
    DxfDocument again;
    test::LoadOrFail(again, doc.SaveToString());
    DxfXData back;
    ASSERT_TRUE(again.Get(h).GetXData("qlv_sbbdy", back)) << fixture;
    EXPECT_EQ(back, EveryKind()) << fixture;
  }
}

TEST(XData, ChainsKeepTheirOrderAndReplacingOneLeavesTheOthers) {
  DxfDocument doc = DxfDocument::CreateNew();
  for (const char* app : {"QLV_SBBHANDLE", "QLV_SBBTEXT", "QLV_PICTURE"}) ASSERT_TRUE(doc.RegisterApp(app));
  DxfObject text = doc.AddEntity("TEXT");
  ASSERT_TRUE(text.SetXData({"QLV_SBBHANDLE", {DxfXItem::HandleRef(0x40)}}));
  ASSERT_TRUE(text.SetXData({"QLV_SBBTEXT", {DxfXItem::Int16(1), DxfXItem::String("编号")}}));
  ASSERT_TRUE(text.SetXData({"QLV_PICTURE", {DxfXItem::String("L1"), DxfXItem::Point(1011, {1, 2, 0})}}));
  EXPECT_EQ(text.XDataApps(), (std::vector<std::string>{"QLV_SBBHANDLE", "QLV_SBBTEXT", "QLV_PICTURE"}));
  ASSERT_TRUE(text.SetXData({"QLV_SBBTEXT", {DxfXItem::Int16(2), DxfXItem::String("名称")}}));
  EXPECT_EQ(text.XDataApps(), (std::vector<std::string>{"QLV_SBBHANDLE", "QLV_SBBTEXT", "QLV_PICTURE"}));
  DxfXData x;
  ASSERT_TRUE(text.GetXData("QLV_SBBTEXT", x));
  EXPECT_EQ(x.items[0].integer, 2);
  EXPECT_EQ(x.items[1].text, "名称");
  ASSERT_TRUE(text.GetXData("QLV_PICTURE", x));
  EXPECT_EQ(x.items[1].point, (DxfPoint{1, 2, 0}));
  // The xdata stays behind the entity's own fields.
  EXPECT_EQ(DxfText(text).Text(), "");
  ASSERT_TRUE(DxfText(text).SetText("abc"));
  EXPECT_LT(text.Find(1), static_cast<int>(text.DataEnd()));
  EXPECT_EQ(text.XDataApps().size(), 3u);
}

TEST(XData, UnregisteredApplicationsAndBadCodesAreRefused) {
  DxfDocument doc = DxfDocument::CreateNew();
  DxfObject line = doc.AddEntity("LINE");
  EXPECT_FALSE(line.SetXData({"NOT_REGISTERED", {DxfXItem::String("x")}}));
  EXPECT_TRUE(line.XDataApps().empty());
  doc.RegisterApp("APP");
  DxfXItem bad;
  bad.code = 70;
  EXPECT_FALSE(line.SetXData({"APP", {bad}}));
  EXPECT_TRUE(line.XDataApps().empty());
}

TEST(XData, AnEmptyChainOrRemoveTakesTheApplicationAway) {
  DxfDocument doc;
  test::LoadOrFail(doc, test::SmallR2000());
  DxfObject line = doc.Get(0x20);
  DxfXData x;
  ASSERT_TRUE(line.GetXData("APP1", x));
  EXPECT_EQ(x.items.at(0).text, "first");
  ASSERT_TRUE(line.SetXData({"APP1", {}}));
  EXPECT_FALSE(line.GetXData("APP1", x));
  EXPECT_FALSE(line.RemoveXData("APP1"));
}

}  // namespace
}  // namespace tav::cad
