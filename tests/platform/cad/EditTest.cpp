// Changes rewrite only the tags they touch; everything else is written as read.
#include <gtest/gtest.h>

#include "platform/cad/DxfDocument.h"
#include "platform/cad/DxfViews.h"
#include "tests/platform/cad/DxfTestSupport.h"

namespace tav::cad {
namespace {

using test::FixtureBytes;
using test::TagText;
using test::TagsOf;

// Index of the value tag of header variable `name`.
std::size_t HeaderValueIndex(const std::vector<TagText>& tags, const std::string& name) {
  for (std::size_t i = 0; i + 1 < tags.size(); ++i)
    if (tags[i].code == 9 && tags[i].value == name) return i + 1;
  return SIZE_MAX;
}

// Index of the ENDSEC that closes the ENTITIES section.
std::size_t EntitiesEnd(const std::vector<TagText>& tags) {
  bool inEntities = false;
  for (std::size_t i = 0; i < tags.size(); ++i) {
    if (tags[i].code == 2 && tags[i].value == "ENTITIES") inEntities = true;
    if (inEntities && tags[i].code == 0 && tags[i].value == "ENDSEC") return i;
  }
  return SIZE_MAX;
}

class EditFixture : public ::testing::TestWithParam<const char*> {};

TEST_P(EditFixture, ChangingOneTextAndAppendingOneLineChangesOnlyThoseTags) {
  const std::string bytes = FixtureBytes(GetParam());
  const std::vector<TagText> before = TagsOf(bytes);
  DxfDocument doc;
  test::LoadOrFail(doc, bytes);

  DxfObject textObj;
  for (DxfObject e : doc.Entities())
    if (e.Type() == "TEXT") textObj = e;
  ASSERT_TRUE(textObj);
  const std::size_t textTagIndex = textObj.Find(1);
  // Position of that value tag in the file: the record's first line tells where it starts.
  const std::size_t textFileIndex = (textObj.Line() - 1) / 2 + textTagIndex;
  ASSERT_EQ(before[textFileIndex].code, 1);

  const Handle oldSeed = doc.HandleSeed();
  ASSERT_TRUE(DxfText(textObj).SetText("Changed text"));
  DxfObject app = doc.RegisterApp("QLV_SBBHANDLE");  // already registered in every fixture
  ASSERT_TRUE(app);
  DxfObject line = doc.AddEntity("LINE");
  ASSERT_TRUE(line);
  EXPECT_EQ(line.GetHandle(), doc.Version() == DxfVersion::R12 && !doc.HasHandles() ? 0u : oldSeed);
  ASSERT_TRUE(DxfLine(line).SetEnd({10, 20, 0}));
  ASSERT_TRUE(line.SetXData(DxfXData{"QLV_SBBHANDLE", {DxfXItem::HandleRef(0x20)}}));

  const std::vector<TagText> after = TagsOf(doc.SaveToString());
  // Expected: the original tags with the text value replaced, the new handle seed, and the line's
  // tags before the end of ENTITIES.
  std::vector<TagText> expected = before;
  expected[textFileIndex].value = "Changed text";
  const std::size_t seedIndex = HeaderValueIndex(before, "$HANDSEED");
  if (seedIndex != SIZE_MAX && doc.HasHandles()) expected[seedIndex].value = FormatHandle(oldSeed + 1);
  std::vector<TagText> lineTags;
  for (const DxfTag& t : line.Tags()) lineTags.push_back(TagText{t.code, t.value});
  const std::size_t end = EntitiesEnd(before);
  ASSERT_NE(end, SIZE_MAX);
  expected.insert(expected.begin() + static_cast<std::ptrdiff_t>(end), lineTags.begin(), lineTags.end());
  EXPECT_EQ(after, expected);

  // And the changes read back.
  DxfDocument again;
  test::LoadOrFail(again, doc.SaveToString());
  bool found = false;
  for (DxfObject e : again.Entities())
    if (e.Type() == "TEXT" && DxfText(e).Text() == "Changed text") found = true;
  EXPECT_TRUE(found);
  DxfObject last = again.Entities().back();
  EXPECT_EQ(last.Type(), "LINE");
  EXPECT_EQ(DxfLine(last).End(), (DxfPoint{10, 20, 0}));
  DxfXData x;
  ASSERT_TRUE(last.GetXData("QLV_SBBHANDLE", x));
  ASSERT_EQ(x.items.size(), 1u);
  EXPECT_EQ(x.items[0].text, "20");
}

INSTANTIATE_TEST_SUITE_P(Fixtures, EditFixture, ::testing::Values("r12.dxf", "r2000.dxf", "r2004_gbk.dxf", "r2018.dxf"));

TEST(Edit, NewTagsFollowTheFilesLineEnds) {
  // r2000.dxf is written with CR LF.
  DxfDocument doc;
  test::LoadOrFail(doc, FixtureBytes("r2000.dxf"));
  DxfLine(doc.AddEntity("LINE")).SetStart({1, 2, 3});
  const std::string out = doc.SaveToString();
  for (std::size_t i = 0; i < out.size(); ++i)
    if (out[i] == '\n') {
      ASSERT_TRUE(i > 0 && out[i - 1] == '\r') << "bare LF at byte " << i;
    }
}

TEST(Edit, GbkTextIsDecodedAndChangedTextIsWrittenInTheCodePage) {
  const std::string bytes = FixtureBytes("r2004_gbk.dxf");
  DxfDocument doc;
  test::LoadOrFail(doc, bytes);
  DxfObject textObj;
  for (DxfObject e : doc.Entities())
    if (e.Type() == "TEXT") textObj = e;
  ASSERT_TRUE(textObj);
  // The fixture holds 设备名称 in GBK and a check mark that GBK lacks, as \U+2713.
  EXPECT_EQ(DxfText(textObj).Text(), "设备名称 ✓");
  EXPECT_NE(textObj.TagAt(textObj.Find(1)).raw.find("\\U+2713"), std::string_view::npos);

  ASSERT_TRUE(DxfText(textObj).SetText("水泵 ✓"));
  const std::string raw(textObj.TagAt(textObj.Find(1)).raw);
  // GBK bytes of 水泵 (CB AE B1 C3), the check mark escaped.
  EXPECT_EQ(raw, "\xCB\xAE\xB1\xC3 \\U+2713");
  DxfDocument again;
  test::LoadOrFail(again, doc.SaveToString());
  bool found = false;
  for (DxfObject e : again.Entities())
    if (e.Type() == "TEXT") found = DxfText(e).Text() == "水泵 ✓";
  EXPECT_TRUE(found);
}

TEST(Edit, Utf8DrawingsStoreChangedTextAsUtf8) {
  DxfDocument doc;
  test::LoadOrFail(doc, FixtureBytes("r2018.dxf"));
  DxfObject textObj;
  for (DxfObject e : doc.Entities())
    if (e.Type() == "TEXT") textObj = e;
  ASSERT_TRUE(textObj);
  EXPECT_EQ(DxfText(textObj).Text(), "设备名称 ✓");
  ASSERT_TRUE(DxfText(textObj).SetText("水泵"));
  EXPECT_EQ(textObj.TagAt(textObj.Find(1)).raw, "水泵");
}

TEST(Edit, SettingTheSameValueLeavesTheDocumentUnchanged) {
  DxfDocument doc;
  test::LoadOrFail(doc, test::SmallR2000());
  DxfLine line(doc.Get(0x20));
  ASSERT_TRUE(line.IsValid());
  ASSERT_TRUE(line.SetStart({1, 2, 0}));
  ASSERT_TRUE(DxfText(doc.Get(0x21)).SetText("hello"));
  EXPECT_FALSE(doc.IsModified());
  EXPECT_EQ(doc.SaveToString(), test::SmallR2000());
}

TEST(Edit, TextThatCannotBeStoredIsRefusedWithoutChange) {
  DxfDocument doc;
  test::LoadOrFail(doc, test::SmallR2000());
  DxfText text(doc.Get(0x21));
  EXPECT_FALSE(text.SetText(std::string("bad \xFF utf-8")));
  EXPECT_EQ(text.Text(), "hello");
  EXPECT_FALSE(doc.IsModified());
}

}  // namespace
}  // namespace tav::cad
