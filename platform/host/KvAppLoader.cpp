#include "platform/host/KvAppLoader.h"

#include <dlfcn.h>

#include <algorithm>
#include <filesystem>

AcRx::AppRetCode KvLoadedApp::Send(AcRx::AppMsgCode message) { return entry_(message, appId()); }

KvAppLoader::~KvAppLoader() {
  while (!apps_.empty()) Unload(apps_.back().get(), true);
}

namespace {
std::string Canonical(const std::string& path) {
  std::error_code ec;
  auto canonical = std::filesystem::weakly_canonical(path, ec);
  return ec ? path : canonical.string();
}
void SetError(std::string* error, std::string text) {
  if (error) *error = std::move(text);
}
}  // namespace

KvLoadedApp* KvAppLoader::Load(const std::string& path, std::string* error) {
  std::string full = Canonical(path);
  if (Find(full)) {
    SetError(error, "application " + full + " is already loaded");
    return nullptr;
  }
  dlerror();
  void* handle = dlopen(full.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* reason = dlerror();
    SetError(error, "cannot load " + full + ": " + (reason ? reason : "unknown reason"));
    return nullptr;
  }
  auto entry = reinterpret_cast<KvAcrxEntryPoint>(dlsym(handle, "acrxEntryPoint"));
  if (!entry) {
    dlclose(handle);
    SetError(error, full + " is no application: it has no acrxEntryPoint");
    return nullptr;
  }
  auto app = std::make_unique<KvLoadedApp>();
  app->path_ = full;
  app->handle_ = handle;
  app->entry_ = entry;
  KvLoadedApp* loaded = app.get();
  apps_.push_back(std::move(app));
  AcRx::AppRetCode answer = loaded->Send(AcRx::kInitAppMsg);
  if (answer != AcRx::kRetOK) {
    Unload(loaded, true);
    SetError(error, full + " refused to initialise (answer " + std::to_string(answer) + ")");
    return nullptr;
  }
  return loaded;
}

bool KvAppLoader::Unload(KvLoadedApp* app, bool force, std::string* error) {
  auto it = std::find_if(apps_.begin(), apps_.end(), [&](const auto& owned) { return owned.get() == app; });
  if (it == apps_.end()) {
    SetError(error, "application is not loaded");
    return false;
  }
  if (!force && acrxApplicationIsLocked(app->appId())) {
    SetError(error, "application " + app->path() + " is locked and cannot be unloaded");
    return false;
  }
  AcRx::AppRetCode answer = app->Send(AcRx::kUnloadAppMsg);
  if (answer != AcRx::kRetOK && !force) {
    SetError(error, "application " + app->path() + " refused to unload (answer " + std::to_string(answer) + ")");
    return false;
  }
  AcRxDynamicLinker::cast(acrxSysRegistry()->at(ACRX_DYNAMIC_LINKER))->forgetApp(app->appId());
  dlclose(app->handle_);
  apps_.erase(it);
  return true;
}

void KvAppLoader::Broadcast(AcRx::AppMsgCode message) {
  for (auto& app : apps_) app->Send(message);
}

KvLoadedApp* KvAppLoader::Find(const std::string& path) const {
  std::string full = Canonical(path);
  for (const auto& app : apps_)
    if (app->path() == full) return app.get();
  return nullptr;
}

std::vector<KvLoadedApp*> KvAppLoader::Apps() const {
  std::vector<KvLoadedApp*> list;
  for (const auto& app : apps_) list.push_back(app.get());
  return list;
}
