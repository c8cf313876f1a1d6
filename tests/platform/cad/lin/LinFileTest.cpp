#include <fstream>

#include <gtest/gtest.h>

#include "platform/base/KvEncoding.h"
#include "platform/cad/lin/KvLinFile.h"
#include "tests/support/TempDir.h"

using namespace tav;

namespace {

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

const char* const kSample =
    ";;\r\n"
    ";; Sample linetypes\r\n"
    "\r\n"
    "*BORDER,Border __ __ . __ __ . __ __ . __ __ . __ __ .\r\n"
    "A,.5,-.25,.5,-.25,0,-.25\r\n"
    "*GAS_LINE,Gas line ----GAS----GAS----GAS----\r\n"
    "A,.5,-.2,[\"GAS\",STANDARD,S=.1,R=0.0,X=-0.1,Y=-.05],-.25\r\n"
    ";;TAV LINETYPE DEFINE\r\n"
    "*TAV_W,------ W ------\r\n"
    "A,50,0,[\"W\",Standard,S=2,R=0,X=1.1,Y=-1],-4\r\n";

}  // namespace

TEST(LinFileParse, ReadsEveryDefinitionSkippingCommentsAndBlankLines) {
  KvLinFile file;
  ParseLinText(kSample, file);
  EXPECT_TRUE(file.errors.empty()) << file.errors[0].text();
  ASSERT_EQ(file.definitions.size(), 3u);
  EXPECT_EQ(file.definitions[0].name, "BORDER");
  EXPECT_EQ(file.definitions[0].numDashes(), 6);
  EXPECT_EQ(file.definitions[1].comments(), "Gas line ----GAS----GAS----GAS----");
  EXPECT_EQ(file.definitions[1].textAt(1), "GAS");
  EXPECT_EQ(file.definitionLines, (std::vector<int>{4, 6, 9}));
}

TEST(LinFileParse, FindsByNameIgnoringLetterCase) {
  KvLinFile file;
  ParseLinText(kSample, file);
  ASSERT_NE(file.find("tav_w"), nullptr);
  EXPECT_EQ(file.find("tav_w")->name, "TAV_W");
  EXPECT_EQ(file.find("NOPE"), nullptr);
  KvLinetypeDefinition d;
  std::string error;
  EXPECT_TRUE(file.lookUp("Gas_Line", d, error));
  EXPECT_EQ(d.name, "GAS_LINE");
  EXPECT_FALSE(file.lookUp("NOPE", d, error));
  EXPECT_NE(error.find("no linetype NOPE"), std::string::npos);
}

TEST(LinFileParse, ABrokenDefinitionFailsAloneWithItsLine) {
  KvLinFile file;
  ParseLinText(
      "*GOOD1,one\n"
      "A,1,-1\n"
      "*BAD,bad number\n"
      "A,1,q\n"
      "*NOPATTERN,no pattern line\n"
      "*GOOD2,two\n"
      "A,2,-2\n"
      "*BRACKET,x\n"
      "A,1,[\"T\",S,-1\n"
      "*LAST,missing at the end\n",
      file);
  ASSERT_EQ(file.definitions.size(), 2u);
  EXPECT_EQ(file.definitions[0].name, "GOOD1");
  EXPECT_EQ(file.definitions[1].name, "GOOD2");
  ASSERT_EQ(file.errors.size(), 4u);
  EXPECT_EQ(file.errors[0].line, 4);
  EXPECT_EQ(file.errors[0].name, "BAD");
  EXPECT_EQ(file.errors[0].text(), "line 4: linetype BAD: bad number \"q\" at column 5");
  EXPECT_EQ(file.errors[1].line, 5);
  EXPECT_EQ(file.errors[1].name, "NOPATTERN");
  EXPECT_NE(file.errors[1].message.find("not followed by a pattern line"), std::string::npos);
  EXPECT_EQ(file.errors[2].name, "BRACKET");
  EXPECT_EQ(file.errors[3].name, "LAST");
  KvLinetypeDefinition d;
  std::string error;
  EXPECT_FALSE(file.lookUp("bad", d, error));
  EXPECT_EQ(error, file.errors[0].text());
}

TEST(LinFileParse, StrayLinesAndNamelessHeadersAreReportedWithoutBreakingOthers) {
  KvLinFile file;
  ParseLinText("A,1,-1\ngarbage\n*,no name\nA,1,-1\n*OK\nA,3,-3\n", file);
  ASSERT_EQ(file.definitions.size(), 1u);
  EXPECT_EQ(file.definitions[0].name, "OK");
  EXPECT_EQ(file.definitions[0].description, "");
  ASSERT_EQ(file.errors.size(), 3u);
  EXPECT_EQ(file.errors[0].line, 1);
  EXPECT_EQ(file.errors[1].line, 2);
  EXPECT_EQ(file.errors[2].line, 3);
}

TEST(LinFileParse, TheFirstOfRepeatedNamesDecides) {
  KvLinFile file;
  ParseLinText("*X,first\nA,1,-1\n*x,second\nA,2,-2\n", file);
  ASSERT_EQ(file.definitions.size(), 2u);
  EXPECT_EQ(file.find("X")->description, "first");
  KvLinFile broken;
  ParseLinText("*X,first\nA,1,zz\n*X,second\nA,2,-2\n", broken);
  KvLinetypeDefinition d;
  std::string error;
  EXPECT_FALSE(broken.lookUp("x", d, error));
}

TEST(LinFileRead, ReadsGbkFilesIntoUtf8Records) {
  test::TempDir dir;
  std::string gbk;
  ASSERT_TRUE(Utf8ToGbk("*TAV_给水,------ 给水 ------\r\nA,50,0,[\"给水\",Standard,S=2,R=0,X=1.1,Y=-1],-4\r\n", gbk));
  WriteBytes(dir.file("gbk.lin"), gbk);
  KvLinFile file;
  std::string error;
  ASSERT_TRUE(ReadLinFile(dir.file("gbk.lin"), file, &error)) << error;
  EXPECT_EQ(file.format.encoding, TextEncoding::Gbk);
  EXPECT_TRUE(file.format.crlf);
  ASSERT_EQ(file.definitions.size(), 1u);
  EXPECT_EQ(file.definitions[0].name, "TAV_给水");
  EXPECT_EQ(file.definitions[0].textAt(1), "给水");
}

TEST(LinFileRead, ReadsUtf8WithBomAndLf) {
  test::TempDir dir;
  WriteBytes(dir.file("bom.lin"), "\xEF\xBB\xBF*DASHED,Dashed __ __\nA,.5,-.25\n");
  KvLinetypeDefinition d;
  std::string error;
  ASSERT_TRUE(LoadLinetypeDefinition(dir.file("bom.lin"), "dashed", d, &error)) << error;
  EXPECT_EQ(d.name, "DASHED");
  EXPECT_EQ(d.numDashes(), 2);
}

TEST(LinFileRead, MissingFileFailsWithItsName) {
  test::TempDir dir;
  KvLinetypeDefinition d;
  std::string error;
  EXPECT_FALSE(LoadLinetypeDefinition(dir.file("none.lin"), "X", d, &error));
  EXPECT_NE(error.find("none.lin"), std::string::npos);
}
