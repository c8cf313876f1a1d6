// The platform's language switch: one language dictionary per module.
//
// A module's language dictionary holds its user-visible strings in the current language. The switch finds
// it by module name (the upper-cased file name without extension that KvUtPushResource resolves) in the
// language folder, `<main directory>Lang/` unless told otherwise, as "<MODULENAME>.xml" in the dictionary
// XML form; the file name is matched without regard to ASCII case. On Linux a shared library's "lib"
// prefix is no part of the module name: for "LIBTAVDATAMANAGER" the switch also tries "TAVDATAMANAGER".
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>

class KvDtDictionary;

class VenoLanguageSwitch {
 public:
  // `languageDirectory` empty: GetMainDirectory() + "Lang/", taken at each lookup.
  explicit VenoLanguageSwitch(std::string languageDirectory = {});
  ~VenoLanguageSwitch();
  VenoLanguageSwitch(const VenoLanguageSwitch&) = delete;
  VenoLanguageSwitch& operator=(const VenoLanguageSwitch&) = delete;

  // The language dictionary of `moduleName` (compared without regard to ASCII case). Loaded from the
  // language folder on first request and then kept: the pointer stays valid as long as the switch.
  // Null when the name is empty, no file exists, or the file cannot be read (LastError() says why);
  // a later request looks again.
  KvDtDictionary* GetModuleLanguage(std::string_view moduleName);

  // Gives a module a dictionary held in memory (a host with built-in strings, tests). When the module
  // already has one, its content is replaced in place, so pointers handed out stay valid. Returns it.
  KvDtDictionary* SetModuleLanguage(std::string_view moduleName, const KvDtDictionary& dictionary);

  // True when the module's dictionary is loaded.
  bool HasModuleLanguage(std::string_view moduleName) const;

  // The folder searched, ending in '/'.
  std::string LanguageDirectory() const;
  // The file that GetModuleLanguage would read for `moduleName`, or "" when there is none.
  std::string FindLanguageFile(std::string_view moduleName) const;

  const std::string& LastError() const { return lastError_; }

 private:
  std::string directory_;
  std::map<std::string, std::unique_ptr<KvDtDictionary>> modules_;  // by upper-cased name
  std::string lastError_;
};

// The process's language switch; null until the host creates one.
extern VenoLanguageSwitch* g_pVenoLangSwitch;
