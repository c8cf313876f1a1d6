// Drawing settings: the settings object of a drawing (KvDbSetting) and the per-drawing values of the
// add-on (symbol sizes, pipe drawing options, riser annotation, ...), all stored in the drawing.
//
// Storage (docs/drawing-settings.md): the named object dictionary holds a dictionary "TAV_SETTINGS"
// with the XRECORD "KVDB_SETTING" (the settings object) and the XRECORD "KVDB_DRAWING_VALUES" (the
// per-drawing values as key/value pairs). Both survive save and reopen; tags this code does not know
// are kept.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/host/KvAcDb.h"

// The detail scale a drawing without settings object shows.
extern double g_dInitDetailScale;

// The settings object of a drawing. Opened through GetAecSetting (close it), or constructed
// free-standing with the platform's defaults (delete it).
class KvDbSetting : public AcDbObject {
 public:
  // Display modes.
  enum DisplayMode { kAuto = 0, k2D = 1, k3D = 2 };

  // Defaults of a free-standing object.
  static constexpr double kDefaultPlotScale = 100.0;
  static constexpr double kDefaultFloorHeight = 3000.0;
  static constexpr int kDefaultDisplayMode = k2D;
  static constexpr double kDefaultText2BaseFactor = 0.5;

  KvDbSetting();
  static bool isKindOf(const tav::cad::DxfObject& object);

  double GetPlotScale() const { return plotScale_; }
  // Setters answer eNotOpenForWrite on an object opened for read.
  Acad::ErrorStatus SetPlotScale(double scale);
  double GetFloorHeight() const { return floorHeight_; }
  Acad::ErrorStatus SetFloorHeight(double height);
  // Any stored integer is given back as stored (the dialog maps unknown values).
  int GetDisplayMode() const { return displayMode_; }
  Acad::ErrorStatus SetDisplayMode(int mode);
  double GetText2BaseFactor() const { return text2Base_; }
  Acad::ErrorStatus SetText2BaseFactor(double factor);
  double GetDetailScale() const { return detailScale_; }
  Acad::ErrorStatus SetDetailScale(double scale);

 private:
  void subOpen() override;
  Acad::ErrorStatus subClose() override;
  double plotScale_ = kDefaultPlotScale;
  double floorHeight_ = kDefaultFloorHeight;
  int displayMode_ = kDefaultDisplayMode;
  double text2Base_ = kDefaultText2BaseFactor;
  double detailScale_;
  std::vector<tav::cad::DxfTag> tags_;  // the record's data as read, unknown tags included
  bool dirty_ = false;
};

// The drawing's settings object opened for read (0) or write (1); null when the drawing (the working
// database when `db` is null) has none or it cannot be opened.
KvDbSetting* GetAecSetting(int openMode, AcDbDatabase* db = nullptr);
// Creates the drawing's settings object with the defaults when it has none. eOk also when it exists.
Acad::ErrorStatus KvDbCreateAecSetting(AcDbDatabase* db = nullptr);
// The id of the settings object; null when the drawing has none.
AcDbObjectId KvDbGetAecSettingId(AcDbDatabase* db = nullptr);

// The print scale of the drawing: the settings object's plot scale, the default without one.
double KvDbGetPrintScale(AcDbDatabase* db = nullptr);

// Enumerations of the pipe accessors.
class KvDbAvPipe {
 public:
  enum RiserStyle { kRiserArc = 0, kRiserCircle = 1 };  // 弧形, 圆形
};
class KvDbAvFitting {
 public:
  enum ElbowStyle { kElbowWelded = 0, kElbowSeamless = 1 };  // 焊接, 无缝
};

// ---- per-drawing values -------------------------------------------------------------------------
// Getters read the drawing (the working database when null) and give the default below when it holds
// no value. Setters store the value, creating the storage when needed: eOk, eNoDatabase, or the
// failure to open the storage (eWasOpenForRead / eWasOpenForWrite while it is held elsewhere).

// Elevation symbols: dot diameter (1.5), triangle size (3.0).
double KvDbGetSymbElevDotSize(AcDbDatabase* db = nullptr);
Acad::ErrorStatus KvDbSetSymbElevDotSize(double value, AcDbDatabase* db = nullptr);
double KvDbGetSymbElevTrgSize(AcDbDatabase* db = nullptr);
Acad::ErrorStatus KvDbSetSymbElevTrgSize(double value, AcDbDatabase* db = nullptr);
// Circle texts: height factor (0.7), old style with automatic width adjustment (0).
double KvDbGetCircleTextHeightFactor(AcDbDatabase* db = nullptr);
Acad::ErrorStatus KvDbSetCircleTextHeightFactor(double value, AcDbDatabase* db = nullptr);
int KvDbGetOldCircleTextStyle(AcDbDatabase* db = nullptr);
Acad::ErrorStatus KvDbSetOldCircleTextStyle(int value, AcDbDatabase* db = nullptr);
// Room area precision in decimals (2).
unsigned char KvDbGetSpaceAreaPrecision(AcDbDatabase* db = nullptr);
Acad::ErrorStatus KvDbSetSpaceAreaPrecision(unsigned char value, AcDbDatabase* db = nullptr);
// Stairs drawn with a single break line (1).
int KvDbGetStairSingleSect(AcDbDatabase* db = nullptr);
Acad::ErrorStatus KvDbSetStairSingleSect(int value, AcDbDatabase* db = nullptr);
// Walls and columns: bold inward (0), solid fill (1).
int KvDbGetBoldLine(AcDbDatabase* db = nullptr);
Acad::ErrorStatus KvDbSetBoldLine(int value, AcDbDatabase* db = nullptr);
int KvDbGetSolidFill(AcDbDatabase* db = nullptr);
Acad::ErrorStatus KvDbSetSolidFill(int value, AcDbDatabase* db = nullptr);
// Text height for plotting (3.5).
double KvDbGetAvTextHeight(AcDbDatabase* db = nullptr);
Acad::ErrorStatus KvDbSetAvTextHeight(double value, AcDbDatabase* db = nullptr);
// Pipes: break distance (2.0), double-line width (0.3), riser bend style (arc).
double KvDbGetPipeBreakDist(AcDbDatabase* db = nullptr);
Acad::ErrorStatus KvDbSetPipeBreakDist(double value, AcDbDatabase* db = nullptr);
double KvDbGetDoublePipeLineWidth(AcDbDatabase* db = nullptr);
Acad::ErrorStatus KvDbSetDoublePipeLineWidth(double value, AcDbDatabase* db = nullptr);
KvDbAvPipe::RiserStyle KvDbGetPipeRiserStyle(AcDbDatabase* db = nullptr);
Acad::ErrorStatus KvDbSetPipeRiserStyle(KvDbAvPipe::RiserStyle value, AcDbDatabase* db = nullptr);
// Fittings: elbow curvature (1.5), elbow style (welded).
double KvDbGetElbowCurvature(AcDbDatabase* db = nullptr);
Acad::ErrorStatus KvDbSetElbowCurvature(double value, AcDbDatabase* db = nullptr);
KvDbAvFitting::ElbowStyle KvDbGetElbowStyle(AcDbDatabase* db = nullptr);
Acad::ErrorStatus KvDbSetElbowStyle(KvDbAvFitting::ElbowStyle value, AcDbDatabase* db = nullptr);
// Pipe cross grips (1), drawing dial (0), symbols for non-standard fittings (0).
int KvDbGetPipeUseAddGrip(AcDbDatabase* db = nullptr);
Acad::ErrorStatus KvDbSetPipeUseAddGrip(int value, AcDbDatabase* db = nullptr);
int KvDbGetUsePipePan(AcDbDatabase* db = nullptr);
Acad::ErrorStatus KvDbSetUsePipePan(int value, AcDbDatabase* db = nullptr);
int KvDbGetUnknownDataUseSymbol(AcDbDatabase* db = nullptr);
Acad::ErrorStatus KvDbSetUnknownDataUseSymbol(int value, AcDbDatabase* db = nullptr);
// Riser annotation: style (0 leader, 1 ring), text distance to line (1.0), ring radius (3.0),
// gravity-flow diameter (0).
int KvDbGetVPipeDimStyle(AcDbDatabase* db = nullptr);
Acad::ErrorStatus KvDbSetVPipeDimStyle(int value, AcDbDatabase* db = nullptr);
double KvDbGetVPipeDimTextDist(AcDbDatabase* db = nullptr);
Acad::ErrorStatus KvDbSetVPipeDimTextDist(double value, AcDbDatabase* db = nullptr);
double KvDbGetVPipeDimRadius(AcDbDatabase* db = nullptr);
Acad::ErrorStatus KvDbSetVPipeDimRadius(double value, AcDbDatabase* db = nullptr);
int KvDbGetVPipeDimDiameter(AcDbDatabase* db = nullptr);
Acad::ErrorStatus KvDbSetVPipeDimDiameter(int value, AcDbDatabase* db = nullptr);
// Valve layout scale (1.0), annotation text distance to the leader line (1.0).
double KvDbGetValveScale(AcDbDatabase* db = nullptr);
Acad::ErrorStatus KvDbSetValveScale(double value, AcDbDatabase* db = nullptr);
double KvDbGetOtherTextDistToLine(AcDbDatabase* db = nullptr);
Acad::ErrorStatus KvDbSetOtherTextDistToLine(double value, AcDbDatabase* db = nullptr);

namespace tav::tavdata {
// The raw per-drawing store: a value by key; false when the drawing holds none.
bool GetDrawingValue(AcDbDatabase* db, std::string_view key, double& value);
Acad::ErrorStatus SetDrawingValue(AcDbDatabase* db, std::string_view key, double value, bool integer);
// The keys stored in the drawing, in stored order.
std::vector<std::string> DrawingValueKeys(AcDbDatabase* db);
}  // namespace tav::tavdata
