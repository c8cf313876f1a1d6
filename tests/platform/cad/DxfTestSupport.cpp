#include "tests/platform/cad/DxfTestSupport.h"

#include <gtest/gtest.h>

#include "platform/base/KvFile.h"

namespace tav::cad::test {

std::string FixturePath(const std::string& name) {
  return std::string(TAV_SOURCE_DIR) + "/tests/platform/cad/fixtures/" + name;
}

std::string FixtureBytes(const std::string& name) {
  std::string bytes;
  EXPECT_TRUE(ReadFileBytes(FixturePath(name), bytes)) << name;
  return bytes;
}

std::vector<TagText> TagsOf(const std::string& bytes) {
  std::vector<DxfRawTag> raw;
  DxfResult r = ScanDxfTags(bytes, raw);
  EXPECT_TRUE(r) << r.Message();
  std::vector<TagText> out;
  out.reserve(raw.size());
  for (const auto& t : raw) out.push_back(TagText{t.code, bytes.substr(t.value(), t.length)});
  return out;
}

void LoadOrFail(DxfDocument& doc, const std::string& bytes) {
  DxfResult r = doc.LoadFromBytes(bytes);
  ASSERT_TRUE(r) << r.Message();
}

std::string SmallR2000() {
  const char* lines[] = {
      "  0", "SECTION", "  2", "HEADER",
      "  9", "$ACADVER", "  1", "AC1015",
      "  9", "$DWGCODEPAGE", "  3", "ANSI_1252",
      "  9", "$HANDSEED", "  5", "100",
      "  0", "ENDSEC",
      "  0", "SECTION", "  2", "CLASSES", "  0", "ENDSEC",
      "  0", "SECTION", "  2", "TABLES",
      "  0", "TABLE", "  2", "LAYER", "  5", "2", "330", "0", "100", "AcDbSymbolTable", " 70", "1",
      "  0", "LAYER", "  5", "10", "330", "2", "100", "AcDbSymbolTableRecord", "100", "AcDbLayerTableRecord",
      "  2", "0", " 70", "0", " 62", "7", "  6", "Continuous",
      "  0", "ENDTAB",
      "  0", "TABLE", "  2", "APPID", "  5", "9", "330", "0", "100", "AcDbSymbolTable", " 70", "2",
      "  0", "APPID", "  5", "12", "330", "9", "100", "AcDbSymbolTableRecord", "100", "AcDbRegAppTableRecord",
      "  2", "ACAD", " 70", "0",
      "  0", "APPID", "  5", "13", "330", "9", "100", "AcDbSymbolTableRecord", "100", "AcDbRegAppTableRecord",
      "  2", "APP1", " 70", "0",
      "  0", "ENDTAB",
      "  0", "TABLE", "  2", "BLOCK_RECORD", "  5", "1", "330", "0", "100", "AcDbSymbolTable", " 70", "2",
      "  0", "BLOCK_RECORD", "  5", "1F", "330", "1", "100", "AcDbSymbolTableRecord", "100", "AcDbBlockTableRecord",
      "  2", "*Model_Space",
      "  0", "BLOCK_RECORD", "  5", "1B", "330", "1", "100", "AcDbSymbolTableRecord", "100", "AcDbBlockTableRecord",
      "  2", "*Paper_Space",
      "  0", "ENDTAB",
      "  0", "ENDSEC",
      "  0", "SECTION", "  2", "BLOCKS", "  0", "ENDSEC",
      "  0", "SECTION", "  2", "ENTITIES",
      "  0", "LINE", "  5", "20", "330", "1F", "100", "AcDbEntity", "  8", "0", "100", "AcDbLine",
      " 10", "1.0", " 20", "2.0", " 30", "0.0", " 96", "7", " 11", "3.0", " 21", "4.0", " 31", "0.0",
      "1001", "APP1", "1000", "first",
      "  0", "TEXT", "  5", "21", "330", "1F", "100", "AcDbEntity", "  8", "0", "100", "AcDbText",
      " 10", "0.0", " 20", "0.0", " 30", "0.0", " 40", "2.5", "  1", "hello", "100", "AcDbText",
      "  0", "ENDSEC",
      "  0", "SECTION", "  2", "OBJECTS",
      "  0", "DICTIONARY", "  5", "C", "330", "0", "100", "AcDbDictionary", "281", "1",
      "  3", "TAV_SETTINGS", "350", "30",
      "  0", "XRECORD", "  5", "30", "330", "C", "100", "AcDbXrecord", "280", "1", "  1", "scale", " 40", "100.0",
      "  0", "ENDSEC",
      "  0", "EOF"};
  std::string out;
  for (const char* l : lines) {
    out += l;
    out += '\n';
  }
  return out;
}

}  // namespace tav::cad::test
