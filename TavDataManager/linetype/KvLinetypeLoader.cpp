#include "TavDataManager/linetype/KvLinetypeLoader.h"

#include "TavDataManager/linetype/KvAcDbLinetypeLoader.h"
#include "platform/base/KvStrings.h"
#include "platform/host/KvAcDb.h"

KvLinetypeLoader::~KvLinetypeLoader() = default;

namespace {
KvLinetypeLoader* g_loader = nullptr;
}

KvLinetypeLoader& GetLinetypeLoader() {
  static KvAcDbLinetypeLoader drawingLoader;
  static KvLinFileLinetypeLoader fileLoader;
  if (g_loader) return *g_loader;
  return acdbHostApplicationServices()->workingDatabase() ? static_cast<KvLinetypeLoader&>(drawingLoader)
                                                          : static_cast<KvLinetypeLoader&>(fileLoader);
}

KvLinetypeLoader* SetLinetypeLoader(KvLinetypeLoader* loader) {
  KvLinetypeLoader* previous = g_loader;
  g_loader = loader;
  return previous;
}

bool KvLinFileLinetypeLoader::LockDocument() {
  ++lockDepth_;
  return true;
}

void KvLinFileLinetypeLoader::UnlockDocument() {
  if (lockDepth_ > 0 && --lockDepth_ == 0) parsed_.clear();
}

const tav::KvLinFile* KvLinFileLinetypeLoader::ParsedFile(const std::string& file) {
  auto it = parsed_.find(file);
  if (it != parsed_.end()) return it->second.get();
  auto parsed = std::make_unique<tav::KvLinFile>();
  if (!tav::ReadLinFile(file, *parsed, &lastError_)) return nullptr;
  const tav::KvLinFile* result = parsed.get();
  parsed_.emplace(file, std::move(parsed));
  return result;
}

bool KvLinFileLinetypeLoader::LoadLineTypeFile(const std::string& name, const std::string& file) {
  lastError_.clear();
  const std::string key = tav::ToUpperAscii(tav::Trim(name));
  if (key.empty()) {
    lastError_ = "no linetype name given";
    return false;
  }
  if (table_.count(key)) {
    lastError_ = "the drawing already holds the linetype " + name;
    return false;
  }
  if (lockDepth_ == 0) parsed_.clear();  // outside a lock every load reads the file afresh
  const tav::KvLinFile* parsed = ParsedFile(file);
  if (!parsed) return false;
  tav::KvLinetypeDefinition definition;
  std::string error;
  if (!parsed->lookUp(name, definition, error)) {
    lastError_ = file + ": " + error;
    return false;
  }
  table_.emplace(key, std::move(definition));
  return true;
}

bool KvLinFileLinetypeLoader::GetLinetypeRecord(const std::string& name, tav::KvLinetypeDefinition& record) {
  auto it = table_.find(tav::ToUpperAscii(tav::Trim(name)));
  if (it == table_.end()) return false;
  record = it->second;
  return true;
}

bool KvLinFileLinetypeLoader::EraseLinetype(const std::string& name) {
  return table_.erase(tav::ToUpperAscii(tav::Trim(name))) > 0;
}
