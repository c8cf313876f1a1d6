// Writing edited rows back: changed cells, removed and appended rows, thick closing lines, the whole
// table erased, and the lossless round trip of an unchanged table.
#include <fstream>

#include "TableTestSupport.h"
#include "tests/support/TempDir.h"

namespace {

using tav::test::TableTest;

class WriteBack : public TableTest {
 protected:
  // Recognises, lets `texts` be the edited rows, writes back; returns the model.
  void Edit(const std::string& handle, const std::vector<std::vector<std::string>>& texts) {
    CSbbTable model(db_);
    double angle = 0;
    ASSERT_TRUE(Recognise(model, handle, &angle)) << services_.output();
    const auto edited = MakeEditedRows(MakeEditorInput(model), ExtractRows(model), texts);
    model.WriteBackTable(edited);
    TurnSelection(model.m_selection, base_, angle);
  }
  std::vector<std::vector<std::string>> Read(const std::string& handle) {
    CSbbTable model(db_);
    double angle = 0;
    EXPECT_TRUE(Recognise(model, handle, &angle)) << services_.output();
    auto texts = Texts(model);
    TurnSelection(model.m_selection, base_, angle);
    return texts;
  }
  // The thick lines (polylines) among the table's horizontal body lines, by their y.
  std::vector<double> ThickClosingYs(const std::string& handle, double headerEdge) {
    std::vector<double> ys;
    for (const auto& e : TableEntities("LWPOLYLINE", handle)) {
      auto v = tav::cad::DxfLwPolyline(e).Vertices();
      if (v.size() == 2 && std::fabs(v[0].y - v[1].y) < 1e-6 && v[0].y > headerEdge + 1e-6) ys.push_back(v[0].y);
    }
    std::sort(ys.begin(), ys.end());
    return ys;
  }
};

TEST_F(WriteBack, AnUnchangedTableLeavesTheDrawingTagForTagIdentical) {
  tav::test::TempDir dir;
  CSbbTableLayout layout;
  layout.frame = 0;
  layout.blocks = 2;
  DrawTable(layout, 9, true);
  ASSERT_EQ(db_->saveAs(dir.file("t.dxf")), Acad::eOk);
  std::ifstream in(dir.file("t.dxf"), std::ios::binary);
  const std::string original((std::istreambuf_iterator<char>(in)), {});

  auto reopened = AcDbDatabase::open(dir.file("t.dxf"));
  ASSERT_TRUE(reopened);
  KvWorkingDatabaseScope scope(reopened.get());
  tav::cad::DxfDocument& doc = reopened->document();
  std::string handle;
  for (const auto& e : doc.EntitiesOf(doc.ModelSpace())) {
    tav::cad::DxfXData x;
    if (e.GetXData(kSbbAppDefine, x)) {
      handle = tav::cad::FormatHandle(e.GetHandle());
      break;
    }
  }
  ASSERT_FALSE(handle.empty());
  CSbbTable model(reopened.get());
  AcGePoint3d base;
  double angle = 0;
  ASSERT_EQ(CollectTable(handle, base, angle, model.m_selection, reopened.get()), 1);
  ASSERT_EQ(RecognizeTable(model, handle), 1);
  const auto rows = ExtractRows(model);
  ASSERT_EQ(rows.size(), 9u);
  model.WriteBackTable(rows);
  ASSERT_EQ(reopened->saveAs(dir.file("back.dxf")), Acad::eOk);
  std::ifstream back(dir.file("back.dxf"), std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(back)), {}), original);
}

TEST_F(WriteBack, ChangedCellsAreRewrittenInPlaceAndCaseOnlyChangesAreNot) {
  const std::string handle = DrawTable(CSbbTableLayout{}, 3);
  auto texts = Read(handle);
  const tav::cad::Handle nameHandle = CellEntity(handle, 2, "设备名称").GetHandle();
  texts[1][1] = "稳压泵";
  texts[0][2] = "q=10l/s h=32m n=7.5kw";  // differs in case only
  Edit(handle, texts);
  EXPECT_EQ(CellEntity(handle, 2, "设备名称").GetHandle(), nameHandle);
  EXPECT_EQ(tav::cad::DxfText(CellEntity(handle, 2, "设备名称")).Text(), "稳压泵");
  EXPECT_EQ(tav::cad::DxfText(CellEntity(handle, 1, "型号规格")).Text(), "Q=10L/s H=32m N=7.5kW");
  EXPECT_EQ(Read(handle)[1][1], "稳压泵");
}

TEST_F(WriteBack, AnEmptiedCellLosesItsTextAndAFilledOneGetsANewText) {
  const std::string handle = DrawTable(CSbbTableLayout{}, 3);
  auto texts = Read(handle);
  ASSERT_EQ(texts[1][5], "");  // row 2 has no remark
  texts[1][5] = "新增备注";
  texts[0][3] = "";
  Edit(handle, texts);
  EXPECT_TRUE(CellEntity(handle, 1, "单位").IsNull());
  tav::cad::DxfObject remark = CellEntity(handle, 2, "备注");
  ASSERT_FALSE(remark.IsNull());
  tav::cad::DxfText text(remark);
  EXPECT_EQ(text.Text(), "新增备注");
  EXPECT_EQ(text.HorizontalMode(), 1);
  EXPECT_EQ(text.VerticalMode(), 2);
  EXPECT_NEAR(text.Alignment().x, 12000, 1e-6);  // centre of 备注 (110..130) at scale 100
  EXPECT_NEAR(text.Alignment().y, 1500 + 500 + 250, 1e-6);
  EXPECT_EQ(text.Height(), 300);
  EXPECT_EQ(tav::cad::DxfEntity(remark).Layer(), "PZ_SBB");
  EXPECT_EQ(Read(handle), texts);
}

TEST_F(WriteBack, ARowNumberZeroLeavesTheSerialCellEmpty) {
  const std::string handle = DrawTable(CSbbTableLayout{}, 1);
  CSbbTable model(db_);
  ASSERT_TRUE(Recognise(model, handle));
  tagSBBSCDATA row;
  row.nNumber = 0;
  row.strName = "水箱";
  row.strUnit = "米";
  row.dQuantity = 12.5;
  model.DrawBodyRow(2, model.m_blocks[0].rows[0].closing.ptStart, row, 0);
  EXPECT_TRUE(CellEntity(handle, 2, "序号").IsNull());
  EXPECT_EQ(tav::cad::DxfText(CellEntity(handle, 2, "设备名称")).Text(), "水箱");
  EXPECT_EQ(tav::cad::DxfText(CellEntity(handle, 2, "数量")).Text(), "12.5");
  const auto texts = Read(handle);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[1], (std::vector<std::string>{"", "水箱", "", "米", "12.5", ""}));
}

TEST_F(WriteBack, EditingAllRowsAwayErasesTheWholeTable) {
  CSbbTableLayout layout;
  layout.frame = 0;
  const std::string handle = DrawTable(layout, 4, true);
  CSbbTableLayout other;
  other.origin = AcGePoint3d(0, 40000, 0);
  const std::string keep = DrawTable(other, 2);
  const std::size_t keepCount = TableEntities("", keep).size();
  ASSERT_FALSE(TableEntities("", handle).empty());
  Edit(handle, {});
  EXPECT_TRUE(TableEntities("", handle).empty());
  EXPECT_TRUE(db_->document().Get(std::stoull(handle, nullptr, 16)).IsNull());
  EXPECT_EQ(TableEntities("", keep).size(), keepCount);
}

TEST_F(WriteBack, RemovingRowsLeavesTheNewLastClosingLineThick) {
  CSbbTableLayout layout;
  layout.frame = 0;
  const std::string handle = DrawTable(layout, 5);
  ASSERT_EQ(ThickClosingYs(handle, 1500), (std::vector<double>{1500 + 5 * 500}));
  auto texts = Read(handle);
  texts.resize(3);
  Edit(handle, texts);
  EXPECT_EQ(ThickClosingYs(handle, 1500), (std::vector<double>{1500 + 3 * 500}));
  for (const auto& e : TableEntities("LWPOLYLINE", handle))
    EXPECT_EQ(tav::cad::DxfLwPolyline(e).ConstantWidth(), KvDbGetPrintScale(db_));
  EXPECT_EQ(Read(handle), texts);
  CSbbTable model(db_);
  ASSERT_TRUE(Recognise(model, handle));
  EXPECT_EQ(model.m_nBodyRowCount, 3);
  // Nothing of rows 4 and 5 is left.
  for (const auto& e : TableEntities("", handle)) {
    tav::cad::DxfXData x;
    if (e.GetXData(kSbbAppText, x)) {
      EXPECT_LE(x.items[0].integer, 3);
    }
  }
  EXPECT_EQ(model.m_selection.size(), TableEntities("", handle).size());
}

TEST_F(WriteBack, AppendingRowsMakesOnlyTheNewLastClosingLineThick) {
  for (int direction : {0, 1}) {
    CSbbTableLayout layout;
    layout.frame = 0;
    layout.direction = direction;
    layout.origin = AcGePoint3d(0, direction * 100000.0, 0);
    const std::string handle = DrawTable(layout, 2);
    auto texts = Read(handle);
    texts.push_back({"3", "减压阀", "Y110X DN65", "个", "2", ""});
    texts.push_back({"0", "水管", "DN100", "米", "12.5", "镀锌"});
    Edit(handle, texts);
    const double d = direction == 0 ? 1 : -1;
    const double headerEdge = layout.origin.y + d * 1500;
    std::vector<double> ys;
    for (const auto& e : TableEntities("LWPOLYLINE", handle)) {
      auto v = tav::cad::DxfLwPolyline(e).Vertices();
      if (std::fabs(v[0].y - v[1].y) < 1e-6 && (v[0].y - headerEdge) * d > 1e-6) ys.push_back(v[0].y);
    }
    EXPECT_EQ(ys, (std::vector<double>{headerEdge + d * 4 * 500})) << "direction " << direction;
    auto expected = texts;
    expected[3][0] = "";  // number 0 draws no serial
    EXPECT_EQ(Read(handle), expected);
    tav::cad::DxfXData x;
    ASSERT_TRUE(db_->document().Get(std::stoull(handle, nullptr, 16)).GetXData(kSbbAppDefine, x));
    EXPECT_EQ(x.items[9].integer, 4);
  }
}

TEST_F(WriteBack, AThinFrameStaysThin) {
  const std::string handle = DrawTable(CSbbTableLayout{}, 2);
  auto texts = Read(handle);
  texts.push_back({"3", "a", "b", "个", "1", ""});
  Edit(handle, texts);
  EXPECT_TRUE(TableEntities("LWPOLYLINE", handle).empty());
  texts.resize(1);
  Edit(handle, texts);
  EXPECT_TRUE(TableEntities("LWPOLYLINE", handle).empty());
  EXPECT_EQ(Read(handle), texts);
}

TEST_F(WriteBack, AChangedLegendIsReplacedByTheNewBlock) {
  const std::string handle = DrawTable(CSbbTableLayout{}, 2, true);
  auto texts = Read(handle);
  ASSERT_EQ(texts[0][1], "水泵");
  const tav::cad::Handle old = CellEntity(handle, 1, "图例").GetHandle();
  texts[0][1] = "水表";
  Edit(handle, texts);
  tav::cad::DxfObject legend = CellEntity(handle, 1, "图例");
  ASSERT_FALSE(legend.IsNull());
  EXPECT_NE(legend.GetHandle(), old);
  EXPECT_TRUE(db_->document().Get(old).IsNull());
  EXPECT_EQ(tav::cad::DxfInsert(legend).BlockName(), "水表");
  tav::cad::DxfXData picture;
  ASSERT_TRUE(legend.GetXData(kSbbAppPicture, picture));
  EXPECT_EQ(picture.items[0].text, "水表");
  EXPECT_NEAR(picture.items[1].point.x, 2000, 1e-6);
  EXPECT_NEAR(picture.items[1].point.y, 1750, 1e-6);
  EXPECT_EQ(Read(handle), texts);
}

TEST_F(WriteBack, RemovingTheRowsOfALaterBlockErasesItsBars) {
  CSbbTableLayout layout;
  layout.blocks = 2;
  const std::string handle = DrawTable(layout, 6);
  auto texts = Read(handle);
  const std::size_t before = TableEntities("", handle).size();
  const std::size_t perBlock = before / 2;  // both blocks have 3 rows and the same bars
  texts.resize(3);
  Edit(handle, texts);
  EXPECT_EQ(TableEntities("", handle).size(), perBlock);
  CSbbTable model(db_);
  ASSERT_TRUE(Recognise(model, handle));
  EXPECT_EQ(model.m_blocks.size(), 1u);
  EXPECT_EQ(Texts(model), texts);
}

TEST_F(WriteBack, RemovingRowsAcrossBlocksKeepsTheFirstBlocksRows) {
  CSbbTableLayout layout;
  layout.blocks = 2;
  layout.frame = 0;
  const std::string handle = DrawTable(layout, 6);
  auto texts = Read(handle);
  texts.resize(4);
  texts[3][1] = "改";
  Edit(handle, texts);
  CSbbTable model(db_);
  ASSERT_TRUE(Recognise(model, handle));
  ASSERT_EQ(model.m_blocks.size(), 2u);
  EXPECT_EQ(model.m_blocks[1].rows.size(), 1u);
  EXPECT_EQ(Texts(model), texts);
  EXPECT_FALSE(model.m_blocks[1].rows[0].closing.IsEmpty());
  EXPECT_EQ(tav::cad::DxfObject(db_->document().Get(model.m_blocks[1].rows[0].closing.id.handle())).Type(),
            "LWPOLYLINE");
}

}  // namespace
