#include <gtest/gtest.h>

#include <stdexcept>

#include "TavDataManager/frame/KvUtPushResource.h"
#include "TavDataManager/frame/TavModuleState.h"
#include "platform/config/KvConfigFiles.h"
#include "platform/config/KvDtDictionary.h"
#include "platform/config/KvLanguageSwitch.h"

namespace {

TEST(ModuleName, IsTheUpperCasedFileNameWithoutExtension) {
  EXPECT_EQ(TavResolveModuleName("/opt/tav/TavDataManager.so"), "TAVDATAMANAGER");
  EXPECT_EQ(TavResolveModuleName("C:\\Tav\\TavDataManager.arx"), "TAVDATAMANAGER");
  EXPECT_EQ(TavResolveModuleName("/opt/tav/libTavDataManager.so.1"), "LIBTAVDATAMANAGER");
}

TEST(ModuleName, OneTrailingDigitIsRemovedAndOnlyOne) {
  EXPECT_EQ(TavResolveModuleName("/opt/tav/TavDataManager2.so"), "TAVDATAMANAGER");
  EXPECT_EQ(TavResolveModuleName("/opt/tav/TavDataManager18.so"), "TAVDATAMANAGER1");
  EXPECT_EQ(TavResolveModuleName("/opt/tav/Tav2DataManager.so"), "TAV2DATAMANAGER");
  EXPECT_EQ(TavResolveModuleName("/opt/tav/7.so"), "");
}

TEST(ModuleName, GivesUpWithoutAUsableSeparatorOrDot) {
  EXPECT_FALSE(TavResolveModuleName("TavDataManager.so"));     // no separator
  EXPECT_FALSE(TavResolveModuleName("/TavDataManager.so"));    // separator at index 0
  EXPECT_FALSE(TavResolveModuleName("/opt/tav/"));             // separator is the last character
  EXPECT_FALSE(TavResolveModuleName("/opt/tav/TavDataManager"));  // no dot
  EXPECT_FALSE(TavResolveModuleName("/opt/tav/.hidden"));      // dot at index 0
  EXPECT_FALSE(TavResolveModuleName(""));
}

class ResourceGuard : public ::testing::Test {
 protected:
  void SetUp() override {
    savedResourceInstance_ = TavGetResourceInstance();
    TavSetResourceInstance(&module_);
    TavResetModuleLanguage();
    KvSetResourceHandle(&host_);
    g_pCurModuleLang = &hostLanguage_;
    g_pVenoLangSwitch = nullptr;
  }
  void TearDown() override {
    TavSetResourceInstance(savedResourceInstance_);
    TavResetModuleLanguage();
    KvSetResourceHandle(nullptr);
    g_pCurModuleLang = nullptr;
    g_pVenoLangSwitch = nullptr;
  }
  KvHInstance savedResourceInstance_ = nullptr;
  KvModuleInstance module_{"/opt/tav/TavDataManager2.so", nullptr};
  KvModuleInstance host_{"/opt/tav/tavcad", nullptr};
  KvModuleInstance other_{"/opt/tav/OtherModule.so", nullptr};
  KvDtDictionary hostLanguage_;
};

TEST_F(ResourceGuard, WithoutLanguageSwitchTheLanguageIsNullInsideAndRestoredAfter) {
  {
    KvUtPushResource guard(&module_);
    EXPECT_EQ(KvGetResourceHandle(), &module_);
    EXPECT_EQ(g_pCurModuleLang, nullptr);
  }
  EXPECT_EQ(KvGetResourceHandle(), &host_);
  EXPECT_EQ(g_pCurModuleLang, &hostLanguage_);
}

TEST_F(ResourceGuard, TheTrailingDigitNameFindsTheModuleLanguage) {
  VenoLanguageSwitch languageSwitch("/nonexistent-language-folder/");
  KvDtDictionary strings;
  KvDtDictionary* kept = languageSwitch.SetModuleLanguage("TAVDATAMANAGER", strings);
  g_pVenoLangSwitch = &languageSwitch;
  KvUtPushResource guard(&module_);
  EXPECT_EQ(g_pCurModuleLang, kept);
}

TEST_F(ResourceGuard, TwoTrailingDigitsDoNotResolveToTheSameName) {
  module_.path = "/opt/tav/TavDataManager18.so";
  VenoLanguageSwitch languageSwitch("/nonexistent-language-folder/");
  languageSwitch.SetModuleLanguage("TAVDATAMANAGER", KvDtDictionary());
  g_pVenoLangSwitch = &languageSwitch;
  KvUtPushResource guard(&module_);
  EXPECT_EQ(g_pCurModuleLang, nullptr);
}

TEST_F(ResourceGuard, ANullCacheIsResolvedAgainByTheNextGuard) {
  { KvUtPushResource guard(&module_); EXPECT_EQ(g_pCurModuleLang, nullptr); }
  VenoLanguageSwitch languageSwitch("/nonexistent-language-folder/");
  KvDtDictionary* kept = languageSwitch.SetModuleLanguage("TAVDATAMANAGER", KvDtDictionary());
  g_pVenoLangSwitch = &languageSwitch;
  { KvUtPushResource guard(&module_); EXPECT_EQ(g_pCurModuleLang, kept); }
  // Once resolved, the module keeps its dictionary even when the switch goes away.
  g_pVenoLangSwitch = nullptr;
  { KvUtPushResource guard(&module_); EXPECT_EQ(g_pCurModuleLang, kept); }
  EXPECT_EQ(g_pCurModuleLang, &hostLanguage_);
}

TEST_F(ResourceGuard, NestedGuardsRestoreExactlyWhatEachFound) {
  VenoLanguageSwitch languageSwitch("/nonexistent-language-folder/");
  KvDtDictionary* kept = languageSwitch.SetModuleLanguage("TAVDATAMANAGER", KvDtDictionary());
  g_pVenoLangSwitch = &languageSwitch;
  {
    KvUtPushResource outer(&module_);
    EXPECT_EQ(KvGetResourceHandle(), &module_);
    KvDtDictionary changedInside;
    g_pCurModuleLang = &changedInside;  // a dialog of another module switched in between
    KvSetResourceHandle(&other_);
    {
      KvUtPushResource inner(&module_);
      EXPECT_EQ(KvGetResourceHandle(), &module_);
      EXPECT_EQ(g_pCurModuleLang, kept);
    }
    EXPECT_EQ(KvGetResourceHandle(), &other_);
    EXPECT_EQ(g_pCurModuleLang, &changedInside);
  }
  EXPECT_EQ(KvGetResourceHandle(), &host_);
  EXPECT_EQ(g_pCurModuleLang, &hostLanguage_);
}

TEST_F(ResourceGuard, RestoresWhenAnExceptionPasses) {
  try {
    KvUtPushResource guard(&module_);
    throw std::runtime_error("dialog failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(KvGetResourceHandle(), &host_);
  EXPECT_EQ(g_pCurModuleLang, &hostLanguage_);
}

TEST_F(ResourceGuard, TheLanguageComesFromTheResourceInstanceOfTheModule) {
  // Callers pass the resource instance; the language is that of the module's resource instance.
  VenoLanguageSwitch languageSwitch("/nonexistent-language-folder/");
  KvDtDictionary* kept = languageSwitch.SetModuleLanguage("TAVDATAMANAGER", KvDtDictionary());
  languageSwitch.SetModuleLanguage("OTHERMODULE", KvDtDictionary());
  g_pVenoLangSwitch = &languageSwitch;
  KvUtPushResource guard(&other_);
  EXPECT_EQ(KvGetResourceHandle(), &other_);
  EXPECT_EQ(g_pCurModuleLang, kept);
}

}  // namespace
