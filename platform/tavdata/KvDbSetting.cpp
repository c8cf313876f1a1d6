#include "platform/tavdata/KvDbSetting.h"

#include <cstdlib>

#include "platform/tavdata/KvDbStorage.h"

using tav::cad::DxfObject;
using tav::cad::DxfTag;
using tav::cad::MakeTag;

double g_dInitDetailScale = 20.0;

namespace tav::tavdata {

AcDbDatabase* DatabaseOr(AcDbDatabase* db) { return db ? db : acdbHostApplicationServices()->workingDatabase(); }

AcDbObjectId FindStored(AcDbDatabase* db, std::string_view dictionaryKey, std::string_view key) {
  if (!db) return {};
  DxfObject root = db->document().RootDictionary();
  if (root.IsNull()) return {};
  DxfObject dict = db->document().Get(tav::cad::DxfDictionary(root).Get(dictionaryKey));
  if (dict.Type() != "DICTIONARY") return {};
  if (key.empty()) return db->idOf(dict);
  DxfObject entry = db->document().Get(tav::cad::DxfDictionary(dict).Get(key));
  return db->idOf(entry);
}

Acad::ErrorStatus EnsureStored(AcDbDatabase* db, std::string_view dictionaryKey, std::string_view key,
                               std::string_view className, AcDbObjectId& id) {
  id = AcDbObjectId();
  if (!db) return Acad::eNoDatabase;
  AcDbObjectId dictId = FindStored(db, dictionaryKey);
  if (dictId.isNull()) {
    AcDbDictionary* root = nullptr;
    Acad::ErrorStatus es = db->getNamedObjectsDictionary(root, AcDb::kForWrite);
    if (es != Acad::eOk) return es;
    es = root->addDictionary(dictionaryKey, dictId);
    root->close();
    if (es != Acad::eOk) return es;
  }
  if (key.empty()) {
    id = dictId;
    return Acad::eOk;
  }
  AcDbObjectId entryId = FindStored(db, dictionaryKey, key);
  if (entryId.isNull()) {
    AcDbDictionary* dict = nullptr;
    Acad::ErrorStatus es = acdbOpenObject(dict, dictId, AcDb::kForWrite);
    if (es != Acad::eOk) return es;
    es = dict->addXrecord(key, entryId);
    dict->close();
    if (es != Acad::eOk) return es;
    AcDbXrecord* rec = nullptr;
    es = acdbOpenObject(rec, entryId, AcDb::kForWrite);
    if (es != Acad::eOk) return es;
    es = rec->setData({MakeTag(1, className)});
    rec->close();
    if (es != Acad::eOk) return es;
  }
  id = entryId;
  return Acad::eOk;
}

bool HoldsClass(const DxfObject& object, std::string_view className) {
  if (object.Type() != "XRECORD") return false;
  std::vector<DxfTag> data = tav::cad::DxfXRecord(object).Data();
  return !data.empty() && data[0].code == 1 && data[0].value == className;
}

void PutTag(std::vector<DxfTag>& tags, DxfTag tag) {
  for (std::size_t i = 1; i < tags.size(); ++i) {
    if (tags[i].code == tag.code) {
      tags[i] = std::move(tag);
      return;
    }
  }
  tags.push_back(std::move(tag));
}

void DropTag(std::vector<DxfTag>& tags, int code) {
  for (std::size_t i = tags.size(); i-- > 1;)
    if (tags[i].code == code) tags.erase(tags.begin() + static_cast<long>(i));
}

// ---- the per-drawing values: (1 key) followed by (40 real) or (90 integer) ------------------------

bool GetDrawingValue(AcDbDatabase* db, std::string_view key, double& value) {
  db = DatabaseOr(db);
  DxfObject rec = FindStored(db, kSettingsDictionary, kValuesKey).dxf();
  if (!HoldsClass(rec, kValuesClass)) return false;
  std::vector<DxfTag> data = tav::cad::DxfXRecord(rec).Data();
  for (std::size_t i = 1; i + 1 < data.size(); ++i) {
    if (data[i].code == 1 && data[i].value == key && (data[i + 1].code == 40 || data[i + 1].code == 90)) {
      char* end = nullptr;
      double v = std::strtod(data[i + 1].value.c_str(), &end);
      if (end == data[i + 1].value.c_str()) return false;
      value = v;
      return true;
    }
  }
  return false;
}

Acad::ErrorStatus SetDrawingValue(AcDbDatabase* db, std::string_view key, double value, bool integer) {
  db = DatabaseOr(db);
  AcDbObjectId id;
  Acad::ErrorStatus es = EnsureStored(db, kSettingsDictionary, kValuesKey, kValuesClass, id);
  if (es != Acad::eOk) return es;
  AcDbXrecord* rec = nullptr;
  es = acdbOpenObject(rec, id, AcDb::kForWrite);
  if (es != Acad::eOk) return es;
  std::vector<DxfTag> data = rec->data();
  if (data.empty() || data[0].code != 1 || data[0].value != kValuesClass) data.insert(data.begin(), MakeTag(1, kValuesClass));
  DxfTag valueTag = integer ? MakeTag(90, static_cast<long long>(value)) : MakeTag(40, value);
  bool done = false;
  for (std::size_t i = 1; i < data.size(); ++i) {
    if (data[i].code == 1 && data[i].value == key) {
      if (i + 1 < data.size() && (data[i + 1].code == 40 || data[i + 1].code == 90)) data[i + 1] = valueTag;
      else data.insert(data.begin() + static_cast<long>(i) + 1, valueTag);
      done = true;
      break;
    }
  }
  if (!done) {
    data.push_back(MakeTag(1, key));
    data.push_back(valueTag);
  }
  es = rec->setData(data);
  rec->close();
  return es;
}

std::vector<std::string> DrawingValueKeys(AcDbDatabase* db) {
  std::vector<std::string> keys;
  DxfObject rec = FindStored(DatabaseOr(db), kSettingsDictionary, kValuesKey).dxf();
  if (!HoldsClass(rec, kValuesClass)) return keys;
  std::vector<DxfTag> data = tav::cad::DxfXRecord(rec).Data();
  for (std::size_t i = 1; i < data.size(); ++i)
    if (data[i].code == 1) keys.push_back(data[i].value);
  return keys;
}

}  // namespace tav::tavdata

using namespace tav::tavdata;

// ---- KvDbSetting --------------------------------------------------------------------------------

KvDbSetting::KvDbSetting() : detailScale_(g_dInitDetailScale) {}

bool KvDbSetting::isKindOf(const DxfObject& object) { return HoldsClass(object, kSettingClass); }

void KvDbSetting::subOpen() {
  tags_ = tav::cad::DxfXRecord(dxf()).Data();
  auto number = [&](int code, double def) {
    for (std::size_t i = 1; i < tags_.size(); ++i)
      if (tags_[i].code == code) {
        char* end = nullptr;
        double v = std::strtod(tags_[i].value.c_str(), &end);
        return end == tags_[i].value.c_str() ? def : v;
      }
    return def;
  };
  plotScale_ = number(40, kDefaultPlotScale);
  floorHeight_ = number(41, kDefaultFloorHeight);
  text2Base_ = number(42, kDefaultText2BaseFactor);
  detailScale_ = number(43, g_dInitDetailScale);
  displayMode_ = static_cast<int>(number(70, kDefaultDisplayMode));
  dirty_ = false;
}

Acad::ErrorStatus KvDbSetting::subClose() {
  if (!dirty_) return Acad::eOk;
  if (tags_.empty()) tags_.push_back(MakeTag(1, kSettingClass));
  PutTag(tags_, MakeTag(40, plotScale_));
  PutTag(tags_, MakeTag(41, floorHeight_));
  PutTag(tags_, MakeTag(42, text2Base_));
  PutTag(tags_, MakeTag(43, detailScale_));
  PutTag(tags_, MakeTag(70, static_cast<long long>(displayMode_)));
  dirty_ = false;
  return tav::cad::DxfXRecord(dxf()).SetData(tags_) ? Acad::eOk : Acad::eInvalidInput;
}

#define TAV_SETTING_SETTER(Name, member, Type)            \
  Acad::ErrorStatus KvDbSetting::Name(Type value) {       \
    if (!canWrite()) return Acad::eNotOpenForWrite;       \
    member = value;                                       \
    dirty_ = true;                                        \
    return Acad::eOk;                                     \
  }
TAV_SETTING_SETTER(SetPlotScale, plotScale_, double)
TAV_SETTING_SETTER(SetFloorHeight, floorHeight_, double)
TAV_SETTING_SETTER(SetDisplayMode, displayMode_, int)
TAV_SETTING_SETTER(SetText2BaseFactor, text2Base_, double)
TAV_SETTING_SETTER(SetDetailScale, detailScale_, double)

AcDbObjectId KvDbGetAecSettingId(AcDbDatabase* db) {
  AcDbObjectId id = FindStored(DatabaseOr(db), kSettingsDictionary, kSettingKey);
  return HoldsClass(id.dxf(), kSettingClass) ? id : AcDbObjectId();
}

KvDbSetting* GetAecSetting(int openMode, AcDbDatabase* db) {
  AcDbObjectId id = KvDbGetAecSettingId(db);
  if (id.isNull()) return nullptr;
  KvDbSetting* setting = nullptr;
  if (acdbOpenObject(setting, id, openMode == 1 ? AcDb::kForWrite : AcDb::kForRead) != Acad::eOk) return nullptr;
  return setting;
}

Acad::ErrorStatus KvDbCreateAecSetting(AcDbDatabase* db) {
  db = DatabaseOr(db);
  if (!db) return Acad::eNoDatabase;
  if (!KvDbGetAecSettingId(db).isNull()) return Acad::eOk;
  AcDbObjectId id;
  Acad::ErrorStatus es = EnsureStored(db, kSettingsDictionary, kSettingKey, kSettingClass, id);
  if (es != Acad::eOk) return es;
  KvDbSetting* setting = nullptr;
  es = acdbOpenObject(setting, id, AcDb::kForWrite);
  if (es != Acad::eOk) return es;
  // Writes every default so that the stored object is complete.
  setting->SetPlotScale(setting->GetPlotScale());
  return setting->close();
}

double KvDbGetPrintScale(AcDbDatabase* db) {
  KvDbSetting* setting = GetAecSetting(0, db);
  if (!setting) return KvDbSetting::kDefaultPlotScale;
  double scale = setting->GetPlotScale();
  setting->close();
  return scale;
}

// ---- accessors -------------------------------------------------------------------------------------

#define TAV_DOUBLE_VALUE(Name, def)                                                  \
  double KvDbGet##Name(AcDbDatabase* db) {                                           \
    double v = def;                                                                  \
    return GetDrawingValue(db, #Name, v) ? v : def;                                  \
  }                                                                                  \
  Acad::ErrorStatus KvDbSet##Name(double value, AcDbDatabase* db) {                  \
    return SetDrawingValue(db, #Name, value, false);                                 \
  }
#define TAV_INT_VALUE(Name, Type, def)                                               \
  Type KvDbGet##Name(AcDbDatabase* db) {                                             \
    double v = 0;                                                                    \
    return GetDrawingValue(db, #Name, v) ? static_cast<Type>(static_cast<long long>(v)) : static_cast<Type>(def); \
  }                                                                                  \
  Acad::ErrorStatus KvDbSet##Name(Type value, AcDbDatabase* db) {                    \
    return SetDrawingValue(db, #Name, static_cast<double>(value), true);             \
  }

TAV_DOUBLE_VALUE(SymbElevDotSize, 1.5)
TAV_DOUBLE_VALUE(SymbElevTrgSize, 3.0)
TAV_DOUBLE_VALUE(CircleTextHeightFactor, 0.7)
TAV_INT_VALUE(OldCircleTextStyle, int, 0)
TAV_INT_VALUE(SpaceAreaPrecision, unsigned char, 2)
TAV_INT_VALUE(StairSingleSect, int, 1)
TAV_INT_VALUE(BoldLine, int, 0)
TAV_INT_VALUE(SolidFill, int, 1)
TAV_DOUBLE_VALUE(AvTextHeight, 3.5)
TAV_DOUBLE_VALUE(PipeBreakDist, 2.0)
TAV_DOUBLE_VALUE(DoublePipeLineWidth, 0.3)
TAV_INT_VALUE(PipeRiserStyle, KvDbAvPipe::RiserStyle, KvDbAvPipe::kRiserArc)
TAV_DOUBLE_VALUE(ElbowCurvature, 1.5)
TAV_INT_VALUE(ElbowStyle, KvDbAvFitting::ElbowStyle, KvDbAvFitting::kElbowWelded)
TAV_INT_VALUE(PipeUseAddGrip, int, 1)
TAV_INT_VALUE(UsePipePan, int, 0)
TAV_INT_VALUE(UnknownDataUseSymbol, int, 0)
TAV_INT_VALUE(VPipeDimStyle, int, 0)
TAV_DOUBLE_VALUE(VPipeDimTextDist, 1.0)
TAV_DOUBLE_VALUE(VPipeDimRadius, 3.0)
TAV_INT_VALUE(VPipeDimDiameter, int, 0)
TAV_DOUBLE_VALUE(ValveScale, 1.0)
TAV_DOUBLE_VALUE(OtherTextDistToLine, 1.0)
