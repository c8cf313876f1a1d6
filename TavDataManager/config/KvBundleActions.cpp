#include "TavDataManager/config/KvBundleActions.h"

#include "TavDataManager/config/KvBundleFormat.h"
#include "TavDataManager/config/KvConfigTransfer.h"
#include "platform/config/KvPaths.h"
#include "platform/config/KvUtXMLDOM.h"
#include "platform/host/KvUserServices.h"

using namespace tav::bundle;

KvBundleSelectionDialog::~KvBundleSelectionDialog() = default;

// ---- scripted selection -----------------------------------------------------------------------------

void KvScriptedBundleSelection::QueueAll() { answers_.push_back({Answer::Kind::kAll, {}}); }
void KvScriptedBundleSelection::QueuePaths(std::vector<std::string> paths) {
  answers_.push_back({Answer::Kind::kPaths, std::move(paths)});
}
void KvScriptedBundleSelection::QueuePreselection() { answers_.push_back({Answer::Kind::kPreselection, {}}); }
void KvScriptedBundleSelection::QueueCancel() { answers_.push_back({Answer::Kind::kCancel, {}}); }

int KvScriptedBundleSelection::DoModal(KvBundleTreeModel& tree, int mode) {
  shown_.push_back({SelectionTitle(mode), tree.GetCurPageName(), tree.GetCurPageNode(), mode});
  if (answers_.empty()) {
    errors_.push_back("the selection dialog was shown without a scripted answer");
    return IDCANCEL;
  }
  Answer answer = std::move(answers_.front());
  answers_.erase(answers_.begin());
  switch (answer.kind) {
    case Answer::Kind::kCancel: return IDCANCEL;
    case Answer::Kind::kPreselection: return IDOK;
    case Answer::Kind::kAll: tree.SetAllChecked(true); return IDOK;
    case Answer::Kind::kPaths: {
      std::vector<KvBundleTreeModel::NodeId> ids;
      for (const std::string& path : answer.paths) {
        const KvBundleTreeModel::NodeId id = tree.FindPath(path);
        if (id == KvBundleTreeModel::kNoNode) {
          errors_.push_back("the bundle has no node '" + path + "'");
          return IDCANCEL;
        }
        ids.push_back(id);
      }
      for (KvBundleTreeModel::NodeId id : ids) tree.SetCheck(id, true);
      return IDOK;
    }
  }
  return IDCANCEL;
}

// ---- actions ---------------------------------------------------------------------------------------

KvBundleActions::KvBundleActions(KvBundleSelectionDialog& selection, KvBundleDialogSteps steps, int& configReplaced)
    : selection_(selection), steps_(std::move(steps)), configReplaced_(configReplaced) {}

KvBundleOutcome KvBundleActions::OnExport() {
  KvFileDialogRequest request;
  request.kind = KvFileDialogKind::kSave;
  request.defaultExtension = kDefaultExtension;
  request.fileName = kDefaultFileName;
  request.filter = kExportFilter;
  request.flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
  const KvFileDialogResult chosen = KvGetUserServices().FileDialog(request);
  if (!chosen.accepted || chosen.path().empty()) return KvBundleOutcome::kCancelled;
  if (steps_.storeForExport) steps_.storeForExport();
  KvConfigTransfer transfer;
  if (transfer.ExportBundle(chosen.path(), kRootElement) == 0) {
    KvMessageBox(kCreateFailed, "", MB_OK);
    return KvBundleOutcome::kFailed;
  }
  return KvBundleOutcome::kDone;
}

KvBundleOutcome KvBundleActions::OnImport() {
  KvFileDialogRequest request;
  request.kind = KvFileDialogKind::kOpen;
  request.filter = kImportFilter;
  request.flags = OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT;
  const KvFileDialogResult chosen = KvGetUserServices().FileDialog(request);
  if (!chosen.accepted || chosen.path().empty()) return KvBundleOutcome::kCancelled;
  return ImportFrom(chosen.path(), kModeImport);
}

KvBundleOutcome KvBundleActions::OnRestoreDefault() {
  std::string path;
  if (!FindFile(kDefaultBundleFile, path)) {
    KvMessageBox(kDefaultNotFound, "", MB_OK);
    return KvBundleOutcome::kFailed;
  }
  return ImportFrom(path, kModeRestore);
}

KvBundleOutcome KvBundleActions::ImportFrom(const std::string& path, int mode) {
  config_.clear();
  drawing_.clear();
  ui_.clear();
  KvBundleTreeModel tree;
  {
    // The document is released as soon as the tree has read it.
    KvUtXMLDOMFile doc;
    bool read = doc.Open(path);
    if (read) {
      tree.SetCurPageName(steps_.currentPageName ? steps_.currentPageName() : std::string());
      read = tree.Load(doc);
    }
    if (!read) {
      KvMessageBox(kOpenFailed, "", MB_OK);
      return KvBundleOutcome::kFailed;
    }
  }
  const int answer = selection_.DoModal(tree, mode);
  if (mode == kModeRestore && steps_.afterRestoreClosed) {
    // Runs after the selection was applied (below) on OK, at once on cancel.
    if (answer != IDOK) steps_.afterRestoreClosed();
  }
  if (answer != IDOK) return KvBundleOutcome::kCancelled;
  tree.GetConFigData(config_, drawing_, ui_);
  KvConfigTransfer transfer;
  transfer.ApplySelection(config_, drawing_, ui_);
  if (!ui_.empty()) configReplaced_ = 1;
  if (mode == kModeRestore) {
    if (steps_.refreshAfterRestore) steps_.refreshAfterRestore();
    if (steps_.afterRestoreClosed) steps_.afterRestoreClosed();
  } else if (steps_.reloadAfterImport) {
    steps_.reloadAfterImport();
  }
  for (KvConfigDict& r : config_) r.item = nullptr;
  for (KvDwgDict& r : drawing_) r.item = nullptr;
  for (KvUiDict& r : ui_) r.uiItem = nullptr, r.dictItem = nullptr;
  return KvBundleOutcome::kDone;
}
