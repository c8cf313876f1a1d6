#include "platform/tavdata/KvDbMaterial.h"

#include <cstdlib>

#include "platform/tavdata/KvDbStorage.h"

using tav::cad::DxfObject;
using tav::cad::DxfTag;
using tav::cad::MakeTag;
using namespace tav::tavdata;

const char* const kKvSystemMaterialKeys[8] = {
    "VENO_SYS_MAT_INSULATE", "VENO_SYS_MAT_SLAB",   "VENO_SYS_MAT_CURT",     "VENO_SYS_MAT_FILL",
    "VENO_SYS_MAT_BRICK",    "VENO_SYS_MAT_ROCKET", "VENO_SYS_MAT_CONCRETE", "VENO_SYS_MAT_STEEL"};

namespace {

// Tag codes of the material record.
enum : int {
  kHatch = 300, kDetailHatch = 301, kLinePattern = 290, kDetailLinePattern = 291, kColor = 70, kDetailColor = 71,
  kWeight = 40, kDetailWeight = 41, kPriority = 280, kPatternBlock = 340, kDetailPatternBlock = 341
};

struct MaterialDefaults {
  const char* key;
  const char* hatch;
  const char* detailHatch;
  int color;
  int detailColor;
  double weight;
  double detailWeight;
  int priority;
};

// Stronger materials get higher priorities, so that they win where walls meet.
const MaterialDefaults kDefaults[] = {
    {"VENO_SYS_MAT_INSULATE", "INSUL", "INSUL", 8, 8, 0.13, 0.18, 1},
    {"VENO_SYS_MAT_SLAB", "ANSI31", "ANSI31", 8, 8, 0.13, 0.18, 2},
    {"VENO_SYS_MAT_CURT", "ANSI31", "ANSI32", 4, 4, 0.13, 0.18, 3},
    {"VENO_SYS_MAT_FILL", "ANSI31", "ANSI31", 8, 8, 0.13, 0.18, 4},
    {"VENO_SYS_MAT_BRICK", "ANSI31", "ANSI31", 8, 8, 0.13, 0.18, 5},
    {"VENO_SYS_MAT_ROCKET", "ANSI33", "ANSI33", 8, 8, 0.13, 0.18, 6},
    {"VENO_SYS_MAT_CONCRETE", "SOLID", "AR-CONC", 8, 8, 0.13, 0.18, 7},
    {"VENO_SYS_MAT_STEEL", "SOLID", "STEEL", 8, 8, 0.13, 0.18, 8},
};
const MaterialDefaults kCustomDefaults = {"", "ANSI31", "ANSI31", 256, 256, 0.13, 0.18, 1};

const MaterialDefaults& DefaultsFor(std::string_view key) {
  for (const auto& d : kDefaults)
    if (key == d.key) return d;
  return kCustomDefaults;
}

std::vector<DxfTag> DefaultTags(std::string_view key) {
  const MaterialDefaults& d = DefaultsFor(key);
  return {MakeTag(1, kMaterialClass),
          MakeTag(kHatch, d.hatch),
          MakeTag(kDetailHatch, d.detailHatch),
          MakeTag(kLinePattern, 0LL),
          MakeTag(kDetailLinePattern, 0LL),
          MakeTag(kColor, static_cast<long long>(d.color)),
          MakeTag(kDetailColor, static_cast<long long>(d.detailColor)),
          MakeTag(kWeight, d.weight),
          MakeTag(kDetailWeight, d.detailWeight),
          MakeTag(kPriority, static_cast<long long>(d.priority))};
}

}  // namespace

KvDbMaterial::KvDbMaterial() {
  const MaterialDefaults& d = kCustomDefaults;
  hatch_ = d.hatch;
  detailHatch_ = d.detailHatch;
  color_ = static_cast<std::uint16_t>(d.color);
  detailColor_ = static_cast<std::uint16_t>(d.detailColor);
  lineWeight_ = d.weight;
  detailLineWeight_ = d.detailWeight;
  priority_ = static_cast<std::uint8_t>(d.priority);
}

bool KvDbMaterial::isKindOf(const DxfObject& object) { return HoldsClass(object, kMaterialClass); }

void KvDbMaterial::subOpen() {
  tags_ = tav::cad::DxfXRecord(dxf()).Data();
  for (std::size_t i = 1; i < tags_.size(); ++i) {
    const std::string& v = tags_[i].value;
    switch (tags_[i].code) {
      case kHatch: hatch_ = v; break;
      case kDetailHatch: detailHatch_ = v; break;
      case kLinePattern: linePattern_ = std::atoi(v.c_str()) != 0; break;
      case kDetailLinePattern: detailLinePattern_ = std::atoi(v.c_str()) != 0; break;
      case kColor: color_ = static_cast<std::uint16_t>(std::atoi(v.c_str())); break;
      case kDetailColor: detailColor_ = static_cast<std::uint16_t>(std::atoi(v.c_str())); break;
      case kWeight: lineWeight_ = std::strtod(v.c_str(), nullptr); break;
      case kDetailWeight: detailLineWeight_ = std::strtod(v.c_str(), nullptr); break;
      case kPriority: priority_ = static_cast<std::uint8_t>(std::atoi(v.c_str())); break;
      case kPatternBlock: tav::cad::ParseHandle(v, pattern_); break;
      case kDetailPatternBlock: tav::cad::ParseHandle(v, detailPattern_); break;
      default: break;
    }
  }
  dirty_ = false;
}

Acad::ErrorStatus KvDbMaterial::subClose() {
  if (!dirty_) return Acad::eOk;
  if (tags_.empty()) tags_.push_back(MakeTag(1, kMaterialClass));
  PutTag(tags_, MakeTag(kHatch, hatch_));
  PutTag(tags_, MakeTag(kDetailHatch, detailHatch_));
  PutTag(tags_, MakeTag(kLinePattern, linePattern_ ? 1LL : 0LL));
  PutTag(tags_, MakeTag(kDetailLinePattern, detailLinePattern_ ? 1LL : 0LL));
  PutTag(tags_, MakeTag(kColor, static_cast<long long>(color_)));
  PutTag(tags_, MakeTag(kDetailColor, static_cast<long long>(detailColor_)));
  PutTag(tags_, MakeTag(kWeight, lineWeight_));
  PutTag(tags_, MakeTag(kDetailWeight, detailLineWeight_));
  PutTag(tags_, MakeTag(kPriority, static_cast<long long>(priority_)));
  if (pattern_) PutTag(tags_, tav::cad::MakeHandleTag(kPatternBlock, pattern_));
  else DropTag(tags_, kPatternBlock);
  if (detailPattern_) PutTag(tags_, tav::cad::MakeHandleTag(kDetailPatternBlock, detailPattern_));
  else DropTag(tags_, kDetailPatternBlock);
  dirty_ = false;
  return tav::cad::DxfXRecord(dxf()).SetData(tags_) ? Acad::eOk : Acad::eInvalidInput;
}

Acad::ErrorStatus KvDbMaterial::Changed() {
  dirty_ = true;
  return Acad::eOk;
}

#define TAV_MATERIAL_SETTER(Name, member, Type)           \
  Acad::ErrorStatus KvDbMaterial::Name(Type value) {      \
    if (!canWrite()) return Acad::eNotOpenForWrite;       \
    member = value;                                       \
    return Changed();                                     \
  }
TAV_MATERIAL_SETTER(SetLinePatternHatch, linePattern_, bool)
TAV_MATERIAL_SETTER(SetDetailinePatternHatch, detailLinePattern_, bool)
TAV_MATERIAL_SETTER(SetHatchColor, color_, std::uint16_t)
TAV_MATERIAL_SETTER(SetDetailHatchColor, detailColor_, std::uint16_t)
TAV_MATERIAL_SETTER(SetLineWeight, lineWeight_, double)
TAV_MATERIAL_SETTER(SetDetailLineWeight, detailLineWeight_, double)
TAV_MATERIAL_SETTER(SetPriority, priority_, std::uint8_t)

Acad::ErrorStatus KvDbMaterial::SetHatchStyle(std::string_view name) {
  if (!canWrite()) return Acad::eNotOpenForWrite;
  hatch_ = std::string(name);
  return Changed();
}

Acad::ErrorStatus KvDbMaterial::SetDetailHatchStyle(std::string_view name) {
  if (!canWrite()) return Acad::eNotOpenForWrite;
  detailHatch_ = std::string(name);
  return Changed();
}

AcDbObjectId KvDbMaterial::GetLinePatternStyle() const {
  return pattern_ && database() ? AcDbObjectId(database(), pattern_) : AcDbObjectId();
}

AcDbObjectId KvDbMaterial::GetDetailLinePatternStyle() const {
  return detailPattern_ && database() ? AcDbObjectId(database(), detailPattern_) : AcDbObjectId();
}

Acad::ErrorStatus KvDbMaterial::SetLinePatternStyleId(const AcDbObjectId& blockRecord) {
  if (!canWrite()) return Acad::eNotOpenForWrite;
  if (!blockRecord.isNull() && database() && blockRecord.database() != database()) return Acad::eInvalidInput;
  pattern_ = blockRecord.isNull() ? 0 : blockRecord.handle().value();
  return Changed();
}

Acad::ErrorStatus KvDbMaterial::SetDetailLinePatternStyleId(const AcDbObjectId& blockRecord) {
  if (!canWrite()) return Acad::eNotOpenForWrite;
  if (!blockRecord.isNull() && database() && blockRecord.database() != database()) return Acad::eInvalidInput;
  detailPattern_ = blockRecord.isNull() ? 0 : blockRecord.handle().value();
  return Changed();
}

AcDbDictionary* GetAecMaterialDictionary(AcDb::OpenMode mode, AcDbDatabase* db) {
  db = DatabaseOr(db);
  if (!db) return nullptr;
  AcDbObjectId id = FindStored(db, kMaterialDictionary);
  if (id.isNull()) {
    if (mode != AcDb::kForWrite) return nullptr;
    if (EnsureStored(db, kMaterialDictionary, {}, {}, id) != Acad::eOk) return nullptr;
  }
  AcDbDictionary* dict = nullptr;
  if (acdbOpenObject(dict, id, mode) != Acad::eOk) return nullptr;
  return dict;
}

AcDbObjectId KvDtInitMaterial(std::string_view name, AcDbDatabase* db) {
  db = DatabaseOr(db);
  if (!db || name.empty()) return {};
  AcDbDictionary* dict = GetAecMaterialDictionary(AcDb::kForWrite, db);
  if (!dict) return {};
  AcDbObjectId id;
  if (dict->getAt(name, id) == Acad::eOk) {
    dict->close();
    return id;
  }
  Acad::ErrorStatus es = dict->addXrecord(name, id);
  dict->close();
  if (es != Acad::eOk) return {};
  AcDbXrecord* rec = nullptr;
  if (acdbOpenObject(rec, id, AcDb::kForWrite) != Acad::eOk) return {};
  es = rec->setData(DefaultTags(name));
  rec->close();
  return es == Acad::eOk ? id : AcDbObjectId();
}

AcDbObjectId GetBlockTableRecordId(std::string_view name, AcDbDatabase* db) {
  db = DatabaseOr(db);
  if (!db || name.empty()) return {};
  return db->idOf(db->document().BlockRecord(name));
}
