// The module's command handlers and its command table.
#pragma once

#include "platform/host/KvArx.h"

// TavConfig: the options dialog.
void TavConfigCommand();
// TavDwgSetting: the drawing settings dialog.
void TavDwgSettingCommand();
// TavLinetype: the linetype manager.
void TavLinetypeCommand();
// XG: edit an equipment table found in the drawing.
void TavXGCommand();

// The group the commands are registered in.
inline constexpr const char* kTavCommandGroup = "TavDataManager";
// The four commands: TavConfig (0), TavDwgSetting (2), TavLinetype (0), XG (0).
extern const KvCmdTableEntry KvCmdTable[4];
