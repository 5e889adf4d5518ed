// Snapshot files follow an item's new title: which files are renamed, and
// that an existing picture is never replaced.
#include "editing/snapshot_rename.h"

#include <gtest/gtest.h>

#include <set>

#include "db/library_connection.h"
#include "db/schema.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel {
namespace {

TEST(SnapshotRename, OfferedOnlyForAChangedTitleThatCanNameAFile) {
  struct Case {
    std::string oldTitle, newTitle;
    bool offered;
  } cases[] = {
      {"Game", "Game 2", true},  {"Game", "GAME", false},   {"Game", "A/B", false},
      {"Game", "A.B", false},    {"Game", "con", false},    {"Game", "CLOCK$", false},
      {"Game", "", false},       {"", "Game", false},       {"Game", "Tab\tX", false},
      // The trail byte 0x5C of "ソ" is no backslash.
      {"Game", Jp("ソフト"), true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ShouldOfferSnapshotRename(c.oldTitle, c.newTitle), c.offered) << c.oldTitle << "/" << c.newTitle;
}

TEST(SnapshotRename, PicturesNamedAfterTheOldTitleGetTheNewOne) {
  test::TempFolder one, two;
  for (const char* name : {"Old Game.png", "old game.JPG", "Old Game.txt", "Old Game 2.png", "Old Game.bmp"})
    test::WriteWholeFile(one / name, "x");
  test::WriteWholeFile(two / "Old Game.gif", "x");
  test::WriteWholeFile(two / "New.gif", "already there");
  std::vector<SnapshotRename> plan = PlanSnapshotRenames({one.Path(), "", two.Path()}, "Old Game", "New");
  ASSERT_EQ(plan.size(), 4u);
  std::vector<std::string> failed = RenameSnapshots(plan);
  ASSERT_EQ(failed.size(), 1u);
  EXPECT_NE(failed[0].find("Old Game.gif"), std::string::npos);
  EXPECT_TRUE(FileExists(one / "New.png"));
  EXPECT_TRUE(FileExists(one / "New.JPG"));
  EXPECT_TRUE(FileExists(one / "New.bmp"));
  EXPECT_TRUE(FileExists(one / "Old Game.txt"));
  EXPECT_TRUE(FileExists(one / "Old Game 2.png"));
  EXPECT_EQ(test::ReadWholeFile(two / "New.gif"), "already there");
  EXPECT_TRUE(FileExists(two / "Old Game.gif"));
  EXPECT_EQ(SnapshotRenameFailures(failed).rfind(Jp("次のスナップショットファイルの名前を変更出来ませんでした。\n"), 0), 0u);
  EXPECT_TRUE(PlanSnapshotRenames({one.Path()}, "Old Game", "OLD GAME").empty());
}


// A bulk title change: the old title of every selected item in its own
// machine's folders, each file once, items keeping their title left out.
TEST(SnapshotRename, BulkPlanCoversEachItemsOldTitleInItsMachinesFolders) {
  test::TempFolder base, one, two;
  LibraryConnection db;
  db.Open(base / "Velmarook.db", "");
  ASSERT_FALSE(CreateOrUpgradeSchema(db));
  auto stored = db.Query("INSERT INTO machine_info_table(machine,snap_path) VALUES('A','" + Quote(one.Path()) +
                         "'),('B','" + Quote(two.Path()) + "');"
                         "INSERT INTO main_table(file_name,title,machine_name,ply) VALUES"
                         "('a1','Old','A',0),('a2','Old','A',0),('a3','Other','A',0),('b1','Old','B',0),"
                         "('c','new','A',0);");
  ASSERT_FALSE(stored) << *stored;
  for (const char* name : {"Old.png", "other.jpg", "Unrelated.png", "new.bmp"}) test::WriteWholeFile(one / name, "x");
  test::WriteWholeFile(two / "Old.gif", "x");
  std::vector<SnapshotRename> plan;
  auto error = PlanBulkSnapshotRenames(db, {"a1", "a2", "a3", "b1", "c", "gone"}, "New", base.Path(), plan);
  ASSERT_FALSE(error) << *error;
  std::set<std::string> planned;
  for (const SnapshotRename& r : plan) planned.insert(r.from + " -> " + r.to);
  auto rename = [](const test::TempFolder& folder, const char* from, const char* to) {
    return folder.Path() + "\\" + from + " -> " + folder.Path() + "\\" + to;  // the program's own separator
  };
  EXPECT_EQ(planned, (std::set<std::string>{rename(one, "Old.png", "New.png"), rename(one, "other.jpg", "New.jpg"),
                                            rename(two, "Old.gif", "New.gif")}));
  EXPECT_EQ(plan.size(), planned.size()) << "a file planned twice";
}

}  // namespace
}  // namespace vel
