// Selection sets, filters and picks.
#include "platform/host/KvSelection.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <unordered_map>
#include <unordered_set>

#include "platform/base/KvStrings.h"
#include "platform/host/KvUserServices.h"
#include "platform/host/KvWcMatch.h"

using tav::cad::DxfObject;

namespace {

constexpr std::int64_t kSetTag = 0x5353455453455453;  // marks a selection set name

// Ids hash as they compare: every null id alike, others by database and handle.
struct IdHash {
  std::size_t operator()(const AcDbObjectId& id) const noexcept {
    if (id.isNull()) return 0;
    const std::uint64_t h = static_cast<std::uint64_t>(id.handle().value());
    const std::uint64_t d = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(id.database()));
    return static_cast<std::size_t>((h ^ (d >> 4)) * 0x9E3779B97F4A7C15ull);
  }
};
using IdSet = std::unordered_set<AcDbObjectId, IdHash>;

// Sets up to this size are searched member by member; larger ones get a hash index on first search.
constexpr std::size_t kIndexFrom = 32;

// A set: its members in selection order, and (for large sets, once searched) an index of them.
struct Set {
  AcDbObjectIdArray ids;
  IdSet index;
  bool indexed = false;

  bool Contains(const AcDbObjectId& id) {
    if (!indexed && ids.size() < kIndexFrom) return std::find(ids.begin(), ids.end(), id) != ids.end();
    if (!indexed) {
      index.reserve(ids.size() * 2);
      index.insert(ids.begin(), ids.end());
      indexed = true;
    }
    return index.count(id) != 0;
  }
  void Add(const AcDbObjectId& id) {
    ids.push_back(id);
    if (indexed) index.insert(id);
  }
  bool Remove(const AcDbObjectId& id) {
    auto it = std::find(ids.begin(), ids.end(), id);
    if (it == ids.end()) return false;
    ids.erase(it);
    if (indexed) index.erase(id);
    return true;
  }
};

struct SetTable {
  std::map<std::int64_t, Set> sets;
  std::int64_t next = 1;
};
SetTable& Sets() {
  static SetTable table;
  return table;
}

Set* Find(const ads_name ss) {
  if (!ss || ss[1] != kSetTag) return nullptr;
  auto it = Sets().sets.find(ss[0]);
  return it == Sets().sets.end() ? nullptr : &it->second;
}

// A new set holding `ids`, which must hold no repeats.
void NewSet(AcDbObjectIdArray ids, ads_name ss) {
  std::int64_t n = Sets().next++;
  Sets().sets[n].ids = std::move(ids);
  ss[0] = n;
  ss[1] = kSetTag;
}

// Collects ids in order, dropping repeats.
class UniqueIds {
 public:
  explicit UniqueIds(std::size_t expected = 0) { seen_.reserve(expected); ids_.reserve(expected); }
  void Add(const AcDbObjectId& id) {
    if (seen_.insert(id).second) ids_.push_back(id);
  }
  bool Has(const AcDbObjectId& id) const { return seen_.count(id) != 0; }
  bool empty() const { return ids_.empty(); }
  AcDbObjectIdArray Take() { return std::move(ids_); }

 private:
  IdSet seen_;
  AcDbObjectIdArray ids_;
};

bool IsStringFilterCode(int code) {
  KvResKind k = KvResKindOf(code);
  return k == KvResKind::kString && code != -4 && code != -3 && !(code >= 1000 && code <= 1071);
}

std::vector<std::string> TypeNames(const resbuf* filter) {
  std::vector<std::string> names;
  for (const resbuf* rb = filter; rb; rb = rb->rbnext)
    if (rb->restype == 0 || rb->restype == RTDXF0)
      for (const std::string& part : tav::Split(KvRbString(rb), ','))
        if (!tav::Trim(part).empty()) names.push_back(tav::ToUpperAscii(tav::Trim(part)));
  return names;
}

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool EqualsFolded(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  return true;
}

// True when raw drawing bytes read as themselves: ASCII without the backslash of a \U+XXXX escape.
bool ReadsAsItself(std::string_view raw) {
  for (char c : raw)
    if (static_cast<unsigned char>(c) >= 0x80 || c == '\\') return false;
  return true;
}

// True when a pattern has no wildcard characters and only ASCII: it then matches exactly the texts
// equal to one of its comma-separated names, ASCII letters compared ignoring case.
bool IsPlainList(std::string_view pattern) {
  for (char c : pattern) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
    switch (c) {
      case '*': case '?': case '#': case '@': case '.': case '[': case '`': case '~': return false;
      default: break;
    }
  }
  return true;
}

struct TransparentHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>()(s); }
};

// A wildcard pattern prepared for matching many texts: a plain list is compared name by name without
// allocating; any other pattern goes through WcMatch once per distinct text.
class PatternMatcher {
 public:
  explicit PatternMatcher(std::string pattern) : pattern_(std::move(pattern)), plain_(IsPlainList(pattern_)) {
    if (!plain_) return;
    std::size_t begin = 0;
    for (;;) {
      const std::size_t comma = pattern_.find(',', begin);
      const std::size_t end = comma == std::string::npos ? pattern_.size() : comma;
      names_.emplace_back(begin, end - begin);
      if (comma == std::string::npos) break;
      begin = comma + 1;
    }
  }

  bool Matches(std::string_view text) const {
    if (plain_) {
      const std::string_view pattern = pattern_;
      for (auto [offset, length] : names_)
        if (EqualsFolded(pattern.substr(offset, length), text)) return true;
      return false;
    }
    auto it = memo_.find(text);
    if (it != memo_.end()) return it->second;
    const bool result = tav::host::WcMatch(text, pattern_);
    if (memo_.size() < kMemoLimit) memo_.emplace(std::string(text), result);
    return result;
  }

 private:
  // Texts remembered per pattern (type, layer and application names repeat; free texts may not).
  static constexpr std::size_t kMemoLimit = 4096;

  std::string pattern_;
  bool plain_ = false;
  std::vector<std::pair<std::size_t, std::size_t>> names_;  // offset and length of each plain name
  mutable std::unordered_map<std::string, bool, TransparentHash, std::equal_to<>> memo_;
};

// The text of tag `index` of `object`: its raw bytes when they read as themselves, else decoded into
// `scratch`.
std::string_view TextOfTag(const DxfObject& object, std::size_t index, std::string& scratch) {
  const std::string_view raw = object.TagAt(index).raw;
  if (ReadsAsItself(raw)) return raw;
  scratch = object.TextAt(index);
  return scratch;
}

// A filter checked once and prepared for testing many objects.
class CompiledFilter {
 public:
  // False with `error` for an item this host does not evaluate.
  bool Compile(const resbuf* filter, std::string* error) {
    for (const resbuf* rb = filter; rb; rb = rb->rbnext) {
      const int c = rb->restype == RTDXF0 ? 0 : rb->restype;
      if (c == -3) continue;
      const KvResKind k = KvResKindOf(c);
      Item item;
      item.code = c;
      if (c == 1001 || IsStringFilterCode(c)) {
        item.kind = c == 1001 ? Item::kApp : Item::kText;
        item.pattern = std::make_unique<PatternMatcher>(KvRbString(rb));
      } else if (k == KvResKind::kShort || k == KvResKind::kLong) {
        item.kind = Item::kInteger;
        item.integer = k == KvResKind::kShort ? rb->resval.rint : rb->resval.rlong;
      } else if (k == KvResKind::kReal) {
        item.kind = Item::kReal;
        item.real = rb->resval.rreal;
      } else {
        if (error) *error = "filter item " + std::to_string(c) + " is not supported";
        items_.clear();
        return false;
      }
      items_.push_back(std::move(item));
    }
    return true;
  }

  bool Matches(const DxfObject& object) const {
    if (object.IsNull()) return false;
    for (const Item& item : items_)
      if (!Passes(item, object)) return false;
    return true;
  }

 private:
  struct Item {
    enum Kind { kText, kApp, kInteger, kReal } kind = kText;
    int code = 0;
    std::unique_ptr<PatternMatcher> pattern;
    long long integer = 0;
    double real = 0;
  };

  bool Passes(const Item& item, const DxfObject& object) const {
    switch (item.kind) {
      case Item::kApp: {
        // The application names are the 1001 tags after the data part.
        const std::size_t n = object.TagCount();
        for (std::size_t i = object.DataEnd(); i < n; ++i)
          if (object.TagAt(i).code == 1001 && item.pattern->Matches(TextOfTag(object, i, scratch_))) return true;
        return false;
      }
      case Item::kText: {
        if (item.code == 0) return item.pattern->Matches(object.Type());
        const int i = object.Find(item.code);
        if (i < 0) {
          const std::string_view absent = item.code == 8 ? "0" : item.code == 6 ? "BYLAYER" : item.code == 7 ? "STANDARD" : "";
          return item.pattern->Matches(absent);
        }
        return item.pattern->Matches(TextOfTag(object, static_cast<std::size_t>(i), scratch_));
      }
      case Item::kInteger: {
        const long long have = item.code == 62 ? tav::cad::DxfEntity(object).Color() : object.GetInt(item.code);
        return have == item.integer;
      }
      case Item::kReal: return object.GetDouble(item.code) == item.real;
    }
    return false;
  }

  std::vector<Item> items_;
  mutable std::string scratch_;
};

}  // namespace

namespace tav::host {

bool MatchesFilter(const DxfObject& object, const resbuf* filter, std::string* error) {
  CompiledFilter compiled;
  return compiled.Compile(filter, error) && compiled.Matches(object);
}

AcDbObjectIdArray SelectAll(AcDbDatabase* db, const resbuf* filter) {
  AcDbObjectIdArray ids;
  CompiledFilter compiled;
  if (!db || !compiled.Compile(filter, nullptr)) return ids;
  for (const DxfObject& e : db->document().Entities())
    if (compiled.Matches(e)) ids.push_back(db->idOf(e));
  return ids;
}

AcDbObjectIdArray SelectionIds(const ads_name ss) {
  const Set* set = Find(ss);
  return set ? set->ids : AcDbObjectIdArray();
}

void MakeSelectionSet(const AcDbObjectIdArray& ids, ads_name ss) {
  UniqueIds unique(ids.size());
  for (const auto& id : ids)
    if (!id.isNull()) unique.Add(id);
  NewSet(unique.Take(), ss);
}

int SelectionSetCount() { return static_cast<int>(Sets().sets.size()); }

bool KvSelectionSet::isValid() const { return Find(name_) != nullptr; }

void KvSelectionSet::reset() {
  if (isValid()) acedSSFree(name_);
  name_[0] = name_[1] = 0;
}

}  // namespace tav::host

int acedSSGet(const char* mode, const void* pt1, const void*, const resbuf* filter, ads_name ss) {
  if (!ss) return RTERROR;
  CompiledFilter compiled;
  if (!compiled.Compile(filter, nullptr)) return RTERROR;
  std::string m = mode ? mode : "";
  while (!m.empty() && m[0] == '_') m.erase(0, 1);
  m = tav::ToUpperAscii(m);
  AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
  if (!db) return RTERROR;

  AcDbObjectIdArray ids;
  if (m == "X") {
    for (const DxfObject& e : db->document().Entities())
      if (compiled.Matches(e)) ids.push_back(db->idOf(e));
  } else if (m == "I") {
    AcApDocument* doc = acDocManagerPtr()->curDocument();
    if (!doc) return RTERROR;
    UniqueIds unique;
    for (const auto& id : doc->pickfirst()) {
      DxfObject o = id.dxf();
      if (!o.IsNull() && compiled.Matches(o)) unique.Add(id);
    }
    ids = unique.Take();
  } else if (m.empty() || m == ":$" || m == ":S" || m == ":S:$" || m == ":$:S") {
    KvSelectionRequest request;
    request.mode = m;
    request.singleSelection = m.find(":S") != std::string::npos;
    if (m.find(":$") != std::string::npos && pt1) {
      const char* const* prompts = static_cast<const char* const*>(pt1);
      if (prompts[0]) request.prompt = prompts[0];
      if (prompts[1]) request.removePrompt = prompts[1];
    }
    request.typeFilter = TypeNames(filter);
    KvSelectionResult answer = KvGetUserServices().Select(request);
    if (answer.status == KvPromptStatus::kCancel) return RTCAN;
    if (answer.status != KvPromptStatus::kNormal) return RTERROR;
    UniqueIds unique;
    for (std::uint64_t h : answer.handles) {
      AcDbObjectId id(db, h);
      DxfObject o = id.dxf();
      if (o.IsNull() || !AcDbEntity::isKindOf(o) || !compiled.Matches(o)) continue;
      unique.Add(id);
      if (request.singleSelection) break;
    }
    ids = unique.Take();
  } else {
    return RTERROR;
  }
  if (ids.empty()) return RTERROR;
  NewSet(std::move(ids), ss);
  return RTNORM;
}

int acedSSLength(const ads_name ss, std::int32_t* length) {
  const Set* set = Find(ss);
  if (!set || !length) return RTERROR;
  *length = static_cast<std::int32_t>(set->ids.size());
  return RTNORM;
}

int acedSSName(const ads_name ss, std::int32_t index, ads_name entity) {
  const Set* set = Find(ss);
  if (!set || !entity || index < 0 || static_cast<std::size_t>(index) >= set->ids.size()) return RTERROR;
  return acdbGetAdsName(entity, set->ids[static_cast<std::size_t>(index)]) == Acad::eOk ? RTNORM : RTERROR;
}

int acedSSAdd(const ads_name entity, const ads_name ss, ads_name result) {
  if (!result) return RTERROR;
  AcDbObjectId id;
  if (entity && acdbGetObjectId(id, entity) != Acad::eOk) return RTERROR;
  if (!ss) {
    AcDbObjectIdArray ids;
    if (entity) ids.push_back(id);
    NewSet(std::move(ids), result);
    return RTNORM;
  }
  Set* set = Find(ss);
  if (!set) return RTERROR;
  if (entity && !set->Contains(id)) set->Add(id);
  result[0] = ss[0];
  result[1] = ss[1];
  return RTNORM;
}

int acedSSDel(const ads_name entity, const ads_name ss) {
  Set* set = Find(ss);
  AcDbObjectId id;
  if (!set || !entity || acdbGetObjectId(id, entity) != Acad::eOk) return RTERROR;
  return set->Remove(id) ? RTNORM : RTERROR;
}

int acedSSMemb(const ads_name entity, const ads_name ss) {
  Set* set = Find(ss);
  AcDbObjectId id;
  if (!set || !entity || acdbGetObjectId(id, entity) != Acad::eOk) return RTERROR;
  return set->Contains(id) ? RTNORM : RTERROR;
}

int acedSSFree(const ads_name ss) {
  if (!Find(ss)) return RTERROR;
  Sets().sets.erase(ss[0]);
  return RTNORM;
}

int acedSSGetFirst(ads_name ss) {
  AcApDocument* doc = acDocManagerPtr()->curDocument();
  if (!ss || !doc) return RTERROR;
  UniqueIds unique;
  for (const auto& id : doc->pickfirst())
    if (!id.isErased()) unique.Add(id);
  if (unique.empty()) return RTERROR;
  NewSet(unique.Take(), ss);
  return RTNORM;
}

int acedSSSetFirst(const ads_name ss) {
  AcApDocument* doc = acDocManagerPtr()->curDocument();
  if (!doc) return RTERROR;
  if (!ss) {
    doc->setPickfirst({});
    return RTNORM;
  }
  const Set* set = Find(ss);
  if (!set) return RTERROR;
  doc->setPickfirst(set->ids);
  return RTNORM;
}
int acedEntSel(const char* prompt, ads_name entity, ads_point point) {
  if (!entity) return RTERROR;
  entity[0] = entity[1] = 0;
  AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
  if (!db) return RTERROR;
  KvPickRequest request;
  request.prompt = prompt ? prompt : "\n选择对象: ";
  KvPickResult answer = KvGetUserServices().PickEntity(request);
  switch (answer.status) {
    case KvPromptStatus::kCancel: return RTCAN;
    case KvPromptStatus::kKeyword: return RTKWORD;
    case KvPromptStatus::kNormal: break;
    default: return RTERROR;
  }
  AcDbObjectId id(db, answer.handle);
  DxfObject o = id.dxf();
  if (o.IsNull() || !AcDbEntity::isKindOf(o)) return RTERROR;
  acdbGetAdsName(entity, id);
  if (point) {
    point[0] = answer.point.x;
    point[1] = answer.point.y;
    point[2] = answer.point.z;
  }
  return RTNORM;
}
