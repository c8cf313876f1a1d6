#include "TavDataManager/frame/KvDialogRegistry.h"

#include <map>

namespace {

struct Entry {
  std::uint64_t token = 0;
  KvDialogFactory factory;
};

std::map<KvFrameDialog, Entry>& Registry() {
  // Never destroyed: registrations of a plug-in still loaded at exit are removed after this file's
  // statics would be gone.
  static auto* registry = new std::map<KvFrameDialog, Entry>;
  return *registry;
}

std::uint64_t g_nextToken = 1;

}  // namespace

std::uint64_t KvRegisterDialog(KvFrameDialog dialog, KvDialogFactory factory) {
  if (!factory) return 0;
  std::uint64_t token = g_nextToken++;
  Registry()[dialog] = Entry{token, std::move(factory)};
  return token;
}

bool KvUnregisterDialog(KvFrameDialog dialog, std::uint64_t token) {
  auto it = Registry().find(dialog);
  if (token == 0 || it == Registry().end() || it->second.token != token) return false;
  Registry().erase(it);
  return true;
}

bool KvHasDialog(KvFrameDialog dialog) { return Registry().count(dialog) != 0; }

std::optional<KvDialogOutcome> KvRunDialog(KvFrameDialog dialog) {
  auto it = Registry().find(dialog);
  if (it == Registry().end()) return std::nullopt;
  KvDialogFactory factory = it->second.factory;  // the dialog may register or unregister while it runs
  return factory();
}
