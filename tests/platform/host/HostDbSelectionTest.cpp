#include <gtest/gtest.h>

#include "platform/host/KvScriptedUserServices.h"
#include "platform/host/KvSelection.h"

namespace {

using tav::host::SelectionIds;
using tav::host::SelectionSetCount;

// A drawing with a table line and text carrying QLV_SBBHANDLE, a plain circle and a polyline.
class HostSelection : public ::testing::Test {
 protected:
  void SetUp() override {
    doc_ = acDocManagerPtr()->newDocument();
    setsBefore_ = SelectionSetCount();
    ASSERT_EQ(acdbRegApp("QLV_SBBHANDLE"), RTNORM);
    line_ = Add("LINE", true);
    text_ = Add("TEXT", true);
    circle_ = Add("CIRCLE", false);
    poly_ = Add("LWPOLYLINE", false);
  }
  void TearDown() override {
    EXPECT_EQ(SelectionSetCount(), setsBefore_) << "a selection set was not freed";
    EXPECT_EQ(doc_->database()->numOpenObjects(), 0);
    acDocManagerPtr()->closeDocument(doc_);
  }
  AcDbObjectId Add(const char* type, bool tagged) {
    AcDbEntity* e = nullptr;
    AcDbObjectId id;
    EXPECT_EQ(KvDbAppendToModelSpace(nullptr, type, e, &id), Acad::eOk);
    if (tagged) {
      KvResbufPtr x(acutBuildList(1001, "QLV_SBBHANDLE", 1005, "1A", RTNONE));
      EXPECT_EQ(e->setXData(x.get()), Acad::eOk);
    }
    e->close();
    return id;
  }
  AcApDocument* doc_ = nullptr;
  int setsBefore_ = 0;
  AcDbObjectId line_, text_, circle_, poly_;
};

TEST_F(HostSelection, SelectAllFiltersByTypeAndApplication) {
  KvResbufPtr filter(acutBuildList(RTDXF0, "TEXT,LINE,LWPOLYLINE,INSERT", 1001, "QLV_SBBHANDLE", RTNONE));
  ads_name ss;
  ASSERT_EQ(acedSSGet("X", nullptr, nullptr, filter.get(), ss), RTNORM);
  EXPECT_EQ(SelectionIds(ss), (AcDbObjectIdArray{line_, text_}));
  std::int32_t n = 0;
  ASSERT_EQ(acedSSLength(ss, &n), RTNORM);
  EXPECT_EQ(n, 2);
  ads_name ent;
  ASSERT_EQ(acedSSName(ss, 1, ent), RTNORM);
  AcDbObjectId id;
  ASSERT_EQ(acdbGetObjectId(id, ent), Acad::eOk);
  EXPECT_EQ(id, text_);
  EXPECT_EQ(acedSSName(ss, 2, ent), RTERROR);
  EXPECT_EQ(acedSSFree(ss), RTNORM);
  EXPECT_EQ(acedSSFree(ss), RTERROR);
  EXPECT_EQ(acedSSLength(ss, &n), RTERROR);
}

TEST_F(HostSelection, TheXdataMarkerFormAndTypeAloneWorkToo) {
  KvResbufPtr marked(acutBuildList(RTDXF0, "LINE,LWPOLYLINE", -3, "", 1001, "QLV_*", RTNONE));
  tav::host::KvSelectionSet a;
  ASSERT_EQ(acedSSGet("_X", nullptr, nullptr, marked.get(), a.name()), RTNORM);
  EXPECT_EQ(SelectionIds(a.name()), (AcDbObjectIdArray{line_}));
  KvResbufPtr types(acutBuildList(RTDXF0, "*LINE", RTNONE));
  tav::host::KvSelectionSet b;
  ASSERT_EQ(acedSSGet("X", nullptr, nullptr, types.get(), b.name()), RTNORM);
  EXPECT_EQ(SelectionIds(b.name()), (AcDbObjectIdArray{line_, poly_}));
}

TEST_F(HostSelection, NothingSelectedOrAnUnsupportedFilterCreatesNoSet) {
  KvResbufPtr none(acutBuildList(RTDXF0, "INSERT", RTNONE));
  ads_name ss = {0, 0};
  EXPECT_EQ(acedSSGet("X", nullptr, nullptr, none.get(), ss), RTERROR);
  KvResbufPtr op(acutBuildList(-4, "<OR", RTDXF0, "LINE", -4, "OR>", RTNONE));
  EXPECT_EQ(acedSSGet("X", nullptr, nullptr, op.get(), ss), RTERROR);
  EXPECT_EQ(acedSSGet("W", nullptr, nullptr, nullptr, ss), RTERROR);
}

TEST_F(HostSelection, FiltersOnLayerAndColour) {
  AcDbEntity* e = nullptr;
  ASSERT_EQ(acdbOpenObject(e, circle_, AcDb::kForWrite), Acad::eOk);
  ASSERT_EQ(e->setColorIndex(1), Acad::eOk);
  e->close();
  KvResbufPtr red(acutBuildList(62, 1, RTNONE));
  tav::host::KvSelectionSet s;
  ASSERT_EQ(acedSSGet("X", nullptr, nullptr, red.get(), s.name()), RTNORM);
  EXPECT_EQ(SelectionIds(s.name()), (AcDbObjectIdArray{circle_}));
  KvResbufPtr layer(acutBuildList(8, "PZ_*", RTNONE));
  tav::host::KvSelectionSet t;
  EXPECT_EQ(acedSSGet("X", nullptr, nullptr, layer.get(), t.name()), RTERROR);
}

TEST_F(HostSelection, ImpliedSelectionIsThePickfirstSetFiltered) {
  doc_->setPickfirst({circle_, text_});
  KvResbufPtr filter(acutBuildList(RTDXF0, "TEXT", RTNONE));
  tav::host::KvSelectionSet s;
  ASSERT_EQ(acedSSGet("I", nullptr, nullptr, filter.get(), s.name()), RTNORM);
  EXPECT_EQ(SelectionIds(s.name()), (AcDbObjectIdArray{text_}));
  doc_->setPickfirst({});
  tav::host::KvSelectionSet empty;
  EXPECT_EQ(acedSSGet("I", nullptr, nullptr, nullptr, empty.name()), RTERROR);
}

TEST_F(HostSelection, InteractiveSelectionAsksWithThePromptsAndTypes) {
  KvScriptedUserServices services;
  KvUserServicesScope scope(services);
  services.QueueSelection({KvPromptStatus::kNormal, {circle_.handle().value(), line_.handle().value(),
                                                     line_.handle().value(), 0xFFFFFF}});
  KvResbufPtr filter(acutBuildList(RTDXF0, "LINE", RTNONE));
  const char* prompts[2] = {"\n请选择需要统计的设备:", ""};
  tav::host::KvSelectionSet s;
  ASSERT_EQ(acedSSGet(":$", prompts, nullptr, filter.get(), s.name()), RTNORM);
  EXPECT_EQ(SelectionIds(s.name()), (AcDbObjectIdArray{line_}));  // the circle and the unknown handle are dropped
  ASSERT_EQ(services.selectionPrompts().size(), 1u);
  EXPECT_EQ(services.selectionPrompts()[0].prompt, "\n请选择需要统计的设备:");
  EXPECT_EQ(services.selectionPrompts()[0].typeFilter, std::vector<std::string>{"LINE"});

  services.QueueSelection({KvPromptStatus::kCancel, {}});
  tav::host::KvSelectionSet c;
  EXPECT_EQ(acedSSGet(":$", prompts, nullptr, filter.get(), c.name()), RTCAN);
  services.QueueSelection({KvPromptStatus::kNormal, {circle_.handle().value()}});
  EXPECT_EQ(acedSSGet(nullptr, nullptr, nullptr, filter.get(), c.name()), RTERROR);
}

TEST_F(HostSelection, SetsGrowAndShrinkWithoutRepeats) {
  ads_name eLine, eText;
  acdbGetAdsName(eLine, line_);
  acdbGetAdsName(eText, text_);
  ads_name ss;
  ASSERT_EQ(acedSSAdd(eLine, nullptr, ss), RTNORM);
  ads_name same;
  ASSERT_EQ(acedSSAdd(eText, ss, same), RTNORM);
  ASSERT_EQ(acedSSAdd(eLine, ss, same), RTNORM);
  EXPECT_EQ(same[0], ss[0]);
  EXPECT_EQ(SelectionIds(ss), (AcDbObjectIdArray{line_, text_}));
  EXPECT_EQ(acedSSMemb(eText, ss), RTNORM);
  EXPECT_EQ(acedSSDel(eLine, ss), RTNORM);
  EXPECT_EQ(acedSSDel(eLine, ss), RTERROR);
  EXPECT_EQ(acedSSMemb(eLine, ss), RTERROR);
  EXPECT_EQ(SelectionIds(ss), (AcDbObjectIdArray{text_}));
  ads_name empty;
  ASSERT_EQ(acedSSAdd(nullptr, nullptr, empty), RTNORM);
  std::int32_t n = -1;
  ASSERT_EQ(acedSSLength(empty, &n), RTNORM);
  EXPECT_EQ(n, 0);
  acedSSFree(empty);
  acedSSFree(ss);
}

TEST_F(HostSelection, PickingOneEntityGoesThroughTheUserServices) {
  KvScriptedUserServices services;
  KvUserServicesScope scope(services);
  services.QueuePick({KvPromptStatus::kNormal, text_.handle().value(), {5, 6, 0}, {}});
  services.QueuePick({KvPromptStatus::kNone, 0, {}, {}});
  services.QueuePick({KvPromptStatus::kCancel, 0, {}, {}});
  ads_name ent;
  ads_point pt;
  ASSERT_EQ(acedEntSel("\n选择要编辑的设备表:", ent, pt), RTNORM);
  AcDbObjectId id;
  ASSERT_EQ(acdbGetObjectId(id, ent), Acad::eOk);
  EXPECT_EQ(id, text_);
  EXPECT_EQ(pt[0], 5.0);
  EXPECT_EQ(acedEntSel("\n选择要编辑的设备表:", ent, pt), RTERROR);
  EXPECT_EQ(acedEntSel("\n选择要编辑的设备表:", ent, pt), RTCAN);
  ASSERT_EQ(services.pickPrompts().size(), 3u);
  EXPECT_EQ(services.pickPrompts()[0].prompt, "\n选择要编辑的设备表:");
}

}  // namespace
