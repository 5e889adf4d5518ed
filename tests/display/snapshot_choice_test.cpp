// An item's absolute snapshot choice against a real library: stored and read
// back with quotes and Shift-JIS names intact, removed when nothing is
// chosen, one statement for the whole choice, and paths too long refused.
#include "display/snapshot_choice.h"

#include <gtest/gtest.h>

#include "db/library_connection.h"
#include "db/schema.h"
#include "platform/codepage.h"
#include "test_support.h"

namespace vel {
namespace {

class SnapshotChoiceTest : public testing::Test {
 protected:
  void SetUp() override {
    db.Open(folder / "Velmarook.db", "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
  }
  int Rows() {
    EXPECT_FALSE(db.Query("SELECT COUNT(*) FROM snap_path_table;"));
    return db.CellInt(1, 0);
  }
  test::TempFolder folder;
  LibraryConnection db;
};

TEST_F(SnapshotChoiceTest, StoredAndReadBack) {
  const std::string key = Jp("C:\\ソフト\\Let's.d88");
  struct Case {
    const char* name;
    SnapshotChoice choice;
    int rows;
  } cases[] = {
      {"three paths with quotes and a trail byte 0x5C",
       {{Jp("C:\\ソフト\\Let's.png"), "D:\\snaps\\", Jp("E:\\表示\\x.jpg")}, ""}, 1},
      {"a display setting alone keeps the row", {{"", "", ""}, "A1504113"}, 1},
      {"slot 2 only, fixed aspect", {{"", "C:\\b.bmp", ""}, "F4:3@0.75"}, 1},
      {"nothing chosen removes the row", {}, 0},
  };
  for (const Case& c : cases) {
    ASSERT_FALSE(StoreSnapshotChoice(db, key, c.choice)) << c.name;
    EXPECT_EQ(Rows(), c.rows) << c.name;
    SnapshotChoice read;
    read.display = "left over";
    ASSERT_FALSE(ReadSnapshotChoice(db, key, read)) << c.name;
    EXPECT_EQ(read, c.choice) << c.name;
  }
}

TEST_F(SnapshotChoiceTest, OneStatementAndRefusals) {
  const SnapshotChoice choice{{"a'b.png", "", ""}, "F@0"};
  EXPECT_EQ(SnapshotChoiceStatement("k'1", choice),
            "INSERT OR REPLACE INTO snap_path_table( pfile_sp, snap1, snap2, snap3, snap_dtt ) "
            "VALUES('k''1','a''b.png','','','F@0');");
  EXPECT_EQ(SnapshotChoiceStatement("k'1", {}), "DELETE FROM snap_path_table WHERE pfile_sp='k''1' ;");

  EXPECT_FALSE(SnapshotChoiceRefusal({{std::string(259, 'p'), "", ""}, ""}));
  auto refusal = SnapshotChoiceRefusal({{"", "", std::string(260, 'p')}, ""});
  ASSERT_TRUE(refusal);
  EXPECT_NE(refusal->find("259"), std::string::npos);
  // A library that cannot be reached reports the failure.
  db.Close();
  LibraryConnection closed;
  EXPECT_TRUE(StoreSnapshotChoice(closed, "k", choice));
}

}  // namespace
}  // namespace vel
