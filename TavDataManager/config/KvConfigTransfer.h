// Export, import and restore of .allcfg configuration bundles (docs/bundles.md).
//
// KvConfigTransfer holds no state: the options dialog, the drawing settings dialog and tavtool create
// one on the stack for each operation. Files are located with FindFile; a file that is not found is
// absent and the part of the operation that needs it is skipped. Saving goes where SaveConfig and
// SaveUIConfig save (the user's folder, never the main directory).
#pragma once

#include <string>
#include <vector>

#include "platform/config/KvImportRecords.h"

class AcDbDatabase;
class KvDtDictionary;
class KvDtUIConfig;
class KvUtXMLDOMFile;

class KvConfigTransfer {
 public:
  // Writes a bundle to `path`: the root `rootName` ("VenoConfigDataSet") with name "TECTO_CONFIGTION"
  // and localname "澈岩建筑软件设置", then copies of the located "Config.xml" (renamed "VENO_CONFIG",
  // "选项设置") and "UIConfig.xml" ("VENO_UI_CONFIG", "自定义设置"), each left out when not found or not
  // readable, then the drawing section of the working database. Neither file is changed. 1 on success;
  // 0 when the document could not be created or written (a file at `path` is then left as it was).
  int ExportBundle(const std::string& path, const std::string& rootName);

  // Runs MergeConfigItems, ApplyDrawingItems and MergeUiItems, each only when its list is not empty.
  // Returns 0 (callers look at the lists themselves).
  int ApplySelection(const std::vector<KvConfigDict>& config, const std::vector<KvDwgDict>& drawing,
                     const std::vector<KvUiDict>& ui);

  // Merges the records into g_dictCfg and saves it (SaveConfig). Nothing happens, result 0, when
  // "Config.xml" is not found; 1 when it was found and saved, else 0.
  int MergeConfigItems(const std::vector<KvConfigDict>& records);
  // Applies the base and hatch records to the working database (records of other sections are ignored).
  void ApplyDrawingItems(const std::vector<KvDwgDict>& records);
  // Updates g_dbCfgUI from the records and saves it (SaveUIConfig); nothing when "UIConfig.xml" is not
  // found. g_pUiDictionary is pointed at the configuration's dictionary item afterwards.
  void MergeUiItems(const std::vector<KvUiDict>& records);

  // ---- the merges on given targets (no files) ----

  // Merges records into `target`. The path of each record loses its first part (the bundle's section
  // name); the item found there takes the imported value (directories keep their children: those
  // arrive as records of their own) and every imported attribute; an item of another type is skipped;
  // a missing item is created with any missing directories. Returns how many records were applied.
  static int MergeConfigItemsInto(KvDtDictionary& target, const std::vector<KvConfigDict>& records);
  // Updates `target` from the records: a UI item replaces the item of the same name and kind (its
  // children are replaced too; UI items are never added); an item of the embedded dictionary updates
  // the value at the same path in the target's dictionary when both have the same type (directories are
  // not copied as a whole: their values arrive as records of their own). Returns how many were applied.
  static int MergeUiItemsInto(KvDtUIConfig& target, const std::vector<KvUiDict>& records);
  // Splits the records into base and hatch lists by the second part of their path and applies them to
  // `db` (the working database when null). Returns how many items were applied.
  static int ApplyDrawingItemsTo(const std::vector<KvDwgDict>& records, AcDbDatabase* db = nullptr);
};

namespace tav::bundle {

// What the options dialog does after an import or restore: empties g_dictCfg and reads it again from
// the "Config.xml" that FindFile finds (it stays empty when there is none). True when it was read.
bool ReloadConfigAfterImport();

}  // namespace tav::bundle
