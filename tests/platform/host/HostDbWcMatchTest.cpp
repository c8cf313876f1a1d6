#include <gtest/gtest.h>

#include "platform/host/KvCommandLine.h"
#include "platform/host/KvWcMatch.h"

namespace {

using tav::host::WcMatch;

TEST(WcMatch, StarAndQuestionMarkMatchSequencesAndSingleCharacters) {
  EXPECT_TRUE(WcMatch("LWPOLYLINE", "*LINE"));
  EXPECT_TRUE(WcMatch("LINE", "*LINE"));
  EXPECT_FALSE(WcMatch("LINES", "*LINE"));
  EXPECT_TRUE(WcMatch("TAV_W", "TAV_?"));
  EXPECT_FALSE(WcMatch("TAV_WW", "TAV_?"));
  EXPECT_TRUE(WcMatch("", "*"));
  EXPECT_FALSE(WcMatch("a", ""));
  EXPECT_TRUE(WcMatch("abcabd", "*ab?"));
  EXPECT_TRUE(WcMatch("水泵", "水?"));  // one Chinese character is one character
  EXPECT_FALSE(WcMatch("水泵-1", "水?"));
}

TEST(WcMatch, CommaSeparatedAlternativesAndCaseFolding) {
  EXPECT_TRUE(WcMatch("insert", "TEXT,LINE,LWPOLYLINE,INSERT"));
  EXPECT_TRUE(WcMatch("LINE", "TEXT,LINE"));
  EXPECT_FALSE(WcMatch("CIRCLE", "TEXT,LINE,LWPOLYLINE,INSERT"));
  EXPECT_TRUE(WcMatch("Qlv_SbbHandle", "QLV_SBB*"));
}

TEST(WcMatch, DigitLetterAndOtherClasses) {
  EXPECT_TRUE(WcMatch("A1", "@#"));
  EXPECT_FALSE(WcMatch("11", "@#"));
  EXPECT_TRUE(WcMatch("a-b", "@.@"));
  EXPECT_FALSE(WcMatch("a1b", "@.@"));
  EXPECT_TRUE(WcMatch("PZ_SBB1", "PZ?SBB#"));
}

TEST(WcMatch, BracketSetsRangesAndNegatedSets) {
  EXPECT_TRUE(WcMatch("B", "[ABC]"));
  EXPECT_FALSE(WcMatch("D", "[ABC]"));
  EXPECT_TRUE(WcMatch("d", "[a-f]"));
  EXPECT_TRUE(WcMatch("D", "[a-f]"));
  EXPECT_FALSE(WcMatch("g", "[a-f]"));
  EXPECT_TRUE(WcMatch("g", "[~a-f]"));
  EXPECT_FALSE(WcMatch("c", "[~a-f]"));
  EXPECT_TRUE(WcMatch("x,", "x[,]"));  // a comma inside a set does not split
  EXPECT_TRUE(WcMatch("[", "["));      // no closing bracket: a plain character
}

TEST(WcMatch, BackquoteEscapesAndLeadingTildeNegates) {
  EXPECT_TRUE(WcMatch("a*b", "a`*b"));
  EXPECT_FALSE(WcMatch("axb", "a`*b"));
  EXPECT_TRUE(WcMatch("a,b", "a`,b"));
  EXPECT_TRUE(WcMatch("#1", "`##"));
  EXPECT_TRUE(WcMatch("CIRCLE", "~TEXT,LINE"));
  EXPECT_FALSE(WcMatch("LINE", "~TEXT,LINE"));
}

TEST(WcMatch, TheCInterfaceAnswersRtnormOrRterror) {
  EXPECT_EQ(acutWcMatch("LWPOLYLINE", "LINE,LWPOLYLINE"), RTNORM);
  EXPECT_EQ(acutWcMatch("ARC", "LINE,LWPOLYLINE"), RTERROR);
  EXPECT_EQ(acutWcMatch(nullptr, "*"), RTERROR);
}

}  // namespace
