#include "TavDataManager/config/KvConfigTransfer.h"

#include <unordered_map>

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
  for (const auto& [name, value] : source.GetAttributes()) target.SetAttributeValue(name, value);
}

// Key lookups in the target dictionary during one merge. FindItem compares each step's key with every
// child; a merge of a whole configuration would do that for every record, so the directories met are
// indexed once by their children's keys (ASCII case folded; the first child of a key wins, as in
// FindItem) and kept up to date as items are added.
std::string Folded(std::string_view key) {
  std::string out(key);
  for (char& c : out) c = tav::FoldAscii(c);
  return out;
}

class DictionaryIndex {
 public:
  explicit DictionaryIndex(KvDtDictionary& top) : top_(top) {}

  // The item at a backslash path (empty steps skipped), as FindItem finds it; nullptr when absent.
  // Records arrive in tree order, so the directory of the previous lookup is kept for the next one.
  KvDtDictItem* Find(std::string_view path) {
    const size_t last = path.rfind('\\');
    if (last != std::string_view::npos && last > 0 && last + 1 < path.size() && path[last - 1] != '\\') {
      const std::string_view parent = path.substr(0, last);
      if (!cachedParent_.empty() && parent == cachedParent_) {
        return cachedDir_ ? Child(*cachedDir_, path.substr(last + 1)) : nullptr;
      }
      KvDtDictItem* dir = Walk(parent);
      cachedParent_.assign(parent);
      cachedDir_ = dir && dir->IsDict() ? static_cast<KvDtDictionary*>(dir) : nullptr;
      return cachedDir_ ? Child(*cachedDir_, path.substr(last + 1)) : nullptr;
    }
    return Walk(path);
  }

  // Records a new item and the directories created above it.
  void Added(KvDtDictItem* item) {
    cachedParent_.clear();  // a missing directory may exist now
    for (KvDtDictItem* child = item; child && child != &top_; child = child->GetParent()) {
      KvDtDictionary* parent = child->GetParent();
      if (!parent) break;
      auto it = index_.find(parent);
      if (it != index_.end()) it->second.emplace(Folded(child->GetKey()), child);
    }
  }

 private:
  KvDtDictItem* Walk(std::string_view path) {
    KvDtDictItem* item = nullptr;
    KvDtDictionary* dir = &top_;
    size_t start = 0;
    bool any = false;
    while (start <= path.size()) {
      size_t end = path.find('\\', start);
      if (end == std::string_view::npos) end = path.size();
      const std::string_view step = path.substr(start, end - start);
      start = end + 1;
      if (step.empty()) continue;
      if (!dir) return nullptr;  // a step below a value item
      item = Child(*dir, step);
      if (!item) return nullptr;
      any = true;
      dir = item->IsDict() ? static_cast<KvDtDictionary*>(item) : nullptr;
    }
    return any ? item : nullptr;
  }

  KvDtDictItem* Child(KvDtDictionary& dir, std::string_view key) {
    auto [it, added] = index_.try_emplace(&dir);
    if (added) {
      it->second.reserve(static_cast<size_t>(dir.GetCount()));
      for (const auto& child : dir.GetItemList()) {
        const std::string* k = child->FindAttribute("name");
        it->second.emplace(Folded(k ? std::string_view(*k) : std::string_view()), child.get());
      }
    }
    folded_.assign(key);
    for (char& c : folded_) c = tav::FoldAscii(c);
    auto found = it->second.find(folded_);
    return found == it->second.end() ? nullptr : found->second;
  }

  KvDtDictionary& top_;
  std::unordered_map<const KvDtDictionary*, std::unordered_map<std::string, KvDtDictItem*>> index_;
  std::string folded_;
  std::string cachedParent_;  // the parent path of the last lookup ("" when none)
  KvDtDictionary* cachedDir_ = nullptr;
};

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
  DictionaryIndex index(target);
  for (const KvConfigDict& record : records) {
    if (!record.item) continue;
    std::string_view path = record.path;
    const size_t slash = path.find('\\');
    if (slash != std::string_view::npos && slash > 0) path.remove_prefix(slash + 1);
    const int type = record.item->GetDataType();
    KvDtDictItem* found = index.Find(path);
    if (found) {
      if (found->GetDataType() != type) continue;
    } else {
      found = type != DICT_TYPE_DIRECTORY ? target.FindOrAddItem(path, type) : target.FindOrAddDict(path);
      if (found) index.Added(found);
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
