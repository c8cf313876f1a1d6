// Copying entities between drawings: new handles, remapped references, dependencies brought along.
#include <gtest/gtest.h>

#include "platform/cad/DxfViews.h"
#include "tests/platform/cad/DxfTestSupport.h"

namespace tav::cad {
namespace {

TEST(Copy, EntitiesGetNewHandlesAndTheirXDataHandlesFollow) {
  DxfDocument source;
  test::LoadOrFail(source, test::FixtureBytes("r2000.dxf"));
  // The fixture's table line carries QLV_SBBHANDLE pointing at itself; the polyline points at it too.
  DxfObject line, polyline;
  for (DxfObject e : source.Entities()) {
    if (e.Type() == "LINE" && e.XDataApps().size() == 1) line = e;
    if (e.Type() == "LWPOLYLINE") polyline = e;
  }
  ASSERT_TRUE(line);
  ASSERT_TRUE(polyline);
  DxfDocument target = DxfDocument::CreateNew();
  const Handle seed = target.HandleSeed();
  DxfHandleMap map = target.CopyEntities(source, {line.GetHandle(), polyline.GetHandle()});
  ASSERT_EQ(map.size(), 2u);
  const Handle newLine = map.at(line.GetHandle());
  const Handle newPolyline = map.at(polyline.GetHandle());
  EXPECT_GE(newLine, seed);
  DxfXData x;
  ASSERT_TRUE(target.Get(newPolyline).GetXData("QLV_SBBHANDLE", x));
  EXPECT_EQ(x.items.at(0).text, FormatHandle(newLine));
  ASSERT_TRUE(target.Get(newLine).GetXData("QLV_SBBHANDLE", x));
  EXPECT_EQ(x.items.at(0).text, FormatHandle(newLine));
  // Geometry, layer and application come along.
  EXPECT_EQ(DxfLine(target.Get(newLine)).End(), DxfLine(line).End());
  EXPECT_EQ(DxfEntity(target.Get(newLine)).Layer(), "PZ_SBB");
  EXPECT_TRUE(target.FindRecord("LAYER", "PZ_SBB"));
  EXPECT_TRUE(target.FindRecord("APPID", "QLV_SBBHANDLE"));
  EXPECT_EQ(DxfLwPolyline(target.Get(newPolyline)).ConstantWidth(), 0.5);
  EXPECT_EQ(target.Get(newLine).Owner(), target.ModelSpace().GetHandle());
  EXPECT_TRUE(target.Check().empty());
}

TEST(Copy, HandlesOutsideTheCopiedSetKeepTheirValue) {
  DxfDocument source;
  test::LoadOrFail(source, test::FixtureBytes("r2000.dxf"));
  DxfObject polyline;
  for (DxfObject e : source.Entities())
    if (e.Type() == "LWPOLYLINE") polyline = e;
  DxfXData before;
  ASSERT_TRUE(polyline.GetXData("QLV_SBBHANDLE", before));
  DxfDocument target = DxfDocument::CreateNew();
  DxfHandleMap map = target.CopyEntities(source, {polyline.GetHandle()});
  DxfXData after;
  ASSERT_TRUE(target.Get(map.at(polyline.GetHandle())).GetXData("QLV_SBBHANDLE", after));
  EXPECT_EQ(after, before);
}

TEST(Copy, ABlockReferenceBringsItsBlock) {
  DxfDocument source;
  test::LoadOrFail(source, test::FixtureBytes("r2018.dxf"));
  DxfObject insert;
  for (DxfObject e : source.Entities())
    if (e.Type() == "INSERT") insert = e;
  ASSERT_TRUE(insert);
  DxfDocument target = DxfDocument::CreateNew();
  target.CopyEntities(source, {insert.GetHandle()});
  DxfObject block = target.BlockRecord("LEGEND");
  ASSERT_TRUE(block);
  EXPECT_EQ(target.EntitiesOf(block).size(), 2u);
  DxfDocument again;
  test::LoadOrFail(again, target.SaveToString());
  EXPECT_TRUE(again.Check().empty());
}

TEST(Copy, WithinOneDrawingMakesADuplicate) {
  DxfDocument doc;
  test::LoadOrFail(doc, test::SmallR2000());
  DxfHandleMap map = doc.CopyEntities(doc, {0x20, 0x999});
  ASSERT_EQ(map.size(), 1u);
  EXPECT_NE(map.at(0x20), 0x20u);
  EXPECT_EQ(DxfLine(doc.Get(map.at(0x20))).Start(), (DxfPoint{1, 2, 0}));
  EXPECT_EQ(doc.Get(map.at(0x20)).GetInt(96), 7);
}

}  // namespace
}  // namespace tav::cad
