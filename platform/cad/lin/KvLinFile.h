// Whole .lin files: every definition a file holds, and the faults of those that are broken.
//
// Lines are: blank lines and comments (beginning with ';', such as ";;" lines) which are skipped; header
// lines "*NAME,description"; and the pattern line that must follow its header (comments and blank lines
// may come between). A broken definition is reported with its line number and left out; the other
// definitions of the file are unaffected. Files may be UTF-8 (with or without BOM) or GBK, with CR LF or
// LF line ends; the text of the records is UTF-8.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/base/KvEncoding.h"
#include "platform/cad/lin/KvLinetypeDefinition.h"

namespace tav {

struct KvLinError {
  int line = 0;      // 1-based line of the fault
  std::string name;  // the linetype it belongs to, "" for a line outside any definition
  std::string message;
  // "line 12: linetype FOO: bad number \"x\" at column 7"
  std::string text() const;
};

class KvLinFile {
 public:
  TextFormat format;  // how the file was stored
  std::vector<KvLinetypeDefinition> definitions;  // the well-formed definitions, in file order
  std::vector<int> definitionLines;               // header line of each definition (1-based)
  std::vector<KvLinError> errors;                 // in file order

  // The first definition called `name` (ASCII case-insensitive), or null.
  const KvLinetypeDefinition* find(std::string_view name) const;
  // The first fault reported for a definition called `name` (case-insensitive), or null.
  const KvLinError* errorFor(std::string_view name) const;

  // Looks `name` up as the CAD program does when asked to load one linetype: the first definition of
  // that name in the file decides. True and the definition if it is well-formed; false and a message
  // (the fault with its line, or that the file does not define the name) otherwise.
  bool lookUp(std::string_view name, KvLinetypeDefinition& definition, std::string& error) const;
};

// Parses UTF-8 text (line ends LF or CR LF) into `file` (definitions and errors replaced; format kept).
void ParseLinText(std::string_view utf8, KvLinFile& file);

// Reads a file from disk, whatever its encoding. False with a message if it cannot be read or decoded;
// faults in single definitions do not make it fail (they are in `file.errors`).
bool ReadLinFile(const std::string& path, KvLinFile& file, std::string* error = nullptr);

// Reads `path` and looks `name` up in it. False with a message if the file cannot be read or the
// linetype is missing or broken.
bool LoadLinetypeDefinition(const std::string& path, std::string_view name, KvLinetypeDefinition& definition,
                            std::string* error = nullptr);

}  // namespace tav
