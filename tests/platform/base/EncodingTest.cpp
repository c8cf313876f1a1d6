#include <gtest/gtest.h>

#include "platform/base/KvEncoding.h"

using namespace tav;

namespace {
// "给水管线" in GBK.
const std::string kGbk = "\xB8\xF8\xCB\xAE\xB9\xDC\xCF\xDF";
const std::string kUtf8 = "给水管线";
}  // namespace

TEST(Encoding, DetectsBomUtf8AndGbk) {
  EXPECT_EQ(DetectTextFormat("\xEF\xBB\xBF*A,b\r\n").encoding, TextEncoding::Utf8);
  EXPECT_TRUE(DetectTextFormat("\xEF\xBB\xBF*A,b\r\n").bom);
  EXPECT_TRUE(DetectTextFormat("\xEF\xBB\xBF*A,b\r\n").crlf);
  EXPECT_EQ(DetectTextFormat(kUtf8 + "\n").encoding, TextEncoding::Utf8);
  EXPECT_FALSE(DetectTextFormat(kUtf8 + "\n").crlf);
  EXPECT_EQ(DetectTextFormat("*X," + kGbk + "\r\n").encoding, TextEncoding::Gbk);
  EXPECT_EQ(DetectTextFormat(""), TextFormat{});
}

TEST(Encoding, RejectsMalformedUtf8) {
  EXPECT_TRUE(IsValidUtf8("plain ascii"));
  EXPECT_TRUE(IsValidUtf8(kUtf8));
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong '/'
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(IsValidUtf8("\xE7\xBB"));          // truncated
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
}

TEST(Encoding, GbkRoundTripIsByteExact) {
  std::string utf8, back;
  ASSERT_TRUE(GbkToUtf8(kGbk, utf8));
  EXPECT_EQ(utf8, kUtf8);
  ASSERT_TRUE(Utf8ToGbk(utf8, back));
  EXPECT_EQ(back, kGbk);

  TextFormat gbk{TextEncoding::Gbk, false, true};
  std::string decoded, encoded;
  ASSERT_TRUE(DecodeText("*TAV_W," + kGbk + "\r\n", gbk, decoded));
  ASSERT_TRUE(EncodeText(decoded, gbk, encoded));
  EXPECT_EQ(encoded, "*TAV_W," + kGbk + "\r\n");
}

TEST(Encoding, InvalidGbkReportsOffset) {
  std::string out, error;
  EXPECT_FALSE(GbkToUtf8("ab\xFF", out, &error));
  EXPECT_NE(error.find("offset 2"), std::string::npos) << error;
}

TEST(Encoding, BomIsRemovedOnReadAndRestoredOnWrite) {
  TextFormat f = DetectTextFormat("\xEF\xBB\xBF" "abc");
  std::string text, bytes;
  ASSERT_TRUE(DecodeText("\xEF\xBB\xBF" "abc", f, text));
  EXPECT_EQ(text, "abc");
  ASSERT_TRUE(EncodeText(text, f, bytes));
  EXPECT_EQ(bytes, "\xEF\xBB\xBF" "abc");
}

TEST(Encoding, CodePointsWalkAndAppend) {
  std::string s;
  AppendUtf8(s, U'给');
  AppendUtf8(s, U'A');
  AppendUtf8(s, 0x1F600);
  size_t pos = 0;
  EXPECT_EQ(NextCodePoint(s, pos), U'给');
  EXPECT_EQ(NextCodePoint(s, pos), U'A');
  EXPECT_EQ(NextCodePoint(s, pos), char32_t(0x1F600));
  EXPECT_EQ(pos, s.size());
  std::string bad = "\xFF";
  pos = 0;
  EXPECT_EQ(NextCodePoint(bad, pos), char32_t(0xFFFD));
  EXPECT_EQ(pos, 1u);
}
