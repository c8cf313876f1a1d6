// Equipment entities of the add-on (DXF type "TAV_EQUIPMENT"): opened like any entity; other
// entities fail to open as KvDbAvEquipment (eNotThatKindOfClass).
#pragma once

#include <string>
#include <string_view>

#include "platform/host/KvAcDb.h"

class KvDbAvEquipment : public AcDbEntity {
 public:
  static constexpr std::string_view kDxfType = "TAV_EQUIPMENT";
  static bool isKindOf(const tav::cad::DxfObject& object);

  // The display name ("水泵-1"); "" when it has none.
  std::string GetName() const;
  Acad::ErrorStatus SetName(std::string_view name);  // eNotOpenForWrite, eInvalidInput (bad UTF-8)
  AcGePoint3d GetPosition() const;
  Acad::ErrorStatus SetPosition(const AcGePoint3d& point);
};

// Appends an equipment entity to model space of `db` (working database when null); its id, or null.
AcDbObjectId KvDbAddEquipment(std::string_view name, const AcGePoint3d& position, AcDbDatabase* db = nullptr);
