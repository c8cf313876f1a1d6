// Handles come from $HANDSEED; owners stay right as records are added and erased; the check finds
// what is wrong, with lines.
#include <gtest/gtest.h>

#include "platform/base/KvStrings.h"
#include "platform/cad/DxfViews.h"
#include "tests/platform/cad/DxfTestSupport.h"

namespace tav::cad {
namespace {

TEST(Handles, NewHandlesComeFromTheSeedAndAdvanceIt) {
  DxfDocument doc;
  test::LoadOrFail(doc, test::SmallR2000());
  EXPECT_EQ(doc.HandleSeed(), 0x100u);
  DxfObject a = doc.AddEntity("LINE");
  DxfObject b = doc.AddEntity("CIRCLE");
  EXPECT_EQ(a.GetHandle(), 0x100u);
  EXPECT_EQ(b.GetHandle(), 0x101u);
  EXPECT_EQ(doc.HeaderString("$HANDSEED"), "102");
  EXPECT_EQ(doc.Get(0x101), b);
  DxfDocument again;
  test::LoadOrFail(again, doc.SaveToString());
  EXPECT_EQ(again.HandleSeed(), 0x102u);
}

TEST(Handles, ModelAndPaperSpaceEntitiesAreOwnedByTheirBlockRecords) {
  DxfDocument doc = DxfDocument::CreateNew();
  DxfObject ms = doc.ModelSpace(), ps = doc.PaperSpace();
  ASSERT_TRUE(ms);
  ASSERT_TRUE(ps);
  DxfObject inModel = doc.AddEntity("LINE");
  DxfObject inPaper = doc.AddEntity("LINE", ps);
  EXPECT_EQ(inModel.Owner(), ms.GetHandle());
  EXPECT_EQ(inPaper.Owner(), ps.GetHandle());
  EXPECT_EQ(inPaper.GetInt(67), 1);
  EXPECT_EQ(doc.EntitiesOf(ms), std::vector<DxfObject>{inModel});
  EXPECT_EQ(doc.EntitiesOf(ps), std::vector<DxfObject>{inPaper});
  DxfObject block = doc.AddBlock("LEGEND", {1, 1, 0});
  ASSERT_TRUE(block);
  DxfObject circle = doc.AddEntity("CIRCLE", block);
  EXPECT_EQ(circle.Owner(), block.GetHandle());
  EXPECT_EQ(doc.EntitiesOf(block), std::vector<DxfObject>{circle});
  EXPECT_TRUE(doc.Check().empty());
}

TEST(Handles, TableRecordsAreOwnedByTheTableAndCounted) {
  DxfDocument doc = DxfDocument::CreateNew();
  DxfObject layer = doc.AddRecord("LAYER", "PZ_SBB");
  EXPECT_EQ(layer.Owner(), doc.Table("LAYER").GetHandle());
  EXPECT_EQ(doc.Table("LAYER").GetInt(70), 2);
  EXPECT_EQ(doc.AddRecord("layer", "pz_sbb"), layer);
  EXPECT_FALSE(doc.AddRecord("NO_SUCH_TABLE", "X"));
  EXPECT_FALSE(doc.AddRecord("LAYER", ""));
}

TEST(Erase, ObjectsLeaveTheirDictionaryAndAreNotWritten) {
  DxfDocument doc;
  test::LoadOrFail(doc, test::SmallR2000());
  DxfObject xrec = doc.Get(0x30);
  ASSERT_TRUE(doc.Erase(xrec));
  EXPECT_FALSE(doc.Get(0x30));
  EXPECT_EQ(DxfDictionary(doc.RootDictionary()).Get("TAV_SETTINGS"), 0u);
  const std::string out = doc.SaveToString();
  EXPECT_EQ(out.find("XRECORD"), std::string::npos);
  EXPECT_EQ(out.find("TAV_SETTINGS"), std::string::npos);
  EXPECT_FALSE(doc.Erase(xrec));
  EXPECT_FALSE(doc.Erase(doc.RootDictionary()));
  EXPECT_TRUE(doc.Check().empty());
}

TEST(Erase, APolylineGoesWithItsVertices) {
  DxfDocument doc;
  test::LoadOrFail(doc, test::FixtureBytes("r12.dxf"));
  DxfObject polyline;
  for (DxfObject e : doc.Entities())
    if (e.Type() == "POLYLINE") polyline = e;
  ASSERT_TRUE(polyline);
  ASSERT_TRUE(doc.Erase(polyline));
  EXPECT_EQ(CountEntityTypes(doc).count("VERTEX"), 0u);
  EXPECT_EQ(CountEntityTypes(doc).count("SEQEND"), 0u);
  DxfDocument again;
  test::LoadOrFail(again, doc.SaveToString());
  EXPECT_EQ(CountEntityTypes(again).count("POLYLINE"), 0u);
}

TEST(Erase, RecordsThatMustStayAreRefused) {
  DxfDocument doc = DxfDocument::CreateNew();
  EXPECT_FALSE(doc.Erase(doc.FindRecord("LAYER", "0")));
  EXPECT_FALSE(doc.Erase(doc.ModelSpace()));
  EXPECT_FALSE(doc.Erase(doc.Table("LAYER")));
  EXPECT_FALSE(doc.Erase(DxfObject()));
}

TEST(Check, FindsDuplicateAndDanglingHandlesWrongOwnersAndUnregisteredApps) {
  std::string bytes = test::SmallR2000();
  // TEXT takes the LINE's handle, the LINE gets a dangling 1005 and the wrong owner, and the
  // xrecord an xdata chain of an application nobody registered.
  bytes = ReplaceAll(bytes, "  5\n21\n", "  5\n20\n");
  bytes = ReplaceAll(bytes, "1000\nfirst\n", "1000\nfirst\n1005\nABC\n");
  bytes = ReplaceAll(bytes, "  5\n20\n330\n1F\n100\nAcDbEntity\n  8\n0\n100\nAcDbLine",
                     "  5\n20\n330\n12\n100\nAcDbEntity\n  8\n0\n100\nAcDbLine");
  bytes = ReplaceAll(bytes, " 40\n100.0\n", " 40\n100.0\n1001\nNOBODY\n1000\nx\n");
  DxfDocument doc;
  test::LoadOrFail(doc, bytes);
  const auto issues = doc.Check();
  auto has = [&](const std::string& words) {
    for (const auto& i : issues)
      if (i.description.find(words) != std::string::npos) return i.line;
    return 0u;
  };
  EXPECT_GT(has("duplicate handle 20"), 0u);
  EXPECT_GT(has("missing handle ABC"), 0u);
  EXPECT_GT(has("has owner 12"), 0u);
  EXPECT_GT(has("unregistered application 'NOBODY'"), 0u);
  EXPECT_EQ(issues.size(), 4u);
  // Lines point at the offending tags or records.
  const auto lineOf = [&](const std::string& text) {
    std::uint32_t line = 1;
    std::size_t pos = bytes.find(text);
    for (std::size_t i = 0; i < pos; ++i)
      if (bytes[i] == '\n') ++line;
    return line;
  };
  EXPECT_EQ(has("missing handle ABC"), lineOf("1005\nABC"));
  EXPECT_EQ(has("unregistered"), lineOf("1001\nNOBODY"));
}

TEST(Check, SoundDrawingsHaveNoFindings) {
  for (const char* f : {"r12.dxf", "r2000.dxf", "r2004_gbk.dxf", "r2018.dxf"}) {
    DxfDocument doc;
    test::LoadOrFail(doc, test::FixtureBytes(f));
    const auto issues = doc.Check();
    EXPECT_TRUE(issues.empty()) << f << ": " << (issues.empty() ? "" : issues[0].description);
  }
}

}  // namespace
}  // namespace tav::cad
