// The host's application interface: application messages, the system registry with its dynamic linker
// and command stack, and the platform's command registration KvDefineCommand.
//
// A plug-in exports `extern "C" AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode, void* appId)`; the
// host loads it with KvAppLoader (KvAppLoader.h), which sends the messages below.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace AcRx {

enum AppMsgCode {
  kNullMsg = 0,
  kInitAppMsg = 1,
  kUnloadAppMsg = 2,
  kLoadDwgMsg = 3,
  kUnloadDwgMsg = 4,
  kInvkSubrMsg = 5,
  kCfgMsg = 6,
  kEndMsg = 7,
  kQuitMsg = 8,
  kSaveMsg = 9,
};

enum AppRetCode { kRetOK = 0, kRetError = 3 };

}  // namespace AcRx

namespace Acad {
enum ErrorStatus {
  eOk = 0,
  eInvalidInput = 1,
  eDuplicateKey = 2,
  eKeyNotFound = 3,
  eNotApplicable = 4,
  // The drawing database's answers (KvAcDb.h).
  eNullObjectId = 5,         // the id names no object
  eNoDatabase = 6,           // no working database (no document open)
  eWasErased = 7,            // the object is erased
  eWasOpenForWrite = 8,      // already open for write elsewhere
  eWasOpenForRead = 9,       // open for read elsewhere, so it cannot be opened for write
  eNotOpenForWrite = 10,     // a change to an object opened for read only
  eNotThatKindOfClass = 11,  // the object is not of the requested class
  eNotInDatabase = 12,       // a free-standing object where a drawing object is needed
  eFileNotFound = 13,
  eFilerError = 14,          // a file could not be read or written
  eDuplicateRecordName = 15, // a symbol table record of that name exists
  eUndefinedLineType = 16,   // the linetype file does not define the name
  eRegappIdNotFound = 17,    // xdata of an application that is not registered
  eCannotScaleNonUniformly = 18,
  eLockViolation = 19,       // the document is not locked as required
  eInvalidDxfCode = 20,      // a resbuf item whose type is not a valid xdata code
  eOutOfRange = 21,
};
}

// The signature of a plug-in's entry point.
using KvAcrxEntryPoint = AcRx::AppRetCode (*)(AcRx::AppMsgCode message, void* appId);
// A command handler: no arguments, no result.
using AcRxFunctionPtr = void (*)();

// Command flags (ObjectARX values). The host uses them as follows: ACRX_CMD_TRANSPARENT commands may run
// inside another command; ACRX_CMD_USEPICKSET commands see the selection made before they started
// (the implied selection); the others are kept and reported.
inline constexpr int ACRX_CMD_MODAL = 0x00000000;
inline constexpr int ACRX_CMD_TRANSPARENT = 0x00000001;
inline constexpr int ACRX_CMD_USEPICKSET = 0x00000002;
inline constexpr int ACRX_CMD_REDRAW = 0x00000004;
inline constexpr int ACRX_CMD_NOPERSPECTIVE = 0x00000008;
inline constexpr int ACRX_CMD_NOMULTIPLE = 0x00000010;
inline constexpr int ACRX_CMD_NOTILEMODE = 0x00000020;
inline constexpr int ACRX_CMD_NOPAPERSPACE = 0x00000040;
inline constexpr int ACRX_CMD_SESSION = 0x00200000;

// Registry entry names.
inline constexpr const char* ACRX_DYNAMIC_LINKER = "DynamicLinker";
inline constexpr const char* ACRX_COMMAND_DOCK = "ACAD_REGISTERED_COMMANDS";

// Base of every object kept in the system registry.
class AcRxObject {
 public:
  virtual ~AcRxObject();
};

// The system registry: named objects of the host.
class AcRxDictionary : public AcRxObject {
 public:
  // The object under `key` (exact name), or null.
  AcRxObject* at(std::string_view key) const;
  // Puts `object` under `key`, replacing (and destroying) any object there. Takes ownership.
  void atPut(std::string_view key, std::unique_ptr<AcRxObject> object);
  std::vector<std::string> keys() const;

 private:
  std::map<std::string, std::unique_ptr<AcRxObject>, std::less<>> entries_;
};

// The host's system registry, with the entries "DynamicLinker" and "ACAD_REGISTERED_COMMANDS".
AcRxDictionary* acrxSysRegistry();

// What the host knows of its loaded applications: their document-mode declaration and lock.
class AcRxDynamicLinker : public AcRxObject {
 public:
  static AcRxDynamicLinker* cast(AcRxObject* object) { return dynamic_cast<AcRxDynamicLinker*>(object); }

  // The application may run with several documents open (its commands keep no per-document state).
  bool registerAppMDIAware(void* appId);
  bool registerAppNotMDIAware(void* appId);
  // True after registerAppMDIAware for appId.
  bool isAppMDIAware(void* appId) const;
  // True when appId has declared itself either way.
  bool isAppRegistered(void* appId) const;

  // Applications start locked (they may not be unloaded by the user) until they unlock themselves.
  bool lockApplication(void* appId);
  bool unlockApplication(void* appId);
  bool isApplicationLocked(void* appId) const;

  // Forgets everything about appId (the loader calls this after unloading it).
  void forgetApp(void* appId);

 private:
  struct AppState {
    int mdi = -1;  // -1 not declared, 0 not MDI-aware, 1 MDI-aware
    bool unlocked = false;
  };
  std::map<void*, AppState> apps_;
};

bool acrxUnlockApplication(void* appId);
bool acrxLockApplication(void* appId);
bool acrxApplicationIsLocked(void* appId);

// One registered command.
struct KvRegisteredCommand {
  std::string group;
  std::string globalName;
  std::string localName;
  int flags = 0;
  AcRxFunctionPtr handler = nullptr;
};

// The command stack: groups of commands. Names and groups are compared ignoring ASCII case. A name is
// looked up in the groups from the most recently added group down, so a later group may cover a name.
class AcEdCommandStack : public AcRxObject {
 public:
  static AcEdCommandStack* cast(AcRxObject* object) { return dynamic_cast<AcEdCommandStack*>(object); }

  // Adds a command to `group` (created when new). eInvalidInput for an empty group or name or a null
  // handler; eDuplicateKey when the group already has a command of that global or local name.
  Acad::ErrorStatus addCommand(std::string_view group, std::string_view globalName,
                               std::string_view localName, int flags, AcRxFunctionPtr handler);
  // The command of that (global or local) name, or null.
  const KvRegisteredCommand* lookupCmd(std::string_view name) const;
  // The command of that name in `group`, or null.
  const KvRegisteredCommand* lookupCmd(std::string_view name, std::string_view group) const;
  Acad::ErrorStatus removeCmd(std::string_view group, std::string_view globalName);
  // Removes the group and all its commands; eKeyNotFound when there is no such group.
  Acad::ErrorStatus removeGroup(std::string_view group);

  bool hasGroup(std::string_view group) const;
  // Group names, most recently added first.
  std::vector<std::string> groupNames() const;
  // The group's commands in the order they were added; empty for an unknown group.
  std::vector<KvRegisteredCommand> commands(std::string_view group) const;

 private:
  struct Group {
    std::string name;
    std::vector<KvRegisteredCommand> commands;
  };
  Group* findGroup(std::string_view name);
  const Group* findGroup(std::string_view name) const;
  std::vector<Group> groups_;  // oldest first
};

// The command stack of the host (the registry entry "ACAD_REGISTERED_COMMANDS").
AcEdCommandStack* acedRegCmds();

// An entry of a module's command table: command name (UTF-8), handler, flags.
struct KvCmdTableEntry {
  const char* name;
  AcRxFunctionPtr handler;
  int flags;
};

// Registers `count` commands of `table` in the command group `group`, each with its name as global and
// local name and with its flags; `flags` is added (OR) to every entry's flags (modules pass 0).
// All or nothing: returns false and registers none of them when the group is empty, the table is null
// with count > 0, an entry has no name or handler, or a name is already in the group or twice in the table.
bool KvDefineCommand(std::string_view group, const KvCmdTableEntry* table, int count, int flags);
