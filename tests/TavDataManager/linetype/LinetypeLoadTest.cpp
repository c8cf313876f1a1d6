// Reading definitions back through the host's loader, and the list's lookups.
#include "LinetypeTestSupport.h"

using namespace linetype_test;

class LinetypeLoad : public LinetypeTest {};

TEST_F(LinetypeLoad, OnlyTheOwnSectionCountsWithoutTheImportFlag) {
  WriteStandard("*TAV_W,------ W ------\r\nA,50,0,[\"W\",Standard,S=2,R=0,X=1.1,Y=-1],-4\r\n");
  CLinetypeOptionUtility utility(loader);
  ASSERT_TRUE(utility.LoadFromLinFile(StandardFile(), false));
  ASSERT_EQ(utility.GetCount(), 1);
  _GpLinetypeData expected;
  expected.strName = "TAV_W";
  expected.strDescription = "------ W ------";
  expected.strText = "W";
  EXPECT_EQ(utility.Linetypes()[0], expected);
  EXPECT_TRUE(loader.Table().empty()) << "the loaded linetype is erased again";
  EXPECT_EQ(loader.LockDepth(), 0);
  EXPECT_EQ(services.output(), "") << "loading the own section prints nothing";
}

TEST_F(LinetypeLoad, AMissingFileFails) {
  CLinetypeOptionUtility utility(loader);
  EXPECT_FALSE(utility.LoadFromLinFile(dir.file("none.Lin"), false));
  EXPECT_FALSE(utility.LoadFromLinFile(dir.file("none.Lin"), true));
  EXPECT_EQ(utility.GetCount(), 0);
}

TEST_F(LinetypeLoad, HeadersWithoutCommaNameNothingAndAnEmptyNameIsNotLoaded) {
  WriteStandard(
      "*TAV_NOCOMMA\r\nA,1,0,[\"N\",Standard,S=2,R=0,X=0,Y=0],-1\r\n"
      "*,empty name\r\nA,1,0,[\"E\",Standard,S=2,R=0,X=0,Y=0],-1\r\n"
      "*TAV_OK,ok\r\nA,1,0,[\"K\",Standard,S=2,R=0,X=0,Y=0],-1\r\n");
  CLinetypeOptionUtility utility(loader);
  ASSERT_TRUE(utility.LoadFromLinFile(StandardFile(), false));
  ASSERT_EQ(utility.GetCount(), 1);
  EXPECT_EQ(utility.Linetypes()[0].strName, "TAV_OK");
  EXPECT_FALSE(utility.HasLinetype("TAV_NOCOMMA"));
  EXPECT_FALSE(utility.HasLinetype(""));
}

TEST_F(LinetypeLoad, ANameDifferingOnlyInCaseIsNotLoadedAgain) {
  WriteStandard("*tav_w,lower\r\nA,2,0,[\"w\",Standard,S=2,R=0,X=0,Y=0],-2\r\n");
  CLinetypeOptionUtility utility(loader);
  _GpLinetypeData listed;
  listed.strName = "TAV_W";
  utility.AddLinetype(listed);
  ASSERT_TRUE(utility.LoadFromLinFile(StandardFile(), false));
  ASSERT_EQ(utility.GetCount(), 1);
  EXPECT_EQ(utility.Linetypes()[0].strDescription, "");
}

TEST_F(LinetypeLoad, ANameRepeatedInTheOwnSectionYieldsOneRecord) {
  WriteStandard(
      "*TAV_A,first\r\nA,1,0,[\"A\",Standard,S=2,R=0,X=0,Y=0],-1\r\n"
      "*TAV_A,second\r\nA,3,0,[\"A\",Standard,S=2,R=0,X=0,Y=0],-3\r\n");
  CLinetypeOptionUtility utility(loader);
  ASSERT_TRUE(utility.LoadFromLinFile(StandardFile(), false));
  ASSERT_EQ(utility.GetCount(), 1);
  EXPECT_EQ(utility.Linetypes()[0].strDescription, "first");
}

TEST_F(LinetypeLoad, TwoDashAndOneDashLinetypesFillTheGaps) {
  WriteStandard(
      "*TAV_TWO,two dashes\r\nA,12.5,[\"T\",Standard,S=3,R=0,X=0.5,Y=-2],-6.25\r\n"
      "*TAV_ONE,one dash\r\nA,7\r\n");
  CLinetypeOptionUtility utility(loader);
  ASSERT_TRUE(utility.LoadFromLinFile(StandardFile(), false));
  ASSERT_EQ(utility.GetCount(), 2);
  const auto& two = utility.Linetypes()[0];
  EXPECT_EQ(two.strDashLength1, "12.5");
  EXPECT_EQ(two.strSpaceLength2, "0");
  EXPECT_EQ(two.strSpaceLength3, "-6.25");
  EXPECT_EQ(two.strText, "T");
  EXPECT_EQ(two.strTextScale, "3");
  EXPECT_EQ(two.strTextOffsetX, "0.5");
  EXPECT_EQ(two.strTextOffsetY, "-2");
  const auto& one = utility.Linetypes()[1];
  EXPECT_EQ(one.strDashLength1, "7");
  EXPECT_EQ(one.strSpaceLength2, "0");
  EXPECT_EQ(one.strSpaceLength3, "0");
  EXPECT_EQ(one.strText, "") << "no text: the text fields keep their new-record values";
  EXPECT_EQ(one.strTextStyle, "Standard");
  EXPECT_EQ(one.strTextScale, "2");
}

TEST_F(LinetypeLoad, OtherDashCountsAreLeftOutAndErased) {
  WriteStandard("*TAV_FOUR,four\r\nA,1,-1,1,-1\r\n*TAV_BAD,bad\r\nA,1,zz\r\n");
  CLinetypeOptionUtility utility(loader);
  ASSERT_TRUE(utility.LoadFromLinFile(StandardFile(), false));
  EXPECT_EQ(utility.GetCount(), 0);
  EXPECT_TRUE(loader.Table().empty());
}

TEST_F(LinetypeLoad, RotationIsReadBackInDegrees) {
  WriteStandard("*TAV_R,r\r\nA,50,0,[\"R\",Standard,S=2,R=30,X=1.1,Y=-1],-4\r\n"
                "*TAV_G,g\r\nA,50,0,[\"G\",Standard,S=2,R=50g,X=1.1,Y=-1],-4\r\n");
  CLinetypeOptionUtility utility(loader);
  ASSERT_TRUE(utility.LoadFromLinFile(StandardFile(), false));
  ASSERT_EQ(utility.GetCount(), 2);
  EXPECT_EQ(utility.Linetypes()[0].strTextRotation, "30");
  EXPECT_EQ(utility.Linetypes()[1].strTextRotation, "45");
}

TEST_F(LinetypeLoad, ASavedRecordReadsBackUnchanged) {
  WriteStandard("");
  _GpLinetypeData d;
  d.strName = "TAV_全部";
  d.strDescription = "------ 全部 ------";
  d.strDashLength1 = "25.4";
  d.strSpaceLength2 = "-0.5";
  d.strSpaceLength3 = "-12";
  d.strText = "全部";
  d.strTextStyle = "HZ";
  d.strTextScale = "3.5";
  d.strTextRotation = "30";
  d.strTextOffsetX = "-2.25";
  d.strTextOffsetY = "0.125";
  CLinetypeOptionUtility utility(loader);
  utility.AddLinetype(d);
  ASSERT_TRUE(utility.SaveToLinFile(StandardFile()));
  CLinetypeOptionUtility reread(loader);
  ASSERT_TRUE(reread.LoadFromLinFile(StandardFile(), false));
  ASSERT_EQ(reread.GetCount(), 1);
  EXPECT_EQ(reread.Linetypes()[0], d);
}

TEST_F(LinetypeLoad, UserImportSkipsStandardNamesAndSaysWhenNothingWasLoaded) {
  WriteStandard("*TAV_W,------ W ------\r\nA,50,0,[\"W\",Standard,S=2,R=0,X=1.1,Y=-1],-4\r\n");
  // A user's file that only holds names of the standard file (its own section's names included).
  WriteBytes(dir.file("user.Lin"),
             "*DASHED,Dashed\r\nA,12.7,-6.35\r\n*GAS_LINE,gas\r\nA,1,[\"GAS\",STANDARD],-1\r\n"
             "*TAV_W,w\r\nA,50,0,[\"W\",Standard],-4\r\n");
  CLinetypeOptionUtility utility(loader);
  ASSERT_TRUE(utility.LoadFromLinFile(dir.file("user.Lin"), true));
  EXPECT_EQ(utility.GetCount(), 0);
  EXPECT_EQ(services.output(), "\n没有线型被导入.");
  EXPECT_EQ(services.commandPrompts(), 1);
}

TEST_F(LinetypeLoad, UserImportTakesEveryHeaderAndIgnoresTheMarker) {
  WriteStandard("");
  WriteBytes(dir.file("user.Lin"),
             "*MY_LINE,mine\nA,10,[\"M\",Standard,S=1,R=0,X=0,Y=0],-5\n"
             ";;TAV LINETYPE DEFINE\n"
             "*dashed,standard name in another case\nA,1,-1\n"
             "*TAV_X,x\nA,50,0,[\"X\",Standard,S=2,R=0,X=1.1,Y=-1],-4\n");
  CLinetypeOptionUtility utility(loader);
  ASSERT_TRUE(utility.LoadFromLinFile(dir.file("user.Lin"), true));
  // The exclusion of standard names is case-sensitive: "dashed" is not "DASHED" (and has 2 dashes).
  ASSERT_EQ(utility.GetCount(), 3);
  EXPECT_EQ(utility.Linetypes()[0].strName, "MY_LINE");
  EXPECT_EQ(utility.Linetypes()[1].strName, "dashed");
  EXPECT_EQ(utility.Linetypes()[2].strName, "TAV_X");
  EXPECT_EQ(services.output(), "");
}

TEST_F(LinetypeLoad, CollectStandardNamesReadsEveryHeaderOfTheStandardFile) {
  WriteStandard("*TAV_W,w\r\nA,50,0,[\"W\",Standard],-4\r\n*NOCOMMA\r\n");
  CLinetypeOptionUtility utility(loader);
  std::vector<std::string> names{"KEPT"};
  utility.CollectStandardNames(names);
  EXPECT_EQ(names, (std::vector<std::string>{"KEPT", "BORDER", "DASHED", "GAS_LINE", "TAV_W"}));
  tav::SetMainDirectory(dir.path() + "nowhere/");
  std::vector<std::string> none{"KEPT"};
  utility.CollectStandardNames(none);
  EXPECT_EQ(none, std::vector<std::string>{"KEPT"});
}

TEST_F(LinetypeLoad, LookupsIgnoreCaseAndTakeTheFirstMatch) {
  CLinetypeOptionUtility utility(loader);
  _GpLinetypeData a, b;
  a.strName = "TAV_A";
  a.strText = "first";
  b.strName = "tav_a";
  b.strText = "second";
  utility.AddLinetype(a);
  utility.AddLinetype(b);
  _GpLinetypeData found;
  ASSERT_TRUE(utility.GetLinetype("Tav_A", found));
  EXPECT_EQ(found.strText, "first");
  _GpLinetypeData changed = a;
  changed.strText = "changed";
  utility.SetLinetype("tav_a", changed);
  EXPECT_EQ(utility.Linetypes()[0].strText, "changed");
  EXPECT_EQ(utility.Linetypes()[1].strText, "second");
  utility.SetLinetype("TAV_NONE", changed);
  EXPECT_EQ(utility.GetCount(), 2);
  EXPECT_TRUE(utility.RemoveLinetype("TAV_a"));
  ASSERT_EQ(utility.GetCount(), 1);
  EXPECT_EQ(utility.Linetypes()[0].strText, "second");
  EXPECT_FALSE(utility.RemoveLinetype("TAV_NONE"));
  _GpLinetypeData untouched;
  EXPECT_FALSE(utility.GetLinetype("TAV_NONE", untouched));
  EXPECT_EQ(untouched, _GpLinetypeData{});
}

TEST_F(LinetypeLoad, TheFileLoaderRefusesANameTheDrawingHolds) {
  WriteStandard("*TAV_W,w\r\nA,50,0,[\"W\",Standard],-4\r\n");
  EXPECT_TRUE(loader.LoadLineTypeFile("tav_w", StandardFile()));
  EXPECT_FALSE(loader.LoadLineTypeFile("TAV_W", StandardFile()));
  EXPECT_NE(loader.LastError().find("already holds"), std::string::npos);
  EXPECT_FALSE(loader.LoadLineTypeFile("TAV_NONE", StandardFile()));
  EXPECT_NE(loader.LastError().find("no linetype TAV_NONE"), std::string::npos);
  tav::KvLinetypeDefinition record;
  ASSERT_TRUE(loader.GetLinetypeRecord("TAV_W", record));
  EXPECT_EQ(record.name, "TAV_W");
  EXPECT_TRUE(loader.EraseLinetype("tav_W"));
  EXPECT_FALSE(loader.GetLinetypeRecord("TAV_W", record));
}

TEST_F(LinetypeLoad, TheCurrentLoaderIsUsedByDefault) {
  WriteStandard("*TAV_W,w\r\nA,50,0,[\"W\",Standard],-4\r\n");
  KvLinetypeLoader* previous = SetLinetypeLoader(&loader);
  CLinetypeOptionUtility utility;
  EXPECT_TRUE(utility.LoadFromLinFile(StandardFile(), false));
  SetLinetypeLoader(previous);
  EXPECT_EQ(utility.GetCount(), 1);
  EXPECT_NE(&GetLinetypeLoader(), &loader);
  CLinetypeOptionUtility other;
  EXPECT_TRUE(other.LoadFromLinFile(StandardFile(), false));
  EXPECT_EQ(other.GetCount(), 1) << "the process-wide file loader reads the file as well";
}
