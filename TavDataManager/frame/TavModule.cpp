// The plug-in's entry point: the host sends the application messages here.
#include "TavDataManager/frame/TavCommands.h"
#include "TavDataManager/frame/TavModuleState.h"
#include "platform/host/KvArx.h"
#include "platform/host/KvModule.h"

extern "C" __attribute__((visibility("default"))) AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode message,
                                                                                  void* appId);

namespace {

void InitApplication(void* appId) {
  // The module's own library; its resources are the module's resources.
  KvHInstance instance = KvModuleInstanceFromAddress(reinterpret_cast<const void*>(&acrxEntryPoint));
  TavSetModuleInstance(instance);
  if (KvInitResourceModule(instance)) TavSetResourceInstance(instance);

  acrxUnlockApplication(appId);
  // The commands keep no per-document state.
  if (AcRxDynamicLinker* linker = AcRxDynamicLinker::cast(acrxSysRegistry()->at(ACRX_DYNAMIC_LINKER)))
    linker->registerAppMDIAware(appId);
  KvDefineCommand(kTavCommandGroup, KvCmdTable, 4, 0);
}

void UnloadApplication() {
  if (AcEdCommandStack* stack = AcEdCommandStack::cast(acrxSysRegistry()->at(ACRX_COMMAND_DOCK)))
    stack->removeGroup(kTavCommandGroup);
  KvTermResourceModule(TavGetModuleInstance());
}

}  // namespace

extern "C" AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode message, void* appId) {
  switch (message) {
    case AcRx::kInitAppMsg:
      InitApplication(appId);
      break;
    case AcRx::kUnloadAppMsg:
      UnloadApplication();
      break;
    default:  // kLoadDwgMsg, kUnloadDwgMsg, kInvkSubrMsg and the others: nothing to do
      break;
  }
  return AcRx::kRetOK;
}
