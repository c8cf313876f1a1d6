// Helpers of the drawing database tests: fixtures, tag lists of DXF bytes.
#pragma once

#include <string>
#include <vector>

#include "platform/cad/DxfDocument.h"

namespace tav::cad::test {

// Path of a fixture under tests/platform/cad/fixtures.
std::string FixturePath(const std::string& name);
// The bytes of a fixture (empty when missing).
std::string FixtureBytes(const std::string& name);

// A tag of a scanned file: code and raw value text.
struct TagText {
  int code;
  std::string value;
  bool operator==(const TagText&) const = default;
};
// Scans DXF bytes into (code, value) pairs; fails the current test on a scan error.
std::vector<TagText> TagsOf(const std::string& bytes);
// Loads bytes into `doc`, failing the test with the loader's message on error.
void LoadOrFail(DxfDocument& doc, const std::string& bytes);

// A small R2000 drawing written by hand: header with $HANDSEED 100, an APPID table with ACAD and
// APP1, a block record table with *Model_Space (1F) and *Paper_Space (1B), a LINE 20 with an
// unknown code, a TEXT 21, and the root dictionary C with one XRECORD 30.
std::string SmallR2000();

}  // namespace tav::cad::test
