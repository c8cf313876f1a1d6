// Selection sets, filters and picks.
#include "platform/host/KvSelection.h"

#include <algorithm>
#include <map>

#include "platform/base/KvStrings.h"
#include "platform/host/KvUserServices.h"
#include "platform/host/KvWcMatch.h"

using tav::cad::DxfObject;

namespace {

constexpr std::int64_t kSetTag = 0x5353455453455453;  // marks a selection set name

struct SetTable {
  std::map<std::int64_t, AcDbObjectIdArray> sets;
  std::int64_t next = 1;
};
SetTable& Sets() {
  static SetTable table;
  return table;
}

AcDbObjectIdArray* Find(const ads_name ss) {
  if (!ss || ss[1] != kSetTag) return nullptr;
  auto it = Sets().sets.find(ss[0]);
  return it == Sets().sets.end() ? nullptr : &it->second;
}

void NewSet(AcDbObjectIdArray ids, ads_name ss) {
  std::int64_t n = Sets().next++;
  Sets().sets[n] = std::move(ids);
  ss[0] = n;
  ss[1] = kSetTag;
}

bool Contains(const AcDbObjectIdArray& ids, const AcDbObjectId& id) {
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

bool IsStringFilterCode(int code) {
  KvResKind k = KvResKindOf(code);
  return k == KvResKind::kString && code != -4 && code != -3 && !(code >= 1000 && code <= 1071);
}

// Checks that every item of the filter is one this host evaluates.
bool ValidFilter(const resbuf* filter, std::string* error) {
  for (const resbuf* rb = filter; rb; rb = rb->rbnext) {
    int c = rb->restype == RTDXF0 ? 0 : rb->restype;
    if (c == -3 || c == 1001) continue;
    KvResKind k = KvResKindOf(c);
    if (IsStringFilterCode(c) || k == KvResKind::kShort || k == KvResKind::kLong || k == KvResKind::kReal) continue;
    if (error) *error = "filter item " + std::to_string(c) + " is not supported";
    return false;
  }
  return true;
}

std::vector<std::string> TypeNames(const resbuf* filter) {
  std::vector<std::string> names;
  for (const resbuf* rb = filter; rb; rb = rb->rbnext)
    if (rb->restype == 0 || rb->restype == RTDXF0)
      for (const std::string& part : tav::Split(KvRbString(rb), ','))
        if (!tav::Trim(part).empty()) names.push_back(tav::ToUpperAscii(tav::Trim(part)));
  return names;
}

}  // namespace

namespace tav::host {

bool MatchesFilter(const DxfObject& object, const resbuf* filter, std::string* error) {
  if (!ValidFilter(filter, error)) return false;
  if (object.IsNull()) return false;
  tav::cad::DxfEntity entity(object);
  for (const resbuf* rb = filter; rb; rb = rb->rbnext) {
    int c = rb->restype == RTDXF0 ? 0 : rb->restype;
    if (c == -3) continue;
    if (c == 1001) {
      std::string pattern = KvRbString(rb);
      bool any = false;
      for (const std::string& app : object.XDataApps())
        if (WcMatch(app, pattern)) { any = true; break; }
      if (!any) return false;
      continue;
    }
    switch (KvResKindOf(c)) {
      case KvResKind::kString: {
        std::string value;
        if (c == 0) value = std::string(object.Type());
        else if (c == 8) value = entity.Layer();
        else if (c == 6) value = entity.Linetype();
        else if (c == 7) value = object.GetString(7, "STANDARD");
        else value = object.GetString(c);
        if (!WcMatch(value, KvRbString(rb))) return false;
        break;
      }
      case KvResKind::kShort:
      case KvResKind::kLong: {
        long long want = KvResKindOf(c) == KvResKind::kShort ? rb->resval.rint : rb->resval.rlong;
        long long have = c == 62 ? entity.Color() : object.GetInt(c);
        if (have != want) return false;
        break;
      }
      case KvResKind::kReal:
        if (object.GetDouble(c) != rb->resval.rreal) return false;
        break;
      default: return false;
    }
  }
  return true;
}

AcDbObjectIdArray SelectAll(AcDbDatabase* db, const resbuf* filter) {
  AcDbObjectIdArray ids;
  if (!db || !ValidFilter(filter, nullptr)) return ids;
  for (const DxfObject& e : db->document().Entities())
    if (MatchesFilter(e, filter)) ids.push_back(db->idOf(e));
  return ids;
}

AcDbObjectIdArray SelectionIds(const ads_name ss) {
  const AcDbObjectIdArray* ids = Find(ss);
  return ids ? *ids : AcDbObjectIdArray();
}

void MakeSelectionSet(const AcDbObjectIdArray& ids, ads_name ss) {
  AcDbObjectIdArray unique;
  for (const auto& id : ids)
    if (!id.isNull() && !Contains(unique, id)) unique.push_back(id);
  NewSet(std::move(unique), ss);
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
  if (!ValidFilter(filter, nullptr)) return RTERROR;
  std::string m = mode ? mode : "";
  while (!m.empty() && m[0] == '_') m.erase(0, 1);
  m = tav::ToUpperAscii(m);
  AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
  if (!db) return RTERROR;

  AcDbObjectIdArray ids;
  if (m == "X") {
    ids = tav::host::SelectAll(db, filter);
  } else if (m == "I") {
    AcApDocument* doc = acDocManagerPtr()->curDocument();
    if (!doc) return RTERROR;
    for (const auto& id : doc->pickfirst()) {
      DxfObject o = id.dxf();
      if (!o.IsNull() && tav::host::MatchesFilter(o, filter) && !Contains(ids, id)) ids.push_back(id);
    }
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
    for (std::uint64_t h : answer.handles) {
      AcDbObjectId id(db, h);
      DxfObject o = id.dxf();
      if (o.IsNull() || !AcDbEntity::isKindOf(o) || !tav::host::MatchesFilter(o, filter)) continue;
      if (!Contains(ids, id)) ids.push_back(id);
      if (request.singleSelection) break;
    }
  } else {
    return RTERROR;
  }
  if (ids.empty()) return RTERROR;
  NewSet(std::move(ids), ss);
  return RTNORM;
}

int acedSSLength(const ads_name ss, std::int32_t* length) {
  const AcDbObjectIdArray* ids = Find(ss);
  if (!ids || !length) return RTERROR;
  *length = static_cast<std::int32_t>(ids->size());
  return RTNORM;
}

int acedSSName(const ads_name ss, std::int32_t index, ads_name entity) {
  const AcDbObjectIdArray* ids = Find(ss);
  if (!ids || !entity || index < 0 || static_cast<std::size_t>(index) >= ids->size()) return RTERROR;
  return acdbGetAdsName(entity, (*ids)[static_cast<std::size_t>(index)]) == Acad::eOk ? RTNORM : RTERROR;
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
  AcDbObjectIdArray* ids = Find(ss);
  if (!ids) return RTERROR;
  if (entity && !Contains(*ids, id)) ids->push_back(id);
  result[0] = ss[0];
  result[1] = ss[1];
  return RTNORM;
}

int acedSSDel(const ads_name entity, const ads_name ss) {
  AcDbObjectIdArray* ids = Find(ss);
  AcDbObjectId id;
  if (!ids || !entity || acdbGetObjectId(id, entity) != Acad::eOk) return RTERROR;
  auto it = std::find(ids->begin(), ids->end(), id);
  if (it == ids->end()) return RTERROR;
  ids->erase(it);
  return RTNORM;
}

int acedSSMemb(const ads_name entity, const ads_name ss) {
  const AcDbObjectIdArray* ids = Find(ss);
  AcDbObjectId id;
  if (!ids || !entity || acdbGetObjectId(id, entity) != Acad::eOk) return RTERROR;
  return Contains(*ids, id) ? RTNORM : RTERROR;
}

int acedSSFree(const ads_name ss) {
  if (!Find(ss)) return RTERROR;
  Sets().sets.erase(ss[0]);
  return RTNORM;
}

int acedSSGetFirst(ads_name ss) {
  AcApDocument* doc = acDocManagerPtr()->curDocument();
  if (!ss || !doc) return RTERROR;
  AcDbObjectIdArray ids;
  for (const auto& id : doc->pickfirst())
    if (!id.isErased() && !Contains(ids, id)) ids.push_back(id);
  if (ids.empty()) return RTERROR;
  NewSet(std::move(ids), ss);
  return RTNORM;
}

int acedSSSetFirst(const ads_name ss) {
  AcApDocument* doc = acDocManagerPtr()->curDocument();
  if (!doc) return RTERROR;
  if (!ss) {
    doc->setPickfirst({});
    return RTNORM;
  }
  const AcDbObjectIdArray* ids = Find(ss);
  if (!ids) return RTERROR;
  doc->setPickfirst(*ids);
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
