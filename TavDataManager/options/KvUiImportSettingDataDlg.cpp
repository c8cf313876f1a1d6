#include "TavDataManager/options/KvUiImportSettingDataDlg.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "TavDataManager/config/KvBundleFormat.h"
#include "platform/base/KvFile.h"
#include "platform/config/KvPaths.h"
#include "platform/config/KvUtXMLDOM.h"

namespace {

QString ToQt(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

std::string FromQt(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return std::string(utf8.constData(), static_cast<size_t>(utf8.size()));
}

// Tree nodes carry their model id + 1, so that no node data (null) stays distinguishable.
void* IdToData(KvBundleTreeModel::NodeId id) { return reinterpret_cast<void*>(static_cast<quintptr>(id) + 1); }

}  // namespace

std::string KvUiImportSettingDataDlg::FolderIconPath() {
  return tav::ToNativePath(GetMainDirectory() + "Skin\\" + "folder.ico");
}

std::string KvUiImportSettingDataDlg::ValueIconPath() {
  return tav::ToNativePath(GetMainDirectory() + "Skin\\" + "txt.ico");
}

KvUiImportSettingDataDlg::KvUiImportSettingDataDlg(const KvUtXMLDOMFile* doc, std::string pageName, int mode,
                                                   QWidget* parent)
    : KvUiDialog(parent),
      m_doc(doc),
      m_pageName(std::move(pageName)),
      m_mode(mode),
      m_ownModel(std::make_unique<KvBundleTreeModel>()),
      m_model(m_ownModel.get()) {
  // The controls exist before the dialog opens; OnInitDialog fills them.
  auto* layout = new QVBoxLayout(this);
  m_tree = new KvUiCheckTree(this);
  m_tree->setMinimumSize(QSize(480, 290));
  SetDlgItem(kTreeId, m_tree);
  layout->addWidget(m_tree, 1);
  m_description = new QPlainTextEdit(this);
  m_description->setReadOnly(true);
  m_description->setEnabled(false);
  m_description->setFixedHeight(56);
  SetDlgItem(kDescriptionId, m_description);
  layout->addWidget(m_description);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(AddButton(IDOK, "确定"));
  buttons->addWidget(AddButton(IDCANCEL, "取消"));
  layout->addLayout(buttons);
  m_tree->SetSelChangedHandler([this](KvUiCheckTree::Node* node) { OnSelChanged(node); });
  m_tree->SetCheckChangedHandler([this](KvUiCheckTree::Node* node) { OnCheckChanged(node); });
  SetWindowText("导入配置");
}

KvUiImportSettingDataDlg::KvUiImportSettingDataDlg(KvBundleTreeModel& tree, int mode, QWidget* parent)
    : KvUiImportSettingDataDlg(nullptr, tree.GetCurPageName(), mode, parent) {
  m_ownModel.reset();
  m_model = &tree;
}

KvUiImportSettingDataDlg::~KvUiImportSettingDataDlg() = default;

bool KvUiImportSettingDataDlg::OnInitDialog() {
  SetWindowText(tav::bundle::SelectionTitle(m_mode));
  KvUiDialog::OnInitDialog();
  if (m_ownModel && m_doc && m_doc->GetRoot()) {
    m_model->SetCurPageName(m_pageName);
    m_model->Load(*m_doc);
  }
  BuildTree();
  return true;
}

void KvUiImportSettingDataDlg::BuildTree() {
  m_syncing = true;
  m_tree->RemoveAll();
  m_nodes.assign(static_cast<size_t>(m_model->GetNodeCount()), nullptr);
  const std::string folderIcon = FolderIconPath();
  const std::string valueIcon = ValueIconPath();
  // Depth first along the model's links, so that siblings keep their order.
  std::vector<KvBundleTreeModel::NodeId> pending(m_model->GetRoots().rbegin(), m_model->GetRoots().rend());
  while (!pending.empty()) {
    const KvBundleTreeModel::NodeId id = pending.back();
    pending.pop_back();
    const KvBundleTreeModel::Node& node = m_model->GetNode(id);
    KvUiCheckTree::Node* parent = node.parent == KvBundleTreeModel::kNoNode ? nullptr : m_nodes[node.parent];
    const std::string text(node.caption.empty() ? node.name : node.caption);
    m_nodes[id] = m_tree->AddNode(parent, std::string(node.pathName), text, node.isDirectory ? folderIcon : valueIcon,
                                  IdToData(id));
    const std::vector<KvBundleTreeModel::NodeId> children = m_model->GetChildren(id);
    pending.insert(pending.end(), children.rbegin(), children.rend());
  }
  // Fully ticked nodes carry their subtrees; the tree works out the partly ticked ones.
  for (KvBundleTreeModel::NodeId id = 0; id < m_model->GetNodeCount(); ++id) {
    const KvBundleTreeModel::NodeId parent = m_model->GetParent(id);
    if (m_nodes[id] && m_model->GetCheck(id) == KvBundleTreeModel::kChecked &&
        (parent == KvBundleTreeModel::kNoNode || m_model->GetCheck(parent) != KvBundleTreeModel::kChecked))
      m_tree->SetCheck(m_nodes[id], true);
  }
  for (KvBundleTreeModel::NodeId root : m_model->GetRoots())
    if (m_nodes[root]) m_nodes[root]->setExpanded(true);
  m_syncing = false;
  if (m_model->GetCurPageNode() != KvBundleTreeModel::kNoNode)
    m_tree->SelectNode(m_nodes[m_model->GetCurPageNode()]);
}

KvUiCheckTree::Node* KvUiImportSettingDataDlg::GetTreeNode(KvBundleTreeModel::NodeId id) const {
  return id >= 0 && id < static_cast<int>(m_nodes.size()) ? m_nodes[id] : nullptr;
}

KvBundleTreeModel::NodeId KvUiImportSettingDataDlg::GetNodeId(const KvUiCheckTree::Node* node) const {
  const auto data = reinterpret_cast<quintptr>(m_tree->GetData(node));
  if (data == 0 || data > m_nodes.size()) return KvBundleTreeModel::kNoNode;
  return static_cast<KvBundleTreeModel::NodeId>(data - 1);
}

std::string KvUiImportSettingDataDlg::GetDescription() const { return FromQt(m_description->toPlainText()); }

void KvUiImportSettingDataDlg::OnSelChanged(KvUiCheckTree::Node* node) {
  const KvBundleTreeModel::NodeId id = node ? GetNodeId(node) : KvBundleTreeModel::kNoNode;
  if (id == KvBundleTreeModel::kNoNode) return;  // no node data: the description stays
  m_description->setPlainText(ToQt(m_model->GetDescriptionText(id)));
}

void KvUiImportSettingDataDlg::OnCheckChanged(KvUiCheckTree::Node* node) {
  if (m_syncing) return;
  const KvBundleTreeModel::NodeId id = GetNodeId(node);
  if (id == KvBundleTreeModel::kNoNode) return;
  const int check = m_tree->GetCheck(node);
  // A partly ticked node follows from its children; the model works that out itself.
  if (check != KvBundleTreeModel::kPartlyChecked && m_model->GetCheck(id) != check) m_model->SetCheck(id, check != 0);
}

void KvUiImportSettingDataDlg::OnOK() {
  m_list.clear();
  // The model takes exactly what the tree shows ticked.
  m_model->SetAllChecked(false);
  for (KvUiCheckTree::Node* node : m_tree->GetCheckedNodes()) {
    const KvBundleTreeModel::NodeId id = GetNodeId(node);
    if (id != KvBundleTreeModel::kNoNode && m_model->GetCheck(id) != KvBundleTreeModel::kChecked) m_model->SetCheck(id, true);
  }
  m_model->GetConFigData(m_listConfig, m_listDwg, m_listUi);
  KvUiDialog::OnOK();
}

int KvUiImportSelection::DoModal(KvBundleTreeModel& tree, int mode) {
  KvUiImportSettingDataDlg dialog(tree, mode, m_parent);
  return dialog.DoModal();
}
