#include <gtest/gtest.h>

#include "platform/tavdata/KvDbMaterial.h"
#include "tests/support/TempDir.h"

namespace {

class Materials : public ::testing::Test {
 protected:
  void SetUp() override { doc_ = acDocManagerPtr()->newDocument(); }
  void TearDown() override {
    EXPECT_EQ(doc_->database()->numOpenObjects(), 0);
    acDocManagerPtr()->closeAll();
  }
  AcDbDatabase* db() { return doc_->database(); }
  void SaveAndReopen() {
    ASSERT_EQ(db()->saveAs(dir_.file("materials.dxf")), Acad::eOk);
    AcApDocument* old = doc_;
    doc_ = acDocManagerPtr()->openDocument(dir_.file("materials.dxf"));
    ASSERT_NE(doc_, nullptr);
    acDocManagerPtr()->closeDocument(old);
  }
  std::vector<std::string> Keys() {
    std::vector<std::string> keys;
    AcDbDictionary* dict = GetAecMaterialDictionary(AcDb::kForRead);
    if (!dict) return keys;
    for (const auto& [key, id] : dict->entries()) keys.push_back(key);
    dict->close();
    return keys;
  }
  tav::test::TempDir dir_;
  AcApDocument* doc_ = nullptr;
};

TEST_F(Materials, TheDictionaryAppearsOnlyWhenOpenedForWrite) {
  EXPECT_EQ(GetAecMaterialDictionary(AcDb::kForRead), nullptr);
  AcDbDictionary* dict = GetAecMaterialDictionary(AcDb::kForWrite);
  ASSERT_NE(dict, nullptr);
  EXPECT_EQ(dict->numEntries(), 0);
  dict->close();
  dict = GetAecMaterialDictionary(AcDb::kForRead);
  ASSERT_NE(dict, nullptr);
  dict->close();
}

TEST_F(Materials, InitialisedMaterialsKeepTheirOrderAndAreMadeOnce) {
  AcDbObjectId brick = KvDtInitMaterial("VENO_SYS_MAT_BRICK");
  AcDbObjectId custom = KvDtInitMaterial("加气块");
  AcDbObjectId concrete = KvDtInitMaterial("VENO_SYS_MAT_CONCRETE");
  ASSERT_FALSE(brick.isNull());
  ASSERT_FALSE(custom.isNull());
  EXPECT_EQ(KvDtInitMaterial("加气块"), custom);
  EXPECT_TRUE(KvDtInitMaterial("").isNull());
  EXPECT_EQ(Keys(), (std::vector<std::string>{"VENO_SYS_MAT_BRICK", "加气块", "VENO_SYS_MAT_CONCRETE"}));

  // System materials start with their own hatches; concrete outranks brick.
  KvDbMaterial* b = nullptr;
  KvDbMaterial* c = nullptr;
  ASSERT_EQ(acdbOpenObject(b, brick, AcDb::kForRead), Acad::eOk);
  ASSERT_EQ(acdbOpenObject(c, concrete, AcDb::kForRead), Acad::eOk);
  EXPECT_NE(b->GetDetailHatchStyle(), c->GetDetailHatchStyle());
  EXPECT_GT(c->GetPriority(), b->GetPriority());
  EXPECT_EQ(b->SetPriority(1), Acad::eNotOpenForWrite);
  b->close();
  c->close();
}

TEST_F(Materials, EveryFieldSurvivesSaveAndReopen) {
  tav::cad::DxfObject pattern = db()->document().AddBlock("墙体线图案");
  tav::cad::DxfObject detail = db()->document().AddBlock("详图线图案");
  AcDbObjectId id = KvDtInitMaterial("VENO_SYS_MAT_FILL");
  KvDbMaterial* m = nullptr;
  ASSERT_EQ(acdbOpenObject(m, id, AcDb::kForWrite), Acad::eOk);
  m->SetHatchStyle("AR-B816");
  m->SetDetailHatchStyle("AR-SAND");
  m->SetLinePatternHatch(true);
  m->SetDetailinePatternHatch(true);
  m->SetHatchColor(3);
  m->SetDetailHatchColor(256);
  m->SetLineWeight(0.35);
  m->SetDetailLineWeight(0.5);
  m->SetPriority(200);
  EXPECT_EQ(m->SetLinePatternStyleId(GetBlockTableRecordId("墙体线图案")), Acad::eOk);
  EXPECT_EQ(m->SetDetailLinePatternStyleId(GetBlockTableRecordId("详图线图案")), Acad::eOk);
  EXPECT_EQ(m->close(), Acad::eOk);

  SaveAndReopen();
  AcDbDictionary* dict = GetAecMaterialDictionary(AcDb::kForRead);
  ASSERT_NE(dict, nullptr);
  ASSERT_EQ(dict->getAt("VENO_SYS_MAT_FILL", m, AcDb::kForRead), Acad::eOk);
  dict->close();
  EXPECT_EQ(m->GetHatchStyle(), "AR-B816");
  EXPECT_EQ(m->GetDetailHatchStyle(), "AR-SAND");
  EXPECT_TRUE(m->IsLinePatternHatch());
  EXPECT_TRUE(m->IsDetailinePatternHatch());
  EXPECT_EQ(m->GetHatchColor(), 3);
  EXPECT_EQ(m->GetDetailHatchColor(), 256);
  EXPECT_EQ(m->GetLineWeight(), 0.35);
  EXPECT_EQ(m->GetDetailLineWeight(), 0.5);
  EXPECT_EQ(m->GetPriority(), 200);
  AcDbSymbolTableRecord* rec = nullptr;
  ASSERT_EQ(acdbOpenObject(rec, m->GetLinePatternStyle(), AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(rec->getName(), "墙体线图案");
  rec->close();
  ASSERT_EQ(acdbOpenObject(rec, m->GetDetailLinePatternStyle(), AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(rec->getName(), "详图线图案");
  rec->close();
  m->close();
  (void)pattern;
  (void)detail;
}

TEST_F(Materials, ClearingALinePatternRemovesTheReference) {
  db()->document().AddBlock("P");
  AcDbObjectId id = KvDtInitMaterial("VENO_SYS_MAT_STEEL");
  KvDbMaterial* m = nullptr;
  ASSERT_EQ(acdbOpenObject(m, id, AcDb::kForWrite), Acad::eOk);
  m->SetLinePatternStyleId(GetBlockTableRecordId("P"));
  m->close();
  ASSERT_EQ(acdbOpenObject(m, id, AcDb::kForWrite), Acad::eOk);
  EXPECT_FALSE(m->GetLinePatternStyle().isNull());
  m->SetLinePatternStyleId(AcDbObjectId());
  m->close();
  ASSERT_EQ(acdbOpenObject(m, id, AcDb::kForRead), Acad::eOk);
  EXPECT_TRUE(m->GetLinePatternStyle().isNull());
  EXPECT_LT(m->dxf().Find(340), 0);
  m->close();
}

TEST_F(Materials, OtherObjectsDoNotOpenAsMaterials) {
  AcDbDictionary* root = nullptr;
  ASSERT_EQ(db()->getNamedObjectsDictionary(root, AcDb::kForWrite), Acad::eOk);
  AcDbObjectId plain;
  ASSERT_EQ(root->addXrecord("SOMETHING", plain), Acad::eOk);
  root->close();
  KvDbMaterial* m = nullptr;
  EXPECT_EQ(acdbOpenObject(m, plain, AcDb::kForRead), Acad::eNotThatKindOfClass);
  EXPECT_EQ(acdbOpenObject(m, db()->modelSpaceId(), AcDb::kForRead), Acad::eNotThatKindOfClass);
}

}  // namespace
