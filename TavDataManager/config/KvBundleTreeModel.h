// The selection tree of the import dialog "导入配置", without widgets: what the platform's bundle tree
// control (KvUiDictionaryTreeCtrl) shows and hands back.
//
// Load reads all three sections of a bundle (the options configuration "VENO_CONFIG", the UI
// configuration "VENO_UI_CONFIG", the drawing settings "VENO_DWG_CONFIG") into a tree of nodes, one per
// item, in document order; the model owns the items it read, so the records that GetConFigData fills
// point into it and stay valid while the model lives. Nodes are addressed by ids (0 .. count-1, in
// tree order, parents before children), which a widget mirrors one to one.
//
// Ticking a node ticks or unticks its whole subtree; a directory whose subtree is partly ticked shows
// as partly ticked. Only fully ticked nodes below the three section nodes become records.
//
// Record paths are the `name` attributes from the section down to the item, joined by backslashes
// ("VENO_CONFIG\TAV\PIPE_SYS_SET\AV_SYS_J"), with one exception: a custom material of the drawing
// section, written as "VENO_SYS_MAT_CUSTOM_<n>", contributes its caption (the material's key in the
// drawing) so that an import recreates it under its own name (docs/bundles.md).
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/config/KvImportRecords.h"

class KvDtDictionary;
class KvDtDictItem;
class KvDtUIConfig;
class KvDtUIItem;
class KvUtXMLDOMFile;
class KvUtXMLDOMNode;

class KvBundleTreeModel {
 public:
  using NodeId = int;
  static constexpr NodeId kNoNode = -1;

  enum CheckState { kUnchecked = 0, kChecked = 1, kPartlyChecked = 2 };
  // Where a node's item comes from.
  enum class Origin {
    kSection,     // one of the three children of the bundle root
    kConfigItem,  // an item of the options configuration (dictItem)
    kUiItem,      // a UI item (uiItem)
    kUiDictItem,  // an item of the UI configuration's embedded dictionary (dictItem)
    kDrawingItem, // an item of the drawing section (dictItem)
  };

  struct Node {
    NodeId parent = kNoNode;
    NodeId firstChild = kNoNode;
    NodeId lastChild = kNoNode;
    NodeId nextSibling = kNoNode;
    Origin origin = Origin::kSection;
    bool isDirectory = false;     // a node that may have children (dictionary directory, UI folder kinds)
    // Texts of the item (views into the items the model owns; valid while the model lives):
    std::string_view name;         // the item's `name`
    std::string_view pathName;     // what the node adds to record paths (the name, or a custom material's key)
    std::string_view caption;      // `localname`
    std::string_view type;         // "Directory", "Bool", "Int", ..., a UI kind word, or a section's element name
    std::string_view description;  // the item's `description`
    KvDtDictItem* dictItem = nullptr;  // owned by the model
    KvDtUIItem* uiItem = nullptr;      // owned by the model
    int check = kUnchecked;
  };

  KvBundleTreeModel();
  ~KvBundleTreeModel();
  KvBundleTreeModel(const KvBundleTreeModel&) = delete;
  KvBundleTreeModel& operator=(const KvBundleTreeModel&) = delete;

  // Builds the tree from an open bundle (InitTree). False, the model left empty and LastError() saying
  // why, when the root is not "VenoConfigDataSet" or a section does not read. Children of the root with
  // other names are ignored. The page set with SetCurPageName is preselected.
  bool Load(const KvUtXMLDOMFile& doc);
  // Empties the model (the page name is kept).
  void Clear();
  const std::string& LastError() const { return error_; }

  // The page to preselect: the shallowest node (first in tree order among equals) whose record path
  // ends with the page's backslash parts ("PIPE_SYS_SET", "LAYER\标准\LAYER_FIELD_DEF",
  // "VENO_BASE_CONFIG"; ASCII case ignored) is ticked with its subtree and becomes the current node.
  // An empty name preselects nothing. Takes effect at once on a loaded model, else at Load.
  void SetCurPageName(std::string_view pageName);
  const std::string& GetCurPageName() const { return pageName_; }
  // The preselected node; kNoNode when none.
  NodeId GetCurPageNode() const { return pageNode_; }

  int GetNodeCount() const { return static_cast<int>(nodes_.size()); }
  // The section nodes, in bundle order.
  const std::vector<NodeId>& GetRoots() const { return roots_; }
  // The node of an id; ids out of range are a programming error (checked with an assertion).
  const Node& GetNode(NodeId id) const;
  NodeId GetParent(NodeId id) const { return GetNode(id).parent; }
  // The children of a node in order (built from the node's links).
  std::vector<NodeId> GetChildren(NodeId id) const;
  NodeId GetFirstChild(NodeId id) const { return GetNode(id).firstChild; }
  NodeId GetNextSibling(NodeId id) const { return GetNode(id).nextSibling; }
  // The record path of a node (see above).
  std::string GetPath(NodeId id) const;
  // The first node (tree order) whose record path is `path` (exactly, else ignoring ASCII case); kNoNode.
  NodeId FindPath(std::string_view path) const;
  // What the dialog's description box shows for a node: the display name of an options or drawing
  // item, the description of a UI item (its caption when it has none); a section's caption.
  std::string GetDescriptionText(NodeId id) const;

  // kUnchecked, kChecked or kPartlyChecked.
  int GetCheck(NodeId id) const { return GetNode(id).check; }
  // Ticks or unticks the node with its subtree; the ancestors follow. Ids out of range are ignored.
  void SetCheck(NodeId id, bool checked);
  void SetAllChecked(bool checked);
  // Ticked nodes in tree order; with `leavesOnly`, nodes without children only.
  std::vector<NodeId> GetCheckedNodes(bool leavesOnly = false) const;

  // Fills the three selection lists (emptied first) with the fully ticked nodes below the sections, in
  // tree order: options items (directories included) as KvConfigDict, value items of the drawing
  // section as KvDwgDict, UI items and value items of the UI configuration's dictionary as KvUiDict.
  void GetConFigData(std::vector<KvConfigDict>& config, std::vector<KvDwgDict>& drawing,
                     std::vector<KvUiDict>& ui) const;

 private:
  NodeId AddNode(NodeId parent, Node node);
  void AddDictChildren(NodeId parent, const KvDtDictionary& dict, Origin origin);
  void AddUiItem(NodeId parent, KvDtUIItem& item);
  void UpdateAncestors(NodeId id);
  void Preselect();

  std::vector<Node> nodes_;
  std::vector<NodeId> roots_;
  std::unique_ptr<KvDtDictionary> config_;
  std::unique_ptr<KvDtUIConfig> ui_;
  std::unique_ptr<KvDtDictionary> drawing_;
  std::deque<std::string> sectionTexts_;  // names, captions and element words of the sections
  std::string pageName_;
  NodeId pageNode_ = kNoNode;
  std::string error_;
};
