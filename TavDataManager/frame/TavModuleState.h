// Module-wide state of the plug-in: its instance, its resource instance and its language dictionary.
//
// The entry point fills these in when the host initialises the application; the command handlers and
// every place that opens one of the module's dialogs read them (through KvUtPushResource).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/host/KvModule.h"

class KvDtDictionary;

// The module's own instance (its shared library); null before initialisation.
KvHInstance TavGetModuleInstance();
void TavSetModuleInstance(KvHInstance instance);

// The instance whose resources the module's dialogs use; null until the resource set-up succeeded.
KvHInstance TavGetResourceInstance();
void TavSetResourceInstance(KvHInstance instance);

// The module name under which the language switch keeps a module's strings, from the module's file
// path: upper-cased; the part after the last path separator ('/' or '\\', which must stand at index 1
// or later and not be the last character); cut at the first '.' (which must stand at index 1 or later);
// one trailing decimal digit removed. Nothing when a rule is not met.
//   "/opt/tav/TavDataManager2.so" -> "TAVDATAMANAGER", "C:\\Tav\\TavDataManager.arx" -> "TAVDATAMANAGER".
std::optional<std::string> TavResolveModuleName(std::string_view modulePath);

// The module's language dictionary: the cached one, or, while the cache is null, the one the language
// switch g_pVenoLangSwitch gives for the resolved name of the resource instance's file (then cached).
// Null when the name cannot be resolved, there is no language switch, or it has no dictionary.
KvDtDictionary* TavGetModuleLanguage();
// Empties the cache so that the next request resolves again (after a language change).
void TavResetModuleLanguage();
