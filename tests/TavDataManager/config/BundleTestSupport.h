// Shared set-up of the bundle tests: a main directory and a user folder of their own, the
// configuration globals emptied, scripted user services, and a drawing as the working database.
#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "TavDataManager/config/KvBundleFormat.h"
#include "platform/config/KvConfigFiles.h"
#include "platform/config/KvDtDictionary.h"
#include "platform/config/KvDtUIConfig.h"
#include "platform/config/KvPaths.h"
#include "platform/host/KvAcDb.h"
#include "platform/host/KvScriptedUserServices.h"
#include "platform/tavdata/KvDbMaterial.h"
#include "platform/tavdata/KvDbSetting.h"
#include "tests/support/TempDir.h"

namespace tav::test {

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

inline std::string ShippedFile(const std::string& name) { return std::string(TAV_SOURCE_DIR) + "/maindir/" + name; }

class BundleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(root_.path() + "main");
    std::filesystem::create_directories(root_.path() + "user");
    mainDir_ = root_.path() + "main/";
    userDir_ = root_.path() + "user/";
    tav::SetMainDirectory(mainDir_);
    tav::SetUserConfigDirectory(userDir_);
    ResetGlobals();
    db_ = std::make_unique<AcDbDatabase>();
    working_ = std::make_unique<KvWorkingDatabaseScope>(db_.get());
    services_ = std::make_unique<KvScriptedUserServices>(KvScriptedUserServices::Policy::kCancelAndRecord);
    servicesScope_ = std::make_unique<KvUserServicesScope>(*services_);
  }
  void TearDown() override {
    servicesScope_.reset();
    working_.reset();
    db_.reset();
    ResetGlobals();
    tav::SetMainDirectory("");
    tav::SetUserConfigDirectory("");
  }
  static void ResetGlobals() {
    g_dictCfg.GetItemList().Reset();
    g_dbCfgUI.Reset();
    g_pUiDictionary = nullptr;
  }

  // Copies a shipped file into the test's main directory.
  void ShipToMain(const std::string& name) {
    std::filesystem::copy_file(ShippedFile(name), mainDir_ + name, std::filesystem::copy_options::overwrite_existing);
  }
  // The shipped Config.xml and UIConfig.xml in the user's folder, loaded into the globals.
  void InstallUserConfig() {
    std::filesystem::copy_file(ShippedFile("Config.xml"), userDir_ + "Config.xml");
    std::filesystem::copy_file(ShippedFile("UIConfig.xml"), userDir_ + "UIConfig.xml");
    ASSERT_TRUE(LoadConfig()) << tav::LastConfigFileError();
    ASSERT_TRUE(LoadUIConfig()) << tav::LastConfigFileError();
  }

  void SetSetting(const std::function<void(KvDbSetting&)>& change) {
    ASSERT_EQ(KvDbCreateAecSetting(db_.get()), Acad::eOk);
    KvDbSetting* setting = GetAecSetting(1, db_.get());
    ASSERT_NE(setting, nullptr);
    change(*setting);
    setting->close();
  }
  void ChangeMaterial(const std::string& key, const std::function<void(KvDbMaterial&)>& change) {
    AcDbObjectId id = KvDtInitMaterial(key, db_.get());
    ASSERT_FALSE(id.isNull());
    KvDbMaterial* mat = nullptr;
    ASSERT_EQ(acdbOpenObject(mat, id, AcDb::kForWrite), Acad::eOk);
    change(*mat);
    mat->close();
  }
  AcDbObjectId AddBlock(const std::string& name) {
    AcDbBlockTable* table = nullptr;
    AcDbObjectId id;
    if (db_->getBlockTable(table, AcDb::kForWrite) != Acad::eOk) return id;
    table->add(name, id);
    table->close();
    return id;
  }

  TempDir root_;
  std::string mainDir_, userDir_;
  std::unique_ptr<AcDbDatabase> db_;
  std::unique_ptr<KvWorkingDatabaseScope> working_;
  std::unique_ptr<KvScriptedUserServices> services_;
  std::unique_ptr<KvUserServicesScope> servicesScope_;
};

}  // namespace tav::test
