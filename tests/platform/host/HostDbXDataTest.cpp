#include <gtest/gtest.h>

#include "platform/host/KvAcDb.h"

namespace {

class HostXData : public ::testing::Test {
 protected:
  void SetUp() override {
    doc_ = acDocManagerPtr()->newDocument();
    AcDbEntity* e = nullptr;
    ASSERT_EQ(KvDbAppendToModelSpace(nullptr, "LINE", e, &id_), Acad::eOk);
    e->close();
  }
  void TearDown() override {
    EXPECT_EQ(doc_->database()->numOpenObjects(), 0);
    acDocManagerPtr()->closeDocument(doc_);
  }
  AcApDocument* doc_ = nullptr;
  AcDbObjectId id_;
};

TEST_F(HostXData, BuiltListsHoldTheirValuesInOrder) {
  const double pt[3] = {1, 2, 3};
  KvResbufPtr list(acutBuildList(1001, "QLV_PICTURE", 1000, "水泵", 1011, pt, 1070, 7, 1071, 70000L, 1040, 2.5,
                                 RTNONE));
  ASSERT_TRUE(list);
  EXPECT_EQ(KvRbLength(list.get()), 6);
  const resbuf* rb = list.get();
  EXPECT_EQ(KvRbString(rb), "QLV_PICTURE");
  rb = rb->rbnext;
  EXPECT_EQ(KvRbString(rb), "水泵");
  rb = rb->rbnext;
  EXPECT_EQ(rb->resval.rpoint[2], 3.0);
  rb = rb->rbnext;
  EXPECT_EQ(rb->resval.rint, 7);
  rb = rb->rbnext;
  EXPECT_EQ(rb->resval.rlong, 70000);
  rb = rb->rbnext;
  EXPECT_EQ(rb->resval.rreal, 2.5);
  EXPECT_EQ(acutBuildList(99999, 1, RTNONE), nullptr);  // unknown type code
  KvResbufPtr copy(KvRbCopy(list.get()));
  EXPECT_EQ(KvRbString(copy->rbnext), "水泵");
  EXPECT_NE(copy->rbnext->resval.rstring, list->rbnext->resval.rstring);
}

TEST_F(HostXData, XDataSetOnAnEntityReadsBackEqual) {
  ASSERT_EQ(acdbRegApp("QLV_SBBTEXT"), RTNORM);
  ASSERT_EQ(acdbRegApp("QLV_SBBHANDLE"), RTNORM);
  KvResbufPtr chain(acutBuildList(1001, "QLV_SBBTEXT", 1070, 3, 1000, "设备名称", 1001, "QLV_SBBHANDLE", 1005, "2F",
                                  RTNONE));
  AcDbEntity* e = nullptr;
  ASSERT_EQ(acdbOpenObject(e, id_, AcDb::kForWrite), Acad::eOk);
  ASSERT_EQ(e->setXData(chain.get()), Acad::eOk);
  e->close();

  ASSERT_EQ(acdbOpenObject(e, id_, AcDb::kForRead), Acad::eOk);
  KvResbufPtr text(e->xData("qlv_sbbtext"));
  KvResbufPtr all(e->xData());
  KvResbufPtr none(e->xData("QLV_PICTURE"));
  e->close();
  ASSERT_TRUE(text);
  EXPECT_EQ(KvRbLength(text.get()), 3);
  EXPECT_EQ(text->rbnext->resval.rint, 3);
  EXPECT_EQ(KvRbString(text->rbnext->rbnext), "设备名称");
  ASSERT_TRUE(all);
  EXPECT_EQ(KvRbLength(all.get()), 5);
  EXPECT_EQ(KvRbString(all->rbnext->rbnext->rbnext->rbnext), "2F");
  EXPECT_FALSE(none);
}

TEST_F(HostXData, ALoneApplicationNameRemovesItsData) {
  ASSERT_EQ(acdbRegApp("QLV_SBBTEXT"), RTNORM);
  AcDbEntity* e = nullptr;
  ASSERT_EQ(acdbOpenObject(e, id_, AcDb::kForWrite), Acad::eOk);
  KvResbufPtr chain(acutBuildList(1001, "QLV_SBBTEXT", 1070, 1, RTNONE));
  ASSERT_EQ(e->setXData(chain.get()), Acad::eOk);
  KvResbufPtr clear(acutBuildList(1001, "QLV_SBBTEXT", RTNONE));
  ASSERT_EQ(e->setXData(clear.get()), Acad::eOk);
  EXPECT_EQ(e->xData("QLV_SBBTEXT"), nullptr);
  e->close();
}

TEST_F(HostXData, BadListsAreRefusedAndChangeNothing) {
  AcDbEntity* e = nullptr;
  ASSERT_EQ(acdbOpenObject(e, id_, AcDb::kForWrite), Acad::eOk);
  KvResbufPtr unregistered(acutBuildList(1001, "NOT_REGISTERED", 1000, "x", RTNONE));
  EXPECT_EQ(e->setXData(unregistered.get()), Acad::eRegappIdNotFound);
  KvResbufPtr headless(acutBuildList(1000, "x", RTNONE));
  EXPECT_EQ(e->setXData(headless.get()), Acad::eInvalidInput);
  ASSERT_EQ(acdbRegApp("QLV_SBBDY"), RTNORM);
  KvResbufPtr badCode(acutBuildList(1001, "QLV_SBBDY", 40, 1.0, RTNONE));
  EXPECT_EQ(e->setXData(badCode.get()), Acad::eInvalidInput);
  EXPECT_EQ(e->xData(), nullptr);
  e->close();
  AcDbEntity* r = nullptr;
  ASSERT_EQ(acdbOpenObject(r, id_, AcDb::kForRead), Acad::eOk);
  KvResbufPtr ok(acutBuildList(1001, "QLV_SBBDY", 1000, "x", RTNONE));
  EXPECT_EQ(r->setXData(ok.get()), Acad::eNotOpenForWrite);
  r->close();
}

}  // namespace
