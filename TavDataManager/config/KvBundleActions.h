// The three bundle buttons of the tabbed dialogs ("导出", "导入", "恢复默认") without widgets.
//
// The options dialog, the drawing settings dialog and tavtool all run these steps: files are chosen
// through the host's user services (file dialogs, message boxes), the ticking through a
// KvBundleSelectionDialog (the Qt dialog "导入配置" implements it; KvScriptedBundleSelection answers from
// a script), and the dialog's own steps (storing its pages, reloading them) through callbacks.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "TavDataManager/config/KvBundleTreeModel.h"
#include "platform/config/KvImportRecords.h"

// The import selection dialog "导入配置": shows a loaded tree (its page already preselected) titled
// "导入设置" (mode 0, import) or "导入默认设置" (mode 1, restore), lets the user tick nodes and ends with
// IDOK or IDCANCEL. The caller reads the ticked records from the model afterwards (GetConFigData).
class KvBundleSelectionDialog {
 public:
  virtual ~KvBundleSelectionDialog();
  virtual int DoModal(KvBundleTreeModel& tree, int mode) = 0;
};

// A selection dialog that answers from a queue: tick everything, tick the nodes of given record paths
// (after the page preselection), keep the preselection, or cancel. It records what it was shown. A
// question without a queued answer, or a path the bundle does not have, is recorded in errors() and
// answered with IDCANCEL.
class KvScriptedBundleSelection : public KvBundleSelectionDialog {
 public:
  struct Shown {
    std::string title;
    std::string pageName;
    KvBundleTreeModel::NodeId pageNode;
    int mode;
  };

  void QueueAll();
  void QueuePaths(std::vector<std::string> paths);
  void QueuePreselection();  // OK with only the page's preselection ticked
  void QueueCancel();
  const std::vector<Shown>& shown() const { return shown_; }
  const std::vector<std::string>& errors() const { return errors_; }

  int DoModal(KvBundleTreeModel& tree, int mode) override;

 private:
  struct Answer {
    enum class Kind { kAll, kPaths, kPreselection, kCancel } kind;
    std::vector<std::string> paths;
  };
  std::vector<Answer> answers_;
  std::vector<Shown> shown_;
  std::vector<std::string> errors_;
};

// The steps that belong to the dialog itself. Empty callbacks do nothing.
struct KvBundleDialogSteps {
  // Export: store the dialog's current edits first (the options dialog stores its sheets into
  // g_dictCfg and writes "Config.xml"; the drawing settings dialog writes its page into the drawing).
  std::function<void()> storeForExport = {};
  // Import and restore: the page to preselect in the tree ("" for none).
  std::function<std::string()> currentPageName = {};
  // After an import whose selection ended with OK and was applied: reload and refresh the pages.
  std::function<void()> reloadAfterImport = {};
  // After a restore whose selection ended with OK and was applied: reset and fill the pages.
  std::function<void()> refreshAfterRestore = {};
  // After the restore's selection dialog closed, OK or not (the options dialog refreshes its material
  // statistics page).
  std::function<void()> afterRestoreClosed = {};
};

enum class KvBundleOutcome {
  kCancelled,  // the user cancelled a file or selection dialog: nothing changed
  kFailed,     // a message box told why: nothing changed
  kDone,       // exported, or the selection applied
};

class KvBundleActions {
 public:
  // `configReplaced` is the dialog's configuration-replaced flag: set to 1 when an import or restore
  // applied a selection with UI items.
  KvBundleActions(KvBundleSelectionDialog& selection, KvBundleDialogSteps steps, int& configReplaced);

  // Save-file dialog (extension "allcfg", name "澈岩建筑配置.allcfg", filter "配置文档(*.allcfg)|*.allcfg||",
  // OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT), the dialog's store step, then ExportBundle; a failure shows
  // "创建XML文档失败！请安装MSXML4.0SP2组件".
  KvBundleOutcome OnExport();
  // Open-file dialog (filter "配置文件 (*.allcfg)|*.allcfg||", OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT),
  // then the bundle is read; a file that is not a readable bundle shows
  // "打开XML文档失败！请安装MSXML4.0SP2组件". Then the selection dialog in import mode; on OK
  // ApplySelection, the flag, and the dialog's reload step.
  KvBundleOutcome OnImport();
  // As OnImport with the located "DefaultCfg.allcfg" instead of a file dialog ("未找到默认配置文档：
  // DefaultCfg.allcfg!" when FindFile does not find it) and the selection dialog in restore mode.
  KvBundleOutcome OnRestoreDefault();

  // The records of the last applied selection (their items belong to a tree that no longer exists:
  // only the paths may be read).
  const std::vector<KvConfigDict>& LastConfigRecords() const { return config_; }
  const std::vector<KvDwgDict>& LastDrawingRecords() const { return drawing_; }
  const std::vector<KvUiDict>& LastUiRecords() const { return ui_; }

 private:
  KvBundleOutcome ImportFrom(const std::string& path, int mode);

  KvBundleSelectionDialog& selection_;
  KvBundleDialogSteps steps_;
  int& configReplaced_;
  std::vector<KvConfigDict> config_;
  std::vector<KvDwgDict> drawing_;
  std::vector<KvUiDict> ui_;
};
