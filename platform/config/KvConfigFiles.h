// The platform's process-wide configuration and the files behind it.
#pragma once

#include <functional>
#include <string>

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

// Writes g_dictCfg (atomically) to the "Config.xml" that FindFile finds when that is the user's copy;
// otherwise (found only in the main directory, or not at all) to the user's folder, which is created
// when missing. Never writes into the main directory. True on success; tav::LastConfigFileError() says why not.
bool SaveConfig();
// Reads g_dictCfg from the "Config.xml" that FindFile finds. On failure g_dictCfg keeps what it had.
bool LoadConfig();
// Writes g_dbCfgUI to "UIConfig.xml", chosen as SaveConfig chooses "Config.xml".
bool SaveUIConfig();
// Reads g_dbCfgUI (and points g_pUiDictionary at its first "VenoDictionary") from the "UIConfig.xml"
// that FindFile finds. On failure g_dbCfgUI keeps what it had.
bool LoadUIConfig();
// The add-on's data layer reloads its defaults (pipe systems, statistics settings) from g_dictCfg: runs
// every listener registered with tav::AddDefaultDataListener; nothing happens when none is registered.
void TavLoadDefaultData();

namespace tav {

// Where SaveConfig/SaveUIConfig write `fileName`: the file FindFile finds when it is in the user's
// folder; otherwise (found only in the main directory, or not found) the user's folder. "" when
// there is no user folder.
std::string ConfigSavePath(const std::string& fileName);
// The message of the last failed SaveConfig, LoadConfig, SaveUIConfig or LoadUIConfig (names the
// file and, for a malformed file, the position); "" after a success.
const std::string& LastConfigFileError();

// The data layer registers what TavLoadDefaultData runs (reloading its defaults from g_dictCfg).
// Returns an id for RemoveDefaultDataListener. Listeners run in the order they were added.
int AddDefaultDataListener(std::function<void()> listener);
void RemoveDefaultDataListener(int id);

}  // namespace tav
