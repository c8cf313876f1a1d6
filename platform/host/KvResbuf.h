// Result buffers: the linked lists of typed values that the host's calls exchange (extended entity
// data, selection filters, symbol table records of acdbTblNext).
//
// A resbuf holds one value; `restype` says which member of `resval` is meant:
//   strings   RTSTR, group codes 0-9, 100-109, 300-309, 410-419, 1000-1009   -> rstring (owned, UTF-8)
//   points    RTPOINT, RT3DPOINT, 10-39, 110-119, 210, 1010-1013              -> rpoint
//   reals     RTREAL, RTANG, 40-59, 140-149, 1040-1042                         -> rreal
//   shorts    RTSHORT, 60-79, 170-179, 270-289, 1070, -4 excluded              -> rint
//   longs     RTLONG, 90-99, 1071                                              -> rlong
//   handles   320-369, 390-399, 1005 keep their hex text                       -> rstring
//   -4 (filter operator) and -3 (xdata marker) are strings (-3 without value).
// Lists are released with acutRelRb, which frees every item and its string.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/cad/DxfDocument.h"
#include "platform/host/KvCommandLine.h"

// An entity or selection set name of the C interface: two integers (see KvSelection.h).
typedef std::int64_t ads_name[2];
typedef double ads_point[3];

struct resbuf {
  resbuf* rbnext = nullptr;
  int restype = RTNONE;
  union {
    double rreal;
    double rpoint[3];
    short rint;
    std::int32_t rlong;
    char* rstring;
    std::int64_t rlname[2];
  } resval{};
};

// What kind of value a restype carries.
enum class KvResKind { kNone, kString, kPoint, kReal, kShort, kLong, kName };
KvResKind KvResKindOf(int restype);

// A new item of `restype` with a zero value (an empty string for string types). Never null.
resbuf* acutNewRb(int restype);
// Frees a whole list (null is fine). Returns RTNORM.
int acutRelRb(resbuf* rb);
// Builds a list from pairs of type code and value ended by RTNONE (or 0):
//   acutBuildList(RTDXF0, "LINE,TEXT", 1001, "QLV_SBBHANDLE", RTNONE)
// string types take const char*, points const double*, reals double, shorts int, longs long, RTENAME an
// ads_name. Null on an unknown type code (nothing leaks). RTDXF0 stands for the group code 0.
resbuf* acutBuildList(int rtype, ...);
// Sets the string of a string item (copies `text`); false for a non-string item.
bool KvRbSetString(resbuf* rb, std::string_view text);
// The string of an item; "" for null or a non-string item.
std::string KvRbString(const resbuf* rb);
// Number of items in a list.
int KvRbLength(const resbuf* rb);
// A deep copy of a list.
resbuf* KvRbCopy(const resbuf* rb);
// Frees on destruction: KvResbufPtr chain(acutBuildList(...)).
struct KvRbDeleter {
  void operator()(resbuf* rb) const { acutRelRb(rb); }
};
using KvResbufPtr = std::unique_ptr<resbuf, KvRbDeleter>;

// The type code standing for DXF group code 0 in lists built with acutBuildList (0 ends the list).
inline constexpr int RTDXF0 = 5020;

// Extended data <-> resbuf lists. A list holds one or more applications, each starting with a 1001
// item naming it, followed by its items (1000-1071).
resbuf* KvXDataToRb(const std::vector<tav::cad::DxfXData>& chains);
// False and `error` set on an item outside 1000-1071, a list not starting with 1001, or a string
// that is not valid UTF-8. An application with no items after its 1001 stands for "remove".
bool KvRbToXData(const resbuf* rb, std::vector<tav::cad::DxfXData>& chains, std::string* error = nullptr);
