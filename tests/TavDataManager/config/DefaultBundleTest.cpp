// The shipped DefaultCfg.allcfg is what the export code makes of the shipped Config.xml and
// UIConfig.xml and a new drawing; tavtool's bundle verbs run the dialogs' steps.
#include <cstdlib>

#include "tests/TavDataManager/config/BundleTestSupport.h"

namespace tav::test {
namespace {

std::string Tavtool() { return std::string(TAV_BINARY_DIR) + "/bin/tavtool"; }

int RunTool(const std::string& command, const std::string& outputFile) {
  return std::system((command + " >" + outputFile + " 2>&1").c_str());
}

TEST(DefaultBundleTest, ShippedBundleMatchesAFreshExport) {
  TempDir dir;
  std::filesystem::create_directories(dir.path() + "user");
  const std::string out = dir.file("DefaultCfg.allcfg");
  ASSERT_EQ(RunTool(Tavtool() + " --main-dir " + TAV_SOURCE_DIR + "/maindir --config-dir " + dir.path() +
                    "user config export " + out,
                dir.file("log")),
            0)
      << ReadBytes(dir.file("log"));
  EXPECT_TRUE(ReadBytes(ShippedFile("DefaultCfg.allcfg")) == ReadBytes(out))
      << "maindir/DefaultCfg.allcfg is out of date with maindir/Config.xml, maindir/UIConfig.xml or the export "
         "code: run scripts/make-default-bundle.sh and commit the result";
}

TEST(DefaultBundleTest, ToolRestoresEverythingIntoAFreshUserFolderAndADrawing) {
  TempDir dir;
  const std::string user = dir.path() + "user/";
  std::filesystem::create_directories(user);
  std::filesystem::copy_file(ShippedFile("Config.xml"), user + "Config.xml");
  std::filesystem::copy_file(ShippedFile("UIConfig.xml"), user + "UIConfig.xml");
  const std::string base = Tavtool() + " --main-dir " + TAV_SOURCE_DIR + "/maindir --config-dir " + user;
  // A drawing of its own first, then the defaults restored into it.
  ASSERT_EQ(RunTool(base + " config export " + dir.file("x.allcfg"), dir.file("log")), 0) << ReadBytes(dir.file("log"));
  AcDbDatabase db;
  ASSERT_EQ(KvDbSetSymbElevDotSize(8, &db), Acad::eOk);
  ASSERT_EQ(db.saveAs(dir.file("in.dxf")), Acad::eOk);
  ASSERT_EQ(RunTool(base + " config restore --all --drawing " + dir.file("in.dxf") + " -o " + dir.file("out.dxf"), dir.file("log")), 0)
      << ReadBytes(dir.file("log"));
  const std::string log = ReadBytes(dir.file("log"));
  EXPECT_NE(log.find("UI configuration replaced"), std::string::npos) << log;
  std::unique_ptr<AcDbDatabase> restored = AcDbDatabase::open(dir.file("out.dxf"));
  ASSERT_NE(restored, nullptr);
  EXPECT_DOUBLE_EQ(KvDbGetSymbElevDotSize(restored.get()), 1.5);
  AcDbDictionary* dict = GetAecMaterialDictionary(AcDb::kForRead, restored.get());
  ASSERT_NE(dict, nullptr);
  EXPECT_EQ(dict->numEntries(), 8);
  dict->close();
  // The configuration files are still the shipped ones in content.
  KvDtDictionary config, shipped;
  ASSERT_TRUE(config.ReadFromXML(user + "Config.xml"));
  ASSERT_TRUE(shipped.ReadFromXML(ShippedFile("Config.xml")));
  EXPECT_TRUE(config == shipped);
}

TEST(DefaultBundleTest, ToolRefusesUnknownPathsAndBadBundles) {
  TempDir dir;
  const std::string user = dir.path() + "user/";
  std::filesystem::create_directories(user);
  std::filesystem::copy_file(ShippedFile("Config.xml"), user + "Config.xml");
  const std::string before = ReadBytes(user + "Config.xml");
  const std::string base = Tavtool() + " --main-dir " + TAV_SOURCE_DIR + "/maindir --config-dir " + user;
  EXPECT_NE(RunTool(base + " config restore --select VENO_CONFIG\\\\NO_SUCH_PAGE", dir.file("log")), 0);
  EXPECT_NE(ReadBytes(dir.file("log")).find("NO_SUCH_PAGE"), std::string::npos);
  WriteBytes(dir.file("bad.allcfg"), "<VenoConfigDataSet><Directory name=\"VENO_CONFIG\">");
  EXPECT_NE(RunTool(base + " config import " + dir.file("bad.allcfg") + " --all", dir.file("log")), 0);
  EXPECT_NE(ReadBytes(dir.file("log")).find("打开XML文档失败！请安装MSXML4.0SP2组件"), std::string::npos);
  EXPECT_EQ(ReadBytes(user + "Config.xml"), before);
}

}  // namespace
}  // namespace tav::test
