#include <cmath>
#include <array>
#include <numbers>

#include <gtest/gtest.h>

#include "platform/host/KvAcDb.h"

namespace {

constexpr double kPi = std::numbers::pi;

class HostTransform : public ::testing::Test {
 protected:
  void SetUp() override { doc_ = acDocManagerPtr()->newDocument(); }
  void TearDown() override {
    EXPECT_EQ(doc_->database()->numOpenObjects(), 0);
    acDocManagerPtr()->closeDocument(doc_);
  }
  // Applies `m` to the entity and closes it.
  void Apply(const AcDbObjectId& id, const AcGeMatrix3d& m) {
    AcDbEntity* e = nullptr;
    ASSERT_EQ(acdbOpenObject(e, id, AcDb::kForWrite), Acad::eOk);
    EXPECT_EQ(e->transformBy(m), Acad::eOk);
    e->close();
  }
  std::vector<tav::cad::DxfTag> TagsOf(const AcDbObjectId& id) { return id.dxf().Tags(); }
  AcApDocument* doc_ = nullptr;
};

void ExpectNear(const tav::cad::DxfPoint& a, const tav::cad::DxfPoint& b) {
  EXPECT_NEAR(a.x, b.x, 1e-9);
  EXPECT_NEAR(a.y, b.y, 1e-9);
  EXPECT_NEAR(a.z, b.z, 1e-9);
}

TEST(GeMatrix, RotationAboutAPointMovesPointsOnACircle) {
  AcGeMatrix3d m = AcGeMatrix3d::rotation(kPi / 2, {0, 0, 1}, {1, 1, 0});
  AcGePoint3d p = m.apply({2, 1, 0});
  EXPECT_NEAR(p.x, 1, 1e-12);
  EXPECT_NEAR(p.y, 2, 1e-12);
  double angle = 0, scale = 0;
  ASSERT_TRUE(m.isPlanarConformal(&angle, &scale));
  EXPECT_NEAR(angle, kPi / 2, 1e-12);
  EXPECT_NEAR(scale, 1, 1e-12);
  AcGeMatrix3d back = AcGeMatrix3d::rotation(-kPi / 2, {0, 0, 1}, {1, 1, 0}) * m;
  AcGePoint3d q = back.apply({7, -3, 2});
  EXPECT_NEAR(q.x, 7, 1e-12);
  EXPECT_NEAR(q.y, -3, 1e-12);
  EXPECT_FALSE(AcGeMatrix3d::rotation(0.3, {1, 0, 0}).isPlanarConformal());
}

TEST_F(HostTransform, TurningThirtyDegreesAndBackRestoresEveryEntity) {
  AcDbObjectId ids[7];
  const char* types[7] = {"LINE", "LWPOLYLINE", "TEXT", "INSERT", "CIRCLE", "ARC", "TAV_EQUIPMENT"};
  ASSERT_EQ(acdbRegApp("QLV_PICTURE"), RTNORM);
  for (int i = 0; i < 7; ++i) {
    AcDbEntity* e = nullptr;
    if (std::string(types[i]) == "TAV_EQUIPMENT") {
      ids[i] = doc_->database()->idOf(tav::cad::AddEquipment(doc_->database()->document(), "水泵-1", {3, 4, 0}));
      continue;
    }
    ASSERT_EQ(KvDbAppendToModelSpace(nullptr, types[i], e, &ids[i]), Acad::eOk);
    tav::cad::DxfObject o = e->dxf();
    if (i == 0) {
      tav::cad::DxfLine(o).SetStart({1, 2, 0});
      tav::cad::DxfLine(o).SetEnd({11, 2, 0});
    } else if (i == 1) {
      tav::cad::DxfLwPolyline(o).SetVertices({{0, 0, 0, 0, 0}, {10, 5, 0, 0, 0}});
      tav::cad::DxfLwPolyline(o).SetConstantWidth(100);
    } else if (i == 2) {
      tav::cad::DxfText t(o);
      t.SetJustification(1, 2);
      t.SetInsertion({5, 5, 0});
      t.SetAlignment({6, 7, 0});
      t.SetRotation(10);
    } else if (i == 3) {
      tav::cad::DxfInsert(o).SetInsertion({8, 9, 0});
      KvResbufPtr x(acutBuildList(1001, "QLV_PICTURE", 1000, "水泵", 1011, std::array<double, 3>{8, 9, 0}.data(),
                                  RTNONE));
      ASSERT_EQ(e->setXData(x.get()), Acad::eOk);
    } else if (i == 4) {
      tav::cad::DxfCircle(o).SetCenter({-2, 3, 0});
      tav::cad::DxfCircle(o).SetRadius(4);
    } else if (i == 5) {
      tav::cad::DxfArc a(o);
      a.SetCenter({1, 1, 0});
      a.SetRadius(2);
      a.SetStartAngle(350);
      a.SetEndAngle(20);
    }
    e->close();
  }
  std::vector<std::vector<tav::cad::DxfTag>> before;
  for (const auto& id : ids) before.push_back(TagsOf(id));

  const AcGePoint3d base{100, 50, 0};
  const double angle = 30 * kPi / 180;
  for (const auto& id : ids) Apply(id, AcGeMatrix3d::rotation(angle, {0, 0, 1}, base));
  tav::cad::DxfLine turned(ids[0].dxf());
  AcGePoint3d expected = AcGeMatrix3d::rotation(angle, {0, 0, 1}, base).apply({1, 2, 0});
  ExpectNear(turned.Start(), {expected.x, expected.y, 0});
  EXPECT_NEAR(tav::cad::DxfText(ids[2].dxf()).Rotation(), 40, 1e-9);
  EXPECT_NEAR(tav::cad::DxfArc(ids[5].dxf()).StartAngle(), 20, 1e-9);
  tav::cad::DxfXData pic;
  ASSERT_TRUE(ids[3].dxf().GetXData("QLV_PICTURE", pic));
  ExpectNear(pic.items[1].point, tav::cad::DxfInsert(ids[3].dxf()).Insertion());  // the cell point moves along

  for (const auto& id : ids) Apply(id, AcGeMatrix3d::rotation(-angle, {0, 0, 1}, base));
  ExpectNear(tav::cad::DxfLine(ids[0].dxf()).Start(), {1, 2, 0});
  ExpectNear(tav::cad::DxfLine(ids[0].dxf()).End(), {11, 2, 0});
  auto vs = tav::cad::DxfLwPolyline(ids[1].dxf()).Vertices();
  EXPECT_NEAR(vs[1].x, 10, 1e-9);
  EXPECT_NEAR(vs[1].y, 5, 1e-9);
  EXPECT_NEAR(tav::cad::DxfLwPolyline(ids[1].dxf()).ConstantWidth(), 100, 1e-9);
  ExpectNear(tav::cad::DxfText(ids[2].dxf()).Insertion(), {5, 5, 0});
  ExpectNear(tav::cad::DxfText(ids[2].dxf()).Alignment(), {6, 7, 0});
  EXPECT_NEAR(tav::cad::DxfText(ids[2].dxf()).Rotation(), 10, 1e-9);
  ExpectNear(tav::cad::DxfInsert(ids[3].dxf()).Insertion(), {8, 9, 0});
  EXPECT_NEAR(tav::cad::DxfInsert(ids[3].dxf()).Rotation(), 0, 1e-9);
  ASSERT_TRUE(ids[3].dxf().GetXData("QLV_PICTURE", pic));
  ExpectNear(pic.items[1].point, {8, 9, 0});
  ExpectNear(tav::cad::DxfCircle(ids[4].dxf()).Center(), {-2, 3, 0});
  EXPECT_NEAR(tav::cad::DxfArc(ids[5].dxf()).StartAngle(), 350, 1e-9);
  EXPECT_NEAR(tav::cad::DxfArc(ids[5].dxf()).EndAngle(), 20, 1e-9);
  ExpectNear(tav::cad::DxfEquipment(ids[6].dxf()).Insertion(), {3, 4, 0});
  // Nothing piles up: only the insert keeps its rotation, now as an explicit 0.
  for (std::size_t i = 0; i < 7; ++i)
    EXPECT_EQ(TagsOf(ids[i]).size(), before[i].size() + (i == 3 ? 1 : 0)) << types[i];
}

TEST_F(HostTransform, TranslationAndUniformScaling) {
  AcDbEntity* e = nullptr;
  AcDbObjectId id;
  ASSERT_EQ(KvDbAppendToModelSpace(nullptr, "CIRCLE", e, &id), Acad::eOk);
  tav::cad::DxfCircle(e->dxf()).SetRadius(2);
  EXPECT_EQ(e->transformBy(AcGeMatrix3d::translation({5, -1, 0})), Acad::eOk);
  EXPECT_EQ(e->transformBy(AcGeMatrix3d::scaling(3, {5, -1, 0})), Acad::eOk);
  e->close();
  ExpectNear(tav::cad::DxfCircle(id.dxf()).Center(), {5, -1, 0});
  EXPECT_NEAR(tav::cad::DxfCircle(id.dxf()).Radius(), 6, 1e-12);
}

TEST_F(HostTransform, UnsupportedMatricesTypesAndReadOpensAreRefused) {
  AcDbEntity* e = nullptr;
  AcDbObjectId id;
  ASSERT_EQ(KvDbAppendToModelSpace(nullptr, "LINE", e, &id), Acad::eOk);
  EXPECT_EQ(e->transformBy(AcGeMatrix3d::rotation(0.5, {0, 1, 0})), Acad::eCannotScaleNonUniformly);
  e->close();
  ASSERT_EQ(acdbOpenObject(e, id, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(e->transformBy(AcGeMatrix3d::translation({1, 0, 0})), Acad::eNotOpenForWrite);
  e->close();
  ASSERT_EQ(KvDbAppendToModelSpace(nullptr, "HATCH", e, &id), Acad::eOk);
  EXPECT_EQ(e->transformBy(AcGeMatrix3d::translation({1, 0, 0})), Acad::eNotApplicable);
  e->close();
}

}  // namespace
