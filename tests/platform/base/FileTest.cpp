#include <gtest/gtest.h>

#include <filesystem>

#include "platform/base/KvFile.h"
#include "tests/support/TempDir.h"

using namespace tav;

TEST(AtomicWrite, ReplacesContentAndLeavesNoTemporary) {
  test::TempDir dir;
  const std::string path = dir.file("Config.xml");
  ASSERT_TRUE(WriteFileAtomic(path, "old"));
  ASSERT_TRUE(WriteFileAtomic(path, "new content"));
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(path, bytes));
  EXPECT_EQ(bytes, "new content");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(AtomicWrite, InterruptedWriteLeavesOldFileWhole) {
  test::TempDir dir;
  const std::string path = dir.file("Config.xml");
  ASSERT_TRUE(WriteFileAtomic(path, "the user's work"));
  std::string error;
  const bool ok = WriteFileAtomicWith(
      path,
      [](const ChunkSink& sink) {
        sink("half of the new ");
        return false;  // the producer gives up halfway
      },
      &error);
  EXPECT_FALSE(ok);
  EXPECT_NE(error.find(path), std::string::npos);
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(path, bytes));
  EXPECT_EQ(bytes, "the user's work");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(AtomicWrite, UnwritableFolderFailsWithMessage) {
  std::string error;
  EXPECT_FALSE(WriteFileAtomic("/nonexistent-folder/x.xml", "x", &error));
  EXPECT_NE(error.find("/nonexistent-folder/x.xml"), std::string::npos);
  std::string bytes;
  EXPECT_FALSE(ReadFileBytes("/nonexistent-folder/x.xml", bytes, &error));
  EXPECT_NE(error.find("cannot open"), std::string::npos);
}

TEST(Paths, BackslashRelativePathsMapOntoDisk) {
  EXPECT_EQ(ToNativePath("Common\\AcadISO.Lin"), "Common/AcadISO.Lin");
  EXPECT_EQ(JoinPath("/opt/tav/", "Skin\\folder.ico"), "/opt/tav/Skin/folder.ico");
  EXPECT_EQ(JoinPath("/opt/tav", "\\Skin\\txt.ico"), "/opt/tav/Skin/txt.ico");
  EXPECT_EQ(FileNameOf("a/b\\c.Lin"), "c.Lin");
  EXPECT_EQ(ExtensionOf("/x/DefaultCfg.allcfg"), "allcfg");
  EXPECT_EQ(ExtensionOf("/x.y/noext"), "");
}
