// The Qt view of a KvUiGrid: a tree view over KvUiGridModel with a delegate whose editors open
// through KvUiGrid::BeginEdit and write only through the model's setData.
#pragma once

#include "platform/ui/KvUiGrid.h"

#include <QPointer>
#include <QStyledItemDelegate>
#include <QTreeView>

class KvUiGridModel;

// Editors of the grid's cells: a line edit, a drop-down (editable or a pick list) or, for button
// columns, the text with a "..." button that presses the cell button.
class KvUiGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit KvUiGridDelegate(KvUiGridModel* model, QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The open editor, or null.
    QWidget* currentEditor() const { return m_editor; }
    // Closes the open editor without writing (its change, if any, was taken already).
    void closeCurrentEditor();

private:
    KvUiGridModel* m_model;
    mutable QPointer<QWidget> m_editor;
};

class KvUiGridView : public QTreeView {
    Q_OBJECT
public:
    KvUiGridView(KvUiGrid* grid, QWidget* parent);
    ~KvUiGridView() override;

    KvUiGrid* grid() const { return m_grid; }
    KvUiGridModel* gridModel() const { return m_model; }
    KvUiGridDelegate* gridDelegate() const { return m_delegate; }
    // Applies the grid's columns, widths, header, tree lines and selection mode.
    void applyLayout();
    // Pastes the clipboard's text at the current cell (what Ctrl+V does).
    void pasteClipboard();

signals:
    // The grid sent its parent a notification (KvUiGrid::SendParentNotify).
    void notify(int code);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void syncSelectionFromGrid();
    void syncCurrentFromGrid(const QModelIndex& current);

    KvUiGrid* m_grid;
    KvUiGridModel* m_model;
    KvUiGridDelegate* m_delegate;
    bool m_syncing = false;
};
