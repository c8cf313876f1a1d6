// The grid's Qt adapter and view: the model stays consistent through every change of the grid, and
// the view's editors reach the grid's hooks the same way the grid's own entry points do.
#include "platform/ui/KvUiGrid.h"
#include "platform/ui/KvUiGridModel.h"
#include "platform/ui/KvUiGridView.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QToolButton>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

QStringList g_warnings;

void CollectWarnings(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        g_warnings << message;
}

class HookGrid : public KvUiGrid {
public:
    HookGrid() : KvUiGrid(true, 100) {}
    std::vector<std::string> log;
    bool refuseEdit = false;
    bool refuseModify = false;

    void OnBeforeEdit(KvUiGridCell* cell, bool& allow) override
    {
        log.push_back("BeforeEdit " + std::to_string(cell->GetColIndex()));
        allow = !refuseEdit;
    }
    void OnCellComboString(KvUiGridCell*, std::vector<std::string>& items) override
    {
        log.push_back("Combo");
        items = {"单圆环", "双圆环", "实心圆"};
    }
    bool OnModified(KvUiGridCell*, const std::string& text) override
    {
        log.push_back("Modified " + text);
        return !refuseModify;
    }
    void OnDataChanged() override { log.push_back("DataChanged"); }
    void OnCurChanged() override { log.push_back("CurChanged"); }
};

void Populate(KvUiGrid& grid)
{
    grid.AppendCol("名称", 100);
    grid.AppendCol("值", 80);
    for (const char* name : {"给水", "热水", "排水"}) {
        auto* row = static_cast<KvUiGridTreeRow*>(grid.AppendRow());
        (*row)[0].SetText(name);
        for (int i = 0; i < 2; ++i)
            (*row->AppendChild())[0].SetText(std::string(name) + std::to_string(i));
    }
}

}  // namespace

TEST(GridModel, StaysConsistentThroughEveryKindOfChange)
{
    g_warnings.clear();
    QtMessageHandler previous = qInstallMessageHandler(CollectWarnings);
    {
        HookGrid grid;
        Populate(grid);
        KvUiGridModel model(&grid);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);

        EXPECT_EQ(model.rowCount(), 3);
        EXPECT_EQ(model.columnCount(), 2);
        const QModelIndex second = model.index(1, 0);
        EXPECT_EQ(model.rowCount(second), 2);
        EXPECT_EQ(model.index(1, 0, second).data().toString(), QStringLiteral("热水1"));
        EXPECT_EQ(model.parent(model.index(1, 1, second)), second);

        grid.AppendRow();
        static_cast<KvUiGridTreeRow*>(grid.GetRow(0))->InsertChild(1);
        grid.MoveRow(0, 2);
        grid.MoveRow(3, 0);
        grid.DelRow(1);
        EXPECT_TRUE(static_cast<KvUiGridTreeRow*>(grid.GetRow(1))->DelChild(0));
        (*grid.GetRow(0))[1].SetText("7");
        grid.SetCellTextAsUser(0, 1, "8");
        grid.InsertChildAsUser(grid.GetRow(1), 0);
        grid.InsertRowAsUser(0);
        grid.SelectRow(2);
        grid.DeleteSelectedAsUser();
        EXPECT_TRUE(grid.DelRow(grid.GetRow(2)->GetChild(0)));
        grid.AppendCol("备注", 50);
        grid.DelCol(0);
        grid.Reset();
        Populate(grid);
    }
    qInstallMessageHandler(previous);
    EXPECT_TRUE(g_warnings.isEmpty()) << g_warnings.join(QStringLiteral("\n")).toStdString();
}

TEST(GridModel, ReportsCellChangesAndWritesThroughTheHooks)
{
    HookGrid grid;
    Populate(grid);
    KvUiGridModel model(&grid);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    (*grid.GetRow(2))[1].SetText("x");
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.front().front().toModelIndex(), model.index(2, 1));

    grid.log.clear();
    EXPECT_TRUE(model.setData(model.index(0, 1), QStringLiteral("压力流")));
    EXPECT_EQ(grid.log, (std::vector<std::string>{"BeforeEdit 1", "Modified 压力流", "DataChanged"}));
    grid.refuseModify = true;
    EXPECT_FALSE(model.setData(model.index(0, 1), QStringLiteral("重力流")));
    EXPECT_EQ(model.index(0, 1).data().toString(), QStringLiteral("压力流"));
}

TEST(GridModel, ReadOnlyColumnsAreNotEditableItems)
{
    HookGrid grid;
    Populate(grid);
    grid.GetCol(0)->SetReadOnly(true);
    KvUiGridModel model(&grid);
    EXPECT_FALSE(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_TRUE(model.flags(model.index(0, 1)) & Qt::ItemIsEditable);
}

TEST(GridModel, ForgetsAGridThatGoesFirst)
{
    auto grid = std::make_unique<HookGrid>();
    Populate(*grid);
    KvUiGridModel model(grid.get());
    grid.reset();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.grid(), nullptr);
}

class GridViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Populate(grid);
        ASSERT_TRUE(grid.Create(&host, 32946, 0x56810000));
        host.resize(400, 300);
        grid.MoveWindow(0, 0, 400, 300);
        host.show();
        view = grid.GetView();
        grid.log.clear();
    }
    QWidget host;
    HookGrid grid;
    KvUiGridView* view = nullptr;
};

TEST_F(GridViewTest, CreateMakesTheWindowOnce)
{
    ASSERT_NE(grid.GetSafeHwnd(), nullptr);
    EXPECT_EQ(view->parentWidget(), &host);
    EXPECT_FALSE(grid.Create(&host, 1, 0));
    EXPECT_EQ(grid.GetDlgCtrlID(), 32946);
}

TEST_F(GridViewTest, EditorOpensOnlyWhenBeforeEditAllows)
{
    grid.refuseEdit = true;
    view->edit(view->gridModel()->index(0, 1));
    EXPECT_EQ(view->gridDelegate()->currentEditor(), nullptr);
    EXPECT_EQ(grid.log, (std::vector<std::string>{"BeforeEdit 1"}));

    grid.refuseEdit = false;
    const QModelIndex at = view->gridModel()->index(0, 1);
    view->setCurrentIndex(at);
    grid.log.clear();
    view->edit(at);
    auto* line = qobject_cast<QLineEdit*>(view->gridDelegate()->currentEditor());
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(grid.GetEditCell(), grid.GetCell(0, 1));
    line->setText(QStringLiteral("0.45"));
    view->gridDelegate()->setModelData(line, view->model(), at);
    EXPECT_EQ(grid.GetCell(0, 1)->GetText(), "0.45");
    // The open cell is not asked again when its text arrives.
    EXPECT_EQ(grid.log.front(), "BeforeEdit 1");
    EXPECT_EQ(std::count(grid.log.begin(), grid.log.end(), "BeforeEdit 1"), 1);
    EXPECT_EQ(grid.log.back(), "DataChanged");
}

TEST_F(GridViewTest, DropDownColumnsEditWithTheHooksItems)
{
    grid.GetCol(1)->SetDropDown(true);
    const QModelIndex at = view->gridModel()->index(2, 1);
    view->setCurrentIndex(at);
    grid.log.clear();
    view->edit(at);
    auto* combo = qobject_cast<QComboBox*>(view->gridDelegate()->currentEditor());
    ASSERT_NE(combo, nullptr);
    EXPECT_FALSE(combo->isEditable());
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(1), QStringLiteral("双圆环"));
    combo->setCurrentIndex(2);
    view->gridDelegate()->setModelData(combo, view->model(), at);
    EXPECT_EQ(grid.GetCell(2, 1)->GetText(), "实心圆");
    EXPECT_EQ(grid.log, (std::vector<std::string>{"BeforeEdit 1", "Combo", "Modified 实心圆", "DataChanged"}));
}

TEST_F(GridViewTest, AutoCloseCellClosesTheOpenEditorAfterTheDelay)
{
    const QModelIndex at = view->gridModel()->index(1, 1);
    view->setCurrentIndex(at);
    view->edit(at);
    ASSERT_NE(view->gridDelegate()->currentEditor(), nullptr);
    grid.AutoCloseCell(20);
    EXPECT_NE(view->gridDelegate()->currentEditor(), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&]() { return view->gridDelegate()->currentEditor() == nullptr; }, 2000));
    EXPECT_EQ(grid.GetEditCell(), nullptr);
}

TEST_F(GridViewTest, CurrentRowFollowsTheViewAndTheGrid)
{
    view->setCurrentIndex(view->gridModel()->index(2, 0));
    EXPECT_EQ(grid.GetCurRowIndex(), 2);
    EXPECT_EQ(grid.log, (std::vector<std::string>{"CurChanged"}));
    grid.SetCurRowIndex(0);
    EXPECT_EQ(view->currentIndex().row(), 0);
    EXPECT_FALSE(view->currentIndex().parent().isValid());
}

TEST_F(GridViewTest, GridSelectionShowsInTheView)
{
    grid.SelectRow(1);
    const QModelIndexList selected = view->selectionModel()->selectedIndexes();
    ASSERT_FALSE(selected.isEmpty());
    for (const QModelIndex& index : selected)
        EXPECT_EQ(index.row(), 1);
}

TEST_F(GridViewTest, ViewThatGoesFirstLeavesAWorkingGrid)
{
    delete view;
    EXPECT_EQ(grid.GetSafeHwnd(), nullptr);
    EXPECT_TRUE(grid.SetCellTextAsUser(0, 1, "1"));
    grid.AutoCloseCell(10);
    grid.Refresh();
}

TEST_F(GridViewTest, NotificationsReachTheViewsSignal)
{
    QSignalSpy spy(view, &KvUiGridView::notify);
    grid.SendParentNotify(0x300);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.front().front().toInt(), 0x300);
}

TEST_F(GridViewTest, ButtonCellEditorPressesTheGridsCellButton)
{
    class ColourGrid : public KvUiGrid {
    public:
        std::vector<std::string> log;
        bool OnCellButtonDown(KvUiGridCell*, std::string& text) override
        {
            log.push_back("ButtonDown " + text);
            text = "151";
            AutoCloseCell(10);
            return true;
        }
        bool OnModified(KvUiGridCell*, const std::string& text) override
        {
            log.push_back("Modified " + text);
            return true;
        }
        void OnDataChanged() override { log.push_back("DataChanged"); }
        bool OnCellButtonTip(KvUiGridRow*, int col, std::string& text) override
        {
            text = "选择颜色";
            return col == 1;
        }
    };
    QWidget parent;
    ColourGrid colours;
    colours.AppendCol("名称", 80);
    colours.AppendCol("颜色", 40);
    colours.GetCol(1)->SetButton(true);
    (*colours.AppendRow())[1].SetText("7");
    ASSERT_TRUE(colours.Create(&parent, 1, 0));
    parent.show();
    KvUiGridView* colourView = colours.GetView();
    const QModelIndex at = colourView->gridModel()->index(0, 1);
    EXPECT_EQ(at.data(Qt::ToolTipRole).toString(), QStringLiteral("选择颜色"));
    EXPECT_FALSE(colourView->gridModel()->index(0, 0).data(Qt::ToolTipRole).isValid());
    colourView->setCurrentIndex(at);
    colourView->edit(at);
    QWidget* editor = colourView->gridDelegate()->currentEditor();
    ASSERT_NE(editor, nullptr);
    auto* button = editor->findChild<QToolButton*>();
    ASSERT_NE(button, nullptr);
    button->click();
    EXPECT_EQ(colours.GetCell(0, 1)->GetText(), "151");
    EXPECT_EQ(colours.log, (std::vector<std::string>{"ButtonDown 7", "Modified 151", "DataChanged"}));
    EXPECT_TRUE(QTest::qWaitFor([&]() { return colourView->gridDelegate()->currentEditor() == nullptr; }, 2000));
}

TEST_F(GridViewTest, PasteFromTheClipboardGoesThroughTheHooks)
{
    view->setCurrentIndex(view->gridModel()->index(1, 1));
    grid.log.clear();
    QApplication::clipboard()->setText(QStringLiteral("0.5\n0.6"));
    view->pasteClipboard();
    EXPECT_EQ(grid.GetCell(1, 1)->GetText(), "0.5");
    EXPECT_EQ(grid.GetCell(2, 1)->GetText(), "0.6");
    EXPECT_EQ(std::count(grid.log.begin(), grid.log.end(), "DataChanged"), 2);
}

TEST_F(GridViewTest, InsertKeyInsertsARowOnlyWhenTheStyleAllowsIt)
{
    view->setFocus();
    view->setCurrentIndex(view->gridModel()->index(1, 0));
    QTest::keyClick(view, Qt::Key_Insert);
    EXPECT_EQ(grid.GetRowNum(), 3);
    grid.ModifyGridStyle(0, KvUiGrid::StyleInsertKey);
    QTest::keyClick(view, Qt::Key_Insert);
    ASSERT_EQ(grid.GetRowNum(), 4);
    EXPECT_EQ((*grid.GetRow(2))[0].GetText(), "热水");
    EXPECT_EQ(grid.GetCurRowIndex(), 1);
    EXPECT_EQ((*grid.GetRow(1))[0].GetText(), "");
}

TEST_F(GridViewTest, RightClickReachesTheRowHook)
{
    class ClickGrid : public KvUiGrid {
    public:
        KvUiGridRow* clicked = nullptr;
        int calls = 0;
        void OnRClickRow(KvUiGridRow* row, KvUiPoint) override
        {
            clicked = row;
            ++calls;
        }
    };
    QWidget parent;
    ClickGrid clicks;
    clicks.AppendCol("名称", 80);
    (*clicks.AppendRow())[0].SetText("a");
    ASSERT_TRUE(clicks.Create(&parent, 1, 0));
    parent.resize(200, 200);
    clicks.MoveWindow(0, 0, 200, 200);
    parent.show();
    KvUiGridView* v = clicks.GetView();
    const QRect cell = v->visualRect(v->gridModel()->index(0, 0));
    QContextMenuEvent event(QContextMenuEvent::Mouse, cell.center(), v->viewport()->mapToGlobal(cell.center()));
    QApplication::sendEvent(v->viewport(), &event);
    EXPECT_EQ(clicks.calls, 1);
    EXPECT_EQ(clicks.clicked, clicks.GetRow(0));
}
