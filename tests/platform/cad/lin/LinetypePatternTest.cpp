#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

#include "platform/cad/lin/KvLinetypeDefinition.h"

using namespace tav;

namespace {

KvLinetypeDefinition Parse(std::string_view line) {
  KvLinetypeDefinition d;
  std::string error;
  EXPECT_TRUE(ParseLinetypePattern(line, d, error)) << line << ": " << error;
  return d;
}

std::string ErrorOf(std::string_view line) {
  KvLinetypeDefinition d;
  std::string error;
  EXPECT_FALSE(ParseLinetypePattern(line, d, error)) << line << " was accepted";
  return error;
}

}  // namespace

// ---------------------------------------------------------------------------------------------------
// Simple patterns

TEST(LinetypePatternSimple, ReadsDashesGapsAndDots) {
  const auto d = Parse("A,.5,-.25,0,-.25");
  ASSERT_EQ(d.numDashes(), 4);
  EXPECT_DOUBLE_EQ(d.dashLengthAt(0), 0.5);
  EXPECT_DOUBLE_EQ(d.dashLengthAt(1), -0.25);
  EXPECT_DOUBLE_EQ(d.dashLengthAt(2), 0.0);
  EXPECT_DOUBLE_EQ(d.patternLength(), 1.0);
  EXPECT_EQ(d.elementFlagsAt(0), 0);
  EXPECT_EQ(d.textAt(0), "");
}

TEST(LinetypePatternSimple, AcceptsLowerCaseBlanksAndLineEnd) {
  const auto d = Parse("  a , 12.7 ,\t-6.35 \r\n");
  ASSERT_EQ(d.numDashes(), 2);
  EXPECT_EQ(d.alignment, 'A');
  EXPECT_DOUBLE_EQ(d.dashLengthAt(1), -6.35);
}

TEST(LinetypePatternSimple, AcceptsTwelveDashesButNotThirteen) {
  EXPECT_EQ(Parse("A,1,-1,1,-1,1,-1,1,-1,1,-1,1,-1").numDashes(), 12);
  EXPECT_NE(ErrorOf("A,1,-1,1,-1,1,-1,1,-1,1,-1,1,-1,1").find("more than 12"), std::string::npos);
}

TEST(LinetypePatternSimple, OutOfRangeAccessorsGiveEmptyValues) {
  const auto d = Parse("A,1,-1");
  EXPECT_DOUBLE_EQ(d.dashLengthAt(5), 0.0);
  EXPECT_DOUBLE_EQ(d.dashLengthAt(-1), 0.0);
  EXPECT_EQ(d.textAt(7), "");
  EXPECT_EQ(d.shapeOffsetAt(9), KvLinetypeOffset{});
}

// ---------------------------------------------------------------------------------------------------
// Complex elements

TEST(LinetypePatternElements, TextAttachesToTheDashBeforeIt) {
  const auto d = Parse("A,50,0,[\"W\",Standard,S=2,R=0,X=1.1,Y=-1],-4");
  ASSERT_EQ(d.numDashes(), 3);
  EXPECT_DOUBLE_EQ(d.dashLengthAt(0), 50);
  EXPECT_DOUBLE_EQ(d.dashLengthAt(1), 0);
  EXPECT_DOUBLE_EQ(d.dashLengthAt(2), -4);
  EXPECT_FALSE(d.hasTextAt(0));
  EXPECT_TRUE(d.hasTextAt(1));
  EXPECT_FALSE(d.hasTextAt(2));
  EXPECT_EQ(d.textAt(1), "W");
  EXPECT_EQ(d.shapeStyleAt(1), "Standard");
  EXPECT_DOUBLE_EQ(d.shapeScaleAt(1), 2);
  EXPECT_DOUBLE_EQ(d.shapeRotationAt(1), 0);
  EXPECT_EQ(d.shapeOffsetAt(1), (KvLinetypeOffset{1.1, -1}));
  EXPECT_EQ(d.elementFlagsAt(1), 2);
  EXPECT_DOUBLE_EQ(d.patternLength(), 54);
}

TEST(LinetypePatternElements, RotationIsStoredInRadiansWithUnitSuffixes) {
  EXPECT_DOUBLE_EQ(Parse("A,1,[\"T\",S,R=90]").shapeRotationAt(0), std::numbers::pi / 2);
  EXPECT_DOUBLE_EQ(Parse("A,1,[\"T\",S,R=90d]").shapeRotationAt(0), std::numbers::pi / 2);
  EXPECT_DOUBLE_EQ(Parse("A,1,[\"T\",S,R=0.5r]").shapeRotationAt(0), 0.5);
  EXPECT_DOUBLE_EQ(Parse("A,1,[\"T\",S,R=100g]").shapeRotationAt(0), std::numbers::pi / 2);
  EXPECT_DOUBLE_EQ(Parse("A,1,[\"T\",S,r=-45]").shapeRotationAt(0), -std::numbers::pi / 4);
}

TEST(LinetypePatternElements, RecordsTheRotationKindAsDxfFlags) {
  const auto rel = Parse("A,1,[\"T\",S,R=10]");
  const auto abs = Parse("A,1,[\"T\",S,A=10]");
  const auto up = Parse("A,1,[\"T\",S,U=10]");
  EXPECT_EQ(rel.shapeRotationKindAt(0), LinetypeRotationKind::Relative);
  EXPECT_EQ(abs.shapeRotationKindAt(0), LinetypeRotationKind::Absolute);
  EXPECT_EQ(up.shapeRotationKindAt(0), LinetypeRotationKind::Upright);
  EXPECT_EQ(rel.elementFlagsAt(0), 2);
  EXPECT_EQ(abs.elementFlagsAt(0), 3);
  EXPECT_EQ(up.elementFlagsAt(0), 10);
}

TEST(LinetypePatternElements, ElementDefaultsWhenParametersAreOmitted) {
  const auto d = Parse("A,.5,-.2,[\"HW\",STANDARD],-.2");
  EXPECT_DOUBLE_EQ(d.shapeScaleAt(1), 1.0);
  EXPECT_DOUBLE_EQ(d.shapeRotationAt(1), 0.0);
  EXPECT_EQ(d.shapeRotationKindAt(1), LinetypeRotationKind::Relative);
  EXPECT_EQ(d.shapeOffsetAt(1), KvLinetypeOffset{});
  EXPECT_DOUBLE_EQ(d.shapeScaleAt(0), 0.0);  // the plain dash carries nothing
}

TEST(LinetypePatternElements, QuotedTextMayHoldCommasQuotesAndBrackets) {
  EXPECT_EQ(Parse("A,50,0,[\"a,b\",Standard,S=2],-4").textAt(1), "a,b");
  EXPECT_EQ(Parse("A,50,0,[\"a\"b\",Standard,S=2],-4").textAt(1), "a\"b");
  EXPECT_EQ(Parse("A,50,0,[\"a\",b\",Standard,S=2],-4").textAt(1), "a\",b");
  EXPECT_EQ(Parse("A,50,0,[\"[x]\",Standard],-4").textAt(1), "[x]");
  EXPECT_EQ(Parse("A,50,0,[\"给水\",Standard],-4").textAt(1), "给水");
  const auto two = Parse("A,1,[\"a\",S],-1,[\"b\",T,S=3],-1");
  EXPECT_EQ(two.textAt(0), "a");
  EXPECT_EQ(two.textAt(1), "b");
  EXPECT_EQ(two.shapeStyleAt(1), "T");
  EXPECT_DOUBLE_EQ(two.shapeScaleAt(1), 3);
  EXPECT_EQ(two.numDashes(), 3);
}

TEST(LinetypePatternElements, ReadsShapeElements) {
  const auto d = Parse("A,.25,-.1,[CIRC1,ltypeshp.shx,x=-.1,s=.1],-.1,1");
  ASSERT_EQ(d.numDashes(), 4);
  EXPECT_TRUE(d.hasShapeAt(1));
  EXPECT_FALSE(d.hasTextAt(1));
  EXPECT_EQ(d.shapeNameAt(1), "CIRC1");
  EXPECT_EQ(d.shapeNumberAt(1), 0);
  EXPECT_EQ(d.shapeStyleAt(1), "ltypeshp.shx");
  EXPECT_DOUBLE_EQ(d.shapeScaleAt(1), 0.1);
  EXPECT_EQ(d.shapeOffsetAt(1), (KvLinetypeOffset{-0.1, 0}));
  EXPECT_EQ(d.elementFlagsAt(1), 4);
  EXPECT_EQ(Parse("A,1,[132,ltypeshp.shx],-1").shapeNumberAt(0), 132);
}

// ---------------------------------------------------------------------------------------------------
// Faults

TEST(LinetypePatternFaults, RejectsBadNumbersAndEmptyValues) {
  EXPECT_NE(ErrorOf("A,1,x,-1").find("bad number \"x\" at column 5"), std::string::npos);
  EXPECT_NE(ErrorOf("A,1,,-1").find("empty value"), std::string::npos);
  EXPECT_NE(ErrorOf("A,1,-1,").find("empty value"), std::string::npos);
  EXPECT_NE(ErrorOf("A,nan").find("bad number"), std::string::npos);
  EXPECT_NE(ErrorOf("A,1e999").find("bad number"), std::string::npos);
  EXPECT_NE(ErrorOf("A").find("no dash"), std::string::npos);
  EXPECT_NE(ErrorOf("B,1,-1").find("must begin with"), std::string::npos);
}

TEST(LinetypePatternFaults, RejectsUnbalancedBracketsAndQuotes) {
  EXPECT_NE(ErrorOf("A,1,[\"T\",S,S=2,-1").find("unbalanced bracket"), std::string::npos);
  EXPECT_NE(ErrorOf("A,1,\"T\",S],-1").find("bad number"), std::string::npos);
  EXPECT_NE(ErrorOf("A,1,S=2],-1").find("bad number"), std::string::npos);
  EXPECT_NE(ErrorOf("A,1,],-1").find("unbalanced bracket"), std::string::npos);
  EXPECT_NE(ErrorOf("A,1,[\"T,S,S=2],-1").find("unbalanced quote"), std::string::npos);
  EXPECT_NE(ErrorOf("A,1,[CIRC1,ltypeshp.shx,-1").find("unbalanced bracket"), std::string::npos);
}

TEST(LinetypePatternFaults, RejectsMisplacedOrIncompleteElements) {
  EXPECT_NE(ErrorOf("A,[\"T\",S],1").find("must follow a dash"), std::string::npos);
  EXPECT_NE(ErrorOf("A,1,[\"T\",S],[\"U\",S]").find("two complex elements"), std::string::npos);
  EXPECT_NE(ErrorOf("A,1,[\"T\"],-1").find("no text style"), std::string::npos);
  EXPECT_NE(ErrorOf("A,1,[\"T\",S=1],-1").find("no text style"), std::string::npos);
  EXPECT_NE(ErrorOf("A,1,[CIRC1],-1").find("no shape file"), std::string::npos);
  EXPECT_NE(ErrorOf("A,1,[\"T\",S,Q=1],-1").find("unknown element parameter"), std::string::npos);
  EXPECT_NE(ErrorOf("A,1,[\"T\",S,S=big],-1").find("bad number"), std::string::npos);
  EXPECT_NE(ErrorOf("A,1,[\"T\",S,R=1x],-1").find("bad angle"), std::string::npos);
}

TEST(LinetypePatternFaults, AFailedParseLeavesTheDefinitionAlone) {
  KvLinetypeDefinition d;
  std::string error;
  ASSERT_TRUE(ParseLinetypePattern("A,1,-2", d, error));
  EXPECT_FALSE(ParseLinetypePattern("A,1,[", d, error));
  EXPECT_EQ(d.numDashes(), 2);
}

// ---------------------------------------------------------------------------------------------------
// Headers, angles, formatting

TEST(LinetypeHeader, SplitsNameAndDescription) {
  std::string name, description, error;
  ASSERT_TRUE(ParseLinetypeHeader("*TAV_W,------ W ------\r", name, description, error));
  EXPECT_EQ(name, "TAV_W");
  EXPECT_EQ(description, "------ W ------");
  ASSERT_TRUE(ParseLinetypeHeader("* DASHED ", name, description, error));
  EXPECT_EQ(name, "DASHED");
  EXPECT_EQ(description, "");
  ASSERT_TRUE(ParseLinetypeHeader("*A,b,c", name, description, error));
  EXPECT_EQ(description, "b,c");
  EXPECT_FALSE(ParseLinetypeHeader("*,nothing", name, description, error));
  EXPECT_FALSE(ParseLinetypeHeader("A,1", name, description, error));
}

TEST(LinetypeAngles, DegreesReadBackAsTyped) {
  for (double degrees : {30.0, 45.0, 0.1, 12.345, -90.0, 359.99, 1e-5}) {
    EXPECT_EQ(RadiansToDegrees(DegreesToRadians(degrees)), degrees) << degrees;
  }
  // A radian value that no short degree text produces still converts back onto itself.
  const double radians = 0.123456789;
  EXPECT_EQ(DegreesToRadians(RadiansToDegrees(radians)), radians);
}

TEST(LinetypeFormat, FormattedPatternParsesToTheSameDashes) {
  for (const char* line : {"A,50,0,[\"W\",Standard,S=2,R=30,X=1.1,Y=-1],-4",
                           "A,.25,-.1,[CIRC1,ltypeshp.shx,A=0.3r,x=-.1,s=.1],-.1,1",
                           "A,1,[\"a,\"\"b\",S,U=-17.5],-1,0,-1"}) {
    const auto first = Parse(line);
    const auto second = Parse(FormatLinetypePattern(first));
    EXPECT_EQ(first, second) << line << " -> " << FormatLinetypePattern(first);
  }
  EXPECT_EQ(FormatLinetypePattern(Parse("A,50,0,[\"W\",Standard,S=2,R=0,X=1.1,Y=-1],-4")),
            "A,50,0,[\"W\",Standard,S=2,R=0,X=1.1,Y=-1],-4");
}
