// The editor XG hands a recognised table to, and a CSV form of the rows.
//
// The host's full-screen editor ("设备表全屏编辑") implements ISbbTableEditor and makes itself current
// with KvSetSbbTableEditor; tavtool and the tests use CSbbRowsEditor, which answers with rows given in
// advance (for example read from a CSV file).
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "TavDataManager/equiptable/CSbbTable.h"

// What the editor is given besides the rows: a copy of the table's style.
struct CSbbEditorInput {
  int nColumnCount = 0;
  std::string strTitle;
  int nTitleRowSpacing = 0, nHeaderRowSpacing = 0, nBodyRowSpacing = 0;
  double dTitleTextHeight = 0, dHeaderTextHeight = 0, dBodyTextHeight = 0;
  std::vector<std::string> names;
  std::vector<tagLIEBIAODETAILDATA> columns;
  int nDirection = 0;
  int nBodyRowCount = 0;
};

// The style copy of a recognised table.
CSbbEditorInput MakeEditorInput(const CSbbTable& model);

class ISbbTableEditor {
 public:
  virtual ~ISbbTableEditor();
  // Shows the rows for editing. Returns IDOK with `rows` holding the edited rows, or IDCANCEL (rows
  // then do not matter).
  virtual int Edit(const CSbbEditorInput& input, std::vector<tagSBBGETDATA>& rows) = 0;
};

// The editor XG uses; null when none is set.
ISbbTableEditor* KvGetSbbTableEditor();
// Makes `editor` current (not owned; null removes it). Returns the previous one.
ISbbTableEditor* KvSetSbbTableEditor(ISbbTableEditor* editor);

// Scope guard for KvSetSbbTableEditor.
class KvSbbTableEditorScope {
 public:
  explicit KvSbbTableEditorScope(ISbbTableEditor* editor) : previous_(KvSetSbbTableEditor(editor)) {}
  ~KvSbbTableEditorScope() { KvSetSbbTableEditor(previous_); }
  KvSbbTableEditorScope(const KvSbbTableEditorScope&) = delete;
  KvSbbTableEditorScope& operator=(const KvSbbTableEditorScope&) = delete;

 private:
  ISbbTableEditor* previous_;
};

// An editor that answers with texts given in advance: row i of the answer takes the texts of
// `texts[i]` (one per column, in column order). Rows present in the table keep their cells' kinds
// and ids; further rows are new (kind 1 in a 图例 column, else 0, no ids). With `accept` false it
// answers IDCANCEL. It records what it was shown.
class CSbbRowsEditor : public ISbbTableEditor {
 public:
  CSbbRowsEditor(std::vector<std::vector<std::string>> texts, bool accept = true)
      : texts_(std::move(texts)), accept_(accept) {}
  int Edit(const CSbbEditorInput& input, std::vector<tagSBBGETDATA>& rows) override;

  int calls() const { return calls_; }
  const CSbbEditorInput& shownInput() const { return input_; }
  const std::vector<tagSBBGETDATA>& shownRows() const { return shown_; }

 private:
  std::vector<std::vector<std::string>> texts_;
  bool accept_;
  int calls_ = 0;
  CSbbEditorInput input_;
  std::vector<tagSBBGETDATA> shown_;
};

// Builds edited rows from texts, as CSbbRowsEditor does.
std::vector<tagSBBGETDATA> MakeEditedRows(const CSbbEditorInput& input, const std::vector<tagSBBGETDATA>& current,
                                          const std::vector<std::vector<std::string>>& texts);

// ---- CSV -----------------------------------------------------------------------------------------
// RFC 4180 style: fields separated by ',', a field holding ',', '"', CR or LF is quoted with '"'
// doubled inside; lines end with "\n". UTF-8.

// The header line (column names) and one line per row (cell texts).
std::string RowsToCsv(const std::vector<std::string>& names, const std::vector<tagSBBGETDATA>& rows);
// Reads CSV text into records of fields. False with `error` (line number and fault) on an unclosed
// quote or a stray quote inside an unquoted field.
bool ParseCsv(const std::string& text, std::vector<std::vector<std::string>>& records, std::string* error);
// Takes the header record as column names and orders each further record's fields by the table's
// columns. Every table column must appear in the header exactly once, and every record must have as
// many fields as the header; otherwise false with `error`.
bool CsvToTexts(const std::vector<std::vector<std::string>>& records, const std::vector<std::string>& names,
                std::vector<std::vector<std::string>>& texts, std::string* error);
