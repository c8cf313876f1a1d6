// The sample and test writer of equipment tables.
//
// The module itself never creates a table (another component of the add-on draws new tables); this
// writer draws one in the same format so that tests, benchmarks and the shipped sample drawing have
// tables to work on. Its fixed choices: the column groups of the QLV_SBBDY chain open with 1002 "{"
// and close with 1002 "}"; item 11 is 0; the main header line is the title bar's near edge; with a
// thick frame the outer border (main header line, the title bar's side edges, the outer header
// separators, the body rows' outer separators and the last row's closing line) is thick; several
// blocks stand side by side, each with its own main header line and QLV_SBBDY, all naming the first
// block's main header line in QLV_SBBHANDLE.
#pragma once

#include <string>
#include <vector>

#include "TavDataManager/equiptable/CSbbTable.h"

struct CSbbTableLayout {
  std::string title = kSbbDefaultTitle;
  double titleRowSpacing = 10, titleTextHeight = 8;    // stored as given (reals)
  double headerRowSpacing = 5, headerTextHeight = 3;
  double bodyRowSpacing = 5, bodyTextHeight = 3;
  int direction = 0;  // 0 upward (向上), 1 downward (向下)
  int frame = 1;      // 0 thick (粗), 1 thin (细)
  // Column groups as the chain stores them: name, width text, alignment ("居左"/"居中"), margin text.
  struct Column {
    std::string name, width, align = "居中", margin = "5";
  };
  std::vector<Column> columns;  // empty: the six default columns
  AcGePoint3d origin;           // start of the first main header line
  double angleDegrees = 0;      // the table is turned by this about `origin`
  double scale = 0;             // drawing units per width unit; 0: the drawing's print scale
  int blocks = 1;               // rows are shared out over this many blocks side by side
  double blockGap = 10;         // width units between blocks
};

class CSbbTableWriter {
 public:
  // Draws into `db` (the working database when null).
  explicit CSbbTableWriter(AcDbDatabase* db = nullptr);

  // The default columns: 序号 10, 设备名称 40, 型号规格 40, 单位 10, 数量 10, 备注 20, all centred.
  static std::vector<CSbbTableLayout::Column> DefaultColumns();
  // The QLV_SBBDY chain of a table (free with acutRelRb).
  static resbuf* BuildDefineChain(const CSbbTableLayout& layout, int bodyRows);

  // Draws the table with `rows`. Returns the handle text of the first main header line; "" when the
  // drawing has no model space or the layout has no columns of positive width.
  std::string Draw(const CSbbTableLayout& layout, const std::vector<tagSBBSCDATA>& rows);
  // Every entity drawn by the last Draw, in drawing order.
  AcDbObjectIdArray DrawnEntities() const { return drawn_; }

  // Defines simple legend blocks (水泵, 阀门, 水表, 消火栓, 喷头, 截止阀, 止回阀) in the drawing for
  // those names that neither the drawing nor the legend library holds.
  static void EnsureSampleLegends(AcDbDatabase* db, const std::vector<std::string>& names);
  // Adds text style "PZ_QLV" (width factor 0.7) when the drawing lacks it.
  static void EnsureTableTextStyle(AcDbDatabase* db);
  // Fills `db` with the 给排水 sample: pipes, pipe texts, equipment entities and an equipment table
  // with a 图例 column and a thick frame. Returns the table's handle text.
  static std::string DrawSampleDrawing(AcDbDatabase* db);

 private:
  AcDbDatabase* db_;
  AcDbObjectIdArray drawn_;
};

// Rows for tests and benchmarks: `count` rows of pump/valve-like content, numbered from 1.
std::vector<tagSBBSCDATA> MakeSampleRows(int count, bool withLegends = false);
