#include "platform/tavdata/KvDbLegend.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>

#include "platform/base/KvStrings.h"
#include "platform/config/KvPaths.h"
#include "platform/tavdata/KvDbStorage.h"

using tav::cad::DxfDocument;
using tav::cad::DxfObject;
using tav::cad::DxfPoint;

std::string KvLegendLibraryPath() { return GetMainDirectory() + "Legend/Legend.dxf"; }

namespace tav::tavdata {
namespace {

void Add(KvGeExtent& e, const DxfPoint& p) { e.AddPoint(KvGePoint(p.x, p.y, 0)); }

// The points of an arc's extents: its ends and the quadrant points it passes.
void AddArc(KvGeExtent& e, const DxfPoint& c, double r, double startDeg, double endDeg) {
  auto at = [&](double deg) {
    double a = deg * std::numbers::pi / 180.0;
    Add(e, {c.x + r * std::cos(a), c.y + r * std::sin(a), 0});
  };
  double s = std::fmod(startDeg, 360.0), t = std::fmod(endDeg, 360.0);
  if (s < 0) s += 360;
  if (t < 0) t += 360;
  if (t <= s) t += 360;
  at(s);
  at(t);
  for (double q = 0; q < 720; q += 90)
    if (q > s && q < t) at(q);
}

DxfObject BlockHead(DxfDocument& doc, std::string_view name) {
  for (const DxfObject& o : doc.AllObjects())
    if (o.Type() == "BLOCK" && tav::EqualsNoCase(o.GetString(2), name)) return o;
  return {};
}

}  // namespace

bool BlockExtents(DxfDocument& doc, std::string_view blockName, KvGeExtent& extents) {
  extents = KvGeExtent();
  DxfObject record = doc.BlockRecord(blockName);
  if (record.IsNull()) return false;
  for (const DxfObject& e : doc.EntitiesOf(record)) {
    std::string_view type = e.Type();
    if (type == "LINE") {
      Add(extents, e.GetPoint(10));
      Add(extents, e.GetPoint(11));
    } else if (type == "LWPOLYLINE") {
      for (const auto& v : tav::cad::DxfLwPolyline(e).Vertices()) Add(extents, {v.x, v.y, 0});
    } else if (type == "CIRCLE") {
      DxfPoint c = e.GetPoint(10);
      double r = e.GetDouble(40);
      Add(extents, {c.x - r, c.y - r, 0});
      Add(extents, {c.x + r, c.y + r, 0});
    } else if (type == "ARC") {
      AddArc(extents, e.GetPoint(10), e.GetDouble(40), e.GetDouble(50), e.GetDouble(51));
    } else if (type == "TEXT") {
      tav::cad::DxfText t(e);
      DxfPoint p = t.Insertion();
      double h = t.Height();
      double w = h * t.WidthFactor() * static_cast<double>(tav::Utf8Length(t.Text()));
      Add(extents, p);
      Add(extents, {p.x + w, p.y + h, 0});
    } else if (type == "SOLID" || type == "TRACE" || type == "3DFACE") {
      for (int code : {10, 11, 12, 13})
        if (e.Find(code) >= 0) Add(extents, e.GetPoint(code));
    } else if (e.Find(10) >= 0) {
      Add(extents, e.GetPoint(10));  // points, inserts and others: their position
    }
  }
  return !extents.IsEmpty();
}

}  // namespace tav::tavdata

AcDbObjectId PlaceLegend(AcDbDatabase* db, std::string_view legendName, const AcGePoint3d& cellCentre,
                         double cellWidth, double cellHeight, std::string_view layer) {
  db = tav::tavdata::DatabaseOr(db);
  if (!db || !(cellWidth > 0) || !(cellHeight > 0)) return {};
  std::string library, block = tav::Trim(legendName);
  if (std::size_t bar = block.find('|'); bar != std::string::npos) {
    library = tav::Trim(block.substr(0, bar));
    block = tav::Trim(block.substr(bar + 1));
  }
  if (block.empty()) return {};
  DxfDocument& doc = db->document();

  // The INSERT: of the drawing's own block, or copied in (with its block) from a legend library.
  DxfObject insert;
  if (DxfObject record = doc.BlockRecord(block)) {
    insert = doc.AddEntity("INSERT");
    tav::cad::DxfInsert(insert).SetBlockName(record.GetString(2));
  } else {
    std::vector<std::string> paths;
    if (!library.empty()) paths.push_back(GetMainDirectory() + "Legend/" + library + ".dxf");
    paths.push_back(KvLegendLibraryPath());
    for (const std::string& path : paths) {
      std::error_code ec;
      if (!std::filesystem::is_regular_file(path, ec)) continue;
      DxfDocument lib;
      if (!lib.Load(path)) continue;
      DxfObject libRecord = lib.BlockRecord(block);
      if (libRecord.IsNull()) continue;
      DxfObject probe = lib.AddEntity("INSERT");  // in memory only: the file stays as it is
      tav::cad::DxfInsert(probe).SetBlockName(libRecord.GetString(2));
      tav::cad::DxfHandleMap map = doc.CopyEntities(lib, {probe.GetHandle()});
      auto it = map.find(probe.GetHandle());
      if (it != map.end()) insert = doc.Get(it->second);
      break;
    }
  }
  if (insert.IsNull()) return {};
  tav::cad::DxfInsert ins(insert);
  const std::string name = ins.BlockName();

  KvGeExtent ext;
  if (!tav::tavdata::BlockExtents(doc, name, ext)) {
    doc.Erase(insert);
    return {};
  }
  DxfPoint base{};
  if (DxfObject head = tav::tavdata::BlockHead(doc, name)) base = head.GetPoint(10);
  double w = ext.maxPoint.x - ext.minPoint.x, h = ext.maxPoint.y - ext.minPoint.y;
  double scale = 1.0;
  if (w > 0 && h > 0) scale = std::min(0.6 * cellWidth / w, 0.6 * cellHeight / h);
  else if (w > 0) scale = 0.6 * cellWidth / w;
  else if (h > 0) scale = 0.6 * cellHeight / h;
  double cx = (ext.minPoint.x + ext.maxPoint.x) / 2, cy = (ext.minPoint.y + ext.maxPoint.y) / 2;
  bool ok = ins.SetInsertion({cellCentre.x - scale * (cx - base.x), cellCentre.y - scale * (cy - base.y), cellCentre.z}) &&
            ins.SetScale({scale, scale, scale}) && ins.SetRotation(0) && ins.SetColor(256);
  if (ok && !layer.empty()) {
    if (doc.FindRecord("LAYER", layer).IsNull()) doc.AddRecord("LAYER", layer);
    ok = ins.SetLayer(layer);
  }
  if (!ok) {
    doc.Erase(insert);
    return {};
  }
  return db->idOf(insert);
}
