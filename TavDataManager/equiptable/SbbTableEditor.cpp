#include "TavDataManager/equiptable/SbbTableEditor.h"

#include <algorithm>

#include "platform/base/KvStrings.h"
#include "platform/host/KvUserServices.h"

namespace {
ISbbTableEditor* g_editor = nullptr;
}

ISbbTableEditor::~ISbbTableEditor() = default;

ISbbTableEditor* KvGetSbbTableEditor() { return g_editor; }

ISbbTableEditor* KvSetSbbTableEditor(ISbbTableEditor* editor) {
  ISbbTableEditor* previous = g_editor;
  g_editor = editor;
  return previous;
}

CSbbEditorInput MakeEditorInput(const CSbbTable& model) {
  CSbbEditorInput input;
  input.nColumnCount = model.m_nColumnCount;
  input.strTitle = model.m_strTitle;
  input.nTitleRowSpacing = model.m_nTitleRowSpacing;
  input.nHeaderRowSpacing = model.m_nHeaderRowSpacing;
  input.nBodyRowSpacing = model.m_nBodyRowSpacing;
  input.dTitleTextHeight = model.m_dTitleTextHeight;
  input.dHeaderTextHeight = model.m_dHeaderTextHeight;
  input.dBodyTextHeight = model.m_dBodyTextHeight;
  input.names = model.m_names;
  input.columns = model.m_columns;
  input.nDirection = model.m_nDirection;
  input.nBodyRowCount = model.m_nBodyRowCount;
  return input;
}

std::vector<tagSBBGETDATA> MakeEditedRows(const CSbbEditorInput& input, const std::vector<tagSBBGETDATA>& current,
                                          const std::vector<std::vector<std::string>>& texts) {
  const int columns = std::min<int>(std::min<int>(input.nColumnCount, static_cast<int>(input.columns.size())),
                                     kSbbMaxColumns);
  std::vector<tagSBBGETDATA> rows(texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (i < current.size()) rows[i] = current[i];
    for (int j = 0; j < columns; ++j) {
      tagSBBCELL& cell = rows[i].cells[j];
      if (i >= current.size()) {
        cell.strName = input.names[j];
        cell.nFlag = static_cast<int>(input.columns[j].dWidth);
        cell.nKind = tav::EqualsNoCase(input.names[j], "图例") ? 1 : 0;
        cell.id = AcDbObjectId();
      }
      cell.strText = j < static_cast<int>(texts[i].size()) ? texts[i][j] : std::string();
    }
  }
  return rows;
}

int CSbbRowsEditor::Edit(const CSbbEditorInput& input, std::vector<tagSBBGETDATA>& rows) {
  ++calls_;
  input_ = input;
  shown_ = rows;
  if (!accept_) return IDCANCEL;
  rows = MakeEditedRows(input, rows, texts_);
  return IDOK;
}

// ---- CSV ---------------------------------------------------------------------------------------------

namespace {
std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  return "\"" + tav::ReplaceAll(text, "\"", "\"\"") + "\"";
}
}  // namespace

std::string RowsToCsv(const std::vector<std::string>& names, const std::vector<tagSBBGETDATA>& rows) {
  const std::size_t columns = std::min<std::size_t>(names.size(), kSbbMaxColumns);
  std::string out;
  for (std::size_t j = 0; j < columns; ++j) out += (j ? "," : "") + CsvField(names[j]);
  out += "\n";
  for (const tagSBBGETDATA& row : rows) {
    for (std::size_t j = 0; j < columns; ++j) out += (j ? "," : "") + CsvField(row.cells[j].strText);
    out += "\n";
  }
  return out;
}

bool ParseCsv(const std::string& text, std::vector<std::vector<std::string>>& records, std::string* error) {
  records.clear();
  std::vector<std::string> record;
  std::string field;
  bool quoted = false, inQuotes = false, fieldStarted = false;
  int line = 1, recordLine = 1;
  std::size_t i = 0;
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) i = 3;  // a BOM written by spreadsheet programs
  auto endRecord = [&] {
    record.push_back(field);
    records.push_back(std::move(record));
    record.clear();
    field.clear();
    quoted = fieldStarted = false;
  };
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (inQuotes) {
      if (c == '"') {
        if (i + 1 < text.size() && text[i + 1] == '"') {
          field += '"';
          ++i;
        } else {
          inQuotes = false;
        }
      } else {
        if (c == '\n') ++line;
        field += c;
      }
      continue;
    }
    if (c == '"') {
      if (fieldStarted || quoted) {
        if (error) *error = "line " + std::to_string(line) + ": quote inside an unquoted field";
        records.clear();
        return false;
      }
      quoted = inQuotes = fieldStarted = true;
    } else if (c == ',') {
      record.push_back(field);
      field.clear();
      quoted = fieldStarted = false;
    } else if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      endRecord();
      recordLine = ++line;
    } else {
      if (quoted) {
        if (error) *error = "line " + std::to_string(line) + ": text after a closing quote";
        records.clear();
        return false;
      }
      field += c;
      fieldStarted = true;
    }
  }
  if (inQuotes) {
    if (error) *error = "line " + std::to_string(recordLine) + ": quoted field not closed";
    records.clear();
    return false;
  }
  if (fieldStarted || quoted || !record.empty()) endRecord();
  return true;
}

bool CsvToTexts(const std::vector<std::vector<std::string>>& records, const std::vector<std::string>& names,
                std::vector<std::vector<std::string>>& texts, std::string* error) {
  texts.clear();
  if (records.empty()) {
    if (error) *error = "no header line";
    return false;
  }
  const std::vector<std::string>& header = records.front();
  std::vector<bool> used(header.size(), false);
  std::vector<std::size_t> source(names.size());
  for (std::size_t j = 0; j < names.size(); ++j) {
    std::size_t k = 0;
    while (k < header.size() && (used[k] || header[k] != names[j])) ++k;
    if (k == header.size()) {
      if (error) *error = "column \"" + names[j] + "\" missing from the header line";
      return false;
    }
    used[k] = true;
    source[j] = k;
  }
  for (std::size_t k = 0; k < header.size(); ++k) {
    if (!used[k]) {
      if (error) *error = "column \"" + header[k] + "\" is not a column of the table";
      return false;
    }
  }
  for (std::size_t r = 1; r < records.size(); ++r) {
    if (records[r].size() != header.size()) {
      if (error)
        *error = "record " + std::to_string(r + 1) + ": " + std::to_string(records[r].size()) + " fields, " +
                 std::to_string(header.size()) + " expected";
      texts.clear();
      return false;
    }
    std::vector<std::string> row(names.size());
    for (std::size_t j = 0; j < names.size(); ++j) row[j] = records[r][source[j]];
    texts.push_back(std::move(row));
  }
  return true;
}
