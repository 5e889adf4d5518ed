// Dropped snapshot files against a real library: which entries count, the
// slots they fill in both tabs, quoted names, and drops that store nothing.
#include "display/snapshot_drop.h"

#include <gtest/gtest.h>

#include "db/library_connection.h"
#include "db/schema.h"
#include "platform/codepage.h"
#include "test_support.h"

namespace vel {
namespace {

class SnapshotDropTest : public testing::Test {
 protected:
  void SetUp() override {
    db.Open(folder / "Velmarook.db", "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
  }
  std::vector<std::string> Row(const std::string& key) {
    std::vector<std::string> cells;
    EXPECT_FALSE(db.Query("SELECT snap1, snap2, snap3 FROM snap_path_table WHERE pfile_sp='" + Quote(key) + "';"));
    if (db.RowCount() == 1)
      for (int c = 0; c < 3; ++c) cells.push_back(db.Cell(1, c));
    return cells;
  }
  int Rows() {
    EXPECT_FALSE(db.Query("SELECT COUNT(*) FROM snap_path_table;"));
    return db.CellInt(1, 0);
  }
  test::TempFolder folder;
  LibraryConnection db;
  std::optional<DropFailure> failure;
};

TEST(SnapshotDropEntriesTest, PicturesAndFoldersCountUpToThree) {
  auto isFolder = [](const std::string& path) { return path.back() == 'D'; };
  EXPECT_EQ(AcceptedDropEntries({"a.txt", "b.PNG", "c.jpg", "dirD", "e.gif", "f.bmp"}, isFolder),
            (std::vector<std::string>{"b.PNG", "c.jpg", "dirD"}));
  EXPECT_TRUE(AcceptedDropEntries({"a.txt", "b.jpeg", ".png"}, isFolder).empty());
  // ソ ends in 0x5C: the extension is still found by character.
  EXPECT_EQ(AcceptedDropEntries({Jp("C:\\ソ.Bmp")}, isFolder), (std::vector<std::string>{Jp("C:\\ソ.Bmp")}));
}

TEST_F(SnapshotDropTest, EntriesFillTheSlotsOfANewOrExistingRow) {
  const std::string key = Jp("C:\\ソフト\\Let's.d88");
  const std::string one = Jp("C:\\ソフト\\Let's.png"), two = "C:\\b.png";
  // Two entries (or the information tab) fill snap1, snap2.
  ASSERT_TRUE(StoreDroppedSnapshots(db, key, {one, two}, 0, failure));
  EXPECT_EQ(Row(key), (std::vector<std::string>{one, two, ""}));
  // An existing row keeps the slots no entry names.
  ASSERT_TRUE(StoreDroppedSnapshots(db, key, {"C:\\x.png"}, 0, failure));
  EXPECT_EQ(Row(key), (std::vector<std::string>{"C:\\x.png", two, ""}));
  // One entry on the 3Shots tab goes to the slot under the point.
  ASSERT_TRUE(StoreDroppedSnapshots(db, key, {"C:\\three.png"}, 3, failure));
  EXPECT_EQ(Row(key), (std::vector<std::string>{"C:\\x.png", two, "C:\\three.png"}));
  ASSERT_TRUE(StoreDroppedSnapshots(db, "other", {"C:\\two.png"}, 2, failure));
  EXPECT_EQ(Row("other"), (std::vector<std::string>{"", "C:\\two.png", ""}));
  EXPECT_FALSE(failure);
}

TEST_F(SnapshotDropTest, NoKeyOrNoEntryStoresNothing) {
  EXPECT_FALSE(StoreDroppedSnapshots(db, "", {"C:\\a.png"}, 0, failure));
  EXPECT_FALSE(StoreDroppedSnapshots(db, "k", {}, 0, failure));
  EXPECT_FALSE(failure);
  EXPECT_EQ(Rows(), 0);
}

TEST_F(SnapshotDropTest, AFailedStatementIsReportedWithItsTag) {
  ASSERT_FALSE(db.Query("DROP TABLE snap_path_table;"));
  EXPECT_FALSE(StoreDroppedSnapshots(db, "k", {"C:\\a.png"}, 2, failure));
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->tag, "DropSnapFile");
  EXPECT_EQ(failure->description, "check snap_path_table failed.");
  ASSERT_FALSE(db.Query("CREATE TABLE snap_path_table(pfile_sp TEXT PRIMARY KEY);"));
  EXPECT_FALSE(StoreDroppedSnapshots(db, "k", {"C:\\a.png", "C:\\b.png"}, 0, failure));
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->tag, "DropSnapFiles");
  EXPECT_EQ(failure->description, "insert/update snap_path_table failed.");
}

TEST(SnapshotDropSlotTest, ThreeColumnsOfThePane) {
  EXPECT_EQ(ThreeShotsSlotAt(0, 300), 1);
  EXPECT_EQ(ThreeShotsSlotAt(150, 300), 2);
  EXPECT_EQ(ThreeShotsSlotAt(299, 300), 3);
  EXPECT_EQ(ThreeShotsSlotAt(400, 300), 3);
  EXPECT_EQ(ThreeShotsSlotAt(10, 0), 1);
}

}  // namespace
}  // namespace vel
