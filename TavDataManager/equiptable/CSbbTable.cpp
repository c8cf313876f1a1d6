#include "TavDataManager/equiptable/CSbbTable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/base/KvStrings.h"
#include "platform/tavdata/KvDbLegend.h"
#include "platform/tavdata/KvDbSetting.h"

namespace {

// The numeric value of an item of any kind (the reader does not check group codes).
double RbNumber(const resbuf* rb) {
  if (rb == nullptr) return 0;
  switch (KvResKindOf(rb->restype)) {
    case KvResKind::kReal: return rb->resval.rreal;
    case KvResKind::kShort: return rb->resval.rint;
    case KvResKind::kLong: return rb->resval.rlong;
    case KvResKind::kPoint: return rb->resval.rpoint[0];
    case KvResKind::kString: return std::strtod(KvRbString(rb).c_str(), nullptr);
    default: return 0;
  }
}

// At most `limit` UTF-8 characters of `text`.
std::string CutCharacters(std::string_view text, std::size_t limit) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      if (count == limit) return std::string(text.substr(0, i));
      ++count;
    }
  }
  return std::string(text);
}

// The application name of a chain, "" when it does not start with 1001.
std::string ChainApp(const resbuf* chain) {
  if (chain == nullptr || chain->restype != 1001) return {};
  return KvRbString(chain);
}

tav::cad::DxfPoint ToDxf(const AcGePoint3d& p) { return {p.x, p.y, p.z}; }

}  // namespace

// ---- CSbbSelection ----------------------------------------------------------------------------------

void CSbbSelection::Add(const AcDbObjectId& id) {
  if (id.isNull() || where_.count(id.handle().value()) != 0) return;
  where_.emplace(id.handle().value(), ids_.size());
  ids_.push_back(id);
}

bool CSbbSelection::Remove(const AcDbObjectId& id) {
  if (id.isNull()) return false;
  auto it = where_.find(id.handle().value());
  if (it == where_.end()) return false;
  ids_[it->second] = AcDbObjectId();
  where_.erase(it);
  return true;
}

void CSbbSelection::Replace(const AcDbObjectId& old, const AcDbObjectId& replacement) {
  auto it = old.isNull() ? where_.end() : where_.find(old.handle().value());
  if (it == where_.end() || replacement.isNull() || where_.count(replacement.handle().value()) != 0) {
    Add(replacement);
    return;
  }
  const std::size_t slot = it->second;
  where_.erase(it);
  ids_[slot] = replacement;
  where_.emplace(replacement.handle().value(), slot);
}

bool CSbbSelection::Contains(const AcDbObjectId& id) const {
  return !id.isNull() && where_.count(id.handle().value()) != 0;
}

AcDbObjectIdArray CSbbSelection::Ids() const {
  AcDbObjectIdArray out;
  out.reserve(where_.size());
  for (const AcDbObjectId& id : ids_)
    if (!id.isNull()) out.push_back(id);
  return out;
}

void CSbbSelection::clear() {
  ids_.clear();
  where_.clear();
}

// ---- the model --------------------------------------------------------------------------------------

CSbbTable::CSbbTable(AcDbDatabase* db)
    : m_pDb(db != nullptr ? db : acdbHostApplicationServices()->workingDatabase()) {
  m_dScale = PrintScale();
}

double CSbbTable::PrintScale() const { return m_pDb != nullptr ? KvDbGetPrintScale(m_pDb) : 1.0; }

int CSbbTable::TotalBodyRows() const {
  int total = 0;
  for (const CDeviceTable& block : m_blocks) total += static_cast<int>(block.rows.size());
  return total;
}

double CSbbTable::ExactTotalWidth() const {
  double total = 0;
  for (const tagLIEBIAODETAILDATA& column : m_columns) total += column.dWidth;
  return total;
}

int CSbbTable::ParseHeaderData(const resbuf* chain) {
  std::vector<const resbuf*> items;
  for (const resbuf* rb = chain; rb != nullptr; rb = rb->rbnext) items.push_back(rb);
  if (items.size() < 12) return 0;
  m_strTitle = KvRbString(items[1]);
  m_nTitleRowSpacing = static_cast<int>(RbNumber(items[2]));
  m_dTitleTextHeight = std::trunc(RbNumber(items[3]));
  m_nHeaderRowSpacing = static_cast<int>(RbNumber(items[4]));
  m_dHeaderTextHeight = std::trunc(RbNumber(items[5]));
  m_nBodyRowSpacing = static_cast<int>(RbNumber(items[6]));
  m_dBodyTextHeight = std::trunc(RbNumber(items[7]));
  m_nDirection = static_cast<int>(RbNumber(items[8]));
  m_nFrame = static_cast<int>(RbNumber(items[9]));
  m_nBodyRowCount = static_cast<int>(RbNumber(items[10]));
  m_nItem11 = static_cast<int>(RbNumber(items[11]));
  // Column groups: opening item, name, width, alignment, margin, closing item.
  int groups = 0;
  for (std::size_t first = 12; first + 4 < items.size(); first += 6) {
    tagLIEBIAODETAILDATA column;
    column.strName = KvRbString(items[first + 1]);
    column.dWidth = std::strtod(KvRbString(items[first + 2]).c_str(), nullptr);
    column.nAlign = KvRbString(items[first + 3]) == "居左" ? 0 : 1;
    column.nLeftMargin = std::atoi(KvRbString(items[first + 4]).c_str());
    m_names.push_back(column.strName);
    m_columns.push_back(std::move(column));
    ++groups;
  }
  if (groups == 0) return 0;
  m_nColumnCount = static_cast<int>(m_names.size());
  return 1;
}

void CSbbTable::SetBodyRowCount(int count) {
  if (m_pDb == nullptr) return;
  AcDbObjectId id;
  if (m_pDb->getAcDbObjectId(id, false, AcDbHandle(m_strHandle.c_str())) != Acad::eOk) return;
  KvDbObjectPtr<AcDbEntity> line(id, AcDb::kForWrite);
  if (!line) return;
  KvResbufPtr chain(line->xData(kSbbAppDefine));
  if (!chain) return;
  resbuf* item = chain.get();
  for (int i = 0; i < 10 && item != nullptr; ++i) item = item->rbnext;
  if (item == nullptr) return;
  switch (KvResKindOf(item->restype)) {
    case KvResKind::kShort: item->resval.rint = static_cast<short>(count); break;
    case KvResKind::kLong: item->resval.rlong = count; break;
    case KvResKind::kReal: item->resval.rreal = count; break;
    case KvResKind::kString: KvRbSetString(item, std::to_string(count)); break;
    default: return;
  }
  line->setXData(chain.get());
  m_nBodyRowCount = count;
}

void CSbbTable::EnsureLayer() {
  if (m_layerChecked || m_pDb == nullptr) return;
  m_layerChecked = true;
  AcDbLayerTable* table = nullptr;
  if (m_pDb->getSymbolTable(table, AcDb::kForRead) != Acad::eOk) return;
  if (!table->has(kSbbLayer) && table->upgradeOpen() == Acad::eOk) {
    AcDbObjectId id;
    table->add(kSbbLayer, id);
  }
  table->close();
}

void CSbbTable::ResolveTextStyle() {
  if (m_styleResolved || m_pDb == nullptr) return;
  m_styleResolved = true;
  m_textStyle.clear();
  m_textWidthFactor = 1.0;
  AcDbTextStyleTable* table = nullptr;
  if (m_pDb->getSymbolTable(table, AcDb::kForRead) == Acad::eOk) {
    AcDbTextStyleTableRecord* style = nullptr;
    if (table->getAt(kSbbTextStyle, style, AcDb::kForRead) == Acad::eOk) {
      m_textStyle = style->getName();
      m_textWidthFactor = style->get().WidthFactor();
      style->close();
    }
    table->close();
  }
  if (!m_textStyle.empty()) return;
  KvDbObjectPtr<AcDbTextStyleTableRecord> current(m_pDb->textstyle(), AcDb::kForRead);
  if (current) m_textStyle = current->getName();
}

AcDbObjectId CSbbTable::CreateTableText(const AcGePoint3d& position, std::string_view text, bool centred,
                                        double height) {
  if (m_pDb == nullptr || text.empty()) return {};
  EnsureLayer();
  ResolveTextStyle();
  AcDbText* entity = nullptr;
  AcDbObjectId id;
  if (KvDbAppendToModelSpace(m_pDb, entity, &id) != Acad::eOk) return {};
  entity->setLayer(kSbbLayer);
  entity->setColorIndex(256);
  tav::cad::DxfText view = entity->set();
  const bool ok = view.SetText(text);
  view.SetHeight(height);
  if (!m_textStyle.empty()) view.SetStyle(m_textStyle);
  view.SetWidthFactor(m_textWidthFactor);
  view.SetRotation(0);
  view.SetJustification(centred ? 1 : 0, 2);
  view.SetInsertion(ToDxf(position));
  view.SetAlignment(ToDxf(position));
  if (!ok) {
    entity->erase();
    entity->close();
    return {};
  }
  entity->close();
  return id;
}

AcDbObjectId CSbbTable::CreateTableLine(const AcGePoint3d& start, const AcGePoint3d& end, double width) {
  if (m_pDb == nullptr) return {};
  EnsureLayer();
  AcDbObjectId id;
  AcDbEntity* entity = nullptr;
  if (width <= 0) {
    AcDbLine* line = nullptr;
    if (KvDbAppendToModelSpace(m_pDb, line, &id) != Acad::eOk) return {};
    line->set().SetStart(ToDxf(start));
    line->set().SetEnd(ToDxf(end));
    entity = line;
  } else {
    AcDbPolyline* poly = nullptr;
    if (KvDbAppendToModelSpace(m_pDb, poly, &id) != Acad::eOk) return {};
    tav::cad::DxfLwVertex a{start.x, start.y, width, width, 0};
    tav::cad::DxfLwVertex b{end.x, end.y, width, width, 0};
    poly->set().SetVertices({a, b});
    poly->set().SetConstantWidth(width);
    entity = poly;
  }
  entity->setLayer(kSbbLayer);
  entity->setColorIndex(256);
  entity->setLinetype(kSbbLinetype);
  entity->close();
  return id;
}

bool CSbbTable::AttachXData(const AcDbObjectId& id, const resbuf* chain) {
  const std::string app = ChainApp(chain);
  if (app.empty() || id.isNull()) return false;
  if (KvDbRegApp(id.database(), app) != Acad::eOk) return false;
  KvDbObjectPtr<AcDbEntity> entity(id, AcDb::kForWrite);
  if (!entity) return false;
  return entity->setXData(chain) == Acad::eOk;
}

resbuf* CSbbTable::BuildHandleChain() const {
  return acutBuildList(1001, kSbbAppHandle, 1005, m_strHandle.c_str(), RTNONE);
}

void CSbbTable::TagCell(const AcDbObjectId& id, int rowNumber, const std::string& column, const resbuf* handleChain) {
  if (id.isNull()) return;
  KvResbufPtr text(acutBuildList(1001, kSbbAppText, 1070, rowNumber, 1000, column.c_str(), RTNONE));
  AttachXData(id, text.get());
  AttachXData(id, handleChain);
  m_selection.Add(id);
}

void CSbbTable::EraseTableEntity(const AcDbObjectId& id) {
  if (id.isNull()) return;
  KvDbObjectPtr<AcDbEntity> entity(id, AcDb::kForWrite);
  if (!entity) return;
  entity->erase();
  entity.reset();
  m_selection.Remove(id);
}

AcDbObjectId CSbbTable::SetLineWidth(const AcDbObjectId& id, double width) {
  if (id.isNull()) return id;
  AcGePoint3d start, end;
  std::string layer, linetype;
  int color = 256;
  KvResbufPtr xdata;
  bool toPolyline = false;
  {
    KvDbObjectPtr<AcDbEntity> entity(id, AcDb::kForRead);
    if (!entity) return {};
    const std::string type = entity->dxfType();
    if (type == "LINE") {
      if (width <= 0) return id;
      tav::cad::DxfLine line = entity->view<tav::cad::DxfLine>();
      start = {line.Start().x, line.Start().y, line.Start().z};
      end = {line.End().x, line.End().y, line.End().z};
      toPolyline = true;
    } else if (type == "LWPOLYLINE") {
      tav::cad::DxfLwPolyline poly = entity->view<tav::cad::DxfLwPolyline>();
      if (width > 0) {
        entity.reset();
        KvDbObjectPtr<AcDbPolyline> writable(id, AcDb::kForWrite);
        if (writable && writable->get().ConstantWidth() != width) {
          std::vector<tav::cad::DxfLwVertex> vertices = writable->get().Vertices();
          for (auto& v : vertices) v.startWidth = v.endWidth = width;
          writable->set().SetVertices(vertices);
          writable->set().SetConstantWidth(width);
        }
        return id;
      }
      const std::vector<tav::cad::DxfLwVertex> vertices = poly.Vertices();
      if (vertices.empty()) return id;
      start = {vertices.front().x, vertices.front().y, 0};
      end = {vertices.back().x, vertices.back().y, 0};
    } else {
      return id;
    }
    layer = entity->layer();
    linetype = entity->linetype();
    color = entity->colorIndex();
    xdata.reset(entity->xData(nullptr));
  }
  AcDbObjectId replacement;
  AcDbEntity* created = nullptr;
  if (toPolyline) {
    AcDbPolyline* poly = nullptr;
    if (KvDbAppendToModelSpace(m_pDb, poly, &replacement) != Acad::eOk) return id;
    tav::cad::DxfLwVertex a{start.x, start.y, width, width, 0};
    tav::cad::DxfLwVertex b{end.x, end.y, width, width, 0};
    poly->set().SetVertices({a, b});
    poly->set().SetConstantWidth(width);
    created = poly;
  } else {
    AcDbLine* line = nullptr;
    if (KvDbAppendToModelSpace(m_pDb, line, &replacement) != Acad::eOk) return id;
    line->set().SetStart(ToDxf(start));
    line->set().SetEnd(ToDxf(end));
    created = line;
  }
  created->setLayer(layer);
  created->setColorIndex(color);
  created->setLinetype(linetype);
  if (xdata) created->setXData(xdata.get());
  created->close();
  m_selection.Replace(id, replacement);
  {
    KvDbObjectPtr<AcDbEntity> old(id, AcDb::kForWrite);
    if (old) old->erase();
  }
  return replacement;
}

// ---- rows ---------------------------------------------------------------------------------------

void CSbbTable::DrawBodyRow(int rowNumber, const AcGePoint3d& base, const tagSBBSCDATA& row, double closingWidth) {
  KvResbufPtr handleChain(BuildHandleChain());
  const double s = m_dScale;
  const double d = DirectionSign();
  const double h = m_nBodyRowSpacing * s;
  const double w = FrameWidth();
  const double farY = base.y + d * h;
  const double textY = base.y + d * h / 2;

  AcDbObjectId left = CreateTableLine(base, AcGePoint3d(base.x, farY, base.z), w);
  if (!left.isNull()) {
    AttachXData(left, handleChain.get());
    m_selection.Add(left);
  }
  double accumulated = 0;
  double leftEdge = base.x;
  for (std::size_t j = 0; j < m_columns.size(); ++j) {
    const tagLIEBIAODETAILDATA& column = m_columns[j];
    const bool centred = column.nAlign != 0;
    const double x = centred ? base.x + (accumulated + column.dWidth / 2) * s
                             : base.x + (accumulated + column.nLeftMargin) * s;
    accumulated += column.dWidth;
    const double rightEdge = leftEdge + column.dWidth * s;
    AcDbObjectId cell;
    const std::string& name = column.strName;
    if (tav::EqualsNoCase(name, "图例")) {
      if (!row.strLegend.empty()) {
        const AcGePoint3d centre((leftEdge + rightEdge) / 2, textY, 0);
        cell = PlaceLegend(m_pDb, row.strLegend, centre, column.dWidth * s, h, kSbbLayer);
        if (!cell.isNull()) {
          double point[3] = {centre.x, centre.y, 0};
          KvResbufPtr picture(acutBuildList(1001, kSbbAppPicture, 1000, row.strLegend.c_str(), 1011, point, RTNONE));
          AttachXData(cell, picture.get());
        }
      }
    } else {
      std::string text;
      if (tav::EqualsNoCase(name, "序号")) {
        if (row.nNumber != 0) text = std::to_string(row.nNumber);
      } else if (tav::EqualsNoCase(name, "编号")) {
        text = row.strCode;
      } else if (tav::EqualsNoCase(name, "设备名称")) {
        text = row.strName;
      } else if (tav::EqualsNoCase(name, "型号规格")) {
        text = row.strSpec;
      } else if (tav::EqualsNoCase(name, "单位")) {
        text = row.strUnit;
      } else if (tav::EqualsNoCase(name, "数量")) {
        text = FormatQuantity(row.dQuantity, row.strUnit);
      } else if (tav::EqualsNoCase(name, "备注")) {
        text = row.strRemark;
      } else if (tav::EqualsNoCase(name, "空白")) {
        text = row.strBlank;
      }
      text = CutCharacters(text, 255);
      cell = CreateTableText(AcGePoint3d(x, textY, base.z), text, centred, m_dBodyTextHeight * s);
    }
    TagCell(cell, rowNumber, name, handleChain.get());
    leftEdge = rightEdge;
    const bool last = j + 1 == m_columns.size();
    AcDbObjectId separator =
        CreateTableLine(AcGePoint3d(rightEdge, base.y, base.z), AcGePoint3d(rightEdge, farY, base.z), last ? w : 0);
    if (!separator.isNull()) {
      AttachXData(separator, handleChain.get());
      m_selection.Add(separator);
    }
  }
  AcDbObjectId closing =
      CreateTableLine(AcGePoint3d(base.x, farY, base.z), AcGePoint3d(leftEdge, farY, base.z), closingWidth);
  if (!closing.isNull()) {
    AttachXData(closing, handleChain.get());
    m_selection.Add(closing);
  }
}

void CSbbTable::AppendBodyRows(const std::vector<tagSBBSCDATA>& rows, int first, AcGePoint3d base) {
  const double step = DirectionSign() * m_nBodyRowSpacing * m_dScale;
  const int count = static_cast<int>(rows.size());
  for (int i = std::max(first, 0); i < count; ++i) {
    const double closingWidth = (i == count - 1) ? FrameWidth() : 0.0;
    DrawBodyRow(i + 1, base, rows[i], closingWidth);
    base.y += step;
  }
  SetBodyRowCount(count);
}

void CSbbTable::UpdateCell(int rowNumber, int column, CTableText& current, std::string_view text, int kind) {
  if (text.empty()) {
    EraseTableEntity(current.id);
    current.id = AcDbObjectId();
    current.strText.clear();
    return;
  }
  const bool known = column >= 0 && column < static_cast<int>(m_columns.size());
  const std::string name = known ? m_columns[column].strName : std::string();
  if (kind == CTableText::kText) {
    if (!current.id.isNull()) {
      KvDbObjectPtr<AcDbText> entity(current.id, AcDb::kForWrite);
      if (entity && entity->set().SetText(text)) current.strText = std::string(text);
      return;
    }
    const bool centred = !known || m_columns[column].nAlign != 0;
    AcDbObjectId id = CreateTableText(current.ptPosition, text, centred, m_dBodyTextHeight * m_dScale);
    if (id.isNull()) return;
    KvResbufPtr handleChain(BuildHandleChain());
    TagCell(id, rowNumber, name, handleChain.get());
    current.id = id;
    current.nKind = CTableText::kText;
    current.strText = std::string(text);
    return;
  }
  // A legend block: the old one goes, a new one is placed in the cell.
  EraseTableEntity(current.id);
  current.id = AcDbObjectId();
  current.strText.clear();
  const double width = known ? m_columns[column].dWidth * m_dScale : 0.0;
  const double height = m_nBodyRowSpacing * m_dScale;
  const AcGePoint3d centre(current.ptPosition.x, current.ptPosition.y, 0);
  AcDbObjectId id = PlaceLegend(m_pDb, text, centre, width, height, kSbbLayer);
  if (id.isNull()) return;
  KvResbufPtr handleChain(BuildHandleChain());
  AttachXData(id, handleChain.get());
  const std::string legend(text);
  KvResbufPtr textChain(acutBuildList(1001, kSbbAppText, 1070, rowNumber, 1000, name.c_str(), RTNONE));
  AttachXData(id, textChain.get());
  double point[3] = {centre.x, centre.y, 0};
  KvResbufPtr picture(acutBuildList(1001, kSbbAppPicture, 1000, legend.c_str(), 1011, point, RTNONE));
  AttachXData(id, picture.get());
  m_selection.Add(id);
  current.id = id;
  current.nKind = CTableText::kLegend;
  current.strText = legend;
}

void CSbbTable::EraseRow(CTableBodyFence& row) {
  EraseTableEntity(row.closing.id);
  for (CTableLine& line : row.separators) EraseTableEntity(line.id);
  for (CTableText& cell : row.cells) EraseTableEntity(cell.id);
}

void CSbbTable::EraseBlockBars(CDeviceTable& block) {
  EraseTableEntity(block.mainLine.id);
  EraseTableEntity(block.titleLeft.id);
  EraseTableEntity(block.titleRight.id);
  EraseTableEntity(block.titleFar.id);
  EraseTableEntity(block.title.id);
  for (CTableLine& line : block.headerSeparators) EraseTableEntity(line.id);
  EraseTableEntity(block.headerClosing.id);
  for (CTableText& text : block.headerTexts) EraseTableEntity(text.id);
}

void CSbbTable::EraseWholeTable() {
  for (CDeviceTable& block : m_blocks) {
    EraseBlockBars(block);
    for (CTableBodyFence& row : block.rows) EraseRow(row);
  }
}

AcGePoint3d CSbbTable::RowFarEdgeStart(const CDeviceTable& block, std::size_t row) const {
  const double d = DirectionSign();
  if (row < block.rows.size()) {
    const CTableBodyFence& fence = block.rows[row];
    if (!fence.closing.IsEmpty()) return fence.closing.ptStart;
    if (!fence.separators.empty() && !fence.separators.front().IsEmpty()) return fence.separators.front().ptEnd;
  }
  // Where the edge lies by the header data.
  const AcGePoint3d origin = block.mainLine.ptStart;
  const double y = origin.y + d * (m_nTitleRowSpacing + m_nHeaderRowSpacing) * m_dScale +
                   d * static_cast<double>(row + 1) * m_nBodyRowSpacing * m_dScale;
  return AcGePoint3d(origin.x, y, origin.z);
}

void CSbbTable::WriteBackTable(const std::vector<tagSBBGETDATA>& rows) {
  const int oldCount = TotalBodyRows();
  const int newCount = static_cast<int>(rows.size());
  if (newCount == 0) {
    EraseWholeTable();
    return;
  }
  const int columns = std::min<int>(m_nColumnCount, kSbbMaxColumns);
  // Changed cells of the rows that stay.
  int k = 0;
  for (CDeviceTable& block : m_blocks) {
    for (CTableBodyFence& row : block.rows) {
      if (k >= newCount) break;
      const tagSBBGETDATA& edited = rows[k];
      for (int j = 0; j < columns && j < static_cast<int>(row.cells.size()); ++j) {
        const tagSBBCELL& cell = edited.cells[j];
        if (!tav::EqualsNoCase(cell.strText, row.cells[j].strText))
          UpdateCell(k + 1, j, row.cells[j], cell.strText, cell.nKind);
      }
      ++k;
    }
  }
  if (newCount < oldCount) {
    // The block holding the last kept row keeps its bars; the rows after it go.
    int seen = 0;
    bool cut = false;
    for (CDeviceTable& block : m_blocks) {
      const int inBlock = static_cast<int>(block.rows.size());
      if (!cut && seen + inBlock >= newCount) {
        const int kept = newCount - seen;
        if (kept > 0) {
          SetBodyRowCount(kept);
          if (m_nFrame == 0) {
            CTableLine& closing = block.rows[kept - 1].closing;
            closing.id = SetLineWidth(closing.id, PrintScale());
          }
          for (int r = kept; r < inBlock; ++r) EraseRow(block.rows[r]);
          block.rows.resize(kept);
          cut = true;
          seen += inBlock;
          continue;
        }
        cut = true;
      }
      if (cut) {
        for (CTableBodyFence& row : block.rows) EraseRow(row);
        block.rows.clear();
        EraseBlockBars(block);
      }
      seen += inBlock;
    }
    return;
  }
  if (newCount > oldCount) {
    if (m_blocks.empty()) return;
    CDeviceTable& last = m_blocks.back();
    AcGePoint3d base;
    if (!last.rows.empty()) {
      base = RowFarEdgeStart(last, last.rows.size() - 1);
      if (m_nFrame == 0) {
        CTableLine& closing = last.rows.back().closing;
        closing.id = SetLineWidth(closing.id, 0);
      }
    } else if (!last.headerClosing.IsEmpty()) {
      base = last.headerClosing.ptStart;
    } else {
      base = RowFarEdgeStart(last, static_cast<std::size_t>(-1));
    }
    std::vector<tagSBBSCDATA> all(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
      tagSBBSCDATA& out = all[i];
      for (int j = 0; j < columns; ++j) {
        const tagSBBCELL& cell = rows[i].cells[j];
        const std::string& name = cell.strName.empty() && j < static_cast<int>(m_names.size()) ? m_names[j] : cell.strName;
        if (tav::EqualsNoCase(name, "序号")) out.nNumber = std::atoi(cell.strText.c_str());
        else if (tav::EqualsNoCase(name, "编号")) out.strCode = cell.strText;
        else if (tav::EqualsNoCase(name, "图例")) out.strLegend = cell.strText;
        else if (tav::EqualsNoCase(name, "设备名称")) out.strName = cell.strText;
        else if (tav::EqualsNoCase(name, "型号规格")) out.strSpec = cell.strText;
        else if (tav::EqualsNoCase(name, "单位")) out.strUnit = cell.strText;
        else if (tav::EqualsNoCase(name, "数量")) out.dQuantity = std::strtod(cell.strText.c_str(), nullptr);
        else if (tav::EqualsNoCase(name, "备注")) out.strRemark = cell.strText;
        else if (tav::EqualsNoCase(name, "空白")) out.strBlank = cell.strText;
      }
    }
    AppendBodyRows(all, oldCount, base);
  }
}

// ---- quantities ---------------------------------------------------------------------------------

std::string TrimTrailingZeros(std::string text) {
  const std::size_t dot = text.find('.', 1);
  if (dot == std::string::npos) return text;
  while (text.size() > dot + 1 && text.back() == '0') text.pop_back();
  if (text.size() == dot + 1) text.pop_back();
  return text;
}

std::string FormatQuantity(double quantity, std::string_view unit) {
  if (std::fabs(quantity) < 1e-6) return {};
  if (unit.empty() || unit.substr(0, 3) == "米" || unit.substr(0, 6) == "平方") {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f", quantity);
    return TrimTrailingZeros(buffer);
  }
  return std::to_string(static_cast<long long>(quantity));
}
