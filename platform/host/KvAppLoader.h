// Loading and unloading plug-in applications: dlopen, the entry point acrxEntryPoint, the application
// messages.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/host/KvArx.h"

// One loaded application. Its address is the application id handed to acrxEntryPoint.
class KvLoadedApp {
 public:
  const std::string& path() const { return path_; }
  void* appId() { return this; }
  void* dlHandle() const { return handle_; }
  KvAcrxEntryPoint entryPoint() const { return entry_; }
  // Sends a message to the application's entry point; returns its answer.
  AcRx::AppRetCode Send(AcRx::AppMsgCode message);

 private:
  friend class KvAppLoader;
  std::string path_;
  void* handle_ = nullptr;
  KvAcrxEntryPoint entry_ = nullptr;
};

class KvAppLoader {
 public:
  KvAppLoader() = default;
  // Unloads (forced) every application still loaded, last loaded first.
  ~KvAppLoader();
  KvAppLoader(const KvAppLoader&) = delete;
  KvAppLoader& operator=(const KvAppLoader&) = delete;

  // dlopens `path`, finds acrxEntryPoint and sends kInitAppMsg with the new application id.
  // Null, with the reason in `error`, when the library cannot be opened, has no acrxEntryPoint, is
  // already loaded by this loader, or answers kInitAppMsg with anything but kRetOK (it is then sent
  // kUnloadAppMsg and closed again).
  KvLoadedApp* Load(const std::string& path, std::string* error = nullptr);

  // Sends kUnloadAppMsg and dlcloses. Refused (false, reason in `error`) when the application has not
  // unlocked itself (acrxUnlockApplication) and `force` is false, or when it answers kUnloadAppMsg with
  // anything but kRetOK and `force` is false (it then stays loaded).
  bool Unload(KvLoadedApp* app, bool force = false, std::string* error = nullptr);

  // Sends `message` to every loaded application, in load order.
  void Broadcast(AcRx::AppMsgCode message);

  KvLoadedApp* Find(const std::string& path) const;
  std::vector<KvLoadedApp*> Apps() const;

 private:
  std::vector<std::unique_ptr<KvLoadedApp>> apps_;
};
