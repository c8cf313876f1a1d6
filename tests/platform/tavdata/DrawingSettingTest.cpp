#include <gtest/gtest.h>

#include "platform/tavdata/KvDbSetting.h"
#include "tests/support/TempDir.h"

namespace {

class DrawingSettings : public ::testing::Test {
 protected:
  void SetUp() override { doc_ = acDocManagerPtr()->newDocument(); }
  void TearDown() override {
    EXPECT_EQ(acdbHostApplicationServices()->workingDatabase()->numOpenObjects(), 0);
    acDocManagerPtr()->closeAll();
  }
  // Saves the working drawing, opens the file as a new current document and closes the old one.
  void SaveAndReopen() {
    ASSERT_EQ(doc_->database()->saveAs(dir_.file("settings.dxf")), Acad::eOk);
    AcApDocument* old = doc_;
    tav::cad::DxfResult result;
    doc_ = acDocManagerPtr()->openDocument(dir_.file("settings.dxf"), &result);
    ASSERT_NE(doc_, nullptr) << result.Message();
    acDocManagerPtr()->closeDocument(old);
  }
  tav::test::TempDir dir_;
  AcApDocument* doc_ = nullptr;
};

TEST_F(DrawingSettings, ADrawingWithoutSettingsGivesTheDefaultsAndStaysUntouched) {
  EXPECT_EQ(GetAecSetting(0), nullptr);
  EXPECT_EQ(GetAecSetting(1), nullptr);
  KvDbSetting defaults;
  EXPECT_EQ(KvDbGetPrintScale(), defaults.GetPlotScale());
  EXPECT_EQ(defaults.GetDetailScale(), g_dInitDetailScale);
  EXPECT_EQ(KvDbGetPipeRiserStyle(), KvDbAvPipe::kRiserArc);
  EXPECT_EQ(KvDbGetElbowStyle(), KvDbAvFitting::kElbowWelded);
  EXPECT_GT(KvDbGetSymbElevTrgSize(), 0.0);
  EXPECT_GT(KvDbGetAvTextHeight(), 0.0);
  EXPECT_TRUE(tav::tavdata::DrawingValueKeys(nullptr).empty());
  tav::cad::DxfDictionary root(doc_->database()->document().RootDictionary());
  EXPECT_EQ(root.Get("TAV_SETTINGS"), 0u);  // reading creates nothing
}

TEST_F(DrawingSettings, AFreeStandingSettingHoldsThePlatformDefaults) {
  KvDbSetting setting;
  EXPECT_EQ(setting.GetPlotScale(), 100.0);
  EXPECT_EQ(setting.GetFloorHeight(), 3000.0);
  EXPECT_EQ(setting.GetDisplayMode(), KvDbSetting::k2D);
  EXPECT_FALSE(setting.isDatabaseResident());
  EXPECT_EQ(setting.SetPlotScale(50), Acad::eOk);
  EXPECT_EQ(setting.GetPlotScale(), 50.0);
  EXPECT_EQ(setting.close(), Acad::eNotInDatabase);
}

TEST_F(DrawingSettings, TheSettingsObjectSurvivesSaveAndReopen) {
  ASSERT_EQ(KvDbCreateAecSetting(), Acad::eOk);
  KvDbSetting* setting = GetAecSetting(1);
  ASSERT_NE(setting, nullptr);
  EXPECT_EQ(setting->GetPlotScale(), KvDbSetting::kDefaultPlotScale);
  setting->SetPlotScale(150);
  setting->SetFloorHeight(3300);
  setting->SetDisplayMode(7);  // kept as stored, whatever it is
  setting->SetText2BaseFactor(0.25);
  setting->SetDetailScale(5);
  EXPECT_EQ(setting->close(), Acad::eOk);
  EXPECT_EQ(KvDbGetPrintScale(), 150.0);

  SaveAndReopen();
  KvDbSetting* back = GetAecSetting(0);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->GetPlotScale(), 150.0);
  EXPECT_EQ(back->GetFloorHeight(), 3300.0);
  EXPECT_EQ(back->GetDisplayMode(), 7);
  EXPECT_EQ(back->GetText2BaseFactor(), 0.25);
  EXPECT_EQ(back->GetDetailScale(), 5.0);
  EXPECT_EQ(back->SetPlotScale(1), Acad::eNotOpenForWrite);
  back->close();
}

TEST_F(DrawingSettings, ASettingOpenForWriteCannotBeOpenedAgain) {
  ASSERT_EQ(KvDbCreateAecSetting(), Acad::eOk);
  ASSERT_EQ(KvDbCreateAecSetting(), Acad::eOk);  // exists: nothing happens
  KvDbSetting* writer = GetAecSetting(1);
  ASSERT_NE(writer, nullptr);
  EXPECT_EQ(GetAecSetting(0), nullptr);
  writer->close();
  KvDbSetting* reader = GetAecSetting(0);
  ASSERT_NE(reader, nullptr);
  reader->close();
}

TEST_F(DrawingSettings, EveryPerDrawingValueSurvivesSaveAndReopen) {
  EXPECT_EQ(KvDbSetSymbElevDotSize(1.25), Acad::eOk);
  EXPECT_EQ(KvDbSetSymbElevTrgSize(2.75), Acad::eOk);
  EXPECT_EQ(KvDbSetCircleTextHeightFactor(0.85), Acad::eOk);
  EXPECT_EQ(KvDbSetOldCircleTextStyle(1), Acad::eOk);
  EXPECT_EQ(KvDbSetSpaceAreaPrecision(3), Acad::eOk);
  EXPECT_EQ(KvDbSetStairSingleSect(0), Acad::eOk);
  EXPECT_EQ(KvDbSetBoldLine(1), Acad::eOk);
  EXPECT_EQ(KvDbSetSolidFill(0), Acad::eOk);
  EXPECT_EQ(KvDbSetAvTextHeight(5.5), Acad::eOk);
  EXPECT_EQ(KvDbSetPipeBreakDist(9999), Acad::eOk);
  EXPECT_EQ(KvDbSetDoublePipeLineWidth(0.1), Acad::eOk);
  EXPECT_EQ(KvDbSetPipeRiserStyle(KvDbAvPipe::kRiserCircle), Acad::eOk);
  EXPECT_EQ(KvDbSetElbowCurvature(2.5), Acad::eOk);
  EXPECT_EQ(KvDbSetElbowStyle(KvDbAvFitting::kElbowSeamless), Acad::eOk);
  EXPECT_EQ(KvDbSetPipeUseAddGrip(0), Acad::eOk);
  EXPECT_EQ(KvDbSetUsePipePan(1), Acad::eOk);
  EXPECT_EQ(KvDbSetUnknownDataUseSymbol(1), Acad::eOk);
  EXPECT_EQ(KvDbSetVPipeDimStyle(1), Acad::eOk);
  EXPECT_EQ(KvDbSetVPipeDimTextDist(1.75), Acad::eOk);
  EXPECT_EQ(KvDbSetVPipeDimRadius(4.5), Acad::eOk);
  EXPECT_EQ(KvDbSetVPipeDimDiameter(1), Acad::eOk);
  EXPECT_EQ(KvDbSetValveScale(-2), Acad::eOk);  // stored as given
  EXPECT_EQ(KvDbSetOtherTextDistToLine(0.6), Acad::eOk);
  EXPECT_EQ(KvDbSetSymbElevTrgSize(3.25), Acad::eOk);  // a second write replaces the first

  SaveAndReopen();
  EXPECT_EQ(KvDbGetSymbElevDotSize(), 1.25);
  EXPECT_EQ(KvDbGetSymbElevTrgSize(), 3.25);
  EXPECT_EQ(KvDbGetCircleTextHeightFactor(), 0.85);
  EXPECT_EQ(KvDbGetOldCircleTextStyle(), 1);
  EXPECT_EQ(KvDbGetSpaceAreaPrecision(), 3);
  EXPECT_EQ(KvDbGetStairSingleSect(), 0);
  EXPECT_EQ(KvDbGetBoldLine(), 1);
  EXPECT_EQ(KvDbGetSolidFill(), 0);
  EXPECT_EQ(KvDbGetAvTextHeight(), 5.5);
  EXPECT_EQ(KvDbGetPipeBreakDist(), 9999.0);
  EXPECT_EQ(KvDbGetDoublePipeLineWidth(), 0.1);
  EXPECT_EQ(KvDbGetPipeRiserStyle(), KvDbAvPipe::kRiserCircle);
  EXPECT_EQ(KvDbGetElbowCurvature(), 2.5);
  EXPECT_EQ(KvDbGetElbowStyle(), KvDbAvFitting::kElbowSeamless);
  EXPECT_EQ(KvDbGetPipeUseAddGrip(), 0);
  EXPECT_EQ(KvDbGetUsePipePan(), 1);
  EXPECT_EQ(KvDbGetUnknownDataUseSymbol(), 1);
  EXPECT_EQ(KvDbGetVPipeDimStyle(), 1);
  EXPECT_EQ(KvDbGetVPipeDimTextDist(), 1.75);
  EXPECT_EQ(KvDbGetVPipeDimRadius(), 4.5);
  EXPECT_EQ(KvDbGetVPipeDimDiameter(), 1);
  EXPECT_EQ(KvDbGetValveScale(), -2.0);
  EXPECT_EQ(KvDbGetOtherTextDistToLine(), 0.6);
  EXPECT_EQ(tav::tavdata::DrawingValueKeys(nullptr).size(), 23u);
}

TEST_F(DrawingSettings, ValuesOfOtherWritersAreKept) {
  ASSERT_EQ(KvDbSetValveScale(2), Acad::eOk);
  AcDbObjectId id = KvDbGetAecSettingId();
  EXPECT_TRUE(id.isNull());  // the values do not create the settings object
  ASSERT_EQ(tav::tavdata::SetDrawingValue(nullptr, "SomeLaterOption", 42, true), Acad::eOk);
  ASSERT_EQ(KvDbSetValveScale(3), Acad::eOk);
  double v = 0;
  ASSERT_TRUE(tav::tavdata::GetDrawingValue(nullptr, "SomeLaterOption", v));
  EXPECT_EQ(v, 42.0);
  EXPECT_EQ(KvDbGetValveScale(), 3.0);
}

TEST_F(DrawingSettings, AccessorsFollowTheDatabaseTheyAreGiven) {
  AcDbDatabase other;
  ASSERT_EQ(KvDbSetAvTextHeight(7, &other), Acad::eOk);
  EXPECT_EQ(KvDbGetAvTextHeight(&other), 7.0);
  EXPECT_NE(KvDbGetAvTextHeight(), 7.0);
  acDocManagerPtr()->closeAll();
  EXPECT_EQ(KvDbSetAvTextHeight(7), Acad::eNoDatabase);
  EXPECT_EQ(GetAecSetting(0), nullptr);
  doc_ = acDocManagerPtr()->newDocument();
}

}  // namespace
