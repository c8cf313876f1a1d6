#include "platform/ui/KvUiControls.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QIcon>
#include <QStyledItemDelegate>

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

constexpr int kOptionsRole = Qt::UserRole + 1;     // QStringList of choices
constexpr int kAllowOtherRole = Qt::UserRole + 2;  // bool: a typed value outside the choices is taken
constexpr int kDescriptionRole = Qt::UserRole + 3;

// Editors for cells that carry a list of choices: a drop-down; other cells get the default editor.
class OptionDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QStringList options = index.data(kOptionsRole).toStringList();
        if (options.isEmpty())
            return QStyledItemDelegate::createEditor(parent, option, index);
        auto* combo = new QComboBox(parent);
        combo->addItems(options);
        combo->setEditable(index.data(kAllowOtherRole).toBool());
        return combo;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            const QString text = index.data(Qt::EditRole).toString();
            const int at = combo->findText(text);
            if (at >= 0)
                combo->setCurrentIndex(at);
            else if (combo->isEditable())
                combo->setEditText(text);
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            if (combo->currentIndex() >= 0 || combo->isEditable())
                model->setData(index, combo->currentText(), Qt::EditRole);
            return;
        }
        QStyledItemDelegate::setModelData(editor, model, index);
    }
};

Qt::Alignment ToQtAlign(KvUiListGrid::Align align)
{
    switch (align) {
    case KvUiListGrid::AlignRight: return Qt::AlignRight | Qt::AlignVCenter;
    case KvUiListGrid::AlignCenter: return Qt::AlignCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

}  // namespace

// ---- KvUiImageButton --------------------------------------------------------------------------

KvUiImageButton::KvUiImageButton(QWidget* parent) : QToolButton(parent)
{
    setAutoRaise(true);
    setIconSize(QSize(16, 16));
}

bool KvUiImageButton::SetImage(const std::string& path)
{
    const QString file = ToQt(path);
    if (!QFileInfo(file).isFile())
        return false;
    QIcon icon(file);
    if (icon.isNull() || icon.availableSizes().isEmpty())
        return false;
    setIcon(icon);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_hasImage = true;
    return true;
}

void KvUiImageButton::SetTooltip(const std::string& text)
{
    setToolTip(ToQt(text));
}

std::string KvUiImageButton::GetTooltip() const
{
    return FromQt(toolTip());
}

void KvUiImageButton::SetWindowText(const std::string& text)
{
    setText(ToQt(text));
}

void KvUiImageButton::SetClickHandler(std::function<void()> handler)
{
    connect(this, &QToolButton::clicked, this, [h = std::move(handler)]() {
        if (h)
            h();
    });
}

// ---- KvUiPropList -----------------------------------------------------------------------------

KvUiPropList::KvUiPropList(QWidget* parent) : QTreeWidget(parent)
{
    setColumnCount(2);
    setHeaderLabels({QStringLiteral("Property"), QStringLiteral("Value")});
    setItemDelegateForColumn(1, new OptionDelegate(this));
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                    QAbstractItemView::EditKeyPressed);
    setRootIsDecorated(true);
    connect(this, &QTreeWidget::itemChanged, this, &KvUiPropList::OnItemChanged);
}

int KvUiPropList::AddGroup(const std::string& name)
{
    m_updating = true;
    auto* group = new QTreeWidgetItem(this, {ToQt(name)});
    group->setFlags(Qt::ItemIsEnabled);
    QFont bold = group->font(0);
    bold.setBold(true);
    group->setFont(0, bold);
    group->setFirstColumnSpanned(true);
    group->setExpanded(true);
    m_updating = false;
    return topLevelItemCount() - 1;
}

int KvUiPropList::AddTextProperty(int group, const std::string& name, const std::string& value,
                                  const std::string& description, bool enabled)
{
    QTreeWidgetItem* g = topLevelItem(group);
    if (!g)
        return -1;
    m_updating = true;
    auto* item = new QTreeWidgetItem(g, {ToQt(name), ToQt(value)});
    item->setData(0, kDescriptionRole, ToQt(description));
    Qt::ItemFlags flags = Qt::ItemIsSelectable;
    if (enabled)
        flags |= Qt::ItemIsEnabled | Qt::ItemIsEditable;
    item->setFlags(flags);
    item->setToolTip(0, ToQt(description));
    g->setExpanded(true);
    m_updating = false;
    return g->childCount() - 1;
}

int KvUiPropList::AddOptionProperty(int group, const std::string& name, const std::string& value,
                                    const std::vector<std::string>& options, const std::string& description,
                                    bool allowOther)
{
    const int at = AddTextProperty(group, name, value, description, true);
    if (at < 0)
        return -1;
    QStringList list;
    for (const std::string& option : options)
        list << ToQt(option);
    m_updating = true;
    QTreeWidgetItem* item = Property(group, at);
    item->setData(1, kOptionsRole, list);
    item->setData(1, kAllowOtherRole, allowOther);
    m_updating = false;
    return at;
}

void KvUiPropList::RemoveAll()
{
    m_updating = true;
    clear();
    m_updating = false;
}

int KvUiPropList::GetGroupCount() const
{
    return topLevelItemCount();
}

int KvUiPropList::GetPropertyCount(int group) const
{
    QTreeWidgetItem* g = topLevelItem(group);
    return g ? g->childCount() : 0;
}

std::string KvUiPropList::GetGroupName(int group) const
{
    QTreeWidgetItem* g = topLevelItem(group);
    return g ? FromQt(g->text(0)) : std::string();
}

QTreeWidgetItem* KvUiPropList::Property(int group, int prop) const
{
    QTreeWidgetItem* g = topLevelItem(group);
    if (!g || prop < 0 || prop >= g->childCount())
        return nullptr;
    return g->child(prop);
}

std::string KvUiPropList::GetPropertyName(int group, int prop) const
{
    QTreeWidgetItem* item = Property(group, prop);
    return item ? FromQt(item->text(0)) : std::string();
}

std::string KvUiPropList::GetDescription(int group, int prop) const
{
    QTreeWidgetItem* item = Property(group, prop);
    return item ? FromQt(item->data(0, kDescriptionRole).toString()) : std::string();
}

std::vector<std::string> KvUiPropList::GetOptions(int group, int prop) const
{
    std::vector<std::string> out;
    if (QTreeWidgetItem* item = Property(group, prop))
        for (const QString& option : item->data(1, kOptionsRole).toStringList())
            out.push_back(FromQt(option));
    return out;
}

bool KvUiPropList::IsOptionProperty(int group, int prop) const
{
    QTreeWidgetItem* item = Property(group, prop);
    return item && !item->data(1, kOptionsRole).toStringList().isEmpty();
}

bool KvUiPropList::IsPropertyEnabled(int group, int prop) const
{
    QTreeWidgetItem* item = Property(group, prop);
    return item && (item->flags() & Qt::ItemIsEnabled);
}

std::string KvUiPropList::GetValue(int group, int prop) const
{
    QTreeWidgetItem* item = Property(group, prop);
    return item ? FromQt(item->text(1)) : std::string();
}

bool KvUiPropList::SetValue(int group, int prop, const std::string& value)
{
    QTreeWidgetItem* item = Property(group, prop);
    if (!item)
        return false;
    m_updating = true;
    item->setText(1, ToQt(value));
    m_updating = false;
    return true;
}

bool KvUiPropList::SetValueAsUser(int group, int prop, const std::string& value)
{
    QTreeWidgetItem* item = Property(group, prop);
    if (!item || !(item->flags() & Qt::ItemIsEnabled))
        return false;
    const QStringList options = item->data(1, kOptionsRole).toStringList();
    const QString text = ToQt(value);
    if (!options.isEmpty() && !item->data(1, kAllowOtherRole).toBool() && !options.contains(text))
        return false;
    // Goes through the item as the editor's write does, so the change handler runs from one place.
    item->setData(1, Qt::EditRole, text);
    return true;
}

void KvUiPropList::OnItemChanged(QTreeWidgetItem* item, int column)
{
    if (m_updating || column != 1 || !item || !item->parent())
        return;
    const int group = indexOfTopLevelItem(item->parent());
    const int prop = item->parent()->indexOfChild(item);
    if (m_markModified) {
        QFont font = item->font(1);
        font.setBold(true);
        m_updating = true;
        item->setFont(1, font);
        m_updating = false;
    }
    if (m_onChange)
        m_onChange(group, prop, FromQt(item->text(1)));
}

void KvUiPropList::EnableHeaderCtrl(bool on, const std::string& nameTitle, const std::string& valueTitle)
{
    setHeaderLabels({ToQt(nameTitle), ToQt(valueTitle)});
    setHeaderHidden(!on);
}

void KvUiPropList::SetVSDotNetLook(bool on)
{
    setAlternatingRowColors(on);
}

void KvUiPropList::SetAlphabeticMode(bool on)
{
    m_alphabetic = on;
    setSortingEnabled(on);
    if (on)
        sortItems(0, Qt::AscendingOrder);
}

// ---- KvUiListGrid -----------------------------------------------------------------------------

KvUiListGrid::KvUiListGrid(QWidget* parent) : QTableWidget(parent)
{
    verticalHeader()->hide();
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setItemDelegate(new OptionDelegate(this));
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                    QAbstractItemView::EditKeyPressed);
    connect(this, &QTableWidget::itemSelectionChanged, this, [this]() {
        if (!m_updating && m_onSel)
            m_onSel();
    });
    connect(this, &QTableWidget::itemChanged, this, &KvUiListGrid::OnItemChanged);
}

int KvUiListGrid::InsertColumn(int index, const std::string& title, int width)
{
    if (index < 0 || index > columnCount())
        index = columnCount();
    m_updating = true;
    insertColumn(index);
    setHorizontalHeaderItem(index, new QTableWidgetItem(ToQt(title)));
    setColumnWidth(index, std::max(0, width));
    m_align.insert(m_align.begin() + index, AlignLeft);
    m_readOnlyCols.insert(m_readOnlyCols.begin() + index, false);
    for (int r = 0; r < rowCount(); ++r)
        setItem(r, index, new QTableWidgetItem);
    m_updating = false;
    return index;
}

void KvUiListGrid::SetColumnAlign(int col, Align align)
{
    if (col < 0 || col >= columnCount())
        return;
    m_align[col] = align;
    m_updating = true;
    for (int r = 0; r < rowCount(); ++r)
        if (QTableWidgetItem* it = item(r, col))
            it->setTextAlignment(ToQtAlign(align));
    m_updating = false;
}

void KvUiListGrid::SetHeaderAlign(int col, Align align)
{
    if (QTableWidgetItem* header = horizontalHeaderItem(col))
        header->setTextAlignment(ToQtAlign(align));
}

void KvUiListGrid::SetColumnLocked(int col, bool locked)
{
    if (col >= 0 && col < columnCount())
        horizontalHeader()->setSectionResizeMode(col, locked ? QHeaderView::Fixed : QHeaderView::Interactive);
}

void KvUiListGrid::SetColumnReadOnly(int col, bool readOnly)
{
    if (col < 0 || col >= columnCount())
        return;
    m_readOnlyCols[col] = readOnly;
    for (int r = 0; r < rowCount(); ++r)
        SetItemReadOnly(r, col, readOnly);
}

void KvUiListGrid::EnableHeader(bool on)
{
    horizontalHeader()->setVisible(on);
}

void KvUiListGrid::EnableColumnAutoSize(bool on)
{
    horizontalHeader()->setStretchLastSection(on);
    if (on)
        horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
}

void KvUiListGrid::EnableMarkSortedColumn(bool on)
{
    setSortingEnabled(on);
    horizontalHeader()->setSortIndicatorShown(on);
}

void KvUiListGrid::SetWholeRowSel(bool on)
{
    setSelectionBehavior(on ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
}

int KvUiListGrid::AddRow()
{
    m_updating = true;
    const int row = rowCount();
    insertRow(row);
    for (int c = 0; c < columnCount(); ++c) {
        auto* it = new QTableWidgetItem;
        it->setTextAlignment(ToQtAlign(m_align[c]));
        if (m_readOnlyCols[c])
            it->setFlags(it->flags() & ~Qt::ItemIsEditable);
        setItem(row, c, it);
    }
    m_updating = false;
    return row;
}

bool KvUiListGrid::RemoveRow(int row)
{
    if (row < 0 || row >= rowCount())
        return false;
    const int before = GetCurSel();
    m_updating = true;
    removeRow(row);
    if (before == row) {
        // The selection goes with its row; the view does not move it to a neighbour.
        clearSelection();
        setCurrentItem(nullptr);
    }
    m_updating = false;
    if (before == row && m_onSel)
        m_onSel();
    return true;
}

void KvUiListGrid::RemoveAll()
{
    const bool hadSelection = GetCurSel() >= 0;
    m_updating = true;
    setRowCount(0);
    m_updating = false;
    if (hadSelection && m_onSel)
        m_onSel();
}

QTableWidgetItem* KvUiListGrid::Item(int row, int col) const
{
    if (row < 0 || row >= rowCount() || col < 0 || col >= columnCount())
        return nullptr;
    return item(row, col);
}

std::string KvUiListGrid::GetItemText(int row, int col) const
{
    QTableWidgetItem* it = Item(row, col);
    return it ? FromQt(it->text()) : std::string();
}

bool KvUiListGrid::SetItemText(int row, int col, const std::string& text)
{
    QTableWidgetItem* it = Item(row, col);
    if (!it)
        return false;
    m_updating = true;
    it->setText(ToQt(text));
    m_updating = false;
    return true;
}

bool KvUiListGrid::AddItemOption(int row, int col, const std::string& option, bool allowOther)
{
    QTableWidgetItem* it = Item(row, col);
    if (!it)
        return false;
    QStringList options = it->data(kOptionsRole).toStringList();
    options << ToQt(option);
    m_updating = true;
    it->setData(kOptionsRole, options);
    it->setData(kAllowOtherRole, allowOther);
    m_updating = false;
    return true;
}

std::vector<std::string> KvUiListGrid::GetItemOptions(int row, int col) const
{
    std::vector<std::string> out;
    if (QTableWidgetItem* it = Item(row, col))
        for (const QString& option : it->data(kOptionsRole).toStringList())
            out.push_back(FromQt(option));
    return out;
}

bool KvUiListGrid::SetItemReadOnly(int row, int col, bool readOnly)
{
    QTableWidgetItem* it = Item(row, col);
    if (!it)
        return false;
    m_updating = true;
    it->setFlags(readOnly ? (it->flags() & ~Qt::ItemIsEditable) : (it->flags() | Qt::ItemIsEditable));
    m_updating = false;
    return true;
}

bool KvUiListGrid::SetItemCheck(int row, int col, int state)
{
    QTableWidgetItem* it = Item(row, col);
    if (!it)
        return false;
    m_updating = true;
    if (state < 0) {
        it->setData(Qt::CheckStateRole, QVariant());
        it->setFlags(it->flags() & ~Qt::ItemIsUserCheckable);
    } else {
        it->setFlags(it->flags() | Qt::ItemIsUserCheckable);
        it->setCheckState(state ? Qt::Checked : Qt::Unchecked);
    }
    m_updating = false;
    return true;
}

int KvUiListGrid::GetItemCheck(int row, int col) const
{
    QTableWidgetItem* it = Item(row, col);
    if (!it || !it->data(Qt::CheckStateRole).isValid())
        return -1;
    return it->checkState() == Qt::Checked ? 1 : 0;
}

int KvUiListGrid::GetCurSel() const
{
    const QList<QTableWidgetItem*> items = selectedItems();
    if (!items.isEmpty())
        return items.front()->row();
    const QModelIndexList rows = selectionModel() ? selectionModel()->selectedIndexes() : QModelIndexList();
    return rows.isEmpty() ? -1 : rows.front().row();
}

void KvUiListGrid::SetCurSel(int row)
{
    if (row < 0 || row >= rowCount()) {
        clearSelection();
        setCurrentItem(nullptr);
        return;
    }
    selectRow(row);
    setCurrentCell(row, 0, QItemSelectionModel::NoUpdate);
}

bool KvUiListGrid::SetItemTextAsUser(int row, int col, const std::string& text)
{
    QTableWidgetItem* it = Item(row, col);
    if (!it || !(it->flags() & Qt::ItemIsEditable))
        return false;
    it->setData(Qt::EditRole, ToQt(text));
    return true;
}

void KvUiListGrid::OnItemChanged(QTableWidgetItem* changed)
{
    if (m_updating || !changed || !m_onItem)
        return;
    m_onItem(changed->row(), changed->column());
}
