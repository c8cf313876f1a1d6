// Typed views over DxfObject: each reads its fields from the object's tags and a change replaces
// only the tags the view owns; tags it does not know stay where they are. A view over a null object
// or an object of another type is invalid: getters return their defaults and setters return false.
// Angles are in degrees where DXF stores degrees (TEXT, INSERT, ARC) and in radians where it stores
// radians (the rotation of a linetype element).
#pragma once

#include <string>
#include <vector>

#include "platform/cad/DxfDocument.h"

namespace tav::cad {

// Common entity properties (group codes 8, 6, 62, 370 of AcDbEntity).
class DxfEntity {
 public:
  DxfEntity() = default;
  explicit DxfEntity(DxfObject object) : obj_(object) {}
  bool IsValid() const { return !obj_.IsNull(); }
  DxfObject Object() const { return obj_; }
  Handle GetHandle() const { return obj_.GetHandle(); }

  std::string Layer() const;             // "0" when absent
  bool SetLayer(std::string_view layer);
  std::string Linetype() const;          // "BYLAYER" when absent
  bool SetLinetype(std::string_view linetype);
  int Color() const;                     // 256 (by layer) when absent
  bool SetColor(int color);

 protected:
  DxfEntity(DxfObject object, std::string_view type);
  DxfObject obj_;
};

class DxfLine : public DxfEntity {
 public:
  explicit DxfLine(DxfObject object) : DxfEntity(object, "LINE") {}
  DxfPoint Start() const;
  DxfPoint End() const;
  bool SetStart(const DxfPoint& p);
  bool SetEnd(const DxfPoint& p);
};

// LWPOLYLINE: 2-D vertices with optional widths and bulges, constant width 43, closed flag bit 1 of 70.
struct DxfLwVertex {
  double x = 0, y = 0;
  double startWidth = 0, endWidth = 0, bulge = 0;
  bool operator==(const DxfLwVertex&) const = default;
};
class DxfLwPolyline : public DxfEntity {
 public:
  explicit DxfLwPolyline(DxfObject object) : DxfEntity(object, "LWPOLYLINE") {}
  std::vector<DxfLwVertex> Vertices() const;
  // Replaces the vertex tags (10/20/40/41/42/91) and the count 90; other tags stay.
  bool SetVertices(const std::vector<DxfLwVertex>& vertices);
  double ConstantWidth() const;  // 0 when absent
  bool SetConstantWidth(double width);
  bool IsClosed() const;
  bool SetClosed(bool closed);
};

class DxfCircle : public DxfEntity {
 public:
  explicit DxfCircle(DxfObject object) : DxfEntity(object, "CIRCLE") {}
  DxfPoint Center() const;
  double Radius() const;
  bool SetCenter(const DxfPoint& p);
  bool SetRadius(double r);

 protected:
  DxfCircle(DxfObject object, std::string_view type) : DxfEntity(object, type) {}
};

class DxfArc : public DxfCircle {
 public:
  explicit DxfArc(DxfObject object) : DxfCircle(object, "ARC") {}
  double StartAngle() const;  // degrees
  double EndAngle() const;    // degrees
  bool SetStartAngle(double degrees);
  bool SetEndAngle(double degrees);
};

// TEXT: 72 horizontal (0 left, 1 centre, 2 right, 3 aligned, 4 middle, 5 fit), 73 vertical (0 base
// line, 1 bottom, 2 middle, 3 top). With any non-default justification the alignment point 11 is the
// position that counts.
class DxfText : public DxfEntity {
 public:
  explicit DxfText(DxfObject object) : DxfEntity(object, "TEXT") {}
  std::string Text() const;
  bool SetText(std::string_view utf8);
  DxfPoint Insertion() const;
  bool SetInsertion(const DxfPoint& p);
  DxfPoint Alignment() const;  // the insertion point when 11 is absent
  bool SetAlignment(const DxfPoint& p);
  double Height() const;
  bool SetHeight(double h);
  double WidthFactor() const;  // 1 when absent
  bool SetWidthFactor(double f);
  double Rotation() const;     // degrees, 0 when absent
  bool SetRotation(double degrees);
  std::string Style() const;   // "STANDARD" when absent
  bool SetStyle(std::string_view style);
  int HorizontalMode() const;  // 72, 0 when absent
  int VerticalMode() const;    // 73, 0 when absent
  bool SetJustification(int horizontal, int vertical);
};

class DxfInsert : public DxfEntity {
 public:
  explicit DxfInsert(DxfObject object) : DxfEntity(object, "INSERT") {}
  std::string BlockName() const;
  bool SetBlockName(std::string_view name);
  DxfPoint Insertion() const;
  bool SetInsertion(const DxfPoint& p);
  DxfPoint Scale() const;  // 1,1,1 when absent
  bool SetScale(const DxfPoint& s);
  double Rotation() const;  // degrees
  bool SetRotation(double degrees);
};

// The custom entity TAV_EQUIPMENT (declared in CLASSES as TavDbEquipment): a piece of equipment with
// a display name (code 1) and an insertion point (10), on top of the common entity properties.
class DxfEquipment : public DxfEntity {
 public:
  explicit DxfEquipment(DxfObject object) : DxfEntity(object, "TAV_EQUIPMENT") {}
  std::string DisplayName() const;
  bool SetDisplayName(std::string_view utf8);
  DxfPoint Insertion() const;
  bool SetInsertion(const DxfPoint& p);
};
// Declares the TAV_EQUIPMENT class if needed and appends an equipment entity to `blockRecord`
// (null: model space). Null when the drawing has no CLASSES section (R12).
DxfObject AddEquipment(DxfDocument& doc, std::string_view displayName, const DxfPoint& insertion,
                       DxfObject blockRecord = {});

// Table records share their name (code 2) and flags (70).
class DxfTableRecord {
 public:
  DxfTableRecord() = default;
  bool IsValid() const { return !obj_.IsNull(); }
  DxfObject Object() const { return obj_; }
  Handle GetHandle() const { return obj_.GetHandle(); }
  std::string Name() const;
  bool SetName(std::string_view utf8);
  int Flags() const;
  bool SetFlags(int flags);

 protected:
  DxfTableRecord(DxfObject object, std::string_view type);
  DxfObject obj_;
};

// One element of a linetype pattern: a dash (length > 0), gap (< 0) or dot (0), optionally with
// a text (type bit 2) or shape (bit 4) drawn at it.
struct DxfDashElement {
  double length = 0;     // 49
  int type = 0;          // 74: 0 none, 2 text, 4 shape; bit 1 absolute rotation
  int shapeNumber = 0;   // 75 (0 for text)
  Handle style = 0;      // 340 the STYLE record of the text or shape file
  double scale = 1;      // 46
  double rotation = 0;   // 50, radians
  double offsetX = 0;    // 44
  double offsetY = 0;    // 45
  std::string text;      // 9, UTF-8
  bool operator==(const DxfDashElement&) const = default;
};
class DxfLinetype : public DxfTableRecord {
 public:
  explicit DxfLinetype(DxfObject object) : DxfTableRecord(object, "LTYPE") {}
  std::string Description() const;  // 3
  bool SetDescription(std::string_view utf8);
  double PatternLength() const;     // 40
  std::vector<DxfDashElement> Elements() const;
  // Rewrites 73 (count), 40 (total length of the elements' absolute lengths) and the element tags.
  bool SetElements(const std::vector<DxfDashElement>& elements);
};

class DxfTextStyle : public DxfTableRecord {
 public:
  explicit DxfTextStyle(DxfObject object) : DxfTableRecord(object, "STYLE") {}
  std::string Font() const;      // 3
  bool SetFont(std::string_view font);
  std::string BigFont() const;   // 4
  bool SetBigFont(std::string_view font);
  double Height() const;         // 40 fixed height, 0 = not fixed
  bool SetHeight(double h);
  double WidthFactor() const;    // 41, 1 when absent
  bool SetWidthFactor(double f);
  double Oblique() const;        // 50 degrees
  bool SetOblique(double degrees);
};

class DxfLayer : public DxfTableRecord {
 public:
  explicit DxfLayer(DxfObject object) : DxfTableRecord(object, "LAYER") {}
  int Color() const;             // absolute colour index (a negative 62 means the layer is off)
  bool SetColor(int color);      // keeps the on/off state
  bool IsOff() const;
  bool SetOff(bool off);
  std::string Linetype() const;  // "CONTINUOUS" when absent
  bool SetLinetype(std::string_view name);
  bool IsFrozen() const;         // bit 1 of 70
  bool IsLocked() const;         // bit 4 of 70
};

class DxfAppId : public DxfTableRecord {
 public:
  explicit DxfAppId(DxfObject object) : DxfTableRecord(object, "APPID") {}
};

class DxfBlockRecord : public DxfTableRecord {
 public:
  explicit DxfBlockRecord(DxfObject object) : DxfTableRecord(object, "BLOCK_RECORD") {}
  Handle Layout() const;  // 340, 0 when absent
};

// DICTIONARY: entries 3 (key) followed by 350 (soft owner) or 360 (hard owner), in stored order.
class DxfDictionary {
 public:
  explicit DxfDictionary(DxfObject object);
  bool IsValid() const { return !obj_.IsNull(); }
  DxfObject Object() const { return obj_; }
  std::vector<std::pair<std::string, Handle>> Entries() const;
  Handle Get(std::string_view key) const;  // 0 when absent (exact key)
  // Sets or adds an entry (350 unless the dictionary is hard-owning, 280 = 1); false when invalid.
  bool Set(std::string_view key, Handle handle);
  bool Remove(std::string_view key);       // false when absent
  bool RemoveHandle(Handle handle);        // removes every entry of the handle; false when none

 private:
  DxfObject obj_;
};

// XRECORD: arbitrary tags after the 100 AcDbXrecord marker and the 280 cloning flag.
class DxfXRecord {
 public:
  explicit DxfXRecord(DxfObject object);
  bool IsValid() const { return !obj_.IsNull(); }
  DxfObject Object() const { return obj_; }
  std::vector<DxfTag> Data() const;  // UTF-8 values
  // Replaces the data tags; false when invalid or when a value cannot be encoded.
  bool SetData(const std::vector<DxfTag>& data);

 private:
  DxfObject obj_;
  int DataStart() const;
};

}  // namespace tav::cad
