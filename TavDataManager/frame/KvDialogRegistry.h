// Where the module's dialogs plug into the command handlers.
//
// Each command handler opens its dialog through this registry. The dialog layer registers one factory
// per dialog; the factory shows the dialog modally and reports how it ended. Until a dialog is registered
// the handler says so on the command line and goes on as if the dialog had been cancelled.
//
//   static KvDialogRegistration reg(KvFrameDialog::kOptions, [] {
//     KvUiTectoOptionDlg dlg;
//     int result = dlg.DoModal();
//     return KvDialogOutcome{result, dlg.m_bConfigReplaced};
//   });
//
// A registration made by a static object of the plug-in is removed again when the plug-in is unloaded
// (its destructor runs), so the registry never calls into an unloaded library.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "platform/host/KvUserServices.h"

enum class KvFrameDialog {
  kOptions,          // TavConfig: the options dialog
  kDrawingSettings,  // TavDwgSetting: the drawing settings dialog
  kLinetype,         // TavLinetype: the linetype manager
  kEquipmentTable,   // XG: the equipment table editing (picks, recognition, full-screen editor)
};

struct KvDialogOutcome {
  int result = IDCANCEL;        // the dialog's DoModal result
  bool configReplaced = false;  // an import or a restore of defaults applied at least one item
};

using KvDialogFactory = std::function<KvDialogOutcome()>;

// Registers `factory` for `dialog`. Registrations stack: the latest one is used, and removing it uncovers
// the one before (a test's scripted dialog covers the real one for the test's duration). An empty
// factory registers "no dialog": while it is the latest, the handler reports the dialog as not available.
// Returns a token for KvUnregisterDialog (never 0).
std::uint64_t KvRegisterDialog(KvFrameDialog dialog, KvDialogFactory factory);
// Removes the registration `token`, wherever it stands in the stack; false when there is none.
bool KvUnregisterDialog(KvFrameDialog dialog, std::uint64_t token);
// True when the latest registration for `dialog` has a factory.
bool KvHasDialog(KvFrameDialog dialog);
// Shows the dialog of the latest registration; nothing when there is none or it is empty.
std::optional<KvDialogOutcome> KvRunDialog(KvFrameDialog dialog);

// Registration for the life of the object.
class KvDialogRegistration {
 public:
  KvDialogRegistration(KvFrameDialog dialog, KvDialogFactory factory)
      : dialog_(dialog), token_(KvRegisterDialog(dialog, std::move(factory))) {}
  ~KvDialogRegistration() { KvUnregisterDialog(dialog_, token_); }
  KvDialogRegistration(const KvDialogRegistration&) = delete;
  KvDialogRegistration& operator=(const KvDialogRegistration&) = delete;

 private:
  KvFrameDialog dialog_;
  std::uint64_t token_;
};
