// The XG command end to end: implied selection and picks through scripted user services, the
// editor's answer, the messages and alerts, and the table turned back afterwards.
#include <numbers>

#include "TableTestSupport.h"
#include "TavDataManager/equiptable/SbbXGCommand.h"
#include "platform/host/KvAppLoader.h"
#include "platform/host/KvCommandLine.h"
#include "platform/host/KvSelection.h"

namespace {

using tav::test::TableTest;

class XGCommand : public TableTest {
 protected:
  // Runs XG with `editor` and the given pickfirst set.
  int Run(ISbbTableEditor* editor, AcDbObjectIdArray pickfirst = {}) {
    doc_->setPickfirst(std::move(pickfirst));
    KvSbbTableEditorScope scope(editor);
    return SbbEditTableCommand();
  }
  // The rows XG shows for the table of `entity`.
  std::vector<std::vector<std::string>> Shown(const AcDbObjectId& entity) {
    CSbbRowsEditor reader({}, false);
    Run(&reader, {entity});
    std::vector<std::vector<std::string>> out;
    for (const auto& row : reader.shownRows()) {
      std::vector<std::string> cells;
      for (int j = 0; j < reader.shownInput().nColumnCount; ++j) cells.push_back(row.cells[j].strText);
      out.push_back(cells);
    }
    return out;
  }
  AcDbObjectId PlainLine() {
    AcDbLine* line = nullptr;
    AcDbObjectId id;
    EXPECT_EQ(KvDbAppendToModelSpace(db_, line, &id), Acad::eOk);
    line->set().SetEnd({100, 0, 0});
    line->close();
    return id;
  }
};

TEST_F(XGCommand, PickingATextAHeaderLineOrALegendOpensTheSameTable) {
  const std::string handle = DrawTable(CSbbTableLayout{}, 3, true);
  tav::cad::DxfObject text = CellEntity(handle, 2, "型号规格");
  tav::cad::DxfObject legend = CellEntity(handle, 3, "图例");
  tav::cad::DxfObject headerLine;
  for (const auto& e : TableEntities("LINE", handle)) {
    tav::cad::DxfLine l(e);
    if (l.Start().x == l.End().x && std::min(l.Start().y, l.End().y) == 1000 && std::max(l.Start().y, l.End().y) == 1500)
      headerLine = e;
  }
  ASSERT_FALSE(text.IsNull());
  ASSERT_FALSE(legend.IsNull());
  ASSERT_EQ(legend.Type(), "INSERT");
  ASSERT_FALSE(headerLine.IsNull());
  const auto fromText = Shown(Id(text));
  EXPECT_EQ(fromText.size(), 3u);
  EXPECT_EQ(fromText[2][1], "水表");
  EXPECT_EQ(Shown(Id(headerLine)), fromText);
  EXPECT_EQ(Shown(Id(legend)), fromText);
  EXPECT_TRUE(services_.pickPrompts().empty());
  EXPECT_EQ(services_.prints(), (std::vector<std::string>(3, "\n设备表编辑完成!")));
}

TEST_F(XGCommand, APickThatIsNoTableEntityIsRefusedAndAskedAgain) {
  const std::string handle = DrawTable(CSbbTableLayout{}, 2);
  const AcDbObjectId plain = PlainLine();
  services_.QueuePickHandle(plain.handle().value());
  services_.QueuePickHandle(CellEntity(handle, 1, "设备名称").GetHandle());
  CSbbRowsEditor editor({}, false);
  EXPECT_EQ(Run(&editor, {plain}), IDCANCEL);  // the implied selection is no table entity either
  EXPECT_EQ(editor.calls(), 1);
  ASSERT_EQ(services_.pickPrompts().size(), 2u);
  EXPECT_EQ(services_.pickPrompts()[0].prompt, "\n选择要编辑的设备表:");
  EXPECT_EQ(services_.pickPrompts()[1].prompt, "\n选择要编辑的设备表:");
  EXPECT_EQ(services_.prints(), (std::vector<std::string>{"\n选择错误,请重新选择", "\n设备表编辑完成!"}));
}

TEST_F(XGCommand, ACancelledOrEmptyPickEndsTheCommandSilently) {
  DrawTable(CSbbTableLayout{}, 2);
  const std::string before = db_->document().SaveToString();
  for (KvPromptStatus status : {KvPromptStatus::kCancel, KvPromptStatus::kNone}) {
    services_.ClearRecords();
    services_.QueuePick({status, 0, {}, {}});
    CSbbRowsEditor editor({{"x"}});
    EXPECT_EQ(Run(&editor), IDCANCEL);
    EXPECT_EQ(editor.calls(), 0);
    EXPECT_TRUE(services_.prints().empty());
    EXPECT_EQ(services_.output(), "\n选择要编辑的设备表:");  // the prompt, no message
    EXPECT_TRUE(services_.alerts().empty());
  }
  EXPECT_EQ(db_->document().SaveToString(), before);
}

TEST_F(XGCommand, ATableAt30DegreesIsEditedAndEndsAt30DegreesNewRowsIncluded) {
  CSbbTableLayout layout;
  layout.angleDegrees = 30;
  layout.frame = 0;
  layout.origin = AcGePoint3d(5000, -3000, 0);
  const std::string handle = DrawTable(layout, 3);
  const AcDbObjectId pick = Id(CellEntity(handle, 1, "序号"));
  auto texts = Shown(pick);
  texts[0][1] = "加压泵";
  texts.push_back({"4", "倒流防止器", "DN100", "个", "1", ""});
  texts.push_back({"5", "软接头", "DN100", "个", "4", ""});
  CSbbRowsEditor editor(texts);
  const int sets = tav::host::SelectionSetCount();
  EXPECT_EQ(Run(&editor, {pick}), IDOK);
  EXPECT_EQ(tav::host::SelectionSetCount(), sets);
  EXPECT_EQ(Shown(pick), texts);

  // Every line of the table, old and new, runs at 30 or 120 degrees; every text stays level with
  // the table (texts are turned with it).
  int lines = 0;
  for (const std::string type : {"LINE", "LWPOLYLINE"}) {
    for (const auto& e : TableEntities(type, handle)) {
      double dx, dy;
      if (type == "LINE") {
        tav::cad::DxfLine l(e);
        dx = l.End().x - l.Start().x;
        dy = l.End().y - l.Start().y;
      } else {
        auto v = tav::cad::DxfLwPolyline(e).Vertices();
        dx = v[1].x - v[0].x;
        dy = v[1].y - v[0].y;
      }
      double a = std::fmod(std::atan2(dy, dx) + 2 * std::numbers::pi, std::numbers::pi / 2);
      EXPECT_NEAR(a, std::numbers::pi / 6, 1e-9);
      ++lines;
    }
  }
  EXPECT_GT(lines, 0);
  tav::cad::DxfObject newText = CellEntity(handle, 5, "设备名称");
  ASSERT_FALSE(newText.IsNull());
  EXPECT_NEAR(tav::cad::DxfText(newText).Rotation(), 30, 1e-9);
  // The new row's text lies where row 5 of the turned table is.
  const double c = std::cos(std::numbers::pi / 6), s = std::sin(std::numbers::pi / 6);
  const double lx = 3000, ly = 1500 + 4 * 500 + 250;  // 设备名称 centre in the table's frame
  EXPECT_NEAR(tav::cad::DxfText(newText).Alignment().x, 5000 + lx * c - ly * s, 1e-6);
  EXPECT_NEAR(tav::cad::DxfText(newText).Alignment().y, -3000 + lx * s + ly * c, 1e-6);
}

TEST_F(XGCommand, AnIncompleteTableIsReportedAndTurnedBack) {
  CSbbTableLayout layout;
  layout.angleDegrees = 30;
  const std::string handle = DrawTable(layout, 2);
  {
    KvDbObjectPtr<AcDbEntity> main(AcDbObjectId(db_, std::stoull(handle, nullptr, 16)), AcDb::kForWrite);
    KvResbufPtr remove(acutBuildList(1001, kSbbAppDefine, RTNONE));
    ASSERT_EQ(main->setXData(remove.get()), Acad::eOk);
  }
  tav::cad::DxfObject text = CellEntity(handle, 2, "设备名称");
  const tav::cad::DxfPoint before = tav::cad::DxfText(text).Alignment();
  CSbbRowsEditor editor({});
  EXPECT_EQ(Run(&editor, {Id(text)}), IDCANCEL);
  EXPECT_EQ(editor.calls(), 0);
  EXPECT_EQ(services_.prints(), (std::vector<std::string>{"\n获取设备表主表头线扩展数据“QLV_SBBDY”失败!"}));
  EXPECT_EQ(services_.alerts(), (std::vector<std::string>{"错误:\n\n所选择的设备表不完整,不能记取设备信息!"}));
  const tav::cad::DxfPoint after = tav::cad::DxfText(text).Alignment();
  EXPECT_NEAR(after.x, before.x, 1e-6);
  EXPECT_NEAR(after.y, before.y, 1e-6);
  EXPECT_NEAR(tav::cad::DxfText(text).Rotation(), 30, 1e-9);
}

TEST_F(XGCommand, AHandleNamingNoLineFailsTheSearch) {
  const std::string handle = DrawTable(CSbbTableLayout{}, 1);
  // A text claiming to belong to a table whose main header line is a text.
  tav::cad::DxfObject other = CellEntity(handle, 1, "设备名称");
  CSbbTable fake(db_);
  fake.m_strHandle = tav::cad::FormatHandle(other.GetHandle());
  AcDbObjectId stray = fake.CreateTableText(AcGePoint3d(-500, -500, 0), "孤立", true, 300);
  KvResbufPtr chain(fake.BuildHandleChain());
  ASSERT_TRUE(fake.AttachXData(stray, chain.get()));
  CSbbRowsEditor editor({});
  EXPECT_EQ(Run(&editor, {stray}), IDCANCEL);
  EXPECT_EQ(services_.alerts(), (std::vector<std::string>{"搜索表格元素失败!"}));
  EXPECT_EQ(services_.output(), "");
  EXPECT_EQ(editor.calls(), 0);
}

TEST_F(XGCommand, CancellingTheEditorWritesNothing) {
  CSbbTableLayout layout;
  layout.frame = 0;
  const std::string handle = DrawTable(layout, 3, true);
  const std::string before = db_->document().SaveToString();
  CSbbRowsEditor editor({{"1"}}, false);
  EXPECT_EQ(Run(&editor, {Id(CellEntity(handle, 1, "设备名称"))}), IDCANCEL);
  EXPECT_EQ(editor.calls(), 1);
  EXPECT_EQ(services_.prints(), (std::vector<std::string>{"\n设备表编辑完成!"}));
  EXPECT_EQ(db_->document().SaveToString(), before);
  // The editor was given the table's style.
  const CSbbEditorInput& input = editor.shownInput();
  EXPECT_EQ(input.nColumnCount, 7);
  EXPECT_EQ(input.strTitle, "设 备 材 料 表");
  EXPECT_EQ(input.nTitleRowSpacing, 10);
  EXPECT_EQ(input.nHeaderRowSpacing, 5);
  EXPECT_EQ(input.nBodyRowSpacing, 5);
  EXPECT_EQ(input.dBodyTextHeight, 3);
  EXPECT_EQ(input.nBodyRowCount, 3);
  EXPECT_EQ(input.names[1], "图例");
  EXPECT_EQ(editor.shownRows()[0].cells[1].nKind, 1);
  EXPECT_EQ(editor.shownRows()[0].cells[2].nFlag, 40);
}

TEST_F(XGCommand, WithoutAnEditorTheCommandSaysSoAndChangesNothing) {
  const std::string handle = DrawTable(CSbbTableLayout{}, 1);
  const std::string before = db_->document().SaveToString();
  EXPECT_EQ(Run(nullptr, {Id(CellEntity(handle, 1, "设备名称"))}), IDCANCEL);
  EXPECT_EQ(services_.prints(), (std::vector<std::string>{"\n设备表全屏编辑对话框尚未提供。", "\n设备表编辑完成!"}));
  EXPECT_EQ(db_->document().SaveToString(), before);
}

TEST_F(XGCommand, ThePlugInsXGCommandRunsTheTableEditing) {
  KvAppLoader loader;
  std::string error;
  ASSERT_NE(loader.Load(std::string(TAV_BINARY_DIR) + "/bin/libTavDataManager.so", &error), nullptr) << error;
  const std::string handle = DrawTable(CSbbTableLayout{}, 2);
  doc_->setPickfirst({Id(CellEntity(handle, 2, "设备名称"))});
  CSbbRowsEditor editor({{"1", "消防泵", "XBD", "台", "2", ""}});
  KvSbbTableEditorScope scope(&editor);
  EXPECT_EQ(KvCommandLine::Current().RunCommand("XG"), RTNORM);
  EXPECT_EQ(editor.calls(), 1);
  EXPECT_EQ(services_.prints(), (std::vector<std::string>{"\n设备表编辑完成!"}));
  CSbbTable model(db_);
  ASSERT_TRUE(Recognise(model, handle));
  EXPECT_EQ(Texts(model), (std::vector<std::vector<std::string>>{{"1", "消防泵", "XBD", "台", "2", ""}}));
}

// ---- CSV form of the rows ------------------------------------------------------------------------

TEST(RowsCsv, FieldsWithCommasQuotesAndLineBreaksSurviveTheRoundTrip) {
  std::vector<tagSBBGETDATA> rows(2);
  const std::vector<std::string> names = {"序号", "设备名称", "备注"};
  rows[0].cells[0].strText = "1";
  rows[0].cells[1].strText = "阀门, \"闸阀\"";
  rows[0].cells[2].strText = "两行\n说明";
  rows[1].cells[1].strText = "接口%%c100";
  const std::string csv = RowsToCsv(names, rows);
  EXPECT_EQ(csv, "序号,设备名称,备注\n1,\"阀门, \"\"闸阀\"\"\",\"两行\n说明\"\n,接口%%c100,\n");
  std::vector<std::vector<std::string>> records;
  std::string error;
  ASSERT_TRUE(ParseCsv(csv, records, &error)) << error;
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[1], (std::vector<std::string>{"1", "阀门, \"闸阀\"", "两行\n说明"}));
  EXPECT_EQ(records[2], (std::vector<std::string>{"", "接口%%c100", ""}));
}

TEST(RowsCsv, ColumnsAreMatchedByNameAndBadFilesAreRefused) {
  std::vector<std::vector<std::string>> records, texts;
  std::string error;
  ASSERT_TRUE(ParseCsv("\xEF\xBB\xBF" "备注,序号\r\na,1\r\nb,2\r\n", records, &error));
  ASSERT_TRUE(CsvToTexts(records, {"序号", "备注"}, texts, &error)) << error;
  EXPECT_EQ(texts, (std::vector<std::vector<std::string>>{{"1", "a"}, {"2", "b"}}));
  EXPECT_FALSE(CsvToTexts(records, {"序号", "备注", "单位"}, texts, &error));
  EXPECT_EQ(error, "column \"单位\" missing from the header line");
  EXPECT_FALSE(CsvToTexts(records, {"序号"}, texts, &error));
  EXPECT_EQ(error, "column \"备注\" is not a column of the table");
  ASSERT_TRUE(ParseCsv("序号,备注\n1\n", records, &error));
  EXPECT_FALSE(CsvToTexts(records, {"序号", "备注"}, texts, &error));
  EXPECT_EQ(error, "record 2: 1 fields, 2 expected");
  EXPECT_FALSE(ParseCsv("a,\"b\n", records, &error));
  EXPECT_EQ(error, "line 1: quoted field not closed");
  EXPECT_FALSE(ParseCsv("a,b\"c\n", records, &error));
  EXPECT_EQ(error, "line 1: quote inside an unquoted field");
}

}  // namespace
