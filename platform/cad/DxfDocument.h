// The drawing database: a DXF file held losslessly. Every header variable, class, table record,
// block, entity and object keeps the tags it was read with; changed objects own new tags, all
// others are written back byte for byte. Objects are reached by handle through DxfObject, a small
// reference (document + slot) that stays valid while the document lives; erased objects answer
// IsErased() and are not written.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/cad/DxfTags.h"

namespace tav::cad {

class DxfDocument;

// DXF versions by their $ACADVER text.
enum class DxfVersion { R12, R13, R14, R2000, R2004, R2007, R2010, R2013, R2018, Unknown };
// "AC1009" -> R12 ... "AC1032" -> R2018; anything else Unknown.
DxfVersion VersionFromAcadVer(std::string_view acadver);
// R12 -> "AC1009" ... R2018 -> "AC1032"; Unknown gives "".
std::string AcadVerOf(DxfVersion version);
// "R12", "R2000", ...; Unknown gives "unknown".
std::string VersionName(DxfVersion version);

// One item of extended entity data, shaped like a resbuf: the code says which field holds the value.
//  1000 string, 1001 (only as chain head), 1002 "{" or "}", 1003 layer name, 1004 binary as hex text,
//  1005 handle as hex text -> `text`;  1010-1013 points (1011 world position, 1012 displacement,
//  1013 direction) -> `point`;  1040-1042 reals -> `real`;  1070 16-bit, 1071 32-bit -> `integer`.
struct DxfXItem {
  int code = 1000;
  std::string text;
  DxfPoint point;
  double real = 0;
  long long integer = 0;
  bool operator==(const DxfXItem&) const = default;

  static DxfXItem String(std::string_view s) { DxfXItem i; i.code = 1000; i.text = s; return i; }
  static DxfXItem Control(bool open) { DxfXItem i; i.code = 1002; i.text = open ? "{" : "}"; return i; }
  static DxfXItem HandleRef(Handle h) { DxfXItem i; i.code = 1005; i.text = FormatHandle(h); return i; }
  static DxfXItem Point(int code, const DxfPoint& p) { DxfXItem i; i.code = code; i.point = p; return i; }
  static DxfXItem Real(double v, int code = 1040) { DxfXItem i; i.code = code; i.real = v; return i; }
  static DxfXItem Int16(int v) { DxfXItem i; i.code = 1070; i.integer = v; return i; }
  static DxfXItem Int32(long v) { DxfXItem i; i.code = 1071; i.integer = v; return i; }
};

// The xdata of one registered application, items in stored order (the 1001 head is `app`).
struct DxfXData {
  std::string app;
  std::vector<DxfXItem> items;
  bool operator==(const DxfXData&) const = default;
};

// A tag of an object as stored: raw value bytes in the file's encoding; line 0 for new tags.
struct DxfTagRef {
  int code = 0;
  std::string_view raw;
  std::uint32_t line = 0;
};

// A reference to one record of the document (entity, table record, object, block/section marker).
// Default-constructed or not found: IsNull() and every getter returns its default, every setter false.
class DxfObject {
 public:
  DxfObject() = default;
  DxfObject(DxfDocument* doc, std::uint32_t slot) : doc_(doc), slot_(slot) {}

  bool IsNull() const { return doc_ == nullptr; }
  explicit operator bool() const { return doc_ != nullptr; }
  DxfDocument* Document() const { return doc_; }
  std::uint32_t Slot() const { return slot_; }
  bool operator==(const DxfObject& o) const { return doc_ == o.doc_ && slot_ == o.slot_; }

  // The record type ("LINE", "LAYER", "XRECORD", "SECTION"); "" when null.
  std::string_view Type() const;
  // Handle (code 5, or 105 for DIMSTYLE); 0 when the record has none (R12 without handles, markers).
  Handle GetHandle() const;
  // Owner (the first 330 outside 102 groups); 0 when none.
  Handle Owner() const;
  // Sets the owner 330 (added after the handle if missing); false when null or the record has no handle.
  bool SetOwner(Handle owner);
  bool IsErased() const;
  // True once any tag of the record was changed (the record is then written tag by tag).
  bool IsModified() const;
  // 1-based line of the record's first tag in the file it was read from; 0 for new records.
  std::uint32_t Line() const;

  // Raw access to every tag, xdata included. Out of range: a tag with code -9999 and empty value.
  std::size_t TagCount() const;
  DxfTagRef TagAt(std::size_t index) const;
  // The value of tag `index` as UTF-8 (code page decoded, \U+XXXX escapes resolved); "" out of range.
  std::string TextAt(std::size_t index) const;
  // All tags as UTF-8 owned tags (xdata included).
  std::vector<DxfTag> Tags() const;

  // Index of the first tag with `code` in [from, to) of the data part (before the first 1001,
  // skipping 102 {...} groups); -1 when absent.
  int Find(int code, std::size_t from = 0, std::size_t to = SIZE_MAX) const;
  // Index where the data part ends (the first 1001, or TagCount()).
  std::size_t DataEnd() const;
  // Index of the 100 subclass marker named `subclass`; -1 when absent.
  int FindSubclass(std::string_view subclass) const;

  // First value of `code` in the data part; `def` when absent or (numbers) unreadable.
  std::string GetString(int code, std::string_view def = "") const;
  double GetDouble(int code, double def = 0) const;
  long long GetInt(int code, long long def = 0) const;
  Handle GetHandleRef(int code) const;  // 0 when absent or not hex
  DxfPoint GetPoint(int code, const DxfPoint& def = {}) const;  // z = 0 when only x and y are stored

  // Replace the first value of `code` in the data part; when absent, insert it at the end of the
  // subclass `subclass` (before the next 100 marker or the xdata) or, with no subclass given or
  // found, at the end of the data part. False when null, when `utf8` is not valid UTF-8 or cannot be
  // written in the file's encoding (then nothing changes).
  bool SetString(int code, std::string_view utf8, std::string_view subclass = "");
  bool SetDouble(int code, double value, std::string_view subclass = "");
  bool SetInt(int code, long long value, std::string_view subclass = "");
  bool SetHandleRef(int code, Handle handle, std::string_view subclass = "");
  // Sets x, y and (when `withZ` or z is already stored) z.
  bool SetPoint(int code, const DxfPoint& point, std::string_view subclass = "", bool withZ = true);
  // Removes every tag of `code` in the data part; returns the number removed.
  int Remove(int code);
  // Replaces tags [first, last) with `tags` (UTF-8 values); false when the range is invalid or a value
  // cannot be encoded. The workhorse of the typed views for repeated groups.
  bool ReplaceTags(std::size_t first, std::size_t last, const std::vector<DxfTag>& tags);

  // Extended data. Applications in stored order; empty when none.
  std::vector<std::string> XDataApps() const;
  // The chain of `app` (name compared case-insensitively); false and `out` cleared when absent.
  bool GetXData(std::string_view app, DxfXData& out) const;
  std::vector<DxfXData> AllXData() const;
  // Replaces the chain of `xdata.app` in place, or appends it after the other chains. An empty item
  // list removes the application's chain (as setting a lone 1001 does). False when null, when the
  // application is not in the APPID table (register it with DxfDocument::RegisterApp first), or when
  // an item has a code outside 1000-1071.
  bool SetXData(const DxfXData& xdata);
  // Removes the chain of `app`; false when there was none.
  bool RemoveXData(std::string_view app);

 private:
  DxfDocument* doc_ = nullptr;
  std::uint32_t slot_ = 0;
};

// Handle translation built by DxfDocument::CopyEntities: source handle -> new handle.
using DxfHandleMap = std::map<Handle, Handle>;

struct DxfLoadOptions {
  // Reject handles that are not below $HANDSEED (DxfStatus::BadHandle). `tavtool dxf check` turns
  // this off so that it can report them instead.
  bool checkHandleSeed = true;
};

// A finding of DxfDocument::Check.
struct DxfIssue {
  std::uint32_t line = 0;     // line of the record (0 for records created in memory)
  Handle handle = 0;
  std::string description;
};

class DxfDocument {
 public:
  DxfDocument();
  ~DxfDocument();
  DxfDocument(const DxfDocument&) = delete;
  DxfDocument& operator=(const DxfDocument&) = delete;
  DxfDocument(DxfDocument&&) noexcept;
  DxfDocument& operator=(DxfDocument&&) noexcept;

  // A new R2010 drawing with every table and object a CAD program needs (layer "0", linetypes
  // ByBlock/ByLayer/Continuous, styles Standard, APPID ACAD, *Model_Space and *Paper_Space with
  // their blocks and layouts, the root dictionary with ACAD_GROUP, ACAD_LAYOUT and friends).
  static DxfDocument CreateNew();

  // Reads a DXF file. On failure the document is empty and the result names the line and the fault.
  DxfResult Load(const std::string& path, const DxfLoadOptions& options = {});
  // Reads DXF bytes (the document keeps them). Same results as Load.
  DxfResult LoadFromBytes(std::string bytes, const DxfLoadOptions& options = {});
  // Writes the document atomically in the version it was read in; the old file stays whole on failure.
  DxfResult Save(const std::string& path) const;
  // The bytes Save would write.
  std::string SaveToString() const;
  // True when nothing was changed since the load (Save then writes the bytes that were read).
  bool IsModified() const;

  DxfVersion Version() const;
  std::string AcadVer() const;     // "$ACADVER" text, "" when missing
  std::string CodePage() const;    // "$DWGCODEPAGE" text ("ANSI_936"), "" when missing
  bool UsesUtf8() const;           // R2007 and later
  bool HasHandles() const;         // false for R12 files without $HANDLING

  // Header variables ("$INSUNITS"). The tags after `9 name`, values in UTF-8; empty when absent.
  std::vector<DxfTag> HeaderVar(std::string_view name) const;
  std::string HeaderString(std::string_view name, std::string_view def = "") const;
  double HeaderDouble(std::string_view name, double def = 0) const;
  long long HeaderInt(std::string_view name, long long def = 0) const;
  // Replaces the variable's values, or appends the variable at the end of HEADER. False when there is
  // no HEADER section or a value cannot be encoded.
  bool SetHeaderVar(std::string_view name, const std::vector<DxfTag>& values);
  // Names of all header variables in file order.
  std::vector<std::string> HeaderVarNames() const;

  // The next free handle (from $HANDSEED, advanced; $HANDSEED is updated on save). 0 when the drawing
  // has no handles.
  Handle NewHandle();
  Handle HandleSeed() const;

  // The object of `handle`; null when there is none or it is erased.
  DxfObject Get(Handle handle);
  // Every record in write order (sections, markers, entities, objects), erased ones skipped.
  std::vector<DxfObject> AllObjects();

  // CLASSES: the CLASS records; FindClass by its DXF record name (code 1), null when absent.
  std::vector<DxfObject> Classes();
  DxfObject FindClass(std::string_view dxfName);
  // Declares a custom class (code 1 record name, 2 C++ name, 3 application, 90 proxy flags,
  // 280 was-a-proxy, 281 is-entity); returns the existing one when declared. Null without CLASSES
  // (R12).
  DxfObject AddClass(std::string_view dxfName, std::string_view cppName, std::string_view appName,
                     bool isEntity);

  // Symbol tables by name ("LAYER", "LTYPE", "STYLE", "APPID", "BLOCK_RECORD", "VPORT", "VIEW",
  // "UCS", "DIMSTYLE"). Records in table order; empty when the table is missing.
  std::vector<DxfObject> TableRecords(std::string_view table);
  // The TABLE head record; null when missing.
  DxfObject Table(std::string_view table);
  // A record by name (code 2, compared case-insensitively); null when absent.
  DxfObject FindRecord(std::string_view table, std::string_view name);
  // Adds a record with the defaults of its table (layer: colour 7, Continuous; style: txt; ...) at the
  // end of the table, owner and table count kept right. Returns the existing record when the name is
  // taken; null when the table is missing or the name is empty or not encodable.
  DxfObject AddRecord(std::string_view table, std::string_view name);
  // Registers an application (APPID record); returns the existing record when already there.
  DxfObject RegisterApp(std::string_view app);

  // The *Model_Space and *Paper_Space block records (R12: null).
  DxfObject ModelSpace();
  DxfObject PaperSpace();
  // The BLOCK_RECORD of a block by name; null when absent.
  DxfObject BlockRecord(std::string_view name);
  // The entities owned by a block record, in drawing order (sub-entities such as VERTEX, ATTRIB and
  // SEQEND excluded). Model and paper space entities live in ENTITIES, others inside their block.
  std::vector<DxfObject> EntitiesOf(DxfObject blockRecord);
  // R12 or any version: every entity of the ENTITIES section, sub-entities excluded.
  std::vector<DxfObject> Entities();
  // Creates a block (BLOCK_RECORD, BLOCK, ENDBLK); returns the existing record when the name is taken.
  DxfObject AddBlock(std::string_view name, const DxfPoint& base = {});

  // Appends a new entity of `type` ("LINE", "TEXT", "TAV_EQUIPMENT", ...) to the block of
  // `blockRecord` (null: model space), with a new handle, the owner, layer "0" and the fields a CAD
  // program requires for the known types (zero points, height 1 and style Standard for TEXT, ...).
  // Null when the block record is not in this document or `type` is empty.
  DxfObject AddEntity(std::string_view type, DxfObject blockRecord = {});

  // The named object dictionary (first object of OBJECTS); null when missing (R12).
  DxfObject RootDictionary();
  // Adds a DICTIONARY or XRECORD (or other object type) owned by `dictionary` under `key`; returns the
  // existing entry's object when the key is taken. Null when `dictionary` is not a DICTIONARY.
  DxfObject AddObject(DxfObject dictionary, std::string_view key, std::string_view type);

  // Erases a record: entities with their sub-entities, table records (table count kept), objects
  // (removed from their owner dictionary, with the objects they own). False when null, already
  // erased, or a record that must stay (a table head, model space, the root dictionary, layer "0").
  bool Erase(DxfObject object);

  // Copies entities of another drawing (or this one) into the block of `blockRecord` (null: model
  // space) with new handles. Referenced layers, linetypes, text styles, blocks and registered
  // applications missing here are copied too. Handles inside the copies (1005 xdata, 330/340/...
  // references among the copied entities) are remapped through the returned map; references to
  // handles not copied keep their value. Unknown source handles are skipped.
  DxfHandleMap CopyEntities(DxfDocument& source, const std::vector<Handle>& handles, DxfObject blockRecord = {});

  // Consistency check for `tavtool dxf check`: duplicate handles, dangling references (330, 340,
  // 350, 360, 1005), owners that do not list or contain the object, xdata of applications missing
  // from APPID. Empty when the drawing is sound.
  std::vector<DxfIssue> Check();

  // Internal state, shared with DxfObject and the views.
  struct Impl;
  Impl& impl() { return *impl_; }
  const Impl& impl() const { return *impl_; }

 private:
  std::unique_ptr<Impl> impl_;
};

// Counts for `tavtool dxf info`: entity and object types with their numbers.
std::map<std::string, std::size_t> CountEntityTypes(DxfDocument& doc);
std::map<std::string, std::size_t> CountObjectTypes(DxfDocument& doc);

}  // namespace tav::cad
