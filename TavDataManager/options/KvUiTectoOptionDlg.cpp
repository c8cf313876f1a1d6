#include "TavDataManager/options/KvUiTectoOptionDlg.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "TavDataManager/options/KvUiImportSettingDataDlg.h"
#include "platform/config/KvConfigFiles.h"
#include "platform/config/KvDtDictionary.h"
#include "platform/config/KvPaths.h"
#include "platform/host/KvCommandLine.h"
#include "platform/host/KvUserServices.h"

namespace {

constexpr const char* kConfigFile = "Config.xml";
constexpr const char* kLayerNotice = "\n修改图层标注无法对当前图纸上已存在的图层进行修改！\n";

bool Exists(const char* path) { return g_dictCfg.FindItem(path) != nullptr; }
bool HasTav() { return Exists("TAV"); }
KvDtDictionary* TavDictionary() { return g_dictCfg.FindDict("TAV"); }
bool Created(const KvUiTabChildDialog& sheet) { return sheet.GetSafeHwnd() != nullptr; }

}  // namespace

KvUiTectoOptionDlg::KvUiTectoOptionDlg(QWidget* parent) : KvUiTabMainDialog(parent) {
  SetWindowText("选项配置");
  auto* layout = new QVBoxLayout(this);
  m_tab = new KvUiTab(this);
  SetDlgItem(kTabId, m_tab);
  layout->addWidget(m_tab, 1);
  auto* row = new QHBoxLayout;
  QPushButton* ok = AddButton(IDOK, "确定");
  QPushButton* cancel = AddButton(IDCANCEL, "取消");
  QPushButton* import = AddButton(kImportId, "导入", [this] { OnImport(); });
  QPushButton* exportButton = AddButton(kExportId, "导出", [this] { OnExport(); });
  QPushButton* restore = AddButton(kRestoreId, "恢复默认", [this] { OnRestoreDefault(); });
  for (QPushButton* button : {import, exportButton, restore}) button->setAutoDefault(false);
  row->addWidget(import);
  row->addWidget(exportButton);
  row->addWidget(restore);
  row->addStretch(1);
  row->addWidget(ok);
  row->addWidget(cancel);
  layout->addLayout(row);
  // Keyboard order as the controls are numbered.
  setTabOrder(ok, cancel);
  setTabOrder(cancel, m_tab);
  setTabOrder(m_tab, import);
  setTabOrder(import, exportButton);
  setTabOrder(exportButton, restore);
  // 481 x 325 dialog units.
  setMinimumSize(720, 490);
  resize(720, 490);
  SetAcadTabPointer(m_tab);
}

KvUiTectoOptionDlg::~KvUiTectoOptionDlg() {
  // The sheets go before the tab control that shows them.
  if (m_tab) m_tab->DeleteAllItems();
}

bool KvUiTectoOptionDlg::OnInitDialog() {
  KvUiTabMainDialog::OnInitDialog();
  CenterWindow();
  SetAcadTabPointer(m_tab);
  while (m_tab->GetItemCount() > 0) m_tab->DeleteItem(0);

  int index = 0;
  if (HasTav() && Exists("TAV\\PIPE_SYS_SET")) AddTab(index++, "管道设置", 2149, &m_systemSheet);
  // The layer sheet fills the tab's page area (the tab control lays its pages out).
  if (Exists("LAYER")) AddTab(index++, "图层设置", 2078, &m_layerSheet);
  if (HasTav() && Exists("TAV\\PIPE_MATERIAL_SET")) AddTab(index++, "管道材料", 2000, &m_materialSheet);
  if (HasTav()) AddTab(index++, "材料统计", 220, &m_clbdySheet);
  if (Exists("TEXT_STYLE")) AddTab(index++, "文字样式", 2077, &m_textStyleSheet);
  if (Exists("DIM_STYLE")) AddTab(index++, "尺寸样式", 2076, &m_dimStyleSheet);
  if (Exists("ADVANCE")) AddTab(index++, "高级选项", 2075, &m_advanceSheet);

  if (GetTabCount() > 0) SetActiveTab(0);
  return true;
}

void KvUiTectoOptionDlg::OnOK() {
  if (Exists("ADVANCE")) m_advanceSheet.StoreToConfig();
  if (Exists("DIM_STYLE")) m_dimStyleSheet.StoreToConfig();
  if (Exists("TEXT_STYLE")) m_textStyleSheet.StoreToConfig();
  if (Exists("LAYER")) {
    acutPrintf("%s", kLayerNotice);
    m_layerSheet.StoreLayerPages();
  }
  if (HasTav()) {
    if (!m_systemSheet.CheckSystemRows()) {
      KvMessageBox("管道系统参数错误！", "错误", MB_OK | MB_ICONSTOP);
      return;
    }
    m_systemSheet.SaveSystemRows(TavDictionary());
    m_systemSheet.RebuildSystemLayers();
    m_materialSheet.SaveMaterials(TavDictionary());
  }
  m_clbdySheet.OnSheetOK();
  bool found = false;
  if (!WriteConfiguration(&found)) return;  // the edits stay in the open dialog
  if (found) TavLoadDefaultData();
  KvUiTabMainDialog::OnOK();
}

bool KvUiTectoOptionDlg::WriteConfiguration(bool* found) {
  std::string path;
  *found = FindFile(kConfigFile, path);
  if (!*found) return true;
  // The user's copy: a file found only in the installation is not written over.
  const std::string target = tav::ConfigSavePath(kConfigFile);
  if (!target.empty()) path = target;
  if (g_dictCfg.SaveToXML(path)) return true;
  KvMessageBox("保存配置文件失败：" + g_dictCfg.LastError().message, "错误", MB_OK | MB_ICONSTOP);
  return false;
}

void KvUiTectoOptionDlg::StoreForExport() {
  if (Exists("ADVANCE")) m_advanceSheet.StoreToConfig();
  if (Exists("DIM_STYLE")) m_dimStyleSheet.StoreToConfig();
  if (Exists("TEXT_STYLE")) m_textStyleSheet.StoreToConfig();
  if (Exists("LAYER")) m_layerSheet.StoreLayerPages();
  if (HasTav()) {
    m_systemSheet.SaveSystemRows(TavDictionary());
    m_materialSheet.SaveMaterials(TavDictionary());
  }
  bool found = false;
  WriteConfiguration(&found);
}

std::string KvUiTectoOptionDlg::GetCurPageName() const {
  const int active = GetActiveTab();
  const KvUiTabChildDialog* sheet = active >= 0 ? m_tab->GetSheet(active) : nullptr;
  if (sheet == &m_systemSheet) return "PIPE_SYS_SET";
  if (sheet == &m_layerSheet) {
    std::string page = "LAYER\\" + m_layerSheet.GetShownStandard();
    if (!m_layerSheet.GetTabKeyList().empty()) page += "\\" + m_layerSheet.GetTabKeyList().front();
    return page;
  }
  if (sheet == &m_materialSheet) return "PIPE_MATERIAL_SET";
  if (sheet == &m_textStyleSheet) return "TEXT_STYLE";
  if (sheet == &m_dimStyleSheet) return "DIM_STYLE";
  if (sheet == &m_advanceSheet) return "ADVANCE";
  return std::string();  // the material statistics, or no tab
}

KvBundleActions KvUiTectoOptionDlg::MakeActions(KvBundleSelectionDialog& selection) {
  KvBundleDialogSteps steps;
  steps.storeForExport = [this] { StoreForExport(); };
  steps.currentPageName = [this] { return GetCurPageName(); };
  steps.reloadAfterImport = [this] { RefreshAfterImport(); };
  steps.refreshAfterRestore = [this] { RefreshAfterRestore(); };
  steps.afterRestoreClosed = [this] { RefreshStatistics(); };
  return KvBundleActions(selection, std::move(steps), m_bConfigReplaced);
}

KvBundleOutcome KvUiTectoOptionDlg::OnImport() {
  KvUiImportSelection qtSelection(this);
  return MakeActions(m_selection ? *m_selection : qtSelection).OnImport();
}

KvBundleOutcome KvUiTectoOptionDlg::OnExport() {
  KvUiImportSelection qtSelection(this);
  return MakeActions(m_selection ? *m_selection : qtSelection).OnExport();
}

KvBundleOutcome KvUiTectoOptionDlg::OnRestoreDefault() {
  KvUiImportSelection qtSelection(this);
  return MakeActions(m_selection ? *m_selection : qtSelection).OnRestoreDefault();
}

void KvUiTectoOptionDlg::ReloadConfiguration() {
  g_dictCfg.GetItemList().Reset();
  std::string path;
  if (FindFile(kConfigFile, path)) g_dictCfg.ReadFromXML(path);
}

void KvUiTectoOptionDlg::RefreshAfterImport() {
  ReloadConfiguration();
  if (Created(m_systemSheet)) m_systemSheet.InitSystemGrid();
  if (Created(m_materialSheet)) m_materialSheet.SetMaterialDictionary(TavDictionary());
  if (Created(m_layerSheet)) m_layerSheet.RebuildSubTabs();
  if (Created(m_advanceSheet)) m_advanceSheet.ReloadFromConfig();
  if (Created(m_dimStyleSheet)) m_dimStyleSheet.ReloadFromConfig();
  if (Created(m_textStyleSheet)) m_textStyleSheet.ReloadFromConfig();
}

void KvUiTectoOptionDlg::RefreshAfterRestore() {
  ReloadConfiguration();
  if (Created(m_systemSheet)) m_systemSheet.LoadSystemRows(TavDictionary());
  if (Created(m_materialSheet)) m_materialSheet.SetMaterialDictionary(TavDictionary());
  if (Created(m_layerSheet)) m_layerSheet.RebuildSubTabs();
  if (Created(m_advanceSheet)) m_advanceSheet.ResetAndFill();
  if (Created(m_dimStyleSheet)) m_dimStyleSheet.ResetAndFill();
  if (Created(m_textStyleSheet)) m_textStyleSheet.ResetAndFill();
}

void KvUiTectoOptionDlg::RefreshStatistics() {
  if (Created(m_clbdySheet)) m_clbdySheet.RefreshSheet();
}
