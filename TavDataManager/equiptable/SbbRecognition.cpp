#include "TavDataManager/equiptable/SbbRecognition.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/base/KvStrings.h"
#include "platform/host/KvCommandLine.h"
#include "platform/host/KvSelection.h"

namespace {

constexpr double kTol = kSbbPointTolerance;

bool Coincide(const AcGePoint3d& a, const AcGePoint3d& b) {
  return std::fabs(a.x - b.x) <= kTol && std::fabs(a.y - b.y) <= kTol && std::fabs(a.z - b.z) <= kTol;
}

// Strictly inside the rectangle spanned by two corners, whatever their order.
bool StrictlyInside(const AcGePoint3d& p, const AcGePoint3d& a, const AcGePoint3d& b) {
  const double xmin = std::min(a.x, b.x), xmax = std::max(a.x, b.x);
  const double ymin = std::min(a.y, b.y), ymax = std::max(a.y, b.y);
  return p.x > xmin && p.x < xmax && p.y > ymin && p.y < ymax;
}

struct Segment {
  AcGePoint3d start, end;
};

bool Matches(const CTableLine& line, const Segment& expected) {
  return Coincide(line.ptStart, expected.start) && Coincide(line.ptEnd, expected.end);
}

// The handle text of a QLV_SBBHANDLE chain read from the drawing: its first item's text.
std::string HandleTextOf(const tav::cad::DxfXData& chain) { return chain.items.empty() ? std::string() : chain.items[0].text; }

// Selects every entity of the working database passing the filter. False when the selection fails.
bool SelectAllWith(const char* types, AcDbObjectIdArray& ids) {
  KvResbufPtr filter(acutBuildList(RTDXF0, types, 1001, kSbbAppHandle, RTNONE));
  ads_name ss = {0, 0};
  if (acedSSGet("X", nullptr, nullptr, filter.get(), ss) != RTNORM) return false;
  ids = tav::host::SelectionIds(ss);
  acedSSFree(ss);
  return true;
}

// The working database set to `db` for the duration of a step.
class WorkingDb {
 public:
  explicit WorkingDb(AcDbDatabase* db) : scope_(db != nullptr ? db : acdbHostApplicationServices()->workingDatabase()) {}

 private:
  KvWorkingDatabaseScope scope_;
};

// ---- expected geometry of a block ----------------------------------------------------------------

struct BlockGeometry {
  std::vector<double> x;  // column edges x0 ... xn
  double y0 = 0, yt = 0, yh = 0, z = 0;
  double h = 0, d = 1;
  double RowY(std::size_t k) const { return yh + d * static_cast<double>(k) * h; }
  AcGePoint3d P(double px, double py) const { return AcGePoint3d(px, py, z); }
  Segment Separator(std::size_t j, std::size_t k) const { return {P(x[j], RowY(k)), P(x[j], RowY(k + 1))}; }
  Segment Closing(std::size_t k) const { return {P(x.front(), RowY(k + 1)), P(x.back(), RowY(k + 1))}; }
  Segment HeaderSeparator(std::size_t j) const { return {P(x[j], yt), P(x[j], yh)}; }
  Segment HeaderClosing() const { return {P(x.front(), yh), P(x.back(), yh)}; }
  Segment TitleLeft() const { return {P(x.front(), y0), P(x.front(), yt)}; }
  Segment TitleRight() const { return {P(x.back(), y0), P(x.back(), yt)}; }
  Segment TitleFar() const { return {P(x.front(), yt), P(x.back(), yt)}; }
};

BlockGeometry GeometryOf(const CSbbTable& model, const CDeviceTable& block, const std::vector<int>& wholeWidths) {
  BlockGeometry g;
  const double s = model.m_dScale;
  g.d = model.DirectionSign();
  const AcGePoint3d origin = block.mainLine.ptStart;
  g.z = origin.z;
  long long sum = 0;
  g.x.push_back(origin.x);
  for (int w : wholeWidths) {
    sum += w;
    g.x.push_back(origin.x + static_cast<double>(sum) * s);
  }
  g.y0 = origin.y;
  g.yt = g.y0 + g.d * model.m_nTitleRowSpacing * s;
  g.yh = g.yt + g.d * model.m_nHeaderRowSpacing * s;
  g.h = model.m_nBodyRowSpacing * s;
  return g;
}

void Record(CTableLine& target, const CTableLine& line) { target = line; }

// ---- line lookup ---------------------------------------------------------------------------------

// The lines sorted by the Y of their start points.
class LineIndex {
 public:
  explicit LineIndex(const std::vector<CTableLine>& lines) : lines_(lines) {
    order_.reserve(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) order_.push_back({lines[i].ptStart.y, i});
    std::sort(order_.begin(), order_.end());
  }
  // The index of the last line in list order whose ends coincide with the expected ones; -1 if none.
  long Find(const Segment& expected) const {
    const double margin = kTol + 1e-9 * std::max(1.0, std::fabs(expected.start.y));
    auto lo = std::lower_bound(order_.begin(), order_.end(), std::make_pair(expected.start.y - margin, std::size_t{0}));
    long found = -1;
    for (auto it = lo; it != order_.end() && it->first <= expected.start.y + margin; ++it) {
      const long index = static_cast<long>(it->second);
      if (index > found && Matches(lines_[it->second], expected)) found = index;
    }
    return found;
  }

 private:
  const std::vector<CTableLine>& lines_;
  std::vector<std::pair<double, std::size_t>> order_;
};

// ---- text lookup ---------------------------------------------------------------------------------

class TextIndex {
 public:
  explicit TextIndex(const std::vector<CTableText>& texts) : texts_(texts) {
    order_.reserve(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) order_.push_back({texts[i].ptPosition.y, i});
    std::sort(order_.begin(), order_.end());
  }
  // The first text in list order strictly inside the rectangle; -1 if none.
  long Find(const AcGePoint3d& a, const AcGePoint3d& b) const {
    const double ymin = std::min(a.y, b.y), ymax = std::max(a.y, b.y);
    auto lo = std::upper_bound(order_.begin(), order_.end(), ymin,
                               [](double v, const std::pair<double, std::size_t>& e) { return v < e.first; });
    long found = -1;
    for (auto it = lo; it != order_.end() && it->first < ymax; ++it) {
      const long index = static_cast<long>(it->second);
      if ((found < 0 || index < found) && StrictlyInside(texts_[it->second].ptPosition, a, b)) found = index;
    }
    return found;
  }

 private:
  const std::vector<CTableText>& texts_;
  std::vector<std::pair<double, std::size_t>> order_;
};

long FindTextScan(const std::vector<CTableText>& texts, const AcGePoint3d& a, const AcGePoint3d& b) {
  for (std::size_t i = 0; i < texts.size(); ++i)
    if (StrictlyInside(texts[i].ptPosition, a, b)) return static_cast<long>(i);
  return -1;
}

// A recorded line's point, or the expected one when the line was not found.
AcGePoint3d StartOr(const CTableLine& line, const AcGePoint3d& expected) { return line.IsEmpty() ? expected : line.ptStart; }
AcGePoint3d EndOr(const CTableLine& line, const AcGePoint3d& expected) { return line.IsEmpty() ? expected : line.ptEnd; }

// ---- the two line phases -------------------------------------------------------------------------

// Upper bound of body rows searched: each row counted needs a line of its own.
std::size_t RowLimit(const std::vector<CTableLine>& lines, const BlockGeometry& g) {
  if (!(std::fabs(g.h) > 2 * kTol) || !std::isfinite(g.h)) return 0;
  return lines.size() + 1;
}

void MatchLinesIndexed(CDeviceTable& block, const BlockGeometry& g, const std::vector<CTableLine>& lines,
                       const LineIndex& index) {
  const std::size_t n = g.x.size() - 1;
  auto take = [&](CTableLine& target, const Segment& expected) {
    long i = index.Find(expected);
    if (i >= 0) Record(target, lines[static_cast<std::size_t>(i)]);
    return i >= 0;
  };
  take(block.titleLeft, g.TitleLeft());
  take(block.titleRight, g.TitleRight());
  take(block.titleFar, g.TitleFar());
  for (std::size_t j = 0; j <= n; ++j) take(block.headerSeparators[j], g.HeaderSeparator(j));
  take(block.headerClosing, g.HeaderClosing());
  const std::size_t limit = RowLimit(lines, g);
  for (std::size_t k = 0; k < limit; ++k) {
    CTableBodyFence row;
    row.separators.resize(n + 1);
    int found = 0;
    for (std::size_t j = 0; j <= n; ++j) found += take(row.separators[j], g.Separator(j, k)) ? 1 : 0;
    found += take(row.closing, g.Closing(k)) ? 1 : 0;
    if (found == 0) break;
    row.nReserved1 = static_cast<int>(k);
    row.nReserved2 = found;
    block.rows.push_back(std::move(row));
  }
}

// Every line against every expected line, as the rules read.
void MatchLinesScan(CDeviceTable& block, const BlockGeometry& g, const std::vector<CTableLine>& lines) {
  const std::size_t n = g.x.size() - 1;
  const Segment frame[3] = {g.TitleLeft(), g.TitleRight(), g.TitleFar()};
  CTableLine* frameTargets[3] = {&block.titleLeft, &block.titleRight, &block.titleFar};
  for (const CTableLine& line : lines)
    for (int f = 0; f < 3; ++f)
      if (Matches(line, frame[f])) Record(*frameTargets[f], line);
  for (const CTableLine& line : lines) {
    for (std::size_t j = 0; j <= n; ++j)
      if (Matches(line, g.HeaderSeparator(j))) Record(block.headerSeparators[j], line);
    if (Matches(line, g.HeaderClosing())) Record(block.headerClosing, line);
  }
  const std::size_t limit = RowLimit(lines, g);
  for (std::size_t k = 0; k < limit; ++k) {
    block.rows.emplace_back();
    CTableBodyFence& row = block.rows.back();
    row.separators.resize(n + 1);
    bool any = false;
    int found = 0;
    for (const CTableLine& line : lines) {
      for (std::size_t j = 0; j <= n; ++j) {
        if (Matches(line, g.Separator(j, k))) {
          if (row.separators[j].IsEmpty()) ++found;
          Record(row.separators[j], line);
          any = true;
        }
      }
      if (Matches(line, g.Closing(k))) {
        if (row.closing.IsEmpty()) ++found;
        Record(row.closing, line);
        any = true;
      }
    }
    if (!any) {
      block.rows.pop_back();
      break;
    }
    row.nReserved1 = static_cast<int>(k);
    row.nReserved2 = found;
  }
}

// ---- the text phase ------------------------------------------------------------------------------

template <class FindText>
void MatchTexts(CSbbTable& model, CDeviceTable& block, const BlockGeometry& g, const std::vector<CTableText>& texts,
                const std::vector<int>& wholeWidths, FindText&& find) {
  const std::size_t n = g.x.size() - 1;
  const double s = model.m_dScale;
  const Segment left = g.TitleLeft(), right = g.TitleRight();
  long t = find(StartOr(block.titleLeft, left.start), EndOr(block.titleRight, right.end));
  if (t >= 0) block.title = texts[static_cast<std::size_t>(t)];
  for (std::size_t j = 0; j < n; ++j) {
    t = find(StartOr(block.headerSeparators[j], g.HeaderSeparator(j).start),
             EndOr(block.headerSeparators[j + 1], g.HeaderSeparator(j + 1).end));
    if (t >= 0) block.headerTexts[j] = texts[static_cast<std::size_t>(t)];
  }
  for (std::size_t k = 0; k < block.rows.size(); ++k) {
    CTableBodyFence& row = block.rows[k];
    const std::size_t rowIndex = static_cast<std::size_t>(row.nReserved1);
    row.cells.assign(n, CTableText());
    row.flags.assign(n, 0);
    row.names.assign(n, std::string());
    for (std::size_t j = 0; j < n; ++j) {
      row.flags[j] = wholeWidths[j];
      row.names[j] = block.headerTexts[j].strText;
      const AcGePoint3d a = StartOr(row.separators[j], g.Separator(j, rowIndex).start);
      const AcGePoint3d b = EndOr(row.separators[j + 1], g.Separator(j + 1, rowIndex).end);
      t = find(a, b);
      if (t >= 0) {
        row.cells[j] = texts[static_cast<std::size_t>(t)];
        continue;
      }
      CTableText& cell = row.cells[j];
      const tagLIEBIAODETAILDATA& column = model.m_columns[j];
      cell.strText.clear();
      cell.id = AcDbObjectId();
      cell.nColor = 1;
      cell.nKind = tav::EqualsNoCase(column.strName, "图例") ? CTableText::kLegend : CTableText::kText;
      const double x = column.nAlign == 0 ? a.x + column.nLeftMargin * s : a.x + column.dWidth / 2 * s;
      cell.ptPosition = AcGePoint3d(x, a.y + g.d * g.h / 2, 0);
    }
  }
}

}  // namespace

// ---- public steps ---------------------------------------------------------------------------------

void NormaliseTableLine(CTableLine& line, int direction) {
  const double dx = line.ptEnd.x - line.ptStart.x;
  const double dy = line.ptEnd.y - line.ptStart.y;
  if (std::fabs(dx) < kTol) {
    line.nType = CTableLine::kVertical;
    const bool upward = direction == 0;
    if ((upward && line.ptStart.y > line.ptEnd.y) || (!upward && line.ptStart.y < line.ptEnd.y))
      std::swap(line.ptStart, line.ptEnd);
  } else if (std::fabs(dy) < kTol) {
    line.nType = CTableLine::kHorizontal;
    if (line.ptStart.x > line.ptEnd.x) std::swap(line.ptStart, line.ptEnd);
  } else {
    line.nType = CTableLine::kOblique;
  }
}

CSbbParseStatus ParseTableGeometry(CSbbTable& model, const std::vector<CTableLine>& lines,
                                   const std::vector<CTableText>& texts, CSbbMatchMode mode) {
  model.m_blocks.clear();
  for (const CTableLine& line : lines) {
    if (line.nBlockIndex < 0) continue;
    CDeviceTable block;
    block.mainLine = line;
    auto at = std::find_if(model.m_blocks.begin(), model.m_blocks.end(),
                           [&](const CDeviceTable& b) { return b.mainLine.nBlockIndex > line.nBlockIndex; });
    model.m_blocks.insert(at, std::move(block));
  }
  if (model.m_blocks.empty()) return CSbbParseStatus::kNoBlock;
  model.m_mainLine = model.m_blocks.front().mainLine;

  model.m_nColumnCount = static_cast<int>(model.m_names.size());
  const std::size_t n = model.m_columns.size();
  std::vector<int> whole;
  long long total = 0;
  for (const tagLIEBIAODETAILDATA& column : model.m_columns) {
    whole.push_back(static_cast<int>(column.dWidth));
    total += whole.back();
  }
  model.m_nTotalWidth = static_cast<int>(total);
  const double length = model.m_mainLine.ptStart.DistanceTo(model.m_mainLine.ptEnd);
  if (n == 0 || total <= 0 || !(length > 0)) return CSbbParseStatus::kBadHeader;
  model.m_dScale = length / static_cast<double>(total);
  for (CDeviceTable& block : model.m_blocks) {
    block.headerSeparators.assign(n + 1, CTableLine());
    block.headerTexts.assign(n, CTableText());
    block.rows.clear();
  }

  std::vector<BlockGeometry> geometry;
  for (const CDeviceTable& block : model.m_blocks) geometry.push_back(GeometryOf(model, block, whole));
  if (mode == CSbbMatchMode::kIndexed) {
    const LineIndex lineIndex(lines);
    for (std::size_t b = 0; b < model.m_blocks.size(); ++b)
      MatchLinesIndexed(model.m_blocks[b], geometry[b], lines, lineIndex);
    const TextIndex textIndex(texts);
    for (std::size_t b = 0; b < model.m_blocks.size(); ++b)
      MatchTexts(model, model.m_blocks[b], geometry[b], texts, whole,
                 [&](const AcGePoint3d& a, const AcGePoint3d& c) { return textIndex.Find(a, c); });
  } else {
    for (std::size_t b = 0; b < model.m_blocks.size(); ++b) MatchLinesScan(model.m_blocks[b], geometry[b], lines);
    for (std::size_t b = 0; b < model.m_blocks.size(); ++b)
      MatchTexts(model, model.m_blocks[b], geometry[b], texts, whole,
                 [&](const AcGePoint3d& a, const AcGePoint3d& c) { return FindTextScan(texts, a, c); });
  }
  return CSbbParseStatus::kOk;
}

resbuf* FindTableHandle(const AcDbObjectId& entity) {
  KvDbObjectPtr<AcDbEntity> object(entity, AcDb::kForRead);
  if (!object) return nullptr;
  return object->xData(kSbbAppHandle);
}

double TableAngle(const AcGePoint3d& start, const AcGePoint3d& end) {
  const double dx = end.x - start.x, dy = end.y - start.y;
  if (dx == 0 && dy == 0) return 0;
  double angle = std::atan2(dy, dx);
  if (angle < 0) angle += 2 * std::numbers::pi;
  if (angle >= 2 * std::numbers::pi || 2 * std::numbers::pi - angle < 0.001) angle = 0;
  return angle;
}

void TurnSelection(const CSbbSelection& selection, const AcGePoint3d& basePoint, double angle) {
  if (angle == 0) return;
  const AcGeMatrix3d xform = AcGeMatrix3d::translation({basePoint.x, basePoint.y, basePoint.z}) *
                             AcGeMatrix3d::rotation(angle, {0, 0, 1}) *
                             AcGeMatrix3d::translation({-basePoint.x, -basePoint.y, -basePoint.z});
  for (const AcDbObjectId& id : selection.Ids()) {
    KvDbObjectPtr<AcDbEntity> entity(id, AcDb::kForWrite);
    if (entity) entity->transformBy(xform);
  }
}

int CollectTable(const std::string& handleText, AcGePoint3d& basePoint, double& angle, CSbbSelection& selection,
                 AcDbDatabase* db) {
  WorkingDb scope(db);
  AcDbDatabase* work = acdbHostApplicationServices()->workingDatabase();
  if (work == nullptr) return 0;
  AcDbObjectId mainId;
  if (work->getAcDbObjectId(mainId, false, AcDbHandle(handleText.c_str())) != Acad::eOk) return 0;
  AcGePoint3d start, end;
  {
    KvDbObjectPtr<AcDbEntity> main(mainId, AcDb::kForRead);
    if (!main) return 0;
    const std::string type = main->dxfType();
    if (type == "LINE") {
      const tav::cad::DxfLine line = main->view<tav::cad::DxfLine>();
      start = AcGePoint3d(line.Start().x, line.Start().y, line.Start().z);
      end = AcGePoint3d(line.End().x, line.End().y, line.End().z);
    } else if (type == "LWPOLYLINE") {
      const auto vertices = main->view<tav::cad::DxfLwPolyline>().Vertices();
      if (vertices.empty()) return 0;
      start = AcGePoint3d(vertices.front().x, vertices.front().y, 0);
      end = AcGePoint3d(vertices.back().x, vertices.back().y, 0);
    } else {
      return 0;
    }
  }
  basePoint = start;
  angle = TableAngle(start, end);
  AcDbObjectIdArray ids;
  if (!SelectAllWith("TEXT,LINE,LWPOLYLINE,INSERT", ids)) {
    acutPrintf("%s", "\n建立设备表表格线选择集失败!");
    return 0;
  }
  for (const AcDbObjectId& id : ids) {
    const tav::cad::DxfObject entity = id.dxf();
    tav::cad::DxfXData chain;
    if (entity.GetXData(kSbbAppHandle, chain) && tav::EqualsNoCase(HandleTextOf(chain), handleText)) selection.Add(id);
  }
  return selection.empty() ? 0 : 1;
}

namespace {

// One entity of the table as a line list entry; false when it is no two-vertex line.
bool ReadLine(const AcDbObjectId& id, const tav::cad::DxfObject& entity, int direction, bool define,
              CTableLine& line) {
  if (entity.Type() == "LINE") {
    const tav::cad::DxfLine view(entity);
    const tav::cad::DxfPoint a = view.Start(), b = view.End();
    line.ptStart = AcGePoint3d(a.x, a.y, a.z);
    line.ptEnd = AcGePoint3d(b.x, b.y, b.z);
  } else {
    const auto vertices = tav::cad::DxfLwPolyline(entity).Vertices();
    if (vertices.size() != 2) return false;
    line.ptStart = AcGePoint3d(vertices[0].x, vertices[0].y, 0);
    line.ptEnd = AcGePoint3d(vertices[1].x, vertices[1].y, 0);
  }
  line.id = id;
  line.nBlockIndex = define ? 0 : -1;
  NormaliseTableLine(line, direction);
  return true;
}

// One entity of the table as a text list entry: a text, or a legend block.
CTableText ReadText(const AcDbObjectId& id, const tav::cad::DxfObject& entity) {
  CTableText text;
  if (entity.Type() == "TEXT") {
    const tav::cad::DxfText view(entity);
    text.nKind = CTableText::kText;
    const tav::cad::DxfPoint p = view.Alignment();
    text.ptPosition = AcGePoint3d(p.x, p.y, p.z);
    text.strText = view.Text();
  } else {
    text.nKind = CTableText::kLegend;
    tav::cad::DxfXData picture;
    entity.GetXData(kSbbAppPicture, picture);
    if (!picture.items.empty()) text.strText = picture.items[0].text;
    if (picture.items.size() > 1 && picture.items[1].code >= 1010 && picture.items[1].code <= 1013) {
      text.ptPosition = AcGePoint3d(picture.items[1].point.x, picture.items[1].point.y, 0);
    } else {
      const tav::cad::DxfPoint p = tav::cad::DxfInsert(entity).Insertion();
      text.ptPosition = AcGePoint3d(p.x, p.y, 0);
    }
  }
  text.nColor = static_cast<short>(tav::cad::DxfEntity(entity).Color());
  text.id = id;
  return text;
}

bool IsLineType(std::string_view type) { return type == "LINE" || type == "LWPOLYLINE"; }

// Reads the line list (when `lines` is given; handle compared exactly) and the text list (when
// `texts` is given; handle compared ignoring case) from one selection of the drawing. The entities
// are only read: their data is taken from the drawing directly, without opening each one (tables run
// to hundreds of thousands of entities). A list whose selection would have found no entity of its
// types at all fails as that selection fails; the line list is checked first.
CSbbParseStatus ReadLists(CSbbTable& model, const std::string& handleText, std::vector<CTableLine>* lines,
                          std::vector<CTableText>* texts, bool* textsMissing) {
  WorkingDb scope(model.Database());
  const char* types = lines && texts ? "LINE,LWPOLYLINE,TEXT,INSERT" : lines ? "LINE,LWPOLYLINE" : "TEXT,INSERT";
  AcDbObjectIdArray ids;
  const bool selected = SelectAllWith(types, ids);
  if (lines) lines->clear();
  if (texts) texts->clear();
  bool anyLine = false, anyText = false;
  for (const AcDbObjectId& id : ids) {
    const tav::cad::DxfObject entity = id.dxf();
    if (entity.IsNull()) continue;
    const bool isLine = IsLineType(entity.Type());
    (isLine ? anyLine : anyText) = true;
    // Only the handle chain is parsed; QLV_SBBDY is looked up by name, for the table's own lines only.
    tav::cad::DxfXData handleChain;
    if (!entity.GetXData(kSbbAppHandle, handleChain)) continue;
    const std::string handle = HandleTextOf(handleChain);
    if (isLine && lines) {
      if (handle != handleText) continue;
      const std::vector<std::string> apps = entity.XDataApps();
      const bool define = std::any_of(apps.begin(), apps.end(),
                                      [](const std::string& app) { return tav::EqualsNoCase(app, kSbbAppDefine); });
      CTableLine line;
      if (ReadLine(id, entity, model.m_nDirection, define, line)) lines->push_back(line);
    } else if (!isLine && texts) {
      if (tav::EqualsNoCase(handle, handleText)) texts->push_back(ReadText(id, entity));
    }
  }
  if (lines && (!selected || !anyLine)) return CSbbParseStatus::kSelectionFailed;
  if (texts && (!selected || !anyText)) {
    if (textsMissing) *textsMissing = true;
    return CSbbParseStatus::kSelectionFailed;
  }
  return CSbbParseStatus::kOk;
}

}  // namespace

CSbbParseStatus ReadTableLines(CSbbTable& model, const std::string& handleText, std::vector<CTableLine>& lines) {
  return ReadLists(model, handleText, &lines, nullptr, nullptr);
}

CSbbParseStatus ReadTableTexts(CSbbTable& model, const std::string& handleText, std::vector<CTableText>& texts) {
  return ReadLists(model, handleText, nullptr, &texts, nullptr);
}

int RecognizeTable(CSbbTable& model, const std::string& handleText, CSbbMatchMode mode) {
  model.m_strHandle = handleText;
  AcDbDatabase* db = model.Database();
  AcDbObjectId mainId;
  if (db == nullptr || db->getAcDbObjectId(mainId, false, AcDbHandle(handleText.c_str())) != Acad::eOk ||
      mainId.isNull()) {
    acutPrintf("%s", "\n获取主表头线数据失败!");
    return 0;
  }
  KvResbufPtr define;
  {
    KvDbObjectPtr<AcDbEntity> main(mainId, AcDb::kForRead);
    if (main) define.reset(main->xData(kSbbAppDefine));
  }
  if (!define) {
    acutPrintf("%s", "\n获取设备表主表头线扩展数据“QLV_SBBDY”失败!");
    return 0;
  }
  if (model.ParseHeaderData(define.get()) == 0) {
    acutPrintf("%s", "\n设备表数据不完整!");
    return 0;
  }
  std::vector<CTableLine> lines;
  std::vector<CTableText> texts;
  bool textsMissing = false;
  if (ReadLists(model, handleText, &lines, &texts, &textsMissing) != CSbbParseStatus::kOk) {
    acutPrintf("%s", textsMissing ? "\n在给定层上没有发现表格文字!" : "\n建立设备表表格线选择集失败!");
    return 0;
  }
  switch (ParseTableGeometry(model, lines, texts, mode)) {
    case CSbbParseStatus::kOk: return 1;
    case CSbbParseStatus::kNoBlock: acutPrintf("%s", "\n没有设备表!"); return 0;
    default: acutPrintf("%s", "\n设备表数据不完整!"); return 0;
  }
}

std::vector<tagSBBGETDATA> ExtractRows(const CSbbTable& model) {
  std::vector<tagSBBGETDATA> rows;
  for (const CDeviceTable& block : model.m_blocks) {
    for (const CTableBodyFence& row : block.rows) {
      tagSBBGETDATA data;
      const std::size_t n = std::min<std::size_t>(row.cells.size(), kSbbMaxColumns);
      for (std::size_t j = 0; j < n; ++j) {
        tagSBBCELL& cell = data.cells[j];
        cell.strName = row.names[j];
        cell.nFlag = row.flags[j];
        cell.nKind = row.cells[j].nKind;
        cell.strText = row.cells[j].strText;
        cell.id = row.cells[j].id;
      }
      rows.push_back(std::move(data));
    }
  }
  return rows;
}
