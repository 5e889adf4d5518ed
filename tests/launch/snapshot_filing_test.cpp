#include "launch/snapshot_filing.h"

#include <gtest/gtest.h>

#include "display/snapshot_lookup.h"
#include "launch/launch_test_files.h"
#include "launch/snapshot_capture.h"
#include "platform/system.h"

namespace vel {
namespace {

TEST(SnapshotFiling, OnlyPicturesNewOrChangedSinceTheStartAreFound) {
  test::TempFolder folder;
  const std::string dir = folder.Path();
  test::PutFile(test::ProgramPath(folder, "stale.png"), "old shot");
  test::PutFile(test::ProgramPath(folder, "kept.bmp"), "kept");
  test::PutFile(test::ProgramPath(folder, "notes.txt"), "not a picture");
  PictureRecord before = RecordPictures(dir);
  EXPECT_EQ(before.size(), 2u);
  test::PutFile(test::ProgramPath(folder, "shot.PNG"), "new shot");
  test::PutFile(test::ProgramPath(folder, "kept.bmp"), "kept and grown");  // changed during the run
  test::PutFile(test::ProgramPath(folder, "AutoSnap0000.png"), "capture");
  std::vector<std::string> found = NewPictures(dir, before, {test::ProgramPath(folder, "AutoSnap0000.png")});
  EXPECT_EQ(found, (std::vector<std::string>{test::ProgramPath(folder, "kept.bmp"), test::ProgramPath(folder, "shot.PNG")}));
  EXPECT_TRUE(NewPictures("", before).empty());
}

TEST(SnapshotFiling, FilesUnderEveryNameOrReportsWhy) {
  test::TempFolder folder;
  const std::string snaps = test::ProgramPath(folder, "snap");
  ASSERT_TRUE(CreateFolder(snaps));
  const std::string picture = test::ProgramPath(folder, "shot.png");
  test::PutFile(picture, "picture bytes");
  test::PutFile(snaps + "\\quest.png", "older snapshot");
  struct Case {
    const char* what;
    std::string folder;
    std::vector<std::string> names;
    int code;
  } cases[] = {
      {"unset folder", "", {"quest"}, kSnapFolderUnset},
      {"missing folder", test::ProgramPath(folder, "none"), {"quest"}, kSnapFolderMissing},
      {"no names", snaps, {}, kSnapBadName},
      {"two names", snaps, {"quest", "0A1B2C3D"}, kSnapFiledFromFolder},
  };
  for (const Case& c : cases) EXPECT_EQ(FilePicture(picture, c.folder, c.names), c.code) << c.what;
  EXPECT_EQ(test::FileText(snaps + "\\quest.png"), "picture bytes");
  EXPECT_EQ(test::FileText(snaps + "\\0A1B2C3D.png"), "picture bytes");
  EXPECT_FALSE(FileExists(snaps + "\\quest.png.new"));
  // A source that cannot be read leaves the target as it was.
  EXPECT_EQ(FilePicture(test::ProgramPath(folder, "gone.png"), snaps, {"quest"}), kSnapCopyFailed);
  EXPECT_EQ(test::FileText(snaps + "\\quest.png"), "picture bytes");
  EXPECT_FALSE(FileExists(snaps + "\\quest.png.new"));
}

TEST(SnapshotFiling, FoldersResolveAsTheLookupReadsThem) {
  SnapshotSettings settings = DefaultSnapshotSettings("C:\\base");
  const std::string columns[3] = {"..\\snap", "D:\\title", ""};
  SnapFolders plain = ResolveSnapFolders(columns, settings);
  EXPECT_EQ(plain.folder[0], "..\\snap");
  settings.relativeToBase = true;
  SnapFolders resolved = ResolveSnapFolders(columns, settings);
  EXPECT_EQ(resolved.folder[0], ResolveRelativeFolder("..\\snap", "C:\\base"));
  EXPECT_EQ(resolved.folder[1], "D:\\title");
  EXPECT_EQ(resolved.folder[2], "");
  EXPECT_EQ(LowerExtension("C:\\a.b\\Shot.JPG"), "jpg");
  EXPECT_EQ(LowerExtension("C:\\a.b\\none"), "");
}

}  // namespace
}  // namespace vel
