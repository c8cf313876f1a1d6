// The plug-in's XG command runs the equipment table editing (the frame's handler has pushed the
// module's resources already).
#include "TavDataManager/equiptable/SbbXGCommand.h"
#include "TavDataManager/frame/KvDialogRegistry.h"

namespace {
const KvDialogRegistration g_xgRegistration(KvFrameDialog::kEquipmentTable,
                                            [] { return KvDialogOutcome{SbbEditTableCommand(), false}; });
}  // namespace
