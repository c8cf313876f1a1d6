// The tag layer of the drawing database: group codes, their value kinds, handles, points, and the
// ASCII DXF tag scanner. A tag is a group code and its value text exactly as it stands in the file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tav::cad {

// A database handle (group codes 5, 105, 320-369, 390-399, 480, 1005). 0 is the null handle.
using Handle = std::uint64_t;

// Upper-case hex without leading zeros ("1F"); 0 gives "0".
std::string FormatHandle(Handle handle);
// Parses 1 to 16 hex digits (either case, surrounding blanks allowed); false and `handle` = 0 on
// empty text, other characters or more than 16 digits.
bool ParseHandle(std::string_view text, Handle& handle);

struct DxfPoint {
  double x = 0, y = 0, z = 0;
  bool operator==(const DxfPoint&) const = default;
};

// What the value text of a group code holds, per the DXF reference.
enum class DxfValueKind { String, Double, Int16, Int32, Int64, Bool, Handle, Binary, Comment };
// The kind of any code; codes the reference leaves unassigned are String.
DxfValueKind ValueKindOf(int code);
// True for the first code of a point (10-18, 110-112, 210, 1010-1013): x at code, y at code+10,
// z (optional) at code+20.
bool IsPointCode(int code);

// An owned tag: code and value text in UTF-8 (used to build and change objects).
struct DxfTag {
  int code = 0;
  std::string value;
  bool operator==(const DxfTag&) const = default;
};

// Value texts for new tags: doubles in the shortest text that reads back the same, always with a
// decimal point ("1.0", "0.25", "1e-09" is never produced: tiny values are written in fixed form).
std::string FormatDxfDouble(double value);
DxfTag MakeTag(int code, std::string_view text);
DxfTag MakeTag(int code, double value);
DxfTag MakeTag(int code, long long value);
DxfTag MakeHandleTag(int code, Handle handle);
// Appends the two or three tags of a point at `code` (z only when `withZ`).
void AppendPoint(std::vector<DxfTag>& tags, int code, const DxfPoint& point, bool withZ = true);

// Why a DXF file could not be read or written.
enum class DxfStatus {
  Ok,
  IoError,          // the file could not be read or written
  Empty,            // no tags at all
  Binary,           // binary DXF, which this reader does not take
  BadGroupCode,     // a group code line that is not an integer in -32768..32767
  Truncated,        // the file ends inside a tag (odd number of lines) or without EOF
  BadStructure,     // a section without ENDSEC, a tag outside any section, an unknown section layout
  BadHandle,        // a handle that is not hex, is 0, or is not below $HANDSEED
  BadEncoding,      // bytes that are not valid in the file's encoding (UTF-8 or the code page)
  BadValue,         // a value that its group code cannot hold (e.g. text in a 70)
};

// The result of a load or save, data rather than an exception (as pugixml's parse result).
struct DxfResult {
  DxfStatus status = DxfStatus::Ok;
  std::uint32_t line = 0;   // 1-based line of the fault (a tag's code line, or its value line for a bad value); 0 when none
  std::string description;  // English text naming what was wrong
  explicit operator bool() const { return status == DxfStatus::Ok; }
  // "line 12: group code 'x1' is not a number" or the description alone when there is no line.
  std::string Message() const;
};

// One tag as scanned: code, the value's bytes in the file's encoding, and positions in the buffer.
struct DxfRawTag {
  std::uint32_t pos = 0;      // offset of the group code line
  std::uint32_t length = 0;   // length of the value without its line end
  std::int16_t code = 0;
  std::uint16_t skip = 0;     // bytes from the code line's start to the value line
  std::uint32_t value() const { return pos + skip; }  // offset of the value line
};

// Asks the kernel to back a large buffer (at least 4 MB; not yet touched) with huge pages, which
// saves most page faults when a big drawing is read. Smaller buffers are left alone.
void AdviseHugePages(const void* data, std::size_t size);

// Scans an ASCII DXF buffer (LF or CR LF) into tags; `bytes` must outlive `tags`. A group code line
// longer than 65534 bytes is refused as BadGroupCode. Blank lines after
// the last tag are allowed. Returns a failed result with the line on a bad group code or an odd
// line count; `tags` then holds what was scanned before the fault. Tag i starts at line 2*i+1.
// An empty buffer gives DxfStatus::Empty; a binary DXF sentinel gives DxfStatus::Binary.
DxfResult ScanDxfTags(std::string_view bytes, std::vector<DxfRawTag>& tags);

}  // namespace tav::cad
