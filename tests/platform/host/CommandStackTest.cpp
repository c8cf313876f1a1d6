#include <gtest/gtest.h>

#include "platform/host/KvArx.h"

namespace {

int g_calls = 0;
void CountCall() { ++g_calls; }
void OtherCall() { g_calls += 100; }

class CommandStack : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const char* group : {"GROUPA", "GROUPB", "Empty"}) acedRegCmds()->removeGroup(group);
  }
};

TEST_F(CommandStack, RegistryHasTheLinkerAndTheCommandStack) {
  ASSERT_NE(acrxSysRegistry()->at("DynamicLinker"), nullptr);
  EXPECT_NE(AcRxDynamicLinker::cast(acrxSysRegistry()->at(ACRX_DYNAMIC_LINKER)), nullptr);
  EXPECT_EQ(AcEdCommandStack::cast(acrxSysRegistry()->at("ACAD_REGISTERED_COMMANDS")), acedRegCmds());
  EXPECT_EQ(AcEdCommandStack::cast(acrxSysRegistry()->at("DynamicLinker")), nullptr);
  EXPECT_EQ(acrxSysRegistry()->at("NoSuchEntry"), nullptr);
}

TEST_F(CommandStack, DefineCommandRegistersTheTableInOrderWithItsFlags) {
  const KvCmdTableEntry table[] = {{"First", &CountCall, 0}, {"Second", &CountCall, 2}, {"Third", &OtherCall, 0}};
  ASSERT_TRUE(KvDefineCommand("GROUPA", table, 3, 0));
  auto commands = acedRegCmds()->commands("GROUPA");
  ASSERT_EQ(commands.size(), 3u);
  EXPECT_EQ(commands[0].globalName, "First");
  EXPECT_EQ(commands[1].globalName, "Second");
  EXPECT_EQ(commands[1].flags, 2);
  EXPECT_EQ(commands[2].handler, &OtherCall);
  EXPECT_EQ(commands[0].group, "GROUPA");
}

TEST_F(CommandStack, DefineCommandAddsItsFlagsToEveryEntry) {
  const KvCmdTableEntry table[] = {{"First", &CountCall, ACRX_CMD_USEPICKSET}, {"Second", &CountCall, 0}};
  ASSERT_TRUE(KvDefineCommand("GROUPA", table, 2, ACRX_CMD_REDRAW));
  auto commands = acedRegCmds()->commands("GROUPA");
  EXPECT_EQ(commands[0].flags, ACRX_CMD_USEPICKSET | ACRX_CMD_REDRAW);
  EXPECT_EQ(commands[1].flags, ACRX_CMD_REDRAW);
}

TEST_F(CommandStack, LookupIgnoresCaseOfNameAndGroup) {
  const KvCmdTableEntry table[] = {{"TavConfig", &CountCall, 0}};
  ASSERT_TRUE(KvDefineCommand("GROUPA", table, 1, 0));
  ASSERT_NE(acedRegCmds()->lookupCmd("TAVCONFIG"), nullptr);
  EXPECT_EQ(acedRegCmds()->lookupCmd("tavconfig")->handler, &CountCall);
  EXPECT_NE(acedRegCmds()->lookupCmd("tAvCoNfIg", "groupa"), nullptr);
  EXPECT_EQ(acedRegCmds()->lookupCmd("TavConfig", "GROUPB"), nullptr);
  EXPECT_EQ(acedRegCmds()->lookupCmd("TavConfi"), nullptr);
}

TEST_F(CommandStack, ALaterGroupCoversTheSameName) {
  const KvCmdTableEntry a[] = {{"Same", &CountCall, 0}};
  const KvCmdTableEntry b[] = {{"SAME", &OtherCall, 0}};
  ASSERT_TRUE(KvDefineCommand("GROUPA", a, 1, 0));
  ASSERT_TRUE(KvDefineCommand("GROUPB", b, 1, 0));
  EXPECT_EQ(acedRegCmds()->lookupCmd("same")->handler, &OtherCall);
  EXPECT_EQ(acedRegCmds()->lookupCmd("same", "GROUPA")->handler, &CountCall);
  acedRegCmds()->removeGroup("GROUPB");
  EXPECT_EQ(acedRegCmds()->lookupCmd("same")->handler, &CountCall);
}

TEST_F(CommandStack, DefineCommandIsAllOrNothing) {
  const KvCmdTableEntry first[] = {{"One", &CountCall, 0}};
  ASSERT_TRUE(KvDefineCommand("GROUPA", first, 1, 0));
  const KvCmdTableEntry clash[] = {{"Two", &CountCall, 0}, {"ONE", &CountCall, 0}};
  EXPECT_FALSE(KvDefineCommand("GROUPA", clash, 2, 0));
  EXPECT_EQ(acedRegCmds()->lookupCmd("Two"), nullptr);
  const KvCmdTableEntry twice[] = {{"X1", &CountCall, 0}, {"x1", &CountCall, 0}};
  EXPECT_FALSE(KvDefineCommand("GROUPB", twice, 2, 0));
  EXPECT_FALSE(acedRegCmds()->hasGroup("GROUPB"));
  const KvCmdTableEntry noHandler[] = {{"Fine", &CountCall, 0}, {"Broken", nullptr, 0}};
  EXPECT_FALSE(KvDefineCommand("GROUPB", noHandler, 2, 0));
  const KvCmdTableEntry noName[] = {{"", &CountCall, 0}};
  EXPECT_FALSE(KvDefineCommand("GROUPB", noName, 1, 0));
  EXPECT_FALSE(KvDefineCommand("", first, 1, 0));
  EXPECT_FALSE(KvDefineCommand("GROUPB", nullptr, 1, 0));
  EXPECT_EQ(acedRegCmds()->lookupCmd("Fine"), nullptr);
  EXPECT_EQ(acedRegCmds()->commands("GROUPA").size(), 1u);
}

TEST_F(CommandStack, RemoveGroupTakesAllItsCommandsAndOnlyThose) {
  const KvCmdTableEntry a[] = {{"A1", &CountCall, 0}, {"A2", &CountCall, 0}};
  const KvCmdTableEntry b[] = {{"B1", &CountCall, 0}};
  ASSERT_TRUE(KvDefineCommand("GROUPA", a, 2, 0));
  ASSERT_TRUE(KvDefineCommand("GROUPB", b, 1, 0));
  EXPECT_EQ(acedRegCmds()->removeGroup("groupa"), Acad::eOk);
  EXPECT_EQ(acedRegCmds()->lookupCmd("A1"), nullptr);
  EXPECT_EQ(acedRegCmds()->lookupCmd("A2"), nullptr);
  EXPECT_NE(acedRegCmds()->lookupCmd("B1"), nullptr);
  EXPECT_EQ(acedRegCmds()->removeGroup("GROUPA"), Acad::eKeyNotFound);
}

TEST_F(CommandStack, GroupNamesListTheNewestFirst) {
  const KvCmdTableEntry a[] = {{"A1", &CountCall, 0}};
  ASSERT_TRUE(KvDefineCommand("GROUPA", a, 1, 0));
  ASSERT_TRUE(KvDefineCommand("GROUPB", a, 1, 0));
  auto names = acedRegCmds()->groupNames();
  auto posA = std::find(names.begin(), names.end(), "GROUPA");
  auto posB = std::find(names.begin(), names.end(), "GROUPB");
  ASSERT_NE(posA, names.end());
  ASSERT_NE(posB, names.end());
  EXPECT_LT(posB, posA);
}

TEST_F(CommandStack, RemoveCmdLeavesTheRestOfTheGroup) {
  const KvCmdTableEntry a[] = {{"A1", &CountCall, 0}, {"A2", &CountCall, 0}};
  ASSERT_TRUE(KvDefineCommand("GROUPA", a, 2, 0));
  EXPECT_EQ(acedRegCmds()->removeCmd("GROUPA", "a1"), Acad::eOk);
  EXPECT_EQ(acedRegCmds()->lookupCmd("A1"), nullptr);
  EXPECT_NE(acedRegCmds()->lookupCmd("A2"), nullptr);
  EXPECT_EQ(acedRegCmds()->removeCmd("GROUPA", "A1"), Acad::eKeyNotFound);
}

TEST(DynamicLinker, ApplicationsStayLockedUntilTheyUnlock) {
  int marker = 0;
  void* appId = &marker;
  EXPECT_TRUE(acrxApplicationIsLocked(appId));
  EXPECT_TRUE(acrxUnlockApplication(appId));
  EXPECT_FALSE(acrxApplicationIsLocked(appId));
  EXPECT_TRUE(acrxLockApplication(appId));
  EXPECT_TRUE(acrxApplicationIsLocked(appId));
  auto* linker = AcRxDynamicLinker::cast(acrxSysRegistry()->at(ACRX_DYNAMIC_LINKER));
  EXPECT_FALSE(linker->isAppRegistered(appId));
  EXPECT_TRUE(linker->registerAppMDIAware(appId));
  EXPECT_TRUE(linker->isAppMDIAware(appId));
  EXPECT_TRUE(linker->registerAppNotMDIAware(appId));
  EXPECT_FALSE(linker->isAppMDIAware(appId));
  EXPECT_TRUE(linker->isAppRegistered(appId));
  linker->forgetApp(appId);
  EXPECT_FALSE(linker->isAppRegistered(appId));
  EXPECT_FALSE(linker->registerAppMDIAware(nullptr));
}

}  // namespace
