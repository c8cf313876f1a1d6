#include "TavDataManager/config/KvConfigTransfer.h"

#include "TavDataManager/config/KvBundleFormat.h"
#include "TavDataManager/config/KvDwgConfigSection.h"
#include "platform/base/KvStrings.h"
#include "platform/config/KvConfigFiles.h"
#include "platform/config/KvDtDictionary.h"
#include "platform/config/KvDtUIConfig.h"
#include "platform/config/KvPaths.h"
#include "platform/config/KvUtXMLDOM.h"

using namespace tav::bundle;

namespace {

// Appends a copy of the located file's root element, renamed for the bundle; nothing when the file is
// not found or does not read.
void AppendFileSection(KvUtXMLDOMNode root, const char* fileName, const char* name, const char* caption) {
  std::string path;
  if (!FindFile(fileName, path)) return;
  KvUtXMLDOMFile source;
  if (!source.Open(path)) return;
  KvUtXMLDOMNode copy = root.AppendCopy(source.GetRoot());
  if (!copy) return;
  copy.DelAttributeNode("localname");
  copy.SetAttributeValue("name", name);
  copy.SetAttributeValue("localname", caption);
}

// Copies value (not for directories) and attributes of `source` into `target` of the same type.
void CopyConfigItem(KvDtDictItem& target, const KvDtDictItem& source) {
  if (!source.IsDict()) target.CopyValue(source);
  std::vector<std::string> names, values;
  const int count = source.GetAllAttribute(names, values);
  if (count == 0 || names.size() != values.size()) return;
  for (size_t i = 0; i < names.size(); ++i) target.SetAttributeValue(names[i], values[i]);
}

}  // namespace

int KvConfigTransfer::ExportBundle(const std::string& path, const std::string& rootName) {
  KvUtXMLDOMFile doc;
  if (!doc.CreateNewXMLDoc(path, kDeclaration, rootName, {{"name", kRootName}, {"localname", kRootCaption}}))
    return 0;
  KvUtXMLDOMNode root = doc.GetRoot();
  AppendFileSection(root, kConfigFile, kConfigName, kConfigCaption);
  AppendFileSection(root, kUiFile, kUiName, kUiCaption);
  WriteDrawingSection(root);
  return doc.Save() ? 1 : 0;
}

int KvConfigTransfer::ApplySelection(const std::vector<KvConfigDict>& config, const std::vector<KvDwgDict>& drawing,
                                     const std::vector<KvUiDict>& ui) {
  if (!config.empty()) MergeConfigItems(config);
  if (!drawing.empty()) ApplyDrawingItems(drawing);
  if (!ui.empty()) MergeUiItems(ui);
  return 0;
}

int KvConfigTransfer::MergeConfigItems(const std::vector<KvConfigDict>& records) {
  std::string path;
  if (!FindFile(kConfigFile, path)) return 0;
  MergeConfigItemsInto(g_dictCfg, records);
  return SaveConfig() ? 1 : 0;
}

void KvConfigTransfer::ApplyDrawingItems(const std::vector<KvDwgDict>& records) { ApplyDrawingItemsTo(records); }

void KvConfigTransfer::MergeUiItems(const std::vector<KvUiDict>& records) {
  std::string path;
  if (!FindFile(kUiFile, path)) return;
  MergeUiItemsInto(g_dbCfgUI, records);
  g_pUiDictionary = g_dbCfgUI.FindDictionaryItem();
  SaveUIConfig();
}

int KvConfigTransfer::MergeConfigItemsInto(KvDtDictionary& target, const std::vector<KvConfigDict>& records) {
  int applied = 0;
  for (const KvConfigDict& record : records) {
    if (!record.item) continue;
    std::string path = record.path;
    const size_t slash = path.find('\\');
    if (slash != std::string::npos && slash > 0) path.erase(0, slash + 1);
    const int type = record.item->GetDataType();
    KvDtDictItem* found = target.FindItem(path);
    if (found) {
      if (found->GetDataType() != type) continue;
    } else if (type != DICT_TYPE_DIRECTORY) {
      found = target.FindOrAddItem(path, type);
    } else {
      found = target.FindOrAddDict(path);
    }
    if (!found) continue;
    CopyConfigItem(*found, *record.item);
    ++applied;
  }
  return applied;
}

int KvConfigTransfer::MergeUiItemsInto(KvDtUIConfig& target, const std::vector<KvUiDict>& records) {
  int applied = 0;
  for (const KvUiDict& record : records) {
    if (record.dictItem) {
      KvDtUIDictionary* uiDictionary = target.FindDictionaryItem();
      if (!uiDictionary || !record.dictItem->IsValid() || record.dictItem->IsDict()) continue;
      KvDtDictItem* found = uiDictionary->GetDictionary().FindItem(record.dictItem->GetPath());
      if (!found || found->GetDataType() != record.dictItem->GetDataType()) continue;
      if (found->CopyValue(*record.dictItem)) ++applied;
      continue;
    }
    if (!record.uiItem || record.uiItem->GetName().empty()) continue;
    KvDtUIItem* found = target.FindNamedItem(record.uiItem->GetName());
    if (!found || !tav::EqualsNoCase(found->GetKindWord(), record.uiItem->GetKindWord())) continue;
    if (found == &target.GetRoot()) continue;  // the top of the configuration is not an item of it
    if (found->CopyFrom(*record.uiItem)) ++applied;
  }
  return applied;
}

int KvConfigTransfer::ApplyDrawingItemsTo(const std::vector<KvDwgDict>& records, AcDbDatabase* db) {
  std::vector<const KvDwgDict*> base, hatch;
  for (const KvDwgDict& record : records) {
    if (!record.item || record.path().empty()) continue;
    const std::vector<std::string> parts = tav::Split(record.path(), '\\');
    if (parts.size() < 2) continue;
    if (parts[1] == kBaseName) base.push_back(&record);
    else if (parts[1] == kHatchName) hatch.push_back(&record);
  }
  int applied = 0;
  if (!base.empty()) applied += ApplyBaseItems(base, db);
  if (!hatch.empty()) applied += ApplyHatchItems(hatch, db);
  return applied;
}

namespace tav::bundle {

bool ReloadConfigAfterImport() {
  g_dictCfg.GetItemList().Reset();
  std::string path;
  if (!FindFile(kConfigFile, path)) return false;
  return g_dictCfg.ReadFromXML(path);
}

}  // namespace tav::bundle
