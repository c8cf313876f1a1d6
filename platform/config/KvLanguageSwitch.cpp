#include "platform/config/KvLanguageSwitch.h"

#include <filesystem>

#include "platform/base/KvStrings.h"
#include "platform/config/KvDtDictionary.h"
#include "platform/config/KvPaths.h"

VenoLanguageSwitch* g_pVenoLangSwitch = nullptr;

VenoLanguageSwitch::VenoLanguageSwitch(std::string languageDirectory) : directory_(std::move(languageDirectory)) {
  if (!directory_.empty() && directory_.back() != '/') directory_ += '/';
}

VenoLanguageSwitch::~VenoLanguageSwitch() = default;

std::string VenoLanguageSwitch::LanguageDirectory() const {
  return directory_.empty() ? GetMainDirectory() + "Lang/" : directory_;
}

namespace {

// The file "<name>.xml" in `folder`, matched ignoring ASCII case; "" when absent.
std::string FindNoCase(const std::string& folder, const std::string& name) {
  std::string wanted = name + ".xml";
  std::error_code ec;
  std::filesystem::path exact = std::filesystem::path(folder) / wanted;
  if (std::filesystem::is_regular_file(exact, ec)) return exact.string();
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (tav::EqualsNoCase(it->path().filename().string(), wanted) && it->is_regular_file(ec))
      return it->path().string();
  }
  return {};
}

}  // namespace

std::string VenoLanguageSwitch::FindLanguageFile(std::string_view moduleName) const {
  std::string name = tav::ToUpperAscii(moduleName);
  if (name.empty()) return {};
  std::string folder = LanguageDirectory();
  std::string file = FindNoCase(folder, name);
  if (file.empty() && name.size() > 3 && name.compare(0, 3, "LIB") == 0) file = FindNoCase(folder, name.substr(3));
  return file;
}

KvDtDictionary* VenoLanguageSwitch::GetModuleLanguage(std::string_view moduleName) {
  lastError_.clear();
  std::string name = tav::ToUpperAscii(moduleName);
  if (name.empty()) {
    lastError_ = "no module name";
    return nullptr;
  }
  if (auto it = modules_.find(name); it != modules_.end()) return it->second.get();
  std::string file = FindLanguageFile(name);
  if (file.empty()) {
    lastError_ = "no language file for module " + name + " in " + LanguageDirectory();
    return nullptr;
  }
  auto dictionary = std::make_unique<KvDtDictionary>(name);
  if (!dictionary->ReadFromXML(file)) {
    lastError_ = "cannot read language file " + file + ": " + dictionary->LastError().message;
    return nullptr;
  }
  KvDtDictionary* result = dictionary.get();
  modules_[name] = std::move(dictionary);
  return result;
}

KvDtDictionary* VenoLanguageSwitch::SetModuleLanguage(std::string_view moduleName, const KvDtDictionary& dictionary) {
  std::string name = tav::ToUpperAscii(moduleName);
  auto& slot = modules_[name];
  if (!slot) slot = std::make_unique<KvDtDictionary>(name);
  slot->Assign(dictionary);
  return slot.get();
}

bool VenoLanguageSwitch::HasModuleLanguage(std::string_view moduleName) const {
  return modules_.count(tav::ToUpperAscii(moduleName)) != 0;
}
