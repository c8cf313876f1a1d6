// The in-memory model of one equipment table and the operations that write an edited table back into
// the drawing: redrawing changed cells, erasing surplus rows, appending new rows, erasing a table
// that has become empty.
//
// A CSbbTable lives for one XG command: created empty (20 columns, scale factor = the drawing's print
// scale), filled by recognition (SbbRecognition.h), read by the editor, used by WriteBackTable. Every
// entity created here joins the model's entity selection and every entity erased here leaves it, so
// that the command can turn the whole table back afterwards.
//
// Entities created here: model space, layer "PZ_SBB", colour by layer, linetype "CONTINUOUS"; texts
// in the style "PZ_QLV" (with its width factor) when the drawing has it, else in the current style
// with width factor 1; thick lines are two-vertex polylines whose constant width is the print scale.
// Failures are silent: an entity that cannot be opened is skipped, a failed creation gives a null id.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "TavDataManager/equiptable/SbbTableData.h"
#include "platform/host/KvResbuf.h"

// The entities of one table, in the order they were added, without repeats.
class CSbbSelection {
 public:
  // Adds `id` at the end; nothing when it is null or already a member.
  void Add(const AcDbObjectId& id);
  // Removes `id`; false when it is not a member.
  bool Remove(const AcDbObjectId& id);
  // Puts `replacement` where `old` stood; adds it at the end when `old` is not a member.
  void Replace(const AcDbObjectId& old, const AcDbObjectId& replacement);
  bool Contains(const AcDbObjectId& id) const;
  std::size_t size() const { return where_.size(); }
  bool empty() const { return where_.empty(); }
  // The members in order.
  AcDbObjectIdArray Ids() const;
  void clear();

 private:
  std::vector<AcDbObjectId> ids_;  // null entries are removed members
  std::unordered_map<tav::cad::Handle, std::size_t> where_;
};

class CSbbTable {
 public:
  // The model works on `db` (the working database when null).
  explicit CSbbTable(AcDbDatabase* db = nullptr);

  AcDbDatabase* Database() const { return m_pDb; }

  // ---- the header data (QLV_SBBDY) -----------------------------------------------------------------
  // Reads the QLV_SBBDY chain (1001 first). Items are taken by position, whatever their codes; the
  // three text heights are read as whole numbers. Column names and definitions are appended in chain
  // order. Returns 1 when at least one column group was read, 0 when nothing follows item 11.
  int ParseHeaderData(const resbuf* chain);
  // Rewrites item 10 (number of body rows) of the main header line's QLV_SBBDY chain; nothing when the
  // line or the chain is missing.
  void SetBodyRowCount(int count);

  // ---- entities ------------------------------------------------------------------------------------
  // A single-line text with its alignment point at `position`, centred or left-aligned, vertically
  // middle-aligned. Null on failure.
  AcDbObjectId CreateTableText(const AcGePoint3d& position, std::string_view text, bool centred, double height);
  // A thin line (width <= 0) or a thick two-vertex polyline of constant `width`. Null on failure.
  AcDbObjectId CreateTableLine(const AcGePoint3d& start, const AcGePoint3d& end, double width);
  // Sets the chain (which must start with 1001) on the entity, registering the application first when
  // needed. False when nothing was set.
  bool AttachXData(const AcDbObjectId& id, const resbuf* chain);
  // Erases the entity and removes it from the entity selection.
  void EraseTableEntity(const AcDbObjectId& id);
  // A thin line given a width above 0 becomes a two-vertex polyline of that width; a polyline given 0
  // becomes a line between its first and last points; a polyline given another width above 0 takes
  // it. The replacement keeps layer, colour, linetype and all xdata and takes the old entity's place
  // in the entity selection. Returns the id of the line as it stands afterwards (null when the entity
  // could not be opened).
  AcDbObjectId SetLineWidth(const AcDbObjectId& id, double width);

  // ---- rows ----------------------------------------------------------------------------------------
  // Draws one body row with its base edge at `base` (the edge shared with the previous row).
  void DrawBodyRow(int rowNumber, const AcGePoint3d& base, const tagSBBSCDATA& row, double closingWidth);
  // Draws rows[first] ... rows[size-1] as rows first+1 ..., one after another from `base`, then sets
  // the body row count to rows.size(). The last row's closing line is thick when the frame is.
  void AppendBodyRows(const std::vector<tagSBBSCDATA>& rows, int first, AcGePoint3d base);
  // Gives one cell a new text (the caller calls only when it differs from the current one, ignoring
  // ASCII case). `current` is updated to the cell's new entity.
  void UpdateCell(int rowNumber, int column, CTableText& current, std::string_view text, int kind);
  // Erases every line and text recorded in every block.
  void EraseWholeTable();
  // Applies the editor's rows: edited row k belongs to the k-th body row counted over the blocks in
  // order. Changed cells are rewritten, surplus rows erased (a block left without rows loses its bars
  // too), further rows appended after the last one; no rows at all erase the whole table.
  void WriteBackTable(const std::vector<tagSBBGETDATA>& rows);

  // ---- helpers -------------------------------------------------------------------------------------
  // +1 for tables growing upward (direction 0), -1 otherwise.
  double DirectionSign() const { return m_nDirection == 0 ? 1.0 : -1.0; }
  // The drawing's print scale: the width of thick lines.
  double PrintScale() const;
  // The width of a thick frame line: the print scale when the frame is thick, else 0.
  double FrameWidth() const { return m_nFrame == 0 ? PrintScale() : 0.0; }
  // The QLV_SBBHANDLE chain naming this table's main header line (free with acutRelRb).
  resbuf* BuildHandleChain() const;
  // Total number of body rows over all blocks.
  int TotalBodyRows() const;
  // Sum of the column widths as doubles (the width DrawBodyRow covers), in width units.
  double ExactTotalWidth() const;

  // ---- fields --------------------------------------------------------------------------------------
  std::string m_strHandle;          // handle text of the main header line
  CTableLine m_mainLine;            // the first block's main header line
  int m_nColumnCount = kSbbMaxColumns;
  std::vector<CDeviceTable> m_blocks;
  int m_nBodyRowSpacing = 0;        // item 6
  double m_dBodyTextHeight = 0;     // item 7
  int m_nHeaderRowSpacing = 0;      // item 4
  double m_dHeaderTextHeight = 0;   // item 5
  std::vector<std::string> m_names; // column names
  std::vector<tagLIEBIAODETAILDATA> m_columns;
  int m_nDirection = 0;             // item 8: 0 upward, else downward
  int m_nFrame = 0;                 // item 9: 0 thick, else thin
  int m_nBodyRowCount = 0;          // item 10
  int m_nItem11 = 0;                // item 11, kept
  std::string m_strTitle;           // item 1
  int m_nTitleRowSpacing = 0;       // item 2
  double m_dTitleTextHeight = 0;    // item 3
  double m_dScale = 1.0;            // drawing units per width unit
  int m_nTotalWidth = 0;            // sum of the whole column widths
  CSbbSelection m_selection;        // every entity of the table

 private:
  // Resolves the text style once: "PZ_QLV" with its width factor, else the current style and 1.0.
  void ResolveTextStyle();
  // Makes sure layer "PZ_SBB" exists.
  void EnsureLayer();
  // Attaches QLV_SBBTEXT (row, column name) and the handle chain, and selects the entity.
  void TagCell(const AcDbObjectId& id, int rowNumber, const std::string& column, const resbuf* handleChain);
  // Erases every entity of a row.
  void EraseRow(CTableBodyFence& row);
  // Erases the bars and the main header line of a block.
  void EraseBlockBars(CDeviceTable& block);
  // The start point of the far edge of a row: its closing line's start, or where it would be.
  AcGePoint3d RowFarEdgeStart(const CDeviceTable& block, std::size_t row) const;

  AcDbDatabase* m_pDb;
  bool m_styleResolved = false;
  bool m_layerChecked = false;
  std::string m_textStyle;
  double m_textWidthFactor = 1.0;
};

// The 数量 cell text: for a unit beginning with "米" or "平方", or no unit, "%.2f" without trailing
// zeros (12.50 -> "12.5", 3.00 -> "3"); for any other unit the quantity truncated toward zero. A
// quantity below 1e-6 in absolute value gives "".
std::string FormatQuantity(double quantity, std::string_view unit);
// Removes trailing "0" after the decimal point and a decimal point left last; a text without "."
// after its first character stays as it is.
std::string TrimTrailingZeros(std::string text);
