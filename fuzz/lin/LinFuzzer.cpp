// Fuzz target of the .lin parser: any bytes, decoded as the file reader does, parsed into definitions.
// Every definition found must format to a pattern line that parses back into the same dashes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/base/KvEncoding.h"
#include "platform/cad/lin/KvLinFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  tav::KvLinFile file;
  file.format = tav::DetectTextFormat(bytes);
  std::string utf8;
  if (!tav::DecodeText(bytes, file.format, utf8)) return 0;
  tav::ParseLinText(utf8, file);
  if (file.definitions.size() != file.definitionLines.size()) std::abort();
  for (const auto& d : file.definitions) {
    if (d.name.empty() || d.numDashes() < 1 || d.numDashes() > tav::kMaxLinetypeDashes) std::abort();
    tav::KvLinetypeDefinition again;
    std::string error;
    const std::string line = tav::FormatLinetypePattern(d);
    if (!tav::ParseLinetypePattern(line, again, error)) std::abort();
    for (int i = 0; i < d.numDashes(); ++i) {
      if (again.dashLengthAt(i) != d.dashLengthAt(i) || again.textAt(i) != d.textAt(i) ||
          again.elementFlagsAt(i) != d.elementFlagsAt(i))
        std::abort();
    }
    tav::KvLinetypeDefinition found;
    if (!file.lookUp(d.name, found, error) && !file.errorFor(d.name)) std::abort();
  }
  return 0;
}
