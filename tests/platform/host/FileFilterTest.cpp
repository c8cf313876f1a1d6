#include <gtest/gtest.h>

#include "platform/host/KvUserServices.h"

namespace {

TEST(FileFilter, ParsesTheBundleFilters) {
  std::vector<KvFileFilter> filters;
  ASSERT_TRUE(KvParseFileFilter("配置文档(*.allcfg)|*.allcfg||", filters));
  ASSERT_EQ(filters.size(), 1u);
  EXPECT_EQ(filters[0].description, "配置文档(*.allcfg)");
  EXPECT_EQ(filters[0].patterns, std::vector<std::string>{"*.allcfg"});
  ASSERT_TRUE(KvParseFileFilter("配置文件 (*.allcfg)|*.allcfg||", filters));
  EXPECT_EQ(filters[0].description, "配置文件 (*.allcfg)");
}

TEST(FileFilter, ParsesSeveralEntriesAndPatternLists) {
  std::vector<KvFileFilter> filters;
  ASSERT_TRUE(KvParseFileFilter("线型文件(*.LIN)|*.LIN|图形|*.dxf; *.dwg|所有文件|*.*||", filters));
  ASSERT_EQ(filters.size(), 3u);
  EXPECT_EQ(filters[1].patterns, (std::vector<std::string>{"*.dxf", "*.dwg"}));
  EXPECT_EQ(filters[2].description, "所有文件");
}

TEST(FileFilter, AcceptsAMissingEndAndIgnoresWhatFollowsIt) {
  std::vector<KvFileFilter> filters;
  ASSERT_TRUE(KvParseFileFilter("A|*.a", filters));
  EXPECT_EQ(filters.size(), 1u);
  ASSERT_TRUE(KvParseFileFilter("A|*.a|", filters));
  EXPECT_EQ(filters.size(), 1u);
  ASSERT_TRUE(KvParseFileFilter("A|*.a||B|*.b||", filters));
  EXPECT_EQ(filters.size(), 1u);
}

TEST(FileFilter, RefusesMalformedFiltersWithAReason) {
  std::vector<KvFileFilter> filters;
  std::string error;
  EXPECT_FALSE(KvParseFileFilter("", filters, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(KvParseFileFilter("A|*.a|B||", filters, &error));
  EXPECT_NE(error.find("without patterns"), std::string::npos);
  EXPECT_TRUE(filters.empty());
  EXPECT_FALSE(KvParseFileFilter("|*.a||", filters, &error));
  EXPECT_FALSE(KvParseFileFilter("A| ; ||", filters, &error));
}

TEST(FileFilter, PatternsMatchNamesIgnoringCase) {
  EXPECT_TRUE(KvMatchFilePattern("/home/u/acad.lin", {"*.LIN"}));
  EXPECT_TRUE(KvMatchFilePattern("澈岩建筑配置.allcfg", {"*.txt", "*.allcfg"}));
  EXPECT_FALSE(KvMatchFilePattern("config.allcfg.bak", {"*.allcfg"}));
  EXPECT_TRUE(KvMatchFilePattern("a1.x", {"a?.x"}));
  EXPECT_FALSE(KvMatchFilePattern("a12.x", {"a?.x"}));
  EXPECT_TRUE(KvMatchFilePattern("noext", {"*.*"}));
  EXPECT_FALSE(KvMatchFilePattern("/dir.lin/readme", {"*.lin"}));
}

}  // namespace
