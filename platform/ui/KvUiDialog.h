// Dialog base classes: the modal dialog KvUiDialog, the tab control KvUiTab, the tabbed main dialog
// KvUiTabMainDialog and its sheets KvUiTabChildDialog.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>
#include <string>
#include <vector>

class QStackedWidget;
class QTabBar;

// IDOK, IDCANCEL and the other answers are the host's (shared with its message boxes).
#include "platform/host/KvUserServices.h"

// A modal dialog. DoModal runs OnInitDialog (once per run), shows the dialog and returns the code
// that ended it: IDOK when OnOK ends it, IDCANCEL when OnCancel (Escape, the close box) ends it, or
// the code given to EndDialog. OnInitDialog's result only says whether it placed the focus itself
// (false) or the first control takes it (true); a dialog that must not open calls EndDialog there,
// and DoModal then returns that code without showing anything.
class KvUiDialog : public QDialog {
    Q_OBJECT
public:
    explicit KvUiDialog(QWidget* parent = nullptr);
    ~KvUiDialog() override;

    int DoModal();
    void EndDialog(int result);
    // True while the dialog runs (between OnInitDialog and the end of DoModal).
    bool IsRunning() const { return m_running; }
    // The window exists once OnInitDialog ran: this dialog, else null.
    QWidget* GetSafeHwnd() const { return m_initialised ? const_cast<KvUiDialog*>(this) : nullptr; }

    void SetWindowText(const std::string& title);
    std::string GetWindowText() const;
    // Centres the dialog on its parent, or on the screen.
    void CenterWindow();

    // Controls by the numeric ids the dialog's layout gives them.
    void SetDlgItem(int id, QWidget* control);
    QWidget* GetDlgItem(int id) const;
    // Adds a push button with `id` and `text` to `layout` owner `parent` (this dialog when null);
    // IDOK is the default button and calls OnOK, IDCANCEL calls OnCancel, other ids call `onClick`.
    class QPushButton* AddButton(int id, const std::string& text, std::function<void()> onClick = {},
                                 QWidget* parent = nullptr);

    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    // Qt's accept and reject go through OnOK and OnCancel.
    void accept() override;
    void reject() override;

private:
    bool m_running = false;
    bool m_initialised = false;
    bool m_inExec = false;
    int m_earlyEnd = 0;
    std::map<int, QWidget*> m_items;
};

class KvUiTabChildDialog;

// A row of tabs over a page area. A tab may carry a sheet (shown in the page area and created on its
// first activation) or only a caption (the owner switches its own widgets on the change handler).
class KvUiTab : public QWidget {
    Q_OBJECT
public:
    explicit KvUiTab(QWidget* parent = nullptr);
    ~KvUiTab() override;

    // Inserts a tab at `index` (-1 or past the end: appended); returns its index. Adding a tab does not
    // activate it and does not create its sheet.
    int InsertItem(int index, const std::string& caption, KvUiTabChildDialog* sheet = nullptr);
    bool DeleteItem(int index);
    void DeleteAllItems();
    int GetItemCount() const;
    std::string GetItemText(int index) const;
    KvUiTabChildDialog* GetSheet(int index) const;
    // The active tab, -1 when none was activated.
    int GetCurSel() const { return m_current; }
    // Activates tab `index`: its sheet is created if it was not (OnInitDialog runs), shown, and the
    // change handler runs. False for a bad index.
    bool SetCurSel(int index);
    void SetChangeHandler(std::function<void(int)> handler) { m_onChange = std::move(handler); }
    // The rectangle of the page area in this widget's coordinates.
    QRect GetPageRect() const;
    QWidget* GetPageArea() const;
    QTabBar* GetTabBar() const { return m_bar; }

protected:
    // Shown with no active tab: the tab the bar shows becomes active (and its sheet is created).
    void showEvent(QShowEvent* event) override;

private:
    void OnBarChanged(int index);
    void RefreshBarGeometry();

    QTabBar* m_bar;
    QStackedWidget* m_pages;
    std::vector<QPointer<KvUiTabChildDialog>> m_sheets;
    std::vector<QWidget*> m_blanks;
    int m_current = -1;
    bool m_updating = false;
    std::function<void(int)> m_onChange;
};

// A sheet of a tabbed dialog. The sheet object exists with its owner; its window exists only once
// Create ran (its tab was shown, or the owner created it): GetSafeHwnd() tells.
class KvUiTabChildDialog : public QWidget {
    Q_OBJECT
public:
    explicit KvUiTabChildDialog(QWidget* parent = nullptr);
    ~KvUiTabChildDialog() override;

    // Creates the window as a child of `parent` (when given) and runs OnInitDialog once; true when
    // the window exists afterwards.
    bool Create(QWidget* parent = nullptr);
    // This sheet once its window exists, else null.
    QWidget* GetSafeHwnd() const { return m_created ? const_cast<KvUiTabChildDialog*>(this) : nullptr; }
    bool IsCreated() const { return m_created; }
    // The tabbed dialog that holds the sheet, or null.
    class KvUiTabMainDialog* GetMainDialog() const { return m_main; }

    void SetDlgItem(int id, QWidget* control) { m_items[id] = control; }
    QWidget* GetDlgItem(int id) const;

    virtual bool OnInitDialog();
    // The sheet's size changed (type 0 restored, 1 minimised); after creation only.
    virtual void OnSize(int type, int cx, int cy);
    // The sheet became the active tab / stops being it.
    virtual void OnTabActivate(bool active);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class KvUiTabMainDialog;
    bool m_created = false;
    KvUiTabMainDialog* m_main = nullptr;
    std::map<int, QWidget*> m_items;
};

// A dialog whose pages are tabs. The derived dialog builds its layout with a KvUiTab, hands it over
// with SetAcadTabPointer, and adds its sheets with AddTab.
class KvUiTabMainDialog : public KvUiDialog {
    Q_OBJECT
public:
    explicit KvUiTabMainDialog(QWidget* parent = nullptr);
    ~KvUiTabMainDialog() override;

    void SetAcadTabPointer(KvUiTab* tab);
    KvUiTab* GetTabPointer() const { return m_tab; }
    // Adds a tab at `index` with `caption` and `sheet` (the sheet's window is created when the tab is
    // first activated); `templateId` names the sheet's layout. False without a tab control.
    bool AddTab(int index, const std::string& caption, int templateId, KvUiTabChildDialog* sheet);
    int GetTabCount() const;
    int GetActiveTab() const;
    bool SetActiveTab(int index);
    int GetTemplateId(int index) const;

private:
    KvUiTab* m_tab = nullptr;
    std::map<KvUiTabChildDialog*, int> m_templates;
};
