// The Qt item model over a KvUiGrid: rows and cells as model indexes, edits through setData into the
// grid's user-level entry points, and the grid's changes as model signals.
#pragma once

#include "platform/ui/KvUiGrid.h"

#include <QAbstractItemModel>

class KvUiGridModel : public QAbstractItemModel, public KvUiGridListener {
    Q_OBJECT
public:
    // Registers itself as the grid's listener; `grid` may be null (an empty model).
    explicit KvUiGridModel(KvUiGrid* grid, QObject* parent = nullptr);
    ~KvUiGridModel() override;

    KvUiGrid* grid() const { return m_grid; }
    // The row an index stands for, or null.
    KvUiGridRow* rowFor(const QModelIndex& index) const;
    // The cell an index stands for, or null.
    KvUiGridCell* cellFor(const QModelIndex& index) const;
    QModelIndex indexFor(KvUiGridRow* row, int column = 0) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // Edit role: the text goes through KvUiGrid::SetCellTextAsUser (hooks may refuse it).
    // Check-state role: the cell's check box changes and OnDataChanged runs.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    void columnsChanged();
    void gridCurrentChanged(const QModelIndex& current);
    void gridSelectionChanged();
    void repaintRequested();
    void closeEditorRequested(int delayMs);
    void parentNotify(int code);
    void gridDestroyed();

private:
    void BeginInsertRows(KvUiGridTreeRow* parent, int first, int last) override;
    void EndInsertRows() override;
    void BeginRemoveRows(KvUiGridTreeRow* parent, int first, int last) override;
    void EndRemoveRows() override;
    void BeginMoveRow(int from, int to) override;
    void EndMoveRow() override;
    void BeginReset() override;
    void EndReset() override;
    void CellChanged(KvUiGridCell* cell) override;
    void RowChanged(KvUiGridRow* row) override;
    void ColumnsChanged() override;
    void CurrentChanged(KvUiGridRow* row) override;
    void SelectionChanged() override;
    void Repaint() override;
    void CloseEditor(int delayMs) override;
    void Notify(int code) override;
    void GridDestroyed() override;

    KvUiGrid* m_grid;
    int m_resetDepth = 0;
};
