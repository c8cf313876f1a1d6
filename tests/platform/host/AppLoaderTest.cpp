#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/host/KvAppLoader.h"
#include "platform/host/KvCommandLine.h"
#include "platform/host/KvScriptedUserServices.h"

namespace {

int* Messages(KvLoadedApp* app) { return static_cast<int*>(dlsym(app->dlHandle(), "g_hostTestAppMessages")); }

TEST(AppLoader, LoadSendsInitWithTheAppIdAndTheCommandsBecomeUsable) {
  KvAppLoader loader;
  std::string error;
  KvLoadedApp* app = loader.Load(TAV_HOST_TEST_APP, &error);
  ASSERT_NE(app, nullptr) << error;
  int* messages = Messages(app);
  ASSERT_NE(messages, nullptr);
  EXPECT_EQ(messages[AcRx::kInitAppMsg], 1);
  EXPECT_EQ(*static_cast<void**>(dlsym(app->dlHandle(), "g_hostTestAppLastId")), app->appId());
  EXPECT_FALSE(acrxApplicationIsLocked(app->appId()));

  KvScriptedUserServices services;
  KvUserServicesScope scope(services);
  EXPECT_EQ(KvCommandLine::Current().RunCommand("hosthello"), RTNORM);
  EXPECT_EQ(services.output(), "\nhello from HostTestApp");
  KvCommandLine::Current().Clear();

  EXPECT_EQ(app->Send(AcRx::kLoadDwgMsg), AcRx::kRetOK);
  EXPECT_EQ(messages[AcRx::kLoadDwgMsg], 1);
  EXPECT_EQ(loader.Find(TAV_HOST_TEST_APP), app);
  EXPECT_EQ(loader.Load(TAV_HOST_TEST_APP, &error), nullptr);
  EXPECT_NE(error.find("already loaded"), std::string::npos);

  EXPECT_TRUE(loader.Unload(app, false, &error)) << error;
  EXPECT_EQ(acedRegCmds()->lookupCmd("HostHello"), nullptr);
  EXPECT_TRUE(loader.Apps().empty());
}

TEST(AppLoader, UnloadSendsTheUnloadMessageBeforeClosing) {
  // Keep the library mapped after the loader closes it, to read what it recorded.
  void* keep = dlopen(TAV_HOST_TEST_APP, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(keep, nullptr);
  int* messages = static_cast<int*>(dlsym(keep, "g_hostTestAppMessages"));
  int before = messages[AcRx::kUnloadAppMsg];
  {
    KvAppLoader loader;
    ASSERT_NE(loader.Load(TAV_HOST_TEST_APP), nullptr);
  }  // the loader unloads what is still loaded
  EXPECT_EQ(messages[AcRx::kUnloadAppMsg], before + 1);
  EXPECT_FALSE(acedRegCmds()->hasGroup("HOSTTESTAPP"));
  dlclose(keep);
}

TEST(AppLoader, ALockedApplicationIsOnlyUnloadedByForce) {
  setenv("HOST_TEST_APP_STAY_LOCKED", "1", 1);
  KvAppLoader loader;
  KvLoadedApp* app = loader.Load(TAV_HOST_TEST_APP);
  unsetenv("HOST_TEST_APP_STAY_LOCKED");
  ASSERT_NE(app, nullptr);
  std::string error;
  EXPECT_FALSE(loader.Unload(app, false, &error));
  EXPECT_NE(error.find("locked"), std::string::npos);
  EXPECT_TRUE(acedRegCmds()->hasGroup("HOSTTESTAPP"));
  EXPECT_TRUE(loader.Unload(app, true));
  EXPECT_FALSE(acedRegCmds()->hasGroup("HOSTTESTAPP"));
}

TEST(AppLoader, AnApplicationRefusingInitialisationIsNotKept) {
  setenv("HOST_TEST_APP_REFUSE", "1", 1);
  KvAppLoader loader;
  std::string error;
  EXPECT_EQ(loader.Load(TAV_HOST_TEST_APP, &error), nullptr);
  unsetenv("HOST_TEST_APP_REFUSE");
  EXPECT_NE(error.find("refused"), std::string::npos);
  EXPECT_TRUE(loader.Apps().empty());
}

TEST(AppLoader, LibrariesThatAreNoApplicationsAreRefusedWithTheReason) {
  KvAppLoader loader;
  std::string error;
  EXPECT_EQ(loader.Load("/nonexistent/libNothing.so", &error), nullptr);
  EXPECT_NE(error.find("cannot load"), std::string::npos);
  EXPECT_EQ(loader.Load(TAV_HOST_BASE_LIB, &error), nullptr);
  EXPECT_NE(error.find("no acrxEntryPoint"), std::string::npos);
  EXPECT_TRUE(loader.Apps().empty());
}

}  // namespace
