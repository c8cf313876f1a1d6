#include <gtest/gtest.h>

#include "platform/host/KvScriptedUserServices.h"
#include "platform/host/KvSelection.h"
#include "platform/tavdata/KvDbAvEquipment.h"
#include "platform/tavdata/KvDbLegend.h"
#include "tests/support/TempDir.h"

namespace {

class EquipmentAndLegends : public ::testing::Test {
 protected:
  void SetUp() override { doc_ = acDocManagerPtr()->newDocument(); }
  void TearDown() override {
    EXPECT_EQ(db()->numOpenObjects(), 0);
    acDocManagerPtr()->closeAll();
  }
  AcDbDatabase* db() { return doc_->database(); }
  AcApDocument* doc_ = nullptr;
};

TEST_F(EquipmentAndLegends, OnlyEquipmentOpensAsEquipment) {
  AcDbObjectId pump = KvDbAddEquipment("水泵-1", {10, 20, 0});
  ASSERT_FALSE(pump.isNull());
  AcDbEntity* line = nullptr;
  AcDbObjectId lineId;
  ASSERT_EQ(KvDbAppendToModelSpace(nullptr, "LINE", line, &lineId), Acad::eOk);
  line->close();

  KvDbAvEquipment* e = nullptr;
  ASSERT_EQ(acdbOpenObject(e, pump, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(e->GetName(), "水泵-1");
  EXPECT_EQ(e->GetPosition(), AcGePoint3d(10, 20, 0));
  EXPECT_EQ(e->SetName("x"), Acad::eNotOpenForWrite);
  ASSERT_EQ(e->upgradeOpen(), Acad::eOk);
  EXPECT_EQ(e->SetName("水泵-2"), Acad::eOk);
  e->close();
  EXPECT_EQ(acdbOpenObject(e, lineId, AcDb::kForRead), Acad::eNotThatKindOfClass);
  ASSERT_EQ(acdbOpenObject(e, pump, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(e->GetName(), "水泵-2");
  e->close();
}

TEST_F(EquipmentAndLegends, PickedEquipmentIsSelectedByItsTypeName) {
  AcDbObjectId a = KvDbAddEquipment("水泵-1", {0, 0, 0});
  AcDbObjectId b = KvDbAddEquipment("消火栓", {5, 0, 0});
  AcDbEntity* text = nullptr;
  AcDbObjectId textId;
  ASSERT_EQ(KvDbAppendToModelSpace(nullptr, "TEXT", text, &textId), Acad::eOk);
  text->close();
  KvScriptedUserServices services;
  KvUserServicesScope scope(services);
  services.QueueSelection({KvPromptStatus::kNormal, {a.handle().value(), textId.handle().value(), b.handle().value()}});
  KvResbufPtr filter(acutBuildList(RTDXF0, "TAV_EQUIPMENT", RTNONE));
  const char* prompts[2] = {"\n请选择需要统计的设备:", ""};
  tav::host::KvSelectionSet ss;
  ASSERT_EQ(acedSSGet(":$", prompts, nullptr, filter.get(), ss.name()), RTNORM);
  std::vector<std::string> names;
  std::int32_t n = 0;
  acedSSLength(ss.name(), &n);
  for (std::int32_t i = 0; i < n; ++i) {
    ads_name ent;
    acedSSName(ss.name(), i, ent);
    AcDbObjectId id;
    acdbGetObjectId(id, ent);
    KvDbAvEquipment* e = nullptr;
    if (acdbOpenObject(e, id, AcDb::kForRead) != Acad::eOk) continue;
    names.push_back(e->GetName());
    e->close();
  }
  EXPECT_EQ(names, (std::vector<std::string>{"水泵-1", "消火栓"}));
  EXPECT_EQ(services.selectionPrompts()[0].typeFilter, std::vector<std::string>{"TAV_EQUIPMENT"});
}

TEST(LegendLibrary, TheShippedLibraryIsASoundDrawingWithTheWaterLegends) {
  tav::cad::DxfDocument lib;
  ASSERT_TRUE(lib.Load(std::string(TAV_MAIN_DIR) + "/Legend/Legend.dxf"));
  EXPECT_TRUE(lib.Check().empty());
  for (const char* name : {"水泵", "阀门", "止回阀", "水表", "消火栓", "喷头", "地漏", "灭火器"}) {
    KvGeExtent ext;
    EXPECT_TRUE(tav::tavdata::BlockExtents(lib, name, ext)) << name;
  }
}

// Checks that the INSERT's drawn extents fill the cell's 0.6 box in one direction and are centred.
void ExpectFitted(AcDbDatabase* db, const AcDbObjectId& id, const AcGePoint3d& centre, double w, double h) {
  tav::cad::DxfInsert ins(id.dxf());
  ASSERT_TRUE(ins.IsValid());
  KvGeExtent ext;
  ASSERT_TRUE(tav::tavdata::BlockExtents(db->document(), ins.BlockName(), ext));
  double s = ins.Scale().x;
  EXPECT_EQ(ins.Scale().y, s);
  tav::cad::DxfPoint p = ins.Insertion();
  // Block base points of these blocks are the origin.
  double x0 = p.x + s * ext.minPoint.x, x1 = p.x + s * ext.maxPoint.x;
  double y0 = p.y + s * ext.minPoint.y, y1 = p.y + s * ext.maxPoint.y;
  EXPECT_NEAR((x0 + x1) / 2, centre.x, 1e-9);
  EXPECT_NEAR((y0 + y1) / 2, centre.y, 1e-9);
  EXPECT_LE(x1 - x0, 0.6 * w + 1e-9);
  EXPECT_LE(y1 - y0, 0.6 * h + 1e-9);
  EXPECT_TRUE(std::abs((x1 - x0) - 0.6 * w) < 1e-9 || std::abs((y1 - y0) - 0.6 * h) < 1e-9);
}

TEST_F(EquipmentAndLegends, ALegendMissingInTheDrawingIsCopiedFromTheLibrary) {
  ASSERT_TRUE(db()->document().BlockRecord("水泵").IsNull());
  AcGePoint3d centre{1000, 500, 0};
  AcDbObjectId id = PlaceLegend(db(), "水泵", centre, 2000, 800);
  ASSERT_FALSE(id.isNull());
  EXPECT_FALSE(db()->document().BlockRecord("水泵").IsNull());
  tav::cad::DxfInsert ins(id.dxf());
  EXPECT_EQ(ins.BlockName(), "水泵");
  EXPECT_EQ(ins.Layer(), "PZ_SBB");
  EXPECT_EQ(ins.Color(), 256);
  ExpectFitted(db(), id, centre, 2000, 800);
  // A second legend of the same name reuses the block now in the drawing.
  AcDbObjectId again = PlaceLegend(db(), "水泵", {0, 0, 0}, 10, 10, "");
  ASSERT_FALSE(again.isNull());
  EXPECT_EQ(tav::cad::DxfInsert(again.dxf()).Layer(), "0");
  ExpectFitted(db(), again, {0, 0, 0}, 10, 10);
  EXPECT_TRUE(db()->document().Check().empty());
}

TEST_F(EquipmentAndLegends, TheDrawingsOwnBlockWinsAndTheTwoPartNameNamesIt) {
  tav::cad::DxfObject blk = db()->document().AddBlock("阀门");
  tav::cad::DxfLine l(db()->document().AddEntity("LINE", blk));
  l.SetStart({0, 0, 0});
  l.SetEnd({100, 50, 0});
  AcDbObjectId id = PlaceLegend(db(), "Legend|阀门", {0, 0, 0}, 30, 10);
  ASSERT_FALSE(id.isNull());
  EXPECT_EQ(db()->document().EntitiesOf(db()->document().BlockRecord("阀门")).size(), 1u);
  ExpectFitted(db(), id, {0, 0, 0}, 30, 10);
  EXPECT_NEAR(tav::cad::DxfInsert(id.dxf()).Scale().x, 0.12, 1e-12);  // min(0.6 * 30 / 100, 0.6 * 10 / 50)
}

TEST_F(EquipmentAndLegends, UnknownLegendsAndEmptyCellsPlaceNothing) {
  std::size_t before = db()->document().Entities().size();
  EXPECT_TRUE(PlaceLegend(db(), "不存在的图例", {0, 0, 0}, 10, 10).isNull());
  EXPECT_TRUE(PlaceLegend(db(), "", {0, 0, 0}, 10, 10).isNull());
  EXPECT_TRUE(PlaceLegend(db(), "水泵", {0, 0, 0}, 0, 10).isNull());
  EXPECT_EQ(db()->document().Entities().size(), before);
}

TEST_F(EquipmentAndLegends, ACopiedLegendSurvivesSaveAndReopen) {
  tav::test::TempDir dir;
  AcDbObjectId id = PlaceLegend(db(), "喷头", {5, 5, 0}, 20, 8);
  ASSERT_FALSE(id.isNull());
  ASSERT_EQ(db()->saveAs(dir.file("legend.dxf")), Acad::eOk);
  std::unique_ptr<AcDbDatabase> back = AcDbDatabase::open(dir.file("legend.dxf"));
  ASSERT_TRUE(back);
  tav::cad::DxfInsert ins(back->document().Get(id.handle().value()));
  EXPECT_EQ(ins.BlockName(), "喷头");
  EXPECT_EQ(back->document().EntitiesOf(back->document().BlockRecord("喷头")).size(), 3u);
  EXPECT_TRUE(back->document().Check().empty());
}

}  // namespace
