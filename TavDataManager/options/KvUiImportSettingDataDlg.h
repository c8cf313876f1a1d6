// The import selection dialog "导入配置": a tree of everything a bundle holds, with a check box on every
// node, in which the user ticks what an import or a restore of defaults takes over.
//
// The tree mirrors a KvBundleTreeModel node for node (folder icon for directories, text icon for values,
// from the main directory's "Skin" folder); ticking goes both ways, so the model always holds what the
// tree shows. The description box shows the selected node's text. On OK the three selection lists are
// filled from the ticked nodes, as the model gives them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "TavDataManager/config/KvBundleActions.h"
#include "TavDataManager/config/KvBundleTreeModel.h"
#include "platform/config/KvImportRecords.h"
#include "platform/ui/KvUiCheckTree.h"
#include "platform/ui/KvUiDialog.h"

class KvUtXMLDOMFile;
class QPlainTextEdit;

class KvUiImportSettingDataDlg : public KvUiDialog {
 public:
  // Control ids of the layout.
  static constexpr int kTreeId = 2126;
  static constexpr int kDescriptionId = 2070;

  // Reads the tree from `doc` (not owned; may be null or empty: the tree stays empty) when the dialog
  // opens, preselecting `pageName`. `mode` 0 imports ("导入设置"), 1 restores defaults ("导入默认设置").
  KvUiImportSettingDataDlg(const KvUtXMLDOMFile* doc, std::string pageName, int mode, QWidget* parent = nullptr);
  // Shows a tree that is already loaded (its page preselected); ticking changes `tree`.
  KvUiImportSettingDataDlg(KvBundleTreeModel& tree, int mode, QWidget* parent = nullptr);
  ~KvUiImportSettingDataDlg() override;

  bool OnInitDialog() override;
  void OnOK() override;

  KvUiCheckTree* GetTree() const { return m_tree; }
  KvBundleTreeModel& GetModel() const { return *m_model; }
  // The widget node of a model node, and back (null / kNoNode when there is none).
  KvUiCheckTree::Node* GetTreeNode(KvBundleTreeModel::NodeId id) const;
  KvBundleTreeModel::NodeId GetNodeId(const KvUiCheckTree::Node* node) const;
  std::string GetDescription() const;
  int GetMode() const { return m_mode; }

  // The ticked records, filled on OK.
  std::vector<KvConfigDict> m_listConfig;
  std::vector<KvDwgDict> m_listDwg;
  std::vector<KvUiDict> m_listUi;

  // The icons of the tree: main directory + "Skin\folder.ico" and + "Skin\txt.ico".
  static std::string FolderIconPath();
  static std::string ValueIconPath();

 private:
  void BuildTree();
  void OnSelChanged(KvUiCheckTree::Node* node);
  void OnCheckChanged(KvUiCheckTree::Node* node);

  KvUiCheckTree* m_tree = nullptr;
  QPlainTextEdit* m_description = nullptr;
  std::vector<std::string> m_list;  // cleared on OK
  const KvUtXMLDOMFile* m_doc = nullptr;
  std::string m_pageName;
  int m_mode = 0;
  std::unique_ptr<KvBundleTreeModel> m_ownModel;
  KvBundleTreeModel* m_model = nullptr;
  std::vector<KvUiCheckTree::Node*> m_nodes;  // by model node id
  bool m_syncing = false;
};

// The selection dialog of the bundle steps, shown with Qt: runs KvUiImportSettingDataDlg on the loaded
// tree, parented to `parent` (the dialog whose button started the step).
class KvUiImportSelection : public KvBundleSelectionDialog {
 public:
  explicit KvUiImportSelection(QWidget* parent = nullptr) : m_parent(parent) {}
  int DoModal(KvBundleTreeModel& tree, int mode) override;

 private:
  QWidget* m_parent;
};
