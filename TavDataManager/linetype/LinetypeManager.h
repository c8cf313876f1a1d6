// The operations of the linetype manager ("线型管理") over a linetype utility and the nine parameter rows
// of its parameter grid. The dialog calls them from its buttons; tavtool calls them from the command line.
#pragma once

#include <array>
#include <string>

#include "TavDataManager/linetype/LinetypeData.h"

class CLinetypeOptionUtility;

// The nine parameter rows, in grid order: dash length (1), space length (2), space length (3), text,
// text style, text scale, text rotation, text offset X, text offset Y.
using TavLinetypeParameters = std::array<std::string, 9>;

enum TavLinetypeParameterRow {
  kParamDashLength1 = 0,
  kParamSpaceLength2,
  kParamSpaceLength3,
  kParamText,
  kParamTextStyle,
  kParamTextScale,
  kParamTextRotation,
  kParamTextOffsetX,
  kParamTextOffsetY,
};

// The labels of the rows (column "参数"), each beginning with one blank.
extern const std::array<const char*, 9> kTavLinetypeParameterLabels;

// The linetype files the manager saves on OK, in order, relative to the main directory.
extern const std::array<const char*, 4> kTavLinetypeFileSet;

// Messages and captions of the manager.
inline constexpr const char* kTavLinetypeCaption = "线型管理";
inline constexpr const char* kTavErrorCaption = "错误";
inline constexpr const char* kTavLinetypeEmptyText = "添加线型失败：文字为空！";
inline constexpr const char* kTavLinetypeDuplicate = "添加线型失败：重复的定义！";
inline constexpr const char* kTavLinetypeImportDone = "导入完成！";

// Where the manager's messages go: the dialog shows message boxes, tavtool prints them.
class KvLinetypeReporter {
 public:
  enum class Icon { Error, Information };
  virtual ~KvLinetypeReporter();
  virtual void ShowMessage(const std::string& text, const std::string& caption, Icon icon) = 0;
};

// The reporter that shows message boxes through the host's user services.
class KvMessageBoxLinetypeReporter : public KvLinetypeReporter {
 public:
  void ShowMessage(const std::string& text, const std::string& caption, Icon icon) override;
};

// The rows' initial values: "50", "0", "-4", "", "Standard", "2", "0", "1.1", "-1".
TavLinetypeParameters TavDefaultLinetypeParameters();
// The rows that show a record (its nine parameter fields).
TavLinetypeParameters TavLinetypeParametersOf(const _GpLinetypeData& data);

// Selection changed: the rows of the first record whose name equals `name` exactly (case-sensitive, as
// the list shows it). False and `rows` untouched if there is none.
bool TavParametersOfListed(const CLinetypeOptionUtility& utility, const std::string& name, TavLinetypeParameters& rows);

// The dialog's first step: the own section of "Common\\AcadISO.Lin" under the main directory.
bool TavLoadOwnLinetypes(CLinetypeOptionUtility& utility);

// Create: name "TAV_" + text, description "------ " + text + " ------", the other fields from the rows
// as typed (style "Standard" when row 4 is empty); appended at the end. Refused with a message for an
// empty text or a name already listed (case-insensitive). True if appended; `created` gets the record.
bool TavCreateLinetype(CLinetypeOptionUtility& utility, const TavLinetypeParameters& rows,
                       KvLinetypeReporter& reporter, _GpLinetypeData* created = nullptr);

// Modify the record `name`: the lengths, style (row 4, "Standard" if empty), scale, rotation and offsets
// from the rows; name, description and text stay. False if no record has that name.
bool TavModifyLinetype(CLinetypeOptionUtility& utility, const std::string& name, const TavLinetypeParameters& rows);

// Delete the record `name` without confirmation. False if no record has that name.
bool TavDeleteLinetype(CLinetypeOptionUtility& utility, const std::string& name);
// The row selected after row `removedRow` was deleted and `rowsLeft` rows remain: the row above, or the
// first row when the first was deleted; -1 when no row remains.
int TavRowSelectedAfterDelete(int removedRow, int rowsLeft);

// Import a user's linetype file (standard names and listed names skipped), then "导入完成！" with the
// caption "线型管理", also when nothing was loaded. Returns the number of records added.
int TavImportLinetypeFile(CLinetypeOptionUtility& utility, const std::string& path, KvLinetypeReporter& reporter);

// OK: saves the list into the four files of the set, in order, under the main directory. Files that do
// not exist are not created. Returns how many files were written.
int TavSaveLinetypeFileSet(const CLinetypeOptionUtility& utility);
