// Where the system's files live.
//
// The main directory is the installation's data (linetype files, icons, the default configuration,
// sample drawings). The user's configuration folder holds the user's own copies of "Config.xml" and
// "UIConfig.xml"; saving never writes into the main directory.
#pragma once

#include <string>

// The add-on's main directory, always ending in '/'. Chosen in this order: SetMainDirectory,
// the environment variable TAV_MAIN_DIR, the main directory of the source tree this build came from.
std::string GetMainDirectory();

// Looks for `fileName` (a name or a backslash relative path) first in the user's configuration folder,
// then in the main directory. True and the full path when found; false and `fullPath` untouched if not.
bool FindFile(const std::string& fileName, std::string& fullPath);

namespace tav {

void SetMainDirectory(const std::string& folder);  // "" returns to the default choice

// The user's configuration folder, ending in '/'. Chosen in this order: SetUserConfigDirectory,
// the environment variable TAV_CONFIG_DIR, $XDG_CONFIG_HOME/TavDataManager, ~/.config/TavDataManager.
std::string GetUserConfigDirectory();
void SetUserConfigDirectory(const std::string& folder);  // "" returns to the default choice

// Copies "Config.xml" and "UIConfig.xml" from the main directory into the user's folder when the user
// has no copy yet (creating the folder). Existing user files are never touched. True if, afterwards,
// every file that the main directory has also exists in the user's folder.
bool SeedUserConfig(std::string* error = nullptr);

}  // namespace tav
