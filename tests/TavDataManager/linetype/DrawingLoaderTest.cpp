// Reading definitions back through the host's drawing: loaded into the current drawing, read from its
// linetype table and erased again, under the document's write lock.
#include "LinetypeTestSupport.h"
#include "TavDataManager/linetype/KvAcDbLinetypeLoader.h"
#include "platform/host/KvAcDb.h"
#include "platform/host/KvLinetypeLoad.h"

using namespace linetype_test;

namespace {

bool DrawingHasLinetype(const std::string& name) {
  AcDbLinetypeTable* table = nullptr;
  if (acdbHostApplicationServices()->workingDatabase()->getSymbolTable(table, AcDb::kForRead) != Acad::eOk)
    return false;
  const bool has = table->has(name);
  table->close();
  return has;
}

class DrawingLoader : public LinetypeTest {
 protected:
  void SetUp() override {
    LinetypeTest::SetUp();
    doc = acDocManager->newDocument();
    ASSERT_NE(doc, nullptr);
  }
  void TearDown() override {
    acDocManager->closeDocument(doc);
    LinetypeTest::TearDown();
  }
  AcApDocument* doc = nullptr;
  KvAcDbLinetypeLoader drawingLoader;
};

}  // namespace

TEST_F(DrawingLoader, ReadsTheOwnSectionAndLeavesTheDrawingAsItWas) {
  WriteStandard(
      "*TAV_W,------ W ------\r\nA,50,0,[\"W\",Standard,S=2,R=0,X=1.1,Y=-1],-4\r\n"
      "*TAV_R,------ R ------\r\nA,25.4,-1.5,[\"R\",Standard,S=3.5,R=30,X=-2,Y=0.25],-6\r\n");
  const int locksBefore = doc->writeLocksTaken();
  CLinetypeOptionUtility utility(drawingLoader);
  ASSERT_TRUE(utility.LoadFromLinFile(StandardFile(), false));
  ASSERT_EQ(utility.GetCount(), 2);
  _GpLinetypeData w;
  w.strName = "TAV_W";
  w.strDescription = "------ W ------";
  w.strText = "W";
  EXPECT_EQ(utility.Linetypes()[0], w);
  const auto& r = utility.Linetypes()[1];
  EXPECT_EQ(r.strDashLength1, "25.4");
  EXPECT_EQ(r.strSpaceLength2, "-1.5");
  EXPECT_EQ(r.strSpaceLength3, "-6");
  EXPECT_EQ(r.strTextScale, "3.5");
  EXPECT_EQ(r.strTextRotation, "30");
  EXPECT_EQ(r.strTextOffsetX, "-2");
  EXPECT_EQ(r.strTextOffsetY, "0.25");
  EXPECT_FALSE(DrawingHasLinetype("TAV_W"));
  EXPECT_FALSE(DrawingHasLinetype("TAV_R"));
  EXPECT_EQ(doc->writeLocksTaken(), locksBefore + 1);
  EXPECT_EQ(doc->lockDepth(), 0);
  EXPECT_EQ(doc->database()->numOpenObjects(), 0);
}

TEST_F(DrawingLoader, ALinetypeTheHostDoesNotLoadIsLeftOut) {
  // "HZ" is no text style of a new drawing: the host refuses the definition.
  WriteStandard("*TAV_HZ,hz\r\nA,50,0,[\"H\",HZ,S=2,R=0,X=0,Y=0],-4\r\n*TAV_OK,ok\r\nA,50,0,[\"O\",Standard],-4\r\n");
  CLinetypeOptionUtility utility(drawingLoader);
  ASSERT_TRUE(utility.LoadFromLinFile(StandardFile(), false));
  ASSERT_EQ(utility.GetCount(), 1);
  EXPECT_EQ(utility.Linetypes()[0].strName, "TAV_OK");
  EXPECT_EQ(services.output(), "");
}

TEST_F(DrawingLoader, ALinetypeTheDrawingAlreadyHoldsIsNotReadNorErased) {
  WriteStandard("*TAV_W,------ W ------\r\nA,50,0,[\"W\",Standard,S=2,R=0,X=1.1,Y=-1],-4\r\n");
  ASSERT_EQ(acdbLoadLineTypeFile("TAV_W", StandardFile().c_str()), Acad::eOk);
  CLinetypeOptionUtility utility(drawingLoader);
  ASSERT_TRUE(utility.LoadFromLinFile(StandardFile(), false));
  EXPECT_EQ(utility.GetCount(), 0);
  EXPECT_TRUE(DrawingHasLinetype("TAV_W"));
}

TEST_F(DrawingLoader, TheDrawingIsTheDefaultWhileThereIsOne) {
  WriteStandard("*TAV_W,------ W ------\r\nA,50,0,[\"W\",Standard,S=2,R=0,X=1.1,Y=-1],-4\r\n");
  const int locksBefore = doc->writeLocksTaken();
  CLinetypeOptionUtility utility;
  ASSERT_TRUE(utility.LoadFromLinFile(StandardFile(), false));
  EXPECT_EQ(utility.GetCount(), 1);
  EXPECT_EQ(doc->writeLocksTaken(), locksBefore + 1);
}

TEST_F(DrawingLoader, UserImportWithNothingLoadedPrintsOnTheCommandLine) {
  WriteStandard("");
  WriteBytes(dir.file("user.Lin"), kStandardForeign);
  CLinetypeOptionUtility utility(drawingLoader);
  ASSERT_TRUE(utility.LoadFromLinFile(dir.file("user.Lin"), true));
  EXPECT_EQ(utility.GetCount(), 0);
  EXPECT_EQ(services.output(), "\n没有线型被导入.");
  EXPECT_EQ(services.commandPrompts(), 1);
}
