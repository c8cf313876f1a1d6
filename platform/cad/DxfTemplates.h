// Tags of new records (internal to the drawing database): what a CAD program expects of a new table
// record, block, entity or object, for R12 (no handles, no subclass markers) and later versions.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/cad/DxfDocument.h"

namespace tav::cad {

// `handle` 0 leaves out the handle tag, `owner` 0 the owner tag.
std::vector<DxfTag> RecordTemplate(DxfDocument& doc, std::string_view table, std::string_view name, Handle handle,
                                   Handle owner);
std::vector<DxfTag> EntityTemplate(DxfDocument& doc, std::string_view type, Handle handle, Handle owner,
                                   bool paperSpace, bool r12);
std::vector<DxfTag> ObjectTemplate(DxfDocument& doc, std::string_view type, Handle handle, Handle owner);
std::vector<DxfTag> BlockTemplate(DxfDocument& doc, std::string_view name, const DxfPoint& base, Handle handle,
                                  Handle owner, bool r12);
std::vector<DxfTag> EndBlockTemplate(DxfDocument& doc, Handle handle, Handle owner, bool r12);

// The text of a new, empty R2010 drawing.
std::string NewDrawingText();

}  // namespace tav::cad
