// A tree with a check box on every node: ticking a node ticks its whole subtree, a partly ticked
// subtree shows its parent half ticked. Nodes carry a name (for paths), a shown text, an icon and a
// pointer of the owner's (not owned). The import dialog's bundle tree builds on it.
#pragma once

#include <QTreeWidget>

#include <functional>
#include <string>
#include <vector>

class KvUiCheckTree : public QTreeWidget {
    Q_OBJECT
public:
    using Node = QTreeWidgetItem;

    explicit KvUiCheckTree(QWidget* parent = nullptr);

    // Adds a node under `parent` (null: a top-level node), unticked and collapsed. `iconPath` may be
    // empty or name a missing file (no icon then). Returns the node.
    Node* AddNode(Node* parent, const std::string& name, const std::string& text,
                  const std::string& iconPath = std::string(), void* data = nullptr);
    void RemoveAll();

    std::string GetName(const Node* node) const;
    std::string GetText(const Node* node) const;
    void* GetData(const Node* node) const;
    // The names from the top-level node down to `node`, joined by `separator`.
    std::string GetPath(const Node* node, char separator = '\\') const;
    // The node of a path of names (separated by `separator`), or null.
    Node* FindPath(const std::string& path, char separator = '\\') const;

    // 0 unticked, 1 ticked, 2 partly ticked (some of its subtree).
    int GetCheck(const Node* node) const;
    // Ticks or unticks a node with its subtree; the ancestors follow. As the user's click does.
    void SetCheck(Node* node, bool checked);
    // Every ticked node in display order (parents before children); `leavesOnly` skips nodes with children.
    std::vector<Node*> GetCheckedNodes(bool leavesOnly = false) const;

    // Makes `node` current and visible (its ancestors expanded).
    void SelectNode(Node* node);
    Node* GetSelectedNode() const { return currentItem(); }
    // Called when the current node changes (null when none).
    void SetSelChangedHandler(std::function<void(Node*)> handler) { m_onSelect = std::move(handler); }
    // Called after the user ticked or unticked a node.
    void SetCheckChangedHandler(std::function<void(Node*)> handler) { m_onCheck = std::move(handler); }

private:
    bool m_updating = false;
    std::function<void(Node*)> m_onSelect;
    std::function<void(Node*)> m_onCheck;
};
