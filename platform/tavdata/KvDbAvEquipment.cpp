#include "platform/tavdata/KvDbAvEquipment.h"

#include "platform/tavdata/KvDbStorage.h"

bool KvDbAvEquipment::isKindOf(const tav::cad::DxfObject& object) {
  return object.Type() == kDxfType && AcDbEntity::isKindOf(object);
}

std::string KvDbAvEquipment::GetName() const { return view<tav::cad::DxfEquipment>().DisplayName(); }

Acad::ErrorStatus KvDbAvEquipment::SetName(std::string_view name) {
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  return view<tav::cad::DxfEquipment>().SetDisplayName(name) ? Acad::eOk : Acad::eInvalidInput;
}

AcGePoint3d KvDbAvEquipment::GetPosition() const {
  tav::cad::DxfPoint p = view<tav::cad::DxfEquipment>().Insertion();
  return {p.x, p.y, p.z};
}

Acad::ErrorStatus KvDbAvEquipment::SetPosition(const AcGePoint3d& point) {
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  return view<tav::cad::DxfEquipment>().SetInsertion({point.x, point.y, point.z}) ? Acad::eOk : Acad::eInvalidInput;
}

AcDbObjectId KvDbAddEquipment(std::string_view name, const AcGePoint3d& position, AcDbDatabase* db) {
  db = tav::tavdata::DatabaseOr(db);
  if (!db) return {};
  return db->idOf(tav::cad::AddEquipment(db->document(), name, {position.x, position.y, position.z}));
}
