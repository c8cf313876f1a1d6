// The resource guard: while it lives, the module's resources and language dictionary are current.
//
//   KvUtPushResource guard(TavGetResourceInstance());
//   ... open one of the module's dialogs ...
//
// Guards nest; each restores exactly what it found, also when an exception passes.
#pragma once

#include "platform/host/KvModule.h"

class KvDtDictionary;

class KvUtPushResource {
 public:
  // Makes `instance` the current resource module and the module's language dictionary
  // (TavGetModuleLanguage, null when it cannot be had) the current g_pCurModuleLang.
  explicit KvUtPushResource(KvHInstance instance);
  // Restores the saved resource module, then the saved g_pCurModuleLang.
  virtual ~KvUtPushResource();
  KvUtPushResource(const KvUtPushResource&) = delete;
  KvUtPushResource& operator=(const KvUtPushResource&) = delete;

 private:
  KvHInstance savedResource_;
  KvDtDictionary* savedLanguage_;
};
