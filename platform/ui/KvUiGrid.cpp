#include "platform/ui/KvUiGrid.h"

#include <algorithm>

// ---- KvUiGridCol ------------------------------------------------------------------------------

void KvUiGridCol::SetTitle(const std::string& title)
{
    m_title = title;
    if (m_grid && m_grid->GetListener())
        m_grid->GetListener()->ColumnsChanged();
}

void KvUiGridCol::SetWidth(int width)
{
    m_width = std::max(0, width);
    if (m_grid && m_grid->GetListener())
        m_grid->GetListener()->ColumnsChanged();
}

void KvUiGridCol::SetFlags(unsigned flags)
{
    m_flags = flags;
    if (m_grid)
        m_grid->Refresh();
}

void KvUiGridCol::SetDropDown(bool dropDown, bool editable)
{
    unsigned flags = m_flags & ~(DropDown | Editable);
    if (dropDown)
        flags |= DropDown;
    if (editable || !dropDown)
        flags |= Editable;
    SetFlags(flags);
}

void KvUiGridCol::SetBackColor(const KvUiColor& color)
{
    m_backColor = color;
    if (m_grid)
        m_grid->Refresh();
}

// ---- KvUiGridCell -----------------------------------------------------------------------------

void KvUiGridCell::SetText(const std::string& text)
{
    if (m_text == text)
        return;
    m_text = text;
    if (m_row && m_row->GetGrid())
        m_row->GetGrid()->NotifyCellChanged(this);
}

KvUiGridCol* KvUiGridCell::GetCol() const
{
    if (!m_row || !m_row->GetGrid())
        return nullptr;
    return m_row->GetGrid()->GetCol(m_col);
}

void KvUiGridCell::Select(bool select)
{
    m_selected = select;
    if (m_row && m_row->GetGrid())
        m_row->GetGrid()->SetCurColIndex(m_col);
    Refresh();
}

void KvUiGridCell::SetCheck(int state)
{
    m_check = state < 0 ? -1 : (state ? 1 : 0);
    Refresh();
}

void KvUiGridCell::Refresh()
{
    if (m_row && m_row->GetGrid())
        m_row->GetGrid()->NotifyCellChanged(this);
}

// ---- KvUiGridRow ------------------------------------------------------------------------------

KvUiGridRow::KvUiGridRow() = default;
KvUiGridRow::~KvUiGridRow() = default;

void KvUiGridRow::EnsureCells(int count)
{
    const int old = static_cast<int>(m_cells.size());
    if (count <= old)
        return;
    m_cells.resize(count);
    for (int i = old; i < count; ++i) {
        m_cells[i].m_row = this;
        m_cells[i].m_col = i;
    }
}

void KvUiGridRow::RenumberCells()
{
    for (size_t i = 0; i < m_cells.size(); ++i) {
        m_cells[i].m_row = this;
        m_cells[i].m_col = static_cast<int>(i);
    }
}

KvUiGridCell& KvUiGridRow::operator[](int col)
{
    if (col < 0)
        col = 0;
    EnsureCells(col + 1);
    return m_cells[col];
}

const KvUiGridCell& KvUiGridRow::operator[](int col) const
{
    static const KvUiGridCell empty;
    if (col < 0 || col >= static_cast<int>(m_cells.size()))
        return empty;
    return m_cells[col];
}

void KvUiGridRow::SetExtendData(KvUiGridRowData* data)
{
    if (m_data.get() == data)
        return;
    m_data.reset(data);
}

int KvUiGridRow::GetIndex() const
{
    if (m_parent)
        return m_parent->IndexOfChild(this);
    if (!m_grid)
        return -1;
    for (int i = 0; i < m_grid->GetRowNum(); ++i)
        if (m_grid->GetRow(i) == this)
            return i;
    return -1;
}

int KvUiGridRow::GetLevel() const
{
    int level = 0;
    for (const KvUiGridRow* p = m_parent; p; p = p->m_parent)
        ++level;
    return level;
}

void KvUiGridRow::AttachTo(KvUiGrid* grid)
{
    m_grid = grid;
    if (grid)
        EnsureCells(grid->GetColNum());
}

// ---- KvUiGridTreeRow --------------------------------------------------------------------------

KvUiGridTreeRow::~KvUiGridTreeRow() = default;

void KvUiGridTreeRow::AttachTo(KvUiGrid* grid)
{
    KvUiGridRow::AttachTo(grid);
    for (auto& child : m_children)
        child->AttachTo(grid);
}

KvUiGridRow* KvUiGridTreeRow::AppendChild(KvUiGridRow* child)
{
    return InsertChild(GetChildNum(), child);
}

KvUiGridRow* KvUiGridTreeRow::InsertChild(int index, KvUiGridRow* child)
{
    if (!child)
        child = new KvUiGridTreeRow;
    if (index < 0 || index > GetChildNum())
        index = GetChildNum();
    KvUiGrid* grid = GetGrid();
    KvUiGridListener* listener = grid ? grid->GetListener() : nullptr;
    if (listener)
        listener->BeginInsertRows(this, index, index);
    child->m_parent = this;
    m_children.insert(m_children.begin() + index, std::unique_ptr<KvUiGridRow>(child));
    child->AttachTo(grid);
    if (listener)
        listener->EndInsertRows();
    return child;
}

bool KvUiGridTreeRow::DelChild(int index)
{
    if (index < 0 || index >= GetChildNum())
        return false;
    KvUiGrid* grid = GetGrid();
    KvUiGridListener* listener = grid ? grid->GetListener() : nullptr;
    if (grid)
        grid->ForgetRow(m_children[index].get());
    if (listener)
        listener->BeginRemoveRows(this, index, index);
    std::unique_ptr<KvUiGridRow> gone = std::move(m_children[index]);
    m_children.erase(m_children.begin() + index);
    if (listener)
        listener->EndRemoveRows();
    gone.reset();
    return true;
}

KvUiGridRow* KvUiGridTreeRow::GetChild(int index) const
{
    if (index < 0 || index >= GetChildNum())
        return nullptr;
    return m_children[index].get();
}

int KvUiGridTreeRow::IndexOfChild(const KvUiGridRow* child) const
{
    for (int i = 0; i < GetChildNum(); ++i)
        if (m_children[i].get() == child)
            return i;
    return -1;
}

// ---- KvUiGrid: columns, look ------------------------------------------------------------------

KvUiGrid::KvUiGrid(bool tree, long rowCapacity) : m_tree(tree)
{
    if (rowCapacity > 0)
        m_rows.reserve(static_cast<size_t>(rowCapacity));
}

KvUiGrid::~KvUiGrid()
{
    // The rows go first, while the grid still answers their questions; the view (owned by its
    // parent widget) is told that the grid is gone.
    m_curRow = nullptr;
    m_editCell = nullptr;
    if (m_listener)
        m_listener->GridDestroyed();
    m_listener = nullptr;
    m_rows.clear();
}

int KvUiGrid::AppendCol(const std::string& title, int width)
{
    auto col = std::make_unique<KvUiGridCol>();
    col->m_grid = this;
    col->m_index = GetColNum();
    col->m_title = title;
    col->m_width = std::max(0, width);
    m_editCell = nullptr;
    if (m_listener)
        m_listener->BeginReset();
    m_cols.push_back(std::move(col));
    for (KvUiGridRow* row : GetAllRows())
        row->EnsureCells(GetColNum());
    if (m_listener) {
        m_listener->EndReset();
        m_listener->ColumnsChanged();
    }
    return GetColNum() - 1;
}

KvUiGridCol* KvUiGrid::GetCol(int index) const
{
    if (index < 0 || index >= GetColNum())
        return nullptr;
    return m_cols[index].get();
}

bool KvUiGrid::DelCol(int index)
{
    if (index < 0 || index >= GetColNum())
        return false;
    m_editCell = nullptr;
    if (m_listener)
        m_listener->BeginReset();
    m_cols.erase(m_cols.begin() + index);
    for (int i = 0; i < GetColNum(); ++i)
        m_cols[i]->m_index = i;
    for (KvUiGridRow* row : GetAllRows()) {
        if (index < row->GetCellNum()) {
            row->m_cells.erase(row->m_cells.begin() + index);
            row->RenumberCells();
        }
    }
    if (m_curCol >= GetColNum())
        m_curCol = std::max(0, GetColNum() - 1);
    if (m_listener) {
        m_listener->EndReset();
        m_listener->ColumnsChanged();
    }
    return true;
}

void KvUiGrid::SetGridStyle(unsigned style)
{
    m_style = style;
    if (m_listener)
        m_listener->ColumnsChanged();
}

void KvUiGrid::ModifyGridStyle(unsigned remove, unsigned add)
{
    SetGridStyle((m_style & ~remove) | add);
}

void KvUiGrid::SetTreeLine(bool on)
{
    m_treeLine = on;
    if (m_listener)
        m_listener->ColumnsChanged();
}

void KvUiGrid::SetRowHeight(int pixels)
{
    m_rowHeight = std::max(0, pixels);
    if (m_listener)
        m_listener->Repaint();
}

void KvUiGrid::FitLastCol()
{
    m_fitLastCol = true;
    if (m_listener)
        m_listener->ColumnsChanged();
}

void KvUiGrid::RecalcLayout()
{
    if (m_listener)
        m_listener->ColumnsChanged();
}

void KvUiGrid::Refresh()
{
    if (m_listener)
        m_listener->Repaint();
}

// ---- KvUiGrid: rows ---------------------------------------------------------------------------

void KvUiGrid::Reset()
{
    const bool hadCurrent = m_curRow != nullptr;
    m_curRow = nullptr;
    m_editCell = nullptr;
    if (m_listener)
        m_listener->BeginReset();
    m_rows.clear();
    if (m_listener)
        m_listener->EndReset();
    if (hadCurrent && m_listener)
        m_listener->CurrentChanged(nullptr);
}

KvUiGridRow* KvUiGrid::GetRow(int index) const
{
    if (!IsValidRow(index))
        return nullptr;
    return m_rows[index].get();
}

KvUiGridRow* KvUiGrid::AppendRow(KvUiGridRow* row)
{
    return InsertRow(GetRowNum(), row);
}

KvUiGridRow* KvUiGrid::InsertRow(int index, KvUiGridRow* row)
{
    if (!row)
        row = m_tree ? new KvUiGridTreeRow : new KvUiGridRow;
    if (index < 0 || index > GetRowNum())
        index = GetRowNum();
    if (m_listener)
        m_listener->BeginInsertRows(nullptr, index, index);
    row->m_parent = nullptr;
    m_rows.insert(m_rows.begin() + index, std::unique_ptr<KvUiGridRow>(row));
    row->AttachTo(this);
    if (m_listener)
        m_listener->EndInsertRows();
    return row;
}

void KvUiGrid::ForgetRow(KvUiGridRow* row)
{
    // The row and all its descendants are about to go.
    std::vector<KvUiGridRow*> doomed{row};
    for (size_t i = 0; i < doomed.size(); ++i)
        for (int c = 0; c < doomed[i]->GetChildNum(); ++c)
            doomed.push_back(doomed[i]->GetChild(c));
    for (KvUiGridRow* r : doomed) {
        if (m_editCell && m_editCell->GetRow() == r)
            m_editCell = nullptr;
        if (m_curRow == r) {
            m_curRow = nullptr;
            if (m_listener)
                m_listener->CurrentChanged(nullptr);
        }
    }
}

bool KvUiGrid::DelRow(int index)
{
    if (!IsValidRow(index))
        return false;
    const bool wasCurrent = m_curRow != nullptr;
    ForgetRow(m_rows[index].get());
    if (m_listener)
        m_listener->BeginRemoveRows(nullptr, index, index);
    std::unique_ptr<KvUiGridRow> gone = std::move(m_rows[index]);
    m_rows.erase(m_rows.begin() + index);
    if (m_listener)
        m_listener->EndRemoveRows();
    gone.reset();
    if (wasCurrent && !m_curRow)
        OnCurChanged();
    return true;
}

bool KvUiGrid::DelRow(KvUiGridRow* row)
{
    if (!row || row->GetGrid() != this)
        return false;
    if (KvUiGridTreeRow* parent = row->GetParentRow()) {
        const bool wasCurrent = m_curRow != nullptr;
        const bool ok = parent->DelChild(parent->IndexOfChild(row));
        if (wasCurrent && !m_curRow)
            OnCurChanged();
        return ok;
    }
    return DelRow(row->GetIndex());
}

bool KvUiGrid::MoveRow(int from, int to)
{
    if (!IsValidRow(from) || !IsValidRow(to))
        return false;
    if (from == to)
        return true;
    m_editCell = nullptr;
    if (m_listener)
        m_listener->BeginMoveRow(from, to);
    std::unique_ptr<KvUiGridRow> moving = std::move(m_rows[from]);
    m_rows.erase(m_rows.begin() + from);
    m_rows.insert(m_rows.begin() + to, std::move(moving));
    if (m_listener)
        m_listener->EndMoveRow();
    return true;
}

std::vector<KvUiGridRow*> KvUiGrid::GetAllRows() const
{
    std::vector<KvUiGridRow*> out;
    std::function<void(KvUiGridRow*)> walk = [&](KvUiGridRow* row) {
        out.push_back(row);
        for (int i = 0; i < row->GetChildNum(); ++i)
            walk(row->GetChild(i));
    };
    for (const auto& row : m_rows)
        walk(row.get());
    return out;
}

KvUiGridCell* KvUiGrid::GetCell(int row, int col) const
{
    return GetCell(GetRow(row), col);
}

KvUiGridCell* KvUiGrid::GetCell(KvUiGridRow* row, int col) const
{
    if (!row || col < 0 || col >= GetColNum())
        return nullptr;
    return &(*row)[col];
}

// ---- KvUiGrid: selection and current row ------------------------------------------------------

void KvUiGrid::SelectRow(int index, bool select)
{
    SelectRow(GetRow(index), select);
}

void KvUiGrid::SelectRow(KvUiGridRow* row, bool select)
{
    if (!row || row->GetGrid() != this || row->m_selected == select)
        return;
    if (select && !(m_style & StyleMultiSelect)) {
        for (KvUiGridRow* other : GetAllRows())
            other->m_selected = false;
    }
    row->m_selected = select;
    if (m_listener)
        m_listener->SelectionChanged();
}

void KvUiGrid::ClearSelection()
{
    bool any = false;
    for (KvUiGridRow* row : GetAllRows()) {
        any = any || row->m_selected;
        row->m_selected = false;
    }
    if (any && m_listener)
        m_listener->SelectionChanged();
}

int KvUiGrid::GetRowSelNum() const
{
    int n = 0;
    for (KvUiGridRow* row : GetAllRows())
        n += row->m_selected ? 1 : 0;
    return n;
}

KvUiGridRow* KvUiGrid::GetSelRow(int n) const
{
    for (KvUiGridRow* row : GetAllRows()) {
        if (row->m_selected && n-- == 0)
            return row;
    }
    return nullptr;
}

int KvUiGrid::GetCurRowIndex() const
{
    if (!m_curRow || m_curRow->GetParentRow())
        return -1;
    return m_curRow->GetIndex();
}

void KvUiGrid::SetCurRowIndex(int index)
{
    SetCurRow(index < 0 ? nullptr : GetRow(index));
}

void KvUiGrid::SetCurRow(KvUiGridRow* row)
{
    if (row && row->GetGrid() != this)
        return;
    if (row == m_curRow)
        return;
    m_curRow = row;
    if (m_listener)
        m_listener->CurrentChanged(row);
    OnCurChanged();
}

// ---- KvUiGrid: notifications and the user's actions -------------------------------------------

void KvUiGrid::NotifyCellChanged(KvUiGridCell* cell)
{
    if (m_listener && !m_inRefresh)
        m_listener->CellChanged(cell);
}

void KvUiGrid::AutoCloseCell(int delayMs)
{
    if (m_listener && m_view) {
        m_listener->CloseEditor(delayMs);
        return;
    }
    EndEdit();
}

void KvUiGrid::SendParentNotify(int code)
{
    if (m_notify)
        m_notify(this, code);
    if (m_listener)
        m_listener->Notify(code);
}

bool KvUiGrid::BeginEdit(KvUiGridCell* cell)
{
    if (!cell || !cell->GetRow() || cell->GetRow()->GetGrid() != this)
        return false;
    KvUiGridCol* col = cell->GetCol();
    if (!col || col->IsReadOnly() || cell->IsReadOnly())
        return false;
    bool allow = true;
    OnBeforeEdit(cell, allow);
    if (!allow)
        return false;
    m_editCell = cell;
    m_curCol = cell->GetColIndex();
    return true;
}

void KvUiGrid::EndEdit()
{
    m_editCell = nullptr;
}

bool KvUiGrid::TakeNewText(KvUiGridCell* cell, const std::string& text)
{
    if (!OnModified(cell, text))
        return false;
    cell->SetText(text);
    OnDataChanged();
    return true;
}

bool KvUiGrid::SetCellTextAsUser(KvUiGridCell* cell, const std::string& text)
{
    if (!cell)
        return false;
    if (m_editCell != cell && !BeginEdit(cell))
        return false;
    const bool taken = TakeNewText(cell, text);
    EndEdit();
    return taken;
}

bool KvUiGrid::SetCellTextAsUser(int row, int col, const std::string& text)
{
    return SetCellTextAsUser(GetCell(row, col), text);
}

std::vector<std::string> KvUiGrid::GetComboItems(KvUiGridCell* cell)
{
    std::vector<std::string> items;
    if (!cell)
        return items;
    if (KvUiGridCol* col = cell->GetCol())
        items = col->GetOptions();
    OnCellComboString(cell, items);
    return items;
}

bool KvUiGrid::ChooseComboItem(KvUiGridCell* cell, int index)
{
    if (!cell || !BeginEdit(cell))
        return false;
    const std::vector<std::string> items = GetComboItems(cell);
    if (index < 0 || index >= static_cast<int>(items.size())) {
        EndEdit();
        return false;
    }
    return SetCellTextAsUser(cell, items[index]);
}

bool KvUiGrid::PressCellButton(KvUiGridCell* cell)
{
    if (!cell || !cell->GetRow() || cell->GetRow()->GetGrid() != this)
        return false;
    std::string text = cell->GetText();
    if (!OnCellButtonDown(cell, text))
        return false;
    TakeNewText(cell, text);
    return true;
}

bool KvUiGrid::GetCellButtonTip(KvUiGridCell* cell, std::string& tip)
{
    if (!cell || !cell->GetRow())
        return false;
    std::string text;
    if (!OnCellButtonTip(cell->GetRow(), cell->GetColIndex(), text))
        return false;
    tip = text;
    return true;
}

int KvUiGrid::Paste(int row, int col, const std::string& text)
{
    int changed = 0;
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    if (!lines.empty() && lines.back().empty() && lines.size() > 1)
        lines.pop_back();  // the newline that ends the last line
    for (size_t r = 0; r < lines.size(); ++r) {
        KvUiGridRow* target = GetRow(row + static_cast<int>(r));
        if (!target)
            break;
        size_t pos = 0;
        for (int c = col;; ++c) {
            const size_t tab = lines[r].find('\t', pos);
            const std::string piece = lines[r].substr(pos, tab == std::string::npos ? std::string::npos : tab - pos);
            if (KvUiGridCell* cell = GetCell(target, c)) {
                if (cell->GetText() != piece && SetCellTextAsUser(cell, piece))
                    ++changed;
            }
            if (tab == std::string::npos)
                break;
            pos = tab + 1;
        }
    }
    OnEndPaste();
    return changed;
}

KvUiGridRow* KvUiGrid::InsertRowAsUser(int index)
{
    if (index < 0 || index > GetRowNum())
        index = GetRowNum();
    KvUiGridRow* row = nullptr;
    if (!OnBeforeInsertRow(index, row)) {
        delete row;
        return nullptr;
    }
    row = InsertRow(index, row);
    OnInsertRow(row);
    return row;
}

KvUiGridRow* KvUiGrid::InsertChildAsUser(KvUiGridRow* parent, int index)
{
    if (!parent || parent->GetGrid() != this || !parent->IsTreeRow())
        return nullptr;
    auto* treeParent = static_cast<KvUiGridTreeRow*>(parent);
    if (index < 0 || index > treeParent->GetChildNum())
        index = treeParent->GetChildNum();
    KvUiGridRow* child = new KvUiGridTreeRow;
    child->EnsureCells(GetColNum());
    KvUiGridRow* offered = child;
    if (!OnBeforeInsertChild(parent, index, child)) {
        if (child != offered)
            delete child;
        delete offered;
        return nullptr;
    }
    if (child != offered)
        delete offered;
    if (!child)
        child = new KvUiGridTreeRow;
    child = treeParent->InsertChild(index, child);
    OnInsertRow(child);
    return child;
}

int KvUiGrid::DeleteSelectedAsUser()
{
    int count = 0;
    for (KvUiGridRow* row = GetSelRow(0); row; row = GetSelRow(0)) {
        if (!DelRow(row))
            break;
        ++count;
    }
    if (count > 0)
        OnDataChanged();
    return count;
}

void KvUiGrid::RightClickRow(KvUiGridRow* row, KvUiPoint point)
{
    OnRClickRow(row, point);
}

KvUiGridCellStyle KvUiGrid::GetCellStyle(KvUiGridCell* cell)
{
    KvUiGridCellStyle style;
    if (!cell)
        return style;
    const std::string before = cell->GetText();
    style.text = before;
    if (KvUiGridCol* col = cell->GetCol())
        style.background = col->GetBackColor();
    m_inRefresh = true;
    OnBeforeRefresh(cell, style);
    m_inRefresh = false;
    // A hook that changed the cell itself (rather than the style) draws the cell's new text.
    if (cell->GetText() != before && style.text == before)
        style.text = cell->GetText();
    return style;
}

// ---- default hooks ----------------------------------------------------------------------------

void KvUiGrid::OnRClickRow(KvUiGridRow*, KvUiPoint) {}
void KvUiGrid::OnBeforeEdit(KvUiGridCell*, bool&) {}
void KvUiGrid::OnCellComboString(KvUiGridCell*, std::vector<std::string>&) {}
bool KvUiGrid::OnCellButtonDown(KvUiGridCell*, std::string&) { return false; }
bool KvUiGrid::OnModified(KvUiGridCell*, const std::string&) { return true; }
void KvUiGrid::OnDataChanged() {}
void KvUiGrid::OnCurChanged() {}
void KvUiGrid::OnBeforeRefresh(KvUiGridCell*, KvUiGridCellStyle&) {}
bool KvUiGrid::OnBeforeInsertRow(int, KvUiGridRow*&) { return true; }
bool KvUiGrid::OnBeforeInsertChild(KvUiGridRow*, int, KvUiGridRow*&) { return true; }
void KvUiGrid::OnInsertRow(KvUiGridRow*) {}
void KvUiGrid::OnEndPaste() {}
bool KvUiGrid::OnCellButtonTip(KvUiGridRow*, int, std::string&) { return false; }
