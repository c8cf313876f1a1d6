#include "TavDataManager/frame/KvUtPushResource.h"

#include "TavDataManager/frame/TavModuleState.h"
#include "platform/config/KvConfigFiles.h"

KvUtPushResource::KvUtPushResource(KvHInstance instance)
    : savedResource_(KvGetResourceHandle()), savedLanguage_(g_pCurModuleLang) {
  KvSetResourceHandle(instance);
  g_pCurModuleLang = TavGetModuleLanguage();
}

KvUtPushResource::~KvUtPushResource() {
  KvSetResourceHandle(savedResource_);
  g_pCurModuleLang = savedLanguage_;
}
