// Shared set-up of the linetype tests: a main directory of their own with a standard linetype file,
// the command line captured, and a file loader of their own.
#pragma once

#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "TavDataManager/linetype/KvLinetypeLoader.h"
#include "TavDataManager/linetype/LinetypeOptionUtility.h"
#include "platform/base/KvFile.h"
#include "platform/config/KvPaths.h"
#include "platform/host/KvScriptedUserServices.h"
#include "tests/support/TempDir.h"

namespace linetype_test {

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Standard definitions as the host's own file has them, then the add-on's section.
inline const std::string kStandardForeign =
    ";;\r\n"
    ";;  AutoCAD ISO linetype definitions\r\n"
    ";;\r\n"
    "*BORDER,Border __ __ . __ __ . __ __ . __ __ . __ __ .\r\n"
    "A,12.7,-6.35,12.7,-6.35,0,-6.35\r\n"
    "*DASHED,Dashed __ __ __ __ __ __ __ __ __ __ __ __ __ _\r\n"
    "A,12.7,-6.35\r\n"
    "*GAS_LINE,Gas line ----GAS----GAS----GAS----GAS----GAS----GAS--\r\n"
    "A,12.7,-5.08,[\"GAS\",STANDARD,S=2.54,R=0.0,X=-2.54,Y=-1.27],-6.35\r\n"
    ";;TAV LINETYPE DEFINE\r\n";

class LinetypeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tav::MakeDirectories(dir.path() + "Common");
    tav::MakeDirectories(dir.path() + "PLX");
    tav::SetMainDirectory(dir.path());
  }
  void TearDown() override { tav::SetMainDirectory(""); }

  std::string StandardFile() const { return dir.path() + "Common/AcadISO.Lin"; }
  void WriteStandard(const std::string& ownSection) { WriteBytes(StandardFile(), kStandardForeign + ownSection); }

  tav::test::TempDir dir;
  KvScriptedUserServices services;
  KvUserServicesScope servicesScope{services};
  KvLinFileLinetypeLoader loader;
};

}  // namespace linetype_test
