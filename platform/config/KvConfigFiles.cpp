#include "platform/config/KvConfigFiles.h"

#include <map>

#include "platform/base/KvFile.h"
#include "platform/config/KvDtDictionary.h"
#include "platform/config/KvDtUIConfig.h"
#include "platform/config/KvPaths.h"

KvDtDictionary g_dictCfg;
KvDtUIConfig g_dbCfgUI;
KvDtUIDictionary* g_pUiDictionary = nullptr;
KvDtDictionary* g_pCurModuleLang = nullptr;

namespace {

constexpr const char* kConfigFile = "Config.xml";
constexpr const char* kUIConfigFile = "UIConfig.xml";

std::string& LastError() {
  static std::string message;
  return message;
}

std::map<int, std::function<void()>>& Listeners() {
  static std::map<int, std::function<void()>> listeners;
  return listeners;
}

bool Fail(const std::string& message) {
  LastError() = message;
  return false;
}

template <typename Store>
bool SaveStore(const Store& store, const char* fileName) {
  const std::string path = tav::ConfigSavePath(fileName);
  if (path.empty()) return Fail(std::string("cannot save ") + fileName + ": no user configuration folder");
  const std::string folder = path.substr(0, path.rfind('/') + 1);
  if (!tav::MakeDirectories(folder)) return Fail(std::string("cannot save ") + path + ": cannot create " + folder);
  if (!store.SaveToXML(path)) return Fail(store.LastError().message);
  LastError().clear();
  return true;
}

template <typename Store>
bool LoadStore(Store& store, const char* fileName) {
  std::string path;
  if (!FindFile(fileName, path))
    return Fail(std::string(fileName) + " not found in " + tav::GetUserConfigDirectory() + " or " +
                GetMainDirectory());
  if (!store.ReadFromXML(path)) return Fail(store.LastError().message);
  LastError().clear();
  return true;
}

}  // namespace

namespace tav {

std::string ConfigSavePath(const std::string& fileName) {
  const std::string userDir = GetUserConfigDirectory();
  std::string found;
  if (FindFile(fileName, found) && !userDir.empty() && found.rfind(userDir, 0) == 0) return found;
  if (userDir.empty()) return {};
  return JoinPath(userDir, fileName);
}

const std::string& LastConfigFileError() { return LastError(); }

int AddDefaultDataListener(std::function<void()> listener) {
  static int next = 0;
  const int id = ++next;
  if (listener) Listeners()[id] = std::move(listener);
  return id;
}

void RemoveDefaultDataListener(int id) { Listeners().erase(id); }

}  // namespace tav

bool SaveConfig() { return SaveStore(g_dictCfg, kConfigFile); }
bool LoadConfig() { return LoadStore(g_dictCfg, kConfigFile); }
bool SaveUIConfig() { return SaveStore(g_dbCfgUI, kUIConfigFile); }
bool LoadUIConfig() { return LoadStore(g_dbCfgUI, kUIConfigFile); }

void TavLoadDefaultData() {
  // Copy first: a listener may add or remove listeners.
  const auto listeners = Listeners();
  for (const auto& [id, listener] : listeners) listener();
}
