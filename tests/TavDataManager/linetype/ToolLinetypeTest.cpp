// tavtool linetype over a main directory of its own.
#include <cstdlib>

#include <sys/wait.h>

#include "LinetypeTestSupport.h"
#include "TavDataManager/linetype/TavNum2Str.h"

using namespace linetype_test;

namespace {

class ToolLinetype : public LinetypeTest {
 protected:
  // Runs tavtool with the test's main directory; returns the exit status, output and errors in files.
  int Tool(const std::string& arguments) {
    const std::string tool = std::string(TAV_BINARY_DIR) + "/bin/tavtool";
    const std::string command = "'" + tool + "' --main-dir '" + dir.path() + "' linetype " + arguments + " >'" +
                                dir.file("out.txt") + "' 2>'" + dir.file("err.txt") + "'";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Out() { return ReadBytes(dir.file("out.txt")); }
  std::string Err() { return ReadBytes(dir.file("err.txt")); }
};

}  // namespace

TEST_F(ToolLinetype, AddListRefuseAndRemoveAsTheManagerDoes) {
  if (!tav::FileExists(std::string(TAV_BINARY_DIR) + "/bin/tavtool")) GTEST_SKIP() << "tavtool not built";
  WriteStandard("");
  WriteBytes(dir.path() + "PLX/Hexa.Lin", ";;hexa\r\n");
  ASSERT_EQ(Tool("add W --param 6=30"), 0) << Err();
  EXPECT_EQ(ReadBytes(dir.path() + "PLX/Hexa.Lin"),
            ";;hexa\r\n*TAV_W,------ W ------\r\nA,50,0,[\"W\",Standard,S=2,R=30,X=1.1,Y=-1],-4\r\n");
  EXPECT_EQ(Tool("add w"), 1);
  EXPECT_EQ(Err(), "错误: 添加线型失败：重复的定义！\n");
  ASSERT_EQ(Tool("list"), 0);
  EXPECT_EQ(Out(), "*TAV_W,------ W ------\nA,50,0,[\"W\",Standard,S=2,R=30,X=1.1,Y=-1],-4\n");
  EXPECT_EQ(Tool("add W --param 9=1"), 2);
  ASSERT_EQ(Tool("remove tav_w"), 0) << Err();
  EXPECT_EQ(ReadBytes(StandardFile()), kStandardForeign);
  EXPECT_EQ(Tool("remove TAV_W"), 1);
}

TEST(TavNum2Str, ShortestTextOrFixedDecimals) {
  EXPECT_EQ(TavNum2Str(50, -1), "50");
  EXPECT_EQ(TavNum2Str(-4, -1), "-4");
  EXPECT_EQ(TavNum2Str(1.1, -1), "1.1");
  EXPECT_EQ(TavNum2Str(-0.0, -1), "0");
  EXPECT_EQ(TavNum2Str(0.1 + 0.2, -1), "0.30000000000000004");
  EXPECT_EQ(TavNum2Str(2.5, 3), "2.5");
  EXPECT_EQ(TavNum2Str(2.0, 3), "2");
  EXPECT_EQ(TavNum2Str(-0.0001, 2), "0");
}
