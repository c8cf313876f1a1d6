// Selection sets and picks of the host.
//
// A selection set is named by an ads_name ([0] its number, [1] a tag marking it as a set) and holds
// entity ids in selection order without repeats. Sets live until acedSSFree; KvSelectionSetCount tells
// how many are alive, so that callers can be checked for leaks.
//
// Filters are resbuf lists (KvResbuf.h); an entity passes when it passes every item:
//   0 (RTDXF0)   entity type, wildcard-matched ("TEXT,LINE,LWPOLYLINE,INSERT")
//   8 layer, 6 linetype, 7 text style, 2 block name, other string codes: wildcard-matched
//   62 colour and other numeric codes: equal
//   1001         the entity carries xdata of an application matching the wildcard pattern; may stand
//                alone or after a -3 item, as the CAD program writes it
// Codes of other kinds (points, -4 operators) are not supported: acedSSGet answers RTERROR.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host/KvAcDb.h"
#include "platform/host/KvResbuf.h"

// Builds a selection set in `ss`:
//   "X"           every entity of the working database (model and paper space)
//   "I"           the current document's pickfirst set (the implied selection)
//   null or ""    interactive selection through the user services with the host's prompts
//   ":$"          interactive with prompts: `pt1` points to two const char* (add prompt, remove prompt)
//   ":S"          interactive, a single pick
// A leading "_" is ignored. The filter applies in every mode (interactive selection passes the type
// names of its 0 item to the user services and filters the answer again). RTNORM with a new set,
// RTCAN when the user cancelled, RTERROR when nothing was selected, the mode is unknown, the filter is
// unsupported or there is no working database; no set is created unless RTNORM.
int acedSSGet(const char* mode, const void* pt1, const void* pt2, const resbuf* filter, ads_name ss);
// The number of entities in `ss` (RTERROR for a set that does not exist).
int acedSSLength(const ads_name ss, std::int32_t* length);
// The entity name of member `index` (0-based); RTERROR out of range or for a bad set.
int acedSSName(const ads_name ss, std::int32_t index, ads_name entity);
// Adds `entity` to `ss` and gives the set in `result`. With `ss` null a new set is made (holding the
// entity, or empty when `entity` is null too); a member already in the set stays where it is.
int acedSSAdd(const ads_name entity, const ads_name ss, ads_name result);
// Removes `entity` from `ss`; RTERROR when it is not a member.
int acedSSDel(const ads_name entity, const ads_name ss);
// RTNORM when `entity` is a member of `ss`.
int acedSSMemb(const ads_name entity, const ads_name ss);
// Frees the set; RTERROR when it does not exist (already freed).
int acedSSFree(const ads_name ss);
// The pickfirst set of the current document as a new set in `ss` (RTERROR when empty).
int acedSSGetFirst(ads_name ss);
// Sets the current document's pickfirst set from `ss` (null clears it).
int acedSSSetFirst(const ads_name ss);

// Picks one entity through the user services' pick request with `prompt` (the host's default when
// null). RTNORM with the entity and the picked point; RTERROR when the pick hit nothing; RTCAN when
// cancelled; RTKWORD when a keyword was given.
int acedEntSel(const char* prompt, ads_name entity, ads_point point);

// ---- C++ forms -------------------------------------------------------------------------------------

namespace tav::host {

// The ids of a set; empty for a set that does not exist.
AcDbObjectIdArray SelectionIds(const ads_name ss);
// A new set holding `ids` (ids of the working database or any other).
void MakeSelectionSet(const AcDbObjectIdArray& ids, ads_name ss);
// How many sets are alive.
int SelectionSetCount();
// True when `object` passes `filter` (a null filter passes everything). False with `error` for an
// unsupported filter item.
bool MatchesFilter(const tav::cad::DxfObject& object, const resbuf* filter, std::string* error = nullptr);
// Every entity of `db` passing the filter, in drawing order.
AcDbObjectIdArray SelectAll(AcDbDatabase* db, const resbuf* filter);

// A selection set freed on destruction.
class KvSelectionSet {
 public:
  KvSelectionSet() { name_[0] = name_[1] = 0; }
  ~KvSelectionSet() { reset(); }
  KvSelectionSet(const KvSelectionSet&) = delete;
  KvSelectionSet& operator=(const KvSelectionSet&) = delete;
  std::int64_t* name() { return name_; }
  const std::int64_t* name() const { return name_; }
  bool isValid() const;
  void reset();

 private:
  ads_name name_;
};

}  // namespace tav::host
