// The platform's tree grid: columns, rows (flat or tree rows with children), text cells, owned row
// data and the notification hooks that derived grids override.
//
// KvUiGrid holds the data and calls the hooks; it draws nothing. Create() puts a Qt view
// (KvUiGridView over the KvUiGridModel adapter) on a parent widget; the view calls the same user-level
// entry points (BeginEdit, SetCellTextAsUser, ChooseComboItem, PressCellButton, Paste,
// InsertRowAsUser, ...) that a test or a sheet can call directly, so every hook runs in the same order
// whether a user clicks or code drives the grid.
//
// Hook order of a user edit: OnBeforeEdit (may refuse) -> [OnCellComboString for a drop-down]
// -> OnModified (may refuse; the old text stays) -> the text is set -> OnDataChanged.
// A cell button: OnCellButtonDown -> when it returns true, OnModified -> set -> OnDataChanged.
// A user insertion: OnBeforeInsertRow / OnBeforeInsertChild (may cancel, may supply the row)
// -> the row is inserted -> OnInsertRow.
// Loading code uses AppendRow / AppendChild / SetText, which call no hooks.
#pragma once

#include "platform/ui/KvUiColor.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class KvUiGrid;
class KvUiGridRow;
class KvUiGridTreeRow;
class KvUiGridView;
class QWidget;

// Extension data a row may own (SetExtendData); deleted with the row or when replaced.
class KvUiGridRowData {
public:
    virtual ~KvUiGridRowData() = default;
};

// A point in the grid view's coordinates (right-click position).
struct KvUiPoint {
    int x = 0;
    int y = 0;
};

// How a cell is drawn; filled with the defaults and handed to OnBeforeRefresh, which may change it.
struct KvUiGridCellStyle {
    std::string text;          // the text drawn (the cell's text unless the hook changes it)
    KvUiColor background;      // invalid: the column's background, or the view's
    KvUiColor foreground;      // invalid: the view's text colour
    int fontWeight = 400;      // 400 normal, 700 bold
    bool transparent = false;  // background mode transparent: only the cell background shows
};

// One column.
class KvUiGridCol {
public:
    // Column flags.
    enum : unsigned {
        ReadOnly = 0x1,   // cells cannot be edited
        Editable = 0x2,   // cells take free text (with DropDown: an editable drop-down)
        DropDown = 0x4,   // cells offer a drop-down list (OnCellComboString fills it)
        Button = 0x8,     // cells show a button (OnCellButtonDown)
    };

    const std::string& GetTitle() const { return m_title; }
    void SetTitle(const std::string& title);
    int GetWidth() const { return m_width; }
    void SetWidth(int width);
    // A number the derived grid gives the column's cells (colour column, linetype column, ...);
    // 0 plain text.
    int GetKind() const { return m_kind; }
    void SetKind(int kind) { m_kind = kind; }
    unsigned GetFlags() const { return m_flags; }
    void SetFlags(unsigned flags);
    void ModifyFlags(unsigned remove, unsigned add) { SetFlags((m_flags & ~remove) | add); }
    bool IsReadOnly() const { return (m_flags & ReadOnly) != 0; }
    bool IsDropDown() const { return (m_flags & DropDown) != 0; }
    bool HasButton() const { return (m_flags & Button) != 0; }
    void SetReadOnly(bool readOnly) { ModifyFlags(ReadOnly, readOnly ? unsigned(ReadOnly) : 0u); }
    void SetDropDown(bool dropDown, bool editable = false);
    void SetButton(bool button) { ModifyFlags(Button, button ? unsigned(Button) : 0u); }
    const KvUiColor& GetBackColor() const { return m_backColor; }
    void SetBackColor(const KvUiColor& color);
    // Fixed drop-down entries, offered before those OnCellComboString adds.
    void AddOption(const std::string& option) { m_options.push_back(option); }
    const std::vector<std::string>& GetOptions() const { return m_options; }
    int GetIndex() const { return m_index; }

private:
    friend class KvUiGrid;
    KvUiGrid* m_grid = nullptr;
    int m_index = -1;
    std::string m_title;
    int m_width = 100;
    int m_kind = 0;
    unsigned m_flags = Editable;
    KvUiColor m_backColor;
    std::vector<std::string> m_options;
};

// One cell of a row.
class KvUiGridCell {
public:
    const std::string& GetText() const { return m_text; }
    // Sets the text without hooks (loading); the view repaints the cell.
    void SetText(const std::string& text);
    KvUiGridRow* GetRow() const { return m_row; }
    int GetColIndex() const { return m_col; }
    // The column, or null while the row is not in a grid.
    KvUiGridCol* GetCol() const;
    void Select(bool select);
    bool IsSelected() const { return m_selected; }
    // A read-only cell in an editable column.
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool IsReadOnly() const { return m_readOnly; }
    // A check box drawn in the cell: -1 none, 0 unchecked, 1 checked.
    void SetCheck(int state);
    int GetCheck() const { return m_check; }
    // Repaints the cell in the view (nothing without a view).
    void Refresh();

private:
    friend class KvUiGridRow;
    friend class KvUiGrid;
    KvUiGridRow* m_row = nullptr;
    int m_col = 0;
    std::string m_text;
    bool m_selected = false;
    bool m_readOnly = false;
    int m_check = -1;
};

// A row: its cells and its owned extension data.
class KvUiGridRow {
public:
    KvUiGridRow();
    virtual ~KvUiGridRow();
    KvUiGridRow(const KvUiGridRow&) = delete;
    KvUiGridRow& operator=(const KvUiGridRow&) = delete;

    // The cell of column `col` (0 or more); the row grows to hold it. Cells past the grid's columns
    // are kept but not shown.
    KvUiGridCell& operator[](int col);
    const KvUiGridCell& operator[](int col) const;
    int GetCellNum() const { return static_cast<int>(m_cells.size()); }
    // The row takes ownership of `data` and deletes the data it held before (null clears).
    void SetExtendData(KvUiGridRowData* data);
    KvUiGridRowData* GetExtendData() const { return m_data.get(); }

    virtual bool IsTreeRow() const { return false; }
    virtual int GetChildNum() const { return 0; }
    virtual KvUiGridRow* GetChild(int) const { return nullptr; }
    // The tree row this row is a child of; null for a top-level row.
    KvUiGridTreeRow* GetParentRow() const { return m_parent; }
    bool IsRootRow() const { return m_parent == nullptr; }
    // Index among its siblings (top-level rows or the parent's children); -1 when not placed.
    int GetIndex() const;
    KvUiGrid* GetGrid() const { return m_grid; }
    bool IsSelected() const { return m_selected; }
    // Depth in the tree: 0 for a top-level row.
    int GetLevel() const;

protected:
    virtual void AttachTo(KvUiGrid* grid);

private:
    friend class KvUiGrid;
    friend class KvUiGridTreeRow;
    friend class KvUiGridView;
    void EnsureCells(int count);
    void RenumberCells();
    KvUiGrid* m_grid = nullptr;
    KvUiGridTreeRow* m_parent = nullptr;
    std::vector<KvUiGridCell> m_cells;
    std::unique_ptr<KvUiGridRowData> m_data;
    bool m_selected = false;
};

// A row with child rows.
class KvUiGridTreeRow : public KvUiGridRow {
public:
    ~KvUiGridTreeRow() override;
    bool IsTreeRow() const override { return true; }
    // Takes ownership; appends without hooks. Null creates a new tree row. Returns the child.
    KvUiGridRow* AppendChild(KvUiGridRow* child = nullptr);
    KvUiGridRow* InsertChild(int index, KvUiGridRow* child = nullptr);
    // Deletes the child (and its children); false for a bad index.
    bool DelChild(int index);
    int GetChildNum() const override { return static_cast<int>(m_children.size()); }
    KvUiGridRow* GetChild(int index) const override;
    int IndexOfChild(const KvUiGridRow* child) const;
    void SetExpanded(bool expanded) { m_expanded = expanded; }
    bool IsExpanded() const { return m_expanded; }

protected:
    void AttachTo(KvUiGrid* grid) override;

private:
    friend class KvUiGrid;
    std::vector<std::unique_ptr<KvUiGridRow>> m_children;
    bool m_expanded = true;
};

// What the Qt adapter listens to; the grid reports every structural change before and after it.
class KvUiGridListener {
public:
    virtual ~KvUiGridListener() = default;
    virtual void BeginInsertRows(KvUiGridTreeRow* parent, int first, int last) = 0;
    virtual void EndInsertRows() = 0;
    virtual void BeginRemoveRows(KvUiGridTreeRow* parent, int first, int last) = 0;
    virtual void EndRemoveRows() = 0;
    virtual void BeginMoveRow(int from, int to) = 0;
    virtual void EndMoveRow() = 0;
    virtual void BeginReset() = 0;
    virtual void EndReset() = 0;
    virtual void CellChanged(KvUiGridCell* cell) = 0;
    virtual void RowChanged(KvUiGridRow* row) = 0;
    virtual void ColumnsChanged() = 0;
    virtual void CurrentChanged(KvUiGridRow* row) = 0;
    virtual void SelectionChanged() = 0;
    virtual void Repaint() = 0;
    virtual void CloseEditor(int delayMs) = 0;
    virtual void Notify(int code) = 0;
    // The grid is being destroyed: forget it.
    virtual void GridDestroyed() = 0;
};

class KvUiGrid {
public:
    // Grid option bits (SetGridStyle / ModifyGridStyle).
    enum : unsigned {
        StyleRowSelect = 0x2,     // clicking selects whole rows
        StyleHeader = 0x4,        // the column header is shown
        StyleInsertKey = 0x20,    // the Insert key inserts a row before the current one
        StyleDeleteKey = 0x80,    // the Delete key deletes the selected rows
        StyleGridLines = 0x100,   // lines between cells
        StyleMultiSelect = 0x8000 // several rows may be selected
    };

    // `tree`: rows are tree rows by default (AppendRow() without a row creates a KvUiGridTreeRow);
    // `rowCapacity`: the number of rows space is reserved for.
    explicit KvUiGrid(bool tree = false, long rowCapacity = 100);
    virtual ~KvUiGrid();
    KvUiGrid(const KvUiGrid&) = delete;
    KvUiGrid& operator=(const KvUiGrid&) = delete;

    // Puts the grid's view on `parent` (control id `id`); false when it already exists or parent is
    // null. The grid keeps working without a view.
    bool Create(QWidget* parent, int id, unsigned style = 0);
    // The view once created, else null (the "window exists" test).
    KvUiGridView* GetSafeHwnd() const { return m_view; }
    KvUiGridView* GetView() const { return m_view; }
    int GetDlgCtrlID() const { return m_id; }

    // Columns.
    int AppendCol(const std::string& title, int width);
    KvUiGridCol* GetCol(int index) const;
    bool DelCol(int index);
    int GetColNum() const { return static_cast<int>(m_cols.size()); }

    // Look.
    void SetGridStyle(unsigned style);
    void ModifyGridStyle(unsigned remove, unsigned add);
    unsigned GetGridStyle() const { return m_style; }
    void SetTreeLine(bool on);
    bool GetTreeLine() const { return m_treeLine; }
    void SetRowHeight(int pixels);
    int GetRowHeight() const { return m_rowHeight; }
    // Stretches the last column to fill the view's width (kept on resize).
    void FitLastCol();
    void RecalcLayout();
    void Refresh();
    void Invalidate() { Refresh(); }
    // Moves the view within its parent.
    void MoveWindow(int x, int y, int width, int height);
    // The parent widget given to Create (for fonts and notifications), or null.
    QWidget* GetParent() const { return m_parent; }

    // Rows. Indexes are top-level indexes.
    void Reset();
    int GetRowNum() const { return static_cast<int>(m_rows.size()); }
    KvUiGridRow* GetRow(int index) const;
    bool IsValidRow(int index) const { return index >= 0 && index < GetRowNum(); }
    // Takes ownership of `row` (null: a new row of the grid's kind) and appends it without hooks.
    KvUiGridRow* AppendRow(KvUiGridRow* row = nullptr);
    KvUiGridRow* InsertRow(int index, KvUiGridRow* row = nullptr);
    // Deletes the row, its children and their data; false for a bad index or a foreign row.
    bool DelRow(int index);
    bool DelRow(KvUiGridRow* row);
    // Moves a top-level row from one index to another (the row ends at index `to`); false when
    // either index is bad. The current row and selection follow the row.
    bool MoveRow(int from, int to);
    // Every row in display order (parents before children).
    std::vector<KvUiGridRow*> GetAllRows() const;

    // Cells.
    KvUiGridCell* GetCell(int row, int col) const;
    KvUiGridCell* GetCell(KvUiGridRow* row, int col) const;

    // Selection and the current row.
    void SelectRow(int index, bool select = true);
    void SelectRow(KvUiGridRow* row, bool select = true);
    void ClearSelection();
    int GetRowSelNum() const;
    // The n-th selected row in display order, or null.
    KvUiGridRow* GetSelRow(int n = 0) const;
    // The current row's top-level index; -1 when none or when the current row is a child.
    int GetCurRowIndex() const;
    KvUiGridRow* GetCurRow() const { return m_curRow; }
    // -1 clears. OnCurChanged runs when the current row changes.
    void SetCurRowIndex(int index);
    void SetCurRow(KvUiGridRow* row);
    int GetCurColIndex() const { return m_curCol; }
    void SetCurColIndex(int col) { m_curCol = col; }

    // The cell being edited (between BeginEdit and the end of the edit), or null.
    KvUiGridCell* GetEditCell() const { return m_editCell; }
    // Ends an open edit after `delayMs` (the view closes its editor; without a view at once).
    void AutoCloseCell(int delayMs);
    // Sends `code` to the parent: the handler set below, and the view's notify signal.
    void SendParentNotify(int code);
    void SetParentNotifyHandler(std::function<void(KvUiGrid*, int)> handler) { m_notify = std::move(handler); }

    // The user's actions; each runs the hooks in the order described at the top of this file.
    // Opens `cell` for editing: false when the column or cell is read-only or OnBeforeEdit refuses.
    bool BeginEdit(KvUiGridCell* cell);
    void EndEdit();
    // Sets a cell's text as the user would (OnBeforeEdit unless this cell is open, OnModified, set,
    // OnDataChanged); false when refused or unchanged by the hooks.
    bool SetCellTextAsUser(KvUiGridCell* cell, const std::string& text);
    bool SetCellTextAsUser(int row, int col, const std::string& text);
    // The drop-down entries of a cell: the column's options, then OnCellComboString's.
    std::vector<std::string> GetComboItems(KvUiGridCell* cell);
    // Opens the cell, fills the drop-down and chooses entry `index`; false when refused or absent.
    bool ChooseComboItem(KvUiGridCell* cell, int index);
    // Presses the cell's button: OnCellButtonDown, and when it returns true the new text goes through
    // OnModified, is set, and OnDataChanged runs. Returns what the hook returned.
    bool PressCellButton(KvUiGridCell* cell);
    // The tip of a cell button: true with `tip` set when OnCellButtonTip wants one.
    bool GetCellButtonTip(KvUiGridCell* cell, std::string& tip);
    // Pastes tab-separated lines (rows separated by newlines) from (row, col) on, into existing
    // top-level rows and columns; each cell goes through SetCellTextAsUser; OnEndPaste runs once.
    // Returns the number of cells changed.
    int Paste(int row, int col, const std::string& text);
    // Inserts a top-level row at `index` (-1 or past the end: append) as the user would; null when
    // OnBeforeInsertRow cancels.
    KvUiGridRow* InsertRowAsUser(int index);
    // Inserts a child of `parent` at `index` (-1: append); null when cancelled or `parent` is not a
    // tree row of this grid.
    KvUiGridRow* InsertChildAsUser(KvUiGridRow* parent, int index);
    // Deletes the selected rows as the user would (OnDataChanged once); returns how many went.
    int DeleteSelectedAsUser();
    // A right click on a row (the view calls it).
    void RightClickRow(KvUiGridRow* row, KvUiPoint point);
    // The style a cell is drawn with: defaults, then OnBeforeRefresh.
    KvUiGridCellStyle GetCellStyle(KvUiGridCell* cell);

    // The adapter registers here; one listener at a time.
    void SetListener(KvUiGridListener* listener) { m_listener = listener; }
    KvUiGridListener* GetListener() const { return m_listener; }

    // Hooks.
    virtual void OnRClickRow(KvUiGridRow* row, KvUiPoint point);
    // Set `allow` false to forbid editing the cell (it comes in true).
    virtual void OnBeforeEdit(KvUiGridCell* cell, bool& allow);
    virtual void OnCellComboString(KvUiGridCell* cell, std::vector<std::string>& items);
    // Returns true when `text` was changed; the grid then takes it as the cell's new text.
    virtual bool OnCellButtonDown(KvUiGridCell* cell, std::string& text);
    // Returns true to accept `newText`.
    virtual bool OnModified(KvUiGridCell* cell, const std::string& newText);
    virtual void OnDataChanged();
    virtual void OnCurChanged();
    virtual void OnBeforeRefresh(KvUiGridCell* cell, KvUiGridCellStyle& style);
    // Returns false to cancel; may set `row` to a row of its own (the grid takes ownership).
    virtual bool OnBeforeInsertRow(int index, KvUiGridRow*& row);
    // Returns false to cancel; may set `child` or preset the cells of the one it is given.
    virtual bool OnBeforeInsertChild(KvUiGridRow* parent, int index, KvUiGridRow*& child);
    virtual void OnInsertRow(KvUiGridRow* row);
    virtual void OnEndPaste();
    // Returns true to show `text` as the tip of the cell button at (row, col).
    virtual bool OnCellButtonTip(KvUiGridRow* row, int col, std::string& text);

private:
    friend class KvUiGridRow;
    friend class KvUiGridTreeRow;
    friend class KvUiGridCell;
    friend class KvUiGridView;
    void ForgetRow(KvUiGridRow* row);  // drops pointers to a row about to be deleted
    void NotifyCellChanged(KvUiGridCell* cell);
    bool TakeNewText(KvUiGridCell* cell, const std::string& text);
    void ViewDestroyed() { m_view = nullptr; }

    bool m_tree;
    unsigned m_style = 0;
    bool m_treeLine = false;
    int m_rowHeight = 0;
    bool m_fitLastCol = false;
    int m_id = 0;
    std::vector<std::unique_ptr<KvUiGridCol>> m_cols;
    std::vector<std::unique_ptr<KvUiGridRow>> m_rows;
    KvUiGridRow* m_curRow = nullptr;
    int m_curCol = 0;
    KvUiGridCell* m_editCell = nullptr;
    bool m_inRefresh = false;
    KvUiGridListener* m_listener = nullptr;
    KvUiGridView* m_view = nullptr;
    QWidget* m_parent = nullptr;
    std::function<void(KvUiGrid*, int)> m_notify;
};
