// A fresh folder per test under build/test-tmp, removed when the test ends.
#pragma once

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace tav::test {

class TempDir {
 public:
  TempDir() {
    const char* base = std::getenv("TAV_TEST_TMP");
    std::filesystem::path root = base ? base : std::filesystem::temp_directory_path();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "tav";
    for (char& c : name)
      if (c == '/') c = '_';
    path_ = root / (name + "." + std::to_string(::getpid()));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string path() const { return path_.string() + "/"; }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

}  // namespace tav::test
