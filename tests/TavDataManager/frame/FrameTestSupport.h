// Loading the plug-in for the frame tests.
#pragma once

#include <string>

#include "platform/host/KvAppLoader.h"

namespace tav::test {

inline std::string PluginPath() { return std::string(TAV_BINARY_DIR) + "/bin/libTavDataManager.so"; }

inline const char* kGroup = "TavDataManager";

}  // namespace tav::test
