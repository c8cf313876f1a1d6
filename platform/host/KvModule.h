// Module instances and the current resource module.
//
// A loaded shared library is known to the platform as a KvModuleInstance: its file path and its dl
// handle. The UI layer takes dialog templates, icons and strings from the current resource module
// (KvGetResourceHandle); a module makes itself current while it shows its dialogs (KvUtPushResource of
// the module frame). Resource modules set up with KvInitResourceModule are searched after the current one.
#pragma once

#include <string>
#include <vector>

struct KvModuleInstance {
  std::string path;        // absolute file path of the shared library
  void* handle = nullptr;  // its dl handle (may be null for the main program)
};

// A module instance handle: null means "none".
using KvHInstance = const KvModuleInstance*;

// The instance of the shared library that contains `address` (a function or object of it), through
// dladdr. The instance lives until the process ends; asking again for the same library gives the same
// handle. Null when `address` is in no loaded library.
KvHInstance KvModuleInstanceFromAddress(const void* address);

// The module's file path, cut to `maxLength` bytes (like a fixed buffer); "" for a null handle.
std::string KvGetModuleFileName(KvHInstance instance, size_t maxLength = 1023);

// The current resource module; null when none is set.
KvHInstance KvGetResourceHandle();
void KvSetResourceHandle(KvHInstance instance);

// Adds a module to the resource search list. False (nothing added) for a null handle or an instance
// without a path. Adding it twice keeps one entry.
bool KvInitResourceModule(KvHInstance instance);
// Removes it from the search list; false when it was not there.
bool KvTermResourceModule(KvHInstance instance);
// The search list, in the order added.
std::vector<KvHInstance> KvResourceModules();
