#include "platform/host/KvModule.h"

#include <dlfcn.h>

#include <algorithm>
#include <list>
#include <mutex>

namespace {

std::mutex g_mutex;
std::list<KvModuleInstance>& Instances() {
  static std::list<KvModuleInstance> instances;  // stable addresses
  return instances;
}
KvHInstance g_resource = nullptr;
std::vector<KvHInstance> g_resourceModules;

}  // namespace

KvHInstance KvModuleInstanceFromAddress(const void* address) {
  Dl_info info{};
  if (!address || dladdr(address, &info) == 0 || !info.dli_fname) return nullptr;
  std::string path = info.dli_fname;
  // A handle for the library without adding a reference: RTLD_NOLOAD finds it if loaded.
  void* handle = dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
  if (handle) dlclose(handle);  // drop the reference RTLD_NOLOAD took; the library stays loaded
  std::lock_guard lock(g_mutex);
  for (KvModuleInstance& instance : Instances()) {
    if (instance.path == path) {
      instance.handle = handle;
      return &instance;
    }
  }
  Instances().push_back({path, handle});
  return &Instances().back();
}

std::string KvGetModuleFileName(KvHInstance instance, size_t maxLength) {
  if (!instance) return {};
  return instance->path.substr(0, maxLength);
}

KvHInstance KvGetResourceHandle() { return g_resource; }
void KvSetResourceHandle(KvHInstance instance) { g_resource = instance; }

bool KvInitResourceModule(KvHInstance instance) {
  if (!instance || instance->path.empty()) return false;
  if (std::find(g_resourceModules.begin(), g_resourceModules.end(), instance) == g_resourceModules.end())
    g_resourceModules.push_back(instance);
  return true;
}

bool KvTermResourceModule(KvHInstance instance) {
  auto it = std::find(g_resourceModules.begin(), g_resourceModules.end(), instance);
  if (it == g_resourceModules.end()) return false;
  g_resourceModules.erase(it);
  return true;
}

std::vector<KvHInstance> KvResourceModules() { return g_resourceModules; }
