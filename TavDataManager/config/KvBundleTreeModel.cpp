#include "TavDataManager/config/KvBundleTreeModel.h"

#include <cassert>

#include "TavDataManager/config/KvBundleFormat.h"
#include "TavDataManager/config/KvDwgConfigSection.h"
#include "platform/base/KvStrings.h"
#include "platform/config/KvDtDictionary.h"
#include "platform/config/KvDtUIConfig.h"
#include "platform/config/KvUtXMLDOM.h"

using namespace tav::bundle;

namespace {

size_t CountItems(const KvDtDictionary& dict) {
  size_t count = 0;
  for (const auto& child : dict.GetItemList()) {
    ++count;
    if (child->IsDict()) count += CountItems(static_cast<const KvDtDictionary&>(*child));
  }
  return count;
}

// The nodes of a UI item with its subtree (an embedded dictionary's items included).
size_t CountUiItems(KvDtUIItem& item) {
  size_t count = 1;
  if (item.IsKind("VenoDictionary")) count += CountItems(static_cast<KvDtUIDictionary&>(item).GetDictionary());
  for (int i = 0; i < item.GetChildCount(); ++i) count += CountUiItems(*item.GetChild(i));
  return count;
}

std::string_view TypeWord(int type) {
  static const std::string words[] = {GetDictDataTypeWord(0), GetDictDataTypeWord(1), GetDictDataTypeWord(2),
                                      GetDictDataTypeWord(3), GetDictDataTypeWord(4), GetDictDataTypeWord(5),
                                      GetDictDataTypeWord(6)};
  return type >= 0 && type <= 6 ? std::string_view(words[type]) : std::string_view();
}

std::string_view KindWord(const KvDtUIItem& item) {
  for (const std::string& word : KvDtUIItem::KindWords())
    if (item.IsKind(word)) return word;
  return {};
}

}  // namespace

KvBundleTreeModel::KvBundleTreeModel() = default;
KvBundleTreeModel::~KvBundleTreeModel() = default;

void KvBundleTreeModel::Clear() {
  nodes_.clear();
  roots_.clear();
  config_.reset();
  ui_.reset();
  drawing_.reset();
  sectionTexts_.clear();
  pageNode_ = kNoNode;
  error_.clear();
}

const KvBundleTreeModel::Node& KvBundleTreeModel::GetNode(NodeId id) const {
  assert(id >= 0 && id < GetNodeCount());
  return nodes_[static_cast<size_t>(id)];
}

KvBundleTreeModel::NodeId KvBundleTreeModel::AddNode(NodeId parent, Node node) {
  const NodeId id = GetNodeCount();
  node.parent = parent;
  nodes_.push_back(std::move(node));
  if (parent == kNoNode) {
    if (!roots_.empty()) nodes_[static_cast<size_t>(roots_.back())].nextSibling = id;
    roots_.push_back(id);
  }
  else {
    Node& p = nodes_[static_cast<size_t>(parent)];
    if (p.lastChild == kNoNode) p.firstChild = id;
    else nodes_[static_cast<size_t>(p.lastChild)].nextSibling = id;
    p.lastChild = id;
  }
  return id;
}

void KvBundleTreeModel::AddDictChildren(NodeId parent, const KvDtDictionary& dict, Origin origin) {
  // A custom material's directory sits directly under the drawing section's hatch directory.
  const Node& p = nodes_[static_cast<size_t>(parent)];
  const bool underHatch = origin == Origin::kDrawingItem && p.name == kHatchName && p.parent != kNoNode &&
                          nodes_[static_cast<size_t>(p.parent)].origin == Origin::kSection;
  for (const auto& child : dict.GetItemList()) {
    Node node;
    node.origin = origin;
    node.isDirectory = child->IsDict();
    // One pass over the attributes (the first of each name, as FindAttribute answers).
    bool haveName = false, haveCaption = false, haveDescription = false;
    for (const auto& [key, value] : child->GetAttributes()) {
      if (!haveName && key == "name") node.name = value, haveName = true;
      else if (!haveCaption && key == "localname") node.caption = value, haveCaption = true;
      else if (!haveDescription && key == "description") node.description = value, haveDescription = true;
    }
    node.pathName = node.name;
    node.type = TypeWord(child->GetDataType());
    node.dictItem = child.get();
    if (underHatch && node.isDirectory && IsCustomMaterialName(node.name) && !node.caption.empty() &&
        node.caption.find('\\') == std::string::npos)
      node.pathName = node.caption;
    const NodeId id = AddNode(parent, std::move(node));
    if (child->IsDict()) AddDictChildren(id, static_cast<const KvDtDictionary&>(*child), origin);
  }
}

void KvBundleTreeModel::AddUiItem(NodeId parent, KvDtUIItem& item) {
  Node node;
  node.origin = Origin::kUiItem;
  node.isDirectory = item.HoldsChildren();
  node.name = item.GetName();
  node.pathName = node.name;
  node.caption = item.GetCaption();
  node.type = KindWord(item);
  node.description = item.GetDescription();
  node.uiItem = &item;
  const NodeId id = AddNode(parent, std::move(node));
  if (item.IsKind("VenoDictionary"))
    AddDictChildren(id, static_cast<KvDtUIDictionary&>(item).GetDictionary(), Origin::kUiDictItem);
  for (int i = 0; i < item.GetChildCount(); ++i) AddUiItem(id, *item.GetChild(i));
}

bool KvBundleTreeModel::Load(const KvUtXMLDOMFile& doc) {
  Clear();
  const KvUtXMLDOMNode root = doc.GetRoot();
  if (!root) {
    error_ = "the document is empty";
    return false;
  }
  if (root.GetName() != kRootElement) {
    error_ = "not a configuration bundle: the root element is '" + root.GetName() + "', not '" + kRootElement + "'";
    return false;
  }
  std::vector<KvUtXMLDOMNode> children;
  root.GetChildrenNodes(children);
  // The sections are read first and the nodes built after, so that the node list is sized once.
  struct Section {
    Node node;
    KvDtDictionary* dict = nullptr;
    KvDtUIConfig* ui = nullptr;
    Origin origin = Origin::kConfigItem;
  };
  std::vector<Section> sections;
  size_t count = 0;
  for (const KvUtXMLDOMNode& child : children) {
    const std::string name = child.GetAttributeValue("name");
    if (name != kConfigName && name != kDwgName && name != kUiName) continue;
    if (name == kUiName ? ui_ != nullptr : (name == kConfigName ? config_ : drawing_) != nullptr)
      continue;  // a second section of the same name is ignored
    Section section;
    section.node.origin = Origin::kSection;
    section.node.isDirectory = true;
    section.node.name = sectionTexts_.emplace_back(name);
    section.node.pathName = section.node.name;
    section.node.caption = sectionTexts_.emplace_back(child.GetAttributeValue("localname"));
    section.node.type = sectionTexts_.emplace_back(child.GetName());
    section.node.description = sectionTexts_.emplace_back(child.GetAttributeValue("description"));
    if (name == kConfigName || name == kDwgName) {
      auto dict = std::make_unique<KvDtDictionary>();
      if (!dict->ReadFromNode(child, &doc)) {
        Clear();
        error_ = dict->LastError().message;
        return false;
      }
      section.node.dictItem = dict.get();
      section.dict = dict.get();
      section.origin = name == kConfigName ? Origin::kConfigItem : Origin::kDrawingItem;
      count += 1 + CountItems(*dict);
      (name == kConfigName ? config_ : drawing_) = std::move(dict);
    } else {
      auto ui = std::make_unique<KvDtUIConfig>();
      if (!ui->ReadFromNode(child, &doc)) {
        Clear();
        error_ = ui->LastError().message;
        return false;
      }
      section.node.uiItem = &ui->GetRoot();
      section.ui = ui.get();
      count += CountUiItems(ui->GetRoot());
      ui_ = std::move(ui);
    }
    sections.push_back(std::move(section));
  }
  nodes_.reserve(count);
  for (Section& section : sections) {
    const NodeId id = AddNode(kNoNode, std::move(section.node));
    if (section.dict) {
      AddDictChildren(id, *section.dict, section.origin);
    } else {
      KvDtUIItem& top = section.ui->GetRoot();
      for (int i = 0; i < top.GetChildCount(); ++i) AddUiItem(id, *top.GetChild(i));
    }
  }
  Preselect();
  return true;
}

std::string KvBundleTreeModel::GetPath(NodeId id) const {
  std::vector<std::string_view> parts;
  size_t length = 0;
  for (NodeId n = id; n != kNoNode; n = GetNode(n).parent) {
    parts.push_back(GetNode(n).pathName);
    length += parts.back().size() + 1;
  }
  std::string path;
  path.reserve(length);
  for (auto it = parts.rbegin(); it != parts.rend(); ++it) {
    if (it != parts.rbegin()) path += '\\';
    path += *it;
  }
  return path;
}

KvBundleTreeModel::NodeId KvBundleTreeModel::FindPath(std::string_view path) const {
  // Names are matched against the front of the remaining path, so that a name holding a backslash is
  // found too; a sibling that leads nowhere gives way to the next one.
  auto search = [this](auto&& self, NodeId first, std::string_view rest, bool exact) -> NodeId {
    for (NodeId n = first; n != kNoNode; n = GetNode(n).nextSibling) {
      const std::string_view name = GetNode(n).pathName;
      if (rest.size() < name.size()) continue;
      const std::string_view head = rest.substr(0, name.size());
      if (!(exact ? head == name : tav::EqualsNoCase(head, name))) continue;
      if (rest.size() == name.size()) return n;
      if (rest[name.size()] != '\\') continue;
      const NodeId found = self(self, GetNode(n).firstChild, rest.substr(name.size() + 1), exact);
      if (found != kNoNode) return found;
    }
    return kNoNode;
  };
  const NodeId first = roots_.empty() ? kNoNode : roots_.front();
  const NodeId found = search(search, first, path, true);
  return found != kNoNode ? found : search(search, first, path, false);
}

std::vector<KvBundleTreeModel::NodeId> KvBundleTreeModel::GetChildren(NodeId id) const {
  std::vector<NodeId> children;
  for (NodeId c = GetNode(id).firstChild; c != kNoNode; c = GetNode(c).nextSibling) children.push_back(c);
  return children;
}

std::string KvBundleTreeModel::GetDescriptionText(NodeId id) const {
  const Node& node = GetNode(id);
  if (node.origin == Origin::kUiItem) return std::string(node.description.empty() ? node.caption : node.description);
  return std::string(node.caption);
}

void KvBundleTreeModel::SetCheck(NodeId id, bool checked) {
  if (id < 0 || id >= GetNodeCount()) return;
  const int state = checked ? kChecked : kUnchecked;
  // The subtree occupies the ids after the node up to its last descendant (ids are in tree order).
  NodeId last = id;
  while (GetNode(last).lastChild != kNoNode) last = GetNode(last).lastChild;
  for (NodeId n = id; n <= last; ++n) nodes_[static_cast<size_t>(n)].check = state;
  UpdateAncestors(id);
}

void KvBundleTreeModel::UpdateAncestors(NodeId id) {
  for (NodeId p = GetNode(id).parent; p != kNoNode; p = GetNode(p).parent) {
    bool any = false, all = true;
    for (NodeId c = GetNode(p).firstChild; c != kNoNode; c = GetNode(c).nextSibling) {
      const int s = GetNode(c).check;
      any = any || s != kUnchecked;
      all = all && s == kChecked;
    }
    nodes_[static_cast<size_t>(p)].check = all ? kChecked : any ? kPartlyChecked : kUnchecked;
  }
}

void KvBundleTreeModel::SetAllChecked(bool checked) {
  for (Node& node : nodes_) node.check = checked ? kChecked : kUnchecked;
}

std::vector<KvBundleTreeModel::NodeId> KvBundleTreeModel::GetCheckedNodes(bool leavesOnly) const {
  std::vector<NodeId> out;
  for (NodeId id = 0; id < GetNodeCount(); ++id) {
    const Node& node = GetNode(id);
    if (node.check == kChecked && (!leavesOnly || node.firstChild == kNoNode)) out.push_back(id);
  }
  return out;
}

void KvBundleTreeModel::SetCurPageName(std::string_view pageName) {
  pageName_ = pageName;
  if (!nodes_.empty()) Preselect();
}

void KvBundleTreeModel::Preselect() {
  pageNode_ = kNoNode;
  if (pageName_.empty()) return;
  std::vector<std::string> page = tav::Split(pageName_, '\\');
  while (!page.empty() && page.back().empty()) page.pop_back();
  if (page.empty()) return;
  int bestDepth = 0;
  for (NodeId id = 0; id < GetNodeCount(); ++id) {
    // Compare the node's last path parts with the page's, walking up.
    NodeId n = id;
    bool match = true;
    for (auto it = page.rbegin(); it != page.rend(); ++it) {
      if (n == kNoNode || !tav::EqualsNoCase(GetNode(n).pathName, *it)) {
        match = false;
        break;
      }
      n = GetNode(n).parent;
    }
    if (!match) continue;
    int depth = 0;
    for (NodeId a = GetNode(id).parent; a != kNoNode; a = GetNode(a).parent) ++depth;
    if (pageNode_ == kNoNode || depth < bestDepth) {
      pageNode_ = id;
      bestDepth = depth;
    }
  }
  if (pageNode_ != kNoNode) SetCheck(pageNode_, true);
}

void KvBundleTreeModel::GetConFigData(std::vector<KvConfigDict>& config, std::vector<KvDwgDict>& drawing,
                                      std::vector<KvUiDict>& ui) const {
  config.clear();
  drawing.clear();
  ui.clear();
  // Ids are in tree order, a parent before its children: each node's path is its parent's, kept at
  // the front of `path`, and its own name.
  std::vector<size_t> pathLength(nodes_.size());
  std::string path;
  for (NodeId id = 0; id < GetNodeCount(); ++id) {
    const Node& node = GetNode(id);
    if (node.parent == kNoNode) {
      path.assign(node.pathName);
    } else {
      path.resize(pathLength[static_cast<size_t>(node.parent)]);
      path += '\\';
      path += node.pathName;
    }
    pathLength[static_cast<size_t>(id)] = path.size();
    if (node.check != kChecked) continue;
    switch (node.origin) {
      case Origin::kSection: break;
      case Origin::kConfigItem: config.push_back({path, node.dictItem}); break;
      case Origin::kDrawingItem:
        if (!node.isDirectory) {
          KvDwgDict record;
          record.name = path;
          record.item = node.dictItem;
          drawing.push_back(std::move(record));
        }
        break;
      case Origin::kUiItem: ui.push_back({path, node.uiItem, nullptr}); break;
      case Origin::kUiDictItem:
        if (!node.isDirectory) ui.push_back({path, nullptr, node.dictItem});
        break;
    }
  }
}
