#include "TavDataManager/equiptable/CSbbTableWriter.h"

#include <cmath>
#include <filesystem>
#include <map>
#include <numbers>

#include "TavDataManager/equiptable/SbbRecognition.h"
#include "platform/base/KvNumber.h"
#include "platform/tavdata/KvDbAvEquipment.h"
#include "platform/tavdata/KvDbLegend.h"
#include "platform/tavdata/KvDbSetting.h"

CSbbTableWriter::CSbbTableWriter(AcDbDatabase* db)
    : db_(db != nullptr ? db : acdbHostApplicationServices()->workingDatabase()) {}

std::vector<CSbbTableLayout::Column> CSbbTableWriter::DefaultColumns() {
  return {{"序号", "10"}, {"设备名称", "40"}, {"型号规格", "40"}, {"单位", "10"}, {"数量", "10"}, {"备注", "20"}};
}

resbuf* CSbbTableWriter::BuildDefineChain(const CSbbTableLayout& layout, int bodyRows) {
  const std::vector<CSbbTableLayout::Column> columns = layout.columns.empty() ? DefaultColumns() : layout.columns;
  resbuf* head = acutBuildList(1001, kSbbAppDefine, 1000, layout.title.c_str(), 1040, layout.titleRowSpacing, 1040,
                               layout.titleTextHeight, 1040, layout.headerRowSpacing, 1040, layout.headerTextHeight, 1040,
                               layout.bodyRowSpacing, 1040, layout.bodyTextHeight, 1070, layout.direction, 1070, layout.frame,
                               1070, bodyRows, 1070, 0, RTNONE);
  resbuf* tail = head;
  while (tail->rbnext != nullptr) tail = tail->rbnext;
  for (const CSbbTableLayout::Column& column : columns) {
    tail->rbnext = acutBuildList(1002, "{", 1000, column.name.c_str(), 1000, column.width.c_str(), 1000,
                                 column.align.c_str(), 1000, column.margin.c_str(), 1002, "}", RTNONE);
    while (tail->rbnext != nullptr) tail = tail->rbnext;
  }
  return head;
}

std::string CSbbTableWriter::Draw(const CSbbTableLayout& layout, const std::vector<tagSBBSCDATA>& rows) {
  drawn_.clear();
  if (db_ == nullptr) return {};
  const int blocks = std::max(1, layout.blocks);
  const int perBlock = rows.empty() ? 0 : static_cast<int>((rows.size() + blocks - 1) / blocks);
  KvResbufPtr define(BuildDefineChain(layout, perBlock));
  CSbbTable model(db_);
  if (model.ParseHeaderData(define.get()) == 0) return {};
  model.m_dScale = layout.scale > 0 ? layout.scale : model.PrintScale();
  const double s = model.m_dScale;
  const double totalWidth = model.ExactTotalWidth();
  if (!(totalWidth > 0)) return {};
  const double d = model.DirectionSign();
  const double frame = model.FrameWidth();

  auto keep = [&](const AcDbObjectId& id, const resbuf* handleChain) {
    if (id.isNull()) return;
    if (handleChain != nullptr) model.AttachXData(id, handleChain);
    model.m_selection.Add(id);
  };
  KvResbufPtr handleChain;
  std::size_t next = 0;
  for (int b = 0; b < blocks; ++b) {
    const double x0 = layout.origin.x + b * (totalWidth + layout.blockGap) * s;
    const double y0 = layout.origin.y, z = layout.origin.z;
    const double xn = x0 + totalWidth * s;
    const double yt = y0 + d * model.m_nTitleRowSpacing * s;
    const double yh = yt + d * model.m_nHeaderRowSpacing * s;
    const std::size_t blockRows = std::min<std::size_t>(perBlock, rows.size() - std::min(rows.size(), next));
    if (b > 0 && blockRows == 0) break;

    AcDbObjectId main = model.CreateTableLine(AcGePoint3d(x0, y0, z), AcGePoint3d(xn, y0, z), frame);
    if (main.isNull()) return {};
    if (b == 0) {
      model.m_strHandle = main.handle().text();
      handleChain.reset(model.BuildHandleChain());
    }
    KvResbufPtr blockDefine(BuildDefineChain(layout, static_cast<int>(blockRows)));
    model.AttachXData(main, blockDefine.get());
    keep(main, handleChain.get());
    keep(model.CreateTableLine(AcGePoint3d(x0, y0, z), AcGePoint3d(x0, yt, z), frame), handleChain.get());
    keep(model.CreateTableLine(AcGePoint3d(xn, y0, z), AcGePoint3d(xn, yt, z), frame), handleChain.get());
    keep(model.CreateTableLine(AcGePoint3d(x0, yt, z), AcGePoint3d(xn, yt, z), 0), handleChain.get());
    keep(model.CreateTableText(AcGePoint3d((x0 + xn) / 2, (y0 + yt) / 2, z), model.m_strTitle, true,
                               model.m_dTitleTextHeight * s),
         handleChain.get());
    double x = x0;
    for (std::size_t j = 0; j <= model.m_columns.size(); ++j) {
      const bool outer = j == 0 || j == model.m_columns.size();
      keep(model.CreateTableLine(AcGePoint3d(x, yt, z), AcGePoint3d(x, yh, z), outer ? frame : 0), handleChain.get());
      if (j == model.m_columns.size()) break;
      const double width = model.m_columns[j].dWidth * s;
      keep(model.CreateTableText(AcGePoint3d(x + width / 2, (yt + yh) / 2, z), model.m_columns[j].strName, true,
                                 model.m_dHeaderTextHeight * s),
           handleChain.get());
      x += width;
    }
    keep(model.CreateTableLine(AcGePoint3d(x0, yh, z), AcGePoint3d(xn, yh, z), 0), handleChain.get());
    AcGePoint3d base(x0, yh, z);
    for (std::size_t i = 0; i < blockRows; ++i, ++next) {
      const double closing = i + 1 == blockRows ? frame : 0.0;
      model.DrawBodyRow(static_cast<int>(next + 1), base, rows[next], closing);
      base.y += d * model.m_nBodyRowSpacing * s;
    }
  }
  if (layout.angleDegrees != 0)
    TurnSelection(model.m_selection, layout.origin, layout.angleDegrees * std::numbers::pi / 180.0);
  drawn_ = model.m_selection.Ids();
  return model.m_strHandle;
}

// ---- sample content ------------------------------------------------------------------------------

std::vector<tagSBBSCDATA> MakeSampleRows(int count, bool withLegends) {
  static const char* const kNames[] = {"水泵", "阀门", "水表", "消火栓", "喷头", "截止阀", "止回阀"};
  static const char* const kSpecs[] = {"Q=10L/s H=32m N=7.5kW", "DN100 PN1.6", "LXS-50C", "SN65",
                                       "ZSTX-15 68℃", "J41H-16 DN80", "H44X-16 DN100"};
  static const char* const kUnits[] = {"台", "个", "个", "套", "个", "个", "个"};
  std::vector<tagSBBSCDATA> rows(static_cast<std::size_t>(std::max(count, 0)));
  for (int i = 0; i < count; ++i) {
    tagSBBSCDATA& row = rows[static_cast<std::size_t>(i)];
    const int kind = i % 7;
    row.nNumber = i + 1;
    row.strCode = "SB-" + std::to_string(i + 1);
    if (withLegends) row.strLegend = kNames[kind];
    row.strName = kNames[kind];
    row.strSpec = kSpecs[kind];
    row.strUnit = kUnits[kind];
    row.dQuantity = 1 + i % 5;
    row.strRemark = i % 3 == 0 ? "一用一备" : "";
  }
  return rows;
}

namespace {

bool LibraryHasBlock(const std::string& name) {
  static std::map<std::string, bool> cache;
  const std::string path = KvLegendLibraryPath();
  const std::string key = path + "|" + name;
  if (auto it = cache.find(key); it != cache.end()) return it->second;
  bool found = false;
  if (std::filesystem::exists(path)) {
    tav::cad::DxfDocument library;
    if (library.Load(path)) found = !library.BlockRecord(name).IsNull();
  }
  cache[key] = found;
  return found;
}

void AddLine(tav::cad::DxfDocument& doc, tav::cad::DxfObject block, double x1, double y1, double x2, double y2) {
  tav::cad::DxfLine line(doc.AddEntity("LINE", block));
  line.SetStart({x1, y1, 0});
  line.SetEnd({x2, y2, 0});
}

void AddCircle(tav::cad::DxfDocument& doc, tav::cad::DxfObject block, double x, double y, double r) {
  tav::cad::DxfCircle circle(doc.AddEntity("CIRCLE", block));
  circle.SetCenter({x, y, 0});
  circle.SetRadius(r);
}

}  // namespace

void CSbbTableWriter::EnsureSampleLegends(AcDbDatabase* db, const std::vector<std::string>& names) {
  if (db == nullptr) db = acdbHostApplicationServices()->workingDatabase();
  if (db == nullptr) return;
  tav::cad::DxfDocument& doc = db->document();
  for (const std::string& name : names) {
    if (name.empty() || !doc.BlockRecord(name).IsNull() || LibraryHasBlock(name)) continue;
    tav::cad::DxfObject block = doc.AddBlock(name);
    if (block.IsNull()) continue;
    if (name == "水泵") {
      AddCircle(doc, block, 0, 0, 5);
      AddLine(doc, block, -5, 0, 5, 0);
      AddLine(doc, block, 0, 5, 5, 0);
      AddLine(doc, block, 0, -5, 5, 0);
    } else if (name == "阀门" || name == "截止阀") {
      AddLine(doc, block, -6, -3, -6, 3);
      AddLine(doc, block, -6, 3, 6, -3);
      AddLine(doc, block, 6, -3, 6, 3);
      AddLine(doc, block, 6, 3, -6, -3);
      if (name == "截止阀") AddCircle(doc, block, 0, 0, 1);
    } else if (name == "止回阀") {
      AddLine(doc, block, -6, -3, -6, 3);
      AddLine(doc, block, -6, 3, 6, -3);
      AddLine(doc, block, 6, -3, 6, 3);
      AddLine(doc, block, 6, 3, -6, -3);
      AddLine(doc, block, -3, 4, 3, 4);
    } else if (name == "水表") {
      AddCircle(doc, block, 0, 0, 4);
      AddLine(doc, block, -4, 0, 4, 0);
      AddLine(doc, block, 2, 2, 4, 0);
    } else if (name == "消火栓") {
      AddLine(doc, block, -6, -3, 6, -3);
      AddLine(doc, block, 6, -3, 6, 3);
      AddLine(doc, block, 6, 3, -6, 3);
      AddLine(doc, block, -6, 3, -6, -3);
      AddLine(doc, block, -6, -3, 6, 3);
    } else {  // 喷头 and anything else: a circle with a cross
      AddCircle(doc, block, 0, 0, 3);
      AddLine(doc, block, -4, 0, 4, 0);
      AddLine(doc, block, 0, -4, 0, 4);
    }
  }
}

void CSbbTableWriter::EnsureTableTextStyle(AcDbDatabase* db) {
  if (db == nullptr) db = acdbHostApplicationServices()->workingDatabase();
  if (db == nullptr) return;
  AcDbTextStyleTable* table = nullptr;
  if (db->getSymbolTable(table, AcDb::kForWrite) != Acad::eOk) return;
  if (!table->has(kSbbTextStyle)) {
    AcDbObjectId id;
    if (table->add(kSbbTextStyle, id) == Acad::eOk) {
      KvDbObjectPtr<AcDbTextStyleTableRecord> style(id, AcDb::kForWrite);
      if (style) {
        style->set().SetFont("simplex.shx");
        style->set().SetBigFont("hztxt.shx");
        style->set().SetWidthFactor(0.7);
      }
    }
  }
  table->close();
}

namespace {

void EnsureLayer(AcDbDatabase* db, const char* name, int color) {
  AcDbLayerTable* table = nullptr;
  if (db->getSymbolTable(table, AcDb::kForWrite) != Acad::eOk) return;
  if (!table->has(name)) {
    AcDbObjectId id;
    if (table->add(name, id) == Acad::eOk) {
      KvDbObjectPtr<AcDbLayerTableRecord> layer(id, AcDb::kForWrite);
      if (layer) layer->set().SetColor(color);
    }
  }
  table->close();
}

void SampleLine(AcDbDatabase* db, const char* layer, double x1, double y1, double x2, double y2) {
  AcDbLine* line = nullptr;
  if (KvDbAppendToModelSpace(db, line) != Acad::eOk) return;
  line->set().SetStart({x1, y1, 0});
  line->set().SetEnd({x2, y2, 0});
  line->setLayer(layer);
  line->close();
}

void SampleText(AcDbDatabase* db, const char* layer, double x, double y, const char* text, double height) {
  AcDbText* entity = nullptr;
  if (KvDbAppendToModelSpace(db, entity) != Acad::eOk) return;
  entity->set().SetText(text);
  entity->set().SetInsertion({x, y, 0});
  entity->set().SetHeight(height);
  entity->setLayer(layer);
  entity->close();
}

}  // namespace

std::string CSbbTableWriter::DrawSampleDrawing(AcDbDatabase* db) {
  if (db == nullptr) db = acdbHostApplicationServices()->workingDatabase();
  if (db == nullptr) return {};
  EnsureLayer(db, "W-给水", 3);
  EnsureLayer(db, "W-排水", 6);
  EnsureLayer(db, "W-文字", 7);
  EnsureLayer(db, "W-设备", 4);
  EnsureLayer(db, kSbbLayer, 7);
  EnsureTableTextStyle(db);
  const double k = KvDbGetPrintScale(db);  // drawing units per paper millimetre
  // A supply main with branches and a drain line.
  SampleLine(db, "W-给水", 0, 0, 300 * k, 0);
  for (int i = 0; i < 4; ++i) SampleLine(db, "W-给水", (40 + 60 * i) * k, 0, (40 + 60 * i) * k, 80 * k);
  SampleLine(db, "W-排水", 0, -40 * k, 300 * k, -40 * k);
  SampleLine(db, "W-排水", 300 * k, -40 * k, 300 * k, -90 * k);
  SampleText(db, "W-文字", 5 * k, 2 * k, "J DN100", 3.5 * k);
  SampleText(db, "W-文字", 5 * k, -38 * k, "W DN150 i=0.005", 3.5 * k);
  SampleText(db, "W-文字", 42 * k, 60 * k, "JL-1", 3.5 * k);
  SampleText(db, "W-文字", 102 * k, 60 * k, "JL-2", 3.5 * k);
  KvDbAddEquipment("水泵-1", AcGePoint3d(20 * k, 0, 0), db);
  KvDbAddEquipment("水泵-2", AcGePoint3d(20 * k, 20 * k, 0), db);
  KvDbAddEquipment("阀门-1", AcGePoint3d(40 * k, 30 * k, 0), db);
  KvDbAddEquipment("阀门-2", AcGePoint3d(100 * k, 30 * k, 0), db);
  KvDbAddEquipment("水表-1", AcGePoint3d(160 * k, 30 * k, 0), db);
  KvDbAddEquipment("消火栓-1", AcGePoint3d(220 * k, 50 * k, 0), db);
  KvDbAddEquipment("止回阀-1", AcGePoint3d(260 * k, 0, 0), db);

  CSbbTableLayout layout;
  layout.frame = 0;
  layout.columns = {{"序号", "10"},     {"编号", "15"},  {"图例", "20"}, {"设备名称", "30"}, {"型号规格", "40"},
                  {"单位", "10"},     {"数量", "10"},  {"备注", "25", "居左", "2"}};
  layout.origin = AcGePoint3d(0, 120 * k, 0);
  std::vector<tagSBBSCDATA> rows(6);
  const char* names[] = {"水泵", "阀门", "止回阀", "水表", "消火栓", "喷头"};
  const char* specs[] = {"Q=10L/s H=32m N=7.5kW", "D41X-16 DN100", "H44X-16 DN100", "LXS-50C", "SN65 L=25m",
                         "ZSTX-15 68℃"};
  const char* units[] = {"台", "个", "个", "个", "套", "个"};
  const double quantities[] = {2, 6, 2, 1, 1, 24};
  const char* remarks[] = {"一用一备", "", "", "", "屋顶试验", ""};
  for (int i = 0; i < 6; ++i) {
    rows[i].nNumber = i + 1;
    rows[i].strCode = "J-" + std::to_string(i + 1);
    rows[i].strLegend = names[i];
    rows[i].strName = names[i];
    rows[i].strSpec = specs[i];
    rows[i].strUnit = units[i];
    rows[i].dQuantity = quantities[i];
    rows[i].strRemark = remarks[i];
  }
  EnsureSampleLegends(db, {names, names + 6});
  CSbbTableWriter writer(db);
  return writer.Draw(layout, rows);
}
