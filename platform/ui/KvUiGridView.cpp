#include "platform/ui/KvUiGridView.h"

#include "platform/ui/KvUiGridModel.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>

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

// The editor of a button cell: the cell's text and a "..." button.
class ButtonCellEditor : public QWidget {
public:
    ButtonCellEditor(QWidget* parent, const QString& text, const QString& tip) : QWidget(parent)
    {
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        label = new QLabel(text, this);
        button = new QToolButton(this);
        button->setText(QStringLiteral("..."));
        button->setToolTip(tip);
        layout->addWidget(label, 1);
        layout->addWidget(button);
        setAutoFillBackground(true);
    }
    QLabel* label;
    QToolButton* button;
};

}  // namespace

// ---- KvUiGridDelegate -------------------------------------------------------------------------

KvUiGridDelegate::KvUiGridDelegate(KvUiGridModel* model, QObject* parent)
    : QStyledItemDelegate(parent), m_model(model)
{
}

QWidget* KvUiGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const
{
    KvUiGrid* grid = m_model->grid();
    KvUiGridCell* cell = m_model->cellFor(index);
    if (!grid || !cell || !grid->BeginEdit(cell))
        return nullptr;
    KvUiGridCol* col = cell->GetCol();
    QWidget* editor = nullptr;
    if (col->HasButton()) {
        std::string tip;
        grid->GetCellButtonTip(cell, tip);
        auto* buttonEditor = new ButtonCellEditor(parent, ToQt(cell->GetText()), ToQt(tip));
        KvUiGridRow* row = cell->GetRow();
        const int column = cell->GetColIndex();
        QPointer<ButtonCellEditor> guard(buttonEditor);
        QObject::connect(buttonEditor->button, &QToolButton::clicked, buttonEditor, [this, grid, row, column, guard]() {
            KvUiGridCell* target = grid->GetCell(row, column);
            if (!target)
                return;
            grid->PressCellButton(target);
            if (guard)
                guard->label->setText(ToQt(target->GetText()));
        });
        editor = buttonEditor;
    } else if (col->IsDropDown()) {
        auto* combo = new QComboBox(parent);
        for (const std::string& item : grid->GetComboItems(cell))
            combo->addItem(ToQt(item));
        combo->setEditable((col->GetFlags() & KvUiGridCol::Editable) != 0);
        editor = combo;
    } else {
        editor = QStyledItemDelegate::createEditor(parent, option, index);
    }
    m_editor = editor;
    return editor;
}

void KvUiGridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    const QString text = index.data(Qt::EditRole).toString();
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        const int at = combo->findText(text);
        if (at >= 0)
            combo->setCurrentIndex(at);
        else if (combo->isEditable())
            combo->setEditText(text);
        else
            combo->setCurrentIndex(-1);
        return;
    }
    if (dynamic_cast<ButtonCellEditor*>(editor))
        return;
    QStyledItemDelegate::setEditorData(editor, index);
}

void KvUiGridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    if (dynamic_cast<ButtonCellEditor*>(editor))
        return;  // the button wrote its change through the grid already
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        if (combo->currentIndex() < 0 && !combo->isEditable())
            return;
        model->setData(index, combo->currentText(), Qt::EditRole);
        return;
    }
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        model->setData(index, line->text(), Qt::EditRole);
        return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
}

void KvUiGridDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const
{
    if (m_model->grid())
        m_model->grid()->EndEdit();
    if (m_editor == editor)
        m_editor = nullptr;
    QStyledItemDelegate::destroyEditor(editor, index);
}

QSize KvUiGridDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (m_model->grid() && m_model->grid()->GetRowHeight() > 0)
        size.setHeight(m_model->grid()->GetRowHeight());
    return size;
}

void KvUiGridDelegate::closeCurrentEditor()
{
    if (m_editor)
        emit const_cast<KvUiGridDelegate*>(this)->closeEditor(m_editor, QAbstractItemDelegate::NoHint);
}

// ---- KvUiGridView -----------------------------------------------------------------------------

KvUiGridView::KvUiGridView(KvUiGrid* grid, QWidget* parent) : QTreeView(parent), m_grid(grid)
{
    m_model = new KvUiGridModel(grid, this);
    m_delegate = new KvUiGridDelegate(m_model, this);
    setModel(m_model);
    setItemDelegate(m_delegate);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::SelectedClicked | QAbstractItemView::AnyKeyPressed);
    setContextMenuPolicy(Qt::DefaultContextMenu);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);

    connect(m_model, &KvUiGridModel::columnsChanged, this, &KvUiGridView::applyLayout);
    connect(m_model, &KvUiGridModel::repaintRequested, this, [this]() { viewport()->update(); });
    connect(m_model, &KvUiGridModel::gridSelectionChanged, this, &KvUiGridView::syncSelectionFromGrid);
    connect(m_model, &KvUiGridModel::gridCurrentChanged, this, &KvUiGridView::syncCurrentFromGrid);
    connect(m_model, &KvUiGridModel::parentNotify, this, &KvUiGridView::notify);
    connect(m_model, &KvUiGridModel::closeEditorRequested, this, [this](int delayMs) {
        QTimer::singleShot(std::max(0, delayMs), this, [this]() {
            m_delegate->closeCurrentEditor();
            if (m_grid)
                m_grid->EndEdit();
        });
    });
    connect(m_model, &KvUiGridModel::gridDestroyed, this, [this]() { m_grid = nullptr; });
    connect(m_model, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex& parent) {
        if (parent.isValid())
            expand(parent);
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this]() {
        expandAll();
        syncSelectionFromGrid();
    });
    applyLayout();
}

KvUiGridView::~KvUiGridView()
{
    if (m_grid) {
        m_grid->ViewDestroyed();
        if (m_grid->GetListener() == m_model)
            m_grid->SetListener(nullptr);
    }
}

void KvUiGridView::applyLayout()
{
    if (!m_grid)
        return;
    const unsigned style = m_grid->GetGridStyle();
    setHeaderHidden(style != 0 && !(style & KvUiGrid::StyleHeader));
    setRootIsDecorated(m_grid->GetTreeLine());
    setSelectionBehavior((style & KvUiGrid::StyleRowSelect) ? QAbstractItemView::SelectRows
                                                             : QAbstractItemView::SelectItems);
    setSelectionMode((style & KvUiGrid::StyleMultiSelect) ? QAbstractItemView::ExtendedSelection
                                                           : QAbstractItemView::SingleSelection);
    setStyleSheet((style & KvUiGrid::StyleGridLines)
                      ? QStringLiteral("QTreeView::item { border-right: 1px solid #d4d4d4; border-bottom: 1px solid #d4d4d4; }")
                      : QString());
    header()->setStretchLastSection(m_grid->m_fitLastCol);
    for (int i = 0; i < m_grid->GetColNum(); ++i)
        header()->resizeSection(i, m_grid->GetCol(i)->GetWidth());
}

void KvUiGridView::pasteClipboard()
{
    if (!m_grid)
        return;
    const QModelIndex at = currentIndex();
    KvUiGridRow* row = m_model->rowFor(at);
    const int rowIndex = row && row->IsRootRow() ? row->GetIndex() : 0;
    const int col = at.isValid() ? at.column() : 0;
    m_grid->Paste(rowIndex, col, FromQt(QApplication::clipboard()->text()));
}

void KvUiGridView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTreeView::currentChanged(current, previous);
    if (m_syncing || !m_grid)
        return;
    m_syncing = true;
    if (current.isValid())
        m_grid->SetCurColIndex(current.column());
    m_grid->SetCurRow(m_model->rowFor(current));
    m_syncing = false;
}

void KvUiGridView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    QTreeView::selectionChanged(selected, deselected);
    if (m_syncing || !m_grid)
        return;
    for (KvUiGridRow* row : m_grid->GetAllRows())
        row->m_selected = false;
    for (const QModelIndex& index : selectionModel()->selectedIndexes()) {
        if (KvUiGridRow* row = m_model->rowFor(index))
            row->m_selected = true;
    }
}

void KvUiGridView::syncSelectionFromGrid()
{
    if (m_syncing || !m_grid || !selectionModel())
        return;
    m_syncing = true;
    QItemSelection selection;
    for (KvUiGridRow* row : m_grid->GetAllRows()) {
        if (row->IsSelected() && m_grid->GetColNum() > 0)
            selection.select(m_model->indexFor(row, 0), m_model->indexFor(row, m_grid->GetColNum() - 1));
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    m_syncing = false;
}

void KvUiGridView::syncCurrentFromGrid(const QModelIndex& current)
{
    if (m_syncing || !selectionModel())
        return;
    m_syncing = true;
    selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    m_syncing = false;
}

void KvUiGridView::contextMenuEvent(QContextMenuEvent* event)
{
    if (!m_grid)
        return;
    const QModelIndex at = indexAt(event->pos());
    m_grid->RightClickRow(m_model->rowFor(at), KvUiPoint{event->pos().x(), event->pos().y()});
    event->accept();
}

void KvUiGridView::keyPressEvent(QKeyEvent* event)
{
    if (m_grid && state() != QAbstractItemView::EditingState) {
        if (event->matches(QKeySequence::Paste)) {
            pasteClipboard();
            event->accept();
            return;
        }
        const unsigned style = m_grid->GetGridStyle();
        if (event->key() == Qt::Key_Insert && (style & KvUiGrid::StyleInsertKey)) {
            const int at = m_grid->GetCurRowIndex();
            if (KvUiGridRow* row = m_grid->InsertRowAsUser(at < 0 ? -1 : at))
                m_grid->SetCurRow(row);
            event->accept();
            return;
        }
        if (event->key() == Qt::Key_Delete && (style & KvUiGrid::StyleDeleteKey)) {
            m_grid->DeleteSelectedAsUser();
            event->accept();
            return;
        }
    }
    QTreeView::keyPressEvent(event);
}

void KvUiGridView::resizeEvent(QResizeEvent* event)
{
    QTreeView::resizeEvent(event);
}

// ---- KvUiGrid's view-side operations ----------------------------------------------------------

bool KvUiGrid::Create(QWidget* parent, int id, unsigned style)
{
    if (m_view || !parent)
        return false;
    m_parent = parent;
    m_id = id;
    m_view = new KvUiGridView(this, parent);
    m_view->setObjectName(QStringLiteral("KvUiGrid%1").arg(id));
    constexpr unsigned kVisible = 0x10000000;  // WS_VISIBLE
    constexpr unsigned kBorder = 0x00800000;   // WS_BORDER
    if (style != 0 && !(style & kBorder))
        m_view->setFrameShape(QFrame::NoFrame);
    if (style == 0 || (style & kVisible))
        m_view->show();
    m_view->expandAll();
    return true;
}

void KvUiGrid::MoveWindow(int x, int y, int width, int height)
{
    if (m_view)
        m_view->setGeometry(x, y, std::max(0, width), std::max(0, height));
}
