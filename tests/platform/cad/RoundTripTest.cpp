// Drawings written by other programs come back byte for byte and tag for tag.
#include <gtest/gtest.h>

#include "platform/base/KvFile.h"
#include "platform/cad/DxfDocument.h"
#include "tests/platform/cad/DxfTestSupport.h"
#include "tests/support/TempDir.h"

namespace tav::cad {
namespace {

using test::FixtureBytes;
using test::TagsOf;

class FixtureRoundTrip : public ::testing::TestWithParam<const char*> {};

TEST_P(FixtureRoundTrip, UnchangedDocumentSavesTheSameBytes) {
  const std::string bytes = FixtureBytes(GetParam());
  ASSERT_FALSE(bytes.empty());
  DxfDocument doc;
  test::LoadOrFail(doc, bytes);
  EXPECT_FALSE(doc.IsModified());
  const std::string out = doc.SaveToString();
  EXPECT_EQ(TagsOf(out), TagsOf(bytes));
  EXPECT_TRUE(out == bytes);
}

TEST_P(FixtureRoundTrip, SaveWritesTheFileAtomicallyInItsVersion) {
  tav::test::TempDir dir;
  DxfDocument doc;
  ASSERT_TRUE(doc.Load(test::FixturePath(GetParam())));
  const std::string path = dir.path() + "out.dxf";
  ASSERT_TRUE(doc.Save(path));
  DxfDocument again;
  ASSERT_TRUE(again.Load(path));
  EXPECT_EQ(again.AcadVer(), doc.AcadVer());
  std::string written;
  ASSERT_TRUE(ReadFileBytes(path, written));
  EXPECT_TRUE(written == FixtureBytes(GetParam()));
}

TEST_P(FixtureRoundTrip, ThingsTheDatabaseDoesNotModelAreKept) {
  DxfDocument doc;
  test::LoadOrFail(doc, FixtureBytes(GetParam()));
  auto entities = CountEntityTypes(doc);
  EXPECT_GT(entities["LINE"], 0u);
  EXPECT_GT(entities["TEXT"], 0u);
  if (doc.Version() != DxfVersion::R12) {
    EXPECT_GT(entities["MTEXT"], 0u);
    EXPECT_GT(entities["HATCH"], 0u);
    EXPECT_GT(entities["DIMENSION"], 0u);
    auto objects = CountObjectTypes(doc);
    EXPECT_GT(objects["LAYOUT"], 0u);
    EXPECT_EQ(objects["TAV_UNKNOWN_OBJECT"], 1u);
  } else {
    EXPECT_GT(entities["VERTEX"], 0u);
  }
  EXPECT_TRUE(doc.Check().empty());
}

INSTANTIATE_TEST_SUITE_P(Fixtures, FixtureRoundTrip,
                         ::testing::Values("r12.dxf", "r2000.dxf", "r2004_gbk.dxf", "r2018.dxf"));

TEST(RoundTrip, VersionsAndCodePagesAreReadFromTheHeader) {
  struct Case {
    const char* file;
    DxfVersion version;
    bool utf8;
  };
  for (const Case& c : {Case{"r12.dxf", DxfVersion::R12, false}, Case{"r2000.dxf", DxfVersion::R2000, false},
                        Case{"r2004_gbk.dxf", DxfVersion::R2004, false}, Case{"r2018.dxf", DxfVersion::R2018, true}}) {
    DxfDocument doc;
    test::LoadOrFail(doc, FixtureBytes(c.file));
    EXPECT_EQ(doc.Version(), c.version) << c.file;
    EXPECT_EQ(doc.UsesUtf8(), c.utf8) << c.file;
  }
  DxfDocument gbk;
  test::LoadOrFail(gbk, FixtureBytes("r2004_gbk.dxf"));
  EXPECT_EQ(gbk.CodePage(), "ANSI_936");
}

}  // namespace
}  // namespace tav::cad
