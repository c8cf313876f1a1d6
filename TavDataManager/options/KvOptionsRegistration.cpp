// The plug-in's TavConfig command opens the options dialog (the frame's handler has saved the
// configuration and pushed the module's resources already; it reads the result and the
// configuration-replaced flag).
#include <QApplication>

#include "TavDataManager/frame/KvDialogRegistry.h"
#include "TavDataManager/options/KvUiTectoOptionDlg.h"
#include "platform/host/KvCommandLine.h"

namespace {

KvDialogOutcome RunOptionsDialog() {
  // Widgets need the host's Qt application; a host without one gets no dialog.
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
    acutPrintf("%s", "\n选项配置对话框需要图形界面。");
    return KvDialogOutcome{};
  }
  KvUiTectoOptionDlg dialog(QApplication::activeWindow());
  const int result = dialog.DoModal();
  return KvDialogOutcome{result, dialog.m_bConfigReplaced != 0};
}

const KvDialogRegistration g_optionsRegistration(KvFrameDialog::kOptions, &RunOptionsDialog);

}  // namespace
