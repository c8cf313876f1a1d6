// The indexed geometry parse against the straightforward one on random tables: lines missing,
// doubled, slightly off (inside and outside the tolerance) or foreign; texts in cells, on separators,
// doubled or stray; several blocks; both growth directions; lists in random order.
#include <random>

#include "TableTestSupport.h"

namespace {

struct RandomTable {
  std::vector<CTableLine> lines;
  std::vector<CTableText> texts;
  KvResbufPtr chain;
};

RandomTable MakeRandomTable(std::mt19937& rng, AcDbDatabase* db) {
  auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  auto chance = [&](int percent) { return uniform(0, 99) < percent; };
  CSbbTableLayout layout;
  layout.direction = uniform(0, 1);
  layout.titleRowSpacing = uniform(4, 12);
  layout.headerRowSpacing = uniform(3, 8);
  layout.bodyRowSpacing = uniform(2, 8) + (chance(20) ? 0.5 : 0);
  const int n = uniform(1, 8);
  layout.columns.clear();
  std::vector<int> widths;
  for (int j = 0; j < n; ++j) {
    widths.push_back(uniform(1, 40));
    const std::string width = std::to_string(widths.back()) + (chance(20) ? ".7" : "");
    layout.columns.push_back({"C" + std::to_string(j), width, chance(30) ? "居左" : "居中", std::to_string(uniform(0, 4))});
  }
  RandomTable table;
  const int rowsInChain = uniform(0, 12);
  table.chain.reset(CSbbTableWriter::BuildDefineChain(layout, rowsInChain));
  const double s = std::uniform_real_distribution<double>(0.5, 150)(rng);
  const double d = layout.direction == 0 ? 1 : -1;
  const int total = [&] { int t = 0; for (int w : widths) t += w; return t; }();
  const int title = static_cast<int>(layout.titleRowSpacing), header = static_cast<int>(layout.headerRowSpacing);
  const int body = static_cast<int>(layout.bodyRowSpacing);
  tav::cad::Handle nextHandle = 1;
  auto addLine = [&](AcGePoint3d a, AcGePoint3d b, int blockIndex) {
    CTableLine line;
    line.ptStart = a;
    line.ptEnd = b;
    line.nBlockIndex = blockIndex;
    line.id = AcDbObjectId(db, nextHandle++);
    if (chance(50)) std::swap(line.ptStart, line.ptEnd);
    NormaliseTableLine(line, layout.direction);
    table.lines.push_back(line);
  };
  auto jitter = [&]() {
    switch (uniform(0, 5)) {
      case 0: return 0.0009;
      case 1: return -0.0009;
      case 2: return 0.0011;
      case 3: return -0.0011;
      default: return 0.0;
    }
  };
  auto addText = [&](double x, double y, const std::string& text) {
    CTableText t;
    t.ptPosition = AcGePoint3d(x, y, 0);
    t.strText = text;
    t.id = AcDbObjectId(db, nextHandle++);
    t.nKind = chance(10) ? 1 : 0;
    table.texts.push_back(t);
  };
  const int blocks = uniform(1, 3);
  for (int b = 0; b < blocks; ++b) {
    const double x0 = b * (total + 15) * s + uniform(-50, 50), y0 = uniform(-50, 50);
    std::vector<double> x{x0};
    for (int w : widths) x.push_back(x.back() + w * s);
    const double yt = y0 + d * title * s, yh = yt + d * header * s;
    auto line = [&](double ax, double ay, double bx, double by) {
      if (chance(8)) return;  // missing
      const int copies = chance(8) ? 2 : 1;
      for (int c = 0; c < copies; ++c) addLine({ax + jitter(), ay + jitter(), 0}, {bx, by + jitter(), 0}, -1);
    };
    addLine({x0, y0, 0}, {x.back(), y0, 0}, uniform(0, 2));
    line(x0, y0, x0, yt);
    line(x.back(), y0, x.back(), yt);
    line(x0, yt, x.back(), yt);
    for (std::size_t j = 0; j < x.size(); ++j) line(x[j], yt, x[j], yh);
    line(x0, yh, x.back(), yh);
    addText((x0 + x.back()) / 2, (y0 + yt) / 2, "title");
    for (std::size_t j = 0; j + 1 < x.size(); ++j) addText((x[j] + x[j + 1]) / 2, (yt + yh) / 2, "H" + std::to_string(j));
    const int rows = uniform(0, 15);
    for (int k = 0; k < rows; ++k) {
      const double ya = yh + d * k * body * s, yb = ya + d * body * s;
      const bool bare = chance(5);  // a row without any line stops the rows
      for (std::size_t j = 0; j < x.size(); ++j)
        if (!bare) line(x[j], ya, x[j], yb);
      if (!bare) line(x0, yb, x.back(), yb);
      for (std::size_t j = 0; j + 1 < x.size(); ++j) {
        if (chance(10)) continue;
        const double cy = (ya + yb) / 2;
        switch (uniform(0, 9)) {
          case 0: addText(x[j], cy, "on-separator"); break;
          case 1: addText(x[j] + 0.0005, cy, "near-separator"); break;
          case 2:
            addText((x[j] + x[j + 1]) / 2, cy, "first");
            addText((x[j] + x[j + 1]) / 2 + 0.1, cy, "second");
            break;
          default: addText((x[j] + x[j + 1]) / 2, cy, std::to_string(k) + "/" + std::to_string(j));
        }
      }
    }
    for (int f = uniform(0, 4); f > 0; --f) {  // stray lines and texts
      addLine({x0 + uniform(0, total) * s, y0 + uniform(-20, 20) * s, 0},
              {x0 + uniform(0, total) * s, y0 + uniform(-20, 20) * s, 0}, -1);
      addText(x0 + uniform(-10, total + 10) * s, y0 + uniform(-40, 40) * s, "stray");
    }
  }
  std::shuffle(table.lines.begin(), table.lines.end(), rng);
  std::shuffle(table.texts.begin(), table.texts.end(), rng);
  return table;
}

void ExpectSameLine(const CTableLine& a, const CTableLine& b, const std::string& where) {
  EXPECT_EQ(a.id, b.id) << where;
  EXPECT_EQ(a.ptStart, b.ptStart) << where;
  EXPECT_EQ(a.ptEnd, b.ptEnd) << where;
}
void ExpectSameText(const CTableText& a, const CTableText& b, const std::string& where) {
  EXPECT_EQ(a.id, b.id) << where;
  EXPECT_EQ(a.strText, b.strText) << where;
  EXPECT_EQ(a.ptPosition, b.ptPosition) << where;
  EXPECT_EQ(a.nKind, b.nKind) << where;
  EXPECT_EQ(a.nColor, b.nColor) << where;
}

TEST(GeometryParse, IndexedAndStraightforwardParsesAgreeOnRandomTables) {
  AcDbDatabase db;
  std::mt19937 rng(20261205);
  int rowsSeen = 0, cellsFilled = 0;
  for (int round = 0; round < 400; ++round) {
    RandomTable table = MakeRandomTable(rng, &db);
    CSbbTable indexed(&db), scanned(&db);
    ASSERT_EQ(indexed.ParseHeaderData(table.chain.get()), 1);
    ASSERT_EQ(scanned.ParseHeaderData(table.chain.get()), 1);
    ASSERT_EQ(ParseTableGeometry(indexed, table.lines, table.texts, CSbbMatchMode::kIndexed), CSbbParseStatus::kOk);
    ASSERT_EQ(ParseTableGeometry(scanned, table.lines, table.texts, CSbbMatchMode::kFirstMatch), CSbbParseStatus::kOk);
    const std::string r = "round " + std::to_string(round);
    EXPECT_EQ(indexed.m_dScale, scanned.m_dScale) << r;
    ASSERT_EQ(indexed.m_blocks.size(), scanned.m_blocks.size()) << r;
    for (std::size_t b = 0; b < indexed.m_blocks.size(); ++b) {
      const CDeviceTable& x = indexed.m_blocks[b];
      const CDeviceTable& y = scanned.m_blocks[b];
      const std::string w = r + " block " + std::to_string(b);
      ExpectSameLine(x.mainLine, y.mainLine, w + " main");
      ExpectSameLine(x.titleLeft, y.titleLeft, w + " title left");
      ExpectSameLine(x.titleRight, y.titleRight, w + " title right");
      ExpectSameLine(x.titleFar, y.titleFar, w + " title far");
      ExpectSameText(x.title, y.title, w + " title");
      for (std::size_t j = 0; j < x.headerSeparators.size(); ++j)
        ExpectSameLine(x.headerSeparators[j], y.headerSeparators[j], w + " header separator");
      ExpectSameLine(x.headerClosing, y.headerClosing, w + " header closing");
      for (std::size_t j = 0; j < x.headerTexts.size(); ++j) ExpectSameText(x.headerTexts[j], y.headerTexts[j], w + " header");
      ASSERT_EQ(x.rows.size(), y.rows.size()) << w;
      for (std::size_t k = 0; k < x.rows.size(); ++k) {
        const std::string rw = w + " row " + std::to_string(k);
        EXPECT_EQ(x.rows[k].nReserved2, y.rows[k].nReserved2) << rw;
        for (std::size_t j = 0; j < x.rows[k].separators.size(); ++j)
          ExpectSameLine(x.rows[k].separators[j], y.rows[k].separators[j], rw + " separator");
        ExpectSameLine(x.rows[k].closing, y.rows[k].closing, rw + " closing");
        ASSERT_EQ(x.rows[k].cells.size(), y.rows[k].cells.size()) << rw;
        for (std::size_t j = 0; j < x.rows[k].cells.size(); ++j) {
          ExpectSameText(x.rows[k].cells[j], y.rows[k].cells[j], rw + " cell " + std::to_string(j));
          cellsFilled += x.rows[k].cells[j].id.isNull() ? 0 : 1;
        }
        EXPECT_EQ(x.rows[k].names, y.rows[k].names) << rw;
      }
      rowsSeen += static_cast<int>(x.rows.size());
    }
    if (HasFatalFailure() || HasFailure()) break;
  }
  // The random tables did exercise rows and cells.
  EXPECT_GT(rowsSeen, 500);
  EXPECT_GT(cellsFilled, 1000);
}

}  // namespace
