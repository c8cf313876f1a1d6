// The module's engine library: the parts of TavDataManager that need no widgets.
#pragma once

namespace tav {
// Version of the module's engine, for diagnostics ("0.1.0").
const char* EngineVersion();
}  // namespace tav
