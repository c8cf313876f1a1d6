#include "platform/cad/lin/KvLinFile.h"

#include <optional>

#include "platform/base/KvFile.h"
#include "platform/base/KvStrings.h"

namespace tav {

std::string KvLinError::text() const {
  std::string out = "line " + std::to_string(line) + ": ";
  if (!name.empty()) out += "linetype " + name + ": ";
  return out + message;
}

const KvLinetypeDefinition* KvLinFile::find(std::string_view name) const {
  const std::string wanted = Trim(name);
  for (const auto& d : definitions)
    if (EqualsNoCase(d.name, wanted)) return &d;
  return nullptr;
}

const KvLinError* KvLinFile::errorFor(std::string_view name) const {
  const std::string wanted = Trim(name);
  if (wanted.empty()) return nullptr;
  for (const auto& e : errors)
    if (EqualsNoCase(e.name, wanted)) return &e;
  return nullptr;
}

bool KvLinFile::lookUp(std::string_view name, KvLinetypeDefinition& definition, std::string& error) const {
  const KvLinetypeDefinition* found = find(name);
  const KvLinError* fault = errorFor(name);
  int foundLine = 0;
  if (found) foundLine = definitionLines[static_cast<size_t>(found - definitions.data())];
  if (fault && (!found || fault->line < foundLine)) {
    error = fault->text();
    return false;
  }
  if (!found) {
    error = "the file defines no linetype " + std::string(Trim(name));
    return false;
  }
  definition = *found;
  return true;
}

void ParseLinText(std::string_view text, KvLinFile& file) {
  file.definitions.clear();
  file.definitionLines.clear();
  file.errors.clear();
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);

  struct Pending {
    std::string name, description;
    int line = 0;
    bool broken = false;  // the header itself was bad: its pattern line is swallowed silently
  };
  std::optional<Pending> pending;
  auto missingPattern = [&](const Pending& p) {
    if (!p.broken) file.errors.push_back({p.line, p.name, "the header line is not followed by a pattern line"});
  };

  int lineNo = 0;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view raw = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNo;
    if (end == text.size() && raw.empty() && lineNo > 1) break;  // after the last line end
    const std::string line = Trim(raw);
    if (line.empty() || line[0] == ';') continue;

    if (line[0] == '*') {
      if (pending) missingPattern(*pending);
      Pending header;
      header.line = lineNo;
      std::string error;
      if (!ParseLinetypeHeader(line, header.name, header.description, error)) {
        file.errors.push_back({lineNo, "", error});
        header.broken = true;
      }
      pending = std::move(header);
      continue;
    }

    if (!pending) {
      file.errors.push_back({lineNo, "",
                             line[0] == 'A' || line[0] == 'a' ? "a pattern line without a header line before it"
                                                              : "a line that is neither a header, a pattern nor a comment"});
      continue;
    }
    Pending header = std::move(*pending);
    pending.reset();
    if (header.broken) continue;
    KvLinetypeDefinition definition;
    definition.name = header.name;
    definition.description = header.description;
    std::string error;
    if (!ParseLinetypePattern(line, definition, error)) {
      file.errors.push_back({lineNo, header.name, error});
      continue;
    }
    file.definitions.push_back(std::move(definition));
    file.definitionLines.push_back(header.line);
  }
  if (pending) missingPattern(*pending);
}

bool ReadLinFile(const std::string& path, KvLinFile& file, std::string* error) {
  std::string bytes;
  if (!ReadFileBytes(path, bytes, error)) return false;
  file.format = DetectTextFormat(bytes);
  std::string utf8;
  std::string decodeError;
  if (!DecodeText(bytes, file.format, utf8, &decodeError)) {
    if (error) *error = path + ": " + decodeError;
    return false;
  }
  ParseLinText(utf8, file);
  return true;
}

bool LoadLinetypeDefinition(const std::string& path, std::string_view name, KvLinetypeDefinition& definition,
                            std::string* error) {
  KvLinFile file;
  if (!ReadLinFile(path, file, error)) return false;
  std::string message;
  if (file.lookUp(name, definition, message)) return true;
  if (error) *error = path + ": " + message;
  return false;
}

}  // namespace tav
