// Saving or filing over a read-only snapshot: the old file keeps its bytes and no
// partial file is left beside it.
#include <windows.h>

#include <gtest/gtest.h>

#include "launch/png_writer.h"
#include "launch/launch_test_files.h"
#include "launch/snapshot_filing.h"
#include "platform/system.h"

namespace vel {
namespace {

TEST(PngWriterWin, AReadOnlyTargetIsLeftAsItWas) {
  test::TempFolder folder;
  const std::string target = test::ProgramPath(folder, "quest.png");
  test::PutFile(target, "the old snapshot");
  ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
  SnapPixels red;
  red.width = 4;
  red.height = 4;
  red.pixels.assign(16, 0xFF0000);
  EXPECT_EQ(SavePng(red, target), kSnapWriteFailed);
  EXPECT_EQ(test::FileText(target), "the old snapshot");
  EXPECT_FALSE(FileExists(target + ".new"));
  // Filing a picture onto it fails the same way.
  const std::string picture = test::ProgramPath(folder, "shot.png");
  test::PutFile(picture, "a new picture");
  EXPECT_EQ(FilePicture(picture, folder.Path(), {"quest"}), kSnapCopyFailed);
  EXPECT_EQ(test::FileText(target), "the old snapshot");
  EXPECT_FALSE(FileExists(target + ".new"));
  SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace vel
