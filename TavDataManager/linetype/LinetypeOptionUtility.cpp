#include "TavDataManager/linetype/LinetypeOptionUtility.h"

#include <string_view>

#include "TavDataManager/linetype/KvLinetypeLoader.h"
#include "TavDataManager/linetype/TavNum2Str.h"
#include "platform/base/KvEncoding.h"
#include "platform/base/KvFile.h"
#include "platform/base/KvStrings.h"
#include "platform/cad/lin/KvLinetypeDefinition.h"
#include "platform/config/KvPaths.h"
#include "platform/host/KvCommandLine.h"

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// One line of a file's bytes: its content without line end (and without a BOM on the first line) and
// where the next line starts.
struct RawLine {
  std::string_view content;
  size_t next = 0;
};

RawLine NextRawLine(std::string_view bytes, size_t pos) {
  const size_t nl = bytes.find('\n', pos);
  const size_t end = nl == std::string_view::npos ? bytes.size() : nl;
  std::string_view content = bytes.substr(pos, end - pos);
  if (!content.empty() && content.back() == '\r') content.remove_suffix(1);
  if (pos == 0 && content.substr(0, kUtf8Bom.size()) == kUtf8Bom) content.remove_prefix(kUtf8Bom.size());
  return {content, nl == std::string_view::npos ? bytes.size() : nl + 1};
}

// The lines of a file as UTF-8 text, line ends and BOM removed. False if the file cannot be read or its
// bytes are not text in the encoding they were detected as.
bool ReadTextLines(const std::string& path, std::vector<std::string>& lines) {
  std::string bytes;
  if (!tav::ReadFileBytes(path, bytes)) return false;
  std::string text;
  if (!tav::DecodeText(bytes, tav::DetectTextFormat(bytes), text)) return false;
  lines.clear();
  for (size_t pos = 0; pos < text.size();) {
    const RawLine line = NextRawLine(text, pos);
    lines.emplace_back(line.content);
    pos = line.next;
  }
  return true;
}

// The name a header line gives: a line beginning with "*" that holds a ",", the text between the two.
bool HeaderName(const std::string& line, std::string& name) {
  if (line.empty() || line[0] != '*') return false;
  const size_t comma = line.find(',');
  if (comma == std::string::npos) return false;
  name = line.substr(1, comma - 1);
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------------------------------

std::string _GpLinetypeData::HeaderLine() const { return "*" + strName + "," + strDescription; }

std::string _GpLinetypeData::PatternLine() const {
  return "A," + strDashLength1 + "," + strSpaceLength2 + ",[\"" + strText + "\"," + strTextStyle +
         ",S=" + strTextScale + ",R=" + strTextRotation + ",X=" + strTextOffsetX + ",Y=" + strTextOffsetY +
         "]," + strSpaceLength3;
}

// ---------------------------------------------------------------------------------------------------

CLinetypeOptionUtility::CLinetypeOptionUtility() = default;
CLinetypeOptionUtility::CLinetypeOptionUtility(KvLinetypeLoader& loader) : m_loader(&loader) {}
CLinetypeOptionUtility::~CLinetypeOptionUtility() = default;

KvLinetypeLoader& CLinetypeOptionUtility::Loader() const { return m_loader ? *m_loader : GetLinetypeLoader(); }

bool CLinetypeOptionUtility::SaveToLinFile(const std::string& path) const {
  std::string bytes;
  if (!tav::ReadFileBytes(path, bytes)) return false;
  tav::TextFormat format = tav::DetectTextFormat(bytes);

  // Foreign content: every byte up to and including the first marker line.
  size_t keep = bytes.size();
  for (size_t pos = 0; pos < bytes.size();) {
    const RawLine line = NextRawLine(bytes, pos);
    if (line.content == kTavLinetypeMarker) {
      keep = line.next;
      break;
    }
    pos = line.next;
  }
  const bool hasLineEnd = bytes.find('\n') != std::string::npos;
  const std::string eol = !hasLineEnd || format.crlf ? "\r\n" : "\n";
  std::string out = bytes.substr(0, keep);
  if (!out.empty() && out.back() != '\n') out += eol;

  // Own section, in the file's encoding (the BOM, if any, is already in the kept bytes).
  std::string section;
  for (const auto& record : m_linetypes) {
    section += record.HeaderLine() + eol;
    section += record.PatternLine() + eol;
  }
  format.bom = false;
  std::string encoded;
  if (!tav::EncodeText(section, format, encoded)) return false;
  out += encoded;
  return tav::WriteFileAtomic(path, out);
}

void CLinetypeOptionUtility::CollectStandardNames(std::vector<std::string>& names) const {
  std::vector<std::string> lines;
  if (!ReadTextLines(GetMainDirectory() + tav::ToNativePath(kTavStandardLinFile), lines)) return;
  std::string name;
  for (const auto& line : lines)
    if (!line.empty() && HeaderName(line, name)) names.push_back(name);
}

bool CLinetypeOptionUtility::LoadFromLinFile(const std::string& path, bool userImport) {
  std::vector<std::string> excluded;
  if (userImport) CollectStandardNames(excluded);

  std::vector<std::string> lines;
  if (!ReadTextLines(path, lines)) return false;
  std::vector<std::string> candidates;
  bool counting = userImport;
  std::string name;
  for (const auto& line : lines) {
    if (line.empty()) continue;
    if (!counting) {
      if (line == kTavLinetypeMarker) counting = true;
      continue;
    }
    if (!HeaderName(line, name)) continue;
    bool standard = false;
    for (const auto& e : excluded) standard = standard || e == name;
    if (!standard) candidates.push_back(name);
  }

  KvLinetypeLoader& loader = Loader();
  const bool locked = loader.LockDocument();
  int loaded = 0;
  for (const auto& candidate : candidates) {
    if (HasLinetype(candidate)) continue;
    if (!loader.LoadLineTypeFile(candidate, path)) continue;
    ReadFromDatabase(candidate);
    ++loaded;
  }
  if (locked) loader.UnlockDocument();

  if (userImport && loaded == 0) {
    acutPrintf("%s", kTavNoLinetypeImported);
    acedPostCommandPrompt();
  }
  return true;
}

void CLinetypeOptionUtility::ReadFromDatabase(const std::string& name) {
  KvLinetypeLoader& loader = Loader();
  _GpLinetypeData data;
  tav::KvLinetypeDefinition record;
  if (!loader.GetLinetypeRecord(name, record)) return;
  data.strName = record.name;
  data.strDescription = record.comments();
  switch (record.numDashes()) {
    case 1:
      data.strDashLength1 = TavNum2Str(record.dashLengthAt(0), -1);
      data.strSpaceLength2 = "0";
      data.strSpaceLength3 = "0";
      break;
    case 2:
      data.strDashLength1 = TavNum2Str(record.dashLengthAt(0), -1);
      data.strSpaceLength2 = "0";
      data.strSpaceLength3 = TavNum2Str(record.dashLengthAt(1), -1);
      break;
    case 3:
      data.strDashLength1 = TavNum2Str(record.dashLengthAt(0), -1);
      data.strSpaceLength2 = TavNum2Str(record.dashLengthAt(1), -1);
      data.strSpaceLength3 = TavNum2Str(record.dashLengthAt(2), -1);
      break;
    default:
      loader.EraseLinetype(name);
      return;
  }
  for (int i = 0; i < record.numDashes(); ++i) {
    if (!record.hasTextAt(i)) continue;
    data.strText = record.textAt(i);
    const std::string style = record.shapeStyleAt(i);
    if (!style.empty()) data.strTextStyle = style;
    data.strTextScale = TavNum2Str(record.shapeScaleAt(i), -1);
    data.strTextRotation = TavNum2Str(tav::RadiansToDegrees(record.shapeRotationAt(i)), -1);
    const tav::KvLinetypeOffset offset = record.shapeOffsetAt(i);
    data.strTextOffsetX = TavNum2Str(offset.x, -1);
    data.strTextOffsetY = TavNum2Str(offset.y, -1);
    break;
  }
  m_linetypes.push_back(data);
  loader.EraseLinetype(name);
}

int CLinetypeOptionUtility::IndexOf(const std::string& name) const {
  for (size_t i = 0; i < m_linetypes.size(); ++i)
    if (tav::EqualsNoCase(m_linetypes[i].strName, name)) return static_cast<int>(i);
  return -1;
}

bool CLinetypeOptionUtility::HasLinetype(const std::string& name) const { return IndexOf(name) >= 0; }

bool CLinetypeOptionUtility::GetLinetype(const std::string& name, _GpLinetypeData& data) const {
  const int i = IndexOf(name);
  if (i < 0) return false;
  data = m_linetypes[static_cast<size_t>(i)];
  return true;
}

void CLinetypeOptionUtility::SetLinetype(const std::string& name, const _GpLinetypeData& data) {
  const int i = IndexOf(name);
  if (i >= 0) m_linetypes[static_cast<size_t>(i)] = data;
}

bool CLinetypeOptionUtility::RemoveLinetype(const std::string& name) {
  const int i = IndexOf(name);
  if (i < 0) return false;
  m_linetypes.erase(m_linetypes.begin() + i);
  return true;
}

void CLinetypeOptionUtility::AddLinetype(const _GpLinetypeData& data) { m_linetypes.push_back(data); }
