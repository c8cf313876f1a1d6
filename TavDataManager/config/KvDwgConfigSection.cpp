#include "TavDataManager/config/KvDwgConfigSection.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "TavDataManager/config/KvBundleFormat.h"
#include "platform/base/KvNumber.h"
#include "platform/base/KvStrings.h"
#include "platform/config/KvDtDictionary.h"
#include "platform/host/KvAcDb.h"
#include "platform/tavdata/KvDbMaterial.h"
#include "platform/tavdata/KvDbSetting.h"

namespace tav::bundle {

namespace {

// ---- writing ---------------------------------------------------------------------------------------

KvUtXMLDOMNode AppendDirectory(KvUtXMLDOMNode parent, std::string_view element, std::string_view name,
                               std::string_view caption) {
  KvUtXMLDOMNode node = parent.AppendNodeEx(element, "", "name", name);
  if (node) node.SetAttributeValue("localname", caption);
  return node;
}

void AppendValue(KvUtXMLDOMNode dir, int type, std::string_view key, std::string_view caption,
                 const std::string& text) {
  if (!dir) return;
  KvUtXMLDOMNode node = dir.AppendNodeEx(GetDictDataTypeWord(type), text, "name", key);
  if (node) node.SetAttributeValue("localname", caption);
}

std::string BoolText(bool value) { return value ? "TRUE" : "FALSE"; }
std::string IntText(long long value) { return std::to_string(value); }

// The name of the symbol-table record `id` refers to; false when it does not open as one.
bool RecordName(const AcDbObjectId& id, std::string& name) {
  if (id.isNull()) return false;
  AcDbSymbolTableRecord* record = nullptr;
  if (acdbOpenObject(record, id, AcDb::kForRead) != Acad::eOk || !record) return false;
  name = record->getName();
  record->close();
  return true;
}

void WriteMaterial(KvUtXMLDOMNode dir, const KvDbMaterial& mat) {
  AppendValue(dir, DICT_TYPE_STRING, "VENO_STDHATCH", "标准填充图案", mat.GetHatchStyle());
  AppendValue(dir, DICT_TYPE_STRING, "VENO_DETAILHATCH", "详细填充图案", mat.GetDetailHatchStyle());
  AppendValue(dir, DICT_TYPE_BOOL, "VENO_HATCHSTYLE", "普通填充方式", BoolText(mat.IsLinePatternHatch()));
  AppendValue(dir, DICT_TYPE_BOOL, "VENO_DETAILHATCHSTYLE", "详图填充方式", BoolText(mat.IsDetailinePatternHatch()));
  AppendValue(dir, DICT_TYPE_LONG, "VENO_HATCHCOLOR", "填充色", IntText(mat.GetHatchColor()));
  AppendValue(dir, DICT_TYPE_LONG, "VENO_DETAILHATCHCOLOR", "详图填充色", IntText(mat.GetDetailHatchColor()));
  AppendValue(dir, DICT_TYPE_DOUBLE, "VENO_HATCHLINEWEIGHT", "标准线宽", FormatShortest(mat.GetLineWeight()));
  AppendValue(dir, DICT_TYPE_DOUBLE, "VENO_DETAILHATCHLINEWEIGHT", "详图线宽", FormatShortest(mat.GetDetailLineWeight()));
  AppendValue(dir, DICT_TYPE_LONG, "VENO_PRIORITY", "优先级 ", IntText(mat.GetPriority()));
  std::string name;
  if (RecordName(mat.GetLinePatternStyle(), name))
    AppendValue(dir, DICT_TYPE_STRING, "VENO_LINEPATTERNSTYLE", "线图案图案 ", name);
  if (RecordName(mat.GetDetailLinePatternStyle(), name))
    AppendValue(dir, DICT_TYPE_STRING, "VENO_DETAILLINEPATTERNSTYLE", "详图线图案图案 ", name);
}

void WriteBase(KvUtXMLDOMNode base, AcDbDatabase* db) {
  double plotScale, floorHeight, text2Base;
  int displayMode;
  if (KvDbSetting* setting = GetAecSetting(0, db)) {
    plotScale = setting->GetPlotScale();
    floorHeight = setting->GetFloorHeight();
    displayMode = setting->GetDisplayMode();
    text2Base = setting->GetText2BaseFactor();
    setting->close();
  } else {
    auto fresh = std::make_unique<KvDbSetting>();
    plotScale = fresh->GetPlotScale();
    floorHeight = fresh->GetFloorHeight();
    displayMode = fresh->GetDisplayMode();
    text2Base = fresh->GetText2BaseFactor();
  }

  KvUtXMLDOMNode dir = AppendDirectory(base, "Directory", "VENO_DWG_BASE", "图形基本设置");
  AppendValue(dir, DICT_TYPE_DOUBLE, "VENO_DWGBASE_PSCALE", "当前比例", FormatShortest(plotScale));
  AppendValue(dir, DICT_TYPE_DOUBLE, "VENO_DWGBASE_FLOORHEIGHT", "当前层高", FormatG(floorHeight));
  AppendValue(dir, DICT_TYPE_LONG, "VENO_DWGBASE_VIEWMODE", "显示模式",
              IntText(BundleViewModeFromDisplayMode(displayMode)));

  dir = AppendDirectory(base, "Directory", "VENO_DWG_ELEVATION", "标高");
  AppendValue(dir, DICT_TYPE_DOUBLE, "VENO_ELEVATION_CIRCLERADIUS", "圆点标高符号直径",
              FormatShortest(KvDbGetSymbElevDotSize(db)));
  AppendValue(dir, DICT_TYPE_DOUBLE, "VENO_ELEVATION_ANGLESIMBOHEIGHT", "三角形标高符号高度",
              FormatShortest(KvDbGetSymbElevTrgSize(db)));

  dir = AppendDirectory(base, "Directory", "VENO_DWG_CIRCLETEXT", "圆圈文字");
  AppendValue(dir, DICT_TYPE_DOUBLE, "VENO_CIRCLETEXT_TEXTSCALE", "圆圈文字字高系数",
              FormatShortest(KvDbGetCircleTextHeightFactor(db)));
  AppendValue(dir, DICT_TYPE_BOOL, "VENO_CIRCLETEXT_ISAUTOADJUST", "自动调整宽高比",
              BoolText(KvDbGetOldCircleTextStyle(db) != 0));

  dir = AppendDirectory(base, "Directory", "VENO_DWG_OTHERSET", "其它设置");
  AppendValue(dir, DICT_TYPE_LONG, "VENO_OTHERSET_AREAPRECISION", "房间面积精度",
              IntText(KvDbGetSpaceAreaPrecision(db)));
  AppendValue(dir, DICT_TYPE_DOUBLE, "VENO_OTHERSET_TEXTTOBASERADIO", "符号标注文字距基线系数",
              FormatShortest(text2Base));
  AppendValue(dir, DICT_TYPE_BOOL, "VENO_OTHERSET_ISSINGLESECT", "单剖断", BoolText(KvDbGetStairSingleSect(db) != 0));
}

void WriteHatch(KvUtXMLDOMNode hatch, AcDbDatabase* db) {
  double detailScale = g_dInitDetailScale;
  if (KvDbSetting* setting = GetAecSetting(0, db)) {
    detailScale = setting->GetDetailScale();
    setting->close();
  }
  AppendValue(hatch, DICT_TYPE_DOUBLE, "VENO_BOLT_DETAILSCALE", "详图比例", FormatShortest(detailScale));
  AppendValue(hatch, DICT_TYPE_BOOL, "VENO_BOLT_BOLDMODE", "墙柱进行内向加粗", BoolText(KvDbGetBoldLine(db) != 0));
  AppendValue(hatch, DICT_TYPE_BOOL, "VENO_BOLT_FILLMODE", "墙柱进行图案填充", BoolText(KvDbGetSolidFill(db) != 0));

  std::vector<std::pair<std::string, AcDbObjectId>> entries;
  if (AcDbDictionary* dict = GetAecMaterialDictionary(AcDb::kForRead, db)) {
    entries = dict->entries();
    dict->close();
  }
  int custom = 0;
  for (const auto& [key, id] : entries) {
    const char* caption = SystemMaterialCaption(key);
    std::string name = caption ? key : kCustomMaterialPrefix + std::to_string(++custom);
    KvDbMaterial* mat = nullptr;
    if (acdbOpenObject(mat, id, AcDb::kForRead) != Acad::eOk || !mat) continue;
    KvUtXMLDOMNode dir = AppendDirectory(hatch, "Directory", name, caption ? std::string_view(caption) : key);
    if (dir) WriteMaterial(dir, *mat);
    mat->close();
  }
}

// ---- applying --------------------------------------------------------------------------------------

double DoubleOf(const KvDtDictItem& item) { return static_cast<const KvDtDictDoubleItem&>(item).GetValue(); }
long long LongOf(const KvDtDictItem& item) { return static_cast<const KvDtDictLongItem&>(item).GetValue(); }
bool BoolOf(const KvDtDictItem& item) { return static_cast<const KvDtDictBoolItem&>(item).GetValue(); }
const std::string& StringOf(const KvDtDictItem& item) { return static_cast<const KvDtDictStringItem&>(item).GetValue(); }

// Opens the drawing's settings for write for one change; false when the drawing has none.
bool WithSetting(AcDbDatabase* db, const std::function<void(KvDbSetting&)>& change) {
  KvDbSetting* setting = GetAecSetting(1, db);
  if (!setting) return false;
  change(*setting);
  setting->close();
  return true;
}

struct BaseKey {
  const char* key;
  int type;
  std::function<bool(const KvDtDictItem&, AcDbDatabase*)> apply;
};

const std::vector<BaseKey>& BaseKeys() {
  static const std::vector<BaseKey> keys = {
      {"VENO_DWGBASE_PSCALE", DICT_TYPE_DOUBLE,
       [](const KvDtDictItem& i, AcDbDatabase* db) { return WithSetting(db, [&](KvDbSetting& s) { s.SetPlotScale(DoubleOf(i)); }); }},
      {"VENO_DWGBASE_FLOORHEIGHT", DICT_TYPE_DOUBLE,
       [](const KvDtDictItem& i, AcDbDatabase* db) { return WithSetting(db, [&](KvDbSetting& s) { s.SetFloorHeight(DoubleOf(i)); }); }},
      {"VENO_DWGBASE_VIEWMODE", DICT_TYPE_LONG,
       [](const KvDtDictItem& i, AcDbDatabase* db) {
         const long long v = LongOf(i);
         const int mode = DisplayModeFromBundleViewMode(v == 0 || v == 1 ? static_cast<int>(v) : -1);
         return WithSetting(db, [&](KvDbSetting& s) { s.SetDisplayMode(mode); });
       }},
      {"VENO_ELEVATION_CIRCLERADIUS", DICT_TYPE_DOUBLE,
       [](const KvDtDictItem& i, AcDbDatabase* db) { return KvDbSetSymbElevDotSize(DoubleOf(i), db) == Acad::eOk; }},
      {"VENO_ELEVATION_ANGLESIMBOHEIGHT", DICT_TYPE_DOUBLE,
       [](const KvDtDictItem& i, AcDbDatabase* db) { return KvDbSetSymbElevTrgSize(DoubleOf(i), db) == Acad::eOk; }},
      {"VENO_CIRCLETEXT_TEXTSCALE", DICT_TYPE_DOUBLE,
       [](const KvDtDictItem& i, AcDbDatabase* db) { return KvDbSetCircleTextHeightFactor(DoubleOf(i), db) == Acad::eOk; }},
      {"VENO_CIRCLETEXT_ISAUTOADJUST", DICT_TYPE_BOOL,
       [](const KvDtDictItem& i, AcDbDatabase* db) { return KvDbSetOldCircleTextStyle(BoolOf(i) ? 1 : 0, db) == Acad::eOk; }},
      {"VENO_OTHERSET_AREAPRECISION", DICT_TYPE_LONG,
       [](const KvDtDictItem& i, AcDbDatabase* db) {
         return KvDbSetSpaceAreaPrecision(static_cast<unsigned char>(LongOf(i) & 0xFF), db) == Acad::eOk;
       }},
      {"VENO_OTHERSET_TEXTTOBASERADIO", DICT_TYPE_DOUBLE,
       [](const KvDtDictItem& i, AcDbDatabase* db) { return WithSetting(db, [&](KvDbSetting& s) { s.SetText2BaseFactor(DoubleOf(i)); }); }},
      {"VENO_OTHERSET_ISSINGLESECT", DICT_TYPE_BOOL,
       [](const KvDtDictItem& i, AcDbDatabase* db) { return KvDbSetStairSingleSect(BoolOf(i) ? 1 : 0, db) == Acad::eOk; }},
  };
  return keys;
}

// Applies one material item to an opened material; false for an unknown key or another type.
bool ApplyMaterialItem(KvDbMaterial& mat, const KvDtDictItem& item, AcDbDatabase* db) {
  const std::string key = item.GetKey();
  const int type = item.GetDataType();
  auto is = [&](const char* k, int t) { return key == k && type == t; };
  if (is("VENO_STDHATCH", DICT_TYPE_STRING)) return mat.SetHatchStyle(StringOf(item)) == Acad::eOk;
  if (is("VENO_DETAILHATCH", DICT_TYPE_STRING)) return mat.SetDetailHatchStyle(StringOf(item)) == Acad::eOk;
  if (is("VENO_HATCHSTYLE", DICT_TYPE_BOOL)) return mat.SetLinePatternHatch(BoolOf(item)) == Acad::eOk;
  if (is("VENO_DETAILHATCHSTYLE", DICT_TYPE_BOOL)) return mat.SetDetailinePatternHatch(BoolOf(item)) == Acad::eOk;
  if (is("VENO_HATCHCOLOR", DICT_TYPE_LONG))
    return mat.SetHatchColor(static_cast<std::uint16_t>(LongOf(item))) == Acad::eOk;
  if (is("VENO_DETAILHATCHCOLOR", DICT_TYPE_LONG))
    return mat.SetDetailHatchColor(static_cast<std::uint16_t>(LongOf(item))) == Acad::eOk;
  if (is("VENO_HATCHLINEWEIGHT", DICT_TYPE_DOUBLE)) return mat.SetLineWeight(DoubleOf(item)) == Acad::eOk;
  if (is("VENO_DETAILHATCHLINEWEIGHT", DICT_TYPE_DOUBLE)) return mat.SetDetailLineWeight(DoubleOf(item)) == Acad::eOk;
  if (is("VENO_PRIORITY", DICT_TYPE_LONG))
    return mat.SetPriority(static_cast<std::uint8_t>(LongOf(item) & 0xFF)) == Acad::eOk;
  const bool pattern = is("VENO_LINEPATTERNSTYLE", DICT_TYPE_STRING);
  const bool detailPattern = is("VENO_DETAILLINEPATTERNSTYLE", DICT_TYPE_STRING);
  if (pattern || detailPattern) {
    const std::string& name = StringOf(item);
    if (name.empty()) return false;
    // A block the drawing does not have leaves the material's pattern as it was.
    const AcDbObjectId block = GetBlockTableRecordId(name, db);
    if (block.isNull()) return false;
    return (pattern ? mat.SetLinePatternStyleId(block) : mat.SetDetailLinePatternStyleId(block)) == Acad::eOk;
  }
  return false;
}

AcDbDatabase* Resolve(AcDbDatabase* db) { return db ? db : acdbHostApplicationServices()->workingDatabase(); }

}  // namespace

int BundleViewModeFromDisplayMode(int displayMode) {
  switch (displayMode) {
    case 0: return 2;
    case 1: return 0;
    case 2: return 1;
    default: return 0;
  }
}

int DisplayModeFromBundleViewMode(int viewMode) {
  switch (viewMode) {
    case 0: return 1;
    case 1: return 2;
    default: return 0;
  }
}

const char* SystemMaterialCaption(std::string_view key) {
  static const std::pair<const char*, const char*> kCaptions[] = {
      {"VENO_SYS_MAT_INSULATE", "保温"},     {"VENO_SYS_MAT_SLAB", "轻质隔墙"},  {"VENO_SYS_MAT_CURT", "幕墙"},
      {"VENO_SYS_MAT_FILL", "填充墙"},       {"VENO_SYS_MAT_BRICK", "砖墙柱"},   {"VENO_SYS_MAT_ROCKET", "石墙柱"},
      {"VENO_SYS_MAT_CONCRETE", "钢筋混凝土"}, {"VENO_SYS_MAT_STEEL", "钢柱"}};
  for (const auto& [k, caption] : kCaptions)
    if (key == k) return caption;
  return nullptr;
}

bool IsCustomMaterialName(std::string_view name) {
  const std::string_view prefix = kCustomMaterialPrefix;
  if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) return false;
  for (char c : name.substr(prefix.size()))
    if (c < '0' || c > '9') return false;
  return true;
}

KvUtXMLDOMNode WriteDrawingSection(KvUtXMLDOMNode root, AcDbDatabase* db) {
  db = Resolve(db);
  KvUtXMLDOMNode section = AppendDirectory(root, kDwgElement, kDwgName, kDwgCaption);
  if (!section) return section;
  if (KvUtXMLDOMNode base = AppendDirectory(section, "Directory", kBaseName, kBaseCaption)) WriteBase(base, db);
  if (KvUtXMLDOMNode hatch = AppendDirectory(section, "Directory", kHatchName, kHatchCaption)) WriteHatch(hatch, db);
  return section;
}

int ApplyBaseItems(const std::vector<const KvDwgDict*>& records, AcDbDatabase* db) {
  db = Resolve(db);
  if (!db) return 0;
  int applied = 0;
  for (const KvDwgDict* record : records) {
    if (!record || !record->item) continue;
    const std::string key = record->item->GetKey();
    for (const BaseKey& base : BaseKeys()) {
      if (key != base.key) continue;
      if (record->item->GetDataType() == base.type && base.apply(*record->item, db)) ++applied;
      break;
    }
  }
  return applied;
}

int ApplyHatchItems(const std::vector<const KvDwgDict*>& records, AcDbDatabase* db) {
  db = Resolve(db);
  if (!db) return 0;
  int applied = 0;
  // Material items grouped by material, groups in the order they first appear.
  std::vector<std::pair<std::string, std::vector<const KvDtDictItem*>>> groups;
  std::map<std::string, size_t> groupIndex;
  for (const KvDwgDict* record : records) {
    if (!record || !record->item) continue;
    const KvDtDictItem& item = *record->item;
    const std::string key = item.GetKey();
    const int type = item.GetDataType();
    if (key == "VENO_BOLT_DETAILSCALE") {
      if (type == DICT_TYPE_DOUBLE && WithSetting(db, [&](KvDbSetting& s) { s.SetDetailScale(DoubleOf(item)); })) ++applied;
      continue;
    }
    if (key == "VENO_BOLT_BOLDMODE") {
      if (type == DICT_TYPE_BOOL && KvDbSetBoldLine(BoolOf(item) ? 1 : 0, db) == Acad::eOk) ++applied;
      continue;
    }
    if (key == "VENO_BOLT_FILLMODE") {
      if (type == DICT_TYPE_BOOL && KvDbSetSolidFill(BoolOf(item) ? 1 : 0, db) == Acad::eOk) ++applied;
      continue;
    }
    // "VENO_DWG_CONFIG\VENO_BOLT_CONFIG\<material>\<key>": the material is the second-to-last part.
    const std::vector<std::string> parts = tav::Split(record->path(), '\\');
    if (parts.size() < 4 || type == DICT_TYPE_DIRECTORY) continue;
    const std::string& material = parts[parts.size() - 2];
    if (material.empty()) continue;
    auto [it, added] = groupIndex.emplace(material, groups.size());
    if (added) groups.push_back({material, {}});
    groups[it->second].second.push_back(&item);
  }

  for (const auto& [name, items] : groups) {
    AcDbObjectId id;
    if (AcDbDictionary* dict = GetAecMaterialDictionary(AcDb::kForWrite, db)) {
      if (dict->getAt(name, id) != Acad::eOk) id = AcDbObjectId();
      dict->close();
    } else {
      continue;
    }
    if (id.isNull()) id = KvDtInitMaterial(name, db);
    KvDbMaterial* mat = nullptr;
    if (id.isNull() || acdbOpenObject(mat, id, AcDb::kForWrite) != Acad::eOk || !mat) continue;
    for (const KvDtDictItem* item : items)
      if (ApplyMaterialItem(*mat, *item, db)) ++applied;
    mat->close();
  }
  return applied;
}

}  // namespace tav::bundle
