// Reads any bytes as a configuration bundle, builds the import selection tree, ticks everything and
// applies the records to scratch copies of a configuration, a UI configuration and a new drawing.
// A bundle that does not read leaves an empty tree with a message; one that reads must give records
// for exactly its fully ticked nodes, keep ticking consistent, and leave no drawing object open.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "TavDataManager/config/KvBundleTreeModel.h"
#include "TavDataManager/config/KvConfigTransfer.h"
#include "platform/config/KvDtDictionary.h"
#include "platform/config/KvDtUIConfig.h"
#include "platform/config/KvUtXMLDOM.h"
#include "platform/host/KvAcDb.h"

namespace {

const char kConfig[] =
    "<Directory name=\"VENO_CONFIG\"><Directory name=\"TAV\"><Double name=\"X\">1</Double>"
    "<String name=\"S\">s</String></Directory><Directory name=\"TEXT_STYLE\"/></Directory>";
const char kUi[] =
    "<UIConfig name=\"U\"><Directory name=\"TAV_COMMANDS\"><CommandDef name=\"TAV_CMD_CONFIG\" command=\"TavConfig\"/>"
    "</Directory><VenoDictionary name=\"TAV_UI_DICTIONARY\"><Dictionary><Bool name=\"SHOW_TOOLBAR\">TRUE</Bool>"
    "</Dictionary></VenoDictionary></UIConfig>";

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  KvUtXMLDOMFile doc;
  if (!doc.OpenText(text, "fuzz.allcfg")) return 0;
  KvBundleTreeModel tree;
  tree.SetCurPageName("TEXT_STYLE");
  if (!tree.Load(doc)) {
    Check(tree.GetNodeCount() == 0 && !tree.LastError().empty());
    return 0;
  }
  for (int id = 0; id < tree.GetNodeCount(); ++id) {
    Check(tree.GetParent(id) < id);
    Check(tree.FindPath(tree.GetPath(id)) != KvBundleTreeModel::kNoNode);
  }
  tree.SetAllChecked(true);
  if (tree.GetNodeCount() > 1) {
    tree.SetCheck(tree.GetNodeCount() - 1, false);
    for (int p = tree.GetParent(tree.GetNodeCount() - 1); p != KvBundleTreeModel::kNoNode; p = tree.GetParent(p))
      Check(tree.GetCheck(p) != KvBundleTreeModel::kChecked);
    tree.SetCheck(tree.GetNodeCount() - 1, true);
  }
  std::vector<KvConfigDict> config;
  std::vector<KvDwgDict> drawing;
  std::vector<KvUiDict> ui;
  tree.GetConFigData(config, drawing, ui);
  for (const auto& r : config) Check(r.item != nullptr);
  for (const auto& r : drawing) Check(r.item != nullptr && !r.item->IsDict());
  for (const auto& r : ui) Check((r.uiItem == nullptr) != (r.dictItem == nullptr));

  KvDtDictionary targetConfig;
  Check(targetConfig.ReadFromXMLText(kConfig));
  KvConfigTransfer::MergeConfigItemsInto(targetConfig, config);
  KvDtDictionary back;
  Check(back.ReadFromXMLText(targetConfig.ToXMLText()) && back == targetConfig);

  KvDtUIConfig targetUi;
  Check(targetUi.ReadFromXMLText(kUi));
  const int topItems = targetUi.GetRoot().GetChildCount();
  KvConfigTransfer::MergeUiItemsInto(targetUi, ui);
  // UI items are updated in place, never added or removed at the top; the dictionary item stays.
  Check(targetUi.GetRoot().GetChildCount() == topItems && targetUi.FindDictionaryItem() != nullptr);

  AcDbDatabase db;
  KvConfigTransfer::ApplyDrawingItemsTo(drawing, &db);
  Check(db.numOpenObjects() == 0);
  return 0;
}
