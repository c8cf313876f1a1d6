// Filters over many entities and large selection sets: type lists mixing plain names and patterns,
// letter case, application filters, per-text results, repeats and order in sets.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/cad/DxfViews.h"
#include "platform/host/KvSelection.h"
#include "platform/host/KvWcMatch.h"

namespace {

using tav::host::MakeSelectionSet;
using tav::host::MatchesFilter;
using tav::host::SelectionIds;
using tav::host::SelectionSetCount;

class HostSelectionFilter : public ::testing::Test {
 protected:
  void SetUp() override {
    doc_ = acDocManagerPtr()->newDocument();
    setsBefore_ = SelectionSetCount();
    ASSERT_EQ(acdbRegApp("QLV_SBBHANDLE"), RTNORM);
    ASSERT_EQ(acdbRegApp("QLV_SBBDY"), RTNORM);
    ASSERT_EQ(acdbRegApp("OTHER_APP"), RTNORM);
  }
  void TearDown() override {
    EXPECT_EQ(SelectionSetCount(), setsBefore_) << "a selection set was not freed";
    EXPECT_EQ(doc_->database()->numOpenObjects(), 0);
    acDocManagerPtr()->closeDocument(doc_);
  }
  // A new model space entity of `type`, with a chain for each application in `apps` and on `layer`
  // when one is given.
  AcDbObjectId Add(const char* type, std::vector<const char*> apps = {}, const char* layer = nullptr) {
    AcDbEntity* e = nullptr;
    AcDbObjectId id;
    EXPECT_EQ(KvDbAppendToModelSpace(nullptr, type, e, &id), Acad::eOk);
    for (const char* app : apps) {
      KvResbufPtr x(acutBuildList(1001, app, 1000, "1A", RTNONE));
      EXPECT_EQ(e->setXData(x.get()), Acad::eOk);
    }
    e->close();
    if (layer) {
      EXPECT_TRUE(tav::cad::DxfEntity(id.dxf()).SetLayer(layer));
    }
    return id;
  }
  // The ids acedSSGet("X") selects with `filter`; empty when it selects nothing.
  AcDbObjectIdArray SelectX(const resbuf* filter) {
    tav::host::KvSelectionSet ss;
    if (acedSSGet("X", nullptr, nullptr, filter, ss.name()) != RTNORM) return {};
    return SelectionIds(ss.name());
  }
  AcApDocument* doc_ = nullptr;
  int setsBefore_ = 0;
};

TEST_F(HostSelectionFilter, TypeListsMixPlainNamesAndPatterns) {
  const AcDbObjectId line = Add("LINE"), text = Add("TEXT"), circle = Add("CIRCLE"), poly = Add("LWPOLYLINE"),
                     mtext = Add("MTEXT");
  KvResbufPtr mixed(acutBuildList(RTDXF0, "LINE,*POLY*,MTEXT", RTNONE));
  EXPECT_EQ(SelectX(mixed.get()), (AcDbObjectIdArray{line, poly, mtext}));
  KvResbufPtr patternFirst(acutBuildList(RTDXF0, "C?RCLE,TEXT", RTNONE));
  EXPECT_EQ(SelectX(patternFirst.get()), (AcDbObjectIdArray{text, circle}));
  KvResbufPtr negated(acutBuildList(RTDXF0, "~*TEXT", RTNONE));
  EXPECT_EQ(SelectX(negated.get()), (AcDbObjectIdArray{line, circle, poly}));
}

TEST_F(HostSelectionFilter, PlainTypeNamesIgnoreCaseButMatchWhole) {
  const AcDbObjectId line = Add("LINE"), text = Add("TEXT");
  Add("LWPOLYLINE");
  KvResbufPtr lower(acutBuildList(RTDXF0, "text,Line", RTNONE));
  EXPECT_EQ(SelectX(lower.get()), (AcDbObjectIdArray{line, text}));
  KvResbufPtr prefix(acutBuildList(RTDXF0, "LIN,TEX", RTNONE));
  EXPECT_TRUE(SelectX(prefix.get()).empty());
  KvResbufPtr spaced(acutBuildList(RTDXF0, "TEXT, LINE", RTNONE));  // " LINE" names no type
  EXPECT_EQ(SelectX(spaced.get()), (AcDbObjectIdArray{text}));
  KvResbufPtr emptyItem(acutBuildList(RTDXF0, "CIRCLE,,LINE", RTNONE));
  EXPECT_EQ(SelectX(emptyItem.get()), (AcDbObjectIdArray{line}));
}

TEST_F(HostSelectionFilter, TypeFilterAgreesWithWildcardMatching) {
  const std::vector<const char*> types = {"LINE", "TEXT", "LWPOLYLINE", "INSERT", "CIRCLE", "MTEXT"};
  std::vector<AcDbObjectId> ids;
  for (const char* t : types) ids.push_back(Add(t));
  const std::vector<const char*> patterns = {"TEXT,LINE,LWPOLYLINE,INSERT", "line", "*TEXT", "~LINE", "[LT]*",
                                             "?INE,CIRCLE", "", "LINE,", "@@@@", "INSERT`,", "*"};
  for (const char* pattern : patterns) {
    KvResbufPtr filter(acutBuildList(RTDXF0, pattern, RTNONE));
    for (std::size_t i = 0; i < types.size(); ++i)
      EXPECT_EQ(MatchesFilter(ids[i].dxf(), filter.get()), acutWcMatch(types[i], pattern) == RTNORM)
          << types[i] << " against \"" << pattern << "\"";
  }
}

TEST_F(HostSelectionFilter, ApplicationFilterFindsAnyChainAfterTheMarker) {
  const AcDbObjectId both = Add("LINE", {"OTHER_APP", "QLV_SBBHANDLE"});
  const AcDbObjectId other = Add("LINE", {"OTHER_APP"});
  const AcDbObjectId define = Add("TEXT", {"QLV_SBBDY"});
  Add("TEXT");
  KvResbufPtr marked(acutBuildList(RTDXF0, "LINE,TEXT", -3, "", 1001, "qlv_sbbhandle", RTNONE));
  EXPECT_EQ(SelectX(marked.get()), (AcDbObjectIdArray{both}));
  KvResbufPtr pattern(acutBuildList(-3, "", 1001, "QLV_*", RTNONE));
  EXPECT_EQ(SelectX(pattern.get()), (AcDbObjectIdArray{both, define}));
  KvResbufPtr list(acutBuildList(1001, "OTHER_APP,QLV_SBBDY", RTNONE));
  EXPECT_EQ(SelectX(list.get()), (AcDbObjectIdArray{both, other, define}));
}

TEST_F(HostSelectionFilter, EachTextGetsItsOwnResultAcrossManyEntities) {
  // Alternating layers, so that a result remembered for one text must not be given to another.
  AcDbObjectIdArray water, drain, plain;
  for (int i = 0; i < 60; ++i) {
    water.push_back(Add("LINE", {}, "给水管"));
    drain.push_back(Add("LINE", {}, "排水管"));
    plain.push_back(Add("LINE"));
  }
  KvResbufPtr pattern(acutBuildList(8, "给*", RTNONE));
  EXPECT_EQ(SelectX(pattern.get()), water);
  KvResbufPtr exact(acutBuildList(8, "排水管", RTNONE));
  EXPECT_EQ(SelectX(exact.get()), drain);
  KvResbufPtr absent(acutBuildList(8, "0", RTNONE));  // an entity without a layer tag is on "0"
  EXPECT_EQ(SelectX(absent.get()), plain);
  KvResbufPtr notWater(acutBuildList(RTDXF0, "LINE", 8, "~给*", RTNONE));
  AcDbObjectIdArray rest;
  for (int i = 0; i < 60; ++i) {
    rest.push_back(drain[static_cast<std::size_t>(i)]);
    rest.push_back(plain[static_cast<std::size_t>(i)]);
  }
  EXPECT_EQ(SelectX(notWater.get()), rest);
}

TEST_F(HostSelectionFilter, MadeSetsDropRepeatsAndNullsKeepingFirstOrder) {
  AcDbObjectIdArray ids;
  for (int i = 0; i < 100; ++i) ids.push_back(Add(i % 2 ? "LINE" : "TEXT"));
  AcDbObjectIdArray input;
  for (std::size_t i = ids.size(); i-- > 0;) {
    input.push_back(ids[i]);
    input.push_back(AcDbObjectId());
    if (i % 3 == 0) input.push_back(ids[i + (ids.size() - i) / 2]);  // one already given
  }
  AcDbObjectIdArray expected;
  for (std::size_t i = ids.size(); i-- > 0;) expected.push_back(ids[i]);
  tav::host::KvSelectionSet ss;
  MakeSelectionSet(input, ss.name());
  EXPECT_EQ(SelectionIds(ss.name()), expected);
}

TEST_F(HostSelectionFilter, LargeSetsAddOnceAndForgetRemovedMembers) {
  AcDbObjectIdArray ids;
  for (int i = 0; i < 80; ++i) ids.push_back(Add("LINE"));
  tav::host::KvSelectionSet ss;
  MakeSelectionSet(ids, ss.name());
  std::vector<std::array<std::int64_t, 2>> names(ids.size());
  for (std::size_t i = 0; i < ids.size(); ++i) acdbGetAdsName(names[i].data(), ids[i]);
  ads_name result;
  for (std::size_t i = 0; i < ids.size(); i += 5) ASSERT_EQ(acedSSAdd(names[i].data(), ss.name(), result), RTNORM);
  EXPECT_EQ(SelectionIds(ss.name()), ids);
  for (std::size_t i = 0; i < ids.size(); ++i) EXPECT_EQ(acedSSMemb(names[i].data(), ss.name()), RTNORM);

  ASSERT_EQ(acedSSDel(names[10].data(), ss.name()), RTNORM);
  EXPECT_EQ(acedSSMemb(names[10].data(), ss.name()), RTERROR);
  EXPECT_EQ(acedSSDel(names[10].data(), ss.name()), RTERROR);
  ASSERT_EQ(acedSSAdd(names[10].data(), ss.name(), result), RTNORM);  // comes back at the end
  AcDbObjectIdArray expected = ids;
  expected.erase(expected.begin() + 10);
  expected.push_back(ids[10]);
  EXPECT_EQ(SelectionIds(ss.name()), expected);
  EXPECT_EQ(acedSSMemb(names[10].data(), ss.name()), RTNORM);
  std::int32_t n = 0;
  ASSERT_EQ(acedSSLength(ss.name(), &n), RTNORM);
  EXPECT_EQ(n, 80);
}

}  // namespace
