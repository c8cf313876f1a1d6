// Loads every linetype of an arbitrary .lin file into a new drawing, then writes and re-reads the
// drawing: whatever the file holds, loading must either refuse it with an error status or produce
// linetype records that save and load again.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

#include "platform/host/KvLinetypeLoad.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = "/tmp/fuzz_linload." + std::to_string(::getpid()) + ".lin";
  {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  AcDbDatabase db;
  Acad::ErrorStatus es = acdbLoadLineTypeFile("*", path.c_str(), &db);
  if (es == Acad::eOk) {
    std::string bytes = db.document().SaveToString();
    tav::cad::DxfDocument again;
    if (!again.LoadFromBytes(bytes)) std::abort();  // a loaded linetype must leave a readable drawing
  }
  std::remove(path.c_str());
  return 0;
}
