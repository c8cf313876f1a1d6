// The grid's data and hooks, driven through its user-level entry points (no view).
#include "platform/ui/KvUiGrid.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A grid that writes every hook call into a log and refuses what a test tells it to.
class RecordingGrid : public KvUiGrid {
public:
    explicit RecordingGrid(bool tree = false) : KvUiGrid(tree, 100) {}

    std::vector<std::string> log;
    bool refuseEdit = false;
    bool refuseModify = false;
    bool refuseInsert = false;
    std::vector<std::string> comboItems;
    std::string buttonText;  // empty: the button changes nothing
    KvUiGridRow* suppliedRow = nullptr;
    std::string boldWhenText;

    void OnRClickRow(KvUiGridRow* row, KvUiPoint point) override
    {
        log.push_back("RClick " + std::to_string(row ? row->GetIndex() : -1) + " " + std::to_string(point.x));
    }
    void OnBeforeEdit(KvUiGridCell* cell, bool& allow) override
    {
        log.push_back("BeforeEdit " + std::to_string(cell->GetColIndex()));
        if (refuseEdit)
            allow = false;
    }
    void OnCellComboString(KvUiGridCell*, std::vector<std::string>& items) override
    {
        log.push_back("Combo");
        items.insert(items.end(), comboItems.begin(), comboItems.end());
    }
    bool OnCellButtonDown(KvUiGridCell*, std::string& text) override
    {
        log.push_back("ButtonDown " + text);
        if (buttonText.empty())
            return false;
        text = buttonText;
        return true;
    }
    bool OnModified(KvUiGridCell* cell, const std::string& newText) override
    {
        log.push_back("Modified " + cell->GetText() + "->" + newText);
        return !refuseModify;
    }
    void OnDataChanged() override { log.push_back("DataChanged"); }
    void OnCurChanged() override { log.push_back("CurChanged " + std::to_string(GetCurRowIndex())); }
    void OnBeforeRefresh(KvUiGridCell* cell, KvUiGridCellStyle& style) override
    {
        if (!boldWhenText.empty() && cell->GetText() == boldWhenText) {
            style.fontWeight = 700;
            style.background = AciToRgb(1);
            style.foreground = style.background.Complement();
        }
        if (cell->GetColIndex() == 1 && cell->GetText().empty())
            cell->SetText("256");
    }
    bool OnBeforeInsertRow(int index, KvUiGridRow*& row) override
    {
        log.push_back("BeforeInsertRow " + std::to_string(index));
        if (suppliedRow) {
            row = suppliedRow;
            suppliedRow = nullptr;
        }
        return !refuseInsert;
    }
    bool OnBeforeInsertChild(KvUiGridRow* parent, int index, KvUiGridRow*& child) override
    {
        log.push_back("BeforeInsertChild " + (*parent)[0].GetText() + " " + std::to_string(index));
        (*child)[0].SetText("preset");
        return !refuseInsert;
    }
    void OnInsertRow(KvUiGridRow* row) override { log.push_back("InsertRow " + (*row)[0].GetText()); }
    void OnEndPaste() override { log.push_back("EndPaste"); }
    bool OnCellButtonTip(KvUiGridRow*, int col, std::string& text) override
    {
        if (col != 2)
            return false;
        text = "选择颜色";
        return true;
    }
};

// Row data that counts its destructions.
struct CountedData : KvUiGridRowData {
    explicit CountedData(int* counter) : counter(counter) {}
    ~CountedData() override { ++*counter; }
    int* counter;
};

void Fill(KvUiGrid& grid, const std::vector<std::string>& names)
{
    for (const std::string& name : names) {
        KvUiGridRow* row = grid.AppendRow();
        (*row)[0].SetText(name);
    }
}

std::vector<std::string> Names(const KvUiGrid& grid)
{
    std::vector<std::string> out;
    for (int i = 0; i < grid.GetRowNum(); ++i)
        out.push_back((*grid.GetRow(i))[0].GetText());
    return out;
}

class GridHooks : public ::testing::Test {
protected:
    void SetUp() override
    {
        grid.AppendCol("名称", 100);
        grid.AppendCol("值", 50);
        grid.AppendCol("颜色", 50);
        Fill(grid, {"a", "b", "c"});
        grid.log.clear();
    }
    RecordingGrid grid;
};

}  // namespace

// ---- editing ------------------------------------------------------------------------------------

TEST_F(GridHooks, AnEditRunsBeforeEditModifiedThenDataChangedInThatOrder)
{
    ASSERT_TRUE(grid.SetCellTextAsUser(1, 1, "7"));
    EXPECT_EQ(grid.log, (std::vector<std::string>{"BeforeEdit 1", "Modified ->7", "DataChanged"}));
    EXPECT_EQ(grid.GetCell(1, 1)->GetText(), "7");
    EXPECT_EQ(grid.GetEditCell(), nullptr);
}

TEST_F(GridHooks, BeforeEditRefusalLeavesTheCellAndSkipsTheOtherHooks)
{
    grid.refuseEdit = true;
    EXPECT_FALSE(grid.BeginEdit(grid.GetCell(0, 0)));
    EXPECT_FALSE(grid.SetCellTextAsUser(0, 0, "x"));
    EXPECT_EQ(grid.GetCell(0, 0)->GetText(), "a");
    EXPECT_EQ(grid.log, (std::vector<std::string>{"BeforeEdit 0", "BeforeEdit 0"}));
}

TEST_F(GridHooks, ModificationRefusalKeepsTheOldTextAndReportsNoChange)
{
    grid.refuseModify = true;
    EXPECT_FALSE(grid.SetCellTextAsUser(2, 0, "z"));
    EXPECT_EQ(grid.GetCell(2, 0)->GetText(), "c");
    EXPECT_EQ(grid.log, (std::vector<std::string>{"BeforeEdit 0", "Modified c->z"}));
}

TEST_F(GridHooks, AnOpenCellIsNotAskedAgainWhenItsTextArrives)
{
    KvUiGridCell* cell = grid.GetCell(0, 1);
    ASSERT_TRUE(grid.BeginEdit(cell));
    EXPECT_EQ(grid.GetEditCell(), cell);
    ASSERT_TRUE(grid.SetCellTextAsUser(cell, "5"));
    EXPECT_EQ(grid.log, (std::vector<std::string>{"BeforeEdit 1", "Modified ->5", "DataChanged"}));
}

TEST_F(GridHooks, ReadOnlyColumnsAndCellsAreNotEditableWithoutAskingTheHook)
{
    grid.GetCol(0)->SetReadOnly(true);
    EXPECT_FALSE(grid.SetCellTextAsUser(0, 0, "x"));
    grid.GetCell(0, 1)->SetReadOnly(true);
    EXPECT_FALSE(grid.SetCellTextAsUser(0, 1, "x"));
    EXPECT_TRUE(grid.log.empty());
    EXPECT_TRUE(grid.SetCellTextAsUser(1, 1, "x"));
}

TEST_F(GridHooks, DropDownOffersColumnOptionsThenHookItemsAndTakesTheChosenEntry)
{
    grid.GetCol(1)->SetDropDown(true);
    grid.GetCol(1)->AddOption("固定");
    grid.comboItems = {"压力流", "重力流"};
    EXPECT_EQ(grid.GetComboItems(grid.GetCell(0, 1)), (std::vector<std::string>{"固定", "压力流", "重力流"}));
    grid.log.clear();
    ASSERT_TRUE(grid.ChooseComboItem(grid.GetCell(0, 1), 2));
    EXPECT_EQ(grid.GetCell(0, 1)->GetText(), "重力流");
    EXPECT_EQ(grid.log, (std::vector<std::string>{"BeforeEdit 1", "Combo", "Modified ->重力流", "DataChanged"}));
    EXPECT_FALSE(grid.ChooseComboItem(grid.GetCell(0, 1), 3));
    EXPECT_EQ(grid.GetCell(0, 1)->GetText(), "重力流");
}

TEST_F(GridHooks, CellButtonThatChangesTheTextGoesThroughModification)
{
    grid.GetCol(2)->SetButton(true);
    (*grid.GetRow(0))[2].SetText("7");
    grid.buttonText = "1";
    EXPECT_TRUE(grid.PressCellButton(grid.GetCell(0, 2)));
    EXPECT_EQ(grid.GetCell(0, 2)->GetText(), "1");
    EXPECT_EQ(grid.log, (std::vector<std::string>{"ButtonDown 7", "Modified 7->1", "DataChanged"}));
}

TEST_F(GridHooks, CellButtonThatChangesNothingLeavesTheCell)
{
    (*grid.GetRow(0))[2].SetText("7");
    EXPECT_FALSE(grid.PressCellButton(grid.GetCell(0, 2)));
    EXPECT_EQ(grid.GetCell(0, 2)->GetText(), "7");
    EXPECT_EQ(grid.log, (std::vector<std::string>{"ButtonDown 7"}));
}

TEST_F(GridHooks, ButtonTipComesFromTheHookForItsColumnOnly)
{
    std::string tip;
    EXPECT_TRUE(grid.GetCellButtonTip(grid.GetCell(0, 2), tip));
    EXPECT_EQ(tip, "选择颜色");
    tip.clear();
    EXPECT_FALSE(grid.GetCellButtonTip(grid.GetCell(0, 1), tip));
    EXPECT_TRUE(tip.empty());
}

TEST_F(GridHooks, PasteWritesEachCellThroughTheHooksAndEndsOnce)
{
    grid.refuseModify = false;
    const int changed = grid.Paste(1, 0, "x\t1\ny\t2\nbeyond\t3\n");
    EXPECT_EQ(changed, 4);
    EXPECT_EQ(Names(grid), (std::vector<std::string>{"a", "x", "y"}));
    EXPECT_EQ(grid.GetCell(2, 1)->GetText(), "2");
    EXPECT_EQ(grid.log.back(), "EndPaste");
    EXPECT_EQ(std::count(grid.log.begin(), grid.log.end(), "EndPaste"), 1);
    EXPECT_EQ(std::count(grid.log.begin(), grid.log.end(), "DataChanged"), 4);
}

TEST_F(GridHooks, PasteHonoursRefusals)
{
    grid.refuseModify = true;
    EXPECT_EQ(grid.Paste(0, 0, "q"), 0);
    EXPECT_EQ(Names(grid), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(grid.log.back(), "EndPaste");
}

TEST_F(GridHooks, BeforeRefreshSetsTheDrawnStyleAndMayFillTheCell)
{
    grid.boldWhenText = "b";
    KvUiGridCellStyle style = grid.GetCellStyle(grid.GetCell(1, 0));
    EXPECT_EQ(style.fontWeight, 700);
    EXPECT_EQ(style.background, KvUiColor::Rgb(255, 0, 0));
    EXPECT_EQ(style.foreground, KvUiColor::Rgb(0, 255, 255));
    EXPECT_EQ(grid.GetCellStyle(grid.GetCell(0, 0)).fontWeight, 400);
    // The hook gives an empty column-1 cell the text "256": drawn and kept.
    EXPECT_EQ(grid.GetCellStyle(grid.GetCell(0, 1)).text, "256");
    EXPECT_EQ(grid.GetCell(0, 1)->GetText(), "256");
}

TEST_F(GridHooks, ColumnBackgroundIsTheDefaultCellBackground)
{
    grid.GetCol(0)->SetBackColor(KvUiColor::Rgb(240, 240, 240));
    EXPECT_EQ(grid.GetCellStyle(grid.GetCell(2, 0)).background, KvUiColor::Rgb(240, 240, 240));
    EXPECT_FALSE(grid.GetCellStyle(grid.GetCell(2, 1)).background.valid);
}

TEST_F(GridHooks, RightClickReachesTheHookWithRowAndPoint)
{
    grid.RightClickRow(grid.GetRow(2), KvUiPoint{15, 3});
    EXPECT_EQ(grid.log, (std::vector<std::string>{"RClick 2 15"}));
}

TEST_F(GridHooks, SendParentNotifyReachesTheParentsHandler)
{
    std::vector<int> codes;
    grid.SetParentNotifyHandler([&](KvUiGrid* from, int code) {
        EXPECT_EQ(from, &grid);
        codes.push_back(code);
    });
    grid.SendParentNotify(0x300);
    EXPECT_EQ(codes, (std::vector<int>{0x300}));
}

TEST_F(GridHooks, AutoCloseCellWithoutAViewEndsTheEditAtOnce)
{
    ASSERT_TRUE(grid.BeginEdit(grid.GetCell(0, 1)));
    grid.AutoCloseCell(100);
    EXPECT_EQ(grid.GetEditCell(), nullptr);
}

// ---- insertion ----------------------------------------------------------------------------------

TEST_F(GridHooks, UserInsertionRunsBeforeAndAfterHooks)
{
    KvUiGridRow* row = grid.InsertRowAsUser(1);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->GetIndex(), 1);
    EXPECT_EQ(grid.GetRowNum(), 4);
    EXPECT_EQ(grid.log, (std::vector<std::string>{"BeforeInsertRow 1", "InsertRow "}));
}

TEST_F(GridHooks, CancelledInsertionAddsNothing)
{
    grid.refuseInsert = true;
    EXPECT_EQ(grid.InsertRowAsUser(-1), nullptr);
    EXPECT_EQ(grid.GetRowNum(), 3);
    EXPECT_EQ(grid.log, (std::vector<std::string>{"BeforeInsertRow 3"}));
}

TEST_F(GridHooks, BeforeInsertRowMaySupplyTheRow)
{
    auto* own = new KvUiGridRow;
    (*own)[0].SetText("own");
    grid.suppliedRow = own;
    EXPECT_EQ(grid.InsertRowAsUser(0), own);
    EXPECT_EQ(Names(grid), (std::vector<std::string>{"own", "a", "b", "c"}));
    EXPECT_EQ(grid.log.back(), "InsertRow own");
}

TEST_F(GridHooks, AppendingByCodeCallsNoHooks)
{
    Fill(grid, {"d"});
    (*grid.GetRow(3))[1].SetText("x");
    EXPECT_TRUE(grid.log.empty());
}

// ---- tree rows ----------------------------------------------------------------------------------

TEST(GridTree, TreeGridsCreateTreeRowsThatHoldChildren)
{
    RecordingGrid grid(true);
    grid.AppendCol("键", 100);
    grid.AppendCol("值", 100);
    KvUiGridRow* root = grid.AppendRow();
    ASSERT_TRUE(root->IsTreeRow());
    auto* tree = static_cast<KvUiGridTreeRow*>(root);
    (*tree)[0].SetText("给排水");
    KvUiGridRow* child = tree->AppendChild();
    (*child)[0].SetText("管道");
    auto* grandChild = static_cast<KvUiGridTreeRow*>(child)->AppendChild(new KvUiGridRow);
    (*grandChild)[0].SetText("给水");

    EXPECT_EQ(grid.GetRowNum(), 1);
    EXPECT_EQ(tree->GetChildNum(), 1);
    EXPECT_TRUE(root->IsRootRow());
    EXPECT_FALSE(child->IsRootRow());
    EXPECT_EQ(child->GetParentRow(), tree);
    EXPECT_EQ(grandChild->GetLevel(), 2);
    EXPECT_EQ(grandChild->GetGrid(), &grid);
    EXPECT_EQ(grandChild->GetCellNum(), 2);
    EXPECT_EQ(grid.GetAllRows().size(), 3u);
}

TEST(GridTree, UserChildInsertionRunsTheChildHookWithPresetCells)
{
    RecordingGrid grid(true);
    grid.AppendCol("键", 100);
    auto* parent = static_cast<KvUiGridTreeRow*>(grid.AppendRow());
    (*parent)[0].SetText("LAYER");
    KvUiGridRow* child = grid.InsertChildAsUser(parent, -1);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ((*child)[0].GetText(), "preset");
    EXPECT_EQ(grid.log, (std::vector<std::string>{"BeforeInsertChild LAYER 0", "InsertRow preset"}));

    grid.refuseInsert = true;
    EXPECT_EQ(grid.InsertChildAsUser(parent, 0), nullptr);
    EXPECT_EQ(parent->GetChildNum(), 1);
}

TEST(GridTree, ChildInsertionNeedsATreeRowOfThisGrid)
{
    RecordingGrid grid(false);
    grid.AppendCol("键", 100);
    KvUiGridRow* flat = grid.AppendRow();
    EXPECT_EQ(grid.InsertChildAsUser(flat, 0), nullptr);
    RecordingGrid other(true);
    other.AppendCol("键", 100);
    EXPECT_EQ(grid.InsertChildAsUser(other.AppendRow(), 0), nullptr);
    EXPECT_TRUE(grid.log.empty());
}

// ---- row data ownership -------------------------------------------------------------------------

TEST(GridRowData, RowDataIsDeletedWithItsRowAndWhenReplaced)
{
    int destroyed = 0;
    KvUiGrid grid(true);
    grid.AppendCol("a", 10);
    for (int i = 0; i < 3; ++i)
        grid.AppendRow()->SetExtendData(new CountedData(&destroyed));
    auto* parent = static_cast<KvUiGridTreeRow*>(grid.GetRow(0));
    parent->AppendChild()->SetExtendData(new CountedData(&destroyed));

    grid.GetRow(2)->SetExtendData(new CountedData(&destroyed));
    EXPECT_EQ(destroyed, 1);  // the replaced one
    EXPECT_TRUE(grid.DelRow(0));
    EXPECT_EQ(destroyed, 3);  // the row and its child
    grid.Reset();
    EXPECT_EQ(destroyed, 5);
    EXPECT_EQ(grid.GetRowNum(), 0);
}

TEST(GridRowData, RowDataGoesWithTheGrid)
{
    int destroyed = 0;
    {
        KvUiGrid grid;
        grid.AppendRow()->SetExtendData(new CountedData(&destroyed));
        grid.AppendRow()->SetExtendData(new CountedData(&destroyed));
        EXPECT_EQ(destroyed, 0);
    }
    EXPECT_EQ(destroyed, 2);
}

TEST(GridRowData, SettingTheSameDataTwiceKeepsIt)
{
    int destroyed = 0;
    KvUiGridRow row;
    auto* data = new CountedData(&destroyed);
    row.SetExtendData(data);
    row.SetExtendData(data);
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(row.GetExtendData(), data);
    row.SetExtendData(nullptr);
    EXPECT_EQ(destroyed, 1);
}

// ---- rows, current row, selection ---------------------------------------------------------------

TEST_F(GridHooks, MoveRowReordersAndTheCurrentRowFollows)
{
    grid.SetCurRowIndex(0);
    EXPECT_TRUE(grid.MoveRow(0, 2));
    EXPECT_EQ(Names(grid), (std::vector<std::string>{"b", "c", "a"}));
    EXPECT_EQ(grid.GetCurRowIndex(), 2);
    EXPECT_TRUE(grid.MoveRow(2, 1));
    EXPECT_EQ(Names(grid), (std::vector<std::string>{"b", "a", "c"}));
    EXPECT_FALSE(grid.MoveRow(0, 3));
    EXPECT_FALSE(grid.MoveRow(-1, 0));
    EXPECT_EQ(Names(grid), (std::vector<std::string>{"b", "a", "c"}));
}

TEST_F(GridHooks, CurrentRowChangesCallTheHookOnlyOnChange)
{
    grid.SetCurRowIndex(1);
    grid.SetCurRowIndex(1);
    grid.SetCurRowIndex(-1);
    EXPECT_EQ(grid.log, (std::vector<std::string>{"CurChanged 1", "CurChanged -1"}));
    grid.SetCurRowIndex(7);
    EXPECT_EQ(grid.GetCurRowIndex(), -1);
}

TEST_F(GridHooks, DeletingTheCurrentRowClearsIt)
{
    grid.SetCurRowIndex(1);
    grid.log.clear();
    EXPECT_TRUE(grid.DelRow(1));
    EXPECT_EQ(grid.GetCurRowIndex(), -1);
    EXPECT_EQ(grid.log, (std::vector<std::string>{"CurChanged -1"}));
    EXPECT_EQ(Names(grid), (std::vector<std::string>{"a", "c"}));
    EXPECT_FALSE(grid.DelRow(5));
}

TEST_F(GridHooks, DeletingAnotherRowKeepsTheCurrentRow)
{
    grid.SetCurRowIndex(2);
    EXPECT_TRUE(grid.DelRow(0));
    EXPECT_EQ(grid.GetCurRowIndex(), 1);
    EXPECT_EQ((*grid.GetCurRow())[0].GetText(), "c");
}

TEST_F(GridHooks, SelectionIsSingleUnlessMultiSelectIsOn)
{
    grid.SelectRow(0);
    grid.SelectRow(2);
    EXPECT_EQ(grid.GetRowSelNum(), 1);
    EXPECT_EQ(grid.GetSelRow(0), grid.GetRow(2));
    grid.ModifyGridStyle(0, KvUiGrid::StyleMultiSelect);
    grid.SelectRow(0);
    EXPECT_EQ(grid.GetRowSelNum(), 2);
    EXPECT_EQ(grid.GetSelRow(0), grid.GetRow(0));
    EXPECT_EQ(grid.GetSelRow(1), grid.GetRow(2));
    EXPECT_EQ(grid.GetSelRow(2), nullptr);
    grid.SelectRow(0, false);
    EXPECT_EQ(grid.GetRowSelNum(), 1);
}

TEST_F(GridHooks, DeletingSelectedRowsAsTheUserReportsOneDataChange)
{
    grid.ModifyGridStyle(0, KvUiGrid::StyleMultiSelect);
    grid.SelectRow(0);
    grid.SelectRow(2);
    EXPECT_EQ(grid.DeleteSelectedAsUser(), 2);
    EXPECT_EQ(Names(grid), (std::vector<std::string>{"b"}));
    EXPECT_EQ(grid.log, (std::vector<std::string>{"DataChanged"}));
}

TEST_F(GridHooks, ColumnsAddAndRemoveCellsInEveryRow)
{
    (*grid.GetRow(0))[2].SetText("x");
    EXPECT_TRUE(grid.DelCol(1));
    EXPECT_EQ(grid.GetColNum(), 2);
    EXPECT_EQ(grid.GetCell(0, 1)->GetText(), "x");
    EXPECT_EQ(grid.GetCell(0, 1)->GetColIndex(), 1);
    EXPECT_EQ(grid.GetCol(1)->GetTitle(), "颜色");
    grid.AppendCol("备注", 80);
    EXPECT_EQ(grid.GetRow(2)->GetCellNum(), 3);
    EXPECT_EQ(grid.GetCell(0, 3), nullptr);
    EXPECT_FALSE(grid.DelCol(3));
}

TEST_F(GridHooks, ResetRemovesAllRowsButKeepsColumns)
{
    grid.SetCurRowIndex(0);
    grid.Reset();
    EXPECT_EQ(grid.GetRowNum(), 0);
    EXPECT_EQ(grid.GetColNum(), 3);
    EXPECT_EQ(grid.GetCurRow(), nullptr);
    EXPECT_FALSE(grid.IsValidRow(0));
}
