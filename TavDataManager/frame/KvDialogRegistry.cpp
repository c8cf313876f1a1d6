#include "TavDataManager/frame/KvDialogRegistry.h"

#include <algorithm>
#include <map>
#include <vector>

namespace {

struct Entry {
  std::uint64_t token = 0;
  KvDialogFactory factory;
};

std::map<KvFrameDialog, std::vector<Entry>>& Registry() {
  // Never destroyed: registrations of a plug-in still loaded at exit are removed after this file's
  // statics would be gone.
  static auto* registry = new std::map<KvFrameDialog, std::vector<Entry>>;
  return *registry;
}

std::uint64_t g_nextToken = 1;

}  // namespace

std::uint64_t KvRegisterDialog(KvFrameDialog dialog, KvDialogFactory factory) {
  std::uint64_t token = g_nextToken++;
  Registry()[dialog].push_back(Entry{token, std::move(factory)});
  return token;
}

bool KvUnregisterDialog(KvFrameDialog dialog, std::uint64_t token) {
  auto slot = Registry().find(dialog);
  if (slot == Registry().end()) return false;
  auto& entries = slot->second;
  auto it = std::find_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.token == token; });
  if (it == entries.end()) return false;
  entries.erase(it);
  return true;
}

bool KvHasDialog(KvFrameDialog dialog) {
  auto slot = Registry().find(dialog);
  return slot != Registry().end() && !slot->second.empty() && slot->second.back().factory;
}

std::optional<KvDialogOutcome> KvRunDialog(KvFrameDialog dialog) {
  if (!KvHasDialog(dialog)) return std::nullopt;
  KvDialogFactory factory = Registry()[dialog].back().factory;  // the dialog may (un)register while it runs
  return factory();
}
