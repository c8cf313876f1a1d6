// The seven sheets of the options dialog "选项配置" and what the dialog calls on them.
//
// The dialog (KvUiTectoOptionDlg) calls these operations and nothing else:
//
//   sheet                  on OK / on export              after an import        after a restore
//   KvUiAdvanceSheet       StoreToConfig                  ReloadFromConfig       ResetAndFill
//   KvUiDimStyleSheet      StoreToConfig                  ReloadFromConfig       ResetAndFill
//   KvUiTextStyleSheet     StoreToConfig                  ReloadFromConfig       ResetAndFill
//   KvUiLayerBaseSheet     StoreLayerPages                RebuildSubTabs         RebuildSubTabs
//   KvUiSystemSetSheet     CheckSystemRows (OK only),     InitSystemGrid         LoadSystemRows("TAV")
//                          SaveSystemRows("TAV"),
//                          RebuildSystemLayers (OK only)
//   KvUiMaterialSetSheet   SaveMaterials("TAV")           SetMaterialDictionary  SetMaterialDictionary
//   KvUiClbdyDlg           OnSheetOK (OK only)            nothing                RefreshSheet
//
// The sheets' editors are not part of this build yet: each sheet shows a notice that its editor is not
// available, and its operations leave the configuration as it is (so OK writes back exactly what was
// read, and an import or restore shows what the configuration now holds once the editors exist).
#pragma once

#include <string>
#include <vector>

#include "platform/ui/KvUiDialog.h"

class KvDtDictionary;
class QLabel;

// A page of the options dialog. The three generic operations cover the sheets whose whole work is
// "store into g_dictCfg", "reload from g_dictCfg" and "reset the grid, then fill it from g_dictCfg".
class KvUiOptionSheet : public KvUiTabChildDialog {
 public:
  // `caption` is the tab's caption; the notice names it.
  explicit KvUiOptionSheet(std::string caption, QWidget* parent = nullptr);
  ~KvUiOptionSheet() override;

  const std::string& GetCaption() const { return caption_; }
  // The text the sheet shows while its editor is not available.
  std::string GetNotice() const;

  // Writes the sheet's rows into g_dictCfg (OK and export).
  virtual void StoreToConfig();
  // Reads the sheet's rows again from g_dictCfg (after an import).
  virtual void ReloadFromConfig();
  // Empties the sheet's grid and fills it from g_dictCfg (after a restore of defaults).
  virtual void ResetAndFill();

  bool OnInitDialog() override;

 private:
  std::string caption_;
  QLabel* notice_ = nullptr;
};

// "高级选项": the "ADVANCE" tree of switches and numbers.
class KvUiAdvanceSheet : public KvUiOptionSheet {
 public:
  explicit KvUiAdvanceSheet(QWidget* parent = nullptr);
};

// "文字样式": the text kinds of "TEXT_STYLE".
class KvUiTextStyleSheet : public KvUiOptionSheet {
 public:
  explicit KvUiTextStyleSheet(QWidget* parent = nullptr);
};

// "尺寸样式": the dimension kinds of "DIM_STYLE".
class KvUiDimStyleSheet : public KvUiOptionSheet {
 public:
  explicit KvUiDimStyleSheet(QWidget* parent = nullptr);
};

// "图层设置": the layer standards of "LAYER", one sub-tab per definition dictionary of the shown
// standard ("LAYER_FIELD_DEF", "ASSEMBLY_LAYER_DEF").
class KvUiLayerBaseSheet : public KvUiOptionSheet {
 public:
  explicit KvUiLayerBaseSheet(QWidget* parent = nullptr);

  // The standard the sub-tabs show: "LAYER\CUR_STD" when the sheet is made (or rebuilt without one).
  const std::string& GetShownStandard() const { return shownStandard_; }
  // The page key of each sub-tab, in tab order.
  const std::vector<std::string>& GetTabKeyList() const { return tabKeys_; }

  // The sub-sheets of the listed pages store their grids into g_dictCfg.
  virtual void StoreLayerPages();
  // Rebuilds the sub-tab key list from the shown standard's definitions in g_dictCfg.
  virtual void RebuildSubTabs();

 private:
  std::string shownStandard_;
  std::vector<std::string> tabKeys_;
};

// "管道设置": the pipe systems of "TAV\PIPE_SYS_SET".
class KvUiSystemSetSheet : public KvUiOptionSheet {
 public:
  explicit KvUiSystemSetSheet(QWidget* parent = nullptr);

  // False when a row misses one of its drawing parameters.
  virtual bool CheckSystemRows();
  // Writes the rows into "PIPE_SYS_SET" of `tav` (the "TAV" dictionary); nothing for null.
  virtual void SaveSystemRows(KvDtDictionary* tav);
  // Regenerates the system-dependent layer keys of every layer standard.
  virtual void RebuildSystemLayers();
  // Sets the grid up again and loads the rows from g_dictCfg.
  virtual void InitSystemGrid();
  // Loads the rows from "PIPE_SYS_SET" of `tav`; the grid stays empty for null.
  virtual void LoadSystemRows(KvDtDictionary* tav);
};

// "管道材料": the pipe materials of "TAV\PIPE_MATERIAL_SET".
class KvUiMaterialSetSheet : public KvUiOptionSheet {
 public:
  explicit KvUiMaterialSetSheet(QWidget* parent = nullptr);

  // Makes `tav` the working dictionary and refills the material list.
  virtual void SetMaterialDictionary(KvDtDictionary* tav);
  // Writes the shown material's diameters and parameters into `tav`.
  virtual void SaveMaterials(KvDtDictionary* tav);
  KvDtDictionary* GetMaterialDictionary() const { return working_; }

 private:
  KvDtDictionary* working_ = nullptr;
};

// "材料统计": the table style and statistics settings.
class KvUiClbdyDlg : public KvUiOptionSheet {
 public:
  explicit KvUiClbdyDlg(QWidget* parent = nullptr);

  // The page's own OK: validate and save both of its pages.
  virtual void OnSheetOK();
  // Shows the stored settings again (after a restore of defaults).
  virtual void RefreshSheet();
};
