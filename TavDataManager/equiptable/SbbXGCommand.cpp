#include "TavDataManager/equiptable/SbbXGCommand.h"

#include "TavDataManager/equiptable/SbbRecognition.h"
#include "TavDataManager/equiptable/SbbTableEditor.h"
#include "platform/host/KvCommandLine.h"
#include "platform/host/KvSelection.h"
#include "platform/host/KvUserServices.h"

namespace {

// The handle text of a table entity's QLV_SBBHANDLE chain; "" when the entity is none.
std::string TableHandleOf(const AcDbObjectId& id) {
  KvResbufPtr chain(FindTableHandle(id));
  if (!chain || chain->rbnext == nullptr) return {};
  return KvRbString(chain->rbnext);
}

// The implied selection's first entity, when it belongs to a table.
std::string ImpliedTableHandle() {
  ads_name ss = {0, 0};
  if (acedSSGet("I", nullptr, nullptr, nullptr, ss) != RTNORM) return {};
  const AcDbObjectIdArray ids = tav::host::SelectionIds(ss);
  acedSSFree(ss);
  if (ids.empty()) return {};
  return TableHandleOf(ids.front());
}

}  // namespace

int SbbEditTableCommand() {
  AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
  if (db == nullptr) return IDCANCEL;
  std::string handle = ImpliedTableHandle();
  while (handle.empty()) {
    ads_name entity = {0, 0};
    ads_point point = {0, 0, 0};
    if (acedEntSel("\n选择要编辑的设备表:", entity, point) != RTNORM) return IDCANCEL;
    AcDbObjectId id;
    if (acdbGetObjectId(id, entity) == Acad::eOk) handle = TableHandleOf(id);
    if (handle.empty()) acutPrintf("%s", "\n选择错误,请重新选择");
  }

  CSbbTable model(db);
  AcGePoint3d base;
  double angle = 0;
  if (!CollectTable(handle, base, angle, model.m_selection, db)) {
    acedAlert("搜索表格元素失败!");
    return IDCANCEL;
  }
  TurnSelection(model.m_selection, base, -angle);
  if (!RecognizeTable(model, handle)) {
    acedAlert("错误:\n\n所选择的设备表不完整,不能记取设备信息!");
    TurnSelection(model.m_selection, base, angle);
    return IDCANCEL;
  }
  std::vector<tagSBBGETDATA> rows = ExtractRows(model);
  int result = IDCANCEL;
  if (ISbbTableEditor* editor = KvGetSbbTableEditor()) {
    result = editor->Edit(MakeEditorInput(model), rows);
  } else {
    acutPrintf("%s", "\n设备表全屏编辑对话框尚未提供。");
  }
  if (result == IDOK) model.WriteBackTable(rows);
  acutPrintf("%s", "\n设备表编辑完成!");
  TurnSelection(model.m_selection, base, angle);
  model.m_selection.clear();
  return result == IDOK ? IDOK : IDCANCEL;
}
