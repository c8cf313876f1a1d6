// Dialog bases, the tabbed dialog's sheets, the property list, the list grid and image buttons.
#include "platform/ui/KvUiControls.h"
#include "platform/ui/KvUiDialog.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs `action` on the dialog once it is shown and running its own event loop.
void WhenShown(std::function<void()> action)
{
    QTimer::singleShot(0, [action]() { action(); });
}

class CountingSheet : public KvUiTabChildDialog {
public:
    int initCount = 0;
    int sizeCount = 0;
    bool OnInitDialog() override
    {
        ++initCount;
        return KvUiTabChildDialog::OnInitDialog();
    }
    void OnSize(int, int, int) override { ++sizeCount; }
};

class ThreeTabDialog : public KvUiTabMainDialog {
public:
    ThreeTabDialog()
    {
        auto* layout = new QVBoxLayout(this);
        tab = new KvUiTab(this);
        layout->addWidget(tab);
        layout->addWidget(AddButton(IDOK, "确定"));
        layout->addWidget(AddButton(IDCANCEL, "取消"));
    }
    bool OnInitDialog() override
    {
        KvUiTabMainDialog::OnInitDialog();
        SetAcadTabPointer(tab);
        AddTab(0, "管道设置", 2149, &first);
        AddTab(1, "图层设置", 2078, &second);
        AddTab(2, "文字样式", 2077, &third);
        initialTabs = GetTabCount();
        createdBeforeActivation = first.GetSafeHwnd() != nullptr;
        SetActiveTab(0);
        return true;
    }
    KvUiTab* tab;
    CountingSheet first, second, third;
    int initialTabs = 0;
    bool createdBeforeActivation = true;
};

class RefusingDialog : public KvUiDialog {
public:
    int okCount = 0;
    bool allowOk = false;
    void OnOK() override
    {
        ++okCount;
        if (allowOk)
            KvUiDialog::OnOK();
    }
};

}  // namespace

// ---- KvUiDialog ---------------------------------------------------------------------------------

TEST(Dialog, DoModalReturnsIdOkWhenOkEndsIt)
{
    KvUiDialog dialog;
    dialog.SetWindowText("导入配置");
    QPushButton* ok = dialog.AddButton(IDOK, "确定");
    WhenShown([ok]() { ok->click(); });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.GetWindowText(), "导入配置");
    EXPECT_EQ(dialog.GetDlgItem(IDOK), ok);
}

TEST(Dialog, EscapeEndsWithIdCancel)
{
    KvUiDialog dialog;
    WhenShown([&dialog]() { QTest::keyClick(&dialog, Qt::Key_Escape); });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST(Dialog, OkOverrideThatDoesNotEndKeepsTheDialogOpen)
{
    RefusingDialog dialog;
    QPushButton* ok = dialog.AddButton(IDOK, "确定");
    WhenShown([&]() {
        ok->click();
        EXPECT_TRUE(dialog.isVisible());
        dialog.allowOk = true;
        ok->click();
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.okCount, 2);
}

TEST(Dialog, EndDialogCodeIsReturned)
{
    KvUiDialog dialog;
    WhenShown([&dialog]() { dialog.EndDialog(IDNO); });
    EXPECT_EQ(dialog.DoModal(), IDNO);
}

// ---- tabbed dialog ------------------------------------------------------------------------------

TEST(TabDialog, SheetWindowsExistOnlyOnceTheirTabWasShown)
{
    ThreeTabDialog dialog;
    EXPECT_EQ(dialog.first.GetSafeHwnd(), nullptr);
    WhenShown([&dialog]() {
        EXPECT_EQ(dialog.initialTabs, 3);
        EXPECT_FALSE(dialog.createdBeforeActivation);
        EXPECT_NE(dialog.first.GetSafeHwnd(), nullptr);
        EXPECT_EQ(dialog.second.GetSafeHwnd(), nullptr);
        EXPECT_EQ(dialog.third.GetSafeHwnd(), nullptr);
        // The user clicks the third tab.
        dialog.tab->GetTabBar()->setCurrentIndex(2);
        EXPECT_NE(dialog.third.GetSafeHwnd(), nullptr);
        EXPECT_EQ(dialog.second.GetSafeHwnd(), nullptr);
        EXPECT_EQ(dialog.GetActiveTab(), 2);
        // Back to the first: it is not initialised twice.
        dialog.SetActiveTab(0);
        dialog.EndDialog(IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.first.initCount, 1);
    EXPECT_EQ(dialog.second.initCount, 0);
    EXPECT_EQ(dialog.third.initCount, 1);
    EXPECT_EQ(dialog.GetTemplateId(1), 2078);
    EXPECT_EQ(dialog.tab->GetItemText(1), "图层设置");
}

TEST(TabDialog, CreatedSheetsAreToldTheirSize)
{
    ThreeTabDialog dialog;
    WhenShown([&dialog]() {
        dialog.resize(500, 400);
        QApplication::processEvents();
        dialog.EndDialog(IDOK);
    });
    dialog.DoModal();
    EXPECT_GT(dialog.first.sizeCount, 0);
    EXPECT_EQ(dialog.second.sizeCount, 0);
}

TEST(TabDialog, RemovingTabsEmptiesTheControlWithoutDeletingSheets)
{
    KvUiTab tab;
    CountingSheet a, b;
    tab.InsertItem(-1, "A", &a);
    tab.InsertItem(-1, "B", &b);
    EXPECT_EQ(tab.GetCurSel(), -1);
    EXPECT_TRUE(tab.SetCurSel(1));
    while (tab.GetItemCount() > 0)
        tab.DeleteItem(0);
    EXPECT_EQ(tab.GetItemCount(), 0);
    EXPECT_EQ(tab.GetCurSel(), -1);
    EXPECT_EQ(b.initCount, 1);
    EXPECT_FALSE(tab.SetCurSel(0));
}

TEST(TabDialog, ShowingTheControlActivatesTheTabItShows)
{
    KvUiTab tab;
    CountingSheet a;
    tab.InsertItem(0, "A", &a);
    EXPECT_EQ(a.GetSafeHwnd(), nullptr);
    tab.show();
    EXPECT_NE(a.GetSafeHwnd(), nullptr);
    EXPECT_EQ(tab.GetCurSel(), 0);
}

TEST(TabDialog, TabsAddedWhileHiddenAreOnTheBarOnceShown)
{
    // The control sits in a window laid out before its tabs exist, as in a dialog's constructor.
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* tab = new KvUiTab(&window);
    layout->addWidget(tab);
    layout->activate();
    CountingSheet a, b;
    tab->InsertItem(-1, "管道设置", &a);
    tab->InsertItem(-1, "图层设置", &b);
    window.resize(400, 300);
    window.show();
    EXPECT_EQ(tab->GetItemCount(), 2);
    EXPECT_EQ(tab->GetTabBar()->count(), 2);
    EXPECT_GT(tab->GetTabBar()->height(), 0);
    EXPECT_GE(tab->GetTabBar()->height(), tab->GetTabBar()->tabRect(1).height());
    // The page area starts below the bar.
    EXPECT_GE(tab->GetPageRect().top(), tab->GetTabBar()->height());
}

TEST(TabDialog, CaptionOnlyTabsReportTheirChange)
{
    KvUiTab tab;
    std::vector<int> changes;
    tab.SetChangeHandler([&](int index) { changes.push_back(index); });
    tab.InsertItem(-1, "LAYER_FIELD_DEF");
    tab.InsertItem(-1, "ASSEMBLY_LAYER_DEF");
    tab.SetCurSel(1);
    tab.GetTabBar()->setCurrentIndex(0);
    EXPECT_EQ(changes, (std::vector<int>{1, 0}));
}

// ---- property list ------------------------------------------------------------------------------

TEST(PropList, GroupsAndPropertiesKeepTheirValuesByPosition)
{
    KvUiPropList list;
    const int basic = list.AddGroup("基本参数");
    list.AddTextProperty(basic, "海澄威廉系数", "");
    list.AddTextProperty(basic, "粗糙度", "");
    const int label = list.AddGroup("标注参数");
    list.AddOptionProperty(label, "标注前缀", "", {"DN", "De"});
    EXPECT_EQ(list.GetGroupCount(), 2);
    EXPECT_EQ(list.GetPropertyCount(0), 2);
    EXPECT_EQ(list.GetPropertyName(1, 0), "标注前缀");
    EXPECT_TRUE(list.IsOptionProperty(1, 0));
    EXPECT_EQ(list.GetOptions(1, 0), (std::vector<std::string>{"DN", "De"}));

    EXPECT_TRUE(list.SetValue(0, 1, "0.0015"));
    EXPECT_TRUE(list.SetValue(1, 0, "De"));
    EXPECT_EQ(list.GetValue(0, 1), "0.0015");
    EXPECT_EQ(list.GetValue(1, 0), "De");
    EXPECT_EQ(list.GetValue(0, 0), "");
    EXPECT_FALSE(list.SetValue(2, 0, "x"));
    EXPECT_EQ(list.GetValue(1, 5), "");
}

TEST(PropList, UserChangesAreReportedAndOptionsAreEnforced)
{
    KvUiPropList list;
    list.AddGroup("标注参数");
    list.AddOptionProperty(0, "参数A", "公称直径", {"公称直径", "长度", "外径", "内径"});
    list.AddTextProperty(0, "连接字符", "");
    std::vector<std::string> changes;
    list.SetChangeHandler([&](int group, int prop, const std::string& value) {
        changes.push_back(std::to_string(group) + ":" + std::to_string(prop) + "=" + value);
    });
    list.SetValue(0, 1, "x");  // by code: no report
    EXPECT_FALSE(list.SetValueAsUser(0, 0, "半径"));
    EXPECT_TRUE(list.SetValueAsUser(0, 0, "外径"));
    EXPECT_TRUE(list.SetValueAsUser(0, 1, "×"));
    EXPECT_EQ(changes, (std::vector<std::string>{"0:0=外径", "0:1=×"}));
    EXPECT_EQ(list.GetValue(0, 0), "外径");
}

// ---- list grid ----------------------------------------------------------------------------------

TEST(ListGrid, RowsCellsAndSelectionReportsLikeTheGridLibrary)
{
    KvUiListGrid grid;
    grid.InsertColumn(0, "管材名称", 90);
    int selections = 0;
    grid.SetSelChangedHandler([&]() { ++selections; });
    for (const char* name : {"PP-R", "PE", "镀锌钢管"})
        grid.SetItemText(grid.AddRow(), 0, name);
    EXPECT_EQ(grid.GetRowCount(), 3);
    EXPECT_EQ(grid.GetCurSel(), -1);
    EXPECT_EQ(selections, 0);
    grid.SetCurSel(2);
    EXPECT_EQ(grid.GetCurSel(), 2);
    EXPECT_EQ(selections, 1);
    EXPECT_EQ(grid.GetItemText(grid.GetCurSel(), 0), "镀锌钢管");
    EXPECT_TRUE(grid.RemoveRow(2));
    EXPECT_EQ(grid.GetCurSel(), -1);
    EXPECT_GE(selections, 2);
    grid.RemoveAll();
    EXPECT_EQ(grid.GetRowCount(), 0);
    EXPECT_EQ(grid.GetItemText(0, 0), "");
}

TEST(ListGrid, UserEditsReportTheCellAndReadOnlyCellsRefuse)
{
    KvUiListGrid grid;
    grid.InsertColumn(0, "公称直径", 50);
    grid.InsertColumn(1, "内径(mm)", 50);
    grid.AddRow();
    grid.SetItemReadOnly(0, 0, true);
    std::vector<std::pair<int, int>> edits;
    grid.SetItemChangedHandler([&](int r, int c) { edits.emplace_back(r, c); });
    grid.SetItemText(0, 1, "15");  // by code: no report
    EXPECT_FALSE(grid.SetItemTextAsUser(0, 0, "20"));
    EXPECT_TRUE(grid.SetItemTextAsUser(0, 1, "16"));
    EXPECT_EQ(edits, (std::vector<std::pair<int, int>>{{0, 1}}));
    EXPECT_EQ(grid.GetItemText(0, 1), "16");
    EXPECT_TRUE(grid.SetItemCheck(0, 0, 1));
    EXPECT_EQ(grid.GetItemCheck(0, 0), 1);
    EXPECT_EQ(grid.GetItemCheck(0, 1), -1);
}

// ---- image button -------------------------------------------------------------------------------

TEST(ImageButton, LoadsAnIconFileAndKeepsItsTooltip)
{
    KvUiImageButton button;
    EXPECT_TRUE(button.SetImage(std::string(TAV_MAIN_DIR) + "/Skin/folder.ico"));
    EXPECT_TRUE(button.HasImage());
    EXPECT_FALSE(button.icon().isNull());
    button.SetTooltip("添加管材");
    EXPECT_EQ(button.GetTooltip(), "添加管材");
    int clicks = 0;
    button.SetClickHandler([&]() { ++clicks; });
    button.click();
    EXPECT_EQ(clicks, 1);
}

TEST(ImageButton, MissingImageFileIsReported)
{
    KvUiImageButton button;
    EXPECT_FALSE(button.SetImage(std::string(TAV_MAIN_DIR) + "/Skin/none.ico"));
    EXPECT_FALSE(button.HasImage());
}

// ---- ending during initialisation ----------------------------------------------------------------

namespace {

class EndsAtOnce : public KvUiDialog {
public:
    bool OnInitDialog() override
    {
        EndDialog(IDCANCEL);
        return FALSE_RESULT;
    }
    static constexpr bool FALSE_RESULT = false;
};

class FocusOwnDialog : public KvUiDialog {
public:
    bool OnInitDialog() override { return false; }  // "I placed the focus myself"
};

}  // namespace

TEST(Dialog, EndDialogDuringInitialisationReturnsWithoutShowing)
{
    EndsAtOnce dialog;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(Dialog, InitialisationReturningFalseStillShowsTheDialog)
{
    FocusOwnDialog dialog;
    bool shown = false;
    WhenShown([&]() {
        shown = dialog.isVisible();
        dialog.EndDialog(IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(shown);
}
