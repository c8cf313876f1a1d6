// Controls the dialogs build on: the image button, the property list and the plain list grid.
#pragma once

#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>

#include <functional>
#include <string>
#include <vector>

// A button that shows an image (an icon file: .ico, .png, .bmp) and a tooltip.
class KvUiImageButton : public QToolButton {
    Q_OBJECT
public:
    explicit KvUiImageButton(QWidget* parent = nullptr);
    // Loads the image; false (and the button keeps its text) when the file is missing or unreadable.
    bool SetImage(const std::string& path);
    bool HasImage() const { return m_hasImage; }
    void SetTooltip(const std::string& text);
    std::string GetTooltip() const;
    void SetWindowText(const std::string& text);
    // Runs `handler` on every click.
    void SetClickHandler(std::function<void()> handler);

private:
    bool m_hasImage = false;
};

// A list of properties in groups: free-text properties and option properties (a drop-down of
// choices). Groups and properties are addressed by their positions.
class KvUiPropList : public QTreeWidget {
    Q_OBJECT
public:
    explicit KvUiPropList(QWidget* parent = nullptr);

    // Returns the new group's index.
    int AddGroup(const std::string& name);
    // Returns the property's index in its group, -1 for a bad group.
    int AddTextProperty(int group, const std::string& name, const std::string& value,
                        const std::string& description = std::string(), bool enabled = true);
    // `allowOther`: the user may also type a value that is not one of the options.
    int AddOptionProperty(int group, const std::string& name, const std::string& value,
                          const std::vector<std::string>& options,
                          const std::string& description = std::string(), bool allowOther = false);
    void RemoveAll();

    int GetGroupCount() const;
    int GetPropertyCount(int group) const;
    std::string GetGroupName(int group) const;
    std::string GetPropertyName(int group, int prop) const;
    std::string GetDescription(int group, int prop) const;
    std::vector<std::string> GetOptions(int group, int prop) const;
    bool IsOptionProperty(int group, int prop) const;
    bool IsPropertyEnabled(int group, int prop) const;

    // The value as text; "" for a bad position.
    std::string GetValue(int group, int prop) const;
    // Sets the value without a change notification; false for a bad position.
    bool SetValue(int group, int prop, const std::string& value);
    // Sets the value as the user's edit does: an option property without allowOther refuses a value
    // outside its options (false); the change handler runs when the value changed.
    bool SetValueAsUser(int group, int prop, const std::string& value);
    // Called after the user changed a value: (group, property, new value).
    void SetChangeHandler(std::function<void(int, int, const std::string&)> handler) { m_onChange = std::move(handler); }

    // Look.
    void EnableHeaderCtrl(bool on, const std::string& nameTitle = "Property", const std::string& valueTitle = "Value");
    void EnableDescriptionArea(bool on) { m_descriptionArea = on; }
    void SetVSDotNetLook(bool on);
    void MarkModifiedProperties(bool on) { m_markModified = on; }
    void SetAlphabeticMode(bool on);
    bool IsAlphabeticMode() const { return m_alphabetic; }

private:
    QTreeWidgetItem* Property(int group, int prop) const;
    void OnItemChanged(QTreeWidgetItem* item, int column);

    bool m_updating = false;
    bool m_descriptionArea = true;
    bool m_markModified = true;
    bool m_alphabetic = false;
    std::function<void(int, int, const std::string&)> m_onChange;
};

// A plain grid of text cells: columns, rows, drop-down and check-box cells, one current row.
class KvUiListGrid : public QTableWidget {
    Q_OBJECT
public:
    enum Align { AlignLeft = 0, AlignRight = 1, AlignCenter = 2 };

    explicit KvUiListGrid(QWidget* parent = nullptr);

    int InsertColumn(int index, const std::string& title, int width);
    int GetColumnCount() const { return columnCount(); }
    void SetColumnAlign(int col, Align align);
    void SetHeaderAlign(int col, Align align);
    // A locked column keeps its width (the user cannot resize it).
    void SetColumnLocked(int col, bool locked);
    void SetColumnReadOnly(int col, bool readOnly);
    void EnableHeader(bool on);
    // The columns share the width of the grid.
    void EnableColumnAutoSize(bool on);
    // Clicking a header sorts by that column and marks it.
    void EnableMarkSortedColumn(bool on);
    // Whole rows are selected (true) or single cells.
    void SetWholeRowSel(bool on);

    // Appends a row of empty cells; returns its index.
    int AddRow();
    int GetRowCount() const { return rowCount(); }
    bool RemoveRow(int row);
    void RemoveAll();
    std::string GetItemText(int row, int col) const;
    bool SetItemText(int row, int col, const std::string& text);
    // Makes the cell a drop-down offering `option` (in the order added).
    bool AddItemOption(int row, int col, const std::string& option, bool allowOther = false);
    std::vector<std::string> GetItemOptions(int row, int col) const;
    bool SetItemReadOnly(int row, int col, bool readOnly);
    // -1 no check box, 0 unchecked, 1 checked.
    bool SetItemCheck(int row, int col, int state);
    int GetItemCheck(int row, int col) const;

    // The selected row, -1 when none.
    int GetCurSel() const;
    // Selects row `row` (-1 clears); the selection handler runs when the selection changed.
    void SetCurSel(int row);
    void SelectRow(int row) { SetCurSel(row); }
    // Sets a cell as the user's edit does (the change handler runs); false for a read-only or bad cell.
    bool SetItemTextAsUser(int row, int col, const std::string& text);

    void SetSelChangedHandler(std::function<void()> handler) { m_onSel = std::move(handler); }
    void SetItemChangedHandler(std::function<void(int, int)> handler) { m_onItem = std::move(handler); }

private:
    QTableWidgetItem* Item(int row, int col) const;
    void OnItemChanged(QTableWidgetItem* item);

    bool m_updating = false;
    std::vector<Align> m_align;
    std::vector<bool> m_readOnlyCols;
    std::function<void()> m_onSel;
    std::function<void(int, int)> m_onItem;
};
