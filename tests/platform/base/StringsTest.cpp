#include <gtest/gtest.h>

#include "platform/base/KvStrings.h"

using namespace tav;

TEST(Strings, CaseFoldingTouchesOnlyAsciiLetters) {
  EXPECT_TRUE(EqualsNoCase("Pipe_Sys_Set", "PIPE_SYS_SET"));
  EXPECT_TRUE(EqualsNoCase("给水a", "给水A"));
  EXPECT_FALSE(EqualsNoCase("给水", "热水"));
  EXPECT_FALSE(EqualsNoCase("abc", "abcd"));
  EXPECT_LT(CompareNoCase("abc", "ABD"), 0);
  EXPECT_GT(CompareNoCase("b", "A"), 0);
  EXPECT_LT(CompareNoCase("ab", "ABC"), 0);
  // Bytes above 0x7F order after ASCII, as unsigned bytes.
  EXPECT_GT(CompareNoCase("\xE4", "z"), 0);
  EXPECT_EQ(ToUpperAscii("tav_给水"), "TAV_给水");
}

TEST(Strings, TrimAndSplitKeepInnerContent) {
  EXPECT_EQ(Trim("  a b \r\n"), "a b");
  EXPECT_EQ(Trim(" \t "), "");
  EXPECT_EQ(TrimRight("优先级 "), "优先级");
  EXPECT_EQ(Split("a,,b", ','), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(Split("", ','), (std::vector<std::string>{""}));
  EXPECT_EQ(Join({"TAV", "PIPE_SYS_SET"}, "\\"), "TAV\\PIPE_SYS_SET");
  EXPECT_EQ(ReplaceAll("a\\b\\c", "\\", "/"), "a/b/c");
  EXPECT_EQ(Utf8Length("给水a"), 3u);
}

TEST(Strings, CutStrToArrDropsEmptyPieces) {
  std::vector<std::string> parts{"stale"};
  EXPECT_EQ(CutStrToArr("DN15;;DN20;", ";", parts), 2);
  EXPECT_EQ(parts, (std::vector<std::string>{"DN15", "DN20"}));
  EXPECT_EQ(CutStrToArr("a<>b<>c", "<>", parts), 3);
  EXPECT_EQ(parts.back(), "c");
  EXPECT_EQ(CutStrToArr("", ";", parts), 0);
  EXPECT_TRUE(parts.empty());
  EXPECT_EQ(CutStrToArr("whole", "", parts), 1);
}
