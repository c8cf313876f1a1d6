// Configuration dictionaries as XML files: round trips, malformed files, atomic saves.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/base/KvFile.h"
#include "platform/config/KvDtDictionary.h"
#include "tests/support/TempDir.h"

namespace {

void FillRich(KvDtDictionary& root) {
  root.SetKey("VENO_CONFIG");
  root.SetLocalName("选项配置");
  auto* js = static_cast<KvDtDictStringItem*>(root.FindOrAddItem("TAV\\PIPE_SYS_SET\\JS", DICT_TYPE_STRING));
  js->SetLocalName("给水");
  js->SetAttributeValue("color", "3");
  js->SetAttributeValue("linetype", "Continuous");
  js->SetAttributeValue("candelete", "NO");
  js->SetValue("J");
  root.FindDict("TAV")->SetLocalName("给排水");
  static_cast<KvDtDictStringItem*>(root.FindOrAddItem("BLANKS", DICT_TYPE_STRING))->SetValue("  两端有空格 ");
  static_cast<KvDtDictStringItem*>(root.FindOrAddItem("ONLY_BLANKS", DICT_TYPE_STRING))->SetValue("   ");
  root.FindOrAddItem("EMPTY", DICT_TYPE_STRING);
  static_cast<KvDtDictStringItem*>(root.FindOrAddItem("MARKUP", DICT_TYPE_STRING))->SetValue("a<b & \"c\" 'd'\n第二行\t");
  root.FindOrAddDict("EMPTY_DIR")->SetDescription("空目录");
  static_cast<KvDtDictBoolItem*>(root.FindOrAddItem("AUTO_SAVE", DICT_TYPE_BOOL))->SetValue(true);
  static_cast<KvDtDictCharItem*>(root.FindOrAddItem("SEPARATOR", DICT_TYPE_CHAR))->SetValue(U'－');
  root.FindOrAddItem("NO_CHAR", DICT_TYPE_CHAR);
  static_cast<KvDtDictLongItem*>(root.FindOrAddItem("PRECISION", DICT_TYPE_LONG))->SetValue(-9000000000LL);
  static_cast<KvDtDictDoubleItem*>(root.FindOrAddItem("SCALE", DICT_TYPE_DOUBLE))->SetValue(0.1);
  static_cast<KvDtDictDoubleItem*>(root.FindOrAddItem("TINY", DICT_TYPE_DOUBLE))->SetValue(1e-300);
  auto* arrow = static_cast<KvDtDictOptionItem*>(root.FindOrAddItem("ARROW", DICT_TYPE_OPTION));
  arrow->SetAttributeValue("description", "箭头样式");
  arrow->SetLocalName("箭头");
  arrow->AddOption("实心");
  arrow->AddOption("");
  arrow->AddOption(" 空心 ");
  arrow->SetSelIndex(2);
  root.FindOrAddItem("NO_SELECTION", DICT_TYPE_OPTION);
  static_cast<KvDtDictOptionItem*>(root.FindItem("NO_SELECTION"))->AddOption("甲");
}

std::string ReadAll(const std::string& path) {
  std::string bytes;
  tav::ReadFileBytes(path, bytes);
  return bytes;
}

TEST(DictionaryXml, WrittenAndReadBackGivesAnEqualDictionary) {
  tav::test::TempDir dir;
  KvDtDictionary original;
  FillRich(original);
  const std::string file = dir.file("Config.xml");
  ASSERT_TRUE(original.SaveToXML(file)) << original.LastError().message;
  KvDtDictionary back;
  ASSERT_TRUE(back.ReadFromXML(file)) << back.LastError().message;
  EXPECT_TRUE(back == original) << ReadAll(file);
  std::string blanks;
  back.GetValue("ONLY_BLANKS", blanks);
  EXPECT_EQ(blanks, "   ");
  // Saving what was read gives the same bytes.
  ASSERT_TRUE(back.SaveToXML(dir.file("again.xml")));
  EXPECT_EQ(ReadAll(file), ReadAll(dir.file("again.xml")));
}

TEST(DictionaryXml, WritesTheDocumentedElementForm) {
  KvDtDictionary root;
  root.SetKey("ROOT");
  auto* js = root.FindOrAddItem("JS", DICT_TYPE_STRING);
  js->SetLocalName("给水");
  static_cast<KvDtDictStringItem*>(js)->SetValue("J");
  static_cast<KvDtDictLongItem*>(root.FindOrAddItem("N", DICT_TYPE_LONG))->SetValue(2);
  auto* o = static_cast<KvDtDictOptionItem*>(root.FindOrAddItem("O", DICT_TYPE_OPTION));
  o->AddOption("a");
  o->AddOption("b");
  o->SetSelIndex(1);
  const std::string text = root.ToXMLText();
  EXPECT_EQ(text,
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
            "<Directory name=\"ROOT\">\n"
            "  <String name=\"JS\" localname=\"给水\">J</String>\n"
            "  <Int name=\"N\">2</Int>\n"
            "  <Option name=\"O\">\n"
            "    <Choice>a</Choice>\n"
            "    <Choice selected=\"TRUE\">b</Choice>\n"
            "  </Option>\n"
            "</Directory>\n");
}

TEST(DictionaryXml, ReadsAnyRootNameAndLenientBoolTexts) {
  KvDtDictionary dict;
  ASSERT_TRUE(dict.ReadFromXMLText(
      "<VenoDwgConfig name=\"VENO_DWG_CONFIG\" localname=\"图形设置\">"
      "<Directory name=\"VENO_BASE_CONFIG\"><Bool name=\"A\">true</Bool><Bool name=\"B\">0</Bool>"
      "<Double name=\"S\"> 100 </Double></Directory></VenoDwgConfig>"))
      << dict.LastError().message;
  EXPECT_EQ(dict.GetKey(), "VENO_DWG_CONFIG");
  bool a = false, b = true;
  double s = 0;
  EXPECT_TRUE(dict.GetValue("VENO_BASE_CONFIG\\A", a));
  EXPECT_TRUE(dict.GetValue("VENO_BASE_CONFIG\\B", b));
  EXPECT_TRUE(dict.GetValue("VENO_BASE_CONFIG\\S", s));
  EXPECT_TRUE(a);
  EXPECT_FALSE(b);
  EXPECT_EQ(s, 100);
}

TEST(DictionaryXml, ReadsGbkFilesThatSaySo) {
  tav::test::TempDir dir;
  // <String name="JS">给水</String> with the caption in GBK bytes.
  const std::string gbk = "<?xml version=\"1.0\" encoding=\"GB2312\"?>\n<Directory><String name=\"JS\">\xB8\xF8\xCB\xAE</String></Directory>";
  ASSERT_TRUE(tav::WriteFileAtomic(dir.file("gbk.xml"), gbk));
  KvDtDictionary dict;
  ASSERT_TRUE(dict.ReadFromXML(dir.file("gbk.xml"))) << dict.LastError().message;
  std::string value;
  dict.GetValue("JS", value);
  EXPECT_EQ(value, "给水");
}

struct BadCase {
  const char* name;
  const char* text;
  int line;
  int column;
  const char* words;
};

class DictionaryMalformed : public ::testing::TestWithParam<BadCase> {};

TEST_P(DictionaryMalformed, NamesFileAndPositionAndLeavesTheDictionaryAlone) {
  const BadCase& bad = GetParam();
  tav::test::TempDir dir;
  const std::string file = dir.file("Config.xml");
  ASSERT_TRUE(tav::WriteFileAtomic(file, bad.text));
  KvDtDictionary dict;
  FillRich(dict);
  const auto before = dict.CloneDict();
  EXPECT_FALSE(dict.ReadFromXML(file));
  const KvXmlResult& error = dict.LastError();
  EXPECT_FALSE(error.ok);
  EXPECT_EQ(error.line, bad.line) << error.message;
  EXPECT_EQ(error.column, bad.column) << error.message;
  EXPECT_EQ(error.message.rfind(file + ":" + std::to_string(bad.line) + ":" + std::to_string(bad.column) + ": ", 0), 0u)
      << error.message;
  EXPECT_NE(error.message.find(bad.words), std::string::npos) << error.message;
  EXPECT_TRUE(dict == *before);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DictionaryMalformed,
    ::testing::Values(
        BadCase{"Truncated", "<?xml version=\"1.0\"?>\n<Directory name=\"A\">\n  <Int name=\"B\">1</Int>\n  <Directory name=\"中文\">\n", 4, 24, "ends early"},
        BadCase{"MismatchedTag", "<Directory>\n  <Int name=\"给水\">1</Bool>\n</Directory>\n", 2, 21, "mismatch"},
        BadCase{"BadValue", "<Directory>\n  <Directory name=\"管道\">\n    <Int name=\"N\">12abc</Int>\n  </Directory>\n</Directory>\n", 3, 5, "'12abc' is not a Int value"},
        BadCase{"UnknownType", "<Directory>\n\t<Float name=\"F\">1</Float>\n</Directory>", 2, 2, "unknown item type <Float>"},
        BadCase{"BadChoice", "<Directory>\n<Option name=\"O\"><Item>x</Item></Option>\n</Directory>", 2, 18, "expected <Choice>"},
        BadCase{"TwoChars", "<Directory><Char name=\"C\">ab</Char></Directory>", 1, 12, "'ab' is not a Char value"},
        BadCase{"Empty", "", 1, 1, "No document element"},
        BadCase{"NotXml", "给水 = J\n", 2, 1, "malformed XML"},
        BadCase{"TwoRoots", "<Directory/>\n<Directory/>", 2, 1, "malformed XML"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DictionaryXml, MissingFileIsAnErrorNamingTheFile) {
  tav::test::TempDir dir;
  KvDtDictionary dict;
  dict.SetKey("KEEP");
  EXPECT_FALSE(dict.ReadFromXML(dir.file("absent.xml")));
  EXPECT_NE(dict.LastError().message.find("absent.xml"), std::string::npos);
  EXPECT_EQ(dict.GetKey(), "KEEP");
}

TEST(DictionaryXml, PositionsCountCharactersAfterAByteOrderMark) {
  KvDtDictionary dict;
  EXPECT_FALSE(dict.ReadFromXMLText("\xEF\xBB\xBF<Directory>\n  <Int name=\"给水\">x</Int></Directory>", "bom.xml"));
  EXPECT_EQ(dict.LastError().line, 2);
  EXPECT_EQ(dict.LastError().column, 3);
  EXPECT_FALSE(dict.ReadFromXMLText("\xEF\xBB\xBF<Directory><Int name=\"给水\">x</Int></Directory>", "bom.xml"));
  EXPECT_EQ(dict.LastError().line, 1);
  EXPECT_EQ(dict.LastError().column, 12);
}

TEST(DictionaryXml, SaveIntoMissingFolderFailsWithAMessage) {
  tav::test::TempDir dir;
  KvDtDictionary dict;
  EXPECT_FALSE(dict.SaveToXML(dir.file("no/such/folder/Config.xml")));
  EXPECT_NE(dict.LastError().message.find("Config.xml"), std::string::npos);
}

// A process saving a large dictionary over and over is killed at some moment; whatever moment that is,
// the file on disk is one of the two whole versions, never a part of one.
TEST(DictionaryXml, InterruptedSaveLeavesAWholeFile) {
  tav::test::TempDir dir;
  const std::string file = dir.file("Config.xml");
  KvDtDictionary first, second;
  KvDtDictionary* d1 = first.FindOrAddDict("D");
  KvDtDictionary* d2 = second.FindOrAddDict("D");
  for (int i = 0; i < 20000; ++i) {
    const std::string key = "ITEM_" + std::to_string(i);
    d1->AppendItem(std::make_unique<KvDtDictStringItem>(key, "第一版"));
    d2->AppendItem(std::make_unique<KvDtDictStringItem>(key, "第二版本"));
  }
  ASSERT_TRUE(first.SaveToXML(file));
  for (int round = 0; round < 3; ++round) {
    int pipefd[2];
    ASSERT_EQ(pipe(pipefd), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(pipefd[0]);
      for (int i = 0;; ++i) {
        (i % 2 ? first : second).SaveToXML(file);
        if (i == 0) (void)!write(pipefd[1], "x", 1);
      }
    }
    close(pipefd[1]);
    char c;
    ASSERT_EQ(read(pipefd[0], &c, 1), 1);  // at least one save finished; more are running
    usleep(static_cast<useconds_t>(3000 * (round + 1)));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    close(pipefd[0]);
    KvDtDictionary back;
    ASSERT_TRUE(back.ReadFromXML(file)) << back.LastError().message;
    EXPECT_TRUE(back == first || back == second);
  }
}

}  // namespace
