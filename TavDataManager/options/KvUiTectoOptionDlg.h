// The options dialog "选项配置" of the command TavConfig.
//
// One tab per configuration section present in g_dictCfg, in a fixed order; OK stores every sheet back
// into g_dictCfg, checks the pipe systems and writes "Config.xml"; the buttons "导入", "导出" and
// "恢复默认" run the bundle steps (KvBundleActions) with this dialog's store, reload and refresh steps.
// An import or restore that applied user-interface items sets m_bConfigReplaced, which the command
// reads afterwards (it then saves the UI configuration and posts "KvLoadUI\r").
#pragma once

#include <memory>
#include <string>

#include "TavDataManager/config/KvBundleActions.h"
#include "TavDataManager/options/KvUiOptionSheets.h"
#include "platform/ui/KvUiDialog.h"

class KvDtDictionary;

class KvUiTectoOptionDlg : public KvUiTabMainDialog {
 public:
  // Control ids of the layout.
  static constexpr int kTabId = 2032;
  static constexpr int kImportId = 2107;
  static constexpr int kExportId = 2108;
  static constexpr int kRestoreId = 2127;

  explicit KvUiTectoOptionDlg(QWidget* parent = nullptr);
  ~KvUiTectoOptionDlg() override;

  bool OnInitDialog() override;
  // Stores the sheets in their fixed order, checks the pipe systems (the dialog stays open when they are
  // incomplete), writes "Config.xml" when it is found and lets the data layer reload, then closes with IDOK.
  void OnOK() override;

  // The three bundle buttons.
  KvBundleOutcome OnImport();
  KvBundleOutcome OnExport();
  KvBundleOutcome OnRestoreDefault();

  // The page the import tree preselects for the active tab ("" for none).
  std::string GetCurPageName() const;
  // The selection dialog the bundle steps show; null (the default) shows KvUiImportSettingDataDlg.
  void SetSelectionDialog(KvBundleSelectionDialog* selection) { m_selection = selection; }

  KvUiTab* m_tab = nullptr;
  KvUiAdvanceSheet m_advanceSheet;
  KvUiTextStyleSheet m_textStyleSheet;
  KvUiDimStyleSheet m_dimStyleSheet;
  KvUiLayerBaseSheet m_layerSheet;
  KvUiSystemSetSheet m_systemSheet;
  KvUiMaterialSetSheet m_materialSheet;
  KvUiClbdyDlg m_clbdySheet;
  // 1 once an import or a restore of defaults applied user-interface items.
  int m_bConfigReplaced = 0;

 private:
  KvBundleActions MakeActions(KvBundleSelectionDialog& selection);
  // Stores every sheet as OK does, without the pipe-system check and without rebuilding the layers.
  void StoreForExport();
  // Clears g_dictCfg and reads it again from the "Config.xml" that FindFile finds.
  void ReloadConfiguration();
  void RefreshAfterImport();
  void RefreshAfterRestore();
  void RefreshStatistics();
  // Writes g_dictCfg when "Config.xml" is found; false (the user told why) when writing failed.
  bool WriteConfiguration(bool* found);

  KvBundleSelectionDialog* m_selection = nullptr;
};
