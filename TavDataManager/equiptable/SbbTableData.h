// Records of the equipment and material table (设备材料表) as it stands in the drawing.
//
// A table is a set of ordinary model space entities (lines and two-vertex polylines for the frame,
// texts for the title, headers and cells, legend blocks in the 图例 column) tied together by extended
// data of four applications:
//   QLV_SBBDY      on the main header line of each table block: style and column definitions
//   QLV_SBBHANDLE  on every entity of the table: 1005 the handle of the main header line
//   QLV_SBBTEXT    on every cell text and legend block: 1070 row number (1-based), 1000 column name
//   QLV_PICTURE    on every legend block: 1000 legend name, 1011 centre of its cell
// docs/equipment-table.md describes the layout in full.
#pragma once

#include <string>
#include <vector>

#include "platform/host/KvAcDb.h"

// Application names, layer and text style of the table's entities.
inline constexpr const char* kSbbAppDefine = "QLV_SBBDY";
inline constexpr const char* kSbbAppHandle = "QLV_SBBHANDLE";
inline constexpr const char* kSbbAppText = "QLV_SBBTEXT";
inline constexpr const char* kSbbAppPicture = "QLV_PICTURE";
inline constexpr const char* kSbbLayer = "PZ_SBB";
inline constexpr const char* kSbbTextStyle = "PZ_QLV";
inline constexpr const char* kSbbLinetype = "CONTINUOUS";
// The title of a new table.
inline constexpr const char* kSbbDefaultTitle = "设 备 材 料 表";
// The most columns a table may have (cells of a tagSBBGETDATA).
inline constexpr int kSbbMaxColumns = 20;
// Points of the table coincide when every coordinate differs by at most this much.
inline constexpr double kSbbPointTolerance = 0.001;

// Column definition: one column group of the QLV_SBBDY chain.
struct tagLIEBIAODETAILDATA {
  std::string strName;   // header name ("序号", "设备名称", ...)
  double dWidth = 0;     // width in width units
  int nAlign = 1;        // 0 left ("居左"), 1 centred (anything else)
  int nLeftMargin = 0;   // left margin in width units (left-aligned columns only)
  bool operator==(const tagLIEBIAODETAILDATA&) const = default;
};

// A line of the table: a LINE or a two-vertex LWPOLYLINE. An expected line that was not found stays
// empty: no points, null id.
struct CTableLine {
  enum Orientation { kOblique = 0, kHorizontal = 1, kVertical = 2 };
  AcGePoint3d ptStart;
  AcGePoint3d ptEnd;
  int nBlockIndex = -1;  // 0 for a line carrying QLV_SBBDY, -1 otherwise
  AcDbObjectId id;
  int nType = kOblique;
  bool IsEmpty() const { return id.isNull(); }
};

// A text of the table: a TEXT (kind 0) or a legend block (kind 1).
struct CTableText {
  enum Kind { kText = 0, kLegend = 1 };
  int nKind = kText;
  AcGePoint3d ptPosition;  // a text's alignment point; a block's QLV_PICTURE point with Z = 0
  std::string strText;     // the text string, or the legend name
  short nColor = 256;
  AcDbObjectId id;
};

// One body row.
struct CTableBodyFence {
  int nReserved1 = 0;  // row bookkeeping: the row's index in its block
  int nReserved2 = 0;  // row bookkeeping: the number of lines found for the row
  std::vector<CTableLine> separators;  // column separators, columns + 1
  CTableLine closing;                  // the edge away from the previous row
  std::vector<CTableText> cells;       // one per column
  std::vector<int> flags;              // per column: its whole width
  std::vector<std::string> names;      // per column: the column name of the cell
};

// One block of the table: the bars and rows hanging off one main header line.
struct CDeviceTable {
  CTableLine mainLine;
  CTableLine titleLeft, titleRight, titleFar;
  CTableText title;
  std::vector<CTableLine> headerSeparators;  // columns + 1
  CTableLine headerClosing;
  std::vector<CTableText> headerTexts;       // one per column
  std::vector<CTableBodyFence> rows;
};

// A row to draw.
struct tagSBBSCDATA {
  int nNumber = 0;           // 序号; 0 = none
  std::string strCode;       // 编号
  std::string strLegend;     // 图例
  std::string strName;       // 设备名称
  std::string strSpec;       // 型号规格
  std::string strUnit;       // 单位
  double dQuantity = 0;      // 数量
  std::string strRemark;     // 备注
  std::string strBlank;      // 空白
};

// One cell handed to the editor and back.
struct tagSBBCELL {
  std::string strName;  // column name
  int nFlag = 0;        // whole column width
  int nKind = 0;        // CTableText kind
  std::string strText;
  AcDbObjectId id;
  bool operator==(const tagSBBCELL&) const = default;
};

// A row handed to the editor: up to 20 cells in column order.
struct tagSBBGETDATA {
  tagSBBCELL cells[kSbbMaxColumns];
  bool operator==(const tagSBBGETDATA& o) const {
    for (int i = 0; i < kSbbMaxColumns; ++i)
      if (!(cells[i] == o.cells[i])) return false;
    return true;
  }
};
