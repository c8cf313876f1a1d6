#include "platform/host/KvArx.h"

#include <algorithm>

#include "platform/base/KvStrings.h"

AcRxObject::~AcRxObject() = default;

AcRxObject* AcRxDictionary::at(std::string_view key) const {
  auto it = entries_.find(key);
  return it == entries_.end() ? nullptr : it->second.get();
}

void AcRxDictionary::atPut(std::string_view key, std::unique_ptr<AcRxObject> object) {
  entries_[std::string(key)] = std::move(object);
}

std::vector<std::string> AcRxDictionary::keys() const {
  std::vector<std::string> names;
  for (const auto& [name, object] : entries_) names.push_back(name);
  return names;
}

AcRxDictionary* acrxSysRegistry() {
  static AcRxDictionary* registry = [] {
    auto* created = new AcRxDictionary;  // lives until the process ends, like the host's registry
    created->atPut(ACRX_DYNAMIC_LINKER, std::make_unique<AcRxDynamicLinker>());
    created->atPut(ACRX_COMMAND_DOCK, std::make_unique<AcEdCommandStack>());
    return created;
  }();
  return registry;
}

// ---- dynamic linker ----

bool AcRxDynamicLinker::registerAppMDIAware(void* appId) {
  if (!appId) return false;
  apps_[appId].mdi = 1;
  return true;
}

bool AcRxDynamicLinker::registerAppNotMDIAware(void* appId) {
  if (!appId) return false;
  apps_[appId].mdi = 0;
  return true;
}

bool AcRxDynamicLinker::isAppMDIAware(void* appId) const {
  auto it = apps_.find(appId);
  return it != apps_.end() && it->second.mdi == 1;
}

bool AcRxDynamicLinker::isAppRegistered(void* appId) const {
  auto it = apps_.find(appId);
  return it != apps_.end() && it->second.mdi >= 0;
}

bool AcRxDynamicLinker::lockApplication(void* appId) {
  if (!appId) return false;
  apps_[appId].unlocked = false;
  return true;
}

bool AcRxDynamicLinker::unlockApplication(void* appId) {
  if (!appId) return false;
  apps_[appId].unlocked = true;
  return true;
}

bool AcRxDynamicLinker::isApplicationLocked(void* appId) const {
  auto it = apps_.find(appId);
  return it == apps_.end() || !it->second.unlocked;
}

void AcRxDynamicLinker::forgetApp(void* appId) { apps_.erase(appId); }

namespace {
AcRxDynamicLinker* Linker() { return AcRxDynamicLinker::cast(acrxSysRegistry()->at(ACRX_DYNAMIC_LINKER)); }
}  // namespace

bool acrxUnlockApplication(void* appId) { return Linker()->unlockApplication(appId); }
bool acrxLockApplication(void* appId) { return Linker()->lockApplication(appId); }
bool acrxApplicationIsLocked(void* appId) { return Linker()->isApplicationLocked(appId); }

// ---- command stack ----

AcEdCommandStack::Group* AcEdCommandStack::findGroup(std::string_view name) {
  for (Group& group : groups_)
    if (tav::EqualsNoCase(group.name, name)) return &group;
  return nullptr;
}

const AcEdCommandStack::Group* AcEdCommandStack::findGroup(std::string_view name) const {
  return const_cast<AcEdCommandStack*>(this)->findGroup(name);
}

Acad::ErrorStatus AcEdCommandStack::addCommand(std::string_view group, std::string_view globalName,
                                               std::string_view localName, int flags,
                                               AcRxFunctionPtr handler) {
  if (group.empty() || globalName.empty() || !handler) return Acad::eInvalidInput;
  if (localName.empty()) localName = globalName;
  Group* target = findGroup(group);
  if (target) {
    for (const KvRegisteredCommand& command : target->commands) {
      if (tav::EqualsNoCase(command.globalName, globalName) || tav::EqualsNoCase(command.localName, localName) ||
          tav::EqualsNoCase(command.globalName, localName) || tav::EqualsNoCase(command.localName, globalName))
        return Acad::eDuplicateKey;
    }
  } else {
    groups_.push_back({std::string(group), {}});
    target = &groups_.back();
  }
  target->commands.push_back(
      {target->name, std::string(globalName), std::string(localName), flags, handler});
  return Acad::eOk;
}

const KvRegisteredCommand* AcEdCommandStack::lookupCmd(std::string_view name) const {
  for (auto group = groups_.rbegin(); group != groups_.rend(); ++group) {
    for (const KvRegisteredCommand& command : group->commands)
      if (tav::EqualsNoCase(command.globalName, name) || tav::EqualsNoCase(command.localName, name))
        return &command;
  }
  return nullptr;
}

const KvRegisteredCommand* AcEdCommandStack::lookupCmd(std::string_view name, std::string_view group) const {
  const Group* found = findGroup(group);
  if (!found) return nullptr;
  for (const KvRegisteredCommand& command : found->commands)
    if (tav::EqualsNoCase(command.globalName, name) || tav::EqualsNoCase(command.localName, name))
      return &command;
  return nullptr;
}

Acad::ErrorStatus AcEdCommandStack::removeCmd(std::string_view group, std::string_view globalName) {
  Group* found = findGroup(group);
  if (!found) return Acad::eKeyNotFound;
  auto it = std::find_if(found->commands.begin(), found->commands.end(), [&](const KvRegisteredCommand& c) {
    return tav::EqualsNoCase(c.globalName, globalName);
  });
  if (it == found->commands.end()) return Acad::eKeyNotFound;
  found->commands.erase(it);
  return Acad::eOk;
}

Acad::ErrorStatus AcEdCommandStack::removeGroup(std::string_view group) {
  auto it = std::find_if(groups_.begin(), groups_.end(),
                         [&](const Group& g) { return tav::EqualsNoCase(g.name, group); });
  if (it == groups_.end()) return Acad::eKeyNotFound;
  groups_.erase(it);
  return Acad::eOk;
}

bool AcEdCommandStack::hasGroup(std::string_view group) const { return findGroup(group) != nullptr; }

std::vector<std::string> AcEdCommandStack::groupNames() const {
  std::vector<std::string> names;
  for (auto group = groups_.rbegin(); group != groups_.rend(); ++group) names.push_back(group->name);
  return names;
}

std::vector<KvRegisteredCommand> AcEdCommandStack::commands(std::string_view group) const {
  const Group* found = findGroup(group);
  return found ? found->commands : std::vector<KvRegisteredCommand>{};
}

AcEdCommandStack* acedRegCmds() { return AcEdCommandStack::cast(acrxSysRegistry()->at(ACRX_COMMAND_DOCK)); }

bool KvDefineCommand(std::string_view group, const KvCmdTableEntry* table, int count, int flags) {
  if (group.empty() || count < 0 || (count > 0 && !table)) return false;
  AcEdCommandStack* stack = acedRegCmds();
  for (int i = 0; i < count; ++i) {
    if (!table[i].name || !*table[i].name || !table[i].handler) return false;
    if (stack->lookupCmd(table[i].name, group)) return false;
    for (int j = 0; j < i; ++j)
      if (tav::EqualsNoCase(table[i].name, table[j].name)) return false;
  }
  for (int i = 0; i < count; ++i)
    stack->addCommand(group, table[i].name, table[i].name, table[i].flags | flags, table[i].handler);
  return true;
}
