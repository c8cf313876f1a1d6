// Wall materials of a drawing: the material dictionary ("TAV_MATERIALS" under the named object
// dictionary) maps a material key ("VENO_SYS_MAT_BRICK" or a custom name) to an XRECORD holding one
// KvDbMaterial. Stored order is the iteration order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host/KvAcDb.h"

// The eight system material keys, in their customary order.
extern const char* const kKvSystemMaterialKeys[8];

class KvDbMaterial : public AcDbObject {
 public:
  KvDbMaterial();
  static bool isKindOf(const tav::cad::DxfObject& object);

  // Hatch pattern names of the standard and the detail drawing.
  std::string GetHatchStyle() const { return hatch_; }
  Acad::ErrorStatus SetHatchStyle(std::string_view name);
  std::string GetDetailHatchStyle() const { return detailHatch_; }
  Acad::ErrorStatus SetDetailHatchStyle(std::string_view name);
  // Whether the hatch is drawn as a line pattern (a block) instead of a hatch pattern.
  bool IsLinePatternHatch() const { return linePattern_; }
  Acad::ErrorStatus SetLinePatternHatch(bool on);
  bool IsDetailinePatternHatch() const { return detailLinePattern_; }
  Acad::ErrorStatus SetDetailinePatternHatch(bool on);
  // Colour indexes (0..256).
  std::uint16_t GetHatchColor() const { return color_; }
  Acad::ErrorStatus SetHatchColor(std::uint16_t color);
  std::uint16_t GetDetailHatchColor() const { return detailColor_; }
  Acad::ErrorStatus SetDetailHatchColor(std::uint16_t color);
  double GetLineWeight() const { return lineWeight_; }
  Acad::ErrorStatus SetLineWeight(double weight);
  double GetDetailLineWeight() const { return detailLineWeight_; }
  Acad::ErrorStatus SetDetailLineWeight(double weight);
  // Higher priorities win where materials meet.
  std::uint8_t GetPriority() const { return priority_; }
  Acad::ErrorStatus SetPriority(std::uint8_t priority);
  // The block table records drawn as line patterns; null ids when none.
  AcDbObjectId GetLinePatternStyle() const;
  Acad::ErrorStatus SetLinePatternStyleId(const AcDbObjectId& blockRecord);
  AcDbObjectId GetDetailLinePatternStyle() const;
  Acad::ErrorStatus SetDetailLinePatternStyleId(const AcDbObjectId& blockRecord);

 private:
  void subOpen() override;
  Acad::ErrorStatus subClose() override;
  Acad::ErrorStatus Changed();
  std::string hatch_ = "ANSI31", detailHatch_ = "ANSI31";
  bool linePattern_ = false, detailLinePattern_ = false;
  std::uint16_t color_ = 256, detailColor_ = 256;
  double lineWeight_ = 0.0, detailLineWeight_ = 0.0;
  std::uint8_t priority_ = 1;
  tav::cad::Handle pattern_ = 0, detailPattern_ = 0;
  std::vector<tav::cad::DxfTag> tags_;
  bool dirty_ = false;
};

// The material dictionary of the drawing (working database when null) opened in `mode`; null when the
// drawing has none and `mode` is read (opening for write creates it).
AcDbDictionary* GetAecMaterialDictionary(AcDb::OpenMode mode, AcDbDatabase* db = nullptr);
// Creates the material `name` with the defaults for its key (system keys have their own hatches,
// colours and priorities) and returns its id; an existing material's id when it exists. Null on
// failure (empty name, no database, the dictionary held open elsewhere).
AcDbObjectId KvDtInitMaterial(std::string_view name, AcDbDatabase* db = nullptr);
// The block table record of that name; null when absent.
AcDbObjectId GetBlockTableRecordId(std::string_view name, AcDbDatabase* db = nullptr);
