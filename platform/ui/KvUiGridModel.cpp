#include "platform/ui/KvUiGridModel.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QWidget>

namespace {

QString ToQt(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QColor ToQColor(const KvUiColor& c)
{
    return QColor(c.r, c.g, c.b);
}

}  // namespace

KvUiGridModel::KvUiGridModel(KvUiGrid* grid, QObject* parent) : QAbstractItemModel(parent), m_grid(grid)
{
    if (m_grid)
        m_grid->SetListener(this);
}

KvUiGridModel::~KvUiGridModel()
{
    if (m_grid && m_grid->GetListener() == this)
        m_grid->SetListener(nullptr);
}

KvUiGridRow* KvUiGridModel::rowFor(const QModelIndex& index) const
{
    if (!m_grid || !index.isValid() || index.model() != this)
        return nullptr;
    return static_cast<KvUiGridRow*>(index.internalPointer());
}

KvUiGridCell* KvUiGridModel::cellFor(const QModelIndex& index) const
{
    KvUiGridRow* row = rowFor(index);
    return row ? m_grid->GetCell(row, index.column()) : nullptr;
}

QModelIndex KvUiGridModel::indexFor(KvUiGridRow* row, int column) const
{
    if (!m_grid || !row || row->GetGrid() != m_grid)
        return QModelIndex();
    const int position = row->GetIndex();
    if (position < 0)
        return QModelIndex();
    return createIndex(position, column, row);
}

QModelIndex KvUiGridModel::index(int row, int column, const QModelIndex& parent) const
{
    if (!m_grid || column < 0 || column >= m_grid->GetColNum() || row < 0)
        return QModelIndex();
    if (parent.isValid() && parent.column() != 0)
        return QModelIndex();
    KvUiGridRow* parentRow = rowFor(parent);
    KvUiGridRow* target = parentRow ? parentRow->GetChild(row) : m_grid->GetRow(row);
    if (!target)
        return QModelIndex();
    return createIndex(row, column, target);
}

QModelIndex KvUiGridModel::parent(const QModelIndex& child) const
{
    KvUiGridRow* row = rowFor(child);
    if (!row || !row->GetParentRow())
        return QModelIndex();
    return indexFor(row->GetParentRow(), 0);
}

int KvUiGridModel::rowCount(const QModelIndex& parent) const
{
    if (!m_grid)
        return 0;
    if (!parent.isValid())
        return m_grid->GetRowNum();
    if (parent.column() != 0)
        return 0;
    KvUiGridRow* row = rowFor(parent);
    return row ? row->GetChildNum() : 0;
}

int KvUiGridModel::columnCount(const QModelIndex& parent) const
{
    if (!m_grid)
        return 0;
    if (parent.isValid() && parent.column() != 0)
        return 0;
    return m_grid->GetColNum();
}

QVariant KvUiGridModel::data(const QModelIndex& index, int role) const
{
    KvUiGridCell* cell = cellFor(index);
    if (!cell)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return ToQt(m_grid->GetCellStyle(cell).text);
    case Qt::EditRole:
        return ToQt(cell->GetText());
    case Qt::BackgroundRole: {
        const KvUiGridCellStyle style = m_grid->GetCellStyle(cell);
        return style.background.valid ? QVariant(QBrush(ToQColor(style.background))) : QVariant();
    }
    case Qt::ForegroundRole: {
        const KvUiGridCellStyle style = m_grid->GetCellStyle(cell);
        return style.foreground.valid ? QVariant(QBrush(ToQColor(style.foreground))) : QVariant();
    }
    case Qt::FontRole: {
        const KvUiGridCellStyle style = m_grid->GetCellStyle(cell);
        if (style.fontWeight == 400)
            return QVariant();
        QFont font;
        if (m_grid->GetParent())
            font = m_grid->GetParent()->font();
        font.setWeight(static_cast<QFont::Weight>(style.fontWeight));
        return font;
    }
    case Qt::ToolTipRole: {
        KvUiGridCol* col = cell->GetCol();
        std::string tip;
        if (col && col->HasButton() && m_grid->GetCellButtonTip(cell, tip))
            return ToQt(tip);
        return QVariant();
    }
    case Qt::CheckStateRole:
        if (cell->GetCheck() < 0)
            return QVariant();
        return cell->GetCheck() ? Qt::Checked : Qt::Unchecked;
    default:
        return QVariant();
    }
}

bool KvUiGridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    KvUiGridCell* cell = cellFor(index);
    if (!cell)
        return false;
    if (role == Qt::EditRole) {
        const QByteArray utf8 = value.toString().toUtf8();
        return m_grid->SetCellTextAsUser(cell, std::string(utf8.constData(), utf8.size()));
    }
    if (role == Qt::CheckStateRole && cell->GetCheck() >= 0) {
        const int state = value.toInt() == Qt::Checked ? 1 : 0;
        if (state == cell->GetCheck())
            return false;
        cell->SetCheck(state);
        m_grid->OnDataChanged();
        return true;
    }
    return false;
}

Qt::ItemFlags KvUiGridModel::flags(const QModelIndex& index) const
{
    KvUiGridCell* cell = cellFor(index);
    if (!cell)
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    KvUiGridCol* col = cell->GetCol();
    if (col && !col->IsReadOnly() && !cell->IsReadOnly())
        f |= Qt::ItemIsEditable;
    if (cell->GetCheck() >= 0 && !cell->IsReadOnly())
        f |= Qt::ItemIsUserCheckable;
    if (!rowFor(index)->IsTreeRow())
        f |= Qt::ItemNeverHasChildren;
    return f;
}

QVariant KvUiGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (!m_grid || orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    KvUiGridCol* col = m_grid->GetCol(section);
    return col ? QVariant(ToQt(col->GetTitle())) : QVariant();
}

// ---- the grid's changes -----------------------------------------------------------------------

void KvUiGridModel::BeginInsertRows(KvUiGridTreeRow* parent, int first, int last)
{
    if (m_resetDepth == 0)
        beginInsertRows(indexFor(parent), first, last);
}

void KvUiGridModel::EndInsertRows()
{
    if (m_resetDepth == 0)
        endInsertRows();
}

void KvUiGridModel::BeginRemoveRows(KvUiGridTreeRow* parent, int first, int last)
{
    if (m_resetDepth == 0)
        beginRemoveRows(indexFor(parent), first, last);
}

void KvUiGridModel::EndRemoveRows()
{
    if (m_resetDepth == 0)
        endRemoveRows();
}

void KvUiGridModel::BeginMoveRow(int from, int to)
{
    if (m_resetDepth == 0)
        beginMoveRows(QModelIndex(), from, from, QModelIndex(), to > from ? to + 1 : to);
}

void KvUiGridModel::EndMoveRow()
{
    if (m_resetDepth == 0)
        endMoveRows();
}

void KvUiGridModel::BeginReset()
{
    if (m_resetDepth++ == 0)
        beginResetModel();
}

void KvUiGridModel::EndReset()
{
    if (m_resetDepth > 0 && --m_resetDepth == 0)
        endResetModel();
}

void KvUiGridModel::CellChanged(KvUiGridCell* cell)
{
    if (m_resetDepth != 0 || !cell || !cell->GetRow())
        return;
    const QModelIndex at = indexFor(cell->GetRow(), cell->GetColIndex());
    if (at.isValid() && cell->GetColIndex() < m_grid->GetColNum())
        emit dataChanged(at, at);
}

void KvUiGridModel::RowChanged(KvUiGridRow* row)
{
    if (m_resetDepth != 0 || !m_grid || m_grid->GetColNum() == 0)
        return;
    const QModelIndex first = indexFor(row, 0);
    if (first.isValid())
        emit dataChanged(first, indexFor(row, m_grid->GetColNum() - 1));
}

void KvUiGridModel::ColumnsChanged()
{
    if (m_grid && m_grid->GetColNum() > 0)
        emit headerDataChanged(Qt::Horizontal, 0, m_grid->GetColNum() - 1);
    emit columnsChanged();
}

void KvUiGridModel::CurrentChanged(KvUiGridRow* row)
{
    emit gridCurrentChanged(indexFor(row, m_grid ? m_grid->GetCurColIndex() : 0));
}

void KvUiGridModel::SelectionChanged()
{
    emit gridSelectionChanged();
}

void KvUiGridModel::Repaint()
{
    emit repaintRequested();
}

void KvUiGridModel::CloseEditor(int delayMs)
{
    emit closeEditorRequested(delayMs);
}

void KvUiGridModel::Notify(int code)
{
    emit parentNotify(code);
}

void KvUiGridModel::GridDestroyed()
{
    beginResetModel();
    m_grid = nullptr;
    endResetModel();
    emit gridDestroyed();
}
