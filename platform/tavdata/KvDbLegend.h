// Legend blocks of the equipment table: a legend name stands for a block, which is inserted into a
// table cell.
#pragma once

#include <string>
#include <string_view>

#include "platform/host/KvAcDb.h"

// The legend library: "Legend/Legend.dxf" under the main directory (blocks 水泵, 阀门, 水表, 消火栓,
// 喷头, ...).
std::string KvLegendLibraryPath();

// Inserts the block of `legendName` into model space of `db` (working database when null), scaled
// uniformly so that its extents fill at most 0.6 of the cell's width and height, centred on
// `cellCentre`, on `layer` ("" keeps layer "0"), colour by layer. The block is taken from the
// drawing, or copied in from the legend library when the drawing lacks it. A name "A|B" holds two
// parts split at the first "|": B is the block name and A the library drawing ("Legend/A.dxf",
// falling back to Legend.dxf). Returns the new INSERT's id; null when the block cannot be found, has
// no extents, or the cell is empty.
AcDbObjectId PlaceLegend(AcDbDatabase* db, std::string_view legendName, const AcGePoint3d& cellCentre,
                         double cellWidth, double cellHeight, std::string_view layer = "PZ_SBB");

namespace tav::tavdata {
// The extents of a block's entities in block coordinates (lines, polylines, circles, arcs, texts by
// their insertion and height, points, nested inserts by their insertion). False when it has none.
bool BlockExtents(tav::cad::DxfDocument& doc, std::string_view blockName, KvGeExtent& extents);
}  // namespace tav::tavdata
