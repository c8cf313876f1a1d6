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

// Registers `factory` for `dialog`, replacing any earlier one. Returns a token for KvUnregisterDialog
// (0 when `factory` is empty: nothing is registered).
std::uint64_t KvRegisterDialog(KvFrameDialog dialog, KvDialogFactory factory);
// Removes the registration `token`; false when it is no longer the current one for `dialog`
// (a later registration replaced it), which is then left in place.
bool KvUnregisterDialog(KvFrameDialog dialog, std::uint64_t token);
bool KvHasDialog(KvFrameDialog dialog);
// Shows the registered dialog; nothing when none is registered.
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
