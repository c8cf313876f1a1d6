#include "platform/config/KvPaths.h"

#include <cstdlib>

#include "platform/base/KvFile.h"

#ifndef TAV_DEFAULT_MAIN_DIR
#define TAV_DEFAULT_MAIN_DIR ""
#endif

namespace {
std::string g_mainDirOverride;
std::string g_userDirOverride;

std::string WithSlash(std::string folder) {
  folder = tav::ToNativePath(folder);
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

std::string FromEnv(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}
}  // namespace

std::string GetMainDirectory() {
  if (!g_mainDirOverride.empty()) return WithSlash(g_mainDirOverride);
  const std::string env = FromEnv("TAV_MAIN_DIR");
  if (!env.empty()) return WithSlash(env);
  return WithSlash(TAV_DEFAULT_MAIN_DIR);
}

bool FindFile(const std::string& fileName, std::string& fullPath) {
  for (const std::string& folder : {tav::GetUserConfigDirectory(), GetMainDirectory()}) {
    if (folder.empty()) continue;
    const std::string candidate = tav::JoinPath(folder, fileName);
    if (tav::FileExists(candidate)) {
      fullPath = candidate;
      return true;
    }
  }
  return false;
}

namespace tav {

void SetMainDirectory(const std::string& folder) { g_mainDirOverride = folder; }

std::string GetUserConfigDirectory() {
  if (!g_userDirOverride.empty()) return WithSlash(g_userDirOverride);
  std::string env = FromEnv("TAV_CONFIG_DIR");
  if (!env.empty()) return WithSlash(env);
  env = FromEnv("XDG_CONFIG_HOME");
  if (!env.empty()) return WithSlash(env + "/TavDataManager");
  env = FromEnv("HOME");
  if (!env.empty()) return WithSlash(env + "/.config/TavDataManager");
  return std::string();
}

void SetUserConfigDirectory(const std::string& folder) { g_userDirOverride = folder; }

bool SeedUserConfig(std::string* error) {
  const std::string userDir = GetUserConfigDirectory();
  if (userDir.empty()) {
    if (error) *error = "no user configuration folder (HOME is not set)";
    return false;
  }
  if (!MakeDirectories(userDir)) {
    if (error) *error = "cannot create " + userDir;
    return false;
  }
  for (const char* name : {"Config.xml", "UIConfig.xml"}) {
    const std::string source = JoinPath(GetMainDirectory(), name);
    const std::string target = JoinPath(userDir, name);
    if (!FileExists(source) || FileExists(target)) continue;
    std::string bytes;
    if (!ReadFileBytes(source, bytes, error) || !WriteFileAtomic(target, bytes, error)) return false;
  }
  return true;
}

}  // namespace tav
