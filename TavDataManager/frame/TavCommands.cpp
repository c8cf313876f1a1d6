#include "TavDataManager/frame/TavCommands.h"

#include "TavDataManager/frame/KvDialogRegistry.h"
#include "TavDataManager/frame/KvUtPushResource.h"
#include "TavDataManager/frame/TavModuleState.h"
#include "platform/config/KvConfigFiles.h"
#include "platform/host/KvCommandLine.h"

const KvCmdTableEntry KvCmdTable[4] = {
    {"TavConfig", &TavConfigCommand, 0},
    {"TavDwgSetting", &TavDwgSettingCommand, 2},
    {"TavLinetype", &TavLinetypeCommand, 0},
    {"XG", &TavXGCommand, 0},
};

namespace {

// Shows the dialog; without a registered one, says so and answers as a cancelled dialog.
KvDialogOutcome ShowDialog(KvFrameDialog dialog, const char* notAvailable) {
  if (std::optional<KvDialogOutcome> outcome = KvRunDialog(dialog)) return *outcome;
  acutPrintf("%s", notAvailable);
  return KvDialogOutcome{};
}

// After an import or a restore of defaults applied user-interface items: save them and let the host
// reload its interface once the command has ended.
void ReloadUserInterface() {
  SaveUIConfig();
  acedPostCommand("KvLoadUI\r");
}

}  // namespace

void TavConfigCommand() {
  SaveConfig();
  KvUtPushResource guard(TavGetResourceInstance());
  KvDialogOutcome outcome = ShowDialog(KvFrameDialog::kOptions, "\n选项配置对话框尚未提供。");
  LoadConfig();
  if (outcome.result == IDOK) acedCommand(RTSTR, ".REGEN", RTNONE);
  if (outcome.configReplaced) ReloadUserInterface();
}

void TavDwgSettingCommand() {
  KvUtPushResource guard(TavGetResourceInstance());
  KvDialogOutcome outcome = ShowDialog(KvFrameDialog::kDrawingSettings, "\n图形设置对话框尚未提供。");
  if (outcome.result == IDOK) acedCommand(RTSTR, "REGEN", RTNONE);
  if (outcome.configReplaced) ReloadUserInterface();
}

void TavLinetypeCommand() {
  KvUtPushResource guard(TavGetResourceInstance());
  ShowDialog(KvFrameDialog::kLinetype, "\n线型管理对话框尚未提供。");
}

void TavXGCommand() {
  KvUtPushResource guard(TavGetResourceInstance());
  ShowDialog(KvFrameDialog::kEquipmentTable, "\n设备表编辑尚未提供。");
}
