// The linetype manager's operations over the nine parameter rows.
#include <vector>

#include "LinetypeTestSupport.h"
#include "TavDataManager/linetype/LinetypeManager.h"

using namespace linetype_test;

namespace {

class RecordingReporter : public KvLinetypeReporter {
 public:
  struct Message {
    std::string text, caption;
    Icon icon;
  };
  void ShowMessage(const std::string& text, const std::string& caption, Icon icon) override {
    messages.push_back({text, caption, icon});
  }
  std::vector<Message> messages;
};

TavLinetypeParameters WithText(const std::string& text) {
  TavLinetypeParameters rows = TavDefaultLinetypeParameters();
  rows[kParamText] = text;
  return rows;
}

}  // namespace

class LinetypeManager : public LinetypeTest {
 protected:
  RecordingReporter reporter;
};

TEST_F(LinetypeManager, DefaultParametersAreTheGridsInitialValues) {
  EXPECT_EQ(TavDefaultLinetypeParameters(),
            (TavLinetypeParameters{"50", "0", "-4", "", "Standard", "2", "0", "1.1", "-1"}));
  EXPECT_STREQ(kTavLinetypeParameterLabels[0], " 划线长度①");
  EXPECT_STREQ(kTavLinetypeParameterLabels[8], " 文字偏移Y");
}

TEST_F(LinetypeManager, CreateMakesNameAndDescriptionFromTheText) {
  CLinetypeOptionUtility utility(loader);
  TavLinetypeParameters rows = WithText("污水");
  rows[kParamDashLength1] = "30";
  rows[kParamTextRotation] = "abc";  // numbers are not validated
  ASSERT_TRUE(TavCreateLinetype(utility, rows, reporter));
  ASSERT_EQ(utility.GetCount(), 1);
  const auto& d = utility.Linetypes()[0];
  EXPECT_EQ(d.strName, "TAV_污水");
  EXPECT_EQ(d.strDescription, "------ 污水 ------");
  EXPECT_EQ(d.strText, "污水");
  EXPECT_EQ(d.strDashLength1, "30");
  EXPECT_EQ(d.strTextRotation, "abc");
  EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(LinetypeManager, CreateRefusesAnEmptyText) {
  CLinetypeOptionUtility utility(loader);
  EXPECT_FALSE(TavCreateLinetype(utility, TavDefaultLinetypeParameters(), reporter));
  EXPECT_EQ(utility.GetCount(), 0);
  ASSERT_EQ(reporter.messages.size(), 1u);
  EXPECT_EQ(reporter.messages[0].text, "添加线型失败：文字为空！");
  EXPECT_EQ(reporter.messages[0].caption, "错误");
  EXPECT_EQ(reporter.messages[0].icon, KvLinetypeReporter::Icon::Error);
}

TEST_F(LinetypeManager, CreateRefusesADuplicateAlsoInAnotherCase) {
  CLinetypeOptionUtility utility(loader);
  ASSERT_TRUE(TavCreateLinetype(utility, WithText("w"), reporter));
  EXPECT_FALSE(TavCreateLinetype(utility, WithText("w"), reporter));
  EXPECT_FALSE(TavCreateLinetype(utility, WithText("W"), reporter));
  EXPECT_EQ(utility.GetCount(), 1);
  ASSERT_EQ(reporter.messages.size(), 2u);
  EXPECT_EQ(reporter.messages[1].text, "添加线型失败：重复的定义！");
  EXPECT_EQ(reporter.messages[1].caption, "错误");
}

TEST_F(LinetypeManager, AnEmptiedStyleRowStoresStandard) {
  CLinetypeOptionUtility utility(loader);
  TavLinetypeParameters rows = WithText("S");
  rows[kParamTextStyle] = "";
  ASSERT_TRUE(TavCreateLinetype(utility, rows, reporter));
  EXPECT_EQ(utility.Linetypes()[0].strTextStyle, "Standard");
  rows[kParamTextStyle] = "";
  rows[kParamTextScale] = "5";
  ASSERT_TRUE(TavModifyLinetype(utility, "TAV_S", rows));
  EXPECT_EQ(utility.Linetypes()[0].strTextStyle, "Standard");
  EXPECT_EQ(utility.Linetypes()[0].strTextScale, "5");
}

TEST_F(LinetypeManager, ModifyKeepsNameDescriptionAndText) {
  CLinetypeOptionUtility utility(loader);
  ASSERT_TRUE(TavCreateLinetype(utility, WithText("A"), reporter));
  TavLinetypeParameters rows = TavLinetypeParametersOf(utility.Linetypes()[0]);
  rows[kParamText] = "B";
  rows[kParamSpaceLength3] = "-8";
  rows[kParamTextStyle] = "HZ";
  rows[kParamTextOffsetY] = "-2";
  ASSERT_TRUE(TavModifyLinetype(utility, "tav_a", rows));
  const auto& d = utility.Linetypes()[0];
  EXPECT_EQ(d.strName, "TAV_A");
  EXPECT_EQ(d.strDescription, "------ A ------");
  EXPECT_EQ(d.strText, "A");
  EXPECT_EQ(d.strSpaceLength3, "-8");
  EXPECT_EQ(d.strTextStyle, "HZ");
  EXPECT_EQ(d.strTextOffsetY, "-2");
  EXPECT_FALSE(TavModifyLinetype(utility, "TAV_NONE", rows));
}

TEST_F(LinetypeManager, SelectingARowShowsTheRecordOfExactlyThatName) {
  CLinetypeOptionUtility utility(loader);
  _GpLinetypeData lower, upper;
  lower.strName = "TAV_a";
  lower.strTextScale = "7";
  upper.strName = "TAV_A";
  upper.strTextScale = "9";
  utility.AddLinetype(lower);
  utility.AddLinetype(upper);
  TavLinetypeParameters rows = TavDefaultLinetypeParameters();
  ASSERT_TRUE(TavParametersOfListed(utility, "TAV_A", rows));
  EXPECT_EQ(rows[kParamTextScale], "9");
  rows[kParamTextScale] = "untouched";
  EXPECT_FALSE(TavParametersOfListed(utility, "tav_A", rows));
  EXPECT_EQ(rows[kParamTextScale], "untouched");
}

TEST_F(LinetypeManager, DeleteAndTheRowSelectedAfterwards) {
  CLinetypeOptionUtility utility(loader);
  for (const char* t : {"1", "2", "3"}) ASSERT_TRUE(TavCreateLinetype(utility, WithText(t), reporter));
  EXPECT_TRUE(TavDeleteLinetype(utility, "TAV_2"));
  EXPECT_FALSE(TavDeleteLinetype(utility, "TAV_2"));
  ASSERT_EQ(utility.GetCount(), 2);
  EXPECT_EQ(utility.Linetypes()[1].strName, "TAV_3");
  EXPECT_EQ(TavRowSelectedAfterDelete(1, 2), 0);  // the row above
  EXPECT_EQ(TavRowSelectedAfterDelete(0, 2), 0);  // the new first row
  EXPECT_EQ(TavRowSelectedAfterDelete(2, 2), 1);
  EXPECT_EQ(TavRowSelectedAfterDelete(0, 0), -1);  // the only row deleted: no selection
}

TEST_F(LinetypeManager, ImportOfOnlyStandardNamesReportsCompletionAndAddsNothing) {
  WriteStandard("");
  WriteBytes(dir.file("std.Lin"), kStandardForeign);
  CLinetypeOptionUtility utility(loader);
  EXPECT_EQ(TavImportLinetypeFile(utility, dir.file("std.Lin"), reporter), 0);
  EXPECT_EQ(utility.GetCount(), 0);
  ASSERT_EQ(reporter.messages.size(), 1u);
  EXPECT_EQ(reporter.messages[0].text, "导入完成！");
  EXPECT_EQ(reporter.messages[0].caption, "线型管理");
  EXPECT_EQ(reporter.messages[0].icon, KvLinetypeReporter::Icon::Information);
  EXPECT_EQ(services.output(), "\n没有线型被导入.");
}

TEST_F(LinetypeManager, ImportAddsNewNamesAfterTheListedOnes) {
  WriteStandard("*TAV_W,------ W ------\r\nA,50,0,[\"W\",Standard,S=2,R=0,X=1.1,Y=-1],-4\r\n");
  WriteBytes(dir.file("user.Lin"), "*TAV_w,dup\nA,1,0,[\"w\",Standard],-1\n*HOT,hot water\nA,5,0,[\"HW\",STANDARD,S=.1,U=0],-2\n");
  CLinetypeOptionUtility utility(loader);
  ASSERT_TRUE(TavLoadOwnLinetypes(utility));
  EXPECT_EQ(TavImportLinetypeFile(utility, dir.file("user.Lin"), reporter), 1);
  ASSERT_EQ(utility.GetCount(), 2);
  EXPECT_EQ(utility.Linetypes()[1].strName, "HOT");
  EXPECT_EQ(utility.Linetypes()[1].strTextScale, "0.1");
  EXPECT_EQ(services.output(), "");
}

TEST_F(LinetypeManager, OkSavesTheFourFilesThatExist) {
  WriteStandard("");
  WriteBytes(dir.path() + "Common/Acad.Lin", ";;acad\r\n;;TAV LINETYPE DEFINE\r\n");
  WriteBytes(dir.path() + "PLX/HexaISO.Lin", ";;hexa iso\r\n");
  CLinetypeOptionUtility utility(loader);
  ASSERT_TRUE(TavCreateLinetype(utility, WithText("W"), reporter));
  EXPECT_EQ(TavSaveLinetypeFileSet(utility), 3);
  const std::string section = "*TAV_W,------ W ------\r\nA,50,0,[\"W\",Standard,S=2,R=0,X=1.1,Y=-1],-4\r\n";
  EXPECT_EQ(ReadBytes(StandardFile()), kStandardForeign + section);
  EXPECT_EQ(ReadBytes(dir.path() + "Common/Acad.Lin"), ";;acad\r\n;;TAV LINETYPE DEFINE\r\n" + section);
  EXPECT_EQ(ReadBytes(dir.path() + "PLX/HexaISO.Lin"), ";;hexa iso\r\n" + section);
  EXPECT_FALSE(tav::FileExists(dir.path() + "PLX/Hexa.Lin"));

  // What OK wrote is what the next run of the manager starts from.
  CLinetypeOptionUtility next(loader);
  ASSERT_TRUE(TavLoadOwnLinetypes(next));
  ASSERT_EQ(next.GetCount(), 1);
  EXPECT_EQ(next.Linetypes()[0], utility.Linetypes()[0]);
}

TEST_F(LinetypeManager, MessageBoxReporterShowsTheCaptionAndIcon) {
  KvMessageBoxLinetypeReporter boxes;
  services.QueueMessageBoxAnswer(IDOK);
  boxes.ShowMessage("导入完成！", "线型管理", KvLinetypeReporter::Icon::Information);
  ASSERT_EQ(services.messageBoxes().size(), 1u);
  EXPECT_EQ(services.messageBoxes()[0].text, "导入完成！");
  EXPECT_EQ(services.messageBoxes()[0].caption, "线型管理");
  EXPECT_EQ(services.messageBoxes()[0].flags & MB_ICONMASK, MB_ICONINFORMATION);
}
