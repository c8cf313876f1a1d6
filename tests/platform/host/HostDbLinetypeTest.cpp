#include <fstream>

#include <gtest/gtest.h>

#include "platform/base/KvEncoding.h"
#include "platform/cad/lin/KvLinetypeDefinition.h"
#include "platform/host/KvLinetypeLoad.h"
#include "tests/support/TempDir.h"

namespace {

const char* const kLinFile =
    ";; linetypes for the loader tests\r\n"
    "*DASH2,two dashes\r\n"
    "A,12.7,-6.35\r\n"
    "*BROKEN,bad number\r\n"
    "A,1,x\r\n"
    ";;TAV LINETYPE DEFINE\r\n"
    "*TAV_W,------ W ------\r\n"
    "A,50,0,[\"W\",Standard,S=2,R=30,X=1.1,Y=-1],-4\r\n"
    "*ZIG,named shape\r\n"
    "A,.0001,-.2,[ZIG,ltypeshp.shx,x=-.2,s=.2],-.4\r\n"
    "*SHAPE132,numbered shape\r\n"
    "A,1,[132,ltypeshp.shx,S=2,A=90],-1\r\n"
    "*NOSTYLE,style not in the drawing\r\n"
    "A,5,[\"T\",PZ_QLV],-2\r\n";

class HostLinetype : public ::testing::Test {
 protected:
  void SetUp() override {
    doc_ = acDocManagerPtr()->newDocument();
    path_ = dir_.file("test.Lin");
    std::ofstream(path_, std::ios::binary) << kLinFile;
  }
  void TearDown() override {
    EXPECT_EQ(db()->numOpenObjects(), 0);
    acDocManagerPtr()->closeDocument(doc_);
  }
  AcDbDatabase* db() { return doc_->database(); }
  tav::test::TempDir dir_;
  std::string path_;
  AcApDocument* doc_ = nullptr;
};

TEST_F(HostLinetype, ATextLinetypeSavedAndReopenedReadsBackItsPattern) {
  ASSERT_EQ(acdbLoadLineTypeFile("TAV_W", path_.c_str(), db()), Acad::eOk);
  ASSERT_EQ(db()->saveAs(dir_.file("lt.dxf")), Acad::eOk);
  std::unique_ptr<AcDbDatabase> reopened = AcDbDatabase::open(dir_.file("lt.dxf"));
  ASSERT_TRUE(reopened);

  AcDbLinetypeTable* table = nullptr;
  ASSERT_EQ(reopened->getSymbolTable(table, AcDb::kForRead), Acad::eOk);
  AcDbLinetypeTableRecord* rec = nullptr;
  ASSERT_EQ(table->getAt("tav_w", rec, AcDb::kForRead), Acad::eOk);
  table->close();
  EXPECT_EQ(rec->getName(), "TAV_W");
  EXPECT_EQ(rec->comments(), "------ W ------");
  ASSERT_EQ(rec->numDashes(), 3);
  EXPECT_EQ(rec->dashLengthAt(0), 50.0);
  EXPECT_EQ(rec->dashLengthAt(1), 0.0);
  EXPECT_EQ(rec->dashLengthAt(2), -4.0);
  EXPECT_EQ(rec->patternLength(), 54.0);
  EXPECT_EQ(rec->textAt(0), "");
  EXPECT_EQ(rec->textAt(1), "W");
  EXPECT_EQ(rec->shapeScaleAt(1), 2.0);
  EXPECT_EQ(tav::RadiansToDegrees(rec->shapeRotationAt(1)), 30.0);
  EXPECT_EQ(rec->shapeOffsetAt(1), (AcGeVector2d{1.1, -1}));
  EXPECT_EQ(rec->shapeFlagsAt(1), 2);
  EXPECT_EQ(rec->shapeNumberAt(1), 0);
  AcDbTextStyleTableRecord* style = nullptr;
  ASSERT_EQ(acdbOpenObject(style, rec->shapeStyleAt(1), AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(style->getName(), "Standard");
  style->close();
  EXPECT_TRUE(rec->shapeStyleAt(0).isNull());
  EXPECT_EQ(rec->dxf().GetInt(72), 65);
  rec->close();
}

TEST_F(HostLinetype, LoadingTwiceOrANameTheFileLacksFails) {
  ASSERT_EQ(acdbLoadLineTypeFile("DASH2", path_.c_str(), nullptr), Acad::eOk);
  EXPECT_EQ(acdbLoadLineTypeFile("dash2", path_.c_str(), nullptr), Acad::eDuplicateRecordName);
  EXPECT_EQ(acdbLoadLineTypeFile("NOPE", path_.c_str(), nullptr), Acad::eUndefinedLineType);
  EXPECT_EQ(acdbLoadLineTypeFile("TAV_W", dir_.file("missing.Lin").c_str(), nullptr), Acad::eFileNotFound);
  EXPECT_EQ(acdbLoadLineTypeFile("", path_.c_str(), nullptr), Acad::eInvalidInput);
}

TEST_F(HostLinetype, BrokenDefinitionsAndMissingStylesAddNoRecord) {
  std::size_t before = db()->document().TableRecords("LTYPE").size();
  std::string message;
  EXPECT_EQ(tav::host::LoadLinetypeFile("BROKEN", path_, db(), &message), Acad::eInvalidInput);
  EXPECT_NE(message.find("line 5"), std::string::npos) << message;
  EXPECT_EQ(tav::host::LoadLinetypeFile("NOSTYLE", path_, db(), &message), Acad::eKeyNotFound);
  EXPECT_NE(message.find("PZ_QLV"), std::string::npos) << message;
  EXPECT_EQ(acdbLoadLineTypeFile("ZIG", path_.c_str(), db()), Acad::eInvalidInput);
  EXPECT_EQ(db()->document().TableRecords("LTYPE").size(), before);
  // Once the style exists the same definition loads.
  ASSERT_FALSE(db()->document().AddRecord("STYLE", "PZ_QLV").IsNull());
  EXPECT_EQ(acdbLoadLineTypeFile("NOSTYLE", path_.c_str(), db()), Acad::eOk);
}

TEST_F(HostLinetype, NumberedShapesGetAShapeFileStyle) {
  ASSERT_EQ(acdbLoadLineTypeFile("SHAPE132", path_.c_str(), db()), Acad::eOk);
  AcDbLinetypeTable* table = nullptr;
  ASSERT_EQ(db()->getSymbolTable(table, AcDb::kForRead), Acad::eOk);
  AcDbLinetypeTableRecord* rec = nullptr;
  ASSERT_EQ(table->getAt("SHAPE132", rec, AcDb::kForRead), Acad::eOk);
  table->close();
  EXPECT_EQ(rec->shapeNumberAt(0), 132);
  EXPECT_EQ(rec->shapeFlagsAt(0), 4 | 1);  // shape, absolute rotation
  EXPECT_EQ(tav::RadiansToDegrees(rec->shapeRotationAt(0)), 90.0);
  tav::cad::DxfObject style = rec->shapeStyleAt(0).dxf();
  EXPECT_EQ(style.GetInt(70) & 1, 1);
  EXPECT_EQ(style.GetString(3), "ltypeshp.shx");
  rec->close();
}

TEST_F(HostLinetype, WildcardsLoadEveryNewWellFormedDefinition) {
  ASSERT_EQ(acdbLoadLineTypeFile("TAV_W", path_.c_str(), db()), Acad::eOk);
  EXPECT_EQ(acdbLoadLineTypeFile("*", path_.c_str(), db()), Acad::eOk);
  tav::cad::DxfDocument& d = db()->document();
  EXPECT_FALSE(d.FindRecord("LTYPE", "DASH2").IsNull());
  EXPECT_FALSE(d.FindRecord("LTYPE", "SHAPE132").IsNull());
  EXPECT_TRUE(d.FindRecord("LTYPE", "BROKEN").IsNull());
  EXPECT_TRUE(d.FindRecord("LTYPE", "ZIG").IsNull());
  EXPECT_EQ(acdbLoadLineTypeFile("DASH*", path_.c_str(), db()), Acad::eUndefinedLineType);  // nothing new
}

TEST_F(HostLinetype, GbkFilesWithChineseTextLoad) {
  std::string gbk;
  ASSERT_TRUE(tav::Utf8ToGbk("*TAV_GS,给水 ---\r\nA,50,0,[\"给水\",Standard,S=2,R=0,X=1.1,Y=-1],-8\r\n", gbk));
  std::ofstream(dir_.file("gbk.Lin"), std::ios::binary) << gbk;
  ASSERT_EQ(acdbLoadLineTypeFile("TAV_GS", dir_.file("gbk.Lin").c_str(), db()), Acad::eOk);
  tav::cad::DxfLinetype lt(db()->document().FindRecord("LTYPE", "TAV_GS"));
  EXPECT_EQ(lt.Description(), "给水 ---");
  ASSERT_EQ(lt.Elements().size(), 3u);
  EXPECT_EQ(lt.Elements()[1].text, "给水");
}

TEST_F(HostLinetype, TheShippedFilesOwnSectionLoadsUnderAWriteLock) {
  const std::string shipped = std::string(TAV_MAIN_DIR) + "/Common/AcadISO.Lin";
  AcApDocManager* dm = acDocManagerPtr();
  ASSERT_EQ(dm->lockDocument(dm->curDocument(), AcAp::kWrite, nullptr, nullptr, true), Acad::eOk);
  ASSERT_EQ(acdbLoadLineTypeFile("TAV_J", shipped.c_str(), acdbHostApplicationServices()->workingDatabase()),
            Acad::eOk);
  // Read it back and erase it again, leaving the drawing as it was.
  AcDbLinetypeTable* table = nullptr;
  ASSERT_EQ(db()->getSymbolTable(table, AcDb::kForRead), Acad::eOk);
  AcDbLinetypeTableRecord* rec = nullptr;
  ASSERT_EQ(table->getAt("TAV_J", rec, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(rec->textAt(1), "J");
  ASSERT_EQ(rec->upgradeOpen(), Acad::eOk);
  EXPECT_EQ(rec->erase(), Acad::eOk);
  rec->close();
  EXPECT_FALSE(table->has("TAV_J"));
  table->close();
  EXPECT_EQ(dm->unlockDocument(dm->curDocument()), Acad::eOk);
  EXPECT_EQ(acdbLoadLineTypeFile("TAV_J", shipped.c_str(), db()), Acad::eOk);  // loads again after the erase
}

}  // namespace
