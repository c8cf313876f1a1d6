// Recognition of an equipment table standing in the drawing: from one picked entity to the table's
// logical structure (title, column headers, body rows, cells and legend blocks).
//
// The table is found through its extended data: the picked entity's QLV_SBBHANDLE names the main
// header line, whose QLV_SBBDY holds the style and columns; every entity naming the same line belongs
// to the table. The geometry parse then expects the frame lines, separators and closing lines where
// the header data puts them (in the table's own frame, after the table has been turned so that its
// main header line runs along +X) and sorts the texts into the bars and cells that strictly contain
// them.
//
// Matching rules: every line whose two ends coincide (within 0.001 per coordinate) with an expected
// line's ends is recorded for it, so of several coinciding lines the last one in the line list is
// kept; the first text of the text list strictly inside a rectangle is the rectangle's text. The
// indexed parse (the default) finds the same lines and texts through lists sorted by Y; the
// straightforward parse compares everything with everything and serves as the reference.
#pragma once

#include <string>
#include <vector>

#include "TavDataManager/equiptable/CSbbTable.h"

// How the geometry parse looks lines and texts up.
enum class CSbbMatchMode {
  kIndexed,     // lists sorted by Y, binary search, then the same tests
  kFirstMatch,  // every line against every expected line, every text against every rectangle
};

// The QLV_SBBHANDLE chain of the entity (free with acutRelRb); null when it has none or cannot be
// opened.
resbuf* FindTableHandle(const AcDbObjectId& entity);

// Opens the main header line `handleText` (a line or a lightweight polyline), gives its start point as
// the base point and its angle, and adds every TEXT, LINE, LWPOLYLINE and INSERT whose QLV_SBBHANDLE
// names the same handle (ignoring case) to `selection`. 1 when at least one entity was collected.
// Prints "\n建立设备表表格线选择集失败!" when the drawing selection fails.
int CollectTable(const std::string& handleText, AcGePoint3d& basePoint, double& angle, CSbbSelection& selection,
                 AcDbDatabase* db = nullptr);

// The angle from start to end in [0, 2pi); 0 when the points coincide or the angle is within 0.001
// of 2pi.
double TableAngle(const AcGePoint3d& start, const AcGePoint3d& end);

// Turns every entity of the selection by `angle` radians about `basePoint`; nothing for angle 0.
void TurnSelection(const CSbbSelection& selection, const AcGePoint3d& basePoint, double angle);

// Fills `model` from the drawing (its database) for the table of `handleText`. 1 on success; on
// failure 0 after printing the step's message.
int RecognizeTable(CSbbTable& model, const std::string& handleText, CSbbMatchMode mode = CSbbMatchMode::kIndexed);

// The body rows for the editor, in block and row order (at most 20 cells each).
std::vector<tagSBBGETDATA> ExtractRows(const CSbbTable& model);

// ---- the steps of RecognizeTable, for tests and benchmarks ---------------------------------------

// Result of the list readers and of the geometry parse.
enum class CSbbParseStatus { kOk, kSelectionFailed, kNoBlock, kBadHeader };

// The table's lines (LINE and two-vertex LWPOLYLINE whose QLV_SBBHANDLE equals `handleText`, case
// sensitive), normalised for the growth direction of `model`.
CSbbParseStatus ReadTableLines(CSbbTable& model, const std::string& handleText, std::vector<CTableLine>& lines);
// The table's texts and legend blocks (QLV_SBBHANDLE equal to `handleText`, ignoring case).
CSbbParseStatus ReadTableTexts(CSbbTable& model, const std::string& handleText, std::vector<CTableText>& texts);

// Classifies a line (vertical, horizontal, oblique) and orders its ends: horizontal lines left to
// right, vertical lines upward for direction 0 and downward otherwise.
void NormaliseTableLine(CTableLine& line, int direction);

// Builds the blocks from the lines carrying QLV_SBBDY (block index >= 0), then matches lines and
// texts to the expected geometry. kNoBlock when no line starts a block; kBadHeader when the columns
// have no width or the main header line no length.
CSbbParseStatus ParseTableGeometry(CSbbTable& model, const std::vector<CTableLine>& lines,
                                   const std::vector<CTableText>& texts, CSbbMatchMode mode);
