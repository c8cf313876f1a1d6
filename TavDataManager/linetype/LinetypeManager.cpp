#include "TavDataManager/linetype/LinetypeManager.h"

#include "TavDataManager/linetype/LinetypeOptionUtility.h"
#include "platform/base/KvFile.h"
#include "platform/config/KvPaths.h"
#include "platform/host/KvUserServices.h"

const std::array<const char*, 9> kTavLinetypeParameterLabels = {
    " 划线长度①", " 空移长度②", " 空移长度③", " 文字内容", " 文字样式",
    " 文字比例",   " 文字角度",   " 文字偏移X",  " 文字偏移Y"};

const std::array<const char*, 4> kTavLinetypeFileSet = {"Common\\AcadISO.Lin", "Common\\Acad.Lin", "PLX\\Hexa.Lin",
                                                        "PLX\\HexaISO.Lin"};

KvLinetypeReporter::~KvLinetypeReporter() = default;

void KvMessageBoxLinetypeReporter::ShowMessage(const std::string& text, const std::string& caption, Icon icon) {
  KvMessageBox(text, caption, MB_OK | (icon == Icon::Error ? MB_ICONERROR : MB_ICONINFORMATION));
}

TavLinetypeParameters TavDefaultLinetypeParameters() { return TavLinetypeParametersOf(_GpLinetypeData{}); }

TavLinetypeParameters TavLinetypeParametersOf(const _GpLinetypeData& d) {
  return {d.strDashLength1, d.strSpaceLength2, d.strSpaceLength3, d.strText,       d.strTextStyle,
          d.strTextScale,   d.strTextRotation, d.strTextOffsetX,  d.strTextOffsetY};
}

static std::string StyleOf(const TavLinetypeParameters& rows) {
  return rows[kParamTextStyle].empty() ? std::string("Standard") : rows[kParamTextStyle];
}

static void TakeParameters(const TavLinetypeParameters& rows, _GpLinetypeData& d) {
  d.strDashLength1 = rows[kParamDashLength1];
  d.strSpaceLength2 = rows[kParamSpaceLength2];
  d.strSpaceLength3 = rows[kParamSpaceLength3];
  d.strTextStyle = StyleOf(rows);
  d.strTextScale = rows[kParamTextScale];
  d.strTextRotation = rows[kParamTextRotation];
  d.strTextOffsetX = rows[kParamTextOffsetX];
  d.strTextOffsetY = rows[kParamTextOffsetY];
}

bool TavParametersOfListed(const CLinetypeOptionUtility& utility, const std::string& name, TavLinetypeParameters& rows) {
  for (const auto& d : utility.Linetypes()) {
    if (d.strName == name) {
      rows = TavLinetypeParametersOf(d);
      return true;
    }
  }
  return false;
}

bool TavLoadOwnLinetypes(CLinetypeOptionUtility& utility) {
  return utility.LoadFromLinFile(GetMainDirectory() + tav::ToNativePath(kTavStandardLinFile), false);
}

bool TavCreateLinetype(CLinetypeOptionUtility& utility, const TavLinetypeParameters& rows,
                       KvLinetypeReporter& reporter, _GpLinetypeData* created) {
  const std::string& text = rows[kParamText];
  if (text.empty()) {
    reporter.ShowMessage(kTavLinetypeEmptyText, kTavErrorCaption, KvLinetypeReporter::Icon::Error);
    return false;
  }
  const std::string name = "TAV_" + text;
  if (utility.HasLinetype(name)) {
    reporter.ShowMessage(kTavLinetypeDuplicate, kTavErrorCaption, KvLinetypeReporter::Icon::Error);
    return false;
  }
  _GpLinetypeData d;
  d.strName = name;
  d.strDescription = "------ " + text + " ------";
  d.strText = text;
  TakeParameters(rows, d);
  utility.AddLinetype(d);
  if (created) *created = d;
  return true;
}

bool TavModifyLinetype(CLinetypeOptionUtility& utility, const std::string& name, const TavLinetypeParameters& rows) {
  _GpLinetypeData d;
  if (!utility.GetLinetype(name, d)) return false;
  TakeParameters(rows, d);
  utility.SetLinetype(name, d);
  return true;
}

bool TavDeleteLinetype(CLinetypeOptionUtility& utility, const std::string& name) {
  return utility.RemoveLinetype(name);
}

int TavRowSelectedAfterDelete(int removedRow, int rowsLeft) {
  if (rowsLeft <= 0) return -1;
  const int row = removedRow <= 0 ? 0 : removedRow - 1;
  return row < rowsLeft ? row : rowsLeft - 1;
}

int TavImportLinetypeFile(CLinetypeOptionUtility& utility, const std::string& path, KvLinetypeReporter& reporter) {
  const int before = utility.GetCount();
  utility.LoadFromLinFile(path, true);
  reporter.ShowMessage(kTavLinetypeImportDone, kTavLinetypeCaption, KvLinetypeReporter::Icon::Information);
  return utility.GetCount() - before;
}

int TavSaveLinetypeFileSet(const CLinetypeOptionUtility& utility) {
  const std::string main = GetMainDirectory();
  int written = 0;
  for (const char* file : kTavLinetypeFileSet)
    if (utility.SaveToLinFile(main + tav::ToNativePath(file))) ++written;
  return written;
}
