#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "FrameTestSupport.h"
#include "TavDataManager/frame/TavModuleState.h"
#include "platform/host/KvArx.h"
#include "platform/host/KvModule.h"

namespace {

using tav::test::kGroup;
using tav::test::PluginPath;

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(EntryPoint, InitialisationRegistersTheFourCommandsWithTheirFlags) {
  KvAppLoader loader;
  std::string error;
  KvLoadedApp* app = loader.Load(PluginPath(), &error);
  ASSERT_NE(app, nullptr) << error;
  ASSERT_TRUE(acedRegCmds()->hasGroup(kGroup));
  auto commands = acedRegCmds()->commands(kGroup);
  ASSERT_EQ(commands.size(), 4u);
  const char* names[] = {"TavConfig", "TavDwgSetting", "TavLinetype", "XG"};
  const int flags[] = {0, 2, 0, 0};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(commands[i].globalName, names[i]);
    EXPECT_EQ(commands[i].flags, flags[i]) << names[i];
    EXPECT_NE(commands[i].handler, nullptr);
  }
  EXPECT_EQ(acedRegCmds()->lookupCmd("tavdwgsetting", "TAVDATAMANAGER")->flags, ACRX_CMD_USEPICKSET);
  EXPECT_TRUE(loader.Unload(app, false, &error)) << error;
}

TEST(EntryPoint, TheApplicationIsUnlockedAndDeclaredToTheDynamicLinker) {
  KvAppLoader loader;
  KvLoadedApp* app = loader.Load(PluginPath());
  ASSERT_NE(app, nullptr);
  auto* linker = AcRxDynamicLinker::cast(acrxSysRegistry()->at("DynamicLinker"));
  EXPECT_TRUE(linker->isAppRegistered(app->appId()));
  EXPECT_TRUE(linker->isAppMDIAware(app->appId()));
  EXPECT_FALSE(acrxApplicationIsLocked(app->appId()));
}

TEST(EntryPoint, TheModuleFindsItsOwnLibraryAndMakesItsResourcesAvailable) {
  KvAppLoader loader;
  KvLoadedApp* app = loader.Load(PluginPath());
  ASSERT_NE(app, nullptr);
  KvHInstance instance = TavGetModuleInstance();
  ASSERT_NE(instance, nullptr);
  EXPECT_TRUE(EndsWith(instance->path, "/libTavDataManager.so")) << instance->path;
  EXPECT_EQ(TavGetResourceInstance(), instance);
  auto modules = KvResourceModules();
  EXPECT_NE(std::find(modules.begin(), modules.end(), instance), modules.end());
  ASSERT_TRUE(loader.Unload(app));
  modules = KvResourceModules();
  EXPECT_EQ(std::find(modules.begin(), modules.end(), instance), modules.end());
}

TEST(EntryPoint, EveryMessageIsAnsweredOkAndOnlyInitAndUnloadAct) {
  KvAppLoader loader;
  KvLoadedApp* app = loader.Load(PluginPath());
  ASSERT_NE(app, nullptr);
  for (int message : {3, 4, 5, 6, 8, 0, 42}) {
    EXPECT_EQ(app->Send(static_cast<AcRx::AppMsgCode>(message)), AcRx::kRetOK) << message;
    EXPECT_EQ(acedRegCmds()->commands(kGroup).size(), 4u) << message;
  }
  EXPECT_EQ(app->Send(AcRx::kUnloadAppMsg), AcRx::kRetOK);
  EXPECT_FALSE(acedRegCmds()->hasGroup(kGroup));
  EXPECT_EQ(app->Send(AcRx::kInitAppMsg), AcRx::kRetOK);
  EXPECT_EQ(acedRegCmds()->commands(kGroup).size(), 4u);
}

TEST(EntryPoint, UnloadRemovesTheGroupAndOnlyIt) {
  const KvCmdTableEntry other[] = {{"Keep", +[] {}, 0}};
  ASSERT_TRUE(KvDefineCommand("OTHERAPP", other, 1, 0));
  KvAppLoader loader;
  KvLoadedApp* app = loader.Load(PluginPath());
  ASSERT_NE(app, nullptr);
  ASSERT_NE(acedRegCmds()->lookupCmd("XG"), nullptr);
  std::string error;
  ASSERT_TRUE(loader.Unload(app, false, &error)) << error;
  EXPECT_FALSE(acedRegCmds()->hasGroup(kGroup));
  EXPECT_EQ(acedRegCmds()->lookupCmd("XG"), nullptr);
  EXPECT_EQ(acedRegCmds()->lookupCmd("TavConfig"), nullptr);
  EXPECT_NE(acedRegCmds()->lookupCmd("Keep"), nullptr);
  acedRegCmds()->removeGroup("OTHERAPP");
}

TEST(EntryPoint, TheEntryPointIsExportedWithCLinkage) {
  void* handle = dlopen(PluginPath().c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(handle, nullptr) << dlerror();
  EXPECT_NE(dlsym(handle, "acrxEntryPoint"), nullptr);
  dlclose(handle);
}

}  // namespace
