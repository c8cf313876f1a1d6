// DxfObject: tag access, typed field access and extended data of one record.
#include <charconv>

#include "platform/base/KvStrings.h"
#include "platform/cad/DxfDocumentImpl.h"

namespace tav::cad {

namespace {

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

bool ToDouble(std::string_view s, double& v) {
  s = TrimBlanks(s);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty()) return false;
  auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

bool ToInt(std::string_view s, long long& v) {
  s = TrimBlanks(s);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty()) return false;
  auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  if (r.ec == std::errc() && r.ptr == s.data() + s.size()) return true;
  // Some writers put a decimal point into integer codes ("1.0").
  double d;
  if (ToDouble(s, d)) {
    v = static_cast<long long>(d);
    return true;
  }
  return false;
}

bool IsXDataCode(int code) { return code >= 1000 && code <= 1071; }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Impl helpers used by the object layer

std::vector<OwnedTag>& DxfDocument::Impl::Own(std::uint32_t slot) {
  Record& r = records[slot];
  modified = true;
  if (!r.owned) {
    auto tags = std::make_unique<std::vector<OwnedTag>>();
    tags->resize(r.count);
    for (std::uint32_t i = 0; i < r.count; ++i) {
      (*tags)[i].code = raw[r.first + i].code;
      (*tags)[i].raw = r.first + i;
    }
    r.owned = std::move(tags);
  }
  return *r.owned;
}

bool DxfDocument::Impl::EncodeTags(const std::vector<DxfTag>& tags, std::vector<OwnedTag>& out) const {
  out.clear();
  out.reserve(tags.size());
  for (const DxfTag& t : tags) {
    OwnedTag o;
    o.code = t.code;
    if (!codec.Encode(t.value, o.value)) return false;
    out.push_back(std::move(o));
  }
  return true;
}

std::string DxfDocument::Impl::Decode(std::string_view rawText) const {
  std::string out;
  if (!codec.Decode(rawText, out)) out.assign(rawText);
  return out;
}

void DxfDocument::Impl::ReadIdentity(std::uint32_t slot) {
  Record& r = records[slot];
  const std::size_t n = Count(r);
  const bool dimstyle = r.type == "DIMSTYLE";
  r.owner = 0;
  Handle h = 0;
  bool inGroup = false, ownerFound = false;
  for (std::size_t i = 1; i < n; ++i) {
    const int code = CodeAt(r, i);
    if (code == 100) break;
    if (code == 102) {
      inGroup = !RawAt(r, i).empty() && RawAt(r, i)[0] == '{';
      continue;
    }
    if (inGroup) continue;
    if ((code == 5 && !dimstyle) || code == 105) {
      if (h == 0) ParseHandle(RawAt(r, i), h);
    } else if (code == 330 && !ownerFound) {
      ParseHandle(RawAt(r, i), r.owner);
      ownerFound = true;
    }
  }
  if (h != r.handle && h != 0) {
    r.handle = h;
    handles.Insert(h, slot);
  }
}

// ---------------------------------------------------------------------------------------------

std::string_view DxfObject::Type() const { return doc_ ? doc_->impl().records[slot_].type : std::string_view(); }
Handle DxfObject::GetHandle() const { return doc_ ? doc_->impl().records[slot_].handle : 0; }
Handle DxfObject::Owner() const { return doc_ ? doc_->impl().records[slot_].owner : 0; }
bool DxfObject::IsErased() const { return doc_ && doc_->impl().records[slot_].erased; }
bool DxfObject::IsModified() const { return doc_ && doc_->impl().records[slot_].owned != nullptr; }
std::uint32_t DxfObject::Line() const { return doc_ ? doc_->impl().records[slot_].line : 0; }

std::size_t DxfObject::TagCount() const {
  if (!doc_) return 0;
  const auto& im = doc_->impl();
  return im.Count(im.records[slot_]);
}

DxfTagRef DxfObject::TagAt(std::size_t index) const {
  if (index >= TagCount()) return DxfTagRef{-9999, {}, 0};
  const auto& im = doc_->impl();
  const Record& r = im.records[slot_];
  return DxfTagRef{im.CodeAt(r, index), im.RawAt(r, index), im.LineAt(r, index)};
}

std::string DxfObject::TextAt(std::size_t index) const {
  if (index >= TagCount()) return {};
  const auto& im = doc_->impl();
  return im.Decode(im.RawAt(im.records[slot_], index));
}

std::vector<DxfTag> DxfObject::Tags() const {
  std::vector<DxfTag> out;
  const std::size_t n = TagCount();
  out.reserve(n);
  for (std::size_t i = 0; i < n; ++i) out.push_back(DxfTag{TagAt(i).code, TextAt(i)});
  return out;
}

std::size_t DxfObject::DataEnd() const {
  if (!doc_) return 0;
  const auto& im = doc_->impl();
  const Record& r = im.records[slot_];
  const std::size_t n = im.Count(r);
  if (r.type == "XRECORD") {
    // XRECORD data may hold any code; only a 1001 that starts a well-formed application name ends it.
    for (std::size_t i = 1; i < n; ++i)
      if (im.CodeAt(r, i) == 1001 && i > 0) {
        // Heuristic: xdata follows the data part, so everything after is xdata codes only.
        bool allX = true;
        for (std::size_t k = i; k < n; ++k)
          if (!IsXDataCode(im.CodeAt(r, k))) {
            allX = false;
            break;
          }
        if (allX) return i;
      }
    return n;
  }
  for (std::size_t i = 1; i < n; ++i)
    if (im.CodeAt(r, i) == 1001) return i;
  return n;
}

int DxfObject::Find(int code, std::size_t from, std::size_t to) const {
  if (!doc_) return -1;
  const auto& im = doc_->impl();
  const Record& r = im.records[slot_];
  const std::size_t end = std::min(to, DataEnd());
  bool inGroup = false;
  for (std::size_t i = 0; i < end; ++i) {
    const int c = im.CodeAt(r, i);
    if (c == 102) {
      std::string_view v = im.RawAt(r, i);
      inGroup = !v.empty() && v[0] == '{';
      continue;
    }
    if (inGroup || i < from) continue;
    if (c == code) return static_cast<int>(i);
  }
  return -1;
}

int DxfObject::FindSubclass(std::string_view subclass) const {
  if (!doc_) return -1;
  const auto& im = doc_->impl();
  const Record& r = im.records[slot_];
  const std::size_t end = DataEnd();
  for (std::size_t i = 0; i < end; ++i)
    if (im.CodeAt(r, i) == 100 && TrimBlanks(im.RawAt(r, i)) == subclass) return static_cast<int>(i);
  return -1;
}

std::string DxfObject::GetString(int code, std::string_view def) const {
  int i = Find(code);
  if (i < 0) return std::string(def);
  return TextAt(static_cast<std::size_t>(i));
}

double DxfObject::GetDouble(int code, double def) const {
  int i = Find(code);
  double v;
  if (i < 0 || !ToDouble(TagAt(static_cast<std::size_t>(i)).raw, v)) return def;
  return v;
}

long long DxfObject::GetInt(int code, long long def) const {
  int i = Find(code);
  long long v;
  if (i < 0 || !ToInt(TagAt(static_cast<std::size_t>(i)).raw, v)) return def;
  return v;
}

Handle DxfObject::GetHandleRef(int code) const {
  int i = Find(code);
  Handle h = 0;
  if (i >= 0) ParseHandle(TagAt(static_cast<std::size_t>(i)).raw, h);
  return h;
}

DxfPoint DxfObject::GetPoint(int code, const DxfPoint& def) const {
  int i = Find(code);
  if (i < 0) return def;
  DxfPoint p;
  const std::size_t ui = static_cast<std::size_t>(i);
  if (!ToDouble(TagAt(ui).raw, p.x)) return def;
  if (TagAt(ui + 1).code == code + 10) {
    ToDouble(TagAt(ui + 1).raw, p.y);
    if (TagAt(ui + 2).code == code + 20) ToDouble(TagAt(ui + 2).raw, p.z);
  }
  return p;
}

namespace {

// Where a new tag of a subclass goes: before the next 100 marker after the subclass marker, or at
// the end of the data part.
std::size_t InsertPosition(const DxfObject& obj, std::string_view subclass) {
  const std::size_t end = obj.DataEnd();
  if (!subclass.empty()) {
    int m = obj.FindSubclass(subclass);
    if (m >= 0) {
      for (std::size_t i = static_cast<std::size_t>(m) + 1; i < end; ++i)
        if (obj.TagAt(i).code == 100) return i;
      return end;
    }
  }
  return end;
}

}  // namespace

bool DxfObject::SetString(int code, std::string_view utf8, std::string_view subclass) {
  if (!doc_) return false;
  auto& im = doc_->impl();
  std::string encoded;
  if (!im.codec.Encode(utf8, encoded)) return false;
  int i = Find(code);
  if (i >= 0) {
    // Unchanged value: leave the tag as read.
    if (TagAt(static_cast<std::size_t>(i)).raw == encoded) return true;
    auto& tags = im.Own(slot_);
    tags[static_cast<std::size_t>(i)].raw = kNone;
    tags[static_cast<std::size_t>(i)].value = std::move(encoded);
  } else {
    const std::size_t pos = InsertPosition(*this, subclass);
    auto& tags = im.Own(slot_);
    OwnedTag t;
    t.code = code;
    t.value = std::move(encoded);
    tags.insert(tags.begin() + static_cast<std::ptrdiff_t>(pos), std::move(t));
  }
  if (code == 330 || code == 5 || code == 105) im.ReadIdentity(slot_);
  return true;
}

bool DxfObject::SetDouble(int code, double value, std::string_view subclass) {
  if (!doc_) return false;
  // Keep the stored text when it already reads as this value (no change, no rewrite).
  int i = Find(code);
  double old;
  if (i >= 0 && ToDouble(TagAt(static_cast<std::size_t>(i)).raw, old) && old == value) return true;
  return SetString(code, FormatDxfDouble(value), subclass);
}

bool DxfObject::SetInt(int code, long long value, std::string_view subclass) {
  if (!doc_) return false;
  int i = Find(code);
  long long old;
  if (i >= 0 && ToInt(TagAt(static_cast<std::size_t>(i)).raw, old) && old == value) return true;
  std::string text = std::to_string(value);
  // Keep the file's right-aligned style of short integers ("     0") when the old value had it.
  if (i >= 0) {
    std::string_view oldText = TagAt(static_cast<std::size_t>(i)).raw;
    if (!oldText.empty() && oldText[0] == ' ' && text.size() < oldText.size())
      text = std::string(oldText.size() - text.size(), ' ') + text;
  }
  return SetString(code, text, subclass);
}

bool DxfObject::SetHandleRef(int code, Handle handle, std::string_view subclass) {
  return SetString(code, FormatHandle(handle), subclass);
}

bool DxfObject::SetPoint(int code, const DxfPoint& point, std::string_view subclass, bool withZ) {
  if (!doc_) return false;
  int i = Find(code);
  if (i < 0) {
    std::vector<DxfTag> tags;
    AppendPoint(tags, code, point, withZ);
    const std::size_t pos = InsertPosition(*this, subclass);
    return ReplaceTags(pos, pos, tags);
  }
  std::size_t ui = static_cast<std::size_t>(i);
  std::size_t last = ui + 1;
  if (TagAt(last).code == code + 10) ++last;
  if (TagAt(last).code == code + 20) {
    ++last;
    withZ = true;
  }
  DxfPoint old;
  double v;
  bool same = (last - ui) == (withZ ? 3u : 2u);
  if (same) {
    same = ToDouble(TagAt(ui).raw, v) && v == point.x && ToDouble(TagAt(ui + 1).raw, v) && v == point.y &&
           (!withZ || (ToDouble(TagAt(ui + 2).raw, v) && v == point.z));
  }
  if (same) return true;
  std::vector<DxfTag> tags;
  AppendPoint(tags, code, point, withZ);
  return ReplaceTags(ui, last, tags);
}

int DxfObject::Remove(int code) {
  if (!doc_) return 0;
  int removed = 0;
  for (int i = Find(code); i >= 0; i = Find(code)) {
    ReplaceTags(static_cast<std::size_t>(i), static_cast<std::size_t>(i) + 1, {});
    ++removed;
  }
  return removed;
}

bool DxfObject::ReplaceTags(std::size_t first, std::size_t last, const std::vector<DxfTag>& tags) {
  if (!doc_ || first > last || last > TagCount()) return false;
  auto& im = doc_->impl();
  std::vector<OwnedTag> encoded;
  if (!im.EncodeTags(tags, encoded)) return false;
  auto& own = im.Own(slot_);
  own.erase(own.begin() + static_cast<std::ptrdiff_t>(first), own.begin() + static_cast<std::ptrdiff_t>(last));
  own.insert(own.begin() + static_cast<std::ptrdiff_t>(first), std::make_move_iterator(encoded.begin()),
             std::make_move_iterator(encoded.end()));
  im.ReadIdentity(slot_);
  return true;
}

bool DxfObject::SetOwner(Handle owner) {
  if (!doc_ || GetHandle() == 0) return false;
  auto& im = doc_->impl();
  const Record& r = im.records[slot_];
  const std::size_t n = im.Count(r);
  bool inGroup = false;
  std::size_t insertAt = 0;
  for (std::size_t i = 1; i < n; ++i) {
    const int code = im.CodeAt(r, i);
    if (code == 100 || code == 1001) break;
    if (code == 102) {
      inGroup = !im.RawAt(r, i).empty() && im.RawAt(r, i)[0] == '{';
      insertAt = i + 1;
      continue;
    }
    if (inGroup) continue;
    if (code == 330) return SetString(330, FormatHandle(owner));
    if (code == 5 || code == 105) insertAt = i + 1;
  }
  if (insertAt == 0) insertAt = 1;
  return ReplaceTags(insertAt, insertAt, {MakeHandleTag(330, owner)});
}

// ---------------------------------------------------------------------------------------------
// Extended data

namespace {

struct ChainRange {
  std::size_t begin, end;
  std::string app;
};

std::vector<ChainRange> Chains(const DxfObject& obj) {
  std::vector<ChainRange> out;
  const std::size_t n = obj.TagCount();
  for (std::size_t i = obj.DataEnd(); i < n; ++i) {
    if (obj.TagAt(i).code == 1001) {
      if (!out.empty()) out.back().end = i;
      out.push_back(ChainRange{i, n, obj.TextAt(i)});
    }
  }
  return out;
}

DxfXData ParseChain(const DxfObject& obj, const ChainRange& c) {
  DxfXData x;
  x.app = c.app;
  for (std::size_t i = c.begin + 1; i < c.end; ++i) {
    DxfTagRef t = obj.TagAt(i);
    DxfXItem item;
    item.code = t.code;
    if (t.code >= 1010 && t.code <= 1013) {
      ToDouble(t.raw, item.point.x);
      if (i + 1 < c.end && obj.TagAt(i + 1).code == t.code + 10) {
        ToDouble(obj.TagAt(++i).raw, item.point.y);
        if (i + 1 < c.end && obj.TagAt(i + 1).code == t.code + 20) ToDouble(obj.TagAt(++i).raw, item.point.z);
      }
    } else if (t.code >= 1040 && t.code <= 1059) {
      ToDouble(t.raw, item.real);
    } else if (t.code >= 1060 && t.code <= 1071) {
      ToInt(t.raw, item.integer);
    } else if (ValueKindOf(t.code) == DxfValueKind::Double) {
      ToDouble(t.raw, item.real);
    } else {
      item.text = obj.TextAt(i);
    }
    x.items.push_back(std::move(item));
  }
  return x;
}

void AppendItemTags(std::vector<DxfTag>& tags, const DxfXItem& item) {
  const int c = item.code;
  if (c >= 1010 && c <= 1013) {
    AppendPoint(tags, c, item.point, true);
  } else if (c >= 1040 && c <= 1059) {
    tags.push_back(MakeTag(c, item.real));
  } else if (c >= 1060 && c <= 1071) {
    tags.push_back(MakeTag(c, item.integer));
  } else if (ValueKindOf(c) == DxfValueKind::Double) {
    tags.push_back(MakeTag(c, item.real));
  } else {
    tags.push_back(MakeTag(c, item.text));
  }
}

}  // namespace

std::vector<std::string> DxfObject::XDataApps() const {
  std::vector<std::string> apps;
  for (const auto& c : Chains(*this)) apps.push_back(c.app);
  return apps;
}

bool DxfObject::GetXData(std::string_view app, DxfXData& out) const {
  out = DxfXData();
  for (const auto& c : Chains(*this))
    if (EqualsNoCase(c.app, app)) {
      out = ParseChain(*this, c);
      return true;
    }
  return false;
}

std::vector<DxfXData> DxfObject::AllXData() const {
  std::vector<DxfXData> out;
  for (const auto& c : Chains(*this)) out.push_back(ParseChain(*this, c));
  return out;
}

bool DxfObject::SetXData(const DxfXData& xdata) {
  if (!doc_ || xdata.app.empty()) return false;
  if (doc_->FindRecord("APPID", xdata.app).IsNull()) return false;
  for (const DxfXItem& item : xdata.items)
    if (item.code < 1000 || item.code > 1071 || item.code == 1001) return false;
  if (xdata.items.empty()) {
    RemoveXData(xdata.app);
    return true;
  }
  std::vector<DxfTag> tags;
  tags.push_back(MakeTag(1001, xdata.app));
  for (const DxfXItem& item : xdata.items) AppendItemTags(tags, item);
  for (const auto& c : Chains(*this))
    if (EqualsNoCase(c.app, xdata.app)) {
      // Keep the application name as stored.
      tags[0].value = c.app;
      // Unchanged chain: nothing to do.
      if (ParseChain(*this, c) == DxfXData{c.app, xdata.items}) return true;
      return ReplaceTags(c.begin, c.end, tags);
    }
  const std::size_t n = TagCount();
  return ReplaceTags(n, n, tags);
}

bool DxfObject::RemoveXData(std::string_view app) {
  if (!doc_) return false;
  for (const auto& c : Chains(*this))
    if (EqualsNoCase(c.app, app)) return ReplaceTags(c.begin, c.end, {});
  return false;
}

}  // namespace tav::cad
