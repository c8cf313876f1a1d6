#include "platform/cad/DxfViews.h"

#include <cmath>

#include "platform/base/KvNumber.h"
#include "platform/base/KvStrings.h"

namespace tav::cad {

namespace {

DxfObject IfType(DxfObject object, std::string_view type) {
  return (!object.IsNull() && object.Type() == type) ? object : DxfObject();
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Entities

DxfEntity::DxfEntity(DxfObject object, std::string_view type) : obj_(IfType(object, type)) {}

std::string DxfEntity::Layer() const { return obj_.GetString(8, "0"); }
bool DxfEntity::SetLayer(std::string_view layer) { return !obj_.IsNull() && obj_.SetString(8, layer, "AcDbEntity"); }
std::string DxfEntity::Linetype() const { return obj_.GetString(6, "BYLAYER"); }
bool DxfEntity::SetLinetype(std::string_view linetype) {
  if (obj_.IsNull()) return false;
  if (obj_.Find(6) >= 0) return obj_.SetString(6, linetype);
  // New tag right after the layer, where CAD programs write it.
  int layer = obj_.Find(8);
  if (layer >= 0)
    return obj_.ReplaceTags(static_cast<std::size_t>(layer) + 1, static_cast<std::size_t>(layer) + 1,
                            {MakeTag(6, linetype)});
  return obj_.SetString(6, linetype, "AcDbEntity");
}
int DxfEntity::Color() const { return static_cast<int>(obj_.GetInt(62, 256)); }
bool DxfEntity::SetColor(int color) {
  if (obj_.IsNull()) return false;
  if (obj_.Find(62) >= 0) return obj_.SetInt(62, color);
  int after = obj_.Find(6) >= 0 ? obj_.Find(6) : obj_.Find(8);
  if (after >= 0)
    return obj_.ReplaceTags(static_cast<std::size_t>(after) + 1, static_cast<std::size_t>(after) + 1,
                            {MakeTag(62, static_cast<long long>(color))});
  return obj_.SetInt(62, color, "AcDbEntity");
}

DxfPoint DxfLine::Start() const { return obj_.GetPoint(10); }
DxfPoint DxfLine::End() const { return obj_.GetPoint(11); }
bool DxfLine::SetStart(const DxfPoint& p) { return !obj_.IsNull() && obj_.SetPoint(10, p, "AcDbLine"); }
bool DxfLine::SetEnd(const DxfPoint& p) { return !obj_.IsNull() && obj_.SetPoint(11, p, "AcDbLine"); }

// LWPOLYLINE ----------------------------------------------------------------------------------

std::vector<DxfLwVertex> DxfLwPolyline::Vertices() const {
  std::vector<DxfLwVertex> out;
  if (obj_.IsNull()) return out;
  const std::size_t end = obj_.DataEnd();
  double v;
  for (std::size_t i = 0; i < end; ++i) {
    DxfTagRef t = obj_.TagAt(i);
    auto num = [&](std::string_view s) { return ParseDouble(s, v) ? v : 0.0; };
    switch (t.code) {
      case 10: out.push_back(DxfLwVertex{num(t.raw)}); break;
      case 20: if (!out.empty()) out.back().y = num(t.raw); break;
      case 40: if (!out.empty()) out.back().startWidth = num(t.raw); break;
      case 41: if (!out.empty()) out.back().endWidth = num(t.raw); break;
      case 42: if (!out.empty()) out.back().bulge = num(t.raw); break;
      default: break;
    }
  }
  return out;
}

bool DxfLwPolyline::SetVertices(const std::vector<DxfLwVertex>& vertices) {
  if (obj_.IsNull()) return false;
  if (Vertices() == vertices) return true;
  // The vertex run: from the first 10 to the last vertex tag.
  int first = obj_.Find(10);
  std::size_t last = 0;
  const std::size_t end = obj_.DataEnd();
  if (first >= 0) {
    last = static_cast<std::size_t>(first);
    for (std::size_t i = static_cast<std::size_t>(first); i < end; ++i) {
      int c = obj_.TagAt(i).code;
      if (c == 10 || c == 20 || c == 40 || c == 41 || c == 42 || c == 91) last = i + 1;
    }
  }
  std::vector<DxfTag> tags;
  for (const DxfLwVertex& v : vertices) {
    tags.push_back(MakeTag(10, v.x));
    tags.push_back(MakeTag(20, v.y));
    if (v.startWidth != 0 || v.endWidth != 0) {
      tags.push_back(MakeTag(40, v.startWidth));
      tags.push_back(MakeTag(41, v.endWidth));
    }
    if (v.bulge != 0) tags.push_back(MakeTag(42, v.bulge));
  }
  bool ok;
  if (first >= 0) {
    ok = obj_.ReplaceTags(static_cast<std::size_t>(first), last, tags);
  } else {
    // After the header fields of the polyline subclass (90, 70, 43, 38, 39).
    int m = obj_.FindSubclass("AcDbPolyline");
    std::size_t pos = m >= 0 ? static_cast<std::size_t>(m) + 1 : 1;
    while (pos < obj_.DataEnd()) {
      int c = obj_.TagAt(pos).code;
      if (c == 90 || c == 70 || c == 43 || c == 38 || c == 39) ++pos;
      else break;
    }
    ok = obj_.ReplaceTags(pos, pos, tags);
  }
  return ok && obj_.SetInt(90, static_cast<long long>(vertices.size()), "AcDbPolyline");
}

double DxfLwPolyline::ConstantWidth() const { return obj_.GetDouble(43, 0); }

bool DxfLwPolyline::SetConstantWidth(double width) {
  if (obj_.IsNull()) return false;
  if (obj_.Find(43) >= 0) return obj_.SetDouble(43, width);
  // Before the first vertex.
  int first = obj_.Find(10);
  if (first >= 0)
    return obj_.ReplaceTags(static_cast<std::size_t>(first), static_cast<std::size_t>(first), {MakeTag(43, width)});
  return obj_.SetDouble(43, width, "AcDbPolyline");
}

bool DxfLwPolyline::IsClosed() const { return (obj_.GetInt(70, 0) & 1) != 0; }
bool DxfLwPolyline::SetClosed(bool closed) {
  if (obj_.IsNull()) return false;
  long long flags = obj_.GetInt(70, 0);
  flags = closed ? (flags | 1) : (flags & ~1LL);
  return obj_.SetInt(70, flags, "AcDbPolyline");
}

// CIRCLE / ARC --------------------------------------------------------------------------------

DxfPoint DxfCircle::Center() const { return obj_.GetPoint(10); }
double DxfCircle::Radius() const { return obj_.GetDouble(40, 0); }
bool DxfCircle::SetCenter(const DxfPoint& p) { return !obj_.IsNull() && obj_.SetPoint(10, p, "AcDbCircle"); }
bool DxfCircle::SetRadius(double r) { return !obj_.IsNull() && obj_.SetDouble(40, r, "AcDbCircle"); }
double DxfArc::StartAngle() const { return obj_.GetDouble(50, 0); }
double DxfArc::EndAngle() const { return obj_.GetDouble(51, 0); }
bool DxfArc::SetStartAngle(double d) { return !obj_.IsNull() && obj_.SetDouble(50, d, "AcDbArc"); }
bool DxfArc::SetEndAngle(double d) { return !obj_.IsNull() && obj_.SetDouble(51, d, "AcDbArc"); }

// TEXT ----------------------------------------------------------------------------------------

std::string DxfText::Text() const { return obj_.GetString(1); }
bool DxfText::SetText(std::string_view utf8) { return !obj_.IsNull() && obj_.SetString(1, utf8, "AcDbText"); }
DxfPoint DxfText::Insertion() const { return obj_.GetPoint(10); }
bool DxfText::SetInsertion(const DxfPoint& p) { return !obj_.IsNull() && obj_.SetPoint(10, p, "AcDbText"); }
DxfPoint DxfText::Alignment() const { return obj_.Find(11) >= 0 ? obj_.GetPoint(11) : Insertion(); }
bool DxfText::SetAlignment(const DxfPoint& p) {
  if (obj_.IsNull()) return false;
  if (obj_.Find(11) >= 0) return obj_.SetPoint(11, p);
  // The alignment point belongs to the first AcDbText subclass, before the extrusion (210) if any.
  int m = obj_.FindSubclass("AcDbText");
  std::size_t pos = obj_.DataEnd();
  if (m >= 0) {
    for (std::size_t i = static_cast<std::size_t>(m) + 1; i < obj_.DataEnd(); ++i) {
      int c = obj_.TagAt(i).code;
      if (c == 100 || c == 210) {
        pos = i;
        break;
      }
    }
  }
  std::vector<DxfTag> tags;
  AppendPoint(tags, 11, p);
  return obj_.ReplaceTags(pos, pos, tags);
}
double DxfText::Height() const { return obj_.GetDouble(40, 0); }
bool DxfText::SetHeight(double h) { return !obj_.IsNull() && obj_.SetDouble(40, h, "AcDbText"); }
double DxfText::WidthFactor() const { return obj_.GetDouble(41, 1); }
bool DxfText::SetWidthFactor(double f) { return !obj_.IsNull() && obj_.SetDouble(41, f, "AcDbText"); }
double DxfText::Rotation() const { return obj_.GetDouble(50, 0); }
bool DxfText::SetRotation(double d) { return !obj_.IsNull() && obj_.SetDouble(50, d, "AcDbText"); }
std::string DxfText::Style() const { return obj_.GetString(7, "STANDARD"); }
bool DxfText::SetStyle(std::string_view style) { return !obj_.IsNull() && obj_.SetString(7, style, "AcDbText"); }
int DxfText::HorizontalMode() const { return static_cast<int>(obj_.GetInt(72, 0)); }
int DxfText::VerticalMode() const { return static_cast<int>(obj_.GetInt(73, 0)); }

bool DxfText::SetJustification(int horizontal, int vertical) {
  if (obj_.IsNull()) return false;
  if (!obj_.SetInt(72, horizontal, "AcDbText")) return false;
  if (obj_.Find(73) >= 0) return obj_.SetInt(73, vertical);
  // 73 belongs to the second AcDbText subclass (R2000 and later); R12 has no markers.
  int first = obj_.FindSubclass("AcDbText");
  if (first >= 0) {
    int second = -1;
    for (std::size_t i = static_cast<std::size_t>(first) + 1; i < obj_.DataEnd(); ++i)
      if (obj_.TagAt(i).code == 100 && obj_.TagAt(i).raw == "AcDbText") second = static_cast<int>(i);
    if (second < 0) {
      const std::size_t end = obj_.DataEnd();
      return obj_.ReplaceTags(end, end, {MakeTag(100, "AcDbText"), MakeTag(73, static_cast<long long>(vertical))});
    }
    std::size_t pos = static_cast<std::size_t>(second) + 1;
    return obj_.ReplaceTags(pos, pos, {MakeTag(73, static_cast<long long>(vertical))});
  }
  return obj_.SetInt(73, vertical);
}

// INSERT --------------------------------------------------------------------------------------

std::string DxfInsert::BlockName() const { return obj_.GetString(2); }
bool DxfInsert::SetBlockName(std::string_view n) { return !obj_.IsNull() && obj_.SetString(2, n, "AcDbBlockReference"); }
DxfPoint DxfInsert::Insertion() const { return obj_.GetPoint(10); }
bool DxfInsert::SetInsertion(const DxfPoint& p) { return !obj_.IsNull() && obj_.SetPoint(10, p, "AcDbBlockReference"); }
DxfPoint DxfInsert::Scale() const { return DxfPoint{obj_.GetDouble(41, 1), obj_.GetDouble(42, 1), obj_.GetDouble(43, 1)}; }
bool DxfInsert::SetScale(const DxfPoint& s) {
  return !obj_.IsNull() && obj_.SetDouble(41, s.x, "AcDbBlockReference") &&
         obj_.SetDouble(42, s.y, "AcDbBlockReference") && obj_.SetDouble(43, s.z, "AcDbBlockReference");
}
double DxfInsert::Rotation() const { return obj_.GetDouble(50, 0); }
bool DxfInsert::SetRotation(double d) { return !obj_.IsNull() && obj_.SetDouble(50, d, "AcDbBlockReference"); }

// TAV_EQUIPMENT -------------------------------------------------------------------------------

std::string DxfEquipment::DisplayName() const { return obj_.GetString(1); }
bool DxfEquipment::SetDisplayName(std::string_view n) { return !obj_.IsNull() && obj_.SetString(1, n, "TavDbEquipment"); }
DxfPoint DxfEquipment::Insertion() const { return obj_.GetPoint(10); }
bool DxfEquipment::SetInsertion(const DxfPoint& p) { return !obj_.IsNull() && obj_.SetPoint(10, p, "TavDbEquipment"); }

DxfObject AddEquipment(DxfDocument& doc, std::string_view displayName, const DxfPoint& insertion,
                       DxfObject blockRecord) {
  if (!doc.AddClass("TAV_EQUIPMENT", "TavDbEquipment", "TavDataManager", true)) return {};
  DxfObject obj = doc.AddEntity("TAV_EQUIPMENT", blockRecord);
  DxfEquipment eq(obj);
  if (!eq.SetDisplayName(displayName) || !eq.SetInsertion(insertion)) {
    if (obj) doc.Erase(obj);
    return {};
  }
  return obj;
}

// ---------------------------------------------------------------------------------------------
// Table records

DxfTableRecord::DxfTableRecord(DxfObject object, std::string_view type) : obj_(IfType(object, type)) {}
std::string DxfTableRecord::Name() const { return obj_.GetString(2); }
bool DxfTableRecord::SetName(std::string_view utf8) { return !obj_.IsNull() && !utf8.empty() && obj_.SetString(2, utf8); }
int DxfTableRecord::Flags() const { return static_cast<int>(obj_.GetInt(70, 0)); }
bool DxfTableRecord::SetFlags(int flags) { return !obj_.IsNull() && obj_.SetInt(70, flags); }

// LTYPE ---------------------------------------------------------------------------------------

std::string DxfLinetype::Description() const { return obj_.GetString(3); }
bool DxfLinetype::SetDescription(std::string_view utf8) { return !obj_.IsNull() && obj_.SetString(3, utf8); }
double DxfLinetype::PatternLength() const { return obj_.GetDouble(40, 0); }

std::vector<DxfDashElement> DxfLinetype::Elements() const {
  std::vector<DxfDashElement> out;
  if (obj_.IsNull()) return out;
  const std::size_t end = obj_.DataEnd();
  double d;
  long long n;
  for (std::size_t i = 0; i < end; ++i) {
    DxfTagRef t = obj_.TagAt(i);
    if (t.code == 49) {
      DxfDashElement e;
      if (ParseDouble(t.raw, d)) e.length = d;
      out.push_back(e);
      continue;
    }
    if (out.empty()) continue;
    DxfDashElement& e = out.back();
    switch (t.code) {
      case 74: if (ParseLong(t.raw, n)) e.type = static_cast<int>(n); break;
      case 75: if (ParseLong(t.raw, n)) e.shapeNumber = static_cast<int>(n); break;
      case 340: ParseHandle(t.raw, e.style); break;
      case 46: if (ParseDouble(t.raw, d)) e.scale = d; break;
      case 50: if (ParseDouble(t.raw, d)) e.rotation = d; break;
      case 44: if (ParseDouble(t.raw, d)) e.offsetX = d; break;
      case 45: if (ParseDouble(t.raw, d)) e.offsetY = d; break;
      case 9: e.text = obj_.TextAt(i); break;
      default: break;
    }
  }
  return out;
}

bool DxfLinetype::SetElements(const std::vector<DxfDashElement>& elements) {
  if (obj_.IsNull()) return false;
  double total = 0;
  for (const auto& e : elements) total += std::fabs(e.length);
  // The element run: from the first 49 to the last element tag.
  const std::size_t end = obj_.DataEnd();
  int first = obj_.Find(49);
  std::size_t last = 0;
  if (first >= 0) {
    last = static_cast<std::size_t>(first);
    for (std::size_t i = static_cast<std::size_t>(first); i < end; ++i) {
      int c = obj_.TagAt(i).code;
      if (c == 49 || c == 74 || c == 75 || c == 340 || c == 46 || c == 50 || c == 44 || c == 45 || c == 9)
        last = i + 1;
    }
  }
  std::vector<DxfTag> tags;
  const bool r12 = obj_.FindSubclass("AcDbSymbolTableRecord") < 0;
  for (const auto& e : elements) {
    tags.push_back(MakeTag(49, e.length));
    if (r12) continue;
    tags.push_back(MakeTag(74, static_cast<long long>(e.type)));
    if (e.type != 0) {
      tags.push_back(MakeTag(75, static_cast<long long>(e.shapeNumber)));
      tags.push_back(MakeHandleTag(340, e.style));
      tags.push_back(MakeTag(46, e.scale));
      tags.push_back(MakeTag(50, e.rotation));
      tags.push_back(MakeTag(44, e.offsetX));
      tags.push_back(MakeTag(45, e.offsetY));
      if (e.type & 2) tags.push_back(MakeTag(9, e.text));
    }
  }
  bool ok;
  if (first >= 0) {
    ok = obj_.ReplaceTags(static_cast<std::size_t>(first), last, tags);
  } else {
    // After 40 (pattern length), else at the end of the data.
    int p = obj_.Find(40);
    std::size_t pos = p >= 0 ? static_cast<std::size_t>(p) + 1 : end;
    ok = obj_.ReplaceTags(pos, pos, tags);
  }
  if (!ok) return false;
  if (obj_.Find(72) < 0) obj_.SetInt(72, 65);
  return obj_.SetInt(73, static_cast<long long>(elements.size())) && obj_.SetDouble(40, total);
}

// STYLE ---------------------------------------------------------------------------------------

std::string DxfTextStyle::Font() const { return obj_.GetString(3); }
bool DxfTextStyle::SetFont(std::string_view f) { return !obj_.IsNull() && obj_.SetString(3, f); }
std::string DxfTextStyle::BigFont() const { return obj_.GetString(4); }
bool DxfTextStyle::SetBigFont(std::string_view f) { return !obj_.IsNull() && obj_.SetString(4, f); }
double DxfTextStyle::Height() const { return obj_.GetDouble(40, 0); }
bool DxfTextStyle::SetHeight(double h) { return !obj_.IsNull() && obj_.SetDouble(40, h); }
double DxfTextStyle::WidthFactor() const { return obj_.GetDouble(41, 1); }
bool DxfTextStyle::SetWidthFactor(double f) { return !obj_.IsNull() && obj_.SetDouble(41, f); }
double DxfTextStyle::Oblique() const { return obj_.GetDouble(50, 0); }
bool DxfTextStyle::SetOblique(double d) { return !obj_.IsNull() && obj_.SetDouble(50, d); }

// LAYER ---------------------------------------------------------------------------------------

int DxfLayer::Color() const {
  long long c = obj_.GetInt(62, 7);
  return static_cast<int>(c < 0 ? -c : c);
}
bool DxfLayer::SetColor(int color) {
  if (obj_.IsNull() || color <= 0) return false;
  return obj_.SetInt(62, IsOff() ? -color : color);
}
bool DxfLayer::IsOff() const { return obj_.GetInt(62, 7) < 0; }
bool DxfLayer::SetOff(bool off) {
  if (obj_.IsNull()) return false;
  const int c = Color();
  return obj_.SetInt(62, off ? -c : c);
}
std::string DxfLayer::Linetype() const { return obj_.GetString(6, "CONTINUOUS"); }
bool DxfLayer::SetLinetype(std::string_view name) { return !obj_.IsNull() && obj_.SetString(6, name); }
bool DxfLayer::IsFrozen() const { return (Flags() & 1) != 0; }
bool DxfLayer::IsLocked() const { return (Flags() & 4) != 0; }

Handle DxfBlockRecord::Layout() const { return obj_.GetHandleRef(340); }

// ---------------------------------------------------------------------------------------------
// DICTIONARY

DxfDictionary::DxfDictionary(DxfObject object) {
  if (!object.IsNull() && (object.Type() == "DICTIONARY" || object.Type() == "ACDBDICTIONARYWDFLT")) obj_ = object;
}

std::vector<std::pair<std::string, Handle>> DxfDictionary::Entries() const {
  std::vector<std::pair<std::string, Handle>> out;
  const std::size_t end = obj_.DataEnd();
  for (std::size_t i = 0; i + 1 < end; ++i) {
    if (obj_.TagAt(i).code != 3) continue;
    const int c = obj_.TagAt(i + 1).code;
    if (c != 350 && c != 360) continue;
    Handle h = 0;
    ParseHandle(obj_.TagAt(i + 1).raw, h);
    out.emplace_back(obj_.TextAt(i), h);
  }
  return out;
}

Handle DxfDictionary::Get(std::string_view key) const {
  for (const auto& [k, h] : Entries())
    if (k == key) return h;
  return 0;
}

bool DxfDictionary::Set(std::string_view key, Handle handle) {
  if (obj_.IsNull() || key.empty()) return false;
  const std::size_t end = obj_.DataEnd();
  for (std::size_t i = 0; i + 1 < end; ++i) {
    if (obj_.TagAt(i).code != 3 || obj_.TextAt(i) != key) continue;
    const int c = obj_.TagAt(i + 1).code;
    if (c != 350 && c != 360) continue;
    return obj_.ReplaceTags(i + 1, i + 2, {MakeHandleTag(c, handle)});
  }
  const int code = obj_.GetInt(280, 0) == 1 ? 360 : 350;
  // After the last entry, else at the end of the AcDbDictionary subclass.
  std::size_t pos = 0;
  for (std::size_t i = 0; i + 1 < end; ++i)
    if (obj_.TagAt(i).code == 3 && (obj_.TagAt(i + 1).code == 350 || obj_.TagAt(i + 1).code == 360)) pos = i + 2;
  if (pos == 0) {
    int m = obj_.FindSubclass("AcDbDictionary");
    pos = end;
    if (m >= 0) {
      for (std::size_t i = static_cast<std::size_t>(m) + 1; i < end; ++i)
        if (obj_.TagAt(i).code == 100) {
          pos = i;
          break;
        }
    }
  }
  return obj_.ReplaceTags(pos, pos, {MakeTag(3, key), MakeHandleTag(code, handle)});
}

bool DxfDictionary::Remove(std::string_view key) {
  const std::size_t end = obj_.DataEnd();
  for (std::size_t i = 0; i + 1 < end; ++i) {
    if (obj_.TagAt(i).code != 3 || obj_.TextAt(i) != key) continue;
    const int c = obj_.TagAt(i + 1).code;
    if (c == 350 || c == 360) return obj_.ReplaceTags(i, i + 2, {});
  }
  return false;
}

bool DxfDictionary::RemoveHandle(Handle handle) {
  bool removed = false;
  for (bool again = true; again;) {
    again = false;
    const std::size_t end = obj_.DataEnd();
    for (std::size_t i = 0; i + 1 < end; ++i) {
      if (obj_.TagAt(i).code != 3) continue;
      const int c = obj_.TagAt(i + 1).code;
      Handle h = 0;
      if ((c == 350 || c == 360) && ParseHandle(obj_.TagAt(i + 1).raw, h) && h == handle) {
        obj_.ReplaceTags(i, i + 2, {});
        removed = again = true;
        break;
      }
    }
  }
  return removed;
}

// ---------------------------------------------------------------------------------------------
// XRECORD

DxfXRecord::DxfXRecord(DxfObject object) : obj_(IfType(object, "XRECORD")) {}

int DxfXRecord::DataStart() const {
  int m = obj_.FindSubclass("AcDbXrecord");
  if (m < 0) return -1;
  std::size_t i = static_cast<std::size_t>(m) + 1;
  if (obj_.TagAt(i).code == 280) ++i;
  return static_cast<int>(i);
}

std::vector<DxfTag> DxfXRecord::Data() const {
  std::vector<DxfTag> out;
  int start = DataStart();
  if (start < 0) return out;
  const std::size_t end = obj_.DataEnd();
  for (std::size_t i = static_cast<std::size_t>(start); i < end; ++i)
    out.push_back(DxfTag{obj_.TagAt(i).code, obj_.TextAt(i)});
  return out;
}

bool DxfXRecord::SetData(const std::vector<DxfTag>& data) {
  int start = DataStart();
  if (start < 0) return false;
  if (Data() == data) return true;
  return obj_.ReplaceTags(static_cast<std::size_t>(start), obj_.DataEnd(), data);
}

}  // namespace tav::cad
