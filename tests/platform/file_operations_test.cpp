#include "platform/file_operations.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "test_support.h"

namespace vel {
namespace {
using namespace test;

TEST(FileOperations, CopyKeepsAnExistingTargetUnlessToldToOverwrite) {
  TempFolder folder;
  // A name whose second byte is 0x5C in CP932.
  const std::string source = folder / Jp("表.ini"), target = folder / "copy.ini";
  WriteWholeFile(folder / "seed", "new");
  ASSERT_TRUE(CopyOneFile(folder / "seed", source, CopyMode::kKeepExisting));
  WriteWholeFile(target, "old");
  EXPECT_FALSE(CopyOneFile(source, target, CopyMode::kKeepExisting));
  EXPECT_EQ(ReadWholeFile(target), "old");
  EXPECT_TRUE(CopyOneFile(source, target, CopyMode::kOverwrite));
  EXPECT_EQ(ReadWholeFile(target), "new");
  EXPECT_FALSE(CopyOneFile(folder / "missing", folder / "x", CopyMode::kOverwrite));
  WriteWholeFile(folder / "empty", "");
  EXPECT_TRUE(CopyOneFile(folder / "empty", folder / "empty copy", CopyMode::kKeepExisting));
  EXPECT_EQ(ReadWholeFile(folder / "empty copy"), "");
}

TEST(FileOperations, RenameNeverReplacesATarget) {
  TempFolder folder;
  WriteWholeFile(folder / "a", "a");
  WriteWholeFile(folder / "b", "b");
  EXPECT_FALSE(RenameFile(folder / "a", folder / "b"));
  EXPECT_EQ(ReadWholeFile(folder / "b"), "b");
  EXPECT_TRUE(RenameFile(folder / "a", folder / "c"));
  EXPECT_EQ(ReadWholeFile(folder / "c"), "a");
}

TEST(FileOperations, HiddenAndReadOnlyAttributes) {
  TempFolder folder;
  const std::string file = folder / "x.ini";
  WriteWholeFile(file, "x");
  EXPECT_FALSE(IsHiddenFile(file));
  EXPECT_TRUE(SetHiddenFile(file, true));
  EXPECT_TRUE(IsHiddenFile(file));
  EXPECT_TRUE(SetHiddenFile(file, false));
  EXPECT_FALSE(IsHiddenFile(file));
  EXPECT_FALSE(SetHiddenFile(folder / "missing", true));
  EXPECT_FALSE(IsReadOnlyFile(file));
  EXPECT_TRUE(ClearFileAttributes(file));
  EXPECT_FALSE(IsReadOnlyFile(file));
}

}  // namespace
}  // namespace vel
