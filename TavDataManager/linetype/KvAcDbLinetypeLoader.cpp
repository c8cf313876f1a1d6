#include "TavDataManager/linetype/KvAcDbLinetypeLoader.h"

#include "platform/host/KvAcDb.h"
#include "platform/host/KvLinetypeLoad.h"

bool KvAcDbLinetypeLoader::LockDocument() {
  AcApDocument* doc = acDocManager->curDocument();
  if (doc == nullptr) return false;
  if (acDocManager->lockDocument(doc, AcAp::kWrite, nullptr, nullptr, true) != Acad::eOk) return false;
  ++locks_;
  return true;
}

void KvAcDbLinetypeLoader::UnlockDocument() {
  if (locks_ == 0) return;
  AcApDocument* doc = acDocManager->curDocument();
  if (doc != nullptr) acDocManager->unlockDocument(doc);
  --locks_;
}

bool KvAcDbLinetypeLoader::LoadLineTypeFile(const std::string& name, const std::string& file) {
  AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
  if (db == nullptr) return false;
  return acdbLoadLineTypeFile(name.c_str(), file.c_str(), db) == Acad::eOk;
}

bool KvAcDbLinetypeLoader::GetLinetypeRecord(const std::string& name, tav::KvLinetypeDefinition& record) {
  AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
  if (db == nullptr) return false;
  AcDbLinetypeTable* table = nullptr;
  if (db->getSymbolTable(table, AcDb::kForRead) != Acad::eOk) return false;
  AcDbLinetypeTableRecord* rec = nullptr;
  if (table->getAt(name, rec, AcDb::kForRead) != Acad::eOk) {
    table->close();
    return false;
  }
  tav::KvLinetypeDefinition read;
  rec->getName(read.name);
  read.description = rec->comments();
  for (int i = 0; i < rec->numDashes(); ++i) {
    tav::KvLinetypeDash dash;
    dash.length = rec->dashLengthAt(i);
    const int flags = rec->shapeFlagsAt(i);
    auto& e = dash.element;
    if (flags & 2) {
      e.kind = tav::LinetypeElementKind::Text;
      e.text = rec->textAt(i);
    } else if (flags & 4) {
      e.kind = tav::LinetypeElementKind::Shape;
      e.shapeName = std::to_string(rec->shapeNumberAt(i));
    }
    if (e.kind != tav::LinetypeElementKind::None) {
      AcDbTextStyleTableRecord* style = nullptr;
      if (acdbOpenObject(style, rec->shapeStyleAt(i), AcDb::kForRead) == Acad::eOk) {
        style->getName(e.styleName);
        style->close();
      }
      e.scale = rec->shapeScaleAt(i);
      e.rotation = rec->shapeRotationAt(i);
      e.rotationKind = (flags & 1)   ? tav::LinetypeRotationKind::Absolute
                       : (flags & 8) ? tav::LinetypeRotationKind::Upright
                                     : tav::LinetypeRotationKind::Relative;
      const AcGeVector2d offset = rec->shapeOffsetAt(i);
      e.xOffset = offset.x;
      e.yOffset = offset.y;
    }
    read.dashes.push_back(std::move(dash));
  }
  rec->close();
  table->close();
  record = std::move(read);
  return true;
}

bool KvAcDbLinetypeLoader::EraseLinetype(const std::string& name) {
  AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
  if (db == nullptr) return false;
  AcDbLinetypeTable* table = nullptr;
  if (db->getSymbolTable(table, AcDb::kForRead) != Acad::eOk) return false;
  AcDbLinetypeTableRecord* rec = nullptr;
  bool erased = false;
  if (table->getAt(name, rec, AcDb::kForWrite) == Acad::eOk) {
    erased = rec->erase() == Acad::eOk;
    rec->close();
  }
  table->close();
  return erased;
}
