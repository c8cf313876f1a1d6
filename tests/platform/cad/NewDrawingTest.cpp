// A new drawing is R2010 with every table and object a CAD program needs.
#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

#include "platform/cad/DxfViews.h"
#include "tests/platform/cad/DxfTestSupport.h"
#include "tests/support/TempDir.h"

namespace tav::cad {
namespace {

TEST(NewDrawing, HasTheRequiredTablesAndObjects) {
  DxfDocument doc = DxfDocument::CreateNew();
  EXPECT_EQ(doc.Version(), DxfVersion::R2010);
  EXPECT_TRUE(doc.UsesUtf8());
  for (const char* lt : {"ByBlock", "ByLayer", "Continuous"}) EXPECT_TRUE(doc.FindRecord("LTYPE", lt)) << lt;
  EXPECT_TRUE(doc.FindRecord("LAYER", "0"));
  EXPECT_TRUE(doc.FindRecord("STYLE", "Standard"));
  EXPECT_TRUE(doc.FindRecord("DIMSTYLE", "Standard"));
  EXPECT_TRUE(doc.FindRecord("APPID", "ACAD"));
  EXPECT_TRUE(doc.FindRecord("VPORT", "*Active"));
  EXPECT_TRUE(doc.ModelSpace());
  EXPECT_TRUE(doc.PaperSpace());
  DxfDictionary root(doc.RootDictionary());
  ASSERT_TRUE(root.IsValid());
  for (const char* key : {"ACAD_GROUP", "ACAD_LAYOUT", "ACAD_MLINESTYLE", "ACAD_PLOTSTYLENAME"})
    EXPECT_TRUE(doc.Get(root.Get(key))) << key;
  DxfDictionary layouts(doc.Get(root.Get("ACAD_LAYOUT")));
  EXPECT_EQ(doc.Get(layouts.Get("Model")).Type(), "LAYOUT");
  EXPECT_TRUE(doc.Check().empty());
}

TEST(NewDrawing, PassesEzdxfAudit) {
  const char* python = "/usr/bin/python3";
  if (std::system((std::string(python) + " -c 'import ezdxf' 2>/dev/null").c_str()) != 0)
    GTEST_SKIP() << "python3 with ezdxf is not installed";
  tav::test::TempDir dir;
  DxfDocument doc = DxfDocument::CreateNew();
  // With some content of every kind the system writes.
  doc.RegisterApp("QLV_SBBHANDLE");
  DxfObject line = doc.AddEntity("LINE");
  DxfLine(line).SetEnd({100, 0, 0});
  line.SetXData({"QLV_SBBHANDLE", {DxfXItem::HandleRef(line.GetHandle())}});
  DxfText text(doc.AddEntity("TEXT"));
  text.SetText("设备材料表");
  text.SetJustification(1, 2);
  text.SetAlignment({50, 5, 0});
  DxfLwPolyline(doc.AddEntity("LWPOLYLINE")).SetVertices({{0, 0}, {100, 0}});
  DxfLinetype lt(doc.AddRecord("LTYPE", "TAV_J"));
  DxfDashElement te;
  te.type = 2;
  te.style = doc.FindRecord("STYLE", "Standard").GetHandle();
  te.text = "J";
  DxfDashElement dash, gap;
  dash.length = 10;
  gap.length = -2;
  lt.SetElements({dash, gap, te, gap});
  DxfXRecord(doc.AddObject(doc.RootDictionary(), "TAV_SETTINGS", "XRECORD")).SetData({MakeTag(1, "x")});
  AddEquipment(doc, "泵", {1, 1, 0});
  doc.AddRecord("LAYER", "PZ_SBB");
  const std::string path = dir.path() + "new.dxf";
  ASSERT_TRUE(doc.Save(path));
  const std::string script = std::string(python) +
                             " -c \"import ezdxf,sys; d=ezdxf.readfile(sys.argv[1]); a=d.audit(); "
                             "[print(e.message) for e in a.errors]; sys.exit(1 if a.has_errors else 0)\" " + path;
  EXPECT_EQ(std::system(script.c_str()), 0);
}

TEST(NewDrawing, SavedAndLoadedAgainIsTheSame) {
  DxfDocument doc = DxfDocument::CreateNew();
  const std::string first = doc.SaveToString();
  DxfDocument again;
  test::LoadOrFail(again, first);
  EXPECT_EQ(again.SaveToString(), first);
}

}  // namespace
}  // namespace tav::cad
