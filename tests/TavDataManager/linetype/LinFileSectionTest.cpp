// Writing the add-on's own section of a .Lin file.
#include "LinetypeTestSupport.h"
#include "platform/base/KvEncoding.h"

using namespace linetype_test;

namespace {

_GpLinetypeData Record(const std::string& text) {
  _GpLinetypeData d;
  d.strName = "TAV_" + text;
  d.strDescription = "------ " + text + " ------";
  d.strText = text;
  return d;
}

}  // namespace

class LinFileSection : public LinetypeTest {};

TEST_F(LinFileSection, DefaultRecordWithTextWIsWrittenAsTwoLines) {
  WriteBytes(dir.file("a.Lin"), kStandardForeign);
  CLinetypeOptionUtility utility(loader);
  utility.AddLinetype(Record("W"));
  ASSERT_TRUE(utility.SaveToLinFile(dir.file("a.Lin")));
  EXPECT_EQ(ReadBytes(dir.file("a.Lin")), kStandardForeign +
                                              "*TAV_W,------ W ------\r\n"
                                              "A,50,0,[\"W\",Standard,S=2,R=0,X=1.1,Y=-1],-4\r\n");
}

TEST_F(LinFileSection, SavingReplacesTheOldOwnSection) {
  WriteBytes(dir.file("a.Lin"), kStandardForeign + "*TAV_OLD,old\r\nA,1,0,[\"O\",Standard,S=2,R=0,X=0,Y=0],-1\r\n");
  CLinetypeOptionUtility utility(loader);
  utility.AddLinetype(Record("N"));
  ASSERT_TRUE(utility.SaveToLinFile(dir.file("a.Lin")));
  const std::string written = ReadBytes(dir.file("a.Lin"));
  EXPECT_EQ(written.find("TAV_OLD"), std::string::npos);
  EXPECT_NE(written.find("*TAV_N,------ N ------\r\n"), std::string::npos);
}

TEST_F(LinFileSection, SavingAnEmptyListLeavesTheFileEndingWithTheMarker) {
  WriteBytes(dir.file("a.Lin"), kStandardForeign + "*TAV_OLD,old\r\nA,1,0,[\"O\",Standard],-1\r\n");
  CLinetypeOptionUtility utility(loader);
  ASSERT_TRUE(utility.SaveToLinFile(dir.file("a.Lin")));
  EXPECT_EQ(ReadBytes(dir.file("a.Lin")), kStandardForeign);
}

TEST_F(LinFileSection, EverythingAfterTheFirstOfTwoMarkersIsReplaced) {
  const std::string head = "*DASHED,Dashed\r\nA,12.7,-6.35\r\n;;TAV LINETYPE DEFINE\r\n";
  WriteBytes(dir.file("a.Lin"), head + "*TAV_A,a\r\nA,1,-1\r\n;;TAV LINETYPE DEFINE\r\n*TAV_B,b\r\nA,1,-1\r\n");
  CLinetypeOptionUtility utility(loader);
  utility.AddLinetype(Record("C"));
  ASSERT_TRUE(utility.SaveToLinFile(dir.file("a.Lin")));
  EXPECT_EQ(ReadBytes(dir.file("a.Lin")), head + "*TAV_C,------ C ------\r\n"
                                                 "A,50,0,[\"C\",Standard,S=2,R=0,X=1.1,Y=-1],-4\r\n");
}

TEST_F(LinFileSection, AFileWithoutMarkerIsKeptWholeAndTheRecordsFollowIt) {
  const std::string foreign = "*DASHED,Dashed\r\nA,12.7,-6.35";  // last line without line end
  WriteBytes(dir.file("a.Lin"), foreign);
  CLinetypeOptionUtility utility(loader);
  utility.AddLinetype(Record("W"));
  ASSERT_TRUE(utility.SaveToLinFile(dir.file("a.Lin")));
  const std::string written = ReadBytes(dir.file("a.Lin"));
  EXPECT_EQ(written, foreign + "\r\n*TAV_W,------ W ------\r\nA,50,0,[\"W\",Standard,S=2,R=0,X=1.1,Y=-1],-4\r\n");
  EXPECT_EQ(written.find(kTavLinetypeMarker), std::string::npos);
}

TEST_F(LinFileSection, AMissingFileIsNotCreated) {
  CLinetypeOptionUtility utility(loader);
  utility.AddLinetype(Record("W"));
  EXPECT_FALSE(utility.SaveToLinFile(dir.file("missing.Lin")));
  EXPECT_FALSE(tav::FileExists(dir.file("missing.Lin")));
}

TEST_F(LinFileSection, AFileThatCannotBeWrittenIsLeftAsItWas) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  const std::string folder = dir.path() + "ro";
  tav::MakeDirectories(folder);
  WriteBytes(folder + "/a.Lin", kStandardForeign);
  std::filesystem::permissions(folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  CLinetypeOptionUtility utility(loader);
  utility.AddLinetype(Record("W"));
  const bool saved = utility.SaveToLinFile(folder + "/a.Lin");
  std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
  EXPECT_FALSE(saved);
  EXPECT_EQ(ReadBytes(folder + "/a.Lin"), kStandardForeign);
}

TEST_F(LinFileSection, LineFeedFilesAndByteOrderMarksAreKept) {
  WriteBytes(dir.file("lf.Lin"), "\xEF\xBB\xBF;;TAV LINETYPE DEFINE\n*TAV_X,x\nA,1,-1\n");
  CLinetypeOptionUtility utility(loader);
  utility.AddLinetype(Record("给水"));
  ASSERT_TRUE(utility.SaveToLinFile(dir.file("lf.Lin")));
  EXPECT_EQ(ReadBytes(dir.file("lf.Lin")),
            "\xEF\xBB\xBF;;TAV LINETYPE DEFINE\n*TAV_给水,------ 给水 ------\n"
            "A,50,0,[\"给水\",Standard,S=2,R=0,X=1.1,Y=-1],-4\n");
}

TEST_F(LinFileSection, GbkFileKeepsEveryForeignByteAndGetsAGbkSection) {
  // A file from a Windows machine: Chinese descriptions in GBK, CR LF, and a GBK own section.
  std::string foreign;
  ASSERT_TRUE(tav::Utf8ToGbk(";; 给排水线型\r\n*JS,给水管 ---- J ---- J ----\r\nA,12.7,-5.08,[\"J\",STANDARD,S=2.54,R=0,X=-1,Y=-1.27],-6.35\r\n"
                             "*PS,排水管 ---- P ----\r\nA,12.7,-6.35\r\n;;TAV LINETYPE DEFINE\r\n",
                             foreign));
  std::string oldSection;
  ASSERT_TRUE(tav::Utf8ToGbk("*TAV_热水,------ 热水 ------\r\nA,50,0,[\"热水\",Standard,S=2,R=0,X=1.1,Y=-1],-4\r\n",
                             oldSection));
  WriteBytes(dir.file("gbk.Lin"), foreign + oldSection);

  // Read back through the loader: the own section's Chinese arrives as UTF-8.
  CLinetypeOptionUtility utility(loader);
  ASSERT_TRUE(utility.LoadFromLinFile(dir.file("gbk.Lin"), false));
  ASSERT_EQ(utility.GetCount(), 1);
  EXPECT_EQ(utility.Linetypes()[0].strName, "TAV_热水");
  EXPECT_EQ(utility.Linetypes()[0].strDescription, "------ 热水 ------");
  EXPECT_EQ(utility.Linetypes()[0].strText, "热水");

  utility.AddLinetype(Record("消防"));
  ASSERT_TRUE(utility.SaveToLinFile(dir.file("gbk.Lin")));
  const std::string written = ReadBytes(dir.file("gbk.Lin"));
  ASSERT_GE(written.size(), foreign.size());
  EXPECT_EQ(written.substr(0, foreign.size()), foreign);
  std::string section;
  ASSERT_TRUE(tav::GbkToUtf8(written.substr(foreign.size()), section));
  EXPECT_EQ(section,
            "*TAV_热水,------ 热水 ------\r\nA,50,0,[\"热水\",Standard,S=2,R=0,X=1.1,Y=-1],-4\r\n"
            "*TAV_消防,------ 消防 ------\r\nA,50,0,[\"消防\",Standard,S=2,R=0,X=1.1,Y=-1],-4\r\n");
}

TEST_F(LinFileSection, TextWithCommaOrQuoteIsWrittenAsTypedAndReadsBack) {
  WriteBytes(dir.file("a.Lin"), kStandardForeign);
  CLinetypeOptionUtility utility(loader);
  utility.AddLinetype(Record("a,b"));
  utility.AddLinetype(Record("5\""));
  utility.AddLinetype(Record("x\",y"));
  ASSERT_TRUE(utility.SaveToLinFile(dir.file("a.Lin")));
  const std::string written = ReadBytes(dir.file("a.Lin"));
  EXPECT_NE(written.find("A,50,0,[\"a,b\",Standard,"), std::string::npos);
  EXPECT_NE(written.find("A,50,0,[\"5\"\",Standard,"), std::string::npos);

  CLinetypeOptionUtility reread(loader);
  ASSERT_TRUE(reread.LoadFromLinFile(dir.file("a.Lin"), false));
  ASSERT_EQ(reread.GetCount(), 3);
  EXPECT_EQ(reread.Linetypes()[0].strText, "a,b");
  EXPECT_EQ(reread.Linetypes()[1].strText, "5\"");
  EXPECT_EQ(reread.Linetypes()[2].strText, "x\",y");
  EXPECT_EQ(reread.Linetypes()[2].strName, "TAV_x\"");  // the header's name ends at its first comma
}
