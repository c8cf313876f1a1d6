// Malformed drawings give a clear error naming the line, and leave an empty document.
#include <gtest/gtest.h>

#include "platform/base/KvStrings.h"
#include "platform/cad/DxfDocument.h"
#include "tests/platform/cad/DxfTestSupport.h"

namespace tav::cad {
namespace {

using test::SmallR2000;

// The 1-based line of the first line equal to `text` (after `from` lines).
std::uint32_t LineOf(const std::string& bytes, const std::string& text, std::uint32_t from = 0) {
  std::uint32_t line = 1;
  std::size_t pos = 0;
  while (pos <= bytes.size()) {
    std::size_t nl = bytes.find('\n', pos);
    std::string l = bytes.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
    if (line > from && l == text) return line;
    if (nl == std::string::npos) break;
    pos = nl + 1;
    ++line;
  }
  return 0;
}

DxfResult LoadBytes(const std::string& bytes) {
  DxfDocument doc;
  DxfResult r = doc.LoadFromBytes(bytes);
  if (!r) {
    EXPECT_TRUE(doc.AllObjects().empty()) << "a failed load leaves an empty document";
  }
  return r;
}

TEST(MalformedInput, TruncatedInsideASectionNamesTheSection) {
  std::string bytes = SmallR2000();
  bytes.resize(bytes.find("  0\nTEXT"));
  DxfResult r = LoadBytes(bytes);
  EXPECT_EQ(r.status, DxfStatus::BadStructure);
  EXPECT_NE(r.description.find("ENTITIES"), std::string::npos) << r.Message();
  EXPECT_NE(r.description.find("ENDSEC"), std::string::npos) << r.Message();
  EXPECT_EQ(r.line, LineOf(bytes, "ENTITIES") - 3);  // the SECTION line
}

TEST(MalformedInput, TruncatedInsideATagIsAnOddLineCount) {
  std::string bytes = SmallR2000();
  bytes.resize(bytes.find("hello"));
  DxfResult r = LoadBytes(bytes);
  EXPECT_EQ(r.status, DxfStatus::Truncated);
  EXPECT_EQ(r.line, LineOf(bytes, "  1", LineOf(bytes, "TEXT")));
}

TEST(MalformedInput, NonNumericGroupCode) {
  std::string bytes = ReplaceAll(SmallR2000(), " 96\n7\n", " 9x\n7\n");
  DxfResult r = LoadBytes(bytes);
  EXPECT_EQ(r.status, DxfStatus::BadGroupCode);
  EXPECT_EQ(r.line, LineOf(bytes, " 9x"));
  EXPECT_NE(r.Message().find("line " + std::to_string(r.line)), std::string::npos);
}

TEST(MalformedInput, SectionWithoutEndsec) {
  std::string bytes = SmallR2000();
  const std::size_t at = bytes.find("  0\nENDSEC\n  0\nSECTION\n  2\nBLOCKS");
  bytes.erase(at, std::string("  0\nENDSEC\n").size());
  DxfResult r = LoadBytes(bytes);
  EXPECT_EQ(r.status, DxfStatus::BadStructure);
  EXPECT_NE(r.description.find("TABLES"), std::string::npos) << r.Message();
}

TEST(MalformedInput, EntityOutsideAnySection) {
  std::string bytes = "  0\nLINE\n  8\n0\n" + SmallR2000();
  DxfResult r = LoadBytes(bytes);
  EXPECT_EQ(r.status, DxfStatus::BadStructure);
  EXPECT_EQ(r.line, 1u);
}

TEST(MalformedInput, HandleNotBelowTheHandleSeed) {
  std::string bytes = ReplaceAll(SmallR2000(), "  5\n21\n", "  5\n200\n");
  DxfResult r = LoadBytes(bytes);
  EXPECT_EQ(r.status, DxfStatus::BadHandle);
  EXPECT_EQ(r.line, LineOf(bytes, "200"));
  EXPECT_NE(r.description.find("$HANDSEED"), std::string::npos);
  // The check tool loads such files to report them.
  DxfDocument doc;
  DxfLoadOptions lenient;
  lenient.checkHandleSeed = false;
  EXPECT_TRUE(doc.LoadFromBytes(bytes, lenient));
  EXPECT_GT(doc.HandleSeed(), 0x200u);
}

TEST(MalformedInput, HandleThatIsNotHex) {
  std::string bytes = ReplaceAll(SmallR2000(), "  5\n21\n", "  5\nZ1\n");
  DxfResult r = LoadBytes(bytes);
  EXPECT_EQ(r.status, DxfStatus::BadHandle);
  EXPECT_EQ(r.line, LineOf(bytes, "Z1"));
}

TEST(MalformedInput, InvalidUtf8InAnR2018Drawing) {
  std::string bytes = ReplaceAll(SmallR2000(), "AC1015", "AC1032");
  bytes = ReplaceAll(bytes, "hello", "he\xC3\x28llo");
  DxfResult r = LoadBytes(bytes);
  EXPECT_EQ(r.status, DxfStatus::BadEncoding);
  EXPECT_EQ(r.line, LineOf(bytes, "he\xC3\x28llo"));
  EXPECT_NE(r.description.find("UTF-8"), std::string::npos);
}

TEST(MalformedInput, InvalidGbkInAnAnsi936Drawing) {
  std::string bytes = ReplaceAll(SmallR2000(), "ANSI_1252", "ANSI_936");
  // A lead byte followed by a line end is no GBK character.
  bytes = ReplaceAll(bytes, "hello", "hel\xB1");
  DxfResult r = LoadBytes(bytes);
  EXPECT_EQ(r.status, DxfStatus::BadEncoding);
  EXPECT_EQ(r.line, LineOf(bytes, "hel\xB1"));
  EXPECT_NE(r.description.find("GBK"), std::string::npos);
  // The same bytes are fine in a Western code page.
  EXPECT_TRUE(LoadBytes(ReplaceAll(bytes, "ANSI_936", "ANSI_1252")));
}

TEST(MalformedInput, MissingFileIsAnIoError) {
  DxfDocument doc;
  DxfResult r = doc.Load("/nonexistent/folder/drawing.dxf");
  EXPECT_EQ(r.status, DxfStatus::IoError);
  EXPECT_FALSE(r.description.empty());
}

TEST(MalformedInput, EveryPrefixOfADrawingLoadsOrFailsCleanly) {
  const std::string bytes = test::FixtureBytes("r2000.dxf");
  for (std::size_t n = 0; n < bytes.size(); n += 97) {
    DxfDocument doc;
    DxfResult r = doc.LoadFromBytes(bytes.substr(0, n));
    if (!r) {
      EXPECT_FALSE(r.description.empty());
    }
  }
}

}  // namespace
}  // namespace tav::cad
