#include <fstream>

#include <gtest/gtest.h>

#include "platform/host/KvAcDb.h"
#include "tests/support/TempDir.h"

namespace {

// Every test works on its own document, closed again at the end.
class HostDatabase : public ::testing::Test {
 protected:
  void SetUp() override { doc_ = acDocManagerPtr()->newDocument(); }
  void TearDown() override {
    EXPECT_EQ(db()->numOpenObjects(), 0) << "an opened object was not closed";
    acDocManagerPtr()->closeDocument(doc_);
  }
  AcDbDatabase* db() { return doc_->database(); }
  AcApDocument* doc_ = nullptr;
};

TEST_F(HostDatabase, TheCurrentDocumentsDatabaseIsTheWorkingDatabase) {
  EXPECT_EQ(acDocManagerPtr()->curDocument(), doc_);
  EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), db());
  AcApDocument* second = acDocManagerPtr()->newDocument();
  EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), second->database());
  EXPECT_EQ(acDocManagerPtr()->setCurDocument(doc_), Acad::eOk);
  EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), db());
  AcDbDatabase side;
  {
    KvWorkingDatabaseScope scope(&side);
    EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), &side);
  }
  EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), db());
  EXPECT_EQ(acDocManagerPtr()->closeDocument(second), Acad::eOk);
  EXPECT_EQ(acDocManagerPtr()->curDocument(), doc_);
}

TEST_F(HostDatabase, DocumentLocksNestAndAreCounted) {
  AcApDocManager* dm = acDocManagerPtr();
  EXPECT_EQ(doc_->lockMode(), AcAp::kNotLocked);
  EXPECT_EQ(dm->unlockDocument(doc_), Acad::eLockViolation);
  ASSERT_EQ(dm->lockDocument(dm->curDocument(), AcAp::kWrite, nullptr, nullptr, true), Acad::eOk);
  ASSERT_EQ(dm->lockDocument(doc_, AcAp::kRead), Acad::eOk);
  EXPECT_EQ(doc_->lockMode(), AcAp::kRead);
  EXPECT_EQ(doc_->lockDepth(), 2);
  EXPECT_EQ(dm->closeDocument(doc_), Acad::eLockViolation);
  EXPECT_EQ(dm->unlockDocument(doc_), Acad::eOk);
  EXPECT_EQ(doc_->lockMode(), AcAp::kWrite);
  EXPECT_EQ(dm->unlockDocument(doc_), Acad::eOk);
  EXPECT_EQ(doc_->writeLocksTaken(), 1);
}

TEST_F(HostDatabase, ManyReadersOrOneWriter) {
  AcDbObjectId layer0;
  AcDbLayerTable* table = nullptr;
  ASSERT_EQ(db()->getSymbolTable(table, AcDb::kForRead), Acad::eOk);
  ASSERT_EQ(table->getAt("0", layer0), Acad::eOk);
  table->close();

  AcDbLayerTableRecord* r1 = nullptr;
  AcDbLayerTableRecord* r2 = nullptr;
  AcDbLayerTableRecord* w = nullptr;
  ASSERT_EQ(acdbOpenObject(r1, layer0, AcDb::kForRead), Acad::eOk);
  ASSERT_EQ(acdbOpenObject(r2, layer0, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(acdbOpenObject(w, layer0, AcDb::kForWrite), Acad::eWasOpenForRead);
  EXPECT_EQ(w, nullptr);
  EXPECT_EQ(r1->upgradeOpen(), Acad::eWasOpenForRead);
  r2->close();
  EXPECT_EQ(r1->upgradeOpen(), Acad::eOk);
  EXPECT_TRUE(r1->isWriteEnabled());
  EXPECT_EQ(acdbOpenObject(r2, layer0, AcDb::kForRead), Acad::eWasOpenForWrite);
  EXPECT_EQ(db()->numOpenObjects(), 1);
  r1->close();
  EXPECT_EQ(db()->numOpenObjects(), 0);
}

TEST_F(HostDatabase, OpeningAsAnotherClassFailsAndLeavesNothingOpen) {
  AcDbEntity* line = nullptr;
  AcDbObjectId id;
  ASSERT_EQ(KvDbAppendToModelSpace(db(), "LINE", line, &id), Acad::eOk);
  line->close();
  AcDbText* text = nullptr;
  EXPECT_EQ(acdbOpenObject(text, id, AcDb::kForRead), Acad::eNotThatKindOfClass);
  AcDbLinetypeTableRecord* record = nullptr;
  EXPECT_EQ(acdbOpenObject(record, id, AcDb::kForRead), Acad::eNotThatKindOfClass);
  AcDbLine* asLine = nullptr;
  ASSERT_EQ(acdbOpenObject(asLine, id, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(asLine->dxfType(), "LINE");
  asLine->close();
  EXPECT_EQ(acdbOpenObject(asLine, AcDbObjectId(), AcDb::kForRead), Acad::eNullObjectId);
}

TEST_F(HostDatabase, ChangesNeedAnObjectOpenedForWrite) {
  AcDbLine* line = nullptr;
  AcDbObjectId id;
  ASSERT_EQ(KvDbAppendToModelSpace(db(), line, &id), Acad::eOk);
  EXPECT_TRUE(line->set().SetEnd({10, 0, 0}));
  line->close();
  ASSERT_EQ(acdbOpenObject(line, id, AcDb::kForRead), Acad::eOk);
  EXPECT_FALSE(line->set().SetEnd({20, 0, 0}));
  EXPECT_EQ(line->setColorIndex(1), Acad::eNotOpenForWrite);
  EXPECT_EQ(line->erase(), Acad::eNotOpenForWrite);
  EXPECT_EQ(line->get().End(), (tav::cad::DxfPoint{10, 0, 0}));
  line->close();
}

TEST_F(HostDatabase, EntitiesTakeExistingLayersAndLinetypesOnly) {
  AcDbEntity* e = nullptr;
  ASSERT_EQ(KvDbAppendToModelSpace(db(), "TEXT", e), Acad::eOk);
  EXPECT_EQ(e->setLayer("PZ_SBB"), Acad::eKeyNotFound);
  EXPECT_EQ(e->setLinetype("DASHED"), Acad::eKeyNotFound);
  EXPECT_EQ(e->setLinetype("continuous"), Acad::eOk);
  EXPECT_EQ(e->linetype(), "Continuous");
  EXPECT_EQ(e->setColorIndex(257), Acad::eOutOfRange);
  EXPECT_EQ(e->blockId(), db()->modelSpaceId());
  e->close();

  AcDbLayerTable* layers = nullptr;
  ASSERT_EQ(db()->getSymbolTable(layers, AcDb::kForRead), Acad::eOk);
  AcDbObjectId id;
  EXPECT_EQ(layers->add("PZ_SBB", id), Acad::eNotOpenForWrite);
  ASSERT_EQ(layers->upgradeOpen(), Acad::eOk);
  ASSERT_EQ(layers->add("PZ_SBB", id), Acad::eOk);
  EXPECT_EQ(layers->add("pz_sbb", id), Acad::eDuplicateRecordName);
  EXPECT_EQ(layers->add("", id), Acad::eInvalidInput);
  EXPECT_TRUE(layers->has("Pz_Sbb"));
  layers->close();
}

TEST_F(HostDatabase, SymbolTablesIterateInTableOrder) {
  AcDbLayerTable* layers = nullptr;
  ASSERT_EQ(db()->getSymbolTable(layers, AcDb::kForWrite), Acad::eOk);
  AcDbObjectId id;
  ASSERT_EQ(layers->add("B", id), Acad::eOk);
  ASSERT_EQ(layers->add("A", id), Acad::eOk);
  std::unique_ptr<AcDbSymbolTable::Iterator> it;
  ASSERT_EQ(layers->newIterator(it), Acad::eOk);
  std::vector<std::string> names;
  for (it->start(); !it->done(); it->step()) {
    AcDbLayerTableRecord* rec = nullptr;
    ASSERT_EQ(it->getRecord(rec, AcDb::kForRead), Acad::eOk);
    names.push_back(rec->getName());
    rec->close();
  }
  layers->close();
  EXPECT_EQ(names, (std::vector<std::string>{"0", "B", "A"}));

  std::vector<std::string> listed;
  for (resbuf* rb = acdbTblNext("LAYER", 1); rb; rb = acdbTblNext("LAYER", 0)) {
    ASSERT_EQ(rb->restype, 0);
    EXPECT_EQ(KvRbString(rb), "LAYER");
    ASSERT_NE(rb->rbnext, nullptr);
    EXPECT_EQ(rb->rbnext->restype, 2);
    listed.push_back(KvRbString(rb->rbnext));
    bool hasColor = false;
    for (resbuf* p = rb; p; p = p->rbnext) hasColor = hasColor || p->restype == 62;
    EXPECT_TRUE(hasColor);
    acutRelRb(rb);
  }
  EXPECT_EQ(listed, names);
  resbuf* found = acdbTblSearch("LAYER", "b", 1);
  ASSERT_NE(found, nullptr);
  acutRelRb(found);
  resbuf* after = acdbTblNext("LAYER", 0);
  ASSERT_NE(after, nullptr);
  EXPECT_EQ(KvRbString(after->rbnext), "A");
  acutRelRb(after);
}

TEST_F(HostDatabase, ErasedObjectsCannotBeOpened) {
  AcDbEntity* e = nullptr;
  AcDbObjectId id;
  ASSERT_EQ(KvDbAppendToModelSpace(db(), "CIRCLE", e, &id), Acad::eOk);
  EXPECT_EQ(e->erase(), Acad::eOk);
  EXPECT_TRUE(e->isErased());
  e->close();
  EXPECT_TRUE(id.isErased());
  EXPECT_EQ(acdbOpenObject(e, id, AcDb::kForRead), Acad::eWasErased);

  AcDbLayerTable* layers = nullptr;
  ASSERT_EQ(db()->getSymbolTable(layers, AcDb::kForRead), Acad::eOk);
  AcDbLayerTableRecord* zero = nullptr;
  ASSERT_EQ(layers->getAt("0", zero, AcDb::kForWrite), Acad::eOk);
  layers->close();
  EXPECT_EQ(zero->erase(), Acad::eInvalidInput);  // layer "0" stays
  zero->close();
}

TEST_F(HostDatabase, HandlesAndEntityNamesLeadBackToTheObject) {
  AcDbEntity* e = nullptr;
  AcDbObjectId id;
  ASSERT_EQ(KvDbAppendToModelSpace(db(), "LINE", e, &id), Acad::eOk);
  e->close();
  std::string text = id.handle().text();
  AcDbObjectId again;
  ASSERT_EQ(db()->getAcDbObjectId(again, false, AcDbHandle(text.c_str())), Acad::eOk);
  EXPECT_EQ(again, id);
  EXPECT_EQ(db()->getAcDbObjectId(again, false, AcDbHandle("FFFFFF")), Acad::eKeyNotFound);
  ads_name name;
  ASSERT_EQ(acdbGetAdsName(name, id), Acad::eOk);
  AcDbObjectId back;
  ASSERT_EQ(acdbGetObjectId(back, name), Acad::eOk);
  EXPECT_EQ(back, id);
  AcDbLine* line = nullptr;
  ASSERT_EQ(acdbOpenObject(line, AcDbHandle(text.c_str()), AcDb::kForRead), Acad::eOk);
  line->close();
}

TEST_F(HostDatabase, DictionariesAddFindAndRemoveEntries) {
  AcDbDictionary* root = nullptr;
  ASSERT_EQ(db()->getNamedObjectsDictionary(root, AcDb::kForWrite), Acad::eOk);
  AcDbObjectId dictId, recId;
  ASSERT_EQ(root->addDictionary("TAV_TEST", dictId), Acad::eOk);
  AcDbObjectId same;
  EXPECT_EQ(root->addDictionary("TAV_TEST", same), Acad::eOk);
  EXPECT_EQ(same, dictId);
  EXPECT_EQ(root->addXrecord("TAV_TEST", same), Acad::eDuplicateKey);
  root->close();

  AcDbDictionary* dict = nullptr;
  ASSERT_EQ(acdbOpenObject(dict, dictId, AcDb::kForWrite), Acad::eOk);
  ASSERT_EQ(dict->addXrecord("B", recId), Acad::eOk);
  ASSERT_EQ(dict->addXrecord("A", recId), Acad::eOk);
  ASSERT_EQ(dict->numEntries(), 2);
  EXPECT_EQ(dict->entries()[0].first, "B");  // stored order
  AcDbXrecord* rec = nullptr;
  ASSERT_EQ(dict->getAt("A", rec, AcDb::kForWrite), Acad::eOk);
  EXPECT_EQ(rec->setData({tav::cad::MakeTag(1, "x"), tav::cad::MakeTag(40, 2.5)}), Acad::eOk);
  rec->close();
  EXPECT_EQ(dict->remove("B"), Acad::eOk);
  EXPECT_EQ(dict->remove("B"), Acad::eKeyNotFound);
  EXPECT_EQ(dict->numEntries(), 1);
  dict->close();
}

TEST_F(HostDatabase, ADrawingSavedAndReopenedKeepsWhatWasAdded) {
  tav::test::TempDir dir;
  AcDbText* text = nullptr;
  AcDbObjectId id;
  ASSERT_EQ(KvDbAppendToModelSpace(db(), text, &id), Acad::eOk);
  ASSERT_TRUE(text->set().SetText("设备材料表"));
  text->close();
  ASSERT_EQ(db()->saveAs(dir.file("a.dxf")), Acad::eOk);
  EXPECT_EQ(db()->filename(), dir.file("a.dxf"));

  tav::cad::DxfResult result;
  AcApDocument* reopened = acDocManagerPtr()->openDocument(dir.file("a.dxf"), &result);
  ASSERT_NE(reopened, nullptr) << result.Message();
  AcDbText* back = nullptr;
  ASSERT_EQ(acdbOpenObject(back, AcDbObjectId(reopened->database(), id.handle().value()), AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(back->get().Text(), "设备材料表");
  back->close();
  EXPECT_EQ(acDocManagerPtr()->closeDocument(reopened), Acad::eOk);

  EXPECT_EQ(db()->readDxfFile(dir.file("missing.dxf")), Acad::eFileNotFound);
  std::ofstream(dir.file("bad.dxf")) << "0\nSECTION\n2\n";
  EXPECT_EQ(db()->readDxfFile(dir.file("bad.dxf"), &result), Acad::eFilerError);
  EXPECT_FALSE(result.Message().empty());
  EXPECT_EQ(acDocManagerPtr()->openDocument(dir.file("bad.dxf")), nullptr);
}

TEST_F(HostDatabase, RegisteredApplicationsAreAddedOnce) {
  EXPECT_EQ(acdbRegApp("QLV_SBBDY"), RTNORM);
  EXPECT_EQ(acdbRegApp("qlv_sbbdy"), RTNORM);
  EXPECT_EQ(acdbRegApp(""), RTERROR);
  std::size_t count = 0;
  for (const auto& rec : db()->document().TableRecords("APPID"))
    if (rec.GetString(2) == "QLV_SBBDY") ++count;
  EXPECT_EQ(count, 1u);
}

}  // namespace
