// A plug-in for the loader tests. It registers the group "HOSTTESTAPP" with one command, records every
// message it is sent, and refuses initialisation when HOST_TEST_APP_REFUSE is set.
#include <cstdlib>

#include "platform/host/KvArx.h"
#include "platform/host/KvCommandLine.h"

extern "C" {
__attribute__((visibility("default"))) int g_hostTestAppMessages[16];
__attribute__((visibility("default"))) void* g_hostTestAppLastId;
}

namespace {
void Hello() { acutPrintf("\nhello from %s", "HostTestApp"); }
const KvCmdTableEntry kTable[] = {{"HostHello", &Hello, ACRX_CMD_TRANSPARENT}};
}  // namespace

extern "C" __attribute__((visibility("default"))) AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode message,
                                                                                  void* appId) {
  if (message >= 0 && message < 16) ++g_hostTestAppMessages[message];
  g_hostTestAppLastId = appId;
  if (message == AcRx::kInitAppMsg) {
    if (std::getenv("HOST_TEST_APP_REFUSE")) return AcRx::kRetError;
    if (!std::getenv("HOST_TEST_APP_STAY_LOCKED")) acrxUnlockApplication(appId);
    KvDefineCommand("HOSTTESTAPP", kTable, 1, 0);
  } else if (message == AcRx::kUnloadAppMsg) {
    acedRegCmds()->removeGroup("HOSTTESTAPP");
  }
  return AcRx::kRetOK;
}
