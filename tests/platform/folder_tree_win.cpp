// Removing a folder tree on Windows: read-only files go, links inside are
// removed as links and what they point to stays.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/folder_tree.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel {
namespace {

TEST(FolderTreeWin, RemovesReadOnlyFilesAndLinksWithoutEnteringThem) {
  test::TempFolder folder;
  const std::string tree = folder / "tree", outside = folder / "outside";
  ASSERT_EQ(CreateNewFolder(tree), NewFolderResult::kCreated);
  ASSERT_EQ(CreateNewFolder(tree), NewFolderResult::kAlreadyExists);
  ASSERT_EQ(CreateNewFolder(folder / "missing\\deeper"), NewFolderResult::kFailed);
  ASSERT_TRUE(CreateFolder(tree + "\\sub"));
  ASSERT_TRUE(CreateFolder(outside));
  test::WriteWholeFile(tree + "\\sub\\locked.d88", "x");
  ASSERT_TRUE(SetFileAttributesA((tree + "\\sub\\locked.d88").c_str(), FILE_ATTRIBUTE_READONLY));
  test::WriteWholeFile(outside + "\\keep.txt", "keep");
  const bool linked = CreateSymbolicLinkA((tree + "\\link").c_str(), outside.c_str(),
                                          SYMBOLIC_LINK_FLAG_DIRECTORY | 0x2 /* unprivileged */) != FALSE;
  EXPECT_TRUE(RemoveFolderTree(tree));
  EXPECT_FALSE(DirectoryExists(tree));
  EXPECT_EQ(test::ReadWholeFile(outside + "\\keep.txt"), "keep");
  EXPECT_FALSE(RemoveFolderTree(tree));  // gone already
  if (!linked) GTEST_SKIP() << "no symbolic links here: only the plain tree was removed";
}

}  // namespace
}  // namespace vel
