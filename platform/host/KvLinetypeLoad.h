// Loading a linetype from a .lin file into a drawing, as the CAD program does.
//
// The definition is read with the platform's linetype parser and becomes an LTYPE record: its
// description (3), alignment 'A' (72), dash count (73), pattern length (40) and, for every dash, its
// length (49) and, for a complex element, its flags (74: 2 text, 4 shape, +1 absolute rotation,
// +8 upright), shape number (75, 0 for text), the STYLE record of the text style or shape file (340),
// scale (46), rotation in radians (50), offsets (44, 45) and text (9). A text element needs its text
// style in the drawing; a shape element's shape file gets a shape-file STYLE record when the drawing
// lacks one. Shapes must be given by number: this host does not read shape files.
#pragma once

#include <string>
#include <string_view>

#include "platform/host/KvAcDb.h"

// Loads the linetype `ltypeName` (or every linetype matching it, when it holds wildcards: "*" loads
// the whole file, skipping names the drawing already has) from `fileName` into `db` (the working
// database when null).
//   eOk                   loaded (with wildcards: at least one)
//   eFileNotFound         the file does not exist
//   eFilerError           the file cannot be read or decoded
//   eDuplicateRecordName  the drawing already has a linetype of that name (nothing changes)
//   eUndefinedLineType    the file does not define the name (with wildcards: nothing new matched)
//   eInvalidInput         the definition is broken, or an empty name
//   eKeyNotFound          the text style of a text element is not in the drawing
//   eNoDatabase           no database
Acad::ErrorStatus acdbLoadLineTypeFile(const char* ltypeName, const char* fileName, AcDbDatabase* db = nullptr);

namespace tav::host {
// Same, with the reason in `message` when it fails (English, naming the file, line and linetype).
Acad::ErrorStatus LoadLinetypeFile(std::string_view ltypeName, const std::string& fileName, AcDbDatabase* db,
                                   std::string* message);
}  // namespace tav::host
