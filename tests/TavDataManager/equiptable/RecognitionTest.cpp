// Recognition of tables in the drawing: collecting a table's entities, the table's angle, and the
// geometry parse into bars, rows and cells.
#include <numbers>

#include "TableTestSupport.h"

namespace {

using tav::test::TableTest;

// The default sample table's rows as the cells show them (序号 设备名称 型号规格 单位 数量 备注).
std::vector<std::vector<std::string>> SampleTexts(int count) {
  std::vector<std::vector<std::string>> out;
  for (const tagSBBSCDATA& r : MakeSampleRows(count))
    out.push_back({std::to_string(r.nNumber), r.strName, r.strSpec, r.strUnit, FormatQuantity(r.dQuantity, r.strUnit),
                   r.strRemark});
  return out;
}

// Default table geometry at print scale 100: columns 10 40 40 10 10 20, title 10, header 5, rows 5.
constexpr double kS = 100;
constexpr double kHeaderEdge = 1500;  // y of the header closing line of an upward table at the origin
double ColumnEdge(int j) {
  const int widths[] = {0, 10, 50, 90, 100, 110, 130};
  return widths[j] * kS;
}

void MoveText(AcDbDatabase* db, const tav::cad::DxfObject& text, double x, double y) {
  KvDbObjectPtr<AcDbText> t(db->idOf(text), AcDb::kForWrite);
  ASSERT_TRUE(t);
  t->set().SetInsertion({x, y, 0});
  t->set().SetAlignment({x, y, 0});
}

// The table's LINE and LWPOLYLINE entities lying along y = `y` (horizontal ones) of table `handle`.
std::vector<tav::cad::DxfObject> HorizontalAt(const std::vector<tav::cad::DxfObject>& lines, double y) {
  std::vector<tav::cad::DxfObject> out;
  for (const auto& e : lines) {
    if (e.Type() == "LINE") {
      tav::cad::DxfLine l(e);
      if (std::fabs(l.Start().y - y) < 1e-6 && std::fabs(l.End().y - y) < 1e-6) out.push_back(e);
    } else {
      auto v = tav::cad::DxfLwPolyline(e).Vertices();
      if (v.size() == 2 && std::fabs(v[0].y - y) < 1e-6 && std::fabs(v[1].y - y) < 1e-6) out.push_back(e);
    }
  }
  return out;
}

class Recognition : public TableTest {
 public:
  std::vector<tav::cad::DxfObject> Lines(const std::string& handle) {
    auto lines = TableEntities("LINE", handle);
    auto polys = TableEntities("LWPOLYLINE", handle);
    lines.insert(lines.end(), polys.begin(), polys.end());
    return lines;
  }
};

TEST_F(Recognition, UpwardAndDownwardTablesGiveTheirRowsInOrder) {
  for (int direction : {0, 1}) {
    CSbbTableLayout layout;
    layout.direction = direction;
    layout.origin = AcGePoint3d(0, direction * 50000.0, 0);
    const std::string handle = DrawTable(layout, 6);
    CSbbTable model(db_);
    ASSERT_TRUE(Recognise(model, handle)) << services_.output();
    EXPECT_EQ(Texts(model), SampleTexts(6)) << "direction " << direction;
    ASSERT_EQ(model.m_blocks.size(), 1u);
    const CDeviceTable& block = model.m_blocks[0];
    EXPECT_EQ(block.title.strText, "设 备 材 料 表");
    ASSERT_EQ(block.headerTexts.size(), 6u);
    EXPECT_EQ(block.headerTexts[1].strText, "设备名称");
    EXPECT_FALSE(block.titleLeft.IsEmpty());
    EXPECT_FALSE(block.titleRight.IsEmpty());
    EXPECT_FALSE(block.titleFar.IsEmpty());
    EXPECT_FALSE(block.headerClosing.IsEmpty());
    // Rows follow each other away from the title bar.
    const double step = block.rows[1].cells[0].ptPosition.y - block.rows[0].cells[0].ptPosition.y;
    EXPECT_NEAR(step, direction == 0 ? 500 : -500, 1e-6);
    // Vertical lines are stored in the growth direction.
    const CTableLine& sep = block.rows[0].separators[0];
    EXPECT_EQ(sep.nType, CTableLine::kVertical);
    EXPECT_EQ(sep.ptEnd.y > sep.ptStart.y, direction == 0);
    EXPECT_DOUBLE_EQ(model.m_dScale, kS);
    EXPECT_EQ(model.m_nTotalWidth, 130);
  }
}

TEST_F(Recognition, ATextExactlyOnASeparatorBelongsToNoCell) {
  const std::string handle = DrawTable(CSbbTableLayout{}, 2);
  tav::cad::DxfObject name = CellEntity(handle, 1, "设备名称");
  ASSERT_FALSE(name.IsNull());
  const double rowMiddle = kHeaderEdge + 250;
  MoveText(db_, name, ColumnEdge(1), rowMiddle);
  CSbbTable model(db_);
  ASSERT_TRUE(Recognise(model, handle));
  const auto texts = Texts(model);
  EXPECT_EQ(texts[0][0], "1");
  EXPECT_EQ(texts[0][1], "");
  const CTableText& empty = model.m_blocks[0].rows[0].cells[1];
  EXPECT_TRUE(empty.id.isNull());
  EXPECT_EQ(empty.nColor, 1);
  // The empty cell's position is where a centred text of the column goes.
  EXPECT_NEAR(empty.ptPosition.x, ColumnEdge(1) + 20 * kS, 1e-6);
  EXPECT_NEAR(empty.ptPosition.y, rowMiddle, 1e-6);

  // Just inside the cell it counts again.
  MoveText(db_, name, ColumnEdge(1) + 0.01, rowMiddle);
  CSbbTable again(db_);
  ASSERT_TRUE(Recognise(again, handle));
  EXPECT_EQ(Texts(again)[0][1], "水泵");
}

TEST_F(Recognition, AFifthRowWithoutItsClosingLineStillCounts) {
  const std::string handle = DrawTable(CSbbTableLayout{}, 5);
  const auto closing = HorizontalAt(Lines(handle), kHeaderEdge + 5 * 500);
  ASSERT_EQ(closing.size(), 1u);
  Erase(closing[0]);
  CSbbTable model(db_);
  ASSERT_TRUE(Recognise(model, handle));
  ASSERT_EQ(model.m_blocks[0].rows.size(), 5u);
  EXPECT_TRUE(model.m_blocks[0].rows[4].closing.IsEmpty());
  EXPECT_FALSE(model.m_blocks[0].rows[3].closing.IsEmpty());
  EXPECT_EQ(Texts(model), SampleTexts(5));
}

TEST_F(Recognition, ABodyWithoutLinesHasNoRows) {
  const std::string handle = DrawTable(CSbbTableLayout{}, 4);
  for (const auto& e : Lines(handle)) {
    double y1, y2;
    if (e.Type() == "LINE") {
      y1 = tav::cad::DxfLine(e).Start().y;
      y2 = tav::cad::DxfLine(e).End().y;
    } else {
      auto v = tav::cad::DxfLwPolyline(e).Vertices();
      y1 = v[0].y;
      y2 = v[1].y;
    }
    if (std::min(y1, y2) >= kHeaderEdge - 1e-6 && std::max(y1, y2) > kHeaderEdge + 1e-6) Erase(e);
  }
  CSbbTable model(db_);
  ASSERT_TRUE(Recognise(model, handle));
  EXPECT_TRUE(model.m_blocks[0].rows.empty());
  EXPECT_TRUE(ExtractRows(model).empty());
  EXPECT_EQ(model.m_blocks[0].headerTexts[5].strText, "备注");
}

TEST_F(Recognition, EntitiesNamingAnotherTableAreNotCollected) {
  const std::string a = DrawTable(CSbbTableLayout{}, 2);
  const std::size_t aCount = drawn_.size();
  CSbbTableLayout far;
  far.origin = AcGePoint3d(0, 30000, 0);
  const std::string b = DrawTable(far, 2);
  ASSERT_NE(a, b);
  // A text of table B standing in table A's 备注 cell of row 1, which has lost its own text.
  Erase(CellEntity(a, 1, "备注"));
  CSbbTable writerB(db_);
  writerB.m_strHandle = b;
  AcDbObjectId foreign = writerB.CreateTableText(AcGePoint3d(ColumnEdge(5) + 10 * kS, kHeaderEdge + 250, 0), "外来", true, 300);
  KvResbufPtr chain(writerB.BuildHandleChain());
  ASSERT_TRUE(writerB.AttachXData(foreign, chain.get()));

  CSbbTable model(db_);
  ASSERT_TRUE(Recognise(model, a));
  EXPECT_EQ(model.m_selection.size(), aCount - 1);
  EXPECT_FALSE(model.m_selection.Contains(foreign));
  EXPECT_EQ(Texts(model)[0][5], "");
}

TEST_F(Recognition, HandlesCompareIgnoringCaseWhenCollecting) {
  const std::string handle = DrawTable(CSbbTableLayout{}, 1);
  std::string lower = handle;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  AcGePoint3d base;
  double angle = 1;
  CSbbSelection selection;
  ASSERT_EQ(CollectTable(lower, base, angle, selection, db_), 1);
  EXPECT_EQ(selection.size(), drawn_.size());
  EXPECT_EQ(angle, 0);
}

TEST_F(Recognition, ATextOutsideEveryCellIsIgnored) {
  const std::string handle = DrawTable(CSbbTableLayout{}, 2);
  CSbbTable helper(db_);
  helper.m_strHandle = handle;
  AcDbObjectId outside = helper.CreateTableText(AcGePoint3d(-2000, kHeaderEdge + 250, 0), "旁注", true, 300);
  KvResbufPtr chain(helper.BuildHandleChain());
  helper.AttachXData(outside, chain.get());
  CSbbTable model(db_);
  ASSERT_TRUE(Recognise(model, handle));
  EXPECT_TRUE(model.m_selection.Contains(outside));
  EXPECT_EQ(Texts(model), SampleTexts(2));
}

TEST_F(Recognition, SeveralBlocksAreReadInOrder) {
  CSbbTableLayout layout;
  layout.blocks = 3;
  const std::string handle = DrawTable(layout, 7);
  CSbbTable model(db_);
  ASSERT_TRUE(Recognise(model, handle));
  ASSERT_EQ(model.m_blocks.size(), 3u);
  EXPECT_EQ(model.m_blocks[0].rows.size(), 3u);
  EXPECT_EQ(model.m_blocks[1].rows.size(), 3u);
  EXPECT_EQ(model.m_blocks[2].rows.size(), 1u);
  EXPECT_LT(model.m_blocks[0].mainLine.ptStart.x, model.m_blocks[1].mainLine.ptStart.x);
  EXPECT_EQ(model.m_mainLine.id.handle().text(), handle);
  EXPECT_EQ(Texts(model), SampleTexts(7));
}

TEST_F(Recognition, LegendCellsGiveTheLegendNameAndTheCellCentre) {
  const std::string handle = DrawTable(CSbbTableLayout{}, 3, true);
  CSbbTable model(db_);
  ASSERT_TRUE(Recognise(model, handle));
  ASSERT_EQ(model.m_names[1], "图例");
  const auto rows = ExtractRows(model);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].cells[1].strText, "水泵");
  EXPECT_EQ(rows[0].cells[1].nKind, CTableText::kLegend);
  EXPECT_EQ(rows[1].cells[1].strText, "阀门");
  EXPECT_FALSE(rows[0].cells[1].id.isNull());
  const CTableText& cell = model.m_blocks[0].rows[0].cells[1];
  EXPECT_NEAR(cell.ptPosition.x, 20 * kS, 1e-6);  // 序号 10 wide, 图例 20 wide: centre at 20
  EXPECT_NEAR(cell.ptPosition.y, kHeaderEdge + 250, 1e-6);
}

TEST(TableAngle, AnglesNearAFullTurnCountAsHorizontal) {
  const double a = 359.97 * std::numbers::pi / 180;
  EXPECT_EQ(TableAngle({0, 0, 0}, {std::cos(a) * 100, std::sin(a) * 100, 0}), 0.0);
  const double b = 359.9 * std::numbers::pi / 180;  // 0.0017 rad short of a full turn
  EXPECT_NEAR(TableAngle({0, 0, 0}, {std::cos(b) * 100, std::sin(b) * 100, 0}), b, 1e-12);
  EXPECT_NEAR(TableAngle({5, 5, 0}, {5 + std::sqrt(3.0), 6, 0}), std::numbers::pi / 6, 1e-12);
  EXPECT_NEAR(TableAngle({0, 0, 0}, {-1, 0, 0}), std::numbers::pi, 1e-12);
  EXPECT_NEAR(TableAngle({0, 0, 0}, {0, -1, 0}), 1.5 * std::numbers::pi, 1e-12);
  EXPECT_EQ(TableAngle({3, 4, 0}, {3, 4, 7}), 0.0);
}

TEST_F(Recognition, ATableAt35997DegreesIsNotTurned) {
  CSbbTableLayout layout;
  layout.angleDegrees = 359.97;
  const std::string handle = DrawTable(layout, 2);
  const std::string before = db_->document().SaveToString();
  AcGePoint3d base;
  double angle = 1;
  CSbbSelection selection;
  ASSERT_EQ(CollectTable(handle, base, angle, selection, db_), 1);
  EXPECT_EQ(angle, 0.0);
  TurnSelection(selection, base, -angle);
  EXPECT_EQ(db_->document().SaveToString(), before);
}

TEST_F(Recognition, ATurnedTableIsReadInItsOwnFrame) {
  CSbbTableLayout layout;
  layout.angleDegrees = 30;
  layout.origin = AcGePoint3d(1000, 2000, 0);
  const std::string handle = DrawTable(layout, 4);
  CSbbTable model(db_);
  double angle = 0;
  ASSERT_TRUE(Recognise(model, handle, &angle));
  EXPECT_NEAR(angle, std::numbers::pi / 6, 1e-9);
  EXPECT_EQ(Texts(model), SampleTexts(4));
  EXPECT_NEAR(model.m_mainLine.ptEnd.y, 2000, 1e-6);
}

TEST_F(Recognition, AMissingQlvSbbdyChainIsReported) {
  const std::string handle = DrawTable(CSbbTableLayout{}, 1);
  {
    KvDbObjectPtr<AcDbEntity> main(AcDbObjectId(db_, std::stoull(handle, nullptr, 16)), AcDb::kForWrite);
    ASSERT_TRUE(main);
    KvResbufPtr remove(acutBuildList(1001, kSbbAppDefine, RTNONE));
    ASSERT_EQ(main->setXData(remove.get()), Acad::eOk);
  }
  CSbbTable model(db_);
  EXPECT_EQ(RecognizeTable(model, handle), 0);
  EXPECT_EQ(services_.output(), "\n获取设备表主表头线扩展数据“QLV_SBBDY”失败!");
  CSbbTable unknown(db_);
  services_.ClearRecords();
  EXPECT_EQ(RecognizeTable(unknown, "FFFFFF"), 0);
  EXPECT_EQ(services_.output(), "\n获取主表头线数据失败!");
}

}  // namespace
