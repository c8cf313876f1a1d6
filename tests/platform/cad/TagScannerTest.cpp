// The tag scanner: codes and values exactly as written, line ends, faults with their lines.
#include <gtest/gtest.h>

#include "platform/cad/DxfTags.h"

namespace tav::cad {
namespace {

TEST(TagScanner, KeepsValuesExactlyAsWrittenWithLfAndCrLf) {
  const std::string lf = "  0\nSECTION\n  2\n  HEADER  \n999\n\n";
  const std::string crlf = "  0\r\nSECTION\r\n  2\r\n  HEADER  \r\n999\r\n\r\n";
  for (const std::string& bytes : {lf, crlf}) {
    std::vector<DxfRawTag> tags;
    ASSERT_TRUE(ScanDxfTags(bytes, tags));
    ASSERT_EQ(tags.size(), 3u);
    EXPECT_EQ(tags[0].code, 0);
    EXPECT_EQ(bytes.substr(tags[1].value(), tags[1].length), "  HEADER  ");
    EXPECT_EQ(tags[2].code, 999);
    EXPECT_EQ(tags[2].length, 0u);
  }
}

TEST(TagScanner, AcceptsLeftAlignedAndSignedCodesAndTrailingBlankLines) {
  const std::string bytes = "0\nSECTION\n-1\nx\n1071\n5\n\n\n";
  std::vector<DxfRawTag> tags;
  ASSERT_TRUE(ScanDxfTags(bytes, tags));
  ASSERT_EQ(tags.size(), 3u);
  EXPECT_EQ(tags[1].code, -1);
  EXPECT_EQ(tags[2].code, 1071);
}

TEST(TagScanner, NamesTheLineOfANonNumericGroupCode) {
  std::vector<DxfRawTag> tags;
  DxfResult r = ScanDxfTags("  0\nSECTION\n  2\nHEADER\n 1x\nvalue\n", tags);
  EXPECT_EQ(r.status, DxfStatus::BadGroupCode);
  EXPECT_EQ(r.line, 5u);
  EXPECT_NE(r.Message().find("line 5"), std::string::npos);
  EXPECT_NE(r.Message().find("1x"), std::string::npos);
}

TEST(TagScanner, ReportsAnOddLineCountAsTruncated) {
  std::vector<DxfRawTag> tags;
  DxfResult r = ScanDxfTags("  0\nSECTION\n  2\n", tags);
  EXPECT_EQ(r.status, DxfStatus::Truncated);
  EXPECT_EQ(r.line, 3u);
}

TEST(TagScanner, RefusesEmptyAndBinaryInput) {
  std::vector<DxfRawTag> tags;
  EXPECT_EQ(ScanDxfTags("", tags).status, DxfStatus::Empty);
  EXPECT_EQ(ScanDxfTags("\n\n", tags).status, DxfStatus::Empty);
  std::string binary("AutoCAD Binary DXF\r\n\x1a\0\0\0", 26);
  EXPECT_EQ(ScanDxfTags(binary, tags).status, DxfStatus::Binary);
}

TEST(TagValues, HandlesAreHexUpToSixtyFourBits) {
  Handle h;
  EXPECT_TRUE(ParseHandle("1f", h));
  EXPECT_EQ(h, 0x1Fu);
  EXPECT_EQ(FormatHandle(0x1F), "1F");
  EXPECT_TRUE(ParseHandle("FFFFFFFFFFFFFFFF", h));
  EXPECT_FALSE(ParseHandle("10000000000000000", h));
  EXPECT_FALSE(ParseHandle("G1", h));
  EXPECT_FALSE(ParseHandle("", h));
}

TEST(TagValues, DoublesReadBackExactlyAndAlwaysCarryAPoint) {
  EXPECT_EQ(FormatDxfDouble(1), "1.0");
  EXPECT_EQ(FormatDxfDouble(0), "0.0");
  EXPECT_EQ(FormatDxfDouble(-2.5), "-2.5");
  for (double v : {0.1, 1e-9, 123456789.125, 1e20, -3.0000000000000004}) {
    std::string text = FormatDxfDouble(v);
    EXPECT_EQ(text.find('e'), std::string::npos) << text;
    EXPECT_EQ(std::stod(text), v) << text;
  }
}

TEST(TagValues, GroupCodeKindsFollowTheReference) {
  EXPECT_EQ(ValueKindOf(1), DxfValueKind::String);
  EXPECT_EQ(ValueKindOf(10), DxfValueKind::Double);
  EXPECT_EQ(ValueKindOf(70), DxfValueKind::Int16);
  EXPECT_EQ(ValueKindOf(90), DxfValueKind::Int32);
  EXPECT_EQ(ValueKindOf(330), DxfValueKind::Handle);
  EXPECT_EQ(ValueKindOf(1005), DxfValueKind::Handle);
  EXPECT_EQ(ValueKindOf(1071), DxfValueKind::Int32);
  EXPECT_EQ(ValueKindOf(310), DxfValueKind::Binary);
  EXPECT_TRUE(IsPointCode(1011));
  EXPECT_FALSE(IsPointCode(20));
}

}  // namespace
}  // namespace tav::cad
