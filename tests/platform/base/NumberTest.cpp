#include <gtest/gtest.h>

#include <cmath>

#include "platform/base/KvNumber.h"

using namespace tav;

TEST(Numbers, ShortestTextReadsBackExactly) {
  EXPECT_EQ(FormatShortest(100), "100");
  EXPECT_EQ(FormatShortest(0.1), "0.1");
  EXPECT_EQ(FormatShortest(-2.5), "-2.5");
  EXPECT_EQ(FormatShortest(-0.0), "0");
  for (double v : {1.0 / 3.0, 2.0 / 3.0, 1e-7, 123456789.123, M_PI}) {
    double back = 0;
    ASSERT_TRUE(ParseDouble(FormatShortest(v), back));
    EXPECT_EQ(back, v);
  }
}

TEST(Numbers, PrintfGKeepsSixDigits) {
  EXPECT_EQ(FormatG(1.0 / 3.0), "0.333333");
  EXPECT_EQ(FormatG(3000), "3000");
  EXPECT_EQ(FormatG(1e6), "1e+06");
  EXPECT_NE(FormatG(1.0 / 3.0), FormatShortest(1.0 / 3.0));
}

TEST(Numbers, ParsingWantsTheWholeText) {
  double d = 0;
  long long n = 0;
  EXPECT_TRUE(ParseDouble(" 2.5 ", d));
  EXPECT_EQ(d, 2.5);
  EXPECT_TRUE(ParseDouble("+3", d));
  EXPECT_FALSE(ParseDouble("2.5mm", d));
  EXPECT_FALSE(ParseDouble("", d));
  EXPECT_TRUE(ParseLong("-42", n));
  EXPECT_EQ(n, -42);
  EXPECT_FALSE(ParseLong("4.2", n));
  EXPECT_FALSE(ParseLong("x", n));
}
