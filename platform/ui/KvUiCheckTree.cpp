#include "platform/ui/KvUiCheckTree.h"

#include <QFileInfo>
#include <QIcon>

namespace {

QString ToQt(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromQt(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<size_t>(utf8.size()));
}

constexpr int kNameRole = Qt::UserRole + 1;
constexpr int kDataRole = Qt::UserRole + 2;

}  // namespace

KvUiCheckTree::KvUiCheckTree(QWidget* parent) : QTreeWidget(parent)
{
    setColumnCount(1);
    setHeaderHidden(true);
    setRootIsDecorated(true);
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current, QTreeWidgetItem*) {
        if (!m_updating && m_onSelect)
            m_onSelect(current);
    });
    connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (!m_updating && column == 0 && m_onCheck)
            m_onCheck(item);
    });
}

KvUiCheckTree::Node* KvUiCheckTree::AddNode(Node* parent, const std::string& name, const std::string& text,
                                            const std::string& iconPath, void* data)
{
    m_updating = true;
    // A new child under a ticked parent takes the parent's state, so that the parent stays ticked
    // (read before the child exists: an auto-tristate parent's state is computed from its children).
    const bool inherit = parent && parent->checkState(0) == Qt::Checked;
    auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    node->setText(0, ToQt(text));
    node->setData(0, kNameRole, ToQt(name));
    node->setData(0, kDataRole, QVariant::fromValue(reinterpret_cast<quintptr>(data)));
    node->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsAutoTristate);
    node->setCheckState(0, inherit ? Qt::Checked : Qt::Unchecked);
    if (!iconPath.empty() && QFileInfo(ToQt(iconPath)).isFile())
        node->setIcon(0, QIcon(ToQt(iconPath)));
    m_updating = false;
    return node;
}

void KvUiCheckTree::RemoveAll()
{
    m_updating = true;
    clear();
    m_updating = false;
}

std::string KvUiCheckTree::GetName(const Node* node) const
{
    return node ? FromQt(node->data(0, kNameRole).toString()) : std::string();
}

std::string KvUiCheckTree::GetText(const Node* node) const
{
    return node ? FromQt(node->text(0)) : std::string();
}

void* KvUiCheckTree::GetData(const Node* node) const
{
    return node ? reinterpret_cast<void*>(node->data(0, kDataRole).value<quintptr>()) : nullptr;
}

std::string KvUiCheckTree::GetPath(const Node* node, char separator) const
{
    std::string path;
    for (const Node* at = node; at; at = at->parent())
        path = at == node ? GetName(at) : GetName(at) + separator + path;
    return path;
}

KvUiCheckTree::Node* KvUiCheckTree::FindPath(const std::string& path, char separator) const
{
    if (path.empty())
        return nullptr;
    Node* found = nullptr;
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = path.find(separator, start);
        const std::string part = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
        const int count = found ? found->childCount() : topLevelItemCount();
        Node* next = nullptr;
        for (int i = 0; i < count && !next; ++i) {
            Node* candidate = found ? found->child(i) : topLevelItem(i);
            if (GetName(candidate) == part)
                next = candidate;
        }
        if (!next)
            return nullptr;
        found = next;
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return found;
}

int KvUiCheckTree::GetCheck(const Node* node) const
{
    if (!node)
        return 0;
    switch (node->checkState(0)) {
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return 2;
    default: return 0;
    }
}

void KvUiCheckTree::SetCheck(Node* node, bool checked)
{
    if (node)
        node->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

std::vector<KvUiCheckTree::Node*> KvUiCheckTree::GetCheckedNodes(bool leavesOnly) const
{
    std::vector<Node*> out;
    std::function<void(Node*)> walk = [&](Node* node) {
        if (node->checkState(0) == Qt::Checked && (!leavesOnly || node->childCount() == 0))
            out.push_back(node);
        for (int i = 0; i < node->childCount(); ++i)
            walk(node->child(i));
    };
    for (int i = 0; i < topLevelItemCount(); ++i)
        walk(topLevelItem(i));
    return out;
}

void KvUiCheckTree::SelectNode(Node* node)
{
    if (!node)
        return;
    for (Node* at = node->parent(); at; at = at->parent())
        at->setExpanded(true);
    setCurrentItem(node);
    scrollToItem(node);
}
