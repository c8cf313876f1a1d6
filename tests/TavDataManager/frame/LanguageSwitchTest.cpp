#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/config/KvDtDictionary.h"
#include "platform/config/KvLanguageSwitch.h"
#include "platform/config/KvPaths.h"
#include "tests/support/TempDir.h"

namespace {

void WriteLanguage(const std::string& path, const std::string& title) {
  std::ofstream out(path);
  out << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Directory name=\"LANG\"><String name=\"IDS_TITLE\">" << title
      << "</String></Directory>\n";
}

std::string Title(KvDtDictionary* dictionary) {
  std::string title;
  if (dictionary) dictionary->GetValue("IDS_TITLE", title);
  return title;
}

TEST(LanguageSwitch, LoadsTheModuleFileIgnoringTheCaseOfItsName) {
  tav::test::TempDir dir;
  WriteLanguage(dir.file("TavDataManager.xml"), "线型管理");
  VenoLanguageSwitch languageSwitch(dir.path());
  KvDtDictionary* dictionary = languageSwitch.GetModuleLanguage("TAVDATAMANAGER");
  ASSERT_NE(dictionary, nullptr) << languageSwitch.LastError();
  EXPECT_EQ(Title(dictionary), "线型管理");
  EXPECT_EQ(languageSwitch.GetModuleLanguage("tavdatamanager"), dictionary);  // kept, same object
}

TEST(LanguageSwitch, TheLibPrefixOfASharedLibraryIsNoPartOfTheModuleName) {
  tav::test::TempDir dir;
  WriteLanguage(dir.file("TAVDATAMANAGER.xml"), "图形设置");
  VenoLanguageSwitch languageSwitch(dir.path());
  EXPECT_EQ(Title(languageSwitch.GetModuleLanguage("LIBTAVDATAMANAGER")), "图形设置");
  WriteLanguage(dir.file("LIBONLY.xml"), "lib");
  EXPECT_EQ(Title(languageSwitch.GetModuleLanguage("LIBONLY")), "lib");
}

TEST(LanguageSwitch, AMissingFileGivesNullAndIsLookedForAgain) {
  tav::test::TempDir dir;
  VenoLanguageSwitch languageSwitch(dir.path());
  EXPECT_EQ(languageSwitch.GetModuleLanguage("TAVDATAMANAGER"), nullptr);
  EXPECT_NE(languageSwitch.LastError().find("TAVDATAMANAGER"), std::string::npos);
  EXPECT_FALSE(languageSwitch.HasModuleLanguage("TAVDATAMANAGER"));
  WriteLanguage(dir.file("TavDataManager.xml"), "选项配置");
  EXPECT_EQ(Title(languageSwitch.GetModuleLanguage("TAVDATAMANAGER")), "选项配置");
  EXPECT_EQ(languageSwitch.GetModuleLanguage(""), nullptr);
}

TEST(LanguageSwitch, ABrokenFileGivesNullWithTheReason) {
  tav::test::TempDir dir;
  {
    std::ofstream out(dir.file("BROKEN.xml"));
    out << "<Directory name=\"x\"><String>";
  }
  VenoLanguageSwitch languageSwitch(dir.path());
  EXPECT_EQ(languageSwitch.GetModuleLanguage("BROKEN"), nullptr);
  EXPECT_NE(languageSwitch.LastError().find("BROKEN.xml"), std::string::npos);
}

TEST(LanguageSwitch, ReplacingADictionaryKeepsPointersHandedOut) {
  VenoLanguageSwitch languageSwitch("/nonexistent-language-folder/");
  KvDtDictionary first;
  first.FindOrAddItem("IDS_TITLE", DICT_TYPE_STRING)->SetValueText("一");
  KvDtDictionary* kept = languageSwitch.SetModuleLanguage("Module", first);
  KvDtDictionary second;
  second.FindOrAddItem("IDS_TITLE", DICT_TYPE_STRING)->SetValueText("二");
  EXPECT_EQ(languageSwitch.SetModuleLanguage("MODULE", second), kept);
  EXPECT_EQ(Title(languageSwitch.GetModuleLanguage("module")), "二");
}

TEST(LanguageSwitch, TheDefaultFolderIsLangInTheMainDirectory) {
  tav::test::TempDir dir;
  tav::SetMainDirectory(dir.path());
  std::filesystem::create_directories(dir.path() + "Lang");
  WriteLanguage(dir.path() + "Lang/TavDataManager.xml", "主目录");
  VenoLanguageSwitch languageSwitch;
  EXPECT_EQ(languageSwitch.LanguageDirectory(), dir.path() + "Lang/");
  EXPECT_EQ(Title(languageSwitch.GetModuleLanguage("TAVDATAMANAGER")), "主目录");
  tav::SetMainDirectory("");
}

}  // namespace
