#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/host/KvCommandLine.h"
#include "platform/host/KvScriptedUserServices.h"

namespace {

std::vector<std::string> g_trace;

void Outer() {
  g_trace.push_back("outer begins");
  acedCommand(RTSTR, ".REGEN", RTNONE);
  acedPostCommand("Posted\r");
  g_trace.push_back("outer ends");
}
void Inner() { g_trace.push_back("inner " + KvCommandLine::Current().ActiveCommand()); }
void PostedCmd() { g_trace.push_back("posted"); }
void Failing() { throw std::runtime_error("broken"); }
void TypesInside() { g_trace.push_back("types " + std::to_string(KvCommandLine::Current().RunCommand("Inner"))); }

class CommandLine : public ::testing::Test {
 protected:
  void SetUp() override {
    const KvCmdTableEntry table[] = {{"Outer", &Outer, 0},       {"REGEN", &Inner, 0},
                                     {"Posted", &PostedCmd, 0},  {"Failing", &Failing, 0},
                                     {"Inner", &Inner, 0},       {"TypesInside", &TypesInside, 0},
                                     {"Transparent", &Inner, ACRX_CMD_TRANSPARENT}};
    ASSERT_TRUE(KvDefineCommand("CMDLINETEST", table, 7, 0));
    KvCommandLine::Current().Clear();
    g_trace.clear();
  }
  void TearDown() override {
    acedRegCmds()->removeGroup("CMDLINETEST");
    KvCommandLine::Current().Clear();
  }
  KvScriptedUserServices services_;
  KvUserServicesScope scope_{services_};
};

TEST_F(CommandLine, PostedTextRunsOnlyAfterTheCommandEnds) {
  EXPECT_EQ(KvCommandLine::Current().RunCommand("OUTER"), RTNORM);
  std::vector<std::string> expected = {"outer begins", "inner .REGEN", "outer ends", "posted"};
  EXPECT_EQ(g_trace, expected);
  const auto& history = KvCommandLine::Current().History();
  ASSERT_EQ(history.size(), 3u);
  EXPECT_EQ(history[1].name, ".REGEN");
  EXPECT_EQ(history[1].source, KvCommandRecord::Source::kInvoked);
  EXPECT_EQ(history[1].depth, 1);
  EXPECT_EQ(history[1].group, "CMDLINETEST");
  EXPECT_EQ(history[2].name, "Posted");
  EXPECT_EQ(history[2].source, KvCommandRecord::Source::kPosted);
  EXPECT_EQ(history[2].depth, 0);
  EXPECT_EQ(KvCommandLine::Current().PostedTexts(), std::vector<std::string>{"Posted\r"});
}

TEST_F(CommandLine, PostedTextWhileIdleRunsAtOnceAndAnUnendedEntryWaits) {
  acedPostCommand("Posted");
  EXPECT_TRUE(g_trace.empty());
  EXPECT_EQ(KvCommandLine::Current().PendingPostedText(), "Posted");
  acedPostCommand("\rPosted\r");
  EXPECT_EQ(g_trace, (std::vector<std::string>{"posted", "posted"}));
  EXPECT_EQ(KvCommandLine::Current().PendingPostedText(), "");
}

TEST_F(CommandLine, ABlankOrNewlineAlsoEndsAPostedEntry) {
  acedPostCommand("Posted Posted\nPosted\r\r");
  EXPECT_EQ(g_trace.size(), 3u);
}

TEST_F(CommandLine, CommandArgumentsAreKeptWithTheirTypes) {
  double point[3] = {1.5, 2, 3};
  EXPECT_EQ(acedCommand(RTSTR, "_Inner", RTSHORT, 7, RTREAL, 0.25, RTPOINT, point, RT3DPOINT, point, RTSTR,
                        "文字", RTNONE),
            RTNORM);
  ASSERT_EQ(KvCommandLine::Current().History().size(), 1u);
  const auto& args = KvCommandLine::Current().History()[0].args;
  ASSERT_EQ(args.size(), 5u);
  EXPECT_EQ(args[0].ToString(), "7");
  EXPECT_EQ(args[1].ToString(), "0.25");
  EXPECT_EQ(args[2].ToString(), "1.5,2");
  EXPECT_EQ(args[3].ToString(), "1.5,2,3");
  EXPECT_EQ(args[4].ToString(), "文字");
  EXPECT_EQ(g_trace, std::vector<std::string>{"inner _Inner"});
}

TEST_F(CommandLine, UnknownCommandsArePrintedAndFail) {
  EXPECT_EQ(acedCommand(RTSTR, ".NOSUCH", RTNONE), RTERROR);
  EXPECT_EQ(services_.output(), "\n未知命令“NOSUCH”。");
  EXPECT_EQ(KvCommandLine::Current().History().at(0).result, RTERROR);
}

TEST_F(CommandLine, TheHostHandlesItsOwnCommandsThroughTheUnknownHandler) {
  std::string seen;
  KvCommandLine::Current().SetUnknownCommandHandler([&](const KvCommandRecord& record, std::string_view name) {
    seen = record.name + "|" + std::string(name);
    return true;
  });
  EXPECT_EQ(acedCommand(RTSTR, "._ZOOM", RTNONE), RTNORM);
  KvCommandLine::Current().SetUnknownCommandHandler(nullptr);
  EXPECT_EQ(seen, "._ZOOM|ZOOM");
  EXPECT_EQ(services_.output(), "");
}

TEST_F(CommandLine, BadCommandCallsAreRefused) {
  EXPECT_EQ(acedCommand(RTSHORT, 3, RTNONE), RTERROR);
  EXPECT_EQ(acedCommand(RTSTR, "Inner", 4711, 1, RTNONE), RTERROR);
  EXPECT_EQ(acedCommand(RTSTR, "", RTNONE), RTNORM);
  EXPECT_TRUE(KvCommandLine::Current().History().empty());
  EXPECT_TRUE(g_trace.empty());
}

TEST_F(CommandLine, AFailingCommandEndsAndTheCommandLineGoesOn) {
  EXPECT_EQ(KvCommandLine::Current().RunCommand("Failing"), RTERROR);
  EXPECT_FALSE(KvCommandLine::Current().IsCommandActive());
  EXPECT_EQ(KvCommandLine::Current().History().at(0).error, "broken");
  EXPECT_NE(services_.output().find("broken"), std::string::npos);
  EXPECT_EQ(KvCommandLine::Current().RunCommand("Inner"), RTNORM);
}

TEST_F(CommandLine, OnlyTransparentCommandsMayBeTypedInsideAnother) {
  KvCommandLine::Current().RunCommand("TypesInside");
  EXPECT_EQ(g_trace, std::vector<std::string>{"types " + std::to_string(RTREJ)});
  const KvCmdTableEntry table[] = {{"TypesTransparent", +[] {
                                      g_trace.push_back(std::to_string(KvCommandLine::Current().RunCommand("'Transparent")));
                                    }, 0}};
  ASSERT_TRUE(KvDefineCommand("CMDLINETEST", table, 1, 0));
  g_trace.clear();
  KvCommandLine::Current().RunCommand("TypesTransparent");
  EXPECT_EQ(g_trace, (std::vector<std::string>{"inner 'Transparent", std::to_string(RTNORM)}));
}

TEST_F(CommandLine, PrintfFormatsUtf8Text) {
  EXPECT_EQ(acutPrintf("\n%s: %d 个, %.2f", "管道", 3, 1.5), static_cast<int>(std::string("\n管道: 3 个, 1.50").size()));
  EXPECT_EQ(services_.output(), "\n管道: 3 个, 1.50");
  acedPostCommandPrompt();
  EXPECT_EQ(services_.commandPrompts(), 1);
  acedAlert("搜索表格元素失败!");
  EXPECT_EQ(services_.alerts(), std::vector<std::string>{"搜索表格元素失败!"});
}

TEST_F(CommandLine, ColourDialogKeepsTheColourWhenCancelled) {
  services_.QueueColorCancel();
  services_.QueueColor(256);
  int color = 5;
  EXPECT_FALSE(acedSetColorDialog(color, true, 7));
  EXPECT_EQ(color, 5);
  EXPECT_TRUE(acedSetColorDialog(color, true, 7));
  EXPECT_EQ(color, 256);
  ASSERT_EQ(services_.colorDialogs().size(), 2u);
  EXPECT_EQ(services_.colorDialogs()[1].initialColor, 5);
  EXPECT_EQ(services_.colorDialogs()[1].layerColor, 7);
}

}  // namespace
