// The drawing section of a configuration bundle ("VENO_DWG_CONFIG"): the base settings and the hatch
// settings of the current drawing, written at export and written back at import or restore.
//
//   <VenoDwgConfig name="VENO_DWG_CONFIG" localname="图形设置">
//     <Directory name="VENO_BASE_CONFIG" localname="基本设置"> four directories of values </Directory>
//     <Directory name="VENO_BOLT_CONFIG" localname="填充设置"> three values, one directory per material </Directory>
//   </VenoDwgConfig>
//
// Values are read from and written to the drawing's settings object (KvDbSetting), its per-drawing
// values and its wall materials (KvDbMaterial); docs/bundles.md lists every key.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/config/KvImportRecords.h"
#include "platform/config/KvUtXMLDOM.h"

class AcDbDatabase;

namespace tav::bundle {

// Appends the drawing section under `root` and fills it from `db` (the working database when null; a
// drawing without settings object gives the defaults of a new settings object and g_dInitDetailScale).
// Returns the section; a null node when it could not be appended (then nothing was written).
KvUtXMLDOMNode WriteDrawingSection(KvUtXMLDOMNode root, AcDbDatabase* db = nullptr);

// Applies records of the base section to `db` (the working database when null): each item by its key;
// an item of another type than its key's, an unknown key, or a settings key in a drawing without
// settings object is skipped. Returns how many items were applied.
int ApplyBaseItems(const std::vector<const KvDwgDict*>& records, AcDbDatabase* db = nullptr);
// Applies records of the hatch section: the three hatch values by key; every other record is a
// material item, grouped by its material (the second-to-last part of its path); a missing material is
// created with the platform's defaults. Returns how many items were applied.
int ApplyHatchItems(const std::vector<const KvDwgDict*>& records, AcDbDatabase* db = nullptr);

// The display mode as the bundle stores it (settings mode 0 -> 2, 1 -> 0, 2 -> 1, others -> 0) and back
// (0 -> 1, 1 -> 2, others -> 0).
int BundleViewModeFromDisplayMode(int displayMode);
int DisplayModeFromBundleViewMode(int viewMode);

// The fixed caption of a system material key ("VENO_SYS_MAT_BRICK" -> "砖墙柱"); nullptr for other keys.
const char* SystemMaterialCaption(std::string_view key);
// True for a material directory name made for a custom material ("VENO_SYS_MAT_CUSTOM_" + number).
bool IsCustomMaterialName(std::string_view name);

}  // namespace tav::bundle
