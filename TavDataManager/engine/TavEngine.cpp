#include "TavDataManager/engine/TavEngine.h"

namespace tav {
const char* EngineVersion() { return "0.1.0"; }
}  // namespace tav
