// The platform's process-wide configuration and the files behind it.
#pragma once

class KvDtDictionary;
class KvDtUIConfig;
class KvDtUIDictionary;

// The options configuration ("Config.xml").
extern KvDtDictionary g_dictCfg;
// The user-interface configuration ("UIConfig.xml").
extern KvDtUIConfig g_dbCfgUI;
// The UI configuration's dictionary item (kind "VenoDictionary") with its embedded dictionary; null
// until a UI configuration with one has been loaded.
extern KvDtUIDictionary* g_pUiDictionary;
// The language dictionary of the module whose resources are current (see KvUtPushResource); may be null.
extern KvDtDictionary* g_pCurModuleLang;

// Writes g_dictCfg to the "Config.xml" that FindFile finds; when there is none, to the user's folder.
// True on success.
bool SaveConfig();
// Reads g_dictCfg from the "Config.xml" that FindFile finds. On failure g_dictCfg keeps what it had.
bool LoadConfig();
// Writes g_dbCfgUI to the "UIConfig.xml" that FindFile finds; when there is none, to the user's folder.
bool SaveUIConfig();
// Reads g_dbCfgUI (and g_pUiDictionary) from the "UIConfig.xml" that FindFile finds.
bool LoadUIConfig();
// The add-on's data layer reloads its defaults (pipe systems, statistics settings) from g_dictCfg.
void TavLoadDefaultData();
