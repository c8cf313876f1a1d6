// Fuzz target of the DXF reader: any bytes either load or fail with a described error; a loaded
// drawing writes back the bytes it was read from, and walking its objects, xdata, views and the
// check never crashes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/cad/DxfViews.h"

using namespace tav::cad;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  DxfDocument doc;
  DxfLoadOptions options;
  options.checkHandleSeed = (size & 1) == 0;
  DxfResult r = doc.LoadFromBytes(bytes, options);
  if (!r) {
    if (r.description.empty()) std::abort();
    return 0;
  }
  if (doc.SaveToString() != bytes) std::abort();
  for (DxfObject obj : doc.AllObjects()) {
    (void)obj.Tags();
    (void)obj.AllXData();
    (void)obj.GetPoint(10);
    if (obj.Type() == "LWPOLYLINE") (void)DxfLwPolyline(obj).Vertices();
    if (obj.Type() == "LTYPE") (void)DxfLinetype(obj).Elements();
    if (obj.Type() == "DICTIONARY") (void)DxfDictionary(obj).Entries();
    if (obj.Type() == "XRECORD") (void)DxfXRecord(obj).Data();
  }
  (void)doc.Check();
  (void)CountEntityTypes(doc);
  // A change and a save of the changed drawing, which must load again.
  DxfObject line = doc.AddEntity("LINE");
  if (line) {
    DxfLine(line).SetEnd({1, 2, 3});
    DxfDocument again;
    DxfLoadOptions lenient;
    lenient.checkHandleSeed = false;
    if (!again.LoadFromBytes(doc.SaveToString(), lenient)) std::abort();
  }
  return 0;
}
