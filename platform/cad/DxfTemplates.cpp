#include "platform/cad/DxfTemplates.h"

#include <cstdio>

#include "platform/base/KvStrings.h"
#include "platform/cad/DxfDocumentImpl.h"

namespace tav::cad {

namespace {

void Head(std::vector<DxfTag>& t, std::string_view type, Handle handle, Handle owner, int handleCode = 5) {
  t.push_back(MakeTag(0, type));
  if (handle != 0) t.push_back(MakeHandleTag(handleCode, handle));
  if (owner != 0) t.push_back(MakeHandleTag(330, owner));
}

void Sub(std::vector<DxfTag>& t, bool r12, std::string_view marker) {
  if (!r12) t.push_back(MakeTag(100, marker));
}

}  // namespace

std::vector<DxfTag> RecordTemplate(DxfDocument& doc, std::string_view table, std::string_view name, Handle handle,
                                   Handle owner) {
  const bool r12 = doc.impl().IsR12();
  std::vector<DxfTag> t;
  Head(t, table, handle, owner, table == "DIMSTYLE" ? 105 : 5);
  Sub(t, r12, "AcDbSymbolTableRecord");
  if (table == "LAYER") {
    Sub(t, r12, "AcDbLayerTableRecord");
    t.push_back(MakeTag(2, name));
    t.push_back(MakeTag(70, 0LL));
    t.push_back(MakeTag(62, 7LL));
    t.push_back(MakeTag(6, "Continuous"));
    if (!r12) {
      t.push_back(MakeTag(370, -3LL));
      if (DxfObject zero = doc.FindRecord("LAYER", "0")) {
        Handle plotStyle = zero.GetHandleRef(390);
        if (plotStyle != 0) t.push_back(MakeHandleTag(390, plotStyle));
      }
    }
  } else if (table == "LTYPE") {
    Sub(t, r12, "AcDbLinetypeTableRecord");
    t.push_back(MakeTag(2, name));
    t.push_back(MakeTag(70, 0LL));
    t.push_back(MakeTag(3, ""));
    t.push_back(MakeTag(72, 65LL));
    t.push_back(MakeTag(73, 0LL));
    t.push_back(MakeTag(40, 0.0));
  } else if (table == "STYLE") {
    Sub(t, r12, "AcDbTextStyleTableRecord");
    t.push_back(MakeTag(2, name));
    t.push_back(MakeTag(70, 0LL));
    t.push_back(MakeTag(40, 0.0));
    t.push_back(MakeTag(41, 1.0));
    t.push_back(MakeTag(50, 0.0));
    t.push_back(MakeTag(71, 0LL));
    t.push_back(MakeTag(42, 2.5));
    t.push_back(MakeTag(3, "txt"));
    t.push_back(MakeTag(4, ""));
  } else if (table == "APPID") {
    Sub(t, r12, "AcDbRegAppTableRecord");
    t.push_back(MakeTag(2, name));
    t.push_back(MakeTag(70, 0LL));
  } else if (table == "BLOCK_RECORD") {
    Sub(t, r12, "AcDbBlockTableRecord");
    t.push_back(MakeTag(2, name));
    t.push_back(MakeHandleTag(340, 0));
    t.push_back(MakeTag(70, 0LL));
    t.push_back(MakeTag(280, 1LL));
    t.push_back(MakeTag(281, 0LL));
  } else if (table == "DIMSTYLE") {
    Sub(t, r12, "AcDbDimStyleTableRecord");
    t.push_back(MakeTag(2, name));
    t.push_back(MakeTag(70, 0LL));
  } else if (table == "VIEW") {
    Sub(t, r12, "AcDbViewTableRecord");
    t.push_back(MakeTag(2, name));
    t.push_back(MakeTag(70, 0LL));
  } else if (table == "UCS") {
    Sub(t, r12, "AcDbUCSTableRecord");
    t.push_back(MakeTag(2, name));
    t.push_back(MakeTag(70, 0LL));
  } else if (table == "VPORT") {
    Sub(t, r12, "AcDbViewportTableRecord");
    t.push_back(MakeTag(2, name));
    t.push_back(MakeTag(70, 0LL));
  } else {
    t.push_back(MakeTag(2, name));
    t.push_back(MakeTag(70, 0LL));
  }
  return t;
}

std::vector<DxfTag> EntityTemplate(DxfDocument& doc, std::string_view type, Handle handle, Handle owner,
                                   bool paperSpace, bool r12) {
  std::vector<DxfTag> t;
  Head(t, type, handle, r12 ? 0 : owner);
  Sub(t, r12, "AcDbEntity");
  if (paperSpace) t.push_back(MakeTag(67, 1LL));
  t.push_back(MakeTag(8, "0"));
  const DxfPoint origin;
  if (type == "LINE") {
    Sub(t, r12, "AcDbLine");
    AppendPoint(t, 10, origin);
    AppendPoint(t, 11, origin);
  } else if (type == "LWPOLYLINE") {
    Sub(t, r12, "AcDbPolyline");
    t.push_back(MakeTag(90, 0LL));
    t.push_back(MakeTag(70, 0LL));
    t.push_back(MakeTag(43, 0.0));
  } else if (type == "TEXT") {
    Sub(t, r12, "AcDbText");
    AppendPoint(t, 10, origin);
    double height = doc.HeaderDouble("$TEXTSIZE", 2.5);
    if (height <= 0) height = 2.5;
    t.push_back(MakeTag(40, height));
    t.push_back(MakeTag(1, ""));
    Sub(t, r12, "AcDbText");
  } else if (type == "CIRCLE") {
    Sub(t, r12, "AcDbCircle");
    AppendPoint(t, 10, origin);
    t.push_back(MakeTag(40, 1.0));
  } else if (type == "ARC") {
    Sub(t, r12, "AcDbCircle");
    AppendPoint(t, 10, origin);
    t.push_back(MakeTag(40, 1.0));
    Sub(t, r12, "AcDbArc");
    t.push_back(MakeTag(50, 0.0));
    t.push_back(MakeTag(51, 90.0));
  } else if (type == "INSERT") {
    Sub(t, r12, "AcDbBlockReference");
    t.push_back(MakeTag(2, ""));
    AppendPoint(t, 10, origin);
  } else if (type == "POINT") {
    Sub(t, r12, "AcDbPoint");
    AppendPoint(t, 10, origin);
  } else if (type == "TAV_EQUIPMENT") {
    Sub(t, r12, "TavDbEquipment");
    t.push_back(MakeTag(1, ""));
    AppendPoint(t, 10, origin);
  }
  return t;
}

std::vector<DxfTag> ObjectTemplate(DxfDocument&, std::string_view type, Handle handle, Handle owner) {
  std::vector<DxfTag> t;
  Head(t, type, handle, owner);
  if (type == "DICTIONARY") {
    t.push_back(MakeTag(100, "AcDbDictionary"));
    t.push_back(MakeTag(281, 1LL));
  } else if (type == "XRECORD") {
    t.push_back(MakeTag(100, "AcDbXrecord"));
    t.push_back(MakeTag(280, 1LL));
  }
  return t;
}

std::vector<DxfTag> BlockTemplate(DxfDocument&, std::string_view name, const DxfPoint& base, Handle handle,
                                  Handle owner, bool r12) {
  std::vector<DxfTag> t;
  Head(t, "BLOCK", handle, r12 ? 0 : owner);
  Sub(t, r12, "AcDbEntity");
  t.push_back(MakeTag(8, "0"));
  Sub(t, r12, "AcDbBlockBegin");
  t.push_back(MakeTag(2, name));
  t.push_back(MakeTag(70, 0LL));
  AppendPoint(t, 10, base);
  t.push_back(MakeTag(3, name));
  t.push_back(MakeTag(1, ""));
  return t;
}

std::vector<DxfTag> EndBlockTemplate(DxfDocument&, Handle handle, Handle owner, bool r12) {
  std::vector<DxfTag> t;
  Head(t, "ENDBLK", handle, r12 ? 0 : owner);
  Sub(t, r12, "AcDbEntity");
  t.push_back(MakeTag(8, "0"));
  Sub(t, r12, "AcDbBlockEnd");
  return t;
}

// ---------------------------------------------------------------------------------------------
// A new R2010 drawing

namespace {

class Text {
 public:
  void Tag(int code, std::string_view value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%3d\n", code);
    out_ += buf;
    out_ += value;
    out_ += '\n';
  }
  void Tag(int code, double value) { Tag(code, FormatDxfDouble(value)); }
  void Int(int code, long long value) { Tag(code, std::to_string(value)); }
  void H(int code, Handle h) { Tag(code, FormatHandle(h)); }
  void Point(int code, double x, double y, bool z = true) {
    Tag(code, x);
    Tag(code + 10, y);
    if (z) Tag(code + 20, 0.0);
  }
  std::string& str() { return out_; }

 private:
  std::string out_;
};

// Handles of the new drawing's fixed records.
enum : Handle {
  kBlockRecordTable = 0x1, kLayerTable = 0x2, kStyleTable = 0x3, kLtypeTable = 0x5, kViewTable = 0x6,
  kUcsTable = 0x7, kVportTable = 0x8, kAppidTable = 0x9, kDimstyleTable = 0xA,
  kRootDict = 0xC, kGroupDict = 0xD, kPlotStyleDict = 0xE, kPlaceholder = 0xF,
  kLayer0 = 0x10, kStandardStyle = 0x11, kAcadApp = 0x12,
  kByBlock = 0x14, kByLayer = 0x15, kContinuous = 0x16,
  kMlineDict = 0x17, kMlineStandard = 0x18, kLayoutDict = 0x1A,
  kPaperRecord = 0x1B, kPaperBlock = 0x1C, kPaperEnd = 0x1D, kLayout1 = 0x1E,
  kModelRecord = 0x1F, kModelBlock = 0x20, kModelEnd = 0x21, kModelLayout = 0x22,
  kStandardDim = 0x27, kActiveVport = 0x29, kSeed = 0x30,
};

void TableHead(Text& t, std::string_view name, Handle h, int count) {
  t.Tag(0, "TABLE");
  t.Tag(2, name);
  t.H(5, h);
  t.H(330, 0);
  t.Tag(100, "AcDbSymbolTable");
  t.Int(70, count);
}

void RecordHead(Text& t, std::string_view type, Handle h, Handle owner, std::string_view sub, int handleCode = 5) {
  t.Tag(0, type);
  t.H(handleCode, h);
  t.H(330, owner);
  t.Tag(100, "AcDbSymbolTableRecord");
  t.Tag(100, sub);
}

void Linetype(Text& t, Handle h, std::string_view name, std::string_view description) {
  RecordHead(t, "LTYPE", h, kLtypeTable, "AcDbLinetypeTableRecord");
  t.Tag(2, name);
  t.Int(70, 0);
  t.Tag(3, description);
  t.Int(72, 65);
  t.Int(73, 0);
  t.Tag(40, 0.0);
}

void Layout(Text& t, Handle h, std::string_view name, int order, Handle blockRecord, bool paper) {
  t.Tag(0, "LAYOUT");
  t.H(5, h);
  t.Tag(102, "{ACAD_REACTORS");
  t.H(330, kLayoutDict);
  t.Tag(102, "}");
  t.H(330, kLayoutDict);
  t.Tag(100, "AcDbPlotSettings");
  t.Tag(1, "");
  t.Tag(2, "none_device");
  t.Tag(4, "");
  t.Tag(6, "");
  for (int c = 40; c <= 49; ++c) t.Tag(c, 0.0);
  t.Tag(140, 0.0);
  t.Tag(141, 0.0);
  t.Tag(142, 1.0);
  t.Tag(143, 1.0);
  t.Int(70, paper ? 688 : 1712);
  t.Int(72, 0);
  t.Int(73, 0);
  t.Int(74, 5);
  t.Tag(7, "");
  t.Int(75, 16);
  t.Int(76, 0);
  t.Int(77, 2);
  t.Int(78, 300);
  t.Tag(147, 1.0);
  t.Tag(148, 0.0);
  t.Tag(149, 0.0);
  t.Tag(100, "AcDbLayout");
  t.Tag(1, name);
  t.Int(70, 1);
  t.Int(71, order);
  t.Point(10, 0, 0, false);
  t.Point(11, 420, 297, false);
  t.Point(12, 0, 0);
  t.Point(14, 0, 0);
  t.Point(15, 420, 297);
  t.Tag(146, 0.0);
  t.Point(13, 0, 0);
  t.Tag(16, 1.0);
  t.Tag(26, 0.0);
  t.Tag(36, 0.0);
  t.Tag(17, 0.0);
  t.Tag(27, 1.0);
  t.Tag(37, 0.0);
  t.Int(76, 0);
  t.H(330, blockRecord);
}

}  // namespace

std::string NewDrawingText() {
  Text t;
  // HEADER
  t.Tag(0, "SECTION");
  t.Tag(2, "HEADER");
  auto var = [&](std::string_view name) { t.Tag(9, name); };
  var("$ACADVER"); t.Tag(1, "AC1024");
  var("$ACADMAINTVER"); t.Int(70, 6);
  var("$DWGCODEPAGE"); t.Tag(3, "ANSI_1252");
  var("$INSBASE"); t.Point(10, 0, 0);
  var("$EXTMIN"); t.Point(10, 0, 0);
  var("$EXTMAX"); t.Point(10, 420, 297);
  var("$LIMMIN"); t.Point(10, 0, 0, false);
  var("$LIMMAX"); t.Point(10, 420, 297, false);
  var("$LTSCALE"); t.Tag(40, 1.0);
  var("$TEXTSIZE"); t.Tag(40, 2.5);
  var("$TEXTSTYLE"); t.Tag(7, "Standard");
  var("$CLAYER"); t.Tag(8, "0");
  var("$CELTYPE"); t.Tag(6, "ByLayer");
  var("$CECOLOR"); t.Int(62, 256);
  var("$DIMSTYLE"); t.Tag(2, "Standard");
  var("$LUNITS"); t.Int(70, 2);
  var("$LUPREC"); t.Int(70, 4);
  var("$INSUNITS"); t.Int(70, 4);
  var("$MEASUREMENT"); t.Int(70, 1);
  var("$HANDSEED"); t.H(5, kSeed);
  t.Tag(0, "ENDSEC");

  // CLASSES
  t.Tag(0, "SECTION");
  t.Tag(2, "CLASSES");
  auto cls = [&](std::string_view dxf, std::string_view cpp) {
    t.Tag(0, "CLASS");
    t.Tag(1, dxf);
    t.Tag(2, cpp);
    t.Tag(3, "ObjectDBX Classes");
    t.Int(90, 0);
    t.Int(91, 1);
    t.Int(280, 0);
    t.Int(281, 0);
  };
  cls("ACDBDICTIONARYWDFLT", "AcDbDictionaryWithDefault");
  cls("ACDBPLACEHOLDER", "AcDbPlaceHolder");
  cls("LAYOUT", "AcDbLayout");
  t.Tag(0, "ENDSEC");

  // TABLES
  t.Tag(0, "SECTION");
  t.Tag(2, "TABLES");
  TableHead(t, "VPORT", kVportTable, 1);
  RecordHead(t, "VPORT", kActiveVport, kVportTable, "AcDbViewportTableRecord");
  t.Tag(2, "*Active");
  t.Int(70, 0);
  t.Point(10, 0, 0, false);
  t.Point(11, 1, 1, false);
  t.Point(12, 210, 148.5, false);
  t.Point(13, 0, 0, false);
  t.Point(14, 10, 10, false);
  t.Point(15, 10, 10, false);
  t.Point(16, 0, 0);
  t.Tag(36, 1.0);
  t.Point(17, 0, 0);
  t.Tag(40, 297.0);
  t.Tag(41, 1.4142);
  t.Tag(42, 50.0);
  t.Tag(43, 0.0);
  t.Tag(44, 0.0);
  t.Tag(50, 0.0);
  t.Tag(51, 0.0);
  t.Int(71, 0);
  t.Int(72, 1000);
  t.Int(73, 1);
  t.Int(74, 3);
  t.Int(75, 0);
  t.Int(76, 0);
  t.Int(77, 0);
  t.Int(78, 0);
  t.Int(281, 0);
  t.Int(65, 1);
  t.Point(110, 0, 0);
  t.Point(111, 1, 0);
  t.Point(112, 0, 1);
  t.Int(79, 0);
  t.Tag(146, 0.0);
  t.Tag(0, "ENDTAB");

  TableHead(t, "LTYPE", kLtypeTable, 3);
  Linetype(t, kByBlock, "ByBlock", "");
  Linetype(t, kByLayer, "ByLayer", "");
  Linetype(t, kContinuous, "Continuous", "Solid line");
  t.Tag(0, "ENDTAB");

  TableHead(t, "LAYER", kLayerTable, 1);
  RecordHead(t, "LAYER", kLayer0, kLayerTable, "AcDbLayerTableRecord");
  t.Tag(2, "0");
  t.Int(70, 0);
  t.Int(62, 7);
  t.Tag(6, "Continuous");
  t.Int(370, -3);
  t.H(390, kPlaceholder);
  t.Tag(0, "ENDTAB");

  TableHead(t, "STYLE", kStyleTable, 1);
  RecordHead(t, "STYLE", kStandardStyle, kStyleTable, "AcDbTextStyleTableRecord");
  t.Tag(2, "Standard");
  t.Int(70, 0);
  t.Tag(40, 0.0);
  t.Tag(41, 1.0);
  t.Tag(50, 0.0);
  t.Int(71, 0);
  t.Tag(42, 2.5);
  t.Tag(3, "txt");
  t.Tag(4, "");
  t.Tag(0, "ENDTAB");

  TableHead(t, "VIEW", kViewTable, 0);
  t.Tag(0, "ENDTAB");
  TableHead(t, "UCS", kUcsTable, 0);
  t.Tag(0, "ENDTAB");

  TableHead(t, "APPID", kAppidTable, 1);
  RecordHead(t, "APPID", kAcadApp, kAppidTable, "AcDbRegAppTableRecord");
  t.Tag(2, "ACAD");
  t.Int(70, 0);
  t.Tag(0, "ENDTAB");

  TableHead(t, "DIMSTYLE", kDimstyleTable, 1);
  t.Tag(100, "AcDbDimStyleTable");
  t.Int(71, 0);
  RecordHead(t, "DIMSTYLE", kStandardDim, kDimstyleTable, "AcDbDimStyleTableRecord", 105);
  t.Tag(2, "Standard");
  t.Int(70, 0);
  t.Tag(41, 2.5);
  t.Tag(42, 0.625);
  t.Tag(43, 3.75);
  t.Tag(44, 1.25);
  t.Tag(140, 2.5);
  t.Tag(141, 2.5);
  t.Tag(147, 0.625);
  t.Int(77, 1);
  t.Int(271, 2);
  t.H(340, kStandardStyle);
  t.Tag(0, "ENDTAB");

  TableHead(t, "BLOCK_RECORD", kBlockRecordTable, 2);
  RecordHead(t, "BLOCK_RECORD", kModelRecord, kBlockRecordTable, "AcDbBlockTableRecord");
  t.Tag(2, "*Model_Space");
  t.H(340, kModelLayout);
  t.Int(70, 0);
  t.Int(280, 1);
  t.Int(281, 0);
  RecordHead(t, "BLOCK_RECORD", kPaperRecord, kBlockRecordTable, "AcDbBlockTableRecord");
  t.Tag(2, "*Paper_Space");
  t.H(340, kLayout1);
  t.Int(70, 0);
  t.Int(280, 1);
  t.Int(281, 0);
  t.Tag(0, "ENDTAB");
  t.Tag(0, "ENDSEC");

  // BLOCKS
  t.Tag(0, "SECTION");
  t.Tag(2, "BLOCKS");
  auto block = [&](Handle h, Handle end, Handle owner, std::string_view name, bool paper) {
    t.Tag(0, "BLOCK");
    t.H(5, h);
    t.H(330, owner);
    t.Tag(100, "AcDbEntity");
    if (paper) t.Int(67, 1);
    t.Tag(8, "0");
    t.Tag(100, "AcDbBlockBegin");
    t.Tag(2, name);
    t.Int(70, 0);
    t.Point(10, 0, 0);
    t.Tag(3, name);
    t.Tag(1, "");
    t.Tag(0, "ENDBLK");
    t.H(5, end);
    t.H(330, owner);
    t.Tag(100, "AcDbEntity");
    if (paper) t.Int(67, 1);
    t.Tag(8, "0");
    t.Tag(100, "AcDbBlockEnd");
  };
  block(kModelBlock, kModelEnd, kModelRecord, "*Model_Space", false);
  block(kPaperBlock, kPaperEnd, kPaperRecord, "*Paper_Space", true);
  t.Tag(0, "ENDSEC");

  // ENTITIES
  t.Tag(0, "SECTION");
  t.Tag(2, "ENTITIES");
  t.Tag(0, "ENDSEC");

  // OBJECTS
  t.Tag(0, "SECTION");
  t.Tag(2, "OBJECTS");
  auto dict = [&](Handle h, Handle owner, std::initializer_list<std::pair<const char*, Handle>> entries,
                  bool hard = false) {
    t.Tag(0, "DICTIONARY");
    t.H(5, h);
    if (owner != 0) {
      t.Tag(102, "{ACAD_REACTORS");
      t.H(330, owner);
      t.Tag(102, "}");
    }
    t.H(330, owner);
    t.Tag(100, "AcDbDictionary");
    if (hard) t.Int(280, 0);
    t.Int(281, 1);
    for (const auto& [key, value] : entries) {
      t.Tag(3, key);
      t.H(350, value);
    }
  };
  dict(kRootDict, 0,
       {{"ACAD_GROUP", kGroupDict}, {"ACAD_LAYOUT", kLayoutDict}, {"ACAD_MLINESTYLE", kMlineDict},
        {"ACAD_PLOTSTYLENAME", kPlotStyleDict}},
       true);
  dict(kGroupDict, kRootDict, {});
  dict(kLayoutDict, kRootDict, {{"Layout1", kLayout1}, {"Model", kModelLayout}});
  dict(kMlineDict, kRootDict, {{"Standard", kMlineStandard}});
  // The plot style dictionary has a default entry.
  t.Tag(0, "ACDBDICTIONARYWDFLT");
  t.H(5, kPlotStyleDict);
  t.Tag(102, "{ACAD_REACTORS");
  t.H(330, kRootDict);
  t.Tag(102, "}");
  t.H(330, kRootDict);
  t.Tag(100, "AcDbDictionary");
  t.Int(281, 1);
  t.Tag(3, "Normal");
  t.H(350, kPlaceholder);
  t.Tag(100, "AcDbDictionaryWithDefault");
  t.H(340, kPlaceholder);
  t.Tag(0, "ACDBPLACEHOLDER");
  t.H(5, kPlaceholder);
  t.Tag(102, "{ACAD_REACTORS");
  t.H(330, kPlotStyleDict);
  t.Tag(102, "}");
  t.H(330, kPlotStyleDict);
  // Standard multiline style.
  t.Tag(0, "MLINESTYLE");
  t.H(5, kMlineStandard);
  t.Tag(102, "{ACAD_REACTORS");
  t.H(330, kMlineDict);
  t.Tag(102, "}");
  t.H(330, kMlineDict);
  t.Tag(100, "AcDbMlineStyle");
  t.Tag(2, "Standard");
  t.Int(70, 0);
  t.Tag(3, "");
  t.Int(62, 256);
  t.Tag(51, 90.0);
  t.Tag(52, 90.0);
  t.Int(71, 2);
  t.Tag(49, 0.5);
  t.Int(62, 256);
  t.Tag(6, "BYLAYER");
  t.Tag(49, -0.5);
  t.Int(62, 256);
  t.Tag(6, "BYLAYER");
  Layout(t, kLayout1, "Layout1", 1, kPaperRecord, true);
  Layout(t, kModelLayout, "Model", 0, kModelRecord, false);
  t.Tag(0, "ENDSEC");
  t.Tag(0, "EOF");
  return std::move(t.str());
}

}  // namespace tav::cad
