#include "TavDataManager/frame/TavModuleState.h"

#include "platform/base/KvStrings.h"
#include "platform/config/KvLanguageSwitch.h"

namespace {
KvHInstance g_moduleInstance = nullptr;
KvHInstance g_resourceInstance = nullptr;
KvDtDictionary* g_moduleLanguage = nullptr;
}  // namespace

KvHInstance TavGetModuleInstance() { return g_moduleInstance; }
void TavSetModuleInstance(KvHInstance instance) { g_moduleInstance = instance; }
KvHInstance TavGetResourceInstance() { return g_resourceInstance; }
void TavSetResourceInstance(KvHInstance instance) { g_resourceInstance = instance; }

std::optional<std::string> TavResolveModuleName(std::string_view modulePath) {
  std::string name = tav::ToUpperAscii(modulePath);
  size_t separator = name.find_last_of("/\\");
  if (separator == std::string::npos || separator < 1 || separator + 1 >= name.size()) return std::nullopt;
  name.erase(0, separator + 1);
  size_t dot = name.find('.');
  if (dot == std::string::npos || dot < 1) return std::nullopt;
  name.resize(dot);
  if (name.back() >= '0' && name.back() <= '9') name.pop_back();
  return name;
}

KvDtDictionary* TavGetModuleLanguage() {
  if (g_moduleLanguage) return g_moduleLanguage;
  std::optional<std::string> name = TavResolveModuleName(KvGetModuleFileName(g_resourceInstance, 1023));
  if (!name || !g_pVenoLangSwitch) return nullptr;
  g_moduleLanguage = g_pVenoLangSwitch->GetModuleLanguage(*name);
  return g_moduleLanguage;
}

void TavResetModuleLanguage() { g_moduleLanguage = nullptr; }
